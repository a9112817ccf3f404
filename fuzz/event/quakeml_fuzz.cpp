// Fuzz target: the QuakeML event file over arbitrary bytes. Checked: a refusal names the file and
// says what is wrong; an event read is a place on the Earth (latitude within +-90 degrees, longitude
// within +-360), a finite depth and magnitude, and an id.
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "event/quakeml.hpp"
#include "reading_checks.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace smwave;
    static const std::filesystem::path file =
        std::filesystem::temp_directory_path() / ("smwave-quakeml-" + std::to_string(getpid()) + ".xml");
    std::ofstream(file, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    const auto origin = event::read_quakeml(file);
    if (!origin) {
        if (origin.problem().file != file.string() || origin.problem().what.empty())
            fuzz::finding("a refusal without the file or what is wrong");
        if (origin.problem().line > fuzz::count_lines({reinterpret_cast<const char*>(data), size}) + 1)
            fuzz::finding("a problem placed beyond the input");
        return 0;
    }
    if (!(std::fabs(origin->latitude) <= 90) || !(std::fabs(origin->longitude) <= 360))
        fuzz::finding("an origin that is no place on the Earth");
    if (!std::isfinite(origin->depth)) fuzz::finding("an origin depth that is no finite number");
    if (origin->magnitude && !std::isfinite(*origin->magnitude)) fuzz::finding("a magnitude that is no finite number");
    if (origin->id.empty()) fuzz::finding("an event without an id");
    return 0;
}
