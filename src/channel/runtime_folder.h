#pragma once
// RuntimeFolder: the per-user folder that holds the instance lock and the
// channel socket (channel_protocol.h says where it is).
//
// Opening makes the folder when missing (mode 0700), refuses one that is not
// a real folder owned by this user, and narrows its mode to 0700. The object
// keeps a descriptor of the folder, so later look-ups cannot be redirected by
// renaming a path component. Any thread; movable.

#include "channel/unique_fd.h"

#include <optional>
#include <string>

namespace velmora::channel {

class RuntimeFolder {
public:
    // The folder the environment names: "$XDG_RUNTIME_DIR/Velmora 4" when the
    // variable names an existing folder by an absolute path, else
    // "<$TMPDIR or /tmp>/Velmora 4-<uid>".
    static std::string defaultPath();

    // Opens (and makes) defaultPath(). On failure returns nullopt and, when
    // error is given, one line saying why.
    static std::optional<RuntimeFolder> open(std::string* error = nullptr);
    // Opens (and makes) the given folder; its parent must exist.
    static std::optional<RuntimeFolder> openAt(const std::string& path, std::string* error = nullptr);

    // Another object for the same folder (with its own descriptor).
    std::optional<RuntimeFolder> duplicate() const;

    const std::string& path() const { return path_; }
    // A descriptor of the folder for the *at() calls.
    int fd() const { return fd_.get(); }

private:
    RuntimeFolder(std::string path, UniqueFd fd) : path_(std::move(path)), fd_(std::move(fd)) {}

    std::string path_;
    UniqueFd fd_;
};

}  // namespace velmora::channel
