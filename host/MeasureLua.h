#pragma once
// Measurements in macros: host.measure(control, gates) and host.bscan(viewer, path [, options]),
// added to the host table's functions (docs/macros.md).
struct lua_State;
class CMacroHost;

// Sets the two functions as fields of the table at `functionsTable`, acting for `host`.
void AddMeasureFunctions(lua_State* L, int functionsTable, CMacroHost* host);
