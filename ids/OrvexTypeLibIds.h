#pragma once
// The module's type library, ORVEXVIEWERLib 1.0, which describes both controls.
#include "platform/com/Guid.h"

// {CC91073D-B0F5-4136-A664-CAD3D98A2ACF}
constexpr GUID LIBID_ORVEXVIEWERLib = {0xCC91073D, 0xB0F5, 0x4136, {0xA6, 0x64, 0xCA, 0xD3, 0xD9, 0x8A, 0x2A, 0xCF}};
constexpr WORD kOrvexTypeLibMajor = 1;
constexpr WORD kOrvexTypeLibMinor = 0;
