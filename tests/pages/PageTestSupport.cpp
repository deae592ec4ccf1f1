#include "pages/PageTestSupport.h"

#include "common/Variants.h"

#include "pages/PageResourceIds.h"
#include "pages/PageTemplates.h"
#include "platform/afx/AfxMessageBox.h"
#include "platform/afx/CFileDialog.h"
#include "platform/afx/DataExchange.h"
#include "platform/com/LiveObjects.h"

// ---- PageTest

void PageTest::SetUp() {
    m_resources.strings = {{IDS_ORVEXVIEWER_PPG_CAPTION, "General"},
                           {IDS_ORVEXVIEWER_PPG2_CAPTION, "View"},
                           {IDS_ORVEXASCANVIEWER_PPG_CAPTION, "General"}};
    m_resources.dialogs = {{IDD_PROPPAGE_ORVEXVIEWER, &GetOrvexViewerPropPageTemplate()},
                           {IDD_PROPPAGE_ORVEXVIEWER2, &GetOrvexViewerPropPage2Template()},
                           {IDD_PROPPAGE_ORVEXASCANVIEWER, &GetOrvexAscanViewerPropPageTemplate()}};
    AfxSetResourceHandle(&m_resources);
    AfxSetMessageBoxHandler([this](const std::string& text, UINT) {
        m_messages.push_back(text);
        return IDOK;
    });
    CFileDialog::SetAnswerProvider([this](const CFileDialog& d) {
        m_fileDialogs.push_back(d.GetDefExt() + "|" + std::to_string(d.GetFlags()) + "|" + d.GetFilter());
        return std::exchange(m_fileAnswer, std::nullopt);
    });
    m_trace = std::make_unique<CDebugOutputCapture>();
}

void PageTest::TearDown() {
    for (COlePropertyPage* p : m_pages) {
        p->Deactivate();
        p->Release();
    }
    m_pages.clear();
    m_document.Close();
    m_trace.reset();
    AfxSetMessageBoxHandler({});
    CFileDialog::SetAnswerProvider({});
    AfxSetResourceHandle(nullptr);
    EXPECT_EQ(CComLiveObject::GetLiveCount(), 0);
}

void PageTest::Place(COleControl* control, const std::string& name, std::vector<IID> iids) {
    // The document takes its own reference; ours, from new, goes to it as well.
    m_document.AddControl(control->GetControllingUnknown(), name, std::move(iids));
    control->Release();
    control->InitNew();
}

std::string PageTest::GetText(COleControl* control, const char* name) {
    VARIANT v;
    EXPECT_TRUE(AfxGetObjectProperty(static_cast<IDispatch*>(control), name, VT_BSTR, &v)) << name;
    std::string text = StringFromBstr(v.bstrVal);
    VariantClear(&v);
    return text;
}

double PageTest::GetNumber(COleControl* control, const char* name) {
    VARIANT v;
    EXPECT_TRUE(AfxGetObjectProperty(static_cast<IDispatch*>(control), name, VT_R8, &v)) << name;
    return v.dblVal;
}

void PageTest::SetProperty(COleControl* control, const char* name, const VARIANT& value) {
    EXPECT_TRUE(AfxSetObjectProperty(static_cast<IDispatch*>(control), name, value)) << name;
}

void PageTest::SetText(COleControl* control, const char* name, const std::string& text) {
    VARIANT v = MakeBstr(text);
    SetProperty(control, name, v);
    VariantClear(&v);
}

void PageTest::SetNumber(COleControl* control, const char* name, double value) {
    SetProperty(control, name, MakeR8(value));
}
