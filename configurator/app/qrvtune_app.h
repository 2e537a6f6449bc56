#pragma once
// The application: prepares the desktop, runs the main window modally and
// ends the process when it closes.

#include <QString>

#include <memory>

#include "common/session_state.h"

class CViewSet;

class CQrvtuneApp {
public:
    // `language`: "zh" or "en" from the command line, or empty.
    explicit CQrvtuneApp(QString language = QString());
    ~CQrvtuneApp();

    // The start sequence. Returns false: the main window's modal run was the
    // whole life of the program, no event loop follows.
    bool InitInstance();
    // The process exit code.
    int ExitInstance();

private:
    // The session the pages share, and the five pages, built before the
    // main window and kept until the application object goes with the
    // process.
    Session session_;
    std::unique_ptr<CViewSet> views_;
    QString requestedLanguage_;
};
