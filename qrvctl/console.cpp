#include "qrvctl/console.h"

#include <iostream>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#include <shellapi.h>

#include "text/module_text.h"
#else
#include <termios.h>
#include <unistd.h>
#endif

namespace qrvctl {

#ifdef _WIN32

void PrepareConsole() {
    SetConsoleOutputCP(CP_UTF8);
    SetConsoleCP(CP_UTF8);
    for (DWORD which : {STD_OUTPUT_HANDLE, STD_ERROR_HANDLE}) {
        HANDLE handle = GetStdHandle(which);
        DWORD mode = 0;
        if (GetConsoleMode(handle, &mode)) SetConsoleMode(handle, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
    }
}

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide == nullptr || count != argc) {
        if (wide != nullptr) LocalFree(wide);
        return std::vector<std::string>(argv + 1, argv + argc);
    }
    std::vector<std::string> args;
    for (int i = 1; i < count; ++i) {
        const std::wstring arg(wide[i]);
        const std::string bytes(reinterpret_cast<const char*>(arg.data()), arg.size() * sizeof(wchar_t));
        args.push_back(qrv::text::ConvertLenient(bytes, "WCHAR_T", "UTF-8"));
    }
    LocalFree(wide);
    return args;
}

bool IsTerminal(std::FILE* stream) { return _isatty(_fileno(stream)) != 0; }

bool ReadHiddenLine(std::string& line) {
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    DWORD mode = 0;
    if (!GetConsoleMode(input, &mode)) return false;
    SetConsoleMode(input, mode & ~static_cast<DWORD>(ENABLE_ECHO_INPUT));
    std::getline(std::cin, line);
    SetConsoleMode(input, mode);
    return true;
}

#else

void PrepareConsole() {}

std::vector<std::string> Utf8Arguments(int argc, char** argv) { return std::vector<std::string>(argv + 1, argv + argc); }

bool IsTerminal(std::FILE* stream) { return isatty(fileno(stream)) != 0; }

bool ReadHiddenLine(std::string& line) {
    if (!isatty(STDIN_FILENO)) return false;
    termios old{};
    tcgetattr(STDIN_FILENO, &old);
    termios quiet = old;
    quiet.c_lflag &= static_cast<tcflag_t>(~ECHO);
    tcsetattr(STDIN_FILENO, TCSANOW, &quiet);
    std::getline(std::cin, line);
    tcsetattr(STDIN_FILENO, TCSANOW, &old);
    return true;
}

#endif

}  // namespace qrvctl
