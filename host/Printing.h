#pragma once
// Printing a document: its page laid onto a printed page and every control asked to draw itself
// there through its draw entry, as a container prints; written as PDF or SVG.
#include <string>

#include "platform/base/WinDef.h"
#include "platform/gdi/CPrinterDC.h"

class CHostDocument;

// The white border kept round the printed picture, in inches (none when it is fitted to the
// sheet's printable area, which for these printers is the whole sheet).
constexpr double kPrintMarginInches = 0.5;

// How a page is printed.
struct SPrintOptions {
    EPaperSize paper = EPaperSize::A4;
    EPaperOrientation orientation = EPaperOrientation::Portrait;
    // Scaled to the sheet's whole printable area instead of inside the half-inch margins.
    bool fit = false;
    // One control alone, the sheet cropped to it as a figure; empty for the whole page.
    std::string control;
};

// Where a document page lands on a printed page: printer dots per page pixel (the same both ways)
// and the printed position of page pixel (0, 0).
struct SPrintLayout {
    double scale = 0;
    CPoint origin;
};

// The page of pageWidth x pageHeight pixels scaled to fit inside the margins of a printed page of
// printerPage dots (aspect kept) and centred there. Scale 0 when nothing fits.
SPrintLayout LayOutPrintedPage(int pageWidth, int pageHeight, CSize printerPage, int dpi,
                               double marginInches = kPrintMarginInches);

// Draws the open document into the printer context. For each control in document order the
// mapping puts the control's rectangle where the layout says (viewport origin at its place, an
// anisotropic scale from page pixels to printer dots, clipped to it) and its draw entry gets the
// bounds (0, 0, width, height). The printer context's state is as it was afterwards.
bool PrintDocumentPage(CHostDocument& document, CPrinterDC& printer, std::string& error);
// The same into any context (a printer, a metafile) with a layout of one's own, drawing only the
// control named `only` when it is given.
bool PrintDocumentPage(CHostDocument& document, CDC& printer, const SPrintLayout& layout, const std::string& only,
                       std::string& error);

// Prints the open document onto one page of the paper and writes it as PDF or SVG, chosen by the
// output's extension. No file is left behind on failure: false with one line in `error`.
bool PrintDocument(CHostDocument& document, const std::string& outputPath, EPaperSize paper, std::string& error);
bool PrintDocument(CHostDocument& document, const std::string& outputPath, const SPrintOptions& options,
                   std::string& error);
