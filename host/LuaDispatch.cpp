// Dispatch objects in Lua: member access by name, by-reference results, errors naming the member.
//
// Every function here that touches C++ objects keeps them in an inner scope and leaves the error
// value (or its results) on the Lua stack; lua_error is raised only after that scope has ended,
// because Lua's longjmp would skip the destructors.
#include "host/LuaDispatch.h"

#include <lua.hpp>

#include <cstdio>
#include <new>
#include <string>
#include <vector>

#include "host/LuaSandbox.h"
#include "host/LuaVariant.h"
#include "platform/com/Dispatch.h"
#include "platform/com/DispatchTable.h"

namespace {

// Each call through IDispatch is charged against the instruction budget: it may draw, load a
// file or fire events, none of which the VM counts.
constexpr uint64_t kDispatchCallCost = 1000;
// The result of a call the budget did not allow (the platform's E_ABORT).
constexpr HRESULT kBudgetSpent = static_cast<HRESULT>(0x80004004u);

// The registry key of the metatable (its address is unique and allocation-free to look up).
const char kMetatableKey = 0;

struct SDispatchObject {
    IDispatch* disp;
    // The table behind the object's type information, for telling methods from properties and
    // finding by-reference parameters; null when the object describes no dispatch table.
    const CDispatchInterface* iface;
};

SDispatchObject* ToObject(lua_State* L, int index) {
    if (lua_type(L, index) != LUA_TUSERDATA || !lua_getmetatable(L, index)) return nullptr;
    lua_rawgetp(L, LUA_REGISTRYINDEX, &kMetatableKey);
    const bool same = lua_rawequal(L, -1, -2);
    lua_pop(L, 2);
    return same ? static_cast<SDispatchObject*>(lua_touserdata(L, index)) : nullptr;
}

std::string LabelOf(lua_State* L, int index) {
    std::string label;
    if (lua_getiuservalue(L, index, 1) == LUA_TSTRING) {
        size_t len = 0;
        const char* s = lua_tolstring(L, -1, &len);
        label.assign(s, len);
    }
    lua_pop(L, 1);
    return label;
}

std::string Qualified(const std::string& label, const std::string& member) {
    return label.empty() ? member : label + "." + member;
}

std::string DescribeFailure(HRESULT hr, EXCEPINFO& info, UINT argErr, UINT nargs, WORD flags) {
    const bool put = (flags & DISPATCH_PROPERTYPUT) != 0;
    // Arguments travel last first; the position a user counts is the declaration position.
    const std::string argument = put ? std::string("the value")
                                     : "argument " + std::to_string(argErr < nargs ? nargs - argErr : 0);
    std::string text;
    switch (hr) {
        case DISP_E_EXCEPTION:
            text = StringFromBstr(info.bstrDescription);
            if (text.empty()) text = "the call raised an error";
            break;
        case DISP_E_MEMBERNOTFOUND: text = put ? "cannot be assigned" : "no such member, or not usable that way"; break;
        case DISP_E_UNKNOWNNAME: text = "no such member"; break;
        case DISP_E_BADPARAMCOUNT: text = "wrong number of arguments"; break;
        case DISP_E_TYPEMISMATCH: text = argument + " has the wrong type"; break;
        case DISP_E_OVERFLOW: text = argument + " is out of range"; break;
        case DISP_E_PARAMNOTFOUND: text = "a required argument is missing"; break;
        case E_UNEXPECTED: text = "the control is no longer available"; break;
        case E_OUTOFMEMORY: text = "out of memory"; break;
        default: {
            char code[16];
            std::snprintf(code, sizeof code, "0x%08X", static_cast<unsigned>(hr));
            text = std::string("the call failed (") + code + ")";
        }
    }
    ClearExcepInfo(&info);
    return text;
}

// Invoke by name. `reversed` holds the arguments last first, as the platform passes them.
// On failure `error` is the text after "<object>.<member>: ".
HRESULT InvokeMember(IDispatch* disp, const std::string& name, WORD flags, std::vector<VARIANT>& reversed,
                     VARIANT* result, std::string& error) {
    if (disp == nullptr) {
        error = "the object has been released";
        return E_UNEXPECTED;
    }
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR names[1] = {const_cast<LPOLESTR>(name.c_str())};
    HRESULT hr = disp->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(hr)) {
        error = hr == E_UNEXPECTED ? "the control is no longer available" : "no such member";
        return DISP_E_UNKNOWNNAME;
    }
    DISPID putId = DISPID_PROPERTYPUT;
    DISPPARAMS params{reversed.empty() ? nullptr : reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    if (flags & DISPATCH_PROPERTYPUT) {
        params.rgdispidNamedArgs = &putId;
        params.cNamedArgs = 1;
    }
    EXCEPINFO info{};
    UINT argErr = 0;
    hr = disp->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result, &info, &argErr);
    if (FAILED(hr)) error = DescribeFailure(hr, info, argErr, params.cArgs, flags);
    return hr;
}

