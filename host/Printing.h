#pragma once
// Printing a document: its page laid onto a printed page and every control asked to draw itself
// there through its draw entry, as a container prints; written as PDF or SVG.
#include <string>

#include "platform/base/WinDef.h"
#include "platform/gdi/CPrinterDC.h"

class CHostDocument;

// The white border kept round the printed picture, in inches.
constexpr double kPrintMarginInches = 0.5;

// Where a document page lands on a printed page: printer dots per page pixel (the same both ways)
// and the printed position of page pixel (0, 0).
struct SPrintLayout {
    double scale = 0;
    CPoint origin;
};

// The page of pageWidth x pageHeight pixels scaled to fit inside the margins of a printed page of
// printerPage dots (aspect kept) and centred there. Scale 0 when nothing fits.
SPrintLayout LayOutPrintedPage(int pageWidth, int pageHeight, CSize printerPage, int dpi);

// Draws the open document into the printer context. For each control in document order the
// mapping puts the control's rectangle where the layout says (viewport origin at its place, an
// anisotropic scale from page pixels to printer dots, clipped to it) and its draw entry gets the
// bounds (0, 0, width, height). The printer context's state is as it was afterwards.
bool PrintDocumentPage(CHostDocument& document, CPrinterDC& printer, std::string& error);

// Prints the open document onto one page of the paper and writes it as PDF or SVG, chosen by the
// output's extension. No file is left behind on failure: false with one line in `error`.
bool PrintDocument(CHostDocument& document, const std::string& outputPath, EPaperSize paper, std::string& error);
