#pragma once
// Calls on a control's automation interface by member name, as scripts and the command line make
// them: the name is looked up with GetIDsOfNames, the arguments are passed in the platform's
// reversed order, and a failure comes back as one line naming the member.
#include <span>
#include <string>
#include <string_view>

#include "platform/com/Dispatch.h"

// Calls `name` with `args` in declaration order (by-reference arguments are passed as they are).
// `flags` is DISPATCH_METHOD, DISPATCH_PROPERTYGET or DISPATCH_PROPERTYPUT (one argument, passed
// as the named DISPID_PROPERTYPUT argument). *result, when given, must be empty; it receives the
// result. False with `error` ("RayPlotType: Property is read-only.") on failure.
bool InvokeByName(IDispatch* disp, std::string_view name, WORD flags, std::span<const VARIANT> args,
                  VARIANT* result, std::string& error);

// Shorthands for the common cases.
bool PutPropertyByName(IDispatch* disp, std::string_view name, const VARIANT& value, std::string& error);
bool CallMethodByName(IDispatch* disp, std::string_view name, std::span<const VARIANT> args, std::string& error);
