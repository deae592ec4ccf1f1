// The property frame on real controls in a document: tabs, Apply/OK/Cancel, the macro binding and
// pictures of the pages compared with golden images.
#include <lua.hpp>

#include <filesystem>

#include "HostTestSupport.h"
#include "host/DispatchCalls.h"
#include "host/HostDocument.h"
#include "host/PropertyFrame.h"
#include "host/PropertyFrameLua.h"
#include "pages/PageResourceIds.h"
#include "platform/gdi/CBitmap.h"
#include "platform/gdi/Png.h"

namespace {

constexpr const char* kDocument = R"({"page": {"width": 700, "height": 300}, "controls": [
  {"progid": "ORVEXVIEWER.OrvexViewerCtrl.1", "name": "V2", "rect": [0, 0, 300, 240],
   "properties": {"RayPlotType": 1, "FileName": "two.orvex"}},
  {"progid": "ORVEXVIEWER.OrvexViewerCtrl.1", "name": "V1", "rect": [0, 0, 10, 10], "properties": {}},
  {"progid": "ORVEXASCANVIEWER.OrvexAscanViewerCtrl.1", "name": "A1", "rect": [300, 0, 400, 150],
   "properties": {"OrvexViewerName": "V2", "ControlDetectionEnabled": false}}]})";

class PropertyFrameTest : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        std::string error;
        ASSERT_TRUE(m_doc.Open(WriteFile("doc.json", kDocument), error)) << error;
    }
    void TearDown() override {
        ClosePropertyFrame();  // before the controls go
        m_doc.Close();
        HostTest::TearDown();
    }
    IUnknown* Control(const char* name) { return m_doc.GetControl(name)->GetControllingUnknown(); }
    std::string Text(const char* control, const char* property) {
        VARIANT v;
        VariantInit(&v);
        std::string error;
        EXPECT_TRUE(InvokeByName(m_doc.GetExtendedControl(control).get(), property, DISPATCH_PROPERTYGET, {}, &v, error))
            << error;
        VariantChangeType(&v, &v, 0, VT_BSTR);
        std::string text = StringFromBstr(v.bstrVal);
        VariantClear(&v);
        return text;
    }
    // The open frame drawn, compared with its golden picture (written next to the build when it
    // differs, to look at).
    void ExpectGolden(const std::string& name) {
        CBitmap picture;
        ASSERT_TRUE(GetOpenPropertyFrame()->Render(picture));
        const std::string golden = std::string(ORVEX_SOURCE_DIR) + "/tests/golden/" + name;
        const std::string actual = std::string(ORVEX_BINARY_DIR) + "/" + name;
        SaveBitmapPng(picture, actual);
        CBitmap expected;
        ASSERT_TRUE(LoadBitmapPng(golden, expected)) << "missing " << golden << "; see " << actual;
        ASSERT_EQ(expected.GetWidth(), picture.GetWidth());
        ASSERT_EQ(expected.GetHeight(), picture.GetHeight());
        const size_t n = static_cast<size_t>(picture.GetWidth()) * picture.GetHeight();
        EXPECT_TRUE(std::equal(picture.GetPixels(), picture.GetPixels() + n, expected.GetPixels())) << actual;
    }
    CHostDocument m_doc;
};

TEST_F(PropertyFrameTest, ViewerFrameHasBothPagesAndAppliesEdits) {
    ASSERT_TRUE(OpenPropertyFrame(Control("V2"), "V2"));
    CPropertyFrame* frame = GetOpenPropertyFrame();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->GetCaption(), "V2 Properties");
    ASSERT_EQ(frame->GetPageCount(), 2);
    EXPECT_EQ(frame->GetPage(0)->GetCaption(), "General");
    EXPECT_EQ(frame->GetPage(1)->GetCaption(), "View");
    EXPECT_TRUE(frame->GetActivePage()->IsDlgButtonChecked(IDC_ENDRAYSATTIME));
    EXPECT_FALSE(frame->IsApplyEnabled());

    frame->GetActivePage()->UserSetText(IDC_RAYENDTIME, "7.5");
    ASSERT_TRUE(frame->SetActivePage(1));
    frame->GetActivePage()->UserSetText(IDC_WNDLEFT, "-3");
    EXPECT_TRUE(frame->IsApplyEnabled());
    ASSERT_TRUE(PropertyFrameOK());  // applies both pages and closes
    EXPECT_EQ(GetOpenPropertyFrame(), nullptr);
    EXPECT_EQ(Text("V2", "RayEndTime"), "7.5");
    EXPECT_EQ(Text("V2", "WndLeft"), "-3");
}

