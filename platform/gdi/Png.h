#pragma once
// PNG files of bitmaps (8-bit RGB, no alpha).
#include <memory>
#include <string>

class CBitmap;

// Writes the bitmap; false when it has no pixels or the file cannot be written. While a
// CPngBackgroundWrites made on this thread is alive, the bitmap is copied and written in the
// background instead, and the answer says only that it was queued.
bool SaveBitmapPng(const CBitmap& bitmap, const std::string& path);
// Replaces the bitmap by the picture in the file (any PNG colour type and depth; alpha is
// dropped); false, leaving the bitmap as it was, when the file is missing or malformed.
bool LoadBitmapPng(const std::string& path, CBitmap& bitmap);

// Encoding and writing beside the drawing, for a job that writes many independent pictures. The
// thread that makes it keeps drawing; SaveBitmapPng on that thread copies the pixels and returns,
// and workers (one per core unless told) encode and write each picture under a temporary name,
// renamed when complete (a relative path is taken against the working folder at the call).
// Finish() waits for every queued picture and reports the first that failed; the destructor
// waits too. Nesting is allowed: the innermost one takes the calls.
class CPngBackgroundWrites {
public:
    explicit CPngBackgroundWrites(unsigned workers = 0);
    ~CPngBackgroundWrites();
    CPngBackgroundWrites(const CPngBackgroundWrites&) = delete;
    CPngBackgroundWrites& operator=(const CPngBackgroundWrites&) = delete;

    // Waits for the pictures queued so far; false with "PATH: cannot write the picture" (and how
    // many more failed) when any could not be written.
    bool Finish(std::string& error);
    // Whether SaveBitmapPng on this thread writes in the background.
    static bool Active();

private:
    friend bool SaveBitmapPng(const CBitmap& bitmap, const std::string& path);
    struct stState;

    bool Queue(const CBitmap& bitmap, const std::string& path);

    CPngBackgroundWrites* m_previous = nullptr;
    std::unique_ptr<stState> m_state;
};
