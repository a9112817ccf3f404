#include "batch/measures_outcome.hpp"

#include <algorithm>
#include <cmath>

#include "companion/number_text.hpp"
#include "companion/suite_file.hpp"

namespace smwave::batch {

namespace {

std::vector<std::string> fields_of(std::string_view line) {
    std::vector<std::string> fields;
    std::size_t at = 0;
    for (std::size_t comma; (comma = line.find(',', at)) != std::string_view::npos; at = comma + 1) {
        fields.emplace_back(line.substr(at, comma - at));
    }
    fields.emplace_back(line.substr(at));
    return fields;
}

void mark_failed(Row& row, std::string message) {
    row[status_column] = "failed";
    row[message_column] = std::move(message);
}

}  // namespace

std::string measures_file_name(const std::string& waveform_name) {
    std::string name = waveform_name;
    if (name.ends_with(".csv")) name.resize(name.size() - 4);
    return name + "-measures.csv";
}

void read_rotated_response(const std::filesystem::path& response, Row& row) {
    auto table = companion::read_suite_file(response);
    if (!table) return;  // read_response has reported it
    const auto column_of = [&](std::string_view name) {
        return static_cast<std::size_t>(std::find(table->names.begin(), table->names.end(), name) -
                                        table->names.begin());
    };
    const std::size_t period = column_of("period(s)"), rotd50 = column_of("psa_rotd50");
    if (period >= table->names.size() || rotd50 >= table->names.size()) return;
    const double periods[] = {0.3, 1.0, 3.0};
    for (std::size_t p = 0; p < 3; ++p) {
        for (std::size_t at = 0; at < table->rows(); ++at) {
            if (std::fabs(table->columns[period][at] - periods[p]) > 1e-9 * periods[p]) continue;
            const double psa = table->columns[rotd50][at];
            if (!std::isnan(psa)) {
                std::string text;
                companion::append_shortest(text, psa);
                row[rotd50_first_column + p] = text;
            }
            break;
        }
    }
}

void read_measures(const std::filesystem::path& measures, Row& row) {
    auto text = companion::read_whole_file(measures);
    if (!text) return mark_failed(row, describe(text.problem()));
    std::vector<std::vector<std::string>> lines;
    std::size_t at = 0;
    while (at < text->size()) {
        const std::size_t end = std::min(text->find('\n', at), text->size());
        const std::string_view line = std::string_view(*text).substr(at, end - at);
        if (!line.starts_with('#')) lines.push_back(fields_of(line));
        at = end + 1;
    }
    if (lines.empty() || lines[0].empty() || lines[0][0] != "measure") {
        return mark_failed(row, measures.string() + ": is no measures file");
    }
    const std::vector<std::string>& header = lines[0];
    for (std::size_t c = 0; c < std::size(measure_columns); ++c) {
        const auto column = std::find(header.begin(), header.end(), measure_columns[c].column);
        if (column == header.end()) continue;
        const auto place = static_cast<std::size_t>(column - header.begin());
        for (const auto& fields : lines) {
            if (fields[0] == measure_columns[c].measure && place < fields.size()) {
                row[measures_first_column + c] = fields[place];
                break;
            }
        }
    }
}

}  // namespace smwave::batch
