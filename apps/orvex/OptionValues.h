#pragma once
// Option values shared by the commands that draw: sizes, numbers and ranges, each the whole text.
#include <string>

// "WxH" (or "WXH") with whole numbers from 1 to kMaxPageExtent.
bool ParseSize(const std::string& text, int& width, int& height);
// A finite decimal number.
bool ParseNumber(const std::string& text, double& value);
// A picture scale: a number from 1 to 4.
bool ParseScale(const std::string& text, double& scale);
// Whether a path ends in ".EXT" (any case), EXT given in lower case without its dot.
bool HasExtension(const std::string& path, const char* ext);

// "MIN:MAX" with finite numbers that fit a float and MIN < MAX.
bool ParseRange(const std::string& text, float& min, float& max);
