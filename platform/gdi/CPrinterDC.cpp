// Printer contexts: a page of a paper size at a resolution.
#include "platform/gdi/CPrinterDC.h"

#include "platform/base/Saturate.h"

#include <cmath>

CSize CPrinterDC::PageSize(EPaperSize paper, int dpi, EPaperOrientation orientation) {
    // Sheet sizes in inches; dots are rounded to the nearest whole dot.
    const double width = paper == EPaperSize::A4 ? 210.0 / 25.4 : 8.5;
    const double height = paper == EPaperSize::A4 ? 297.0 / 25.4 : 11.0;
    const CSize portrait(TruncateToInt(std::floor(width * dpi + 0.5)), TruncateToInt(std::floor(height * dpi + 0.5)));
    return orientation == EPaperOrientation::Landscape ? CSize(portrait.cy, portrait.cx) : portrait;
}

BOOL CPrinterDC::CreatePrinterDC(EPaperSize paper, int dpi, EPaperOrientation orientation) {
    if (dpi <= 0) return FALSE;
    return CreateRecordingDC(DT_RASPRINTER, PageSize(paper, dpi, orientation), dpi, dpi);
}

BOOL CPrinterDC::CreatePrinterDC(CSize page, int dpi) {
    if (dpi <= 0 || page.cx <= 0 || page.cy <= 0) return FALSE;
    return CreateRecordingDC(DT_RASPRINTER, page, dpi, dpi);
}
