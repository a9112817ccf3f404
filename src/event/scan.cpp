#include "event/scan.hpp"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>

#include "table/convert.hpp"
#include "table/inventory.hpp"

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

// What one file holds: a ScannedFile per channel (a miniSEED file may hold several), or one that says
// why the file is no record.
std::vector<ScannedFile> scan_file(const std::string& path) {
    ScannedFile file;
    file.path = path;
    const std::string head = head_of(path);
    if (head.find("<FDSNStationXML") != std::string::npos) {
        file.kind = FileKind::station_xml;
        return {file};
    }
    if (head.find("quakeml") != std::string::npos && head.find("<?xml") != std::string::npos) {
        file.kind = FileKind::quake_ml;
        return {file};
    }
    const table::ConversionOptions options;
    auto input = table::read_one(path, options);
    if (!input) {
        file.reason = companion::describe(input.problem());
        return {file};
    }
    std::vector<ScannedFile> channels;
    for (table::Component& component : input->reading.components) {
        ScannedFile& channel = channels.emplace_back(file);
        channel.kind = FileKind::record;
        channel.format = std::string(table::format_name(input->format));
        channel.channels_in_file = input->reading.components.size();
        channel.samples = component.samples.size();
        channel.component = std::move(component);
        channel.component.samples = {};
    }
    if (channels.empty()) file.reason = "holds no channel";
    return channels.empty() ? std::vector<ScannedFile>{file} : channels;
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

// The instrument within the station: KiK-net's sensor, else a channel code's band and instrument
// letters ("HN" of "HNE"); directions and azimuths ("EW", "H090") name no instrument.
std::string family_of(const table::Component& component) {
    if (component.sensor != table::Sensor::unknown) return sensor_word(component.sensor);
    if (knet_direction(component.name) || component.name.size() != 3) return "";
    return upper(component.name.substr(0, 2));
}

bool is_vertical(const table::Component& component) { return component.dip && std::abs(*component.dip) == 90; }
bool is_horizontal(const table::Component& component) { return component.dip && *component.dip == 0; }

// Whether horizontal `a` comes before `b` as smwave-table orders a pair: the more east-pointing one
// first, and of two pointing as far east the one clockwise from the other.
bool east_first(const table::Component& a, const table::Component& b) {
    if (!a.azimuth || !b.azimuth) return false;
    constexpr double degree = 3.14159265358979323846 / 180;
    const double east_a = std::abs(std::sin(*a.azimuth * degree)), east_b = std::abs(std::sin(*b.azimuth * degree));
    if (std::abs(east_a - east_b) > 1e-9) return east_a > east_b;
    const double clockwise = std::fmod(*a.azimuth - *b.azimuth + 720.0, 360.0);
    return clockwise > 0 && clockwise <= 180.0;
}

// The component slots of one record: a file per slot, then the horizontals whose name gives no slot.
struct Slots {
    std::array<std::optional<std::size_t>, 3> files;
    std::vector<std::size_t> unplaced;
};

// Puts the unplaced horizontals into the free horizontal slots (the more east-pointing first); the
// ones left over are reported in `inputs`.
void place_horizontals(Slots& slots, const std::vector<ScannedFile>& files, std::vector<InputEntry>& inputs) {
    std::stable_sort(slots.unplaced.begin(), slots.unplaced.end(), [&](std::size_t a, std::size_t b) {
        return east_first(files[a].component, files[b].component);
    });
    for (const std::size_t at : slots.unplaced) {
        auto free = std::find_if(slots.files.begin(), slots.files.begin() + 2, [](const auto& slot) { return !slot; });
        if (free == slots.files.begin() + 2) {
            inputs[at].note = "left out: a third horizontal of " + files[*slots.files[0]].path;
            continue;
        }
        *free = at;
    }
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
    for (const std::string& path : paths) {
        for (ScannedFile& file : scan_file(path)) files.push_back(std::move(file));
    }
    return files;
}

Download group_records(std::vector<ScannedFile> files) {
    Download download;
    download.inputs.resize(files.size());
    // Records by network, station, location and instrument; each a file per component slot.
    std::map<std::vector<std::string>, Slots> groups;
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
        auto slot = component_slot(c.name);
        if (!slot && is_vertical(c)) slot = 2;
        if (!slot && !is_horizontal(c)) {
            entry.note = "left out: the channel '" + c.name + "' is no component of a three-component record";
            continue;
        }
        Slots& group = groups[{c.network, c.station, c.location, family_of(c)}];
        if (!slot) {
            group.unplaced.push_back(at);
            continue;
        }
        if (group.files[*slot]) {
            entry.note = "left out: duplicate of " + files[*group.files[*slot]].path;
            continue;
        }
        group.files[*slot] = at;
        if (file.channels_in_file > 1)
            entry.note = "channel " + c.name + ", one of the file's " + std::to_string(file.channels_in_file);
    }
    for (auto& [key, group] : groups) place_horizontals(group, files, download.inputs);
    // Folder names of the records: codes that differ only in the bytes a folder name cannot hold (or in
    // which part is empty) would share one, so the later ones are numbered.
    // A record has both horizontals (three components, or two horizontals alone).
    const auto is_record = [](const auto& slots) { return slots[0].has_value() && slots[1].has_value(); };
    std::set<std::string> names;
    for (const auto& [key, group] : groups) {
        if (is_record(group.files)) names.insert(folder_name(key));
    }
    std::set<std::string> given;
    for (const auto& [key, group] : groups) {
        const auto& slots = group.files;
        const std::size_t present = static_cast<std::size_t>(std::count_if(
            slots.begin(), slots.end(), [](const auto& slot) { return slot.has_value(); }));
        const bool two_horizontals = present == 2 && slots[0] && slots[1];
        if (present < 3 && !two_horizontals) {
            const std::string note = present == 1 ? "left out: one component only"
                                                  : "left out: a horizontal and the vertical only; a record needs "
                                                    "both horizontals";
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
            if (!slot) continue;
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

void place_from_inventory(Download& download, const table::Inventory& inventory) {
    for (const EventRecord& record : download.records) {
        for (const std::size_t at : record.files) {
            table::Component& c = download.files[at].component;
            if (c.site.latitude || !c.start) continue;
            if (auto epoch = inventory.epoch_at({c.network, c.station, c.location, c.name}, *c.start))
                c.site = epoch->site;
        }
    }
}

}  // namespace smwave::event
