#pragma once
// The event folder held by one run at a time: an exclusive lock on its file ".smwave-event.lock" for
// as long as the run lasts. The system drops the lock when the run ends however it ends, so a killed
// run leaves nothing stale behind; the file itself stays (it is empty, and the scan skips it).
#include <filesystem>

#include "companion/problem.hpp"

namespace smwave::event {

class FolderLock {
  public:
    // Takes the lock of `folder`: a Problem naming the folder when another run holds it, or when the
    // lock file cannot be made.
    static companion::Result<FolderLock> take(const std::filesystem::path& folder);

    FolderLock(FolderLock&& other) noexcept;
    FolderLock& operator=(FolderLock&&) = delete;
    FolderLock(const FolderLock&) = delete;
    ~FolderLock();

  private:
    explicit FolderLock(int descriptor) : descriptor_(descriptor) {}
    int descriptor_ = -1;
};

}  // namespace smwave::event
