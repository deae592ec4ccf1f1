#pragma once
// The module's five class factories: the two controls and their three property pages, each with
// its ProgID, type name and registration data.
#include <vector>

#include "platform/afx/COleObjectFactory.h"

// The five factories in the module's order (viewer, A-scan control, then the pages).
const std::vector<COleObjectFactory*>& GetOrvexFactories();

// The property pages a control shows, in tab order; empty for a class that has none.
std::vector<CLSID> GetPropertyPageClassIds(REFCLSID controlClsid);
// The same for a live object, told apart by the dispatch interface it answers.
std::vector<CLSID> GetPropertyPageClassIds(IUnknown* control);

// The ProgIDs the module serves, and the second page's, which is written as it has always been.
constexpr const char* kOrvexViewerPropPageProgID = "ORVEXVIEWER.OrvexViewerPropPage.1";
constexpr const char* kOrvexViewerPropPage2ProgID = "OrvexViewer.COrvexViewerPropPage2";
constexpr const char* kOrvexAscanViewerPropPageProgID = "ORVEXASCANVIEWER.OrvexAscanViewerPropPage.1";
