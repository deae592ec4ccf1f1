#pragma once
// The page as a picture for a report: at a scale (page, fonts and pens drawn larger together, as
// a display of higher resolution shows them) and with an optional caption below the page that
// says what it shows. The controls' pixels are never drawn over.
#include <string>
#include <utility>
#include <vector>

class CBitmap;
class CHostDocument;

// Scales a picture may be drawn at.
constexpr double kMinPictureScale = 1.0;
constexpr double kMaxPictureScale = 4.0;

struct SPictureOptions {
    // 1: the page's own pixels. Above 1 each control draws itself through its draw entry into a
    // picture that many times larger, fonts and wide pens scaled with it.
    double scale = 1.0;
    // Lines drawn in a band below the page; none, no band.
    std::vector<std::string> caption;
};

// What each viewer on the page shows, one line per viewer: its file, the snapshot and, for a
// viewer that takes room on the page, how its rays are drawn ("pulse at 12.00 us").
// `shownAs` names the file in the caption where the viewer opened a stand-in (a job's temporary
// copy of a JSON file): {viewer's FileName, name to show}.
std::vector<std::string> DescribePage(CHostDocument& document,
                                      const std::pair<std::string, std::string>& shownAs = {});

// The page as the options ask, into `picture`. False with one line in `error`.
bool MakePagePicture(CHostDocument& document, const SPictureOptions& options, CBitmap& picture, std::string& error);
// The same, written as a PNG file.
bool WritePagePicture(CHostDocument& document, const SPictureOptions& options, const std::string& path,
                      std::string& error);