const DispatchMember* FindMember(const SDispatchObject* obj, const std::string& name) {
    return obj->iface ? obj->iface->FindByName(name) : nullptr;
}

// Charges one dispatch call; false (with the message in `error`) once the budget is spent.
bool ChargeCall(lua_State* L, std::string& error) {
    CLuaSandbox* sandbox = CLuaSandbox::FromState(L);
    if (sandbox->Charge(kDispatchCallCost)) return true;
    error = sandbox->ExhaustedMessage();
    return false;
}

int CallMethod(lua_State* L);

// Pushes the method closure for the member named by the string at `nameIndex`.
bool PushMethod(lua_State* L, int nameIndex) {
    auto push = [](lua_State* S) {
        lua_pushcclosure(S, CallMethod, 1);  // over the name, the one argument
        return 1;
    };
    lua_pushvalue(L, nameIndex);
    return CLuaSandbox::FromState(L)->CallProtected(push, 1, 1);
}

int Index(lua_State* L) {
    SDispatchObject* obj = ToObject(L, 1);
    if (obj == nullptr) return luaL_error(L, "not a dispatch object");
    if (lua_type(L, 2) != LUA_TSTRING) return luaL_error(L, "members of a dispatch object are named by strings");
    luaL_checkstack(L, 8, nullptr);
    CLuaSandbox* sandbox = CLuaSandbox::FromState(L);
    bool ok = false;
    try {
        const std::string name = lua_tostring(L, 2);
        const std::string label = LabelOf(L, 1);
        const DispatchMember* member = FindMember(obj, name);
        if (member != nullptr && !member->IsProperty()) {
            ok = PushMethod(L, 2);
        } else {
            std::string error;
            VARIANT result;
            VariantInit(&result);
            std::vector<VARIANT> none;
            HRESULT hr = ChargeCall(L, error) ? InvokeMember(obj->disp, name, DISPATCH_PROPERTYGET, none, &result, error)
                                              : kBudgetSpent;
            if (hr == DISP_E_MEMBERNOTFOUND && member == nullptr) {
                // Not a property; for an object without a type description it is a method.
                ok = PushMethod(L, 2);
            } else if (FAILED(hr)) {
                sandbox->PushStringProtected(hr == kBudgetSpent ? error : Qualified(label, name) + ": " + error);
            } else {
                auto push = [&result](lua_State* S) {
                    PushVariant(S, result);
                    return 1;
                };
                ok = sandbox->CallProtected(push, 1);
            }
            VariantClear(&result);
        }
    } catch (const std::bad_alloc&) {
        sandbox->PushStringProtected("out of memory");
    }
    if (!ok) return lua_error(L);
    return 1;
}

int NewIndex(lua_State* L) {
    SDispatchObject* obj = ToObject(L, 1);
    if (obj == nullptr) return luaL_error(L, "not a dispatch object");
    if (lua_type(L, 2) != LUA_TSTRING) return luaL_error(L, "members of a dispatch object are named by strings");
    luaL_checkstack(L, 8, nullptr);
    CLuaSandbox* sandbox = CLuaSandbox::FromState(L);
    bool ok = false;
    try {
        const std::string name = lua_tostring(L, 2);
        const std::string label = LabelOf(L, 1);
        std::string error;
        const DispatchMember* member = FindMember(obj, name);
        std::vector<VARIANT> args(1);
        VariantInit(&args[0]);
        if (member != nullptr && !member->IsProperty()) {
            error = Qualified(label, name) + ": a method cannot be assigned";
        } else if (!VariantFromLua(L, 3, args[0], error)) {
            error = Qualified(label, name) + ": " + error;
        } else if (!ChargeCall(L, error)) {
        } else if (FAILED(InvokeMember(obj->disp, name, DISPATCH_PROPERTYPUT, args, nullptr, error))) {
            error = Qualified(label, name) + ": " + error;
        } else {
            ok = true;
        }
        VariantClear(&args[0]);
        if (!ok) sandbox->PushStringProtected(error);
    } catch (const std::bad_alloc&) {
        sandbox->PushStringProtected("out of memory");
    }
    if (!ok) return lua_error(L);
    return 0;
}

