// The `host` table: the runner's calls for macros, charged against the instruction budget.
//
// As elsewhere in the layer, C++ objects live in inner scopes; errors are raised after them.
#include "host/PropertyFrameLua.h"
#include "host/MacroHostTable.h"

#include <lua.hpp>

#include <algorithm>
#include <cctype>
#include <string>

#include "host/HostDocument.h"
#include "host/MacroHost.h"
#include "host/MeasureLua.h"
#include "host/Printing.h"

namespace {

// Charges, in instructions of the budget: every host call, each millisecond a pump advances the
// clock (each step may run timers and paint), and each 16 pixels of the page a render or pixel
// call paints and writes.
constexpr uint64_t kPumpCostPerMs = 100;
constexpr uint64_t kPixelsPerCost = 16;

// The error for a function misused from a macro ("host.pump: ...").
constexpr const char* kPumpInHandler = "host.pump cannot be called from an event handler";
constexpr const char* kReadOnly = "the host table cannot be changed";

CMacroHost* HostOf(lua_State* L) { return static_cast<CMacroHost*>(lua_touserdata(L, lua_upvalueindex(1))); }

// Charges `cost` or raises the budget's error.
void ChargeOrRaise(lua_State* L, uint64_t cost) { CLuaSandbox::ChargeOrRaise(L, cost); }

// What painting the page costs when it is invalid, before the call's own cost.
uint64_t PaintCost(CHostDocument& doc) {
    return doc.HasInvalidWindows() ? static_cast<uint64_t>(doc.GetPageWidth()) *
                                         static_cast<uint64_t>(doc.GetPageHeight()) / kPixelsPerCost
                                   : 0;
}

uint64_t PageCost(CHostDocument& doc) {
    return kHostCallCost + static_cast<uint64_t>(doc.GetPageWidth()) * static_cast<uint64_t>(doc.GetPageHeight()) /
                               kPixelsPerCost;
}

int CheckInt(lua_State* L, int arg) {
    const lua_Integer v = luaL_checkinteger(L, arg);
    luaL_argcheck(L, v >= INT32_MIN && v <= INT32_MAX, arg, "out of range");
    return static_cast<int>(v);
}

bool EndsWith(const char* path, size_t len, const char* extension) {
    const size_t extLen = std::char_traits<char>::length(extension);
    bool ok = len > extLen;
    for (size_t i = 0; ok && i < extLen; ++i)
        ok = std::tolower(static_cast<unsigned char>(path[len - extLen + i])) == extension[i];
    return ok;
}

// The path argument, refused unless it ends with `extension` (or `other`, when given): a macro
// writes pictures, printouts and documents, not other files it could overwrite.
const char* CheckOutputPath(lua_State* L, const char* function, const char* extension, const char* other = nullptr) {
    size_t len = 0;
    const char* path = luaL_checklstring(L, 1, &len);
    const bool ok = len < 4096 && std::char_traits<char>::length(path) == len &&
                    (EndsWith(path, len, extension) || (other != nullptr && EndsWith(path, len, other)));
    if (!ok) {
        if (other != nullptr) luaL_error(L, "%s: the file name must end with %s or %s", function, extension, other);
        luaL_error(L, "%s: the file name must end with %s", function, extension);
    }
    return path;
}

int HostPump(lua_State* L) {
    CMacroHost* host = HostOf(L);
    const lua_Integer ms = luaL_optinteger(L, 1, 0);
    luaL_argcheck(L, ms >= 0 && ms <= 0xFFFFFFFF, 1, "milliseconds from 0 to 4294967295");
    if (host->InEventHandler()) return luaL_error(L, kPumpInHandler);
    ChargeOrRaise(L, kHostCallCost + static_cast<uint64_t>(ms) * kPumpCostPerMs);
    host->GetDocument().Pump(static_cast<DWORD>(ms));
    // A handler that spent the budget during the pump ends the run here, at the pump's line.
    ChargeOrRaise(L, 0);
    return 0;
}

int HostRender(lua_State* L) {
    CMacroHost* host = HostOf(L);
    const char* path = CheckOutputPath(L, "host.render", ".png");
    ChargeOrRaise(L, PageCost(host->GetDocument()));
    bool ok = true;
    {
        std::string error;
        if (!host->GetDocument().Render(path, error)) {
            host->GetSandbox()->PushStringProtected("host.render: " + error);
            ok = false;
        }
    }
    if (!ok) return lua_error(L);
    return 0;
}

// host.print(path [, paper]): the document printed as `orvex print` prints it, PDF or SVG by the
// name's extension, on "a4" (the default) or "letter" paper.
int HostPrint(lua_State* L) {
    CMacroHost* host = HostOf(L);
    const char* path = CheckOutputPath(L, "host.print", ".pdf", ".svg");
    static const char* const kPapers[] = {"a4", "letter", nullptr};
    const EPaperSize paper = luaL_checkoption(L, 2, "a4", kPapers) == 0 ? EPaperSize::A4 : EPaperSize::Letter;
    ChargeOrRaise(L, PageCost(host->GetDocument()));
    bool ok = true;
    {
        std::string error;
        if (!PrintDocument(host->GetDocument(), path, paper, error)) {
            host->GetSandbox()->PushStringProtected("host.print: " + error);
            ok = false;
        }
    }
    if (!ok) return lua_error(L);
    return 0;
}

int HostPixel(lua_State* L) {
    CMacroHost* host = HostOf(L);
    const int x = CheckInt(L, 1);
    const int y = CheckInt(L, 2);
    // Reading one pixel of a painted page is cheap; painting what is invalid is not.
    ChargeOrRaise(L, kHostCallCost + PaintCost(host->GetDocument()));
    const COLORREF colour = host->GetDocument().Pixel(x, y);
    if (colour == CLR_INVALID) lua_pushnil(L);  // off the page
    else lua_pushinteger(L, static_cast<lua_Integer>(colour));
    return 1;
}

int HostMouse(lua_State* L) {
    CMacroHost* host = HostOf(L);
    const char* action = luaL_checkstring(L, 1);
    const int x = CheckInt(L, 2);
    const int y = CheckInt(L, 3);
    ChargeOrRaise(L, kHostCallCost);
    if (!host->GetDocument().Mouse(action, x, y))
        return luaL_error(L, "host.mouse: unknown action '%s' (move, down, up, dblclick, rdown or rup)", action);
    return 0;
}

int HostTrace(lua_State* L) {
    CMacroHost* host = HostOf(L);
    const std::vector<std::string>& lines = host->GetDocument().Trace();
    ChargeOrRaise(L, kHostCallCost + lines.size());
    // Only Lua calls from here on; the lines belong to the document.
    lua_createtable(L, static_cast<int>(std::min<size_t>(lines.size(), INT32_MAX)), 0);
    for (size_t i = 0; i < lines.size(); ++i) {
        lua_pushlstring(L, lines[i].data(), lines[i].size());
        lua_rawseti(L, -2, static_cast<lua_Integer>(i) + 1);
    }
    return 1;
}

int HostSave(lua_State* L) {
    CMacroHost* host = HostOf(L);
    const char* path = CheckOutputPath(L, "host.save", ".json");
    ChargeOrRaise(L, kHostCallCost);
    bool ok = true;
    {
        std::string error;
        if (!host->GetDocument().Save(path, error)) {
            host->GetSandbox()->PushStringProtected("host.save: " + error);
            ok = false;
        }
    }
    if (!ok) return lua_error(L);
    return 0;
}

int RefuseChange(lua_State* L) { return luaL_error(L, kReadOnly); }

int NextOf(lua_State* L) {
    luaL_checktype(L, 1, LUA_TTABLE);
    lua_settop(L, 2);
    if (lua_next(L, 1)) return 2;
    lua_pushnil(L);
    return 1;
}

// pairs over a read-only view walks the table behind it.
int PairsOf(lua_State* L) {
    lua_pushcfunction(L, NextOf);
    lua_pushvalue(L, lua_upvalueindex(1));
    lua_pushnil(L);
    return 3;
}

// Pushes a userdata that reads through to the table at `target` and refuses changes; its
// metatable is hidden, so a macro cannot reach the functions' table or swap it, and being no
// table, rawset cannot change it either.
void PushReadOnlyView(lua_State* L, int target) {
    target = lua_absindex(L, target);
    lua_newuserdatauv(L, 0, 0);
    lua_createtable(L, 0, 4);
    lua_pushvalue(L, target);
    lua_setfield(L, -2, "__index");
    lua_pushvalue(L, target);
    lua_pushcclosure(L, PairsOf, 1);
    lua_setfield(L, -2, "__pairs");
    lua_pushcfunction(L, RefuseChange);
    lua_setfield(L, -2, "__newindex");
    lua_pushliteral(L, "host");
    lua_setfield(L, -2, "__metatable");
    lua_setmetatable(L, -2);
}

}  // namespace

void InstallHostTable(lua_State* L, CMacroHost* host) {
    const int controls = lua_gettop(L);
    static const luaL_Reg kFunctions[] = {{"pump", HostPump},   {"render", HostRender}, {"print", HostPrint},
                                          {"pixel", HostPixel}, {"mouse", HostMouse},   {"trace", HostTrace},
                                          {"save", HostSave},   {nullptr, nullptr}};
    lua_createtable(L, 0, 8);
    lua_pushlightuserdata(L, host);
    luaL_setfuncs(L, kFunctions, 1);
    AddPropertyFrameFunctions(L, -1);
    AddMeasureFunctions(L, -1, host);
    PushReadOnlyView(L, controls);
    lua_setfield(L, -2, "controls");
    PushReadOnlyView(L, -1);
    lua_setglobal(L, "host");
    lua_pop(L, 2);  // the functions' table and the controls
}
