#pragma once
// Debugger output. The controls write their diagnostics with OutputDebugStringA; where the text
// goes is the host's choice: nowhere by default, a list in tests, stderr with `--trace`.
#include <functional>
#include <string>
#include <vector>

#include "platform/base/WinDef.h"

// Receives the text of one OutputDebugStringA call, as given.
using DebugOutputSink = std::function<void(const char* text)>;

void OutputDebugStringA(LPCSTR lpOutputString);
inline void OutputDebugString(LPCSTR lpOutputString) { OutputDebugStringA(lpOutputString); }

// Installs a sink (an empty one discards the output) and returns the previous one.
DebugOutputSink SetDebugOutputSink(DebugOutputSink sink);
// A sink that writes each call's text to stderr as it is.
DebugOutputSink MakeStderrDebugOutputSink();

// Collects the output while it lives, one line per call with its final newline removed, and puts
// the previous sink back when it ends.
class CDebugOutputCapture {
public:
    CDebugOutputCapture();
    ~CDebugOutputCapture();
    CDebugOutputCapture(const CDebugOutputCapture&) = delete;
    CDebugOutputCapture& operator=(const CDebugOutputCapture&) = delete;

    const std::vector<std::string>& GetLines() const { return m_lines; }
    void Clear() { m_lines.clear(); }

private:
    std::vector<std::string> m_lines;
    DebugOutputSink m_previous;
};
