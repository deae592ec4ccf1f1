#include "platform/gdi/Png.h"

#include "platform/base/SafeFile.h"
#include "platform/gdi/CBitmap.h"

#include <png.h>

#include <algorithm>
#include <condition_variable>
#include <csetjmp>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace {

struct FileCloser {
    void operator()(FILE* f) const {
        if (f != nullptr) std::fclose(f);
    }
};
using FilePtr = std::unique_ptr<FILE, FileCloser>;

constexpr png_uint_32 kMaxSide = 32768;

// Chosen by measurement on the demo's 154 pictures (bench/gdi/PngBench.cpp): the "up" filter at
// zlib level 4 encodes in about half the time of libpng's defaults (adaptive filters, level 6),
// and no file is more than 1.25 times as large (1.06 in total). Levels 1 to 3 and the run-length
// strategy are faster still but up to 2.3 times larger.
constexpr int kPngFilter = PNG_FILTER_UP;
constexpr int kPngLevel = 4;

// Encodes w x h pixels (0x00BBGGRR, rows top to bottom) into an open file.
bool WritePng(FILE* file, const uint32_t* pixels, int w, int h) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (png == nullptr) return false;
    png_infop info = png_create_info_struct(png);
    if (info == nullptr || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, info != nullptr ? &info : nullptr);
        return false;
    }
    png_init_io(png, file);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, kPngFilter);
    png_set_compression_level(png, kPngLevel);
    png_set_IHDR(png, info, static_cast<png_uint_32>(w), static_cast<png_uint_32>(h), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    // A pixel's bytes in memory are R, G, B and an unused one, which libpng drops: the rows are
    // handed over where they are.
    png_set_filler(png, 0, PNG_FILLER_AFTER);
    for (int y = 0; y < h; ++y)
        png_write_row(png, reinterpret_cast<png_const_bytep>(pixels + static_cast<size_t>(y) * static_cast<size_t>(w)));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

bool WritePngFile(const std::string& path, const uint32_t* pixels, int w, int h) {
    FilePtr file(std::fopen(path.c_str(), "wb"));
    if (!file) return false;
    if (!WritePng(file.get(), pixels, w, h)) return false;
    return std::fflush(file.get()) == 0 && std::ferror(file.get()) == 0;
}

thread_local CPngBackgroundWrites* t_background = nullptr;

}  // namespace

// ---- background writes --------------------------------------------------------------------------

namespace {

struct stPngJob {
    std::string path;
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
};

// Pictures waiting at most: they are copies, and drawing may outrun encoding.
constexpr size_t kMaxWaiting = 8;

}  // namespace

struct CPngBackgroundWrites::stState {
    std::mutex mutex;
    std::condition_variable wake, room, done;
    std::deque<std::unique_ptr<stPngJob>> queue;
    size_t pending = 0;
    bool stopping = false;
    std::vector<std::string> failed;
    std::vector<std::thread> workers;

    void Work() {
        for (;;) {
            std::unique_ptr<stPngJob> job;
            {
                std::unique_lock<std::mutex> lock(mutex);
                wake.wait(lock, [this] { return stopping || !queue.empty(); });
                if (queue.empty()) return;
                job = std::move(queue.front());
                queue.pop_front();
            }
            room.notify_one();
            // Written as any output is (a temporary name renamed over a regular file, a FIFO or a
            // device written as such): nobody sees a half-written picture.
            std::string why;
            const bool ok = WriteOutputFile(
                job->path,
                [&job](const std::string& target, std::string&) {
                    return WritePngFile(target, job->pixels.data(), job->width, job->height);
                },
                why);
            {
                std::lock_guard<std::mutex> lock(mutex);
                if (!ok) failed.push_back(job->path);
                --pending;
            }
            done.notify_all();
        }
    }
};

CPngBackgroundWrites::CPngBackgroundWrites(unsigned workers) : m_state(std::make_unique<stState>()) {
    if (workers == 0) workers = std::max(1u, std::thread::hardware_concurrency());
    for (unsigned i = 0; i < workers; ++i) m_state->workers.emplace_back([state = m_state.get()] { state->Work(); });
    m_previous = t_background;
    t_background = this;
}

CPngBackgroundWrites::~CPngBackgroundWrites() {
    t_background = m_previous;
    {
        std::lock_guard<std::mutex> lock(m_state->mutex);
        m_state->stopping = true;  // the workers empty the queue first
    }
    m_state->wake.notify_all();
    for (auto& t : m_state->workers) t.join();
}

bool CPngBackgroundWrites::Active() { return t_background != nullptr; }

bool CPngBackgroundWrites::Queue(const CBitmap& bitmap, const std::string& path) {
    auto job = std::make_unique<stPngJob>();
    std::error_code ec;
    // The caller's working folder may change before the write runs.
    job->path = std::filesystem::absolute(path, ec).string();
    if (ec) return false;
    job->width = bitmap.GetWidth();
    job->height = bitmap.GetHeight();
    const uint32_t* pixels = bitmap.GetPixels();
    job->pixels.assign(pixels, pixels + static_cast<size_t>(job->width) * static_cast<size_t>(job->height));
    stState& s = *m_state;
    std::unique_lock<std::mutex> lock(s.mutex);
    s.room.wait(lock, [&s] { return s.queue.size() < kMaxWaiting; });
    s.queue.push_back(std::move(job));
    ++s.pending;
    lock.unlock();
    s.wake.notify_one();
    return true;
}

bool CPngBackgroundWrites::Finish(std::string& error) {
    stState& s = *m_state;
    std::unique_lock<std::mutex> lock(s.mutex);
    s.done.wait(lock, [&s] { return s.pending == 0; });
    if (s.failed.empty()) return true;
    error = s.failed.front() + ": cannot write the picture";
    if (s.failed.size() > 1) error += " (and " + std::to_string(s.failed.size() - 1) + " more)";
    s.failed.clear();
    return false;
}

// ---- files ----------------------------------------------------------------------------------------

bool SaveBitmapPng(const CBitmap& bitmap, const std::string& path) {
    const uint32_t* pixels = bitmap.GetPixels();
    const int w = bitmap.GetWidth(), h = bitmap.GetHeight();
    if (pixels == nullptr || w <= 0 || h <= 0) return false;
    if (t_background != nullptr) return t_background->Queue(bitmap, path);
    return WritePngFile(path, pixels, w, h);
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
