#include "client/provision_ledger.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <ctime>
#include <map>

namespace qrv::client {

namespace {

// An exclusive lock on the report for the life of the object.
class FileLock {
public:
    explicit FileLock(const std::string& path) {
        fd_ = ::open(path.c_str(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
        if (fd_ < 0) return;
        while (flock(fd_, LOCK_EX) != 0)
            if (errno != EINTR) {
                ::close(fd_);
                fd_ = -1;
                return;
            }
    }
    ~FileLock() {
        if (fd_ >= 0) ::close(fd_);  // closing releases the lock
    }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    int Fd() const { return fd_; }

private:
    int fd_ = -1;
};

std::vector<std::string> ReadLines(int fd) {
    std::string text;
    char buffer[8192];
    ::lseek(fd, 0, SEEK_SET);
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n > 0) {
            text.append(buffer, static_cast<std::size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        break;
    }
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

bool WriteAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

Status CannotUse(const std::string& path) {
    return Status::Fail(Outcome::File, "cannot use the report " + path + ": " + std::strerror(errno));
}

}  // namespace

LedgerState ReadLedger(const std::vector<std::string>& lines, const std::string& run) {
    struct RowMarks {
        std::set<std::string> writing;  // runs that began writing it
        std::set<std::string> recorded;  // runs that recorded its outcome
        bool claimedNow = false;
    };
    std::map<int, RowMarks> rows;
    LedgerState state;
    for (const std::string& line : lines) {
        const Json record = Json::parse(line, nullptr, false);
        if (!record.is_object() || !record.contains("row") || !record["row"].is_number_integer()) continue;
        const int row = record["row"].get<int>();
        const std::string result = record.value("result", "");
        const std::string recordRun = record.value("run", "");
        RowMarks& marks = rows[row];
        if (result == "claimed") {
            if (recordRun == run) marks.claimedNow = true;
        } else if (result == "writing") {
            marks.writing.insert(recordRun);
        } else if (result == "written" || result == "unchanged" || (result == "failed" && record.value("wrote", false))) {
            state.used.insert(row);
            marks.recorded.insert(recordRun);
        } else {
            marks.recorded.insert(recordRun);
        }
    }
    for (const auto& [row, marks] : rows) {
        // Being written now, or cut off mid-write by an earlier run.
        for (const std::string& writer : marks.writing)
            if (marks.recorded.count(writer) == 0) {
                state.used.insert(row);
                if (writer != run) state.cutMidWrite.insert(row);
            }
        if (marks.claimedNow && marks.recorded.count(run) == 0 && state.used.count(row) == 0) state.held.insert(row);
    }
    return state;
}

std::optional<int> NextRow(const Plan& plan, const LedgerState& state, std::optional<std::uint16_t> moduleAddress) {
    for (const PlanRow& row : plan.rows) {
        if (state.used.count(row.number) || state.held.count(row.number)) continue;
        if (plan.matchByAddress && row.matchAddress && row.matchAddress != moduleAddress) continue;
        return row.number;
    }
    return std::nullopt;
}

Status Ledger::Claim(const Plan& plan, std::optional<std::uint16_t> moduleAddress, const std::string& port,
                     std::optional<int>& row) {
    FileLock lock(path_);
    if (lock.Fd() < 0) return CannotUse(path_);
    row = NextRow(plan, ReadLedger(ReadLines(lock.Fd()), run_), moduleAddress);
    if (!row) return {};
    Json claim{{"time", UtcTimestamp()}, {"run", run_}, {"port", port}, {"row", *row}, {"result", "claimed"}};
    if (!WriteAll(lock.Fd(), claim.dump() + "\n")) return CannotUse(path_);
    return {};
}

Status Ledger::Append(Json& record) {
    Json line{{"time", UtcTimestamp()}, {"run", run_}};
    for (auto& [key, value] : record.items()) line[key] = value;
    record = line;
    FileLock lock(path_);
    if (lock.Fd() < 0 || !WriteAll(lock.Fd(), line.dump() + "\n")) return CannotUse(path_);
    return {};
}

Status Ledger::State(LedgerState& out) {
    FileLock lock(path_);
    if (lock.Fd() < 0) return CannotUse(path_);
    out = ReadLedger(ReadLines(lock.Fd()), run_);
    return {};
}

namespace {

std::string CsvCell(const Json& value) {
    std::string text = value.is_string() ? value.get<std::string>() : value.is_null() ? std::string() : value.dump();
    if (text.find_first_of(",\"\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

Json At(const Json& object, const char* key) {
    return object.is_object() && object.contains(key) ? object[key] : Json(nullptr);
}

}  // namespace

Status AppendCsvRecord(const std::string& path, const Json& record) {
    FileLock lock(path);
    if (lock.Fd() < 0) return CannotUse(path);
    std::string text;
    if (::lseek(lock.Fd(), 0, SEEK_END) == 0) text = "time,run,port,row,address,new-address,result,reason,duration\n";
    const Json cells[] = {At(record, "time"),   At(record, "run"),    At(record, "port"),
                          At(record, "row"),    At(At(record, "module"), "address"),
                          At(At(record, "after"), "local-address"),   At(record, "result"),
                          At(record, "reason"), At(record, "duration")};
    for (std::size_t i = 0; i < std::size(cells); ++i) text += (i ? "," : "") + CsvCell(cells[i]);
    if (!WriteAll(lock.Fd(), text + "\n")) return CannotUse(path);
    return {};
}

std::string UtcTimestamp() {
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    char text[80];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", utc.tm_year + 1900, utc.tm_mon + 1,
                  utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec, static_cast<int>(ms));
    return text;
}

std::string NewRunId() {
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::system_clock::now().time_since_epoch())
                        .count();
    return std::to_string(ms) + "-" + std::to_string(getpid());
}

}  // namespace qrv::client
