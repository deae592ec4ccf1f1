#pragma once
// A recording of drawing calls: each call with its arguments in logical units and the context
// state it ran under, so it plays back onto a raster context (pixels as if drawn there directly)
// or into a vector file (CairoPlayback.h).
#include "platform/gdi/DeviceContext.h"

#include <cstdint>
#include <string>
#include <vector>

class CDC;

namespace gdi {

// The drawing calls a recording holds (TextOut arrives as ExtTextOut, FillSolidRect as FillRect).
enum class ERecordKind { LineTo, Polyline, Arc, Ellipse, Rectangle, SetPixel, FillRect, PatBlt, BitBlt, ExtTextOut };

// One recorded call; coordinates are logical under the recorded state.
struct stRecord {
    ERecordKind kind = ERecordKind::LineTo;
    uint32_t state = 0;         // index into CRecording::States()
    // LineTo: from, to. Polyline: its points. Arc: the box corners, start, end. Ellipse, Rectangle:
    // the corners. SetPixel: the point. PatBlt, BitBlt: (x, y) and (width, height). ExtTextOut:
    // (x, y) and the pen position (used with TA_UPDATECP).
    std::vector<POINT> points;
    COLORREF colour = 0;        // SetPixel, FillRect
    DWORD rop = 0;              // PatBlt, BitBlt
    CRect rect;                 // FillRect; ExtTextOut when hasRect
    UINT options = 0;           // ExtTextOut
    bool hasRect = false;
    std::string text;
    std::vector<int> dx;        // ExtTextOut advances (empty: the font's own)
    // BitBlt: the source's device pixels (0x00BBGGRR; kNoSourcePixel where the source had none).
    int imageWidth = 0;
    int imageHeight = 0;
    std::vector<uint32_t> image;
};

// A BitBlt source pixel that did not exist (outside the source's visible area): nothing is copied.
constexpr uint32_t kNoSourcePixel = 0xFF000000u;

// The calls of one page and the device they were made for.
class CRecording {
public:
    // The device: size in pixels (dots), resolution, technology.
    CSize m_page;
    int m_dpiX = 96;
    int m_dpiY = 96;
    int m_technology = DT_METAFILE;

    const std::vector<stRecord>& Records() const { return m_records; }
    const std::vector<DcState>& States() const { return m_states; }

    // Adds a call made under state (objects and pen position are not kept: the records carry the
    // positions, the state carries copies of what the objects describe).
    void Add(stRecord record, const DcState& state);
    void Clear();

private:
    std::vector<stRecord> m_records;
    std::vector<DcState> m_states;  // consecutive calls under equal states share one entry
};

// Plays the recording onto a raster context, device pixel for device pixel: each call runs under
// its recorded state, so the pixels are those direct drawing would have produced (a BitBlt
// copies the pixels its source had when it was recorded). The target's state is left as it was.
void PlayRecording(const CRecording& recording, CDC& target);

}  // namespace gdi
