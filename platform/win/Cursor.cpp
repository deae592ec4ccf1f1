#include "platform/win/Cursor.h"

#include <deque>
#include <memory>
#include <unordered_map>

#include "platform/win/CWindowManager.h"

// A loaded cursor. Cursors are shared and live as long as the process, as the platform's shared
// cursors do, so a handle never dangles.
struct HICON__ {
    UINT nId = 0;
    bool bStandard = false;
    CCursorResource resource;
};

namespace {

// The platform's standard cursor ids.
constexpr UINT kStandardIds[] = {32512, 32513, 32514, 32515, 32516, 32642, 32643,
                                 32644, 32645, 32646, 32648, 32649};

struct CursorRegistry {
    std::deque<std::unique_ptr<HICON__>> all;
    std::unordered_map<UINT, HICON__*> standard;
    std::unordered_map<UINT, HICON__*> module;

    CursorRegistry() {
        for (UINT id : kStandardIds) {
            auto cursor = std::make_unique<HICON__>();
            cursor->nId = id;
            cursor->bStandard = true;
            cursor->resource.nId = id;
            standard[id] = cursor.get();
            all.push_back(std::move(cursor));
        }
    }
};

CursorRegistry& Registry() {
    static CursorRegistry registry;
    return registry;
}

}  // namespace

void RegisterCursorResource(const CCursorResource& resource) {
    CursorRegistry& registry = Registry();
    auto cursor = std::make_unique<HICON__>();
    cursor->nId = resource.nId;
    cursor->resource = resource;
    registry.module[resource.nId] = cursor.get();
    registry.all.push_back(std::move(cursor));
}

HCURSOR LoadStandardCursor(LPCTSTR lpCursorName) {
    if (!IS_INTRESOURCE(lpCursorName)) return nullptr;
    const UINT id = static_cast<UINT>(reinterpret_cast<uintptr_t>(lpCursorName));
    const auto& standard = Registry().standard;
    auto it = standard.find(id);
    return it == standard.end() ? nullptr : it->second;
}

HCURSOR LoadCursor(UINT nIDResource) {
    const auto& module = Registry().module;
    auto it = module.find(nIDResource);
    return it == module.end() ? nullptr : it->second;
}

HCURSOR LoadCursor(HINSTANCE hInstance, LPCTSTR lpCursorName) {
    if (hInstance == nullptr) return LoadStandardCursor(lpCursorName);
    if (!IS_INTRESOURCE(lpCursorName)) return nullptr;
    return LoadCursor(static_cast<UINT>(reinterpret_cast<uintptr_t>(lpCursorName)));
}

HCURSOR SetCursor(HCURSOR hCursor) { return CWindowManager::Current().SetCursor(hCursor); }

HCURSOR GetCursor() { return CWindowManager::Current().GetCursor(); }

UINT GetCursorId(HCURSOR hCursor) { return hCursor ? hCursor->nId : 0; }

BOOL IsStandardCursor(HCURSOR hCursor) { return (hCursor && hCursor->bStandard) ? TRUE : FALSE; }

const CCursorResource* GetCursorResource(HCURSOR hCursor) {
    return (hCursor && !hCursor->bStandard) ? &hCursor->resource : nullptr;
}
