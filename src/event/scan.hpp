#pragma once
// The download as the user gave it: every file found (folders searched recursively, in name order),
// what it holds, and the records its files make.
//
// A record is one station (network, station, location) and one sensor: KiK-net's surface and borehole
// instruments are two records, as are co-located instruments with different channel codes (HN and HH).
// Its files are ordered H1 (east or 1), H2 (north or 2), Z; a record needs the two horizontals, and
// has the vertical where the download holds it. Horizontals named by their azimuth (PEER's "H090")
// take H1 and H2 by their orientation, the more east-pointing one first.
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "companion/problem.hpp"
#include "table/component.hpp"

namespace smwave::table {
class Inventory;
}

namespace smwave::event {

enum class FileKind { record, station_xml, quake_ml, unreadable };

struct ScannedFile {
    std::string path;  // as found from the arguments
    FileKind kind = FileKind::unreadable;
    std::string format;         // the reader that took it ("knet", "sac", ...)
    std::string reason;         // why it is unreadable
    table::Component component;  // what it states, without its samples
    std::size_t samples = 0;
    std::size_t channels_in_file = 1;  // a file of several channels gives a ScannedFile for each
};

struct EventRecord {
    std::string name;  // its folder under the event folder
    std::string network, station, location, sensor;
    std::vector<std::size_t> files;  // H1, H2 and Z where there is one: places in the scanned files
};

// One line of inputs.csv: a file, the record it went to (or none) and a note.
struct InputEntry {
    std::string path, format, record, note;
};

struct Download {
    std::vector<ScannedFile> files;
    std::vector<EventRecord> records;  // in name order
    std::vector<InputEntry> inputs;    // in the files' order, a line per channel of a file of several
    std::vector<std::string> inventories;  // the StationXML files found
};

// Finds and reads every file of `arguments`, leaving out the folder `skipped` (the event folder, which
// may lie inside the download); a Problem for an argument that does not exist.
companion::Result<std::vector<ScannedFile>> scan_download(const std::vector<std::string>& arguments,
                                                         const std::filesystem::path& skipped);

// Groups the scanned files into records and notes what became of each file.
Download group_records(std::vector<ScannedFile> files);

// Gives the records' files that state no station place (miniSEED) their channel's place in `inventory`.
void place_from_inventory(Download& download, const table::Inventory& inventory);

// The component a channel code or K-NET direction stands for: 0 H1, 1 H2, 2 Z, or nothing.
std::optional<std::size_t> component_slot(const std::string& name);

}  // namespace smwave::event
