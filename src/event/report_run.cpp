#include "event/report_run.hpp"

#include <signal.h>
#include <sys/wait.h>

#include <algorithm>
#include <cerrno>

#include "companion/messages.hpp"
#include "jobs/locate.hpp"
#include "jobs/process.hpp"

namespace smwave::event {

int run_report(const std::filesystem::path& folder, std::size_t jobs, int status) {
    auto plot = jobs::find_needed_program("smwave-plot", "smwave-event", "to draw the event's page");
    if (!plot) {
        companion::warn(plot.problem().what);
        return std::max(status, 1);
    }
    jobs::Launch launch;
    launch.program = std::filesystem::absolute(*plot);
    launch.arguments = {"--report", std::filesystem::absolute(folder).string()};
    if (jobs > 0) launch.arguments.insert(launch.arguments.end(), {"--jobs", std::to_string(jobs)});
    launch.folder = std::filesystem::current_path();
    launch.errors = "/dev/stderr";
    launch.append_errors = true;
    sigset_t mask;
    sigemptyset(&mask);
    auto child = jobs::start_process(launch, mask);
    if (!child) {
        companion::warn(child.problem().file + ": " + child.problem().what);
        return std::max(status, 1);
    }
    int wait_status = 0;
    while (::waitpid(*child, &wait_status, 0) < 0 && errno == EINTR) {
    }
    const bool done = WIFEXITED(wait_status) && WEXITSTATUS(wait_status) == 0;
    if (!done) companion::warn("smwave-plot --report " + folder.string() + " did not draw the whole page");
    return done ? status : std::max(status, 1);
}

}  // namespace smwave::event
