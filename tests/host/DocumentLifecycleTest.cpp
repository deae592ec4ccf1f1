// Opening and closing documents: the platform's order, reported problems, the working folder,
// saving, and no COM object left alive (the fixture checks the live-object count).
#include <filesystem>
#include <fstream>
#include <sstream>

#include "HostTestSupport.h"
#include "host/DispatchCalls.h"
#include "host/HostDocument.h"
#include "host/PropertyFrame.h"
#include "platform/com/ComPtr.h"

namespace {

std::string Control(const std::string& name, const std::string& rect, const std::string& props = "{}",
                    const std::string& progId = kLogCtrlProgID) {
    return R"({"progid": ")" + progId + R"(", "name": ")" + name + R"(", "rect": )" + rect +
           R"(, "properties": )" + props + "}";
}

std::string Document(const std::vector<std::string>& controls, const std::string& extra = "") {
    std::string text = R"({"page": {"width": 300, "height": 200}, "controls": [)";
    for (size_t i = 0; i < controls.size(); ++i) text += (i ? ", " : "") + controls[i];
    return text + "]" + extra + "}";
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

using DocumentLifecycleTest = HostTest;

TEST_F(DocumentLifecycleTest, EachControlGetsSiteThenPropertiesThenWindowInDocumentOrder) {
    CHostDocument doc;
    std::string error;
    ASSERT_TRUE(doc.Open(WriteFile("d.json", Document({Control("First", "[0, 0, 10, 10]"),
                                                       Control("Second", "[10, 0, 10, 10]")})),
                         error))
        << error;
    // The name is reachable from the moment the site is given: each entry reads it.
    EXPECT_EQ(CLogCtrl::Log(), (std::vector<std::string>{"First:site", "First:load", "First:create", "Second:site",
                                                          "Second:load", "Second:create"}));
    CLogCtrl::Log().clear();
    doc.Close();
    // Closing deactivates each control (its window goes while its site is still there), then
    // releases it.
    EXPECT_EQ(CLogCtrl::Log(),
              (std::vector<std::string>{"First:destroy", "release", "Second:destroy", "release"}));
}

TEST_F(DocumentLifecycleTest, NothingStaysAliveAfterClosing) {
    {
        CHostDocument doc;
        std::string error;
        ASSERT_TRUE(doc.Open(WriteFile("d.json", Document({Control("A", "[0, 0, 50, 50]", R"({"Flag": true})"),
                                                           Control("B", "[50, 0, 50, 50]")})),
                             error));
        doc.Pump(1000);
        // Scripts hold extended controls; closing must not depend on them letting go first.
        CComPtr<IDispatch> held = doc.GetExtendedControl("A");
        EXPECT_GT(CComLiveObject::GetLiveCount(), 0);
        doc.Close();
        EXPECT_EQ(CComLiveObject::GetLiveCount(), 1);  // only the extender the test still holds
    }
    EXPECT_EQ(CComLiveObject::GetLiveCount(), 0);
}

TEST_F(DocumentLifecycleTest, CloseHookRunsFirstWhileTheControlsAreStillThere) {
    CHostDocument doc;
    std::string error;
    ASSERT_TRUE(doc.Open(WriteFile("d.json", Document({Control("A", "[0, 0, 10, 10]")})), error));
    bool controlAlive = false;
    doc.SetCloseHook([&] {
        controlAlive = doc.GetControl("A") != nullptr && doc.GetControl("A")->GetSafeHwnd() != nullptr;
        CLogCtrl::Log().push_back("hook");
    });
    CLogCtrl::Log().clear();
    doc.Close();
    EXPECT_TRUE(controlAlive);
    ASSERT_FALSE(CLogCtrl::Log().empty());
    EXPECT_EQ(CLogCtrl::Log().front(), "hook");
}

TEST_F(DocumentLifecycleTest, UnknownProgIdsAndWrongTypesAreReportedAndTheRestOpens) {
    CHostDocument doc;
    std::string error;
    ASSERT_TRUE(doc.Open(WriteFile("d.json",
                                   Document({Control("Ghost", "[0, 0, 10, 10]", "{}", "NO.SUCH.Control.1"),
                                             Control("A", "[0, 0, 10, 10]",
                                                     R"({"Count": "many", "Label": 12, "Gain": 2.5, "Extra": 1})"),
                                             R"({"rect": [0, 0, 1, 1]})"})),
                         error))
        << error;
    ASSERT_EQ(doc.GetMessages().size(), 4u);
    EXPECT_EQ(doc.GetMessages()[0], "controls[2].progid: expected a ProgID string; the control is left out")
        << "structure problems come first, while reading";
    EXPECT_EQ(doc.GetMessages()[1], "controls[0] (\"Ghost\"): unknown ProgID \"NO.SUCH.Control.1\"; the control is "
                                    "left out");
    EXPECT_EQ(doc.GetMessages()[2], "controls[1] (\"A\"): property \"Count\": expected a whole number, got a string; "
                                    "the stored default is used");
    EXPECT_EQ(doc.GetMessages()[3], "controls[1] (\"A\"): property \"Label\": expected a string, got a number; the "
                                    "stored default is used");
    auto* a = static_cast<CLogCtrl*>(doc.GetControl("A"));
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->m_count, 0);     // the stored default
    EXPECT_EQ(a->m_label, "");    // the stored default
    EXPECT_EQ(a->m_gain, 2.5);    // good values still load
    EXPECT_EQ(doc.GetControlNames(), std::vector<std::string>{"A"});
}

TEST_F(DocumentLifecycleTest, UnreadableDocumentsFailWithOneLine) {
    CHostDocument doc;
    std::string error;
    EXPECT_FALSE(doc.Open(PathOf("missing.json"), error));
    EXPECT_NE(error.find("missing.json: cannot open"), std::string::npos) << error;
    EXPECT_FALSE(doc.Open(WriteFile("bad.json", "{\"page\": 3"), error));
    EXPECT_NE(error.find("bad.json: not a JSON document"), std::string::npos) << error;
    EXPECT_FALSE(doc.IsOpen());
}

TEST_F(DocumentLifecycleTest, WorksInTheDocumentsFolderWhileOpen) {
    const auto before = std::filesystem::current_path();
    CHostDocument doc;
    std::string error;
    ASSERT_TRUE(doc.Open(WriteFile("sub/d.json", Document({})), error));
    EXPECT_EQ(std::filesystem::current_path(), std::filesystem::canonical(m_folder / "sub"));
    doc.Close();
    EXPECT_EQ(std::filesystem::current_path(), before);
}

TEST_F(DocumentLifecycleTest, SaveWritesTheExchangeBackAndKeepsWhatItCannotCreate) {
    std::string error;
    {
        CHostDocument doc;
        ASSERT_TRUE(doc.Open(WriteFile("d.json",
                                       Document({Control("A", "[5, 6, 70, 80]", R"({"Label": "data/s.orvex",
                                                          "Unexchanged": "kept"})"),
                                                 Control("Ghost", "[0, 0, 1, 1]", R"({"P": 1})", "NO.SUCH.1")},
                                                R"(, "macros": {"Go": "A.Count = 3"})")),
                             error));
        CComPtr<IDispatch> a = doc.GetExtendedControl("A");
        VARIANT v;
        VariantInit(&v);
        v.vt = VT_I2;
        v.iVal = 9;
        ASSERT_TRUE(PutPropertyByName(a.get(), "Count", v, error)) << error;
        v.vt = VT_BOOL;
        v.boolVal = VARIANT_TRUE;
        ASSERT_TRUE(PutPropertyByName(a.get(), "Flag", v, error)) << error;
        // Relative to the document's folder while it is open.
        ASSERT_TRUE(doc.Save("saved.json", error)) << error;
    }
    const std::string saved = ReadText(PathOf("saved.json"));
    EXPECT_NE(saved.find("\"Label\": \"data/s.orvex\""), std::string::npos) << "file names saved as written";
    EXPECT_NE(saved.find("\"Unexchanged\": \"kept\""), std::string::npos) << saved;
    EXPECT_NE(saved.find("NO.SUCH.1"), std::string::npos) << "a control that could not be created is kept";

