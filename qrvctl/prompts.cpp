#include "qrvctl/prompts.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>

#include "client/fields.h"
#include "qrvctl/console.h"
#include "text/user_file.h"

namespace qrvctl {

using namespace qrv::client;

namespace {

std::optional<std::string> AskHidden(const std::string& prompt) {
    if (!IsTerminal(stdin)) return std::nullopt;
    std::fprintf(stderr, "%s", prompt.c_str());
    std::string line;
    if (!ReadHiddenLine(line)) return std::nullopt;
    std::fprintf(stderr, "\n");
    return line;
}

}  // namespace

Status CheckPassword(const ModuleProperty& current, const std::optional<std::string>& given, const std::string& module) {
    const std::string expected = std::get<std::string>(ReadField(current, FieldSpecOf(FieldId::Password)));
    if (expected.empty()) return {};
    std::optional<std::string> password = given;
    if (!password) password = AskHidden("password of " + module + ": ");
    if (!password) return Status::Fail(Outcome::Usage, module + " has a password: give it with --password");
    if (*password != expected) return Status::Fail(Outcome::Refused, "wrong password for " + module + "; nothing was written");
    return {};
}

Status Confirm(const std::string& question, bool yes) {
    if (yes) return {};
    if (!IsTerminal(stdin)) return Status::Fail(Outcome::Usage, question + " Confirm with --yes");
    std::fprintf(stderr, "%s [y/N] ", question.c_str());
    std::string answer;
    std::getline(std::cin, answer);
    if (answer == "y" || answer == "Y" || answer == "yes") return {};
    return Status::Fail(Outcome::Usage, "not confirmed; nothing was sent");
}

Status PasswordFrom(const std::string& option, const std::string& file, std::optional<std::string>& out) {
    out.reset();
    if (!option.empty()) {
        out = option;
    } else if (!file.empty()) {
        // A regular file only: a FIFO without a writer would hang the command.
        std::string text, problem;
        if (!qrv::text::ReadUserFile(file, text, problem))
            return Status::Fail(Outcome::File, "cannot read the password file: " + problem);
        std::string line = text.substr(0, text.find('\n'));
        if (!line.empty() && line.back() == '\r') line.pop_back();
        out = line;
    } else if (const char* variable = std::getenv("QRVCTL_PASSWORD"); variable != nullptr && *variable != '\0') {
        out = std::string(variable);
    }
    return {};
}

}  // namespace qrvctl
