// UUCP lock files, the convention Linux serial programs (minicom, cu,
// ModemManager-era tools) use to keep off a port another one holds: a file
// LCK..<device> in the system's lock folder holding the owner's process
// number as ten ASCII characters, right-aligned, and a newline. Programs
// that only look for these files never see our flock, so we write one too.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "common/outcome.h"

namespace qrv {

// "LCK..ttyUSB0" for /dev/ttyUSB0, "LCK..pts_3" for /dev/pts/3: the path
// under /dev with its slashes made underscores, as minicom names it (the
// basename for devices directly under /dev).
std::string LockFileName(std::string_view devicePath);
// "      4121\n"
std::string LockFileContent(long pid);
// The process number of a lock file's content: ASCII digits with optional
// spaces and newline, or the four binary bytes of old Kermit-style locks;
// nothing when it is neither.
std::optional<long> ParseLockContent(std::string_view content);

class UucpLock {
public:
    // `folder`: where the lock files live; empty means "no lock files".
    // Tests give their own folder; the library uses SystemFolder().
    explicit UucpLock(std::string folder);
    ~UucpLock();
    UucpLock(const UucpLock&) = delete;
    UucpLock& operator=(const UucpLock&) = delete;

    // /run/lock, or /var/lock where the system has no /run/lock.
    static std::string SystemFolder();

    // Claims the device: a lock file of a live process other than ours
    // means busy (PortBusy naming that process); a dead process's file is
    // removed; then our own is created. A folder we cannot write is no
    // failure: Note() then says the port is held by flock and TIOCEXCL alone.
    Outcome Claim(const std::string& devicePath);
    // Removes our lock file, if we made one.
    void Release();
    bool Holds() const { return !held_.empty(); }
    const std::string& HeldPath() const { return held_; }
    // What the last Claim wants the trace to know, "" when nothing.
    const std::string& Note() const { return note_; }

private:
    // Empty when the device is free (or the file is ours); else the busy outcome.
    Outcome CheckForeign(const std::string& lockPath, const std::string& devicePath);
    bool Create(const std::string& lockPath, int& error);

    std::string folder_;
    std::string held_;
    std::string note_;
};

}  // namespace qrv
