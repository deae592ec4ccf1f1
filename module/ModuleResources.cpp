#include "module/ModuleResources.h"

#include <climits>
#include <unistd.h>

#include "module/resource.h"
#include "pages/PageResourceIds.h"
#include "pages/PageTemplates.h"

namespace {

// The module lives inside the program that loaded it, so that program's file is the module's.
std::string ProgramPath() {
    char buf[PATH_MAX];
    ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return "OrvexViewer.OCX";
    return std::string(buf, static_cast<size_t>(n));
}

// 16 x 15 toolbox images, one hex digit (standard palette index) per pixel: 7 silver, 0 black,
// 8 grey, 9 red, C blue, F white, 2 dark green.
constexpr const char* kViewerBitmap[15] = {
    "7777777777777777",  // the probe on its wedge sends rays into a block with a drilled hole
    "77777CCCCC777777",
    "77777CCCCC777777",
    "7777888888877777",
    "0000000990000007",
    "0777779009777707",
    "0777790770977707",
    "0777907777097707",
    "0779077777709707",
    "0790777887770907",
    "0907777887777097",
    "0777777777777707",
    "0777777777777707",
    "0000000000000007",
    "7777777777777777",
};
constexpr const char* kAscanBitmap[15] = {
    "7777777777777777",  // a trace with an echo in a framed plot
    "70FFFFFFFFFFFFF7",
    "70FFFF2FFFFFFFF7",
    "70FFFF2FFFFFFFF7",
    "70FFF2F2FFFFFFF7",
    "70FFF2F2FFFF2FF7",
    "70FFF2F2FFF2F2F7",
    "7022222F2F22F222",
    "70FFFFFF2FFFFFF7",
    "70FFFFFF2FFFFFF7",
    "70FFFFFFFFFFFFF7",
    "70FFFFFFFFFFFFF7",
    "7000000000000007",
    "7777777777777777",
    "7777777777777777",
};

HINSTANCE__::Bitmap16 MakeBitmap(const char* const (&rows)[15]) {
    HINSTANCE__::Bitmap16 b;
    b.width = 16;
    b.height = 15;
    for (const char* row : rows)
        for (int x = 0; x < 16; ++x) {
            char c = row[x];
            b.indices.push_back(static_cast<BYTE>(c <= '9' ? c - '0' : c - 'A' + 10));
        }
    return b;
}

HINSTANCE__ BuildResources() {
    HINSTANCE__ r;
    r.modulePath = ProgramPath();
    r.strings = {
        {IDS_ORVEXVIEWER, "OrvexViewer Control"},
        {IDS_ORVEXVIEWER_PPG, "OrvexViewer Property Page"},
        {IDS_ORVEXVIEWER_PPG2, "OrvexViewer Property Page 2"},
        {IDS_ORVEXASCANVIEWER, "OrvexAscanViewer Control"},
        {IDS_ORVEXASCANVIEWER_PPG, "OrvexAscanViewer Property Page"},
        {IDS_ORVEXVIEWER_PPG_CAPTION, "General"},
        {IDS_ORVEXVIEWER_PPG2_CAPTION, "View"},
        {IDS_ORVEXASCANVIEWER_PPG_CAPTION, "General"},
    };
    r.bitmaps = {{IDB_ORVEXVIEWER, MakeBitmap(kViewerBitmap)}, {IDB_ORVEXASCANVIEWER, MakeBitmap(kAscanBitmap)}};
    r.dialogs = {
        {IDD_PROPPAGE_ORVEXVIEWER, &GetOrvexViewerPropPageTemplate()},
        {IDD_PROPPAGE_ORVEXVIEWER2, &GetOrvexViewerPropPage2Template()},
        {IDD_PROPPAGE_ORVEXASCANVIEWER, &GetOrvexAscanViewerPropPageTemplate()},
    };
    HINSTANCE__::VersionInfo& v = r.version;
    const WORD version[4] = {1, 0, 0, 1};
    std::copy(version, version + 4, v.fileVersion);
    std::copy(version, version + 4, v.productVersion);
    v.language = 0x0409;  // US English
    v.codePage = 0x04B0;  // Unicode
    v.strings = {
        {"FileDescription", "OrvexViewer ActiveX Control Module"},
        {"FileVersion", "1, 0, 0, 1"},
        {"InternalName", "OrvexViewer"},
        {"OriginalFilename", "OrvexViewer.OCX"},
        {"ProductName", "OrvexViewer ActiveX Control Module"},
        {"ProductVersion", "1, 0, 0, 1"},
        {"OLESelfRegister", ""},  // the module registers itself
    };
    return r;
}

}  // namespace

HINSTANCE GetOrvexModuleResources() {
    static HINSTANCE__ resources = BuildResources();
    return &resources;
}
