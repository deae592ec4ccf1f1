#pragma once
// Message boxes, which the host answers: headless it records the text and answers OK, so tests and
// macros can see what a user would have been told.
#include <functional>
#include <string>

#include "platform/base/WinDef.h"

constexpr UINT MB_OK = 0x0000;
constexpr UINT MB_ICONEXCLAMATION = 0x0030;
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;

// Receives the text and type of each message box and returns the button pressed.
using MessageBoxHandler = std::function<int(const std::string& text, UINT nType)>;
// Installs the handler (an empty one restores the default, which answers IDOK).
void AfxSetMessageBoxHandler(MessageBoxHandler handler);
int AfxMessageBox(const std::string& text, UINT nType = MB_OK);
