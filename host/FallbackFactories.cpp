#include "host/FallbackFactories.h"

#include "ascan/OrvexAscanViewerCtrl.h"
#include "ids/OrvexAscanViewerIds.h"
#include "ids/OrvexViewerIds.h"
#include "platform/afx/COleObjectFactory.h"
#include "viewer/OrvexViewerCtrl.h"

namespace {

// Registers a factory for a control unless the module has one for its ProgID or class already.
// A factory lives as long as the module: it is never destroyed, so it cannot leave the factory
// list after that list is gone at exit.
void EnsureFactory(COleObjectFactory*& factory, REFCLSID clsid, COleObjectFactory::CreateObjectFn create,
                   const char* progId) {
    if (factory != nullptr || COleObjectFactory::FindByProgID(progId) != nullptr ||
        COleObjectFactory::FindByClassID(clsid) != nullptr)
        return;
    factory = new COleObjectFactory(clsid, create, TRUE, progId);
}

}  // namespace

void EnsureFallbackFactories() {
    static COleObjectFactory* viewerFactory = nullptr;
    static COleObjectFactory* ascanFactory = nullptr;
    EnsureFactory(viewerFactory, CLSID_OrvexViewerCtrl, &COleControl::CreateObject<COrvexViewerCtrl>,
                  kOrvexViewerProgID);
    EnsureFactory(ascanFactory, CLSID_OrvexAscanViewerCtrl, &COleControl::CreateObject<COrvexAscanViewerCtrl>,
                  kOrvexAscanViewerProgID);
}
