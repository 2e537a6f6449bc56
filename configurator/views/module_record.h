#pragma once
// One module record spread over two pages: the property form ("基本信息")
// shows twelve fields, the advanced page ("高级") four more. The local and
// the network module pages use these two calls to put a record on screen
// after a read and to gather the user's edits before a modify.
#include <QString>
#include <cstdint>

#include "qrvlink/qrvlink.h"

// Which module the record on the two pages was read from. A modify writes
// the pages only to that module: a record read from one module and written
// to another would give it the first one's name and address.
struct FormModule {
    enum class Kind { None, Local, Remote };
    Kind kind = Kind::None;
    int index = -1;             // a far module's search entry index (its row)
    std::uint16_t address = 0;  // its NetAddr, as the search found it

    static FormModule Local() { return {Kind::Local, -1, 0}; }
    static FormModule Remote(int index, std::uint16_t address) { return {Kind::Remote, index, address}; }
    bool operator==(const FormModule&) const = default;
};

// The line both pages show above the record: which module it belongs to.
QString FormModuleText(const FormModule& module, std::uint16_t localAddress);

// Sets the advanced page's values from `property` and shows the rest on the
// property form (status line with the run state of `base`); both pages now
// hold `source`'s record.
void ShowModuleRecord(const ModuleBase& base, const ModuleProperty& property, const FormModule& source);

// The module whose record the pages hold (Kind::None before the first read).
FormModule FormHolds();

// Overwrites the sixteen edited fields of `property` with what the two pages
// hold (advanced values cut to their field widths); every other byte -
// Password, Spare51 and the read-only identity - stays. Start from a copy of
// the record that was shown, so that values the form cannot express survive.
void CollectModuleRecord(ModuleProperty& property);

// Every box of the property form and the advanced page against the field
// table, before anything else happens on "修改配置" (the password prompt
// included): the first bad one is marked, named with its range and focused,
// and false says nothing may be written.
bool CheckModuleForm();
