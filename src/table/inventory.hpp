#pragma once
// FDSN StationXML inventories: the epochs of the channels that say how counts become physical units.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "companion/problem.hpp"
#include "table/component.hpp"
#include "table/response_stages.hpp"

namespace pugi {
class xml_document;
}

namespace smwave::table {

// A channel's network, station, location and channel codes ("XX.STA.00.HNZ").
struct ChannelCodes {
    std::string network, station, location, channel;
    std::string text() const;
};

// One epoch of a channel as the inventory gives it; each part absent when the file does not say.
struct ChannelEpoch {
    std::optional<std::int64_t> start, end;  // microseconds since 1970 UTC; an absent end is open
    Site site;                               // the channel's place, or its station's
    std::optional<double> azimuth, dip, sample_rate;
    std::optional<double> sensitivity;  // InstrumentSensitivity/Value, counts per input unit
    std::optional<double> sensitivity_frequency;
    std::string input_units, output_units;  // of the sensitivity
    std::vector<double> stage_gains;        // StageGain/Value of each stage, in order
    std::vector<ResponseStage> stages;      // the whole response, stage by stage
    std::string source;                     // the file it was read from
};

// The documents of one or more StationXML files, kept parsed so that channels are looked up in them.
class Inventory {
  public:
    // Reads `path`: a StationXML file, or every ".xml" file of a folder (in name order). A file that is
    // not XML, or XML that is not StationXML, is a Problem naming it.
    static companion::Result<Inventory> load(const std::filesystem::path& path);
    // The same for XML text in memory; `name` is what its problems show.
    static companion::Result<Inventory> parse(std::string text, const std::string& name);

    // The epoch of `codes` whose [start, end) holds `time`: a Problem naming the channel and the time
    // when the inventory has none (and the epochs it has).
    companion::Result<ChannelEpoch> epoch_at(const ChannelCodes& codes, std::int64_t time) const;

    // What the inventory was read from, for the table's metadata.
    const std::string& origin() const { return origin_; }

    Inventory();
    Inventory(Inventory&&) noexcept;
    Inventory& operator=(Inventory&&) noexcept;
    ~Inventory();

  private:
    struct Document;
    std::vector<std::unique_ptr<Document>> documents_;
    std::string origin_;
};

// Whether the text is XML whose root is a StationXML inventory ("FDSNStationXML").
bool looks_like_stationxml(std::string_view content);

// Whether the text is XML whose root is a QuakeML event file ("quakeml").
bool looks_like_quakeml(std::string_view content);

}  // namespace smwave::table
