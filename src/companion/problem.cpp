#include "companion/problem.hpp"

namespace smwave::companion {

std::string describe(const Problem& problem) {
    if (problem.file.empty()) return problem.what;
    std::string text = problem.file;
    if (problem.at_byte) {
        text += ": byte " + std::to_string(problem.line);
    } else if (problem.line > 0) {
        text += ':' + std::to_string(problem.line);
    }
    return text + ": " + problem.what;
}

}  // namespace smwave::companion
