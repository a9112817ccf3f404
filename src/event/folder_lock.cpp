#include "event/folder_lock.hpp"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace smwave::event {

namespace {

// The descriptor of `file` locked in `mode` (LOCK_EX or LOCK_SH), or the problem.
companion::Result<int> lock_file(const std::filesystem::path& folder, const std::filesystem::path& file, int mode) {
    const int descriptor = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (descriptor < 0)
        return companion::Problem{folder.string(), 0, "cannot make its lock file: " + std::string(std::strerror(errno))};
    if (::flock(descriptor, mode | LOCK_NB) != 0) {
        const int error = errno;
        ::close(descriptor);
        if (error == EWOULDBLOCK)
            return companion::Problem{folder.string(), 0,
                                      "is in use by another smwave-event run; wait for it to end, or give another --out"};
        return companion::Problem{folder.string(), 0, "cannot be locked: " + std::string(std::strerror(error))};
    }
    return descriptor;
}

}  // namespace

companion::Result<FolderLock> FolderLock::take(const std::filesystem::path& folder,
                                               const std::optional<jobs::Shard>& shard) {
    auto whole = lock_file(folder, folder / ".smwave-event.lock", shard ? LOCK_SH : LOCK_EX);
    if (!whole) return whole.problem();
    if (!shard) return FolderLock(*whole, -1);
    const std::string name =
        ".smwave-event-" + std::to_string(shard->number) + "-of-" + std::to_string(shard->count) + ".lock";
    auto own = lock_file(folder, folder / name, LOCK_EX);
    if (!own) {
        ::close(*whole);
        return own.problem();
    }
    return FolderLock(*whole, *own);
}

FolderLock::FolderLock(FolderLock&& other) noexcept
    : folder_descriptor_(other.folder_descriptor_), shard_descriptor_(other.shard_descriptor_) {
    other.folder_descriptor_ = -1;
    other.shard_descriptor_ = -1;
}

FolderLock::~FolderLock() {
    if (shard_descriptor_ >= 0) ::close(shard_descriptor_);
    if (folder_descriptor_ >= 0) ::close(folder_descriptor_);
}

}  // namespace smwave::event
