#pragma once
// The untitled document a simulation file opens in: a viewer showing the file and an A-scan
// control linked to it by name, side by side, where the demo document places them.
#include <string>

#include "host/DocumentFile.h"

// The viewer's and the A-scan control's container names in that document.
constexpr const char* kSimulationViewerName = "OrvexViewer1";
constexpr const char* kSimulationAscanName = "OrvexAscanViewer1";

// `path` should be absolute: an untitled document has no folder of its own to open it from.
SDocumentModel SimulationDocumentModel(const std::string& path);