// Storage for one call's arguments: what the caller owns (`values`) and what is passed (`passed`,
// by-reference entries pointing into `values`).
struct SCallArgs {
    std::vector<VARIANT> values;
    std::vector<VARIANT> passed;
    std::vector<size_t> byRef;  // positions of by-reference parameters, in declaration order
    explicit SCallArgs(size_t n) : values(n), passed(n) {
        for (size_t i = 0; i < n; ++i) {
            VariantInit(&values[i]);
            VariantInit(&passed[i]);
        }
    }
    ~SCallArgs() {
        for (VARIANT& v : values) VariantClear(&v);
    }
    SCallArgs(const SCallArgs&) = delete;
    SCallArgs& operator=(const SCallArgs&) = delete;
};

// Fills argument i from Lua value `index` (none when it was left out) for a parameter declared `vt`.
bool PrepareArgument(lua_State* L, int index, bool given, VARTYPE vt, SCallArgs& args, size_t i, std::string& error) {
    VARIANT& value = args.values[i];
    if (given && !VariantFromLua(L, index, value, error)) return false;
    if ((vt & VT_BYREF) == 0) {
        args.passed[i] = value;  // a shallow copy: `values` keeps ownership
        return true;
    }
    const VARTYPE base = static_cast<VARTYPE>(vt & ~VT_BYREF);
    args.byRef.push_back(i);
    if (base == VT_VARIANT) {
        args.passed[i].vt = VT_VARIANT | VT_BYREF;
        args.passed[i].pvarVal = &value;
        return true;
    }
    // A by-reference argument starts as the caller's value in the declared type, or empty.
    HRESULT hr = given ? VariantChangeType(&value, &value, 0, base) : S_OK;
    if (FAILED(hr)) {
        error = hr == DISP_E_OVERFLOW ? "is out of range" : "has the wrong type";
        return false;
    }
    if (!given) value.vt = base;  // zero, an empty string, a null interface
    args.passed[i].vt = vt;
    args.passed[i].byref = &value.bVal;  // every member of the union starts at the same address
    return true;
}

int CallMethod(lua_State* L) {
    size_t nameLen = 0;
    const char* rawName = lua_tolstring(L, lua_upvalueindex(1), &nameLen);
    SDispatchObject* obj = ToObject(L, 1);
    if (obj == nullptr) return luaL_error(L, "%s: call methods with ':' (object:%s(...))", rawName, rawName);
    const int nargs = lua_gettop(L) - 1;
    luaL_checkstack(L, nargs + 16, "too many arguments");
    CLuaSandbox* sandbox = CLuaSandbox::FromState(L);
    int results = -1;
    try {
        const std::string name(rawName, nameLen);
        const std::string qualified = Qualified(LabelOf(L, 1), name);
        const DispatchMember* member = FindMember(obj, name);
        const size_t declared = member ? member->params.size() : 0;
        // Parameters left out at the end may be by-reference ones: they are passed empty.
        size_t total = static_cast<size_t>(nargs);
        if (member && total < declared) {
            bool allByRef = true;
            for (size_t i = total; i < declared; ++i) allByRef = allByRef && (member->params[i].vt & VT_BYREF);
            if (allByRef) total = declared;
        }
        SCallArgs args(total);
        std::string error;
        bool prepared = true;
        for (size_t i = 0; i < total && prepared; ++i) {
            const VARTYPE vt = i < declared ? member->params[i].vt : VARTYPE(VT_VARIANT);
            if (!PrepareArgument(L, static_cast<int>(i) + 2, static_cast<int>(i) < nargs, vt, args, i, error)) {
                error = qualified + ": argument " + std::to_string(i + 1) + " " +
                        (error.rfind("is ", 0) == 0 || error.rfind("has ", 0) == 0 ? error : ": " + error);
                prepared = false;
            }
        }
        VARIANT result;
        VariantInit(&result);
        if (prepared && ChargeCall(L, error)) {
            std::vector<VARIANT> reversed(args.passed.rbegin(), args.passed.rend());
            if (FAILED(InvokeMember(obj->disp, name, DISPATCH_METHOD, reversed, &result, error))) {
                error = qualified + ": " + error;
            } else if (sandbox->IsExhausted()) {
                error = sandbox->ExhaustedMessage();  // an event handler spent the budget during the call
            } else {
                auto push = [&result, &args](lua_State* S) {
                    PushVariant(S, result);
                    for (size_t i : args.byRef) PushVariant(S, args.values[i]);
                    return static_cast<int>(1 + args.byRef.size());
                };
                const int count = static_cast<int>(1 + args.byRef.size());
                if (sandbox->CallProtected(push, count)) results = count;
                error.clear();
            }
        }
        VariantClear(&result);
        if (results < 0 && !error.empty()) sandbox->PushStringProtected(error);
    } catch (const std::bad_alloc&) {
        sandbox->PushStringProtected("out of memory");
    }
    if (results < 0) return lua_error(L);
    return results;
}

