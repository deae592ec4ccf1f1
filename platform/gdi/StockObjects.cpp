#include "platform/gdi/StockObjects.h"

#include "platform/gdi/CBitmap.h"
#include "platform/gdi/CBrush.h"
#include "platform/gdi/CFont.h"
#include "platform/gdi/CPen.h"
#include "platform/gdi/PixelStore.h"

#include <cstring>
#include <functional>

namespace gdi {

namespace {

// A face the stock fonts ask for; resolved like any other (a sans face here).
LOGFONT StockFont(LONG height, LONG weight, BYTE pitch, const char* face) {
    LOGFONT lf{};
    lf.lfHeight = height;
    lf.lfWeight = weight;
    lf.lfPitchAndFamily = pitch;
    std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
    return lf;
}

struct StockSet {
    CBrush brushes[6];
    CPen pens[3];
    CFont fonts[8];  // indices 10..17
    CBitmap bitmap;
    StockSet() {
        const COLORREF brushColours[5] = {RGB(255, 255, 255), RGB(192, 192, 192), RGB(128, 128, 128),
                                          RGB(64, 64, 64), RGB(0, 0, 0)};
        for (int i = 0; i < 5; ++i) brushes[i].CreateSolidBrush(brushColours[i]);
        LOGBRUSH nullBrush{BS_NULL, 0, 0};
        brushes[5].CreateBrushIndirect(&nullBrush);
        pens[0].CreatePen(PS_SOLID, 0, RGB(255, 255, 255));
        pens[1].CreatePen(PS_SOLID, 0, RGB(0, 0, 0));
        pens[2].CreatePen(PS_NULL, 0, RGB(0, 0, 0));
        const LOGFONT fixed = StockFont(12, FW_NORMAL, FIXED_PITCH | FF_MODERN, "Courier New");
        const LOGFONT system = StockFont(16, FW_BOLD, VARIABLE_PITCH | FF_SWISS, "System");
        const LOGFONT var = StockFont(12, FW_NORMAL, VARIABLE_PITCH | FF_SWISS, "MS Sans Serif");
        const LOGFONT gui = StockFont(-11, FW_NORMAL, VARIABLE_PITCH | FF_SWISS, "MS Shell Dlg");
        const LOGFONT table[8] = {fixed, fixed, var, system, system, var, fixed, gui};
        for (int i = 0; i < 8; ++i) fonts[i].CreateFontIndirect(&table[i]);
        bitmap.CreateBitmap(1, 1, 1, 32, nullptr);
        bitmap.GetStore()->stock = true;
    }
};

StockSet& Stock() {
    static StockSet* set = new StockSet();  // never destroyed: contexts may outlive static teardown
    return *set;
}

}  // namespace

CGdiObject* StockObject(int index) {
    StockSet& s = Stock();
    if (index >= WHITE_BRUSH && index <= NULL_BRUSH) return &s.brushes[index];
    if (index >= WHITE_PEN && index <= NULL_PEN) return &s.pens[index - WHITE_PEN];
    if (index >= OEM_FIXED_FONT && index <= DEFAULT_GUI_FONT && index != 15) return &s.fonts[index - OEM_FIXED_FONT];
    return nullptr;
}

bool IsStockObject(const CGdiObject* object) {
    // Every stock object lives inside the one StockSet.
    const StockSet& s = Stock();
    const auto* p = reinterpret_cast<const char*>(object);
    const auto* begin = reinterpret_cast<const char*>(&s);
    return std::less_equal<const char*>()(begin, p) && std::less<const char*>()(p, begin + sizeof(StockSet));
}

CBitmap* StockBitmap() { return &Stock().bitmap; }

}  // namespace gdi
