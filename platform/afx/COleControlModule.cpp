#include "platform/afx/COleControlModule.h"

#include "platform/afx/DialogTemplate.h"
#include "platform/gdi/CBitmap.h"

const COLORREF kStandardPalette16[16] = {
    RGB(0, 0, 0),       RGB(128, 0, 0),   RGB(0, 128, 0),   RGB(128, 128, 0),
    RGB(0, 0, 128),     RGB(128, 0, 128), RGB(0, 128, 128), RGB(192, 192, 192),
    RGB(128, 128, 128), RGB(255, 0, 0),   RGB(0, 255, 0),   RGB(255, 255, 0),
    RGB(0, 0, 255),     RGB(255, 0, 255), RGB(0, 255, 255), RGB(255, 255, 255),
};

namespace {
HINSTANCE g_resourceHandle = nullptr;
COleControlModule* g_module = nullptr;

HINSTANCE Resolve(HINSTANCE h) { return h ? h : g_resourceHandle; }
}  // namespace

HINSTANCE AfxGetResourceHandle() { return g_resourceHandle; }
void AfxSetResourceHandle(HINSTANCE hInstance) { g_resourceHandle = hInstance; }
HINSTANCE AfxGetInstanceHandle() { return g_module ? g_module->m_hInstance : nullptr; }

BOOL AfxLoadString(UINT nID, std::string& text, HINSTANCE hInstance) {
    text.clear();
    HINSTANCE h = Resolve(hInstance);
    if (h == nullptr) return FALSE;
    auto it = h->strings.find(nID);
    if (it == h->strings.end()) return FALSE;
    text = it->second;
    return TRUE;
}

std::string AfxLoadString(UINT nID) {
    std::string text;
    AfxLoadString(nID, text);
    return text;
}

const CDialogTemplate* AfxFindDialogTemplate(UINT nID, HINSTANCE hInstance) {
    HINSTANCE h = Resolve(hInstance);
    if (h == nullptr) return nullptr;
    auto it = h->dialogs.find(nID);
    return it == h->dialogs.end() ? nullptr : it->second;
}

BOOL AfxLoadBitmap(UINT nID, CBitmap& bitmap, HINSTANCE hInstance) {
    HINSTANCE h = Resolve(hInstance);
    if (h == nullptr) return FALSE;
    auto it = h->bitmaps.find(nID);
    if (it == h->bitmaps.end()) return FALSE;
    const HINSTANCE__::Bitmap16& b = it->second;
    if (b.width <= 0 || b.height <= 0 || b.indices.size() != static_cast<size_t>(b.width) * b.height) return FALSE;
    std::vector<uint32_t> pixels(b.indices.size());
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = kStandardPalette16[b.indices[i] & 15];
    return bitmap.CreateBitmap(b.width, b.height, 1, 32, pixels.data());
}

COleControlModule::COleControlModule(LPCTSTR lpszAppName) : m_strAppName(lpszAppName ? lpszAppName : "") {}

COleControlModule::~COleControlModule() {
    if (g_module == this) g_module = nullptr;
}

BOOL COleControlModule::InitInstance() {
    if (m_hInstance == nullptr) return FALSE;
    AfxSetResourceHandle(m_hInstance);
    g_module = this;
    return TRUE;
}

int COleControlModule::ExitInstance() {
    if (g_module == this) {
        g_module = nullptr;
        if (g_resourceHandle == m_hInstance) g_resourceHandle = nullptr;
    }
    return 0;
}

COleControlModule* AfxGetModule() { return g_module; }
