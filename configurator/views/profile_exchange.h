#pragma once
// "导出配置…" and "导入配置…" of the local and the network module pages:
// profiles in the same JSON form qrvctl reads and writes. Export saves the
// module's record as it reads now; import lays a profile over the module's
// record on the two form pages and lists the fields that differ from the
// module. Nothing is written: the user still presses "修改配置" and gives
// the password.
#include <QString>
#include <functional>
#include <optional>

#include "qrvlink/qrvlink.h"
#include "views/module_record.h"

class QBoxLayout;
class Session;
class QLayout;
class QWidget;

// A module as a page reads it for a profile. `form` is who the form pages
// will hold after an import.
struct PageModule {
    FormModule form;
    ModuleBase base{};
    ModuleProperty property{};
};
// Reads the page's module (checking the port or the selection first and
// showing the page's own failure message); nothing when it cannot.
using ReadPageModule = std::function<std::optional<PageModule>()>;

// Adds the two buttons as a row of their own below `after` in `page`'s
// layout.
void AddProfileButtons(QWidget* page, QBoxLayout& pageLayout, QLayout* after, ReadPageModule read);

// The local module (its record also becomes the session's, as a read on
// its page makes it) and the far module of a network list row.
std::optional<PageModule> ReadLocalModuleForProfile(Session& session);
std::optional<PageModule> ReadFarModuleForProfile(int row);

void ExportProfile(QWidget* parent, const ReadPageModule& read);
void ImportProfile(QWidget* parent, const ReadPageModule& read);
