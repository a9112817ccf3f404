#include "spectral/frequency_grid.hpp"

#include "spectral/constants.hpp"

namespace smwave {

FrequencyGrid frequency_grid(std::int32_t nf, double dt) {
    FrequencyGrid grid;
    grid.dur = nf * dt;
    grid.dom = two_pi / grid.dur;
    grid.nom = nf / 2 + 1;
    grid.eom = double(grid.nom) * grid.dom;
    return grid;
}

}  // namespace smwave
