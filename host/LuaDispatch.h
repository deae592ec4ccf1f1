#pragma once
// Dispatch objects: Lua userdata around an IDispatch, with member access by name through
// GetIDsOfNames and Invoke. `obj.Prop` reads, `obj.Prop = v` writes, `obj:Method(...)` calls;
// a method's by-reference parameters come back after its result. Errors name the object and the
// member ("OrvexViewer1.MaximumRayTime: Property is read-only."). The object holds one reference,
// given back when Lua collects it.
#include <string_view>

struct lua_State;
struct IDispatch;

// Registers the metatable of dispatch objects; once per state, in protected mode.
void RegisterDispatchObjects(lua_State* L);

// Pushes a dispatch object for `disp` (nil for null) labelled `label` in error messages (a control's
// container name; empty for objects that came back from a call). Takes its own reference. Raises
// Lua errors (memory): call in protected mode.
void PushDispatchObject(lua_State* L, IDispatch* disp, std::string_view label);

// The IDispatch of the dispatch object at `index` (borrowed), or null when it is something else.
IDispatch* ToDispatchObject(lua_State* L, int index);
