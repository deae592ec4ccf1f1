// The runner half of a document: the virtual clock, the page surface and injected mouse input.
#include <array>

#include "host/HostDocument.h"
#include "platform/base/SafeFile.h"
#include "platform/gdi/CBitmap.h"
#include "platform/gdi/Png.h"
#include "platform/win/CWindowManager.h"
#include "platform/win/CWnd.h"

namespace {

struct SMouseActionName {
    const char* name;
    CWindowManager::MouseAction action;
};
constexpr std::array<SMouseActionName, 6> kMouseActions = {{
    {"move", CWindowManager::MouseAction::Move},
    {"down", CWindowManager::MouseAction::LeftDown},
    {"up", CWindowManager::MouseAction::LeftUp},
    {"dblclick", CWindowManager::MouseAction::LeftDoubleClick},
    {"rdown", CWindowManager::MouseAction::RightDown},
    {"rup", CWindowManager::MouseAction::RightUp},
}};

}  // namespace

HWND CHostDocument::GetPageWindow() const { return m_pPage ? m_pPage->GetSafeHwnd() : nullptr; }

uint64_t CHostDocument::GetTime() const { return m_pWindowManager ? m_pWindowManager->GetTime() : 0; }

void CHostDocument::Pump(DWORD ms) {
    if (m_pWindowManager) m_pWindowManager->Pump(ms);
}

bool CHostDocument::Render(const std::string& path, std::string& error) {
    const CBitmap* surface = m_pWindowManager && m_pPage ? m_pWindowManager->GetSurface(m_pPage->GetSafeHwnd()) : nullptr;
    if (surface == nullptr) {
        error = path + ": no document is open";
        return false;
    }
    m_pWindowManager->PaintAll();
    // A job that writes in the background hands the picture over; the writer makes the file as
    // any output is made.
    if (CPngBackgroundWrites::Active()) return SaveBitmapPng(*surface, path);
    std::string why;
    const bool written = WriteOutputFile(
        path,
        [surface](const std::string& target, std::string&) { return SaveBitmapPng(*surface, target); }, why);
    if (!written) {
        error = path + ": cannot write the picture" + (why.empty() ? std::string() : " (" + why + ")");
        return false;
    }
    return true;
}

bool CHostDocument::CopyPage(CBitmap& picture) {
    const CBitmap* surface = m_pWindowManager && m_pPage ? m_pWindowManager->GetSurface(m_pPage->GetSafeHwnd()) : nullptr;
    if (surface == nullptr) return false;
    m_pWindowManager->PaintAll();
    return picture.CreateBitmap(surface->GetWidth(), surface->GetHeight(), 1, 32, surface->GetPixels()) != FALSE;
}

bool CHostDocument::HasInvalidWindows() const {
    return m_pWindowManager && m_pWindowManager->HasInvalidWindows();
}

COLORREF CHostDocument::Pixel(int x, int y) {
    const CBitmap* surface = m_pWindowManager && m_pPage ? m_pWindowManager->GetSurface(m_pPage->GetSafeHwnd()) : nullptr;
    if (surface == nullptr) return CLR_INVALID;
    m_pWindowManager->PaintAll();
    if (x < 0 || y < 0 || x >= surface->GetWidth() || y >= surface->GetHeight()) return CLR_INVALID;
    return surface->GetPixels()[static_cast<size_t>(y) * static_cast<size_t>(surface->GetWidth()) +
                                static_cast<size_t>(x)] & 0x00FFFFFFu;
}

bool CHostDocument::Mouse(std::string_view action, int x, int y) {
    if (!m_pWindowManager || !m_pPage) return false;
    for (const SMouseActionName& a : kMouseActions)
        if (action == a.name) return m_pWindowManager->QueueMouseInput(m_pPage->GetSafeHwnd(), a.action, CPoint(x, y));
    return false;
}
