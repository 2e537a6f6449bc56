// Questions qrvctl asks on the terminal: the module's password and the
// confirmation of a factory reset. Without a terminal nothing is asked and
// the command needs --password or --yes.
#pragma once

#include <optional>
#include <string>

#include "client/status.h"
#include "qrvlink/qrvlink.h"

namespace qrvctl {

// The configurator's rule: a change needs the module's current password
// (nothing to give when it has none).
qrv::client::Status CheckPassword(const ModuleProperty& current, const std::optional<std::string>& given,
                                  const std::string& module);

qrv::client::Status Confirm(const std::string& question, bool yes);

// The password a command was given: --password, else the first line of
// --password-file, else $QRVCTL_PASSWORD; nothing when none (a terminal is
// then asked). A command-line argument shows in `ps`; the other two do not.
qrv::client::Status PasswordFrom(const std::string& option, const std::string& file, std::optional<std::string>& out);

}  // namespace qrvctl
