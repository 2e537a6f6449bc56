#pragma once
// The application: prepares the desktop, runs the main window modally and
// ends the process when it closes.

class CQrvtuneApp {
public:
    // The start sequence. Returns false: the main window's modal run was the
    // whole life of the program, no event loop follows.
    bool InitInstance();
    // The process exit code.
    int ExitInstance();
};
