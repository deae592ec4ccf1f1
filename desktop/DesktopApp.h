#pragma once
// The entry of `orvex open`, free of Qt types so the command line tool can call it.
#include <ostream>
#include <string>

// Runs the desktop application until its window closes, with the document or simulation file at
// `path` open (none when empty). 0 when it ran; 1 with one line on `err` when there is no display
// to show it on or the file cannot be opened.
int RunDesktopApplication(const std::string& path, std::ostream& err);
