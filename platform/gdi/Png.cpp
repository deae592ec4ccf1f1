#include "platform/gdi/Png.h"

#include "platform/gdi/CBitmap.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

struct FileCloser {
    void operator()(FILE* f) const {
        if (f != nullptr) std::fclose(f);
    }
};
using FilePtr = std::unique_ptr<FILE, FileCloser>;

constexpr png_uint_32 kMaxSide = 32768;

}  // namespace

bool SaveBitmapPng(const CBitmap& bitmap, const std::string& path) {
    const uint32_t* pixels = bitmap.GetPixels();
    const int w = bitmap.GetWidth(), h = bitmap.GetHeight();
    if (pixels == nullptr || w <= 0 || h <= 0) return false;
    FilePtr file(std::fopen(path.c_str(), "wb"));
    if (!file) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (png == nullptr) return false;
    png_infop info = png_create_info_struct(png);
    std::vector<png_byte> row(static_cast<size_t>(w) * 3);
    if (info == nullptr || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, info != nullptr ? &info : nullptr);
        return false;
    }
    png_init_io(png, file.get());
    png_set_IHDR(png, info, static_cast<png_uint_32>(w), static_cast<png_uint_32>(h), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < h; ++y) {
        const uint32_t* src = pixels + static_cast<size_t>(y) * w;
        for (int x = 0; x < w; ++x) {
            row[3 * x] = static_cast<png_byte>(src[x] & 0xFF);
            row[3 * x + 1] = static_cast<png_byte>((src[x] >> 8) & 0xFF);
            row[3 * x + 2] = static_cast<png_byte>((src[x] >> 16) & 0xFF);
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fflush(file.get()) == 0;
}

bool LoadBitmapPng(const std::string& path, CBitmap& bitmap) {
    FilePtr file(std::fopen(path.c_str(), "rb"));
    if (!file) return false;
    png_byte signature[8];
    if (std::fread(signature, 1, 8, file.get()) != 8 || png_sig_cmp(signature, 0, 8) != 0) return false;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (png == nullptr) return false;
    png_infop info = png_create_info_struct(png);
    std::vector<png_byte> data;
    std::vector<png_bytep> rows;
    if (info == nullptr || setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, info != nullptr ? &info : nullptr, nullptr);
        return false;
    }
    png_set_user_limits(png, kMaxSide, kMaxSide);
    png_init_io(png, file.get());
    png_set_sig_bytes(png, 8);
    png_read_info(png, info);
    // Everything becomes 8-bit RGB.
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_strip_alpha(png);
    png_set_gray_to_rgb(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    const png_uint_32 w = png_get_image_width(png, info), h = png_get_image_height(png, info);
    if (png_get_rowbytes(png, info) != static_cast<size_t>(w) * 3 || w == 0 || h == 0) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    data.resize(static_cast<size_t>(w) * h * 3);
    rows.resize(h);
    for (png_uint_32 y = 0; y < h; ++y) rows[y] = data.data() + static_cast<size_t>(y) * w * 3;
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);

    std::vector<uint32_t> pixels(static_cast<size_t>(w) * h);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = data[3 * i] | (static_cast<uint32_t>(data[3 * i + 1]) << 8) |
                    (static_cast<uint32_t>(data[3 * i + 2]) << 16);
    CBitmap loaded;
    if (!loaded.CreateBitmap(static_cast<int>(w), static_cast<int>(h), 1, 32, pixels.data())) return false;
    bitmap.DeleteObject();
    // The size was accepted above, so creating it in the caller's object cannot fail now.
    return bitmap.CreateBitmap(static_cast<int>(w), static_cast<int>(h), 1, 32, pixels.data()) != FALSE;
}
