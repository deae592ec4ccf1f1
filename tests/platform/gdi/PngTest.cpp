// PNG writing and reading.
#include "GdiTestUtil.h"

#include "platform/gdi/Png.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

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

namespace {

std::vector<uint32_t> Pattern(int w, int h, uint32_t seed) {
    std::vector<uint32_t> px(static_cast<size_t>(w) * static_cast<size_t>(h));
    for (size_t i = 0; i < px.size(); ++i) px[i] = (seed * 2654435761u + static_cast<uint32_t>(i) * 40503u) & 0x00FFFFFFu;
    return px;
}

void Paint(CBitmap& b, int w, int h, const std::vector<uint32_t>& px) {
    if (b.GetWidth() != w || b.GetHeight() != h) {
        ASSERT_TRUE(b.CreateBitmap(w, h, 1, 32, nullptr));
    }
    std::copy(px.begin(), px.end(), b.GetPixels());
}

void ExpectSamePixels(const std::vector<uint32_t>& expected, int w, int h, const std::string& path) {
    CBitmap loaded;
    ASSERT_TRUE(LoadBitmapPng(path, loaded)) << path;
    ASSERT_EQ(loaded.GetWidth(), w);
    ASSERT_EQ(loaded.GetHeight(), h);
    size_t differing = 0;
    for (size_t i = 0; i < expected.size(); ++i) differing += (loaded.GetPixels()[i] != (expected[i] & 0x00FFFFFFu));
    EXPECT_EQ(differing, 0u) << path;
}

}  // namespace

TEST(PngTest, TheUnusedByteOfAPixelIsNotWritten) {
    // Rows go to the encoder where they are; the fourth byte of each pixel must be dropped.
    std::vector<uint32_t> px = Pattern(33, 5, 7);
    for (uint32_t& p : px) p |= 0xA5000000u;
    CBitmap b;
    Paint(b, 33, 5, px);
    const std::string path = std::string(ORVEX_BINARY_DIR) + "/png_unused_byte.png";
    ASSERT_TRUE(SaveBitmapPng(b, path));
    ExpectSamePixels(px, 33, 5, path);
    std::remove(path.c_str());
}

TEST(PngTest, BackgroundWritesCopyThePixelsAndFinishBeforeTheyAreReported) {
    const std::string dir = std::string(ORVEX_BINARY_DIR) + "/png_background";
    std::filesystem::create_directories(dir);
    std::vector<std::vector<uint32_t>> expected;
    EXPECT_FALSE(CPngBackgroundWrites::Active());
    {
        CPngBackgroundWrites writes(2);
        EXPECT_TRUE(CPngBackgroundWrites::Active());
        // One bitmap redrawn between saves, as a control redraws its surface: every file must
        // hold the picture of its own moment. More pictures than the queue holds.
        CBitmap surface;
        for (uint32_t k = 0; k < 20; ++k) {
            expected.push_back(Pattern(120, 90, k));
            Paint(surface, 120, 90, expected.back());
            ASSERT_TRUE(SaveBitmapPng(surface, dir + "/p" + std::to_string(k) + ".png"));
        }
        // Another thread writes at once: only the thread that made the writer is deferred.
        std::thread other([&] {
            EXPECT_FALSE(CPngBackgroundWrites::Active());
            EXPECT_TRUE(SaveBitmapPng(surface, dir + "/other.png"));
            ExpectSamePixels(expected.back(), 120, 90, dir + "/other.png");
        });
        other.join();
        std::string error;
        EXPECT_TRUE(writes.Finish(error)) << error;
        for (uint32_t k = 0; k < 20; ++k) ExpectSamePixels(expected[k], 120, 90, dir + "/p" + std::to_string(k) + ".png");
    }
    EXPECT_FALSE(CPngBackgroundWrites::Active());
    for (const auto& e : std::filesystem::directory_iterator(dir))
        EXPECT_EQ(e.path().extension(), ".png") << e.path();  // nothing half-written is left
    std::filesystem::remove_all(dir);
}

TEST(PngTest, BackgroundWritesTakeRelativePathsAtTheCallAndReportFailures) {
    const std::string dir = std::string(ORVEX_BINARY_DIR) + "/png_background_relative";
    std::filesystem::create_directories(dir);
    const auto home = std::filesystem::current_path();
    const std::vector<uint32_t> px = Pattern(16, 16, 5);
    CBitmap b;
    Paint(b, 16, 16, px);
    std::string error;
    {
        CPngBackgroundWrites writes(1);
        std::filesystem::current_path(dir);
        ASSERT_TRUE(SaveBitmapPng(b, "relative.png"));
        std::filesystem::current_path(home);  // before the worker may have run
        EXPECT_TRUE(SaveBitmapPng(b, dir + "/missing-folder/a.png"));  // queued; fails later
        EXPECT_TRUE(SaveBitmapPng(b, dir + "/missing-folder/b.png"));
        EXPECT_FALSE(writes.Finish(error));
        EXPECT_EQ(error, dir + "/missing-folder/a.png: cannot write the picture (and 1 more)");
        // Reported once: what is queued afterwards starts clean.
        EXPECT_TRUE(SaveBitmapPng(b, dir + "/after.png"));
        EXPECT_TRUE(writes.Finish(error));
    }
    ExpectSamePixels(px, 16, 16, dir + "/relative.png");
    ExpectSamePixels(px, 16, 16, dir + "/after.png");
    EXPECT_FALSE(std::filesystem::exists(dir + "/missing-folder"));
    std::filesystem::remove_all(dir);
}
