// Fuzz target: the SAC readers over arbitrary bytes, binary and alphanumeric on the same input.
// Checked: the invariants of every reader, binary problems placed by byte offset and alphanumeric ones
// by line, one component per file, and a binary file's samples filling exactly the bytes after its
// header (with the footer of version 7).
#include <cstdint>
#include <string_view>

#include "reading_checks.hpp"
#include "table/sac_reader.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace smwave;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto binary = table::read_sac_binary(bytes, "r.sac");
    fuzz::check_reading(binary, "r.sac", 0, size);
    if (!binary && !binary.problem().at_byte) fuzz::finding("a binary problem not placed by byte");
    if (binary) {
        if (binary->components.size() != 1) fuzz::finding("a SAC file gave more than one component");
        const std::size_t data_bytes = size - 632;
        const std::size_t samples = binary->components[0].samples.size();
        if (4 * samples != data_bytes && 4 * samples + 176 != data_bytes)
            fuzz::finding("samples that do not fill the file");
    }
    const auto text = table::read_sac_ascii(bytes, "r.txt");
    fuzz::check_reading(text, "r.txt", fuzz::count_lines(bytes), size);
    if (!text && text.problem().at_byte) fuzz::finding("an alphanumeric problem placed by byte");
    if (text && text->components.size() != 1) fuzz::finding("a SAC file gave more than one component");
    return 0;
}
