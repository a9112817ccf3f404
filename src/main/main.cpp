// smwave: the process entry. Start-up, then the one run of the tool, which ends the process itself.
#include "run/driver.hpp"
#include "textio/units.hpp"

int main(int argc, char** argv) {
    smwave::start_up(argc, argv);
    smwave::run_driver();
    return 0;
}
