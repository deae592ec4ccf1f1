#pragma once
// PNG files of bitmaps (8-bit RGB, no alpha).
#include <string>

class CBitmap;

// Writes the bitmap; false when it has no pixels or the file cannot be written.
bool SaveBitmapPng(const CBitmap& bitmap, const std::string& path);
// Replaces the bitmap by the picture in the file (any PNG colour type and depth; alpha is
// dropped); false, leaving the bitmap as it was, when the file is missing or malformed.
bool LoadBitmapPng(const std::string& path, CBitmap& bitmap);
