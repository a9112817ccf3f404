#include "run/signs.hpp"

#include <algorithm>
#include <cstdint>

#include "textio/answers.hpp"
#include "textio/lines.hpp"
#include "textio/units.hpp"

namespace smwave {
namespace {

constexpr int console = unit_stdout;

// Negates samples 1..nt of `series` (at most the stored ones).
void reverse_component(Series& series, std::int32_t nt) {
    const std::int32_t stored = std::min(nt, capacity);
    for (std::int32_t i = 1; i <= stored; ++i) series[i] = -series[i];
}

}  // namespace

void ask_signs(RunState& run) {
    write_empty_record(console);
    write_text_record(console, " Change +/-? (YES=1)?? :");
    read_answer(run.myes);
    if (run.myes != 1) return;
    write_empty_record(console);
    write_text_record(console, " Change from + to - of FILE 1 ? (YES=1)?? :");
    read_answer(run.my1);
    if (run.my1 == 1) reverse_component(run.xr1, run.nt);
    write_text_record(console, " Change from + to - of FILE 2 ? (YES=1)?? :");
    read_answer(run.my2);
    if (run.my2 == 1) reverse_component(run.xr2, run.nt);
    write_text_record(console, " Change from + to - of FILE 3 ? (YES=1)?? :");
    read_answer(run.my3);
    if (run.my3 == 1) reverse_component(run.xr3, run.nt);
}

}  // namespace smwave
