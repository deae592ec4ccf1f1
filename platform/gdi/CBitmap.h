#pragma once
// A 32-bit bitmap: pixels 0x00BBGGRR in uint32_t, rows top to bottom, no padding.
// The pixel store is shared with every context the bitmap is selected into, so deleting a
// bitmap that is still selected leaves the context drawing into a store nobody sees, never
// into freed memory.
#include "platform/gdi/GdiTypes.h"

#include <memory>

class CDC;
namespace gdi { struct PixelStore; }

class CBitmap : public CGdiObject {
public:
    CBitmap() : CGdiObject(OBJ_BITMAP) {}
    ~CBitmap() override;

    operator HBITMAP() const { return reinterpret_cast<HBITMAP>(m_hObject); }

    // planes x bitsPerPixel must be 24 or 32 (stored as 32); other formats fail. bits, when given,
    // are width x height pixels 0x00BBGGRR, rows top to bottom. Sizes of zero or less fail, and a
    // size beyond 32768 on a side or 2^28 pixels fails rather than allocating.
    BOOL CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits);
    // A bitmap of the context's format (always 32 bits here), filled black.
    BOOL CreateCompatibleBitmap(CDC* dc, int width, int height);
    // Width, height, planes (1), bits per pixel (32), bytes per row and the pixel pointer.
    int GetBitmap(BITMAP* bitmap) const;
    // The bitmap's size in pixels; (0, 0) without a bitmap. (The layers above use this as the size
    // query; nothing here keeps a separate physical dimension.)
    CSize GetBitmapDimension() const;

    static CBitmap* FromHandle(HBITMAP h) { return static_cast<CBitmap*>(CGdiObject::FromHandle(h)); }

    // Direct pixel access for the layers above: GetWidth() x GetHeight() pixels, rows top to
    // bottom, 0x00BBGGRR; null and 0 without a bitmap.
    uint32_t* GetPixels();
    const uint32_t* GetPixels() const;
    int GetWidth() const;
    int GetHeight() const;

    // The shared store of the bitmap this object refers to (for contexts); null without one.
    std::shared_ptr<gdi::PixelStore> GetStore() const;

protected:
    void OnDeleteData() override;

private:
    std::shared_ptr<gdi::PixelStore> m_store;
};
