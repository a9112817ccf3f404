#include "event/folder_lock.hpp"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace smwave::event {

companion::Result<FolderLock> FolderLock::take(const std::filesystem::path& folder) {
    const std::filesystem::path file = folder / ".smwave-event.lock";
    const int descriptor = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (descriptor < 0)
        return companion::Problem{folder.string(), 0, "cannot make its lock file: " + std::string(std::strerror(errno))};
    if (::flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(descriptor);
        if (error == EWOULDBLOCK)
            return companion::Problem{folder.string(), 0,
                                      "is in use by another smwave-event run; wait for it to end, or give another --out"};
        return companion::Problem{folder.string(), 0, "cannot be locked: " + std::string(std::strerror(error))};
    }
    return FolderLock(descriptor);
}

FolderLock::FolderLock(FolderLock&& other) noexcept : descriptor_(other.descriptor_) { other.descriptor_ = -1; }

FolderLock::~FolderLock() {
    if (descriptor_ >= 0) ::close(descriptor_);
}

}  // namespace smwave::event
