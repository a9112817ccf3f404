#include "event/flatfile.hpp"

#include <algorithm>
#include <cmath>
#include <fstream>

#include "companion/number_text.hpp"
#include "companion/suite_file.hpp"
#include "table/civil_time.hpp"

namespace smwave::event {

namespace fs = std::filesystem;

namespace {

std::string number_text(double value) {
    std::string text;
    if (std::isfinite(value)) companion::append_shortest(text, value);
    return text;
}

std::string number_text(const std::optional<double>& value) { return value ? number_text(*value) : ""; }

// The components' suffixes and what they name; the horizontals' rotated values follow them.
struct Component {
    const char* suffix;
    const char* measures_column;  // in measures.csv
    const char* psa_column;       // in psa.csv
    const char* what;
};
constexpr Component components[] = {
    {"h1", "comp1", "psa1", "of the first horizontal component (east or 1)"},
    {"h2", "comp2", "psa2", "of the second horizontal component (north or 2)"},
    {"z", "comp3", "psa3", "of the vertical component"},
    {"rotd50", "rotd50", "psa_rotd50", "RotD50 of the two horizontals (median over rotation angles)"},
    {"rotd100", "rotd100", "psa_rotd100", "RotD100 of the two horizontals (largest over rotation angles)"},
};
constexpr std::size_t horizontal_combinations = 3;  // components from this place on are rotated values

// The measures of each component, as smwave-measures names them.
struct Measure {
    const char* name;
    const char* units;
    const char* what;
    bool of_rotated;  // also given for the rotated horizontals
};
constexpr Measure peaks[] = {
    {"pga", "cm/s/s", "peak ground acceleration", true},
    {"pgv", "cm/s", "peak ground velocity (the integrated record)", true},
    {"pgd", "cm", "peak ground displacement (the double-integrated record)", true},
};
constexpr Measure others[] = {
    {"arias", "m/s", "Arias intensity", false},
    {"d5-75", "s", "significant duration, 5 to 75 % of the Arias intensity", false},
    {"d5-95", "s", "significant duration, 5 to 95 % of the Arias intensity", false},
    {"cav", "cm/s", "cumulative absolute velocity", false},
};

std::string psa_name(double period, const Component& component) {
    return "psa_" + number_text(period) + "_" + component.suffix;
}

std::string csv_field(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string field = "\"";
    for (const char c : text) {
        if (c == '"') field += '"';
        field += c;
    }
    return field + '"';
}

std::vector<std::string> split(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t at = 0;
    for (std::size_t comma; (comma = line.find(',', at)) != std::string::npos; at = comma + 1)
        fields.push_back(line.substr(at, comma - at));
    fields.push_back(line.substr(at));
    return fields;
}

// A number as the flatfile writes it: read, then the shortest text again ("" stays "").
std::string renumbered(const std::string& field) {
    const auto value = companion::parse_number(field);
    return value ? number_text(*value) : "";
}

// The measures file's values: measure -> column -> field.
bool read_measures(const fs::path& file, std::map<std::string, std::map<std::string, std::string>>& values) {
    std::ifstream in(file);
    std::vector<std::string> header;
    for (std::string line; std::getline(in, line);) {
        if (line.starts_with('#')) continue;
        const auto fields = split(line);
        if (header.empty()) {
            header = fields;
            if (header.empty() || header[0] != "measure") return false;
            continue;
        }
        for (std::size_t at = 1; at < fields.size() && at < header.size(); ++at) values[fields[0]][header[at]] = fields[at];
    }
    return !header.empty();
}

bool read_psa(const fs::path& file, const std::vector<double>& periods, FlatfileRow& row) {
    auto table = companion::read_suite_file(file);
    if (!table || table->kind != companion::SuiteFileKind::response) return false;
    const auto column_of = [&](std::string_view name) {
        return static_cast<std::size_t>(std::find(table->names.begin(), table->names.end(), name) - table->names.begin());
    };
    const std::size_t period_column = column_of("period(s)");
    if (period_column >= table->names.size()) return false;
    for (const double period : periods) {
        for (std::size_t at = 0; at < table->rows(); ++at) {
            if (std::fabs(table->columns[period_column][at] - period) > 1e-9 * period) continue;
            for (const Component& component : components) {
                const std::size_t column = column_of(component.psa_column);
                if (column < table->names.size()) row[psa_name(period, component)] = number_text(table->columns[column][at]);
            }
            break;
        }
    }
    return true;
}

}  // namespace

std::vector<FlatfileColumn> flatfile_columns(const std::vector<double>& periods) {
    std::vector<FlatfileColumn> c = {
        {"event_id", "", "the event's id: its origin time as yyyymmddhhmmss (UTC)"},
        {"origin_time", "UTC", "the origin time, ISO 8601"},
        {"event_latitude", "degrees north", "the epicentre's latitude"},
        {"event_longitude", "degrees east", "the epicentre's longitude"},
        {"event_depth", "km", "the hypocentre's depth"},
        {"magnitude", "", "the event's magnitude"},
        {"magnitude_type", "", "the magnitude's type, where the source names it"},
        {"record", "", "the record's folder under the event folder"},
        {"network", "", "network code"},
        {"station", "", "station code"},
        {"location", "", "location code"},
        {"channels", "", "the channel codes or directions of H1, H2 and Z, blank-separated"},
        {"sensor", "", "KiK-net's surface or borehole sensor; empty for other records"},
        {"station_latitude", "degrees north", "the station's latitude"},
        {"station_longitude", "degrees east", "the station's longitude"},
        {"station_elevation", "m", "the station's elevation above sea level"},
        {"sampling_rate", "Hz", "samples per second"},
        {"samples", "", "samples per component in the first component's file"},
        {"source_files", "", "the record's files (H1, H2, Z), separated by ';'"},
        {"input_units", "", "the units of the files' samples (counts before any correction)"},
        {"epicentral_distance", "km", "great-circle distance from the epicentre on a sphere of radius 6371 km"},
        {"hypocentral_distance", "km", "sqrt(epicentral_distance^2 + event_depth^2); the station's elevation is not counted"},
        {"back_azimuth", "degrees", "direction from the station to the epicentre, clockwise from north, on the sphere"},
        {"band_f1", "Hz", "the band-pass's lower corner where the pass begins to rise"},
        {"band_f2", "Hz", "the band-pass's lower corner where the pass is full"},
        {"band_f3", "Hz", "the band-pass's upper corner where the pass begins to fall"},
        {"band_f4", "Hz", "the band-pass's upper corner where the pass ends"},
        {"usable_low", "Hz", "the lowest frequency of the usable band (band_f2)"},
        {"usable_high", "Hz", "the highest frequency of the usable band (band_f3)"},
        {"correction", "", "how the samples became cm/s/s (none, units, sensitivity, full)"},
        {"taper", "", "the fraction of the record tapered at each end (Hann window)"},
    };
    for (std::size_t at = 0; at < std::size(components); ++at) {
        const Component& component = components[at];
        const bool rotated = at >= horizontal_combinations;
        for (const Measure& m : peaks)
            c.push_back({std::string(m.name) + "_" + component.suffix, m.units, std::string(m.what) + " " + component.what});
        for (const double period : periods)
            c.push_back({psa_name(period, component), "cm/s/s",
                         "pseudo-spectral acceleration at " + number_text(period) + " s " + component.what});
        if (rotated) continue;
        for (const Measure& m : others)
            c.push_back({std::string(m.name) + "_" + component.suffix, m.units, std::string(m.what) + " " + component.what});
    }
    c.push_back({"jma_intensity", "", "the JMA instrumental seismic intensity of the three components"});
    c.push_back({"jma_class", "", "the JMA intensity class (0 to 7, with 5-, 5+, 6-, 6+)"});
    c.push_back({"status", "", "ok, failed or refused"});
    c.push_back({"reason", "", "the reason code of a record that is not ok"});
    c.push_back({"message", "", "what went wrong, in words"});
    return c;
}

std::string columns_text(const std::vector<FlatfileColumn>& columns) {
    std::string text = "name,units,definition\n";
    for (const FlatfileColumn& column : columns) text += csv_line({column.name, column.units, column.definition});
    return text;
}

FlatfileRow record_row(const Download& download, std::size_t index, const std::optional<EventOrigin>& origin,
                       RecordRun run, const fs::path& folder, const ProcessingSettings& settings) {
    const EventRecord& record = download.records[index];
    const table::Component& first = download.files[record.files[0]].component;
    FlatfileRow row;
    if (origin) {
        row["event_id"] = origin->id;
        row["origin_time"] = table::format_utc(origin->time);
        row["event_latitude"] = number_text(origin->latitude);
        row["event_longitude"] = number_text(origin->longitude);
        row["event_depth"] = number_text(origin->depth);
        row["magnitude"] = number_text(origin->magnitude);
        row["magnitude_type"] = origin->magnitude_type;
    }
    row["record"] = record.name;
    row["network"] = record.network;
    row["station"] = record.station;
    row["location"] = record.location;
    row["sensor"] = record.sensor;
    std::string channels, sources;
    for (const std::size_t file : record.files) {
        channels += (channels.empty() ? "" : " ") + download.files[file].component.name;
        sources += (sources.empty() ? "" : ";") + download.files[file].path;
    }
    row["channels"] = channels;
    row["source_files"] = sources;
    row["station_latitude"] = number_text(first.site.latitude);
    row["station_longitude"] = number_text(first.site.longitude);
    row["station_elevation"] = number_text(first.site.elevation);
    row["sampling_rate"] = number_text(1 / first.interval);
    row["samples"] = std::to_string(download.files[record.files[0]].samples);
    row["input_units"] = first.units;
    if (origin && first.site.latitude && first.site.longitude) {
        const Distances d = distances_to(*origin, *first.site.latitude, *first.site.longitude);
        row["epicentral_distance"] = number_text(d.epicentral);
        row["hypocentral_distance"] = number_text(d.hypocentral);
        row["back_azimuth"] = number_text(d.back_azimuth);
    }
    row["taper"] = number_text(settings.taper);
    if (run.interval > 0) {
        for (std::size_t at = 0; at < 4; ++at) row["band_f" + std::to_string(at + 1)] = number_text(run.band[at]);
        row["usable_low"] = number_text(run.band[1]);
        row["usable_high"] = number_text(run.band[2]);
        row["correction"] = run.correction;
    }
    if (run.finished) {
        std::map<std::string, std::map<std::string, std::string>> measures;
        if (!read_measures(folder / measures_file, measures) || !read_psa(folder / psa_file, settings.periods, row)) {
            run.status = {Status::failed, Reason::output_unreadable,
                          (folder / measures_file).string() + " or " + (folder / psa_file).string() + " cannot be read"};
        } else {
            for (std::size_t at = 0; at < std::size(components); ++at) {
                const Component& component = components[at];
                for (const Measure& m : peaks)
                    row[std::string(m.name) + "_" + component.suffix] = renumbered(measures[m.name][component.measures_column]);
                if (at >= horizontal_combinations) continue;
                for (const Measure& m : others)
                    row[std::string(m.name) + "_" + component.suffix] = renumbered(measures[m.name][component.measures_column]);
            }
            row["jma_intensity"] = renumbered(measures["jma_intensity"]["comp1"]);
            row["jma_class"] = measures["jma_grade"]["comp1"];
        }
        // A record of two horizontals: the table's vertical is zeros standing in for none.
        if (record.files.size() < 3) {
            for (auto& [name, value] : row) {
                if (name.ends_with("_z") || name.starts_with("jma_")) value.clear();
            }
        }
    }
    if (run.status.status == Status::ok && !origin) {
        run.status = {Status::failed, Reason::no_event,
                      "no origin: the files state none; give the event with --origin"};
    }
    row["status"] = std::string(status_word(run.status.status));
    row["reason"] = std::string(reason_word(run.status.reason));
    row["message"] = run.status.message;
    return row;
}

std::string flatfile_text(const std::vector<FlatfileColumn>& columns, std::vector<FlatfileRow> rows) {
    const auto distance = [](const FlatfileRow& row) {
        const auto found = row.find("epicentral_distance");
        const auto value = found == row.end() ? std::nullopt : companion::parse_number(found->second);
        return value.value_or(INFINITY);
    };
    std::stable_sort(rows.begin(), rows.end(), [&](const FlatfileRow& a, const FlatfileRow& b) {
        const double da = distance(a), db = distance(b);
        if (da != db) return da < db;
        if (a.at("station") != b.at("station")) return a.at("station") < b.at("station");
        return a.at("record") < b.at("record");
    });
    std::vector<std::string> names;
    for (const FlatfileColumn& column : columns) names.push_back(column.name);
    std::string text = csv_line(names);
    for (FlatfileRow& row : rows) {
        std::vector<std::string> fields;
        for (const std::string& name : names) fields.push_back(row[name]);
        text += csv_line(fields);
    }
    return text;
}

companion::Result<std::pair<std::vector<FlatfileColumn>, std::vector<FlatfileRow>>> read_flatfile(
    const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return companion::Problem{file.string(), 0, "cannot be read"};
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    // Fields by line, quotes honoured (a quoted field may hold commas, quotes and line ends).
    std::vector<std::vector<std::string>> lines;
    std::vector<std::string> fields{""};
    bool quoted = false;
    for (std::size_t at = 0; at < text.size(); ++at) {
        const char c = text[at];
        if (quoted) {
            if (c == '"' && at + 1 < text.size() && text[at + 1] == '"') fields.back() += text[++at];
            else if (c == '"') quoted = false;
            else fields.back() += c;
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            fields.emplace_back();
        } else if (c == '\n') {
            lines.push_back(std::move(fields));
            fields = {""};
        } else {
            fields.back() += c;
        }
    }
    if (lines.empty() || lines[0].empty() || lines[0][0] != "event_id")
        return companion::Problem{file.string(), 1, "is no flatfile of smwave-event"};
    std::vector<FlatfileColumn> columns;
    for (const std::string& name : lines[0]) columns.push_back({name, "", ""});
    std::vector<FlatfileRow> rows;
    for (std::size_t line = 1; line < lines.size(); ++line) {
        if (lines[line].size() != columns.size())
            return companion::Problem{file.string(), line + 1, "has " + std::to_string(lines[line].size()) +
                                                                   " fields, not " + std::to_string(columns.size())};
        FlatfileRow& row = rows.emplace_back();
        for (std::size_t at = 0; at < columns.size(); ++at) row[columns[at].name] = lines[line][at];
    }
    return std::pair{std::move(columns), std::move(rows)};
}

std::string inputs_text(const std::vector<InputEntry>& inputs) {
    std::string text = "path,format,record,note\n";
    for (const InputEntry& entry : inputs) text += csv_line({entry.path, entry.format, entry.record, entry.note});
    return text;
}

std::string csv_line(const std::vector<std::string>& fields) {
    std::string line;
    for (std::size_t at = 0; at < fields.size(); ++at) line += (at ? "," : "") + csv_field(fields[at]);
    return line + '\n';
}

}  // namespace smwave::event
