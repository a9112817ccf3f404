// The table's metadata line on arbitrary bytes: a line that reads as metadata is written back to a
// line that reads as the same items, and writing any items gives a line that reads back to them.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "companion/table_metadata.hpp"

namespace {

void check(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "FINDING: %s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace smwave::companion;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (const auto read = parse_metadata(text)) {
        const std::string line = format_metadata(*read);
        check(line.find('\n') == std::string::npos, "a metadata line holding a line end");
        const auto again = parse_metadata(line);
        check(again && again->items == read->items, "a written line that does not read back");
    }
    // The bytes as one value: it must survive the quoting (control bytes become '?').
    TableMetadata made;
    made.add("value", text);
    const auto back = parse_metadata(format_metadata(made));
    check(back && back->items.size() == 1 && back->items[0] == made.items[0],
          "a value that does not read back");
    return 0;
}
