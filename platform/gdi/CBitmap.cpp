#include "platform/gdi/CBitmap.h"

#include "platform/gdi/PixelStore.h"

#include <cstring>

namespace {
constexpr int kMaxSide = 32768;
constexpr long long kMaxPixels = 1LL << 28;
}  // namespace

CBitmap::~CBitmap() { DeleteObject(); }

void CBitmap::OnDeleteData() { m_store.reset(); }

BOOL CBitmap::CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits) {
    if (m_hObject != nullptr) return FALSE;
    const UINT depth = planes * bitsPerPixel;
    if (depth != 24 && depth != 32) return FALSE;
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) return FALSE;
    if (static_cast<long long>(width) * height > kMaxPixels) return FALSE;
    auto store = std::make_shared<gdi::PixelStore>();
    store->width = width;
    store->height = height;
    store->pixels.assign(static_cast<size_t>(width) * height, 0u);
    if (bits != nullptr) {
        std::memcpy(store->pixels.data(), bits, store->pixels.size() * sizeof(uint32_t));
        for (uint32_t& p : store->pixels) p &= 0x00FFFFFFu;
    }
    m_store = std::move(store);
    AttachSelf();
    return TRUE;
}

BOOL CBitmap::CreateCompatibleBitmap(CDC* /*dc*/, int width, int height) {
    return CreateBitmap(width, height, 1, 32, nullptr);
}

int CBitmap::GetBitmap(BITMAP* bitmap) const {
    std::shared_ptr<gdi::PixelStore> s = GetStore();
    if (s == nullptr || bitmap == nullptr) return 0;
    bitmap->bmType = 0;
    bitmap->bmWidth = s->width;
    bitmap->bmHeight = s->height;
    bitmap->bmWidthBytes = s->width * 4;
    bitmap->bmPlanes = 1;
    bitmap->bmBitsPixel = 32;
    bitmap->bmBits = s->pixels.data();
    return sizeof(BITMAP);
}

CSize CBitmap::GetBitmapDimension() const {
    std::shared_ptr<gdi::PixelStore> s = GetStore();
    return s == nullptr ? CSize(0, 0) : CSize(s->width, s->height);
}

uint32_t* CBitmap::GetPixels() {
    std::shared_ptr<gdi::PixelStore> s = GetStore();
    return s == nullptr ? nullptr : s->pixels.data();
}

const uint32_t* CBitmap::GetPixels() const {
    std::shared_ptr<gdi::PixelStore> s = GetStore();
    return s == nullptr ? nullptr : s->pixels.data();
}

int CBitmap::GetWidth() const {
    std::shared_ptr<gdi::PixelStore> s = GetStore();
    return s == nullptr ? 0 : s->width;
}

int CBitmap::GetHeight() const {
    std::shared_ptr<gdi::PixelStore> s = GetStore();
    return s == nullptr ? 0 : s->height;
}

std::shared_ptr<gdi::PixelStore> CBitmap::GetStore() const {
    const CBitmap* o = static_cast<const CBitmap*>(DataObject(OBJ_BITMAP));
    return o == nullptr ? nullptr : o->m_store;
}
