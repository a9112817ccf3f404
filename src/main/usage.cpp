#include "main/usage.hpp"

#include <cstdio>
#include <string_view>

namespace smwave {

namespace {

constexpr std::string_view usage_text =
    "Usage: smwave < ANSWERS\n"
    "       smwave --help | --version\n"
    "\n"
    "Processes a strong-motion record: reads a table of a time column and 42 channels per row, takes\n"
    "channels 38, 40 and 17 as three components, optionally reverses their signs, band-passes and\n"
    "integrates, double-integrates or differentiates them in the frequency domain, and writes the\n"
    "Fourier amplitude spectra and the processed waveforms as comma-separated files.\n"
    "\n"
    "smwave asks its questions on the console and reads the answers on standard input, one per line:\n"
    "the table's name, the sign changes, the band-pass corners, the integration, the time window, the\n"
    "thinning and the waveform file's name. Type them, or pipe a file of answers in.\n"
    "\n"
    "Files written in the current folder: fort.99 (echo of the table), amp3.csv (spectra) and the\n"
    "named waveform file.\n"
    "Exit status: 0 done; 1 interrupted or terminated; 2 input refused; abnormal end (134 in the\n"
    "shell) after a failed read or write, with the report on standard error.\n"
    "\n"
    "Manual: man smwave (from the source tree: man -l man/smwave.1). See also README.md.\n";

constexpr std::string_view version_text = "smwave " SMWAVE_VERSION "\n";

int print(std::string_view text) {
    const bool written = std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
    if (written && std::fflush(stdout) == 0) return 0;
    std::fputs("smwave: cannot write to standard output\n", stderr);
    return 2;
}

}  // namespace

std::optional<int> answer_command_line(int argc, const char* const* argv) {
    if (argc != 2) return std::nullopt;
    const std::string_view argument = argv[1];
    if (argument == "--help") return print(usage_text);
    if (argument == "--version") return print(version_text);
    return std::nullopt;
}

}  // namespace smwave
