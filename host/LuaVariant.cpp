// Conversions between automation values and Lua values.
#include "host/LuaVariant.h"

#include <lua.hpp>

#include <limits>

#include "host/LuaDispatch.h"
#include "platform/com/Dispatch.h"
#include "platform/com/SafeArray.h"

namespace {

// The elements are read in place rather than through SafeArrayAccessData: a memory error while
// the table fills must not leave the array locked (a locked array can never be freed).
void PushArray(lua_State* L, SAFEARRAY* psa) {
    if (psa == nullptr) {
        lua_pushnil(L);
        return;
    }
    VARTYPE vt = VT_EMPTY;
    LONG lo = 0, hi = -1;
    if (SafeArrayGetDim(psa) != 1 || FAILED(SafeArrayGetVartype(psa, &vt)) || FAILED(SafeArrayGetLBound(psa, 1, &lo)) ||
        FAILED(SafeArrayGetUBound(psa, 1, &hi)))
        luaL_error(L, "an array that is not one-dimensional cannot be read");
    const int64_t count = static_cast<int64_t>(hi) - lo + 1;
    if (count <= 0 || psa->pvData == nullptr) {
        lua_createtable(L, 0, 0);
        return;
    }
    if (count > std::numeric_limits<int>::max()) luaL_error(L, "an array of %I elements is too long for a table", count);
    luaL_checkstack(L, 4, nullptr);
    lua_createtable(L, static_cast<int>(count), 0);
    const char* data = static_cast<const char*>(psa->pvData);
    for (int64_t i = 0; i < count; ++i) {
        const void* element = data + static_cast<size_t>(i) * psa->cbElements;
        switch (vt) {
            case VT_UI1: lua_pushinteger(L, *static_cast<const BYTE*>(element)); break;
            case VT_I2: lua_pushinteger(L, *static_cast<const SHORT*>(element)); break;
            case VT_I4: lua_pushinteger(L, *static_cast<const LONG*>(element)); break;
            case VT_R4: lua_pushnumber(L, *static_cast<const float*>(element)); break;
            case VT_R8: lua_pushnumber(L, *static_cast<const double*>(element)); break;
            case VT_BOOL: lua_pushboolean(L, *static_cast<const VARIANT_BOOL*>(element) != 0); break;
            case VT_BSTR: {
                BSTR s = *static_cast<const BSTR*>(element);
                lua_pushlstring(L, s ? s : "", SysStringLen(s));
                break;
            }
            case VT_VARIANT: PushVariant(L, *static_cast<const VARIANT*>(element)); break;
            default: luaL_error(L, "an array of this element type cannot be read");
        }
        lua_rawseti(L, -2, static_cast<lua_Integer>(i) + 1);
    }
}

}  // namespace

void PushVariant(lua_State* L, const VARIANT& v) {
    luaL_checkstack(L, 4, nullptr);
    const VARIANT* p = &v;
    if (v.vt == (VT_VARIANT | VT_BYREF)) {
        if (v.pvarVal == nullptr) {
            lua_pushnil(L);
            return;
        }
        p = v.pvarVal;
    }
    const bool byRef = (p->vt & VT_BYREF) != 0;
    const VARTYPE vt = static_cast<VARTYPE>(p->vt & ~VT_BYREF);
    if (byRef && p->byref == nullptr) {
        lua_pushnil(L);
        return;
    }
    if (vt & VT_ARRAY) {
        PushArray(L, byRef ? *p->pparray : p->parray);
        return;
    }
    switch (vt) {
        case VT_EMPTY:
        case VT_NULL:
        case VT_ERROR: lua_pushnil(L); return;  // VT_ERROR stands for an argument left out
        case VT_BOOL: lua_pushboolean(L, (byRef ? *p->pboolVal : p->boolVal) != 0); return;
        case VT_UI1: lua_pushinteger(L, byRef ? *p->pbVal : p->bVal); return;
        case VT_I2: lua_pushinteger(L, byRef ? *p->piVal : p->iVal); return;
        case VT_I4: lua_pushinteger(L, byRef ? *p->plVal : p->lVal); return;
        case VT_R4: lua_pushnumber(L, byRef ? *p->pfltVal : p->fltVal); return;
        case VT_R8: lua_pushnumber(L, byRef ? *p->pdblVal : p->dblVal); return;
        case VT_BSTR: {
            BSTR s = byRef ? *p->pbstrVal : p->bstrVal;
            lua_pushlstring(L, s ? s : "", SysStringLen(s));
            return;
        }
        case VT_DISPATCH: PushDispatchObject(L, byRef ? *p->ppdispVal : p->pdispVal, {}); return;
        case VT_UNKNOWN: {
            IUnknown* unknown = byRef ? *p->ppunkVal : p->punkVal;
            void* pv = nullptr;
            if (unknown == nullptr || FAILED(unknown->QueryInterface(IID_IDispatch, &pv)) || pv == nullptr) {
                lua_pushnil(L);
                return;
            }
            // The variant keeps the object alive; the dispatch object takes its own reference.
            auto* disp = static_cast<IDispatch*>(pv);
            disp->Release();
            PushDispatchObject(L, disp, {});
            return;
        }
        default: luaL_error(L, "a value of automation type %d cannot be read", static_cast<int>(vt));
    }
}

