// smwave: the process entry. Start-up, then the one run of the tool, which ends the process itself.
#include "main/usage.hpp"
#include "run/driver.hpp"
#include "textio/units.hpp"

int main(int argc, char** argv) {
    if (const auto status = smwave::answer_command_line(argc, argv)) return *status;
    smwave::start_up(argc, argv);
    smwave::run_driver();
    return 0;
}
