// PNG writing and reading.
#include "GdiTestUtil.h"

#include "platform/gdi/Png.h"

#include <cstdio>
#include <fstream>

TEST(PngTest, RoundTripKeepsEveryPixel) {
    CBitmap b;
    ASSERT_TRUE(b.CreateBitmap(7, 3, 1, 32, nullptr));
    for (int i = 0; i < 21; ++i) b.GetPixels()[i] = RGB(i * 12, 255 - i, i * 5);
    const std::string path = std::string(ORVEX_BINARY_DIR) + "/png_round_trip.png";
    ASSERT_TRUE(SaveBitmapPng(b, path));
    CBitmap loaded;
    ASSERT_TRUE(LoadBitmapPng(path, loaded));
    ASSERT_EQ(loaded.GetWidth(), 7);
    ASSERT_EQ(loaded.GetHeight(), 3);
    for (int i = 0; i < 21; ++i) EXPECT_EQ(loaded.GetPixels()[i], b.GetPixels()[i]) << i;
    std::remove(path.c_str());
}

TEST(PngTest, BadFilesFailAndLeaveTheBitmapAlone) {
    const std::string dir = ORVEX_BINARY_DIR;
    struct Row {
        const char* name;
        std::string bytes;
    } rows[] = {
        {"empty.png", ""},
        {"text.png", "not a picture"},
        {"truncated.png", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\x10", 20)},
    };
    CBitmap b;
    ASSERT_TRUE(b.CreateBitmap(2, 2, 1, 32, nullptr));
    b.GetPixels()[0] = RGB(1, 2, 3);
    for (const Row& r : rows) {
        const std::string path = dir + "/" + r.name;
        std::ofstream(path, std::ios::binary) << r.bytes;
        EXPECT_FALSE(LoadBitmapPng(path, b)) << r.name;
        std::remove(path.c_str());
    }
    EXPECT_FALSE(LoadBitmapPng(dir + "/does-not-exist.png", b));
    EXPECT_EQ(b.GetWidth(), 2);
    EXPECT_EQ(b.GetPixels()[0], RGB(1, 2, 3));
    CBitmap none;
    EXPECT_FALSE(SaveBitmapPng(none, dir + "/none.png"));
}
