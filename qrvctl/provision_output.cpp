#include "qrvctl/provision_output.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "client/fields.h"

namespace qrvctl {

using qrv::client::Json;

namespace {

bool ColourTerminal() {
    if (!isatty(STDOUT_FILENO) || std::getenv("NO_COLOR")) return false;
    const char* term = std::getenv("TERM");
    return term && *term && std::strcmp(term, "dumb") != 0;
}

std::string Address(const Json& identity) {
    return identity.is_object() && identity.contains("address") && identity["address"].is_number_unsigned()
               ? qrv::client::Hex(identity["address"].get<std::uint32_t>(), 4)
               : std::string("?");
}

}  // namespace

void ShowOutcome(const Json& record, bool json) {
    if (json) {
        std::printf("%s\n", record.dump().c_str());
        std::fflush(stdout);
        return;
    }
    const std::string result = record.value("result", "");
    const bool pass = result == "written" || result == "unchanged";
    std::string text = record.value("port", "") + "  row " +
                       (record["row"].is_number() ? std::to_string(record["row"].get<int>()) : std::string("-")) +
                       "  module " + Address(record["module"]);
    const Json& after = record["after"];
    if (after.is_object() && after.contains("local-address") && after["local-address"].is_number())
        text += " -> " + qrv::client::Hex(after["local-address"].get<std::uint32_t>(), 4);
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "  %.2f s", record.value("duration", 0.0));
    text += "  " + result + seconds;
    if (!pass && record["reason"].is_string()) text += ": " + record["reason"].get<std::string>();
    // A big, coloured word an operator sees from across the bench.
    if (ColourTerminal())
        std::printf("%s\033[1;7;%dm  %s  \033[0m  %s\n", pass ? "" : "\a", pass ? 32 : 31, pass ? "PASS" : "FAIL",
                    text.c_str());
    else
        std::printf("%s  %s\n", pass ? "PASS" : "FAIL", text.c_str());
    std::fflush(stdout);
}

}  // namespace qrvctl
