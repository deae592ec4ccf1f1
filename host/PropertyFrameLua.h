#pragma once
// The property frame in macros: host.frame(), host.file_dialog_answer(path) and
// host.render_frame(path), added to the host table's functions (docs/macros.md).
struct lua_State;

// Sets the three functions as fields of the table at `functionsTable`.
void AddPropertyFrameFunctions(lua_State* L, int functionsTable);
