#include "host/FallbackFactories.h"

#include "ids/OrvexViewerIds.h"
#include "platform/afx/COleObjectFactory.h"
#include "viewer/OrvexViewerCtrl.h"

void EnsureFallbackFactories() {
    // A factory lives as long as the module: it is never destroyed, so it cannot leave the
    // factory list after that list is gone at exit.
    static COleObjectFactory* viewerFactory = nullptr;
    if (viewerFactory == nullptr && COleObjectFactory::FindByProgID(kOrvexViewerProgID) == nullptr &&
        COleObjectFactory::FindByClassID(CLSID_OrvexViewerCtrl) == nullptr) {
        viewerFactory = new COleObjectFactory(CLSID_OrvexViewerCtrl, &COleControl::CreateObject<COrvexViewerCtrl>,
                                              TRUE, kOrvexViewerProgID);
    }
}
