#include "run/state.hpp"

namespace smwave {

RunState run;

}  // namespace smwave