TEST_F(PropertyFrameTest, OkWithARefusedValueStaysOpenOnThatPage) {
    ASSERT_TRUE(OpenPropertyFrame(Control("V2"), "V2"));
    CPropertyFrame* frame = GetOpenPropertyFrame();
    frame->SetActivePage(1);
    frame->GetActivePage()->UserSetText(IDC_XAXISX, "one");
    frame->SetActivePage(0);
    EXPECT_FALSE(PropertyFrameOK());
    ASSERT_EQ(GetOpenPropertyFrame(), frame);
    EXPECT_EQ(frame->GetActiveIndex(), 1);
    EXPECT_EQ(GetPropertyFrameMessages(), std::vector<std::string>{"Enter a number."});
    ClosePropertyFrame();  // Cancel writes nothing
    EXPECT_EQ(Text("V2", "XAxisX"), "1");
}

TEST_F(PropertyFrameTest, ControlWithoutPagesOpensNoFrame) {
    EXPECT_FALSE(OpenPropertyFrame(nullptr, "none"));
    EXPECT_EQ(GetOpenPropertyFrame(), nullptr);
}

TEST_F(PropertyFrameTest, MacroDrivesTheFrame) {
    ASSERT_TRUE(OpenPropertyFrame(Control("A1"), "A1"));
    lua_State* L = luaL_newstate();
    luaL_openlibs(L);
    lua_newtable(L);
    AddPropertyFrameFunctions(L, -1);
    lua_setglobal(L, "host");
    const char* script = R"(
        local f = host.frame()
        assert(f:count() == 1 and f:caption() == "A1 Properties")
        local list = f:list(239)
        assert(#list == 2 and list[1] == "V2" and list[2] == "V1", table.concat(list, ","))
        assert(f:selected(239) == 1)
        f:select(239, "V1")
        assert(f:text(240) == "This control does not have a file associated with it.")
        assert(f:apply())            -- linking the viewer resets the control's range
        assert(not f:dirty())
        f:set_text(229, "12.5")
        assert(f:dirty())
        assert(f:ok())
        local ok, err = pcall(function() return f:text(240) end)
        assert(not ok and err:find("closed"), err)
        assert(host.frame() == nil)
        return "done"
    )";
    const int rc = luaL_dostring(L, script);
    const std::string result = lua_tostring(L, -1) ? lua_tostring(L, -1) : "";
    lua_close(L);
    ASSERT_EQ(rc, LUA_OK) << result;
    EXPECT_EQ(Text("A1", "OrvexViewerName"), "V1");
    EXPECT_EQ(Text("A1", "AscanXMax"), "12.5");
}

TEST_F(PropertyFrameTest, MacroBrowsesAndRendersTheFrame) {
    ASSERT_TRUE(OpenPropertyFrame(Control("V1"), "V1"));
    lua_State* L = luaL_newstate();
    luaL_openlibs(L);
    lua_newtable(L);
    AddPropertyFrameFunctions(L, -1);
    lua_setglobal(L, "host");
    const std::string picture = PathOf("frame.png");
    const std::string script = R"(
        local f = host.frame()
        host.file_dialog_answer("picked.orvex")
        f:click(202)
        assert(f:text(203) == "picked.orvex")
        local ok, err = pcall(f.click, f, 999)
        assert(not ok and err:find("no control 999"), err)
        ok, err = pcall(host.render_frame, "frame.txt")
        assert(not ok and err:find("must end with .png"), err)
        f:page(2)
        f:click(227)
        host.render_frame(")" + picture + R"(")
    )";
    const int rc = luaL_dostring(L, script.c_str());
    const std::string result = lua_tostring(L, -1) ? lua_tostring(L, -1) : "";
    lua_close(L);
    ASSERT_EQ(rc, LUA_OK) << result;
    EXPECT_EQ(Text("V1", "FileName"), "picked.orvex");  // Browse sends it at once
    EXPECT_EQ(Text("V1", "YAxisZ"), "1");                // and Top View its axes
    EXPECT_TRUE(std::filesystem::exists(picture));
}

TEST_F(PropertyFrameTest, PagesLookLikeTheirTemplates) {
    ASSERT_TRUE(OpenPropertyFrame(Control("V2"), "V2"));
    ExpectGolden("pages_general.png");
    GetOpenPropertyFrame()->SetActivePage(1);
    GetOpenPropertyFrame()->GetActivePage()->UserClick(IDC_SIDEVIEW);
    ExpectGolden("pages_view.png");
    ASSERT_TRUE(OpenPropertyFrame(Control("A1"), "A1"));
    ExpectGolden("pages_ascan.png");
}

}  // namespace
