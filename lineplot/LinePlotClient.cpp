#include "lineplot/LinePlotClient.h"

// A client that subscribes to nothing needs none of these; a plot overrides the ones it follows.
void CLinePlotClient::AddGate(int, const GateData*, const std::string&) {}
BOOL CLinePlotClient::SetGateStyle(int, COLORREF, int, int, int) { return FALSE; }
void CLinePlotClient::RemoveGate(int) {}
void CLinePlotClient::GateChanging(int, const GateData*) {}
void CLinePlotClient::GateChanged(int, const GateData*) {}
void CLinePlotClient::RangeChanging(const PlotViewRect*) {}
void CLinePlotClient::RangeChanged(const PlotViewRect*) {}
