#pragma once
// The five pages exist once per run of the program; the main window reaches
// them and the session they were handed through the accessors below. The
// application builds them (a CViewSet) before its main window and keeps
// them until the process ends: the main window hands them back when it
// closes.
class Session;
class CViewLocalDevList;
class CViewRemoteDevList;
class CViewBaseInfo;
class CViewDevAdvCfg;
class CViewADIO;

class CViewSet {
public:
    // Builds the five pages (after the QApplication) on `session`, which
    // outlives the set, and makes them the ones the accessors return. One
    // set exists at a time.
    explicit CViewSet(Session& session);
    // Deletes the pages, taking them out of any tab set.
    ~CViewSet();
    CViewSet(const CViewSet&) = delete;
    CViewSet& operator=(const CViewSet&) = delete;
};

// The pages of the set that exists.
CViewLocalDevList& ViewLocalDevList();
CViewRemoteDevList& ViewRemoteDevList();
CViewBaseInfo& ViewBaseInfo();
CViewDevAdvCfg& ViewDevAdvCfg();
CViewADIO& ViewADIO();
// The session the pages of the set were handed.
Session& SessionState();
