#pragma once
// The module's resources: string table, toolbox bitmaps, the pages' dialog templates and version
// information, gathered as the module's instance handle serves them.
#include "platform/afx/COleControlModule.h"

// The module's resources, with `modulePath` as the module's file; built once.
HINSTANCE GetOrvexModuleResources();
