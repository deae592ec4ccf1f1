#pragma once
// string.find, string.match, string.gmatch and string.gsub for macros: Lua's own pattern language
// and results, with a matcher that charges each of its steps to the sandbox's budget. Lua's
// matcher backtracks without bound in C (".-.-.-b" on a long subject is cubic), where the
// instruction count never sees it; this one stops at the budget like any other work.
struct lua_State;

// Replaces the four functions in the string library table at `index`.
void InstallBudgetedPatterns(lua_State* L, int index);
