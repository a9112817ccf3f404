#include "event/scan.hpp"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>

#include "table/convert.hpp"

namespace smwave::event {

namespace fs = std::filesystem;
using companion::Problem;

namespace {

// The first kilobytes of a file, enough to tell the XML documents of a download apart.
std::string head_of(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string text(4096, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(in.gcount()));
    return text;
}

ScannedFile scan_file(const std::string& path) {
    ScannedFile file;
    file.path = path;
    const std::string head = head_of(path);
    if (head.find("<FDSNStationXML") != std::string::npos) {
        file.kind = FileKind::station_xml;
        return file;
    }
    if (head.find("quakeml") != std::string::npos && head.find("<?xml") != std::string::npos) {
        file.kind = FileKind::quake_ml;
        return file;
    }
    const table::ConversionOptions options;
    auto input = table::read_one(path, options);
    if (!input) {
        file.reason = companion::describe(input.problem());
        return file;
    }
    if (input->reading.components.size() != 1) {
        file.reason = "holds " + std::to_string(input->reading.components.size()) +
                      " channels; the download's records are taken one channel per file";
        return file;
    }
    file.kind = FileKind::record;
    file.format = std::string(table::format_name(input->format));
    file.component = std::move(input->reading.components.front());
    file.samples = file.component.samples.size();
    file.component.samples = {};
    return file;
}

std::string upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

bool knet_direction(const std::string& name) {
    const std::string code = upper(name);
    return code.starts_with("EW") || code.starts_with("NS") || code.starts_with("UD");
}

std::string sensor_word(table::Sensor sensor) {
    return sensor == table::Sensor::borehole ? "borehole" : sensor == table::Sensor::surface ? "surface" : "";
}

// The instrument within the station: KiK-net's sensor, else the channel code without its last letter.
std::string family_of(const table::Component& component) {
    if (component.sensor != table::Sensor::unknown) return sensor_word(component.sensor);
    if (knet_direction(component.name) || component.name.empty()) return "";
    return upper(component.name.substr(0, component.name.size() - 1));
}

std::string folder_name(const std::vector<std::string>& parts) {
    std::string name;
    for (const std::string& part : parts) {
        if (part.empty()) continue;
        if (!name.empty()) name += '.';
        for (const char c : part) name += std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_' ? c : '_';
    }
    return name.empty() ? "record" : name;
}

}  // namespace

std::optional<std::size_t> component_slot(const std::string& name) {
    const std::string code = upper(name);
    if (code.starts_with("EW")) return 0;
    if (code.starts_with("NS")) return 1;
    if (code.starts_with("UD")) return 2;
    if (code.empty()) return std::nullopt;
    switch (code.back()) {
        case 'E': case '1': return 0;
        case 'N': case '2': return 1;
        case 'Z': return 2;
        default: return std::nullopt;
    }
}

companion::Result<std::vector<ScannedFile>> scan_download(const std::vector<std::string>& arguments,
                                                         const fs::path& skipped) {
    std::vector<std::string> paths;
    for (const std::string& argument : arguments) {
        std::error_code error;
        if (fs::is_directory(argument, error)) {
            std::vector<std::string> found;
            std::string last = argument;  // the entry the search stood at, for its problem
            for (auto it = fs::recursive_directory_iterator(argument, error);
                 !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
                last = it->path().string();
                std::error_code kind_error;
                const bool is_directory = it->is_directory(kind_error);
                std::error_code same_error;
                const bool is_skipped = is_directory && fs::exists(skipped, same_error) &&
                                        fs::equivalent(it->path(), skipped, same_error);
                if (it->path().filename().string().starts_with('.') || is_skipped) {
                    if (is_directory) it.disable_recursion_pending();
                    continue;
                }
                // A link that does not resolve (it loops, or names nothing) is kept, so that the
                // scan reports it rather than leaving it out unsaid.
                const bool is_file = it->is_regular_file(kind_error);
                if (is_file || (kind_error && it->is_symlink(same_error))) found.push_back(last);
            }
            if (error) return Problem{last, 0, "cannot be searched: " + error.message()};
            std::sort(found.begin(), found.end());
            paths.insert(paths.end(), found.begin(), found.end());
        } else if (fs::is_regular_file(argument, error)) {
            paths.push_back(argument);
        } else {
            return Problem{argument, 0, "is neither a file nor a folder"};
        }
    }
    if (paths.empty()) return Problem{"", 0, "the download holds no files"};
    std::vector<ScannedFile> files;
    for (const std::string& path : paths) files.push_back(scan_file(path));
    return files;
}

Download group_records(std::vector<ScannedFile> files) {
    Download download;
    download.inputs.resize(files.size());
    // Records by network, station, location and instrument; each a file per component slot.
    std::map<std::vector<std::string>, std::array<std::optional<std::size_t>, 3>> groups;
    for (std::size_t at = 0; at < files.size(); ++at) {
        const ScannedFile& file = files[at];
        InputEntry& entry = download.inputs[at];
        entry.path = file.path;
        entry.format = file.format;
        if (file.kind == FileKind::station_xml) {
            entry.format = "stationxml";
            entry.note = "StationXML inventory: given to the conversions when it is the download's only one and --inventory is not given";
            download.inventories.push_back(file.path);
            continue;
        }
        if (file.kind == FileKind::quake_ml) {
            entry.format = "quakeml";
            entry.note = "event description: read only when given with --event";
            continue;
        }
        if (file.kind == FileKind::unreadable) {
            entry.note = "not a record: " + file.reason;
            continue;
        }
        const table::Component& c = file.component;
        const auto slot = component_slot(c.name);
        if (!slot) {
            entry.note = "left out: the channel '" + c.name + "' is no component of a three-component record";
            continue;
        }
        auto& group = groups[{c.network, c.station, c.location, family_of(c)}];
        if (group[*slot]) {
            entry.note = "left out: duplicate of " + files[*group[*slot]].path;
            continue;
        }
        group[*slot] = at;
    }
    // Folder names of the complete records: codes that differ only in the bytes a folder name cannot
    // hold (or in which part is empty) would share one, so the later ones are numbered.
    std::set<std::string> names;
    for (const auto& [key, slots] : groups) {
        if (std::all_of(slots.begin(), slots.end(), [](const auto& slot) { return slot.has_value(); }))
            names.insert(folder_name(key));
    }
    std::set<std::string> given;
    for (const auto& [key, slots] : groups) {
        const std::size_t present = static_cast<std::size_t>(std::count_if(
            slots.begin(), slots.end(), [](const auto& slot) { return slot.has_value(); }));
        if (present < 3) {
            const std::string note = present == 1 ? "left out: one component only"
                                                  : "left out: two components only; a record needs three";
            for (const auto& slot : slots) {
                if (slot) download.inputs[*slot].note = note;
            }
            continue;
        }
        EventRecord record;
        record.network = key[0];
        record.station = key[1];
        record.location = key[2];
        record.sensor = files[*slots[0]].component.sensor == table::Sensor::unknown
                            ? ""
                            : sensor_word(files[*slots[0]].component.sensor);
        record.name = folder_name(key);
        for (int number = 2; given.contains(record.name); ++number) {
            record.name = folder_name(key) + "-" + std::to_string(number);
            if (names.contains(record.name)) record.name = folder_name(key);
        }
        given.insert(record.name);
        for (const auto& slot : slots) {
            record.files.push_back(*slot);
            download.inputs[*slot].record = record.name;
        }
        download.records.push_back(std::move(record));
    }
    std::sort(download.records.begin(), download.records.end(),
              [](const EventRecord& a, const EventRecord& b) { return a.name < b.name; });
    download.files = std::move(files);
    return download;
}

}  // namespace smwave::event
