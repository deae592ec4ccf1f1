#include "desktop/SimulationDocument.h"

namespace {
constexpr const char* kViewerProgId = "ORVEXVIEWER.OrvexViewerCtrl.1";
constexpr const char* kAscanProgId = "ORVEXASCANVIEWER.OrvexAscanViewerCtrl.1";
}  // namespace

SDocumentModel SimulationDocumentModel(const std::string& path) {
    SDocumentModel model;
    model.pageWidth = 1100;
    model.pageHeight = 420;
    SDocumentControl viewer;
    viewer.progId = kViewerProgId;
    viewer.name = kSimulationViewerName;
    viewer.rect = CRect(10, 10, 510, 410);
    viewer.properties.push_back({"FileName", path});
    SDocumentControl ascan;
    ascan.progId = kAscanProgId;
    ascan.name = kSimulationAscanName;
    ascan.rect = CRect(520, 10, 1090, 410);
    ascan.properties.push_back({"OrvexViewerName", std::string(kSimulationViewerName)});
    model.controls = {viewer, ascan};
    return model;
}
