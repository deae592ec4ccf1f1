#pragma once
// The `host` table of the macro layer: pump, render, print, pixel, mouse, trace, save and controls.
struct lua_State;
class CMacroHost;

// Sets global `host` to a read-only table whose functions act on `host`'s document; `controls`
// is the table of dispatch objects by control name, on the top of the stack (it is popped).
// Raises Lua errors (memory): call in protected mode.
void InstallHostTable(lua_State* L, CMacroHost* host);
