// The frame object macros get from host.frame(): every method acts on the frame that was open when
// the object was made, and refuses once that frame has closed.
//
// Lua errors jump over C++ frames, so no object with a destructor is alive where one is raised:
// texts are built in inner scopes and copied to Lua before the error.
#include "host/PropertyFrameLua.h"

#include <lua.hpp>

#include <cctype>
#include <cstring>
#include <string>

#include <algorithm>

#include "host/LuaSandbox.h"
#include "host/PropertyFrame.h"

namespace {

// Each frame opened gets a new number, so an object of a closed frame is told apart.
lua_Integer FrameSerial() {
    static CPropertyFrame* last = nullptr;
    static lua_Integer serial = 0;
    CPropertyFrame* frame = GetOpenPropertyFrame();
    if (frame != last) {
        last = frame;
        ++serial;
    }
    return serial;
}

// The frame behind the object (argument 1), or a Lua error.
CPropertyFrame* FrameOf(lua_State* L, const char* method) {
    luaL_checktype(L, 1, LUA_TTABLE);
    lua_getfield(L, 1, "_serial");
    const lua_Integer serial = lua_tointeger(L, -1);
    lua_pop(L, 1);
    CPropertyFrame* frame = GetOpenPropertyFrame();
    if (frame == nullptr || serial != FrameSerial()) luaL_error(L, "frame:%s: the property frame is closed", method);
    return frame;
}

COlePropertyPage* PageOf(lua_State* L, const char* method) {
    CPropertyFrame* frame = FrameOf(L, method);
    COlePropertyPage* page = frame->GetActivePage();
    if (page == nullptr) luaL_error(L, "frame:%s: no page is shown", method);
    return page;
}

// The control id (argument 2) of a control on the shown page.
int ControlIdOf(lua_State* L, COlePropertyPage* page, const char* method) {
    const lua_Integer id = luaL_checkinteger(L, 2);
    if (id < 0 || id > 0xFFFF || page->GetDlgItem(static_cast<int>(id)) == nullptr)
        luaL_error(L, "frame:%s: the page has no control %d", method, static_cast<int>(id));
    return static_cast<int>(id);
}

void PushString(lua_State* L, const std::string& s) { lua_pushlstring(L, s.data(), s.size()); }

int FrameCount(lua_State* L) {
    lua_pushinteger(L, FrameOf(L, "count")->GetPageCount());
    return 1;
}

int FrameCaption(lua_State* L) {
    PushString(L, FrameOf(L, "caption")->GetCaption());
    return 1;
}

// page(i) shows tab i (from 1) and returns its caption; page() returns the shown tab and caption.
int FramePage(lua_State* L) {
    CPropertyFrame* frame = FrameOf(L, "page");
    if (!lua_isnoneornil(L, 2)) {
        const lua_Integer i = luaL_checkinteger(L, 2);
        if (i < 1 || i > frame->GetPageCount() || !frame->SetActivePage(static_cast<int>(i - 1)))
            return luaL_error(L, "frame:page: no page %d (the frame has %d)", static_cast<int>(i), frame->GetPageCount());
    }
    lua_pushinteger(L, frame->GetActiveIndex() + 1);
    PushString(L, frame->GetActivePage()->GetCaption());
    return 2;
}

int FrameText(lua_State* L) {
    COlePropertyPage* page = PageOf(L, "text");
    PushString(L, page->GetDlgItemText(ControlIdOf(L, page, "text")));
    return 1;
}

int FrameSetText(lua_State* L) {
    COlePropertyPage* page = PageOf(L, "set_text");
    const int id = ControlIdOf(L, page, "set_text");
    size_t len = 0;
    const char* text = luaL_checklstring(L, 3, &len);
    bool ok;
    {
        ok = page->UserSetText(id, std::string(text, len)) != FALSE;
    }
    if (!ok) return luaL_error(L, "frame:set_text: control %d takes no text", id);
    return 0;
}

int FrameChecked(lua_State* L) {
    COlePropertyPage* page = PageOf(L, "checked");
    lua_pushboolean(L, page->IsDlgButtonChecked(ControlIdOf(L, page, "checked")));
    return 1;
}

int FrameCheck(lua_State* L) {
    COlePropertyPage* page = PageOf(L, "check");
    const int id = ControlIdOf(L, page, "check");
    luaL_checktype(L, 3, LUA_TBOOLEAN);
    if (!page->UserCheck(id, lua_toboolean(L, 3) ? TRUE : FALSE))
        return luaL_error(L, "frame:check: control %d cannot be set that way", id);
    return 0;
}

// select(id, n) picks entry n (from 1); select(id, "text") the first entry with that text.
int FrameSelect(lua_State* L) {
    COlePropertyPage* page = PageOf(L, "select");
    const int id = ControlIdOf(L, page, "select");
    CDialogControl* list = page->GetDlgItem(id);
    int index = -1;
    if (lua_type(L, 3) == LUA_TNUMBER) {
        const lua_Integer n = luaL_checkinteger(L, 3);
        if (n >= 1 && n <= list->GetCount()) index = static_cast<int>(n - 1);
    } else {
        const char* text = luaL_checkstring(L, 3);
        for (int i = 0; i < list->GetCount() && index < 0; ++i)
            if (list->GetList()[static_cast<size_t>(i)] == text) index = i;
    }
    if (index < 0 || !page->UserSelect(id, index)) return luaL_error(L, "frame:select: control %d has no such entry", id);
    return 0;
}

int FrameList(lua_State* L) {
    COlePropertyPage* page = PageOf(L, "list");
    CDialogControl* list = page->GetDlgItem(ControlIdOf(L, page, "list"));
    lua_createtable(L, list->GetCount(), 0);
    for (int i = 0; i < list->GetCount(); ++i) {
        PushString(L, list->GetList()[static_cast<size_t>(i)]);
        lua_rawseti(L, -2, i + 1);
    }
    return 1;
}

int FrameSelected(lua_State* L) {
    COlePropertyPage* page = PageOf(L, "selected");
    const int sel = page->GetDlgItem(ControlIdOf(L, page, "selected"))->GetCurSel();
    if (sel < 0) lua_pushnil(L);
    else lua_pushinteger(L, sel + 1);
    return 1;
}

int FrameClick(lua_State* L) {
    COlePropertyPage* page = PageOf(L, "click");
    const int id = ControlIdOf(L, page, "click");
    if (!page->UserClick(id)) return luaL_error(L, "frame:click: control %d cannot be clicked", id);
    return 0;
}

int FrameFocus(lua_State* L) {
    lua_pushinteger(L, PageOf(L, "focus")->GetFocusId());
    return 1;
}

int FrameDirty(lua_State* L) {
    lua_pushboolean(L, FrameOf(L, "dirty")->IsApplyEnabled());
    return 1;
}

int FrameApply(lua_State* L) {
    lua_pushboolean(L, FrameOf(L, "apply")->Apply());
    return 1;
}

int FrameOK(lua_State* L) {
    FrameOf(L, "ok");
    lua_pushboolean(L, PropertyFrameOK());
    return 1;
}

int FrameCancel(lua_State* L) {
    FrameOf(L, "cancel");
    ClosePropertyFrame();
    return 0;
}

int FrameMessages(lua_State* L) {
    FrameOf(L, "messages");
    const std::vector<std::string>& messages = GetPropertyFrameMessages();
    lua_createtable(L, static_cast<int>(messages.size()), 0);
    for (size_t i = 0; i < messages.size(); ++i) {
        PushString(L, messages[i]);
        lua_rawseti(L, -2, static_cast<lua_Integer>(i + 1));
    }
    return 1;
}

// host.frame(): the open frame as an object, or nil.
int HostFrame(lua_State* L) {
    if (GetOpenPropertyFrame() == nullptr) {
        lua_pushnil(L);
        return 1;
    }
    static const luaL_Reg kMethods[] = {
        {"count", FrameCount},   {"caption", FrameCaption},   {"page", FramePage},       {"text", FrameText},
        {"set_text", FrameSetText}, {"checked", FrameChecked}, {"check", FrameCheck},    {"select", FrameSelect},
        {"list", FrameList},     {"selected", FrameSelected}, {"click", FrameClick},     {"focus", FrameFocus},
        {"dirty", FrameDirty},   {"apply", FrameApply},       {"ok", FrameOK},           {"cancel", FrameCancel},
        {"messages", FrameMessages}, {nullptr, nullptr}};
    lua_createtable(L, 0, 18);
    luaL_setfuncs(L, kMethods, 0);
    // Each method works on the frame in C++ (a click may apply pages to the control).
    CLuaSandbox::ChargeEachCall(L, -1, kHostCallCost);
    lua_pushinteger(L, FrameSerial());
    lua_setfield(L, -2, "_serial");
    return 1;
}

// host.file_dialog_answer(path): the next file dialog answers path; nil makes it cancel.
int HostFileDialogAnswer(lua_State* L) {
    if (lua_isnoneornil(L, 1)) {
        SetFileDialogAnswer(std::nullopt);
        return 0;
    }
    size_t len = 0;
    const char* path = luaL_checklstring(L, 1, &len);
    if (std::strlen(path) != len) return luaL_error(L, "host.file_dialog_answer: the path holds a zero byte");
    SetFileDialogAnswer(std::string(path, len));
    return 0;
}

// host.render_frame(path): the open frame as a PNG picture.
int HostRenderFrame(lua_State* L) {
    size_t len = 0;
    const char* path = luaL_checklstring(L, 1, &len);
    constexpr const char* kExt = ".png";
    bool ok = len > 4 && std::strlen(path) == len && len < 4096;
    for (size_t i = 0; ok && i < 4; ++i)
        ok = std::tolower(static_cast<unsigned char>(path[len - 4 + i])) == kExt[i];
    if (!ok) return luaL_error(L, "host.render_frame: the file name must end with .png");
    // Drawing the frame and writing it cost by its pixels, as host.render does for the page.
    uint64_t cost = kHostCallCost;
    if (const CPropertyFrame* frame = GetOpenPropertyFrame()) {
        const CSize size = frame->GetSize();
        cost += static_cast<uint64_t>(std::max(0L, static_cast<long>(size.cx))) *
                static_cast<uint64_t>(std::max(0L, static_cast<long>(size.cy))) / 16;
    }
    CLuaSandbox::ChargeOrRaise(L, cost);
    static std::string message;  // outlives the jump of the error
    {
        std::string error;
        message = RenderPropertyFrame(path, error) ? std::string() : "host.render_frame: " + error;
    }
    if (!message.empty()) {
        PushString(L, message);
        return lua_error(L);
    }
    return 0;
}

}  // namespace

void AddPropertyFrameFunctions(lua_State* L, int functionsTable) {
    functionsTable = lua_absindex(L, functionsTable);
    lua_newtable(L);
    lua_pushcfunction(L, HostFrame);
    lua_setfield(L, -2, "frame");
    lua_pushcfunction(L, HostFileDialogAnswer);
    lua_setfield(L, -2, "file_dialog_answer");
    lua_pushcfunction(L, HostRenderFrame);
    lua_setfield(L, -2, "render_frame");
    // Every call costs at least a host call; render_frame adds the frame's pixels itself.
    CLuaSandbox::ChargeEachCall(L, -1, kHostCallCost);
    lua_pushnil(L);
    while (lua_next(L, -2) != 0) {
        lua_pushvalue(L, -2);
        lua_insert(L, -2);
        lua_settable(L, functionsTable);
    }
    lua_pop(L, 1);
}
