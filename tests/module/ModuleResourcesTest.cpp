// The module's resources: string table, toolbox bitmaps, version, templates.
#include <gtest/gtest.h>

#include "module/ModuleResources.h"
#include "module/OrvexViewerApp.h"
#include "module/resource.h"
#include "pages/PageResourceIds.h"
#include "platform/afx/DialogTemplate.h"
#include "platform/gdi/CBitmap.h"
#include "platform/gdi/Png.h"

namespace {

TEST(ModuleResourcesTest, StringTableHoldsTypeNamesAndCaptions) {
    ASSERT_TRUE(LoadOrvexModule());
    struct Row {
        UINT id;
        const char* text;
    };
    const Row rows[] = {
        {1, "OrvexViewer Control"},         {2, "OrvexViewer Property Page"},
        {3, "OrvexViewer Property Page 2"}, {4, "OrvexAscanViewer Control"},
        {5, "OrvexAscanViewer Property Page"}, {200, "General"},
        {202, "View"},                      {203, "General"},
    };
    for (const Row& r : rows) EXPECT_EQ(AfxLoadString(r.id), r.text) << r.id;
    std::string missing = "x";
    EXPECT_FALSE(AfxLoadString(201, missing));  // no string between the captions
    EXPECT_TRUE(missing.empty());
}

TEST(ModuleResourcesTest, ToolboxBitmapsAre16By15In16Colours) {
    HINSTANCE h = GetOrvexModuleResources();
    for (UINT id : {IDB_ORVEXVIEWER, IDB_ORVEXASCANVIEWER}) {
        CBitmap bitmap;
        ASSERT_TRUE(AfxLoadBitmap(id, bitmap, h));
        EXPECT_EQ(bitmap.GetWidth(), 16);
        EXPECT_EQ(bitmap.GetHeight(), 15);
        for (BYTE index : h->bitmaps.at(id).indices) EXPECT_LT(index, 16);
        SaveBitmapPng(bitmap, std::string(ORVEX_BINARY_DIR) + "/module_toolbox_" + std::to_string(id) + ".png");
    }
    CBitmap none;
    EXPECT_FALSE(AfxLoadBitmap(3, none, h));
}

TEST(ModuleResourcesTest, VersionAndTemplates) {
    HINSTANCE h = GetOrvexModuleResources();
    EXPECT_EQ(h->version.fileVersion[3], 1);
    EXPECT_EQ(h->version.language, 0x0409);
    EXPECT_EQ(h->version.codePage, 0x04B0);
    bool selfRegister = false;
    for (const auto& [name, value] : h->version.strings)
        if (name == "OLESelfRegister") selfRegister = value.empty();
    EXPECT_TRUE(selfRegister);
    for (UINT id : {IDD_PROPPAGE_ORVEXVIEWER, IDD_PROPPAGE_ORVEXVIEWER2, IDD_PROPPAGE_ORVEXASCANVIEWER}) {
        const CDialogTemplate* t = AfxFindDialogTemplate(id, h);
        ASSERT_NE(t, nullptr);
        EXPECT_EQ(t->cx, 250);
        EXPECT_EQ(t->cy, 110);
        EXPECT_EQ(t->fontFace, "MS Sans Serif");
    }
}

}  // namespace
