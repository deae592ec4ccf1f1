#pragma once
// Automation values and Lua values, both ways: VT_BOOL is a boolean, integer types are integers,
// VT_R4 and VT_R8 are floats, a BSTR is a string, a one-dimensional array is a 1-based table, an
// IDispatch is a dispatch object (LuaDispatch.h), empty, null and a null interface are nil.
#include <string>

#include "platform/com/Variant.h"

struct lua_State;

// Pushes the value of `v` (VT_BYREF forms are read through). It may raise a Lua error (memory):
// call it only in protected mode (CLuaSandbox::CallProtected). `v` is left as it was.
void PushVariant(lua_State* L, const VARIANT& v);

// Makes `out` (empty on entry) from the Lua value at `index`: nil is VT_EMPTY, a boolean VT_BOOL,
// an integer VT_I4 (VT_R8 beyond 32 bits, so the callee's conversion reports the overflow), a float
// VT_R8, a string VT_BSTR, a dispatch object VT_DISPATCH (with a reference), a sequence of numbers a
// VT_R8 array. Raises no Lua error. False with `error` for a value that has no automation form.
bool VariantFromLua(lua_State* L, int index, VARIANT& out, std::string& error);
