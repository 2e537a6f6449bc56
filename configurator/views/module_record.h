#pragma once
// One module record spread over two pages: the property form ("基本信息")
// shows twelve fields, the advanced page ("高级") four more. The local and
// the network module pages use these two calls to put a record on screen
// after a read and to gather the user's edits before a modify.
#include "qrvlink/qrvlink.h"

// Sets the advanced page's values from `property` and shows the rest on the
// property form (status line with the run state of `base`).
void ShowModuleRecord(const ModuleBase& base, const ModuleProperty& property);

// Overwrites the sixteen edited fields of `property` with what the two pages
// hold (advanced values cut to their field widths); every other byte -
// Password, Spare51 and the read-only identity - stays. Start from a copy of
// the record that was shown, so that values the form cannot express survive.
void CollectModuleRecord(ModuleProperty& property);
