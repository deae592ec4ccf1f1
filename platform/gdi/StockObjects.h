#pragma once
// The stock objects every context starts with or may select (WHITE_BRUSH, BLACK_PEN, ...).
#include "platform/gdi/GdiTypes.h"

class CBitmap;

namespace gdi {

// The stock object of an index; null for an unknown one.
CGdiObject* StockObject(int index);
// Whether an object is one of the stock objects (deleting one does nothing).
bool IsStockObject(const CGdiObject* object);
// The 1x1 bitmap a fresh memory context holds.
CBitmap* StockBitmap();

}  // namespace gdi