int Collect(lua_State* L) {
    if (SDispatchObject* obj = ToObject(L, 1)) {
        if (IDispatch* disp = obj->disp) {
            obj->disp = nullptr;
            disp->Release();
        }
    }
    return 0;
}

int ToString(lua_State* L) {
    SDispatchObject* obj = ToObject(L, 1);
    lua_getiuservalue(L, 1, 1);
    const char* label = lua_tostring(L, -1);
    if (obj && obj->disp && label && *label) lua_pushfstring(L, "dispatch object %s", label);
    else if (obj && obj->disp) lua_pushfstring(L, "dispatch object: %p", static_cast<void*>(obj->disp));
    else lua_pushliteral(L, "dispatch object (released)");
    return 1;
}

// Two dispatch objects are equal when they reach the same COM object.
int Equal(lua_State* L) {
    SDispatchObject* a = ToObject(L, 1);
    SDispatchObject* b = ToObject(L, 2);
    bool same = false;
    if (a && b && a->disp && b->disp) {
        void* ua = nullptr;
        void* ub = nullptr;
        if (SUCCEEDED(a->disp->QueryInterface(IID_IUnknown, &ua)) && SUCCEEDED(b->disp->QueryInterface(IID_IUnknown, &ub)))
            same = ua == ub;
        if (ua) static_cast<IUnknown*>(ua)->Release();
        if (ub) static_cast<IUnknown*>(ub)->Release();
    }
    lua_pushboolean(L, same);
    return 1;
}

}  // namespace

void RegisterDispatchObjects(lua_State* L) {
    lua_createtable(L, 0, 6);
    const luaL_Reg methods[] = {{"__index", Index},     {"__newindex", NewIndex}, {"__gc", Collect},
                                {"__tostring", ToString}, {"__eq", Equal},       {nullptr, nullptr}};
    luaL_setfuncs(L, methods, 0);
    // getmetatable answers this instead of the table, so a macro cannot call __gc itself.
    lua_pushliteral(L, "dispatch object");
    lua_setfield(L, -2, "__metatable");
    lua_rawsetp(L, LUA_REGISTRYINDEX, &kMetatableKey);
}

void PushDispatchObject(lua_State* L, IDispatch* disp, std::string_view label) {
    if (disp == nullptr) {
        lua_pushnil(L);
        return;
    }
    auto* obj = static_cast<SDispatchObject*>(lua_newuserdatauv(L, sizeof(SDispatchObject), 1));
    obj->disp = nullptr;
    obj->iface = nullptr;
    lua_rawgetp(L, LUA_REGISTRYINDEX, &kMetatableKey);
    lua_setmetatable(L, -2);
    lua_pushlstring(L, label.data(), label.size());
    lua_setiuservalue(L, -2, 1);
    ITypeInfo* info = nullptr;
    if (SUCCEEDED(disp->GetTypeInfo(0, LOCALE_USER_DEFAULT, &info)) && info != nullptr) {
        obj->iface = info->GetDispatchInterface();
        info->Release();
    }
    // The reference is taken last: nothing above can fail after it.
    disp->AddRef();
    obj->disp = disp;
}

IDispatch* ToDispatchObject(lua_State* L, int index) {
    SDispatchObject* obj = ToObject(L, index);
    return obj ? obj->disp : nullptr;
}
