#pragma once
// The small interfaces a line plot implements besides its window: the client interface through which
// linked plots follow one another's gates and zoom, state duplication, the focus mark and printing.
#include <string>

#include "platform/base/WinDef.h"

class CDC;

// A gate's two points in axis units, in this order.
struct GateData {
    float x1 = 0;
    float y1 = 0;
    float x2 = 0;
    float y2 = 0;
};

// A view exchanged between linked plots, in axis units, in this order.
struct PlotViewRect {
    float xLow = 0;
    float yLow = 0;
    float xHigh = 0;
    float yHigh = 0;
};

// Receives a linked plot's gate and range changes. Every operation does nothing here; the flags say
// which notifications this object wants when a plot lists it as a client.
class CLinePlotClient {
public:
    virtual ~CLinePlotClient() = default;

    // A gate was added to the sending plot (sent only with m_bWantsGateCreation).
    virtual void AddGate(int id, const GateData* data, const std::string& label);
    // A gate's style was set on the sending plot (sent only with m_bWantsGateCreation).
    virtual BOOL SetGateStyle(int id, COLORREF colour, int penWidth, int penStyle, int kind);
    // A gate should go.
    virtual void RemoveGate(int id);
    // A gate moves (each drag step).
    virtual void GateChanging(int id, const GateData* data);
    // A gate drag ended.
    virtual void GateChanged(int id, const GateData* data);
    // The view changes (each zoom, pan or scroll step).
    virtual void RangeChanging(const PlotViewRect* view);
    // A view change ended.
    virtual void RangeChanged(const PlotViewRect* view);

    // Subscription flags, all clear after construction.
    BYTE m_bWantsGateCreation = 0;
    BYTE m_bWantsGateChanging = 0;
    BYTE m_bWantsGateChanged = 0;
    BYTE m_bWantsRangeChanging = 0;
    BYTE m_bWantsRangeChanged = 0;
};

// Duplicates an object's state into another object of the same class, in memory.
class CVantorPersistentObject {
public:
    virtual ~CVantorPersistentObject() = default;
    // Copies settings and data into *target, creating the target when *target is null.
    virtual bool Clone(CVantorPersistentObject** target) = 0;
    // Copies the settings only and hands over scratch buffers.
    virtual bool CloneSettings(CVantorPersistentObject** target) = 0;
    // Deletes the object.
    virtual void Destroy() = 0;
    // Reserved for implementers that need it.
    virtual void Reserved(int32_t value) = 0;
};

// Shows or reports a focus mark.
class CVantorFocusWnd {
public:
    virtual ~CVantorFocusWnd() = default;
    // Stores the focus state and repaints.
    virtual void SetFocusMark(bool focused) = 0;
    // The focus state.
    virtual bool HasFocusMark() = 0;
};

// Draws a window's picture into a rectangle of a printer or preview page.
class CVantorPrintingWnd {
public:
    virtual ~CVantorPrintingWnd() = default;
    // Maps the window's frame onto target (in the context's logical units) and draws there.
    virtual void PrintPlot(CRect target, CDC* dc) = 0;
};
