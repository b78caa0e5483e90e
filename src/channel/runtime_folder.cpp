#include "channel/runtime_folder.h"

#include "channel/channel_protocol.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora::channel {

namespace {

bool isAbsolute(const char* value)
{
    return value != nullptr && value[0] == '/';
}

void setError(std::string* error, const std::string& text)
{
    if (error != nullptr)
        *error = text;
}

}  // namespace

std::string RuntimeFolder::defaultPath()
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    struct stat st {};
    if (isAbsolute(runtime) && ::stat(runtime, &st) == 0 && S_ISDIR(st.st_mode))
        return std::string(runtime) + "/" + std::string(kDefaultChannelName);
    const char* tmp = std::getenv("TMPDIR");
    std::string base = isAbsolute(tmp) ? std::string(tmp) : std::string("/tmp");
    while (base.size() > 1 && base.back() == '/')
        base.pop_back();
    return base + "/" + std::string(kDefaultChannelName) + "-" + std::to_string(::geteuid());
}

std::optional<RuntimeFolder> RuntimeFolder::open(std::string* error)
{
    return openAt(defaultPath(), error);
}

std::optional<RuntimeFolder> RuntimeFolder::openAt(const std::string& path, std::string* error)
{
    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) {
        setError(error, "cannot create " + path + ": " + std::strerror(errno));
        return std::nullopt;
    }
    // O_NOFOLLOW: under a shared temp folder someone else may have put a
    // symbolic link at our name.
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!fd) {
        setError(error, "cannot open " + path + ": " + std::strerror(errno));
        return std::nullopt;
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        setError(error, path + " is not a folder");
        return std::nullopt;
    }
    if (st.st_uid != ::geteuid()) {
        setError(error, path + " belongs to another user");
        return std::nullopt;
    }
    if ((st.st_mode & 07777) != 0700 && ::fchmod(fd.get(), 0700) != 0) {
        setError(error, "cannot restrict " + path + ": " + std::strerror(errno));
        return std::nullopt;
    }
    return RuntimeFolder(path, std::move(fd));
}

std::optional<RuntimeFolder> RuntimeFolder::duplicate() const
{
    UniqueFd fd(::fcntl(fd_.get(), F_DUPFD_CLOEXEC, 0));
    if (!fd)
        return std::nullopt;
    return RuntimeFolder(path_, std::move(fd));
}

}  // namespace velmora::channel
