#include "jobs/process.hpp"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace smwave::jobs {

using companion::Problem;

namespace {

int open_or_null(const std::filesystem::path& file, int flags) {
    return ::open(file.empty() ? "/dev/null" : file.c_str(), flags | O_CLOEXEC, 0644);
}

void close_all(const int (&descriptors)[3]) {
    for (const int descriptor : descriptors) {
        if (descriptor >= 0) ::close(descriptor);
    }
}

// What the new process is given besides its arguments: its three standard streams, its folder, its
// signal mask, and SIGINT and SIGTERM taken the default way (the caller's handlers only note them).
class SpawnSetup {
  public:
    SpawnSetup(const int (&descriptors)[3], const std::string& folder, const sigset_t& child_mask) {
        ::posix_spawn_file_actions_init(&actions_);
        for (int stream = 0; stream < 3; ++stream) {
            ::posix_spawn_file_actions_adddup2(&actions_, descriptors[stream], stream);
        }
        ::posix_spawn_file_actions_addchdir_np(&actions_, folder.c_str());
        ::posix_spawnattr_init(&attributes_);
        sigset_t defaults;
        sigemptyset(&defaults);
        sigaddset(&defaults, SIGINT);
        sigaddset(&defaults, SIGTERM);
        ::posix_spawnattr_setsigdefault(&attributes_, &defaults);
        ::posix_spawnattr_setsigmask(&attributes_, &child_mask);
        ::posix_spawnattr_setflags(&attributes_, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
    }
    ~SpawnSetup() {
        ::posix_spawnattr_destroy(&attributes_);
        ::posix_spawn_file_actions_destroy(&actions_);
    }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;

    const posix_spawn_file_actions_t* actions() const { return &actions_; }
    const posix_spawnattr_t* attributes() const { return &attributes_; }

  private:
    posix_spawn_file_actions_t actions_{};
    posix_spawnattr_t attributes_{};
};

}  // namespace

companion::Result<pid_t> start_process(const Launch& launch, const sigset_t& child_mask) {
    const int descriptors[3] = {
        open_or_null(launch.input, O_RDONLY),
        open_or_null(launch.output, O_WRONLY | O_CREAT | O_TRUNC),
        open_or_null(launch.errors, O_WRONLY | O_CREAT | (launch.append_errors ? O_APPEND : O_TRUNC)),
    };
    for (int at = 0; at < 3; ++at) {
        if (descriptors[at] < 0) {
            const int error = errno;
            close_all(descriptors);
            const std::filesystem::path& file = at == 0   ? launch.input
                                                : at == 1 ? launch.output
                                                          : launch.errors;
            return Problem{file.string(), 0, std::string("cannot open: ") + std::strerror(error)};
        }
    }
    std::string program = launch.program.string();
    std::vector<std::string> words = launch.arguments;
    std::vector<char*> argv{program.data()};
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);

    pid_t child = -1;
    const int error = [&] {
        const SpawnSetup setup(descriptors, launch.folder.string(), child_mask);
        return ::posix_spawn(&child, program.c_str(), setup.actions(), setup.attributes(), argv.data(),
                             environ);
    }();
    close_all(descriptors);
    if (error != 0) return Problem{program, 0, std::string("cannot run: ") + std::strerror(error)};
    return child;
}

}  // namespace smwave::jobs
