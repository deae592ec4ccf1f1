// The animation's palettes and frame delays.
#include <gtest/gtest.h>

#include <gif_lib.h>

#include "host/AnimationGif.h"
#include "host/AnimationJob.h"
#include "platform/gdi/CBitmap.h"
#include "tests/host/HostTestSupport.h"

namespace {

TEST(AnimationGifPalette, FewColoursAreKeptExactly) {
    const std::vector<uint32_t> pixels = {0xFFFFFF, 0x0000FF, 0xFFFFFF, 0x00FF00, 0x123456, 0x0000FF};
    const SGifPalette p = MakeGifPalette(pixels.data(), pixels.size());
    EXPECT_TRUE(p.exact);
    EXPECT_EQ(p.colours.size(), 4u) << "four colours, a power of two";
    for (size_t i = 0; i < pixels.size(); ++i) EXPECT_EQ(p.colours[p.indices[i]], pixels[i]) << i;
    // The unused byte of a pixel does not make another colour.
    const uint32_t marked[] = {0xFF000000u | 0x102030u, 0x102030u};
    const SGifPalette q = MakeGifPalette(marked, 2);
    EXPECT_EQ(q.indices[0], q.indices[1]);
    EXPECT_EQ(q.colours.size(), 2u) << "one colour still needs a two-entry table";
}

TEST(AnimationGifPalette, ManyColoursFallBackToTheCube) {
    std::vector<uint32_t> pixels;
    for (uint32_t i = 0; i < 300; ++i) pixels.push_back(i * 0x010203u);
    pixels.push_back(0xFFFFFF);
    pixels.push_back(0x000000);
    const SGifPalette p = MakeGifPalette(pixels.data(), pixels.size());
    EXPECT_FALSE(p.exact);
    ASSERT_EQ(p.colours.size(), 256u);
    EXPECT_EQ(p.colours[p.indices[pixels.size() - 2]], 0xFFFFFFu) << "white stays white";
    EXPECT_EQ(p.colours[p.indices[pixels.size() - 1]], 0x000000u) << "black stays black";
    for (size_t i = 0; i < pixels.size(); ++i) {
        const uint32_t a = pixels[i], b = p.colours[p.indices[i]];
        for (int shift : {0, 8, 16}) {
            const int d = std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF));
            ASSERT_LE(d, shift == 16 ? 43 : 19) << "the nearest level of the cube, pixel " << i;
        }
    }
}

TEST(AnimationGifDelay, FollowsTheFrameRate) {
    struct Row {
        int fps, delay;
    } rows[] = {{5, 20}, {1, 100}, {3, 33}, {50, 2}, {0, 100}};
    for (const Row& r : rows) EXPECT_EQ(AnimationDelay(r.fps), r.delay) << r.fps;
}

class AnimationGifFileTest : public HostTest {};

TEST_F(AnimationGifFileTest, WritesFramesThatReadBack) {
    CBitmap a, b;
    ASSERT_TRUE(a.CreateBitmap(3, 2, 1, 32, nullptr));
    ASSERT_TRUE(b.CreateBitmap(3, 2, 1, 32, nullptr));
    const uint32_t first[] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x000000, 0x808080};
    std::copy(first, first + 6, a.GetPixels());
    std::fill(b.GetPixels(), b.GetPixels() + 6, 0x336699u);
    CAnimationGif gif;
    std::string error;
    ASSERT_TRUE(gif.Open(PathOf("a.gif"), 3, 2, 7, error)) << error;
    bool exact = false;
    ASSERT_TRUE(gif.AddFrame(a, exact, error)) << error;
    EXPECT_TRUE(exact);
    ASSERT_TRUE(gif.AddFrame(b, exact, error)) << error;
    CBitmap wrong;
    ASSERT_TRUE(wrong.CreateBitmap(2, 2, 1, 32, nullptr));
    EXPECT_FALSE(gif.AddFrame(wrong, exact, error)) << "a frame of another size";
    ASSERT_TRUE(gif.Close(error)) << error;

    int code = 0;
    GifFileType* in = DGifOpenFileName(PathOf("a.gif").c_str(), &code);
    ASSERT_NE(in, nullptr);
    ASSERT_EQ(DGifSlurp(in), GIF_OK);
    ASSERT_EQ(in->ImageCount, 2);
    for (int k = 0; k < 2; ++k) {
        GraphicsControlBlock control;
        ASSERT_EQ(DGifSavedExtensionToGCB(in, k, &control), GIF_OK);
        EXPECT_EQ(control.DelayTime, 7);
        const SavedImage& image = in->SavedImages[k];
        const ColorMapObject* map = image.ImageDesc.ColorMap;
        ASSERT_NE(map, nullptr);
        const uint32_t* expected = k == 0 ? first : b.GetPixels();
        for (int i = 0; i < 6; ++i) {
            const GifColorType c = map->Colors[image.RasterBits[i]];
            EXPECT_EQ(static_cast<uint32_t>(c.Red | c.Green << 8 | c.Blue << 16), expected[i]) << k << " " << i;
        }
    }
    DGifCloseFile(in, &code);
}

}  // namespace
