#pragma once
// Automation strings: byte strings of the ANSI code page that carry their length, may hold zero
// bytes, and are always followed by a terminating zero. A null BSTR is the empty string.
#include <string>
#include <string_view>

#include "platform/base/WinDef.h"

using OLECHAR = char;
using BSTR = OLECHAR*;
using LPOLESTR = OLECHAR*;
using LPCOLESTR = const OLECHAR*;

// A copy of the zero-terminated `psz`; null gives null.
BSTR SysAllocString(LPCOLESTR psz);
// A string of `len` bytes copied from `pch`, or left zeroed when `pch` is null.
BSTR SysAllocStringLen(const OLECHAR* pch, UINT len);
// The platform's byte-length form; the same as SysAllocStringLen here, since a character is a byte.
BSTR SysAllocStringByteLen(LPCSTR psz, UINT len);
// Replaces *pbstr by a copy of `psz`; FALSE (and *pbstr untouched) when memory runs out.
BOOL SysReAllocString(BSTR* pbstr, LPCOLESTR psz);
void SysFreeString(BSTR bstr);
// Length in characters (bytes), not counting the terminator; 0 for null.
UINT SysStringLen(BSTR bstr);
UINT SysStringByteLen(BSTR bstr);

// Helpers of our own for the C++ side.
BSTR SysAllocStringFrom(std::string_view text);
inline std::string StringFromBstr(BSTR bstr) { return std::string(bstr ? bstr : "", SysStringLen(bstr)); }
