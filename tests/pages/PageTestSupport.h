#pragma once
// What surrounds a property page in the tests: the module's page resources made current, a small
// container document holding real controls under names (common/FakeContainer.h), message boxes
// and file dialogs answered by the test, and a check that no COM object is left at the end.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/FakeContainer.h"
#include "platform/afx/COleControl.h"
#include "platform/afx/COleControlModule.h"
#include "platform/afx/COlePropertyPage.h"
#include "platform/afx/DebugOutput.h"
#include "platform/com/OleInterfaces.h"

// A fixture with the pages' resources, a document and the answers a user would give.
class PageTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A control of the document under a name, new (reset values); the document keeps it.
    template <class T>
    T* AddControl(const std::string& name, std::vector<IID> iids) {
        T* control = new T();
        Place(control, name, std::move(iids));
        return control;
    }
    // A page of type T editing `object`, activated; the fixture releases it.
    template <class T>
    T* OpenPage(COleControl* object) {
        T* page = new T();
        m_pages.push_back(page);
        IUnknown* unk = object ? object->GetControllingUnknown() : nullptr;
        EXPECT_EQ(page->SetObjects(object ? 1 : 0, object ? &unk : nullptr), S_OK);
        EXPECT_EQ(page->Activate(), S_OK);
        return page;
    }

    // A property of a control read through its dispatch interface, as text or number.
    static std::string GetText(COleControl* control, const char* name);
    static double GetNumber(COleControl* control, const char* name);
    static void SetProperty(COleControl* control, const char* name, const VARIANT& value);
    static void SetText(COleControl* control, const char* name, const std::string& text);
    static void SetNumber(COleControl* control, const char* name, double value);

    CFakeSite* LastSite() const { return m_document.LastSite(); }
    CFakeExtender* LastExtender() const { return m_document.LastSite()->GetExtender(); }

    std::vector<std::string> m_messages;                 // message boxes shown
    std::optional<std::string> m_fileAnswer;             // the next file dialog's answer
    std::vector<std::string> m_fileDialogs;              // "defext|flags|filter" of each dialog shown
    std::unique_ptr<CDebugOutputCapture> m_trace;

private:
    void Place(COleControl* control, const std::string& name, std::vector<IID> iids);
    HINSTANCE__ m_resources;
    CFakeDocument m_document;
    std::vector<COlePropertyPage*> m_pages;
};
