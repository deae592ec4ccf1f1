// System colours and cursors.
#include "WinTestSupport.h"

#include "platform/win/SysColor.h"

namespace {

TEST(SysColorTest, ClassicSchemeAndUnknownIndices) {
    struct Case {
        int index;
        COLORREF expected;
    };
    const Case cases[] = {
        {COLOR_ACTIVECAPTION, RGB(0, 0, 128)},      // the caption strip of an active plot: navy
        {COLOR_INACTIVECAPTION, RGB(128, 128, 128)}, // and of an inactive one: grey
        {COLOR_WINDOW, RGB(255, 255, 255)},
        {COLOR_WINDOWTEXT, RGB(0, 0, 0)},
        {COLOR_BTNFACE, RGB(192, 192, 192)},
        {25, 0},                                     // unassigned on the platform
        {-1, 0},                                     // out of range below
        {1000, 0},                                   // out of range above
    };
    for (const Case& c : cases) EXPECT_EQ(GetSysColor(c.index), c.expected) << c.index;
}

TEST(CursorTest, StandardCursorsByIdAndUnknownNames) {
    struct Case {
        LPCTSTR name;
        UINT id;
    };
    const Case cases[] = {
        {IDC_ARROW, 32512}, {IDC_CROSS, 32515}, {IDC_SIZEWE, 32644}, {IDC_SIZENS, 32645}, {IDC_SIZEALL, 32646},
    };
    for (const Case& c : cases) {
        const HCURSOR h = LoadCursor(nullptr, c.name);
        ASSERT_NE(h, nullptr) << c.id;
        EXPECT_EQ(GetCursorId(h), c.id);
        EXPECT_TRUE(IsStandardCursor(h));
        EXPECT_EQ(LoadStandardCursor(c.name), h);  // shared: the same handle each time
    }
    EXPECT_EQ(LoadStandardCursor(MAKEINTRESOURCE(258)), nullptr);  // not a standard cursor
    EXPECT_EQ(LoadStandardCursor("IDC_ARROW"), nullptr);           // string names are not supported
}

TEST(CursorTest, ModuleCursorResourcesAreRegisteredById) {
    const HINSTANCE module = reinterpret_cast<HINSTANCE>(static_cast<uintptr_t>(0x400000));
    EXPECT_EQ(LoadCursor(module, MAKEINTRESOURCE(4242)), nullptr);  // not registered
    CCursorResource resource;
    resource.nId = 4242;
    resource.ptHotSpot = POINT{16, 15};
    RegisterCursorResource(resource);
    const HCURSOR h = LoadCursor(module, MAKEINTRESOURCE(4242));
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(LoadCursor(4242u), h);
    EXPECT_FALSE(IsStandardCursor(h));
    ASSERT_NE(GetCursorResource(h), nullptr);
    EXPECT_EQ(GetCursorResource(h)->ptHotSpot.y, 15);
    // A null instance means the standard cursors, where 4242 does not exist.
    EXPECT_EQ(LoadCursor(nullptr, MAKEINTRESOURCE(4242)), nullptr);
}

}  // namespace
