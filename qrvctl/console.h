// The terminal as qrvctl uses it on every platform: UTF-8 in and out, and
// the queries the prompts and the progress line make.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace qrvctl {

// On Windows: the console shows UTF-8 and understands the progress line's
// escape sequences. Nothing to do elsewhere.
void PrepareConsole();

// The arguments after the program name, in UTF-8. Windows hands a narrow
// main() its arguments in the ANSI code page, which loses Chinese names;
// there they are read again from the wide command line.
std::vector<std::string> Utf8Arguments(int argc, char** argv);

// Whether the stream is a terminal (the console on Windows).
bool IsTerminal(std::FILE* stream);

// Reads one line from the terminal without echoing it; false when standard
// input is no terminal.
bool ReadHiddenLine(std::string& line);

}  // namespace qrvctl
