#pragma once
// What the user asked smwave-plot for, and the figures that makes.
#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "companion/problem.hpp"

namespace smwave::plot {

enum class FigureFormat { png, svg, pdf };

inline constexpr const char* default_labels = "comp1,comp2,comp3";

struct PlotOptions {
    std::vector<std::filesystem::path> inputs;
    std::filesystem::path output;  // -o; empty: beside each input
    std::string title;             // empty: the input's name
    std::string size;              // "WxH" in pixels; empty: the kind's default
    std::string labels = default_labels;
    std::string units;
    std::string band;  // "f1,f2,f3,f4" in Hz, or empty
    std::filesystem::path table;  // --table: the record's table whose metadata labels the figures
    bool overlay = false;
};

// The options made into values: sizes, labels and corners parsed and checked.
struct Settings {
    std::optional<std::array<int, 2>> size;
    std::array<std::string, 3> labels;
    std::optional<std::array<double, 4>> band;
};

// Parses --size, --labels and --band; a Problem (without a file) names the option and what it needs.
companion::Result<Settings> parse_settings(const PlotOptions& options);

// The figure's format from its name's extension (.png, .svg, .pdf, any case).
companion::Result<FigureFormat> format_of(const std::filesystem::path& figure);

// One figure to draw: the files it shows, its name, and the script's name beside it.
struct FigurePlan {
    std::vector<std::size_t> inputs;  // indexes into PlotOptions::inputs
    std::filesystem::path figure;
    std::filesystem::path script;  // the figure's name with .gp
    FigureFormat format = FigureFormat::png;
};

// The figures of the inputs: one per file, or one for all with --overlay; -o names the only figure.
// Refuses -o with several files and no --overlay, and any figure or script that would overwrite an input.
companion::Result<std::vector<FigurePlan>> plan_figures(const PlotOptions& options);

}  // namespace smwave::plot
