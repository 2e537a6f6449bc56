// Where results go: tables for people or JSON for programs on standard
// output; notes and progress on standard error (quiet hides notes).
#pragma once

#include <string>
#include <vector>

#include "client/module_report.h"

namespace qrvctl {

using qrv::client::Json;
using qrv::client::ReportLine;

class Printer {
public:
    Printer(bool json, bool quiet) : json_(json), quiet_(quiet) {}
    bool Json() const { return json_; }
    bool Quiet() const { return quiet_; }

    // Two aligned columns.
    void Lines(const std::vector<ReportLine>& lines) const;
    // Rows under a heading, columns aligned.
    void Table(const std::vector<std::string>& heading, const std::vector<std::vector<std::string>>& rows) const;
    // One JSON document (pretty) or one JSON line (for streams).
    void Document(const qrv::client::Json& json) const;
    void JsonLine(const qrv::client::Json& json) const;
    void Text(const std::string& line) const;
    void Note(const std::string& line) const;
    // Whether this process has printed JSON on standard output yet.
    static bool JsonPrinted();

private:
    bool json_;
    bool quiet_;
};

}  // namespace qrvctl
