// Symbolic links to the pty slave: the one a user asks for (--link) and the
// announcement in a per-user folder that the configurator's port list scans.
#pragma once

#include <string>

namespace qrv::sim {

// $XDG_RUNTIME_DIR/qrvsim, or /tmp/qrvsim-<uid> when that is not set.
std::string AnnounceDirectory();

// A symbolic link that removes itself, but only while it still points to
// its target: a later simulator may have taken the name over.
class PortLink {
public:
    PortLink() = default;
    PortLink(const PortLink&) = delete;
    PortLink& operator=(const PortLink&) = delete;
    ~PortLink() { Remove(); }

    // Creates `path` -> `target`; an existing symbolic link at `path` is
    // replaced, anything else there is an error.
    bool Create(const std::string& path, const std::string& target, std::string& error);
    // Creates `directory` (mode 0700) if needed and the first free link
    // qrvsim0, qrvsim1, ... in it. Links whose target is gone are reused.
    bool Announce(const std::string& directory, const std::string& target, std::string& error);
    void Remove();

    const std::string& Path() const { return path_; }

private:
    std::string path_;
    std::string target_;
};

}  // namespace qrv::sim