bool VariantFromLua(lua_State* L, int index, VARIANT& out, std::string& error) {
    VariantInit(&out);
    switch (lua_type(L, index)) {
        case LUA_TNONE:
        case LUA_TNIL: return true;
        case LUA_TBOOLEAN:
            out.vt = VT_BOOL;
            out.boolVal = lua_toboolean(L, index) ? VARIANT_TRUE : VARIANT_FALSE;
            return true;
        case LUA_TNUMBER:
            if (lua_isinteger(L, index)) {
                const lua_Integer i = lua_tointeger(L, index);
                if (i >= std::numeric_limits<LONG>::min() && i <= std::numeric_limits<LONG>::max()) {
                    out.vt = VT_I4;
                    out.lVal = static_cast<LONG>(i);
                } else {
                    out.vt = VT_R8;
                    out.dblVal = static_cast<double>(i);
                }
            } else {
                out.vt = VT_R8;
                out.dblVal = lua_tonumber(L, index);
            }
            return true;
        case LUA_TSTRING: {
            size_t len = 0;
            const char* s = lua_tolstring(L, index, &len);
            if (len > std::numeric_limits<UINT>::max()) {
                error = "a string that long cannot be passed";
                return false;
            }
            out.bstrVal = SysAllocStringLen(s, static_cast<UINT>(len));
            if (out.bstrVal == nullptr) {
                error = "out of memory";
                return false;
            }
            out.vt = VT_BSTR;
            return true;
        }
        case LUA_TUSERDATA:
            if (IDispatch* disp = ToDispatchObject(L, index)) {
                disp->AddRef();
                out.vt = VT_DISPATCH;
                out.pdispVal = disp;
                return true;
            }
            break;
        case LUA_TTABLE: {
            const lua_Unsigned n = lua_rawlen(L, index);
            if (n > std::numeric_limits<ULONG>::max()) {
                error = "a table that long cannot be passed";
                return false;
            }
            const int t = lua_absindex(L, index);
            for (lua_Unsigned i = 1; i <= n; ++i) {
                const int type = lua_rawgeti(L, t, static_cast<lua_Integer>(i));
                lua_pop(L, 1);
                if (type != LUA_TNUMBER) {
                    error = "only tables of numbers can be passed (element " + std::to_string(i) + " is a " +
                            lua_typename(L, type) + ")";
                    return false;
                }
            }
            SAFEARRAY* psa = SafeArrayCreateVector(VT_R8, 0, static_cast<ULONG>(n));
            if (psa == nullptr) {
                error = "out of memory";
                return false;
            }
            auto* data = static_cast<double*>(psa->pvData);
            for (lua_Unsigned i = 1; i <= n; ++i) {
                lua_rawgeti(L, t, static_cast<lua_Integer>(i));
                data[i - 1] = lua_tonumber(L, -1);
                lua_pop(L, 1);
            }
            out.vt = VT_ARRAY | VT_R8;
            out.parray = psa;
            return true;
        }
        default: break;
    }
    error = std::string("a ") + luaL_typename(L, index) + " value cannot be passed";
    return false;
}
