#include "platform/afx/DebugOutput.h"

#include <cstdio>
#include <utility>

namespace {
DebugOutputSink& CurrentSink() {
    static DebugOutputSink sink;
    return sink;
}
}  // namespace

void OutputDebugStringA(LPCSTR lpOutputString) {
    if (lpOutputString == nullptr) return;
    if (const DebugOutputSink& sink = CurrentSink()) sink(lpOutputString);
}

DebugOutputSink SetDebugOutputSink(DebugOutputSink sink) { return std::exchange(CurrentSink(), std::move(sink)); }

DebugOutputSink MakeStderrDebugOutputSink() {
    return [](const char* text) {
        std::fputs(text, stderr);
        std::fflush(stderr);
    };
}

CDebugOutputCapture::CDebugOutputCapture() {
    m_previous = SetDebugOutputSink([this](const char* text) {
        std::string line(text);
        if (!line.empty() && line.back() == '\n') line.pop_back();
        m_lines.push_back(std::move(line));
    });
}

CDebugOutputCapture::~CDebugOutputCapture() { SetDebugOutputSink(std::move(m_previous)); }
