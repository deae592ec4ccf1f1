#include "host/AnimationGif.h"

#include <fcntl.h>
#include <gif_lib.h>
#include <unistd.h>

#include <unordered_map>

#include "platform/gdi/CBitmap.h"

namespace {

// Loop for ever: the application extension browsers and viewers read.
constexpr char kLoopApplication[] = "NETSCAPE2.0";
constexpr unsigned char kLoopForever[] = {1, 0, 0};

std::string GifError(int code) {
    const char* text = GifErrorString(code);
    return text != nullptr ? text : "GIF error " + std::to_string(code);
}

uint32_t CubeColour(int index) {
    const int r = (index >> 5) & 7, g = (index >> 2) & 7, b = index & 3;
    return static_cast<uint32_t>((r * 255 + 3) / 7) | static_cast<uint32_t>((g * 255 + 3) / 7) << 8 |
           static_cast<uint32_t>((b * 255 + 1) / 3) << 16;
}

uint8_t CubeIndex(uint32_t c) {
    const int r = c & 0xFF, g = (c >> 8) & 0xFF, b = (c >> 16) & 0xFF;
    return static_cast<uint8_t>(((r * 7 + 127) / 255) << 5 | ((g * 7 + 127) / 255) << 2 | ((b * 3 + 127) / 255));
}

}  // namespace

SGifPalette MakeGifPalette(const uint32_t* pixels, size_t count) {
    SGifPalette palette;
    palette.indices.resize(count);
    std::unordered_map<uint32_t, uint8_t> index;
    for (size_t i = 0; i < count; ++i) {
        const uint32_t c = pixels[i] & 0xFFFFFF;
        auto found = index.find(c);
        if (found == index.end()) {
            if (palette.colours.size() == 256) {
                palette.exact = false;
                break;
            }
            found = index.emplace(c, static_cast<uint8_t>(palette.colours.size())).first;
            palette.colours.push_back(c);
        }
        palette.indices[i] = found->second;
    }
    if (!palette.exact) {
        palette.colours.resize(256);
        for (int i = 0; i < 256; ++i) palette.colours[i] = CubeColour(i);
        for (size_t i = 0; i < count; ++i) palette.indices[i] = CubeIndex(pixels[i]);
    }
    size_t size = 2;
    while (size < palette.colours.size()) size <<= 1;
    palette.colours.resize(size, 0);
    return palette;
}

CAnimationGif::~CAnimationGif() {
    std::string ignored;
    Close(ignored);
}

bool CAnimationGif::Open(const std::string& path, int width, int height, int delayCentiseconds, std::string& error) {
    int code = 0;
    // Opened here, not by giflib, so the file gets the permissions the user's umask gives others.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
    if (fd < 0) {
        error = path + ": cannot write the file";
        return false;
    }
    m_gif = EGifOpenFileHandle(fd, &code);
    if (m_gif == nullptr) {
        ::close(fd);
        error = path + ": " + GifError(code);
        return false;
    }
    m_width = width;
    m_height = height;
    m_delay = delayCentiseconds;
    EGifSetGifVersion(m_gif, true);
    bool ok = EGifPutScreenDesc(m_gif, width, height, 8, 0, nullptr) == GIF_OK &&
              EGifPutExtensionLeader(m_gif, APPLICATION_EXT_FUNC_CODE) == GIF_OK &&
              EGifPutExtensionBlock(m_gif, 11, kLoopApplication) == GIF_OK &&
              EGifPutExtensionBlock(m_gif, 3, kLoopForever) == GIF_OK && EGifPutExtensionTrailer(m_gif) == GIF_OK;
    if (!ok) error = path + ": " + GifError(m_gif->Error);
    return ok;
}

bool CAnimationGif::AddFrame(const CBitmap& frame, bool& exact, std::string& error) {
    if (m_gif == nullptr) {
        error = "the animation is not open";
        return false;
    }
    if (frame.GetWidth() != m_width || frame.GetHeight() != m_height) {
        error = "a frame of another size";
        return false;
    }
    SGifPalette palette = MakeGifPalette(frame.GetPixels(), static_cast<size_t>(m_width) * m_height);
    exact = palette.exact;
    std::vector<GifColorType> colours(palette.colours.size());
    for (size_t i = 0; i < colours.size(); ++i) {
        colours[i].Red = palette.colours[i] & 0xFF;
        colours[i].Green = (palette.colours[i] >> 8) & 0xFF;
        colours[i].Blue = (palette.colours[i] >> 16) & 0xFF;
    }
    ColorMapObject* map = GifMakeMapObject(static_cast<int>(colours.size()), colours.data());
    if (map == nullptr) {
        error = "not enough memory for a palette";
        return false;
    }
    GraphicsControlBlock control{};
    control.DisposalMode = DISPOSE_DO_NOT;
    control.UserInputFlag = false;
    control.DelayTime = m_delay;
    control.TransparentColor = NO_TRANSPARENT_COLOR;
    GifByteType extension[4];
    const size_t length = EGifGCBToExtension(&control, extension);
    bool ok = EGifPutExtension(m_gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), extension) == GIF_OK &&
              EGifPutImageDesc(m_gif, 0, 0, m_width, m_height, false, map) == GIF_OK;
    for (int y = 0; ok && y < m_height; ++y)
        ok = EGifPutLine(m_gif, palette.indices.data() + static_cast<size_t>(y) * m_width, m_width) == GIF_OK;
    GifFreeMapObject(map);
    if (!ok) error = GifError(m_gif->Error);
    return ok;
}

bool CAnimationGif::Close(std::string& error) {
    if (m_gif == nullptr) return true;
    int code = 0;
    const bool ok = EGifCloseFile(m_gif, &code) == GIF_OK;
    m_gif = nullptr;
    if (!ok) error = GifError(code);
    return ok;
}
