#pragma once
// A metafile context: technology DT_METAFILE, a picture of a given size recorded call by call.
#include "platform/gdi/CRecordingDC.h"

class CMetaFileDC : public CRecordingDC {
public:
    // A picture of width x height pixels at logPixels dots per inch (the screen's by default).
    BOOL Create(int width, int height, int logPixels = 96) {
        return CreateRecordingDC(DT_METAFILE, CSize(width, height), logPixels, logPixels);
    }
};
