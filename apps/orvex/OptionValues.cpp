#include "apps/orvex/OptionValues.h"

#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstdlib>

#include "apps/orvex/Command.h"
#include "host/DocumentFile.h"
#include "host/PagePicture.h"

bool ParseSize(const std::string& text, int& width, int& height) {
    size_t x = text.find_first_of("xX");
    if (x == std::string::npos) return false;
    long long w = 0, h = 0;
    if (!ParseInteger(text.substr(0, x), 1, kMaxPageExtent, w) ||
        !ParseInteger(text.substr(x + 1), 1, kMaxPageExtent, h))
        return false;
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    return true;
}

bool ParseNumber(const std::string& text, double& value) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    double v = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size() || errno == ERANGE || !std::isfinite(v)) return false;
    value = v;
    return true;
}

bool ParseScale(const std::string& text, double& scale) {
    double v = 0;
    if (!ParseNumber(text, v) || v < kMinPictureScale || v > kMaxPictureScale) return false;
    scale = v;
    return true;
}

bool HasExtension(const std::string& path, const char* ext) { return FileExtension(path) == ext; }

bool ParseRange(const std::string& text, float& min, float& max) {
    // The separator is the first colon not at the start, so "-5:-1" splits after "-5".
    size_t colon = text.find(':', 1);
    if (colon == std::string::npos) return false;
    double lo = 0, hi = 0;
    if (!ParseNumber(text.substr(0, colon), lo) || !ParseNumber(text.substr(colon + 1), hi)) return false;
    if (std::fabs(lo) > FLT_MAX || std::fabs(hi) > FLT_MAX) return false;
    // Two values that meet once rounded to floats make no window.
    const float fLo = static_cast<float>(lo);
    const float fHi = static_cast<float>(hi);
    if (!(fLo < fHi)) return false;
    min = fLo;
    max = fHi;
    return true;
}
