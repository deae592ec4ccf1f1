#include "module/OrvexViewerApp.h"

#include "geometry/CSimulationData.h"
#include "module/ModuleResources.h"
#include "module/OrvexTypeLib.h"
#include "platform/com/TypeLibRegistration.h"

COrvexViewerApp theApp;

namespace {
enum class ELoadState { Unloaded, Loaded, Failed };
ELoadState g_loadState = ELoadState::Unloaded;
}  // namespace

COrvexViewerApp::COrvexViewerApp() : COleControlModule(nullptr) {}

BOOL COrvexViewerApp::InitInstance() {
    BOOL bInit = COleControlModule::InitInstance();
    if (bInit) InitOrvexGeomResources();
    return bInit;
}

int COrvexViewerApp::ExitInstance() { return COleControlModule::ExitInstance(); }

BOOL LoadOrvexModule() {
    if (g_loadState != ELoadState::Unloaded) return g_loadState == ELoadState::Loaded;
    theApp.m_hInstance = GetOrvexModuleResources();
    // The type library is a resource of the module's file.
    AddModuleTypeLib(theApp.m_hInstance->modulePath, GetOrvexTypeLibrary());
    g_loadState = theApp.InitInstance() ? ELoadState::Loaded : ELoadState::Failed;
    return g_loadState == ELoadState::Loaded;
}

void UnloadOrvexModule() {
    if (g_loadState == ELoadState::Loaded) theApp.ExitInstance();
    if (theApp.m_hInstance) RemoveModuleTypeLib(theApp.m_hInstance->modulePath);
    g_loadState = ELoadState::Unloaded;
}
