#include "plot/plot_options.hpp"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>

#include "companion/number_text.hpp"
#include "companion/output_file.hpp"
#include "companion/text.hpp"

namespace smwave::plot {

namespace fs = std::filesystem;
using companion::Problem;
using companion::Result;

namespace {

std::optional<int> parse_pixels(std::string_view text) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < 100 || value > 20000) {
        return std::nullopt;
    }
    return value;
}

Result<std::optional<std::array<int, 2>>> parse_size(const std::string& text) {
    if (text.empty()) return std::optional<std::array<int, 2>>{};
    const std::size_t x = text.find_first_of("xX");
    const auto width = parse_pixels(std::string_view(text).substr(0, x));
    const auto height =
        x == std::string::npos ? std::nullopt : parse_pixels(std::string_view(text).substr(x + 1));
    if (!width || !height) {
        return Problem{"", 0,
                       "--size expects WIDTHxHEIGHT in pixels, each from 100 to 20000, such as 1200x900"};
    }
    return std::optional<std::array<int, 2>>{std::array<int, 2>{*width, *height}};
}

Result<std::array<std::string, 3>> parse_labels(const std::string& text) {
    const auto parts = companion::comma_items(text);
    const bool blank = std::any_of(parts.begin(), parts.end(), [](const std::string& part) {
        return std::all_of(part.begin(), part.end(), [](unsigned char c) { return std::isspace(c); });
    });
    if (parts.size() != 3 || blank) {
        return Problem{"", 0, "--labels expects three names separated by commas, such as \"EW,NS,UD\""};
    }
    return std::array<std::string, 3>{parts[0], parts[1], parts[2]};
}

Result<std::optional<std::array<double, 4>>> parse_band(const std::string& text) {
    if (text.empty()) return std::optional<std::array<double, 4>>{};
    const auto parts = companion::comma_items(text);
    std::array<double, 4> corners{};
    bool good = parts.size() == 4;
    for (std::size_t i = 0; good && i < 4; ++i) {
        const auto value = companion::parse_number(parts[i]);
        good = value && *value > 0 && (i == 0 || *value >= corners[i - 1]);
        if (good) corners[i] = *value;
    }
    if (!good) {
        return Problem{"", 0,
                       "--band expects four corner frequencies f1,f2,f3,f4 in Hz, positive and not "
                       "decreasing, such as 0.1,0.2,20,25"};
    }
    return std::optional<std::array<double, 4>>{corners};
}

fs::path beside(const fs::path& input, const std::string& suffix) {
    fs::path name = input;
    name.replace_filename(input.stem().string() + suffix);
    return name;
}

}  // namespace

Result<Settings> parse_settings(const PlotOptions& options) {
    auto size = parse_size(options.size);
    if (!size) return size.problem();
    auto labels = parse_labels(options.labels);
    if (!labels) return labels.problem();
    auto band = parse_band(options.band);
    if (!band) return band.problem();
    return Settings{*size, *labels, *band};
}

Result<FigureFormat> format_of(const fs::path& figure) {
    const std::string extension = companion::lower_case(figure.extension().string());
    if (extension == ".png") return FigureFormat::png;
    if (extension == ".svg") return FigureFormat::svg;
    if (extension == ".pdf") return FigureFormat::pdf;
    return Problem{figure.string(), 0, "the figure's name must end in .png, .svg or .pdf"};
}

Result<std::vector<FigurePlan>> plan_figures(const PlotOptions& options) {
    if (!options.output.empty() && options.inputs.size() > 1 && !options.overlay) {
        return Problem{"", 0,
                       "-o names one figure: give one FILE, add --overlay to draw the files in one figure, "
                       "or leave -o out to draw each beside its file"};
    }
    std::vector<FigurePlan> plans;
    const auto add = [&](std::vector<std::size_t> inputs, const fs::path& figure) -> companion::Status {
        auto format = format_of(figure);
        if (!format) return format.problem();
        plans.push_back(
            FigurePlan{std::move(inputs), figure, fs::path(figure).replace_extension(".gp"), *format});
        return std::nullopt;
    };
    if (options.overlay) {
        std::vector<std::size_t> all(options.inputs.size());
        for (std::size_t i = 0; i < all.size(); ++i) all[i] = i;
        const fs::path figure =
            options.output.empty() ? beside(options.inputs.front(), "-overlay.png") : options.output;
        if (auto problem = add(all, figure)) return *problem;
    } else {
        for (std::size_t i = 0; i < options.inputs.size(); ++i) {
            const fs::path figure =
                options.output.empty() ? beside(options.inputs[i], ".png") : options.output;
            if (auto problem = add({i}, figure)) return *problem;
        }
    }
    for (const auto& plan : plans) {
        for (const auto& name : {plan.figure, plan.script}) {
            if (auto problem = companion::refuse_overwriting_inputs(name, options.inputs)) return *problem;
        }
    }
    return plans;
}

}  // namespace smwave::plot