    CLogCtrl::Log().clear();
    CHostDocument again;
    ASSERT_TRUE(again.Open(PathOf("saved.json"), error)) << error;
    auto* a = static_cast<CLogCtrl*>(again.GetControl("A"));
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->m_count, 9);
    EXPECT_EQ(a->m_flag, TRUE);
    EXPECT_EQ(a->m_label, "data/s.orvex");
    EXPECT_EQ(a->GetSafeHwnd() != nullptr, true);
    CRect rc;
    a->GetWindowRect(&rc);
    EXPECT_EQ(rc, CRect(5, 6, 75, 86));
    EXPECT_EQ(again.GetMacros(), (std::vector<std::pair<std::string, std::string>>{{"Go", "A.Count = 3"}}));
    // Saving the reloaded document again gives the same text: nothing drifts.
    ASSERT_TRUE(again.Save("saved2.json", error));
    EXPECT_EQ(ReadText(PathOf("saved2.json")), saved);
}

TEST_F(DocumentLifecycleTest, PropertiesVerbIsRecordedAndFailsForAControlWithoutPages) {
    CHostDocument doc;
    std::string error;
    ASSERT_TRUE(doc.Open(WriteFile("d.json", Document({Control("A", "[0, 0, 10, 10]"),
                                                       Control("B", "[10, 0, 10, 10]")})),
                         error));
    EXPECT_EQ(doc.GetControl("B")->DoVerb(OLEIVERB_PROPERTIES), E_FAIL);  // the test control has no pages
    EXPECT_EQ(GetOpenPropertyFrame(), nullptr);
    ASSERT_EQ(doc.GetPropertyFrameRequests().size(), 1u);
    EXPECT_EQ(doc.GetPropertyFrameRequests()[0].controlName, "B");
    EXPECT_EQ(doc.GetPropertyFrameRequests()[0].hWndOwner, doc.GetPageWindow());

    // A second document opened and closed meanwhile gives the verb back to the first.
    {
        CHostDocument inner;
        ASSERT_TRUE(inner.Open(WriteFile("inner.json", Document({Control("C", "[0, 0, 10, 10]")})), error)) << error;
        inner.GetControl("C")->DoVerb(OLEIVERB_PROPERTIES);
        EXPECT_EQ(inner.GetPropertyFrameRequests().size(), 1u);
    }
    doc.GetControl("A")->DoVerb(OLEIVERB_PROPERTIES);
    ASSERT_EQ(doc.GetPropertyFrameRequests().size(), 2u);
    EXPECT_EQ(doc.GetPropertyFrameRequests()[1].controlName, "A");
}

TEST_F(DocumentLifecycleTest, PropertiesVerbOpensTheViewersFrameModelessAndClosingTheDocumentClosesIt) {
    CHostDocument doc;
    std::string error;
    ASSERT_TRUE(doc.Open(WriteFile("v.json", R"({"page": {"width": 300, "height": 200}, "controls": [
        {"progid": "ORVEXVIEWER.OrvexViewerCtrl.1", "name": "Viewer", "rect": [0, 0, 300, 200]}]})"),
                         error))
        << error;
    EXPECT_EQ(doc.GetControl("Viewer")->DoVerb(OLEIVERB_PROPERTIES), S_OK);  // returns at once
    ASSERT_NE(GetOpenPropertyFrame(), nullptr);
    EXPECT_EQ(GetOpenPropertyFrame()->GetPageCount(), 2);  // "General" and "View"
    doc.Close();  // the frame's references to the control go first; the fixture checks no object is left
    EXPECT_EQ(GetOpenPropertyFrame(), nullptr);
}

}  // namespace
