#pragma once
// The event folder held by one run at a time: a lock on its file ".smwave-event.lock" for as long as
// the run lasts. A whole run and a merge hold it alone; the shards of one event, which run at once on
// several machines into the same folder, share it and each holds its own ".smwave-event-K-of-N.lock"
// alone, so that a shard cannot run twice at once and a whole run cannot mix with shards. The system
// drops the locks when the run ends however it ends, so a killed run leaves nothing stale behind; the
// files themselves stay (they are empty, and the scan skips the event folder).
#include <filesystem>
#include <optional>

#include "companion/problem.hpp"
#include "jobs/shard.hpp"

namespace smwave::event {

class FolderLock {
  public:
    // Takes the locks of `folder` for a whole run or a merge (no shard), or for `shard`: a Problem
    // naming the folder when another run holds them, or when a lock file cannot be made.
    static companion::Result<FolderLock> take(const std::filesystem::path& folder,
                                              const std::optional<jobs::Shard>& shard = std::nullopt);

    FolderLock(FolderLock&& other) noexcept;
    FolderLock& operator=(FolderLock&&) = delete;
    FolderLock(const FolderLock&) = delete;
    ~FolderLock();

  private:
    FolderLock(int folder_descriptor, int shard_descriptor)
        : folder_descriptor_(folder_descriptor), shard_descriptor_(shard_descriptor) {}
    int folder_descriptor_ = -1;
    int shard_descriptor_ = -1;
};

}  // namespace smwave::event
