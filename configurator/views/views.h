#pragma once
// The five pages exist once per process; the pages and the main window reach
// each other through these accessors. Each is created on first use (after the
// QApplication) and is never destroyed: the main window hands them back when
// it closes.
class CViewLocalDevList;
class CViewRemoteDevList;
class CViewBaseInfo;
class CViewDevAdvCfg;
class CViewADIO;

CViewLocalDevList& ViewLocalDevList();
CViewRemoteDevList& ViewRemoteDevList();
CViewBaseInfo& ViewBaseInfo();
CViewDevAdvCfg& ViewDevAdvCfg();
CViewADIO& ViewADIO();

namespace qrvtune::detail {
// Tests start each case from fresh pages: deletes the five (taking them out
// of any tab set) so that the next accessor call builds a new one.
void DestroyViewsForTests();
}  // namespace qrvtune::detail
