#pragma once
// The module object and the module's life in a process: loading runs the platform's module
// initialisation and then starts the geometry library, once.
#include "platform/afx/COleControlModule.h"

class COrvexViewerApp : public COleControlModule {
public:
    COrvexViewerApp();
    // The platform's initialisation; only when it succeeds, the geometry library's start-up.
    BOOL InitInstance() override;
    // The platform's shut-down and nothing more: the geometry library is not told.
    int ExitInstance() override;
};

extern COrvexViewerApp theApp;

// Loads the module as the component loader does: the first call runs InitInstance (and makes the
// type library loadable from the module's file); later calls answer its result.
BOOL LoadOrvexModule();
// Unloads it again (ExitInstance); the next LoadOrvexModule starts it anew.
void UnloadOrvexModule();
