#include "qrvctl/prompts.h"

#include <cstdio>
#include <iostream>

#include "client/fields.h"
#include "qrvctl/console.h"

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

}  // namespace qrvctl
