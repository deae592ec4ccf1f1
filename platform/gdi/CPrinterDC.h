#pragma once
// A printer context: technology DT_RASPRINTER, one page of a paper size at a resolution, recorded
// call by call and written out as PDF or SVG (CairoPlayback.h). Output and attribute contexts are
// the same context, as for any printer.
#include "platform/gdi/CRecordingDC.h"

// The paper sizes the printer offers, and which way up the sheet is.
enum class EPaperSize { A4, Letter };
enum class EPaperOrientation { Portrait, Landscape };

class CPrinterDC : public CRecordingDC {
public:
    // The printer's resolution unless told otherwise.
    static constexpr int kDefaultDpi = 600;

    // A page of the paper at dpi dots per inch (the whole sheet is printable).
    BOOL CreatePrinterDC(EPaperSize paper, int dpi = kDefaultDpi,
                         EPaperOrientation orientation = EPaperOrientation::Portrait);
    // A page of any size in dots (a figure cropped to what it shows).
    BOOL CreatePrinterDC(CSize page, int dpi = kDefaultDpi);
    // The page size in dots of the paper at a resolution (A4: 210 x 297 mm, Letter: 8.5 x 11 in),
    // its sides swapped in landscape.
    static CSize PageSize(EPaperSize paper, int dpi, EPaperOrientation orientation = EPaperOrientation::Portrait);
};
