// As elsewhere in the layer, C++ objects live in inner scopes; Lua errors are raised after them,
// so arguments are read into plain values first and results are pushed once the objects are gone.
#include "host/MeasureLua.h"

#include <lua.hpp>

#include <array>
#include <cctype>
#include <cmath>
#include <string>

#include "host/AscanTraces.h"
#include "host/BscanPicture.h"
#include "host/DispatchCalls.h"
#include "host/GateMeasure.h"
#include "host/LuaDispatch.h"
#include "host/LuaSandbox.h"
#include "host/MacroHost.h"
#include "platform/com/Variant.h"

namespace {

// Charges in instructions of the budget, as the other host calls: a call, and for a B-scan each
// 16 pixels of the picture.
constexpr uint64_t kCallCost = 1000;
constexpr uint64_t kPixelsPerCost = 16;
// Gates one host.measure call takes.
constexpr int kMaxGates = 64;
constexpr int kMaxPictureExtent = 8192;

CMacroHost* HostOf(lua_State* L) { return static_cast<CMacroHost*>(lua_touserdata(L, lua_upvalueindex(1))); }

void ChargeOrRaise(lua_State* L, uint64_t cost) {
    CLuaSandbox* sandbox = HostOf(L)->GetSandbox();
    if (sandbox->Charge(cost)) return;
    sandbox->PushStringProtected(sandbox->ExhaustedMessage());
    lua_error(L);
}

struct SPlainGate {
    double start = 0.0;
    double end = 0.0;
    bool hasThreshold = false;
    double threshold = 0.0;
};

// A number field of a gate: by position (1, 2, 3) or by name; false when absent.
bool GateNumber(lua_State* L, int gate, int position, const char* name, double& value) {
    lua_rawgeti(L, gate, position);
    if (lua_isnil(L, -1)) {
        lua_pop(L, 1);
        lua_pushstring(L, name);
        lua_rawget(L, gate);
    }
    int isNumber = 0;
    value = lua_tonumberx(L, -1, &isNumber);
    const bool present = !lua_isnil(L, -1);
    lua_pop(L, 1);
    if (present && !isNumber) luaL_error(L, "host.measure: gate field '%s' must be a number", name);
    return present;
}

// host.measure(control, gates): readouts of each gate on the A-scan the control shows (an A-scan
// control: its linked viewer's current snapshot; a viewer: its current snapshot).
int HostMeasure(lua_State* L) {
    IDispatch* control = ToDispatchObject(L, 1);
    if (control == nullptr) return luaL_error(L, "host.measure: the first argument must be an A-scan or viewer control");
    luaL_checktype(L, 2, LUA_TTABLE);
    const lua_Integer count = static_cast<lua_Integer>(lua_rawlen(L, 2));
    if (count < 1 || count > kMaxGates) return luaL_error(L, "host.measure: from 1 to %d gates", kMaxGates);
    std::array<SPlainGate, kMaxGates> gates;
    for (lua_Integer i = 1; i <= count; ++i) {
        lua_rawgeti(L, 2, i);
        if (!lua_istable(L, -1)) return luaL_error(L, "host.measure: gate %d must be a table {start, end [, threshold]}", (int)i);
        const int g = lua_gettop(L);
        SPlainGate& gate = gates[static_cast<size_t>(i - 1)];
        if (!GateNumber(L, g, 1, "start", gate.start) || !GateNumber(L, g, 2, "end", gate.end))
            return luaL_error(L, "host.measure: gate %d needs a start and an end", (int)i);
        gate.hasThreshold = GateNumber(L, g, 3, "threshold", gate.threshold);
        if (!(std::isfinite(gate.start) && std::isfinite(gate.end) && gate.start <= gate.end))
            return luaL_error(L, "host.measure: gate %d: the start must not lie after the end", (int)i);
        if (gate.hasThreshold && !(gate.threshold >= 0.0 && std::isfinite(gate.threshold)))
            return luaL_error(L, "host.measure: gate %d: the threshold must be a magnitude from 0", (int)i);
        lua_pop(L, 1);
    }
    ChargeOrRaise(L, kCallCost);

    std::array<SGateReading, kMaxGates> readings;
    LONG snapshot = 0;
    bool ok = true;
    {
        std::string error;
        CComPtr<IDispatch> viewer;
        VARIANT linked;
        VariantInit(&linked);
        std::string ignored;
        // An A-scan control hands out its viewer; anything else is taken as the viewer itself.
        if (InvokeByName(control, "OrvexViewer", DISPATCH_PROPERTYGET, {}, &linked, ignored) &&
            linked.vt == VT_DISPATCH && linked.pdispVal != nullptr)
            viewer = CComPtr<IDispatch>(linked.pdispVal);
        else viewer = CComPtr<IDispatch>(control);
        VariantClear(&linked);
        SAscanTrace trace;
        ok = ReadViewerAscan(viewer.get(), trace, error);
        VARIANT current;
        VariantInit(&current);
        if (ok && InvokeByName(viewer.get(), "CurrentSnapShot", DISPATCH_PROPERTYGET, {}, &current, ignored) &&
            current.vt == VT_I4)
            snapshot = current.lVal;
        VariantClear(&current);
        for (lua_Integer i = 0; ok && i < count; ++i) {
            SMeasureGate gate;
            gate.start = gates[i].start;
            gate.end = gates[i].end;
            if (gates[i].hasThreshold) gate.threshold = gates[i].threshold;
            readings[i] = MeasureGate(trace, gate);
        }
        if (!ok) HostOf(L)->GetSandbox()->PushStringProtected("host.measure: " + error);
    }
    if (!ok) return lua_error(L);

    lua_createtable(L, static_cast<int>(count), 0);
    for (lua_Integer i = 0; i < count; ++i) {
        const SGateReading& r = readings[static_cast<size_t>(i)];
        lua_createtable(L, 0, 8);
        // The gate's own name when it has one, else "Gate N" as the command line names them.
        lua_rawgeti(L, 2, i + 1);
        lua_pushliteral(L, "name");
        lua_rawget(L, -2);
        if (!lua_isstring(L, -1)) {
            lua_pop(L, 1);
            lua_pushfstring(L, "Gate %d", static_cast<int>(i + 1));
        }
        lua_setfield(L, -3, "name");
        lua_pop(L, 1);
        lua_pushinteger(L, snapshot);
        lua_setfield(L, -2, "snapshot");
        lua_pushinteger(L, static_cast<lua_Integer>(r.sampleCount));
        lua_setfield(L, -2, "samples");
        if (r.peak) {
            lua_pushnumber(L, *r.peak);
            lua_setfield(L, -2, "peak");
            lua_pushnumber(L, r.peakSigned);
            lua_setfield(L, -2, "peakSigned");
            lua_pushnumber(L, r.peakTime);
            lua_setfield(L, -2, "peakTime");
        }
        if (r.flankTime) {
            lua_pushnumber(L, *r.flankTime);
            lua_setfield(L, -2, "flankTime");
        }
        lua_rawseti(L, -2, i + 1);
    }
    return 1;
}

bool EndsWithAny(const char* path, size_t len) {
    for (const char* ext : {".png", ".pdf", ".svg"}) {
        bool ok = len > 4;
        for (size_t i = 0; ok && i < 4; ++i)
            ok = std::tolower(static_cast<unsigned char>(path[len - 4 + i])) == ext[i];
        if (ok) return true;
    }
    return false;
}

lua_Integer OptionalInteger(lua_State* L, int table, const char* name, lua_Integer fallback, lua_Integer lo,
                            lua_Integer hi) {
    lua_getfield(L, table, name);
    lua_Integer value = fallback;
    if (!lua_isnil(L, -1)) {
        int isInteger = 0;
        value = lua_tointegerx(L, -1, &isInteger);
        if (!isInteger || value < lo || value > hi)
            luaL_error(L, "host.bscan: option '%s' must be a whole number from %d to %d", name, (int)lo, (int)hi);
    }
    lua_pop(L, 1);
    return value;
}

// host.bscan(viewer, path [, {width=, height=, colormap="gray"|"viridis", envelope=bool,
// xmin=, xmax=}]): the B-scan of the viewer's snapshots, as orvex bscan draws it.
int HostBscan(lua_State* L) {
    IDispatch* viewer = ToDispatchObject(L, 1);
    if (viewer == nullptr) return luaL_error(L, "host.bscan: the first argument must be a viewer control");
    size_t len = 0;
    const char* path = luaL_checklstring(L, 2, &len);
    if (!(len < 4096 && std::char_traits<char>::length(path) == len && EndsWithAny(path, len)))
        return luaL_error(L, "host.bscan: the file name must end with .png, .pdf or .svg");
    SBscanOptions options;
    if (!lua_isnoneornil(L, 3)) {
        luaL_checktype(L, 3, LUA_TTABLE);
        options.width = static_cast<int>(OptionalInteger(L, 3, "width", options.width, 1, kMaxPictureExtent));
        options.height = static_cast<int>(OptionalInteger(L, 3, "height", options.height, 1, kMaxPictureExtent));
        lua_getfield(L, 3, "colormap");
        if (!lua_isnil(L, -1)) {
            const char* map = lua_tostring(L, -1);
            if (map != nullptr && std::char_traits<char>::compare(map, "viridis", 8) == 0)
                options.colourMap = SBscanOptions::EColourMap::Viridis;
            else if (map == nullptr || std::char_traits<char>::compare(map, "gray", 5) != 0)
                return luaL_error(L, "host.bscan: option 'colormap' must be \"gray\" or \"viridis\"");
        }
        lua_pop(L, 1);
        lua_getfield(L, 3, "envelope");
        options.envelope = lua_toboolean(L, -1) != 0;
        lua_pop(L, 1);
        lua_getfield(L, 3, "xmin");
        lua_getfield(L, 3, "xmax");
        if (!lua_isnil(L, -1) || !lua_isnil(L, -2)) {
            int a = 0, b = 0;
            const double lo = lua_tonumberx(L, -2, &a), hi = lua_tonumberx(L, -1, &b);
            if (!a || !b || !(lo < hi) || !std::isfinite(lo) || !std::isfinite(hi))
                return luaL_error(L, "host.bscan: options 'xmin' and 'xmax' must be numbers with xmin below xmax");
            options.x = SBscanOptions::SRange{lo, hi};
        }
        lua_pop(L, 2);
    }
    ChargeOrRaise(L, kCallCost + static_cast<uint64_t>(options.width) * static_cast<uint64_t>(options.height) /
                                     kPixelsPerCost);
    bool ok = true;
    {
        std::string error;
        ok = WriteBscan(viewer, options, path, error);
        if (!ok) HostOf(L)->GetSandbox()->PushStringProtected("host.bscan: " + error);
    }
    if (!ok) return lua_error(L);
    return 0;
}

}  // namespace

void AddMeasureFunctions(lua_State* L, int functionsTable, CMacroHost* host) {
    functionsTable = lua_absindex(L, functionsTable);
    lua_pushlightuserdata(L, host);
    lua_pushcclosure(L, HostMeasure, 1);
    lua_setfield(L, functionsTable, "measure");
    lua_pushlightuserdata(L, host);
    lua_pushcclosure(L, HostBscan, 1);
    lua_setfield(L, functionsTable, "bscan");
}
