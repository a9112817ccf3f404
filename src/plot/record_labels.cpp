#include "plot/record_labels.hpp"

#include <cmath>
#include <cstdio>
#include <fstream>

#include "companion/number_text.hpp"
#include "companion/suite_file.hpp"

namespace smwave::plot {

namespace fs = std::filesystem;

namespace {

// Days from 1970-01-01 to a civil date of the proleptic Gregorian calendar.
long days_from_civil(long year, long month, long day) {
    year -= month <= 2;
    const long era = (year >= 0 ? year : year - 399) / 400;
    const long year_of_era = year - era * 400;
    const long day_of_year = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const long day_of_era = year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
    return era * 146097 + day_of_era - 719468;
}

// Seconds since 1970 of "YYYY-MM-DDTHH:MM:SS[.fff]Z".
std::optional<double> epoch_seconds(const std::string& text) {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, used = 0;
    if (std::sscanf(text.c_str(), "%4d-%2d-%2dT%2d:%2d:%n", &year, &month, &day, &hour, &minute, &used) != 5 ||
        used != 17 || text.size() < 20 || text.back() != 'Z') {
        return std::nullopt;
    }
    const auto second = companion::parse_number(text.substr(17, text.size() - 18));
    if (!second || month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 || minute > 59 || *second < 0 ||
        *second >= 61) {
        return std::nullopt;
    }
    return static_cast<double>(days_from_civil(year, month, day)) * 86400 + hour * 3600 + minute * 60 + *second;
}

std::string corners_text(const std::array<double, 4>& band) {
    std::string text;
    for (const double corner : band) {
        if (!text.empty()) text += "-";
        companion::append_shortest(text, corner);
    }
    return text;
}

}  // namespace

RecordLabels labels_of(const companion::TableMetadata& metadata) {
    RecordLabels labels;
    labels.station = metadata.find("station").value_or("");
    labels.network = metadata.find("network").value_or("");
    if (const auto channels = metadata.find("channels")) {
        const auto codes = companion::split_commas(*channels);
        for (std::size_t k = 0; k < 3 && k < codes.size(); ++k) labels.channels[k] = codes[k] == "-" ? "" : codes[k];
    }
    labels.start = metadata.find("start").value_or("");
    labels.units = metadata.find("units").value_or("");
    if (const auto origin = metadata.find("origin_time")) labels.start_after_origin = seconds_between(*origin, labels.start);
    return labels;
}

companion::Result<std::optional<RecordLabels>> labels_for(const fs::path& data_file, const fs::path& table) {
    const fs::path beside = data_file.parent_path() / "table.txt";
    const fs::path chosen = table.empty() ? beside : table;
    if (table.empty() && !fs::is_regular_file(beside)) return std::optional<RecordLabels>{};
    auto head = companion::read_table_head(chosen);
    if (!head) {
        if (table.empty()) return std::optional<RecordLabels>{};
        return head.problem();
    }
    if (!head->metadata) return std::optional<RecordLabels>{};
    return std::optional<RecordLabels>{labels_of(*head->metadata)};
}

std::string quantity_of(const fs::path& file) {
    const std::string stem = file.stem().string();
    for (const char* quantity : {"acceleration", "velocity", "displacement"}) {
        if (stem == quantity || stem == std::string("amp3-") + quantity) return quantity;
    }
    return "";
}

std::string quantity_units(const std::string& quantity, const std::string& acceleration_units) {
    std::string length;
    if (acceleration_units == "gal" || acceleration_units == "Gal") length = "cm";
    for (const char* per_second_squared : {"/s/s", "/s^2", "/s**2", "/s2"}) {
        const std::string ending = per_second_squared;
        if (length.empty() && acceleration_units.size() > ending.size() && acceleration_units.ends_with(ending)) {
            length = acceleration_units.substr(0, acceleration_units.size() - ending.size());
        }
    }
    if (quantity.empty() || length.empty()) return "";
    if (quantity == "acceleration") return length + "/s/s";
    if (quantity == "velocity") return length + "/s";
    return length;
}

std::optional<std::array<double, 4>> band_beside(const fs::path& data_file) {
    const std::string quantity = quantity_of(data_file);
    for (const std::string& name : {quantity.empty() ? std::string() : "answers-" + quantity + ".txt",
                                    std::string("answers-acceleration.txt")}) {
        if (name.empty()) continue;
        std::ifstream answers(data_file.parent_path() / name);
        std::string line;
        for (int at = 0; at < 4 && std::getline(answers, line); ++at) {
        }
        if (!answers) continue;
        std::array<double, 4> band{};
        int used = 0;
        if (std::sscanf(line.c_str(), "%lf %lf %lf %lf %n", &band[0], &band[1], &band[2], &band[3], &used) == 4 &&
            static_cast<std::size_t>(used) == line.size() && band[0] > 0 && band[0] <= band[1] &&
            band[1] <= band[2] && band[2] <= band[3]) {
            return band;
        }
    }
    return std::nullopt;
}

std::string station_name(const RecordLabels& labels, const std::string& fallback) {
    if (labels.station.empty()) return fallback;
    return labels.network.empty() ? labels.station : labels.station + " (" + labels.network + ")";
}

std::string record_title(const RecordLabels& labels, const std::string& what,
                         const std::optional<std::array<double, 4>>& band) {
    std::string title = station_name(labels, "");
    std::string start = labels.start;
    if (start.size() >= 20 && start[10] == 'T' && start.back() == 'Z') {
        start = start.substr(0, 10) + " " + start.substr(11, start.size() - 12) + " UTC";
    }
    for (const std::string& part : {start, what}) {
        if (!part.empty()) title += (title.empty() ? "" : " — ") + part;
    }
    if (band) title += ", band " + corners_text(*band) + " Hz";
    return title;
}

std::optional<double> seconds_between(const std::string& from, const std::string& to) {
    const auto first = epoch_seconds(from), second = epoch_seconds(to);
    if (!first || !second) return std::nullopt;
    return *second - *first;
}

}  // namespace smwave::plot
