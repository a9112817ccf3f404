#pragma once
// Numbers as the refusal messages show them.
#include <charconv>
#include <string>

namespace smwave {

// The shortest text that reads back as `value` ("0.1", "1e+300", "inf", "-nan").
inline std::string shown(double value) {
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    return std::string(text, end);
}

}  // namespace smwave
