#include "table/convert.hpp"

#include <filesystem>

#include "companion/output_file.hpp"
#include "companion/suite_file.hpp"
#include "table/afad_reader.hpp"
#include "table/bhrc_reader.hpp"
#include "table/cosmos_reader.hpp"
#include "table/csmip_reader.hpp"
#include "table/cwb_reader.hpp"
#include "table/esm_reader.hpp"
#include "table/geonet_reader.hpp"
#include "table/inventory.hpp"
#include "table/knet_reader.hpp"
#include "table/mseed_reader.hpp"
#include "table/peer_reader.hpp"
#include "table/sac_reader.hpp"
#include "table/smc_reader.hpp"
#include "table/table_writer.hpp"
#include "table/text_lines.hpp"
#include "table/unam_reader.hpp"
#include "table/usc_reader.hpp"

namespace smwave::table {

using companion::Problem;
using companion::Result;

namespace fs = std::filesystem;

namespace {

struct NamedFormat {
    Format format;
    std::string_view name;
};

constexpr NamedFormat named_formats[] = {
    {Format::knet, "knet"},   {Format::sac, "sac"},         {Format::sac_ascii, "sac-ascii"},
    {Format::mseed, "mseed"}, {Format::peer, "peer"},       {Format::cosmos, "cosmos"},
    {Format::esm, "esm"},     {Format::cwb, "cwb"},         {Format::geonet, "geonet"},
    {Format::csmip, "csmip"}, {Format::renadic, "renadic"}, {Format::smc, "smc"},
    {Format::usc, "usc"},     {Format::bhrc, "bhrc"},       {Format::afad, "afad"},
    {Format::unam, "unam"},   {Format::columns, "columns"},
};

}  // namespace

std::vector<std::string> format_names() {
    std::vector<std::string> names;
    for (const auto& named : named_formats) names.emplace_back(named.name);
    return names;
}

std::optional<Format> format_named(std::string_view name) {
    for (const auto& named : named_formats) {
        if (named.name == name) return named.format;
    }
    return std::nullopt;
}

std::optional<Format> recognise_format(std::string_view content) {
    if (looks_like_sac_binary(content)) return Format::sac;
    if (looks_like_mseed(content)) return Format::mseed;
    if (!looks_like_text(content)) return std::nullopt;
    if (looks_like_knet(content)) return Format::knet;
    if (looks_like_sac_ascii(content)) return Format::sac_ascii;
    if (looks_like_peer(content)) return Format::peer;
    if (looks_like_cosmos(content)) return Format::cosmos;
    if (looks_like_esm(content)) return Format::esm;
    if (looks_like_cwb(content)) return Format::cwb;
    if (looks_like_geonet(content)) return Format::geonet;
    if (looks_like_csmip(content)) return Format::csmip;
    if (looks_like_renadic(content)) return Format::renadic;
    if (looks_like_smc(content)) return Format::smc;
    if (looks_like_usc(content)) return Format::usc;
    if (looks_like_bhrc(content)) return Format::bhrc;
    if (looks_like_afad(content)) return Format::afad;
    if (looks_like_unam(content)) return Format::unam;
    return Format::columns;
}

Result<Reading> read_content(std::string_view content, const std::string& name, Format format,
                             const ConversionOptions& options) {
    switch (format) {
        case Format::knet:
            return read_knet(content, name);
        case Format::sac:
            return read_sac_binary(content, name);
        case Format::sac_ascii:
            return read_sac_ascii(content, name);
        case Format::mseed:
            return read_mseed(content, name, options.fill_gaps);
        case Format::peer:
            return read_peer(content, name);
        case Format::cosmos:
            return read_cosmos(content, name);
        case Format::esm:
            return read_esm(content, name);
        case Format::cwb:
            return read_cwb(content, name);
        case Format::geonet:
            return read_geonet(content, name);
        case Format::csmip:
        case Format::renadic:
            return read_csmip(content, name);
        case Format::smc:
            return read_smc(content, name);
        case Format::usc:
            return read_usc(content, name);
        case Format::bhrc:
            return read_bhrc(content, name);
        case Format::afad:
            return read_afad(content, name);
        case Format::unam:
            return read_unam(content, name);
        case Format::columns:
            return read_columns(content, name, options.columns);
    }
    return Problem{name, 0, "unknown format"};
}

namespace {

// Whether the columns reader's refusal is about columns it found rather than text it could not take
// for columns at all (too many columns to choose from, no rows of numbers).
bool looks_like_columns(const std::string& refusal) {
    return refusal.find("choose the time and component columns") == std::string::npos &&
           refusal.find("rows of numbers") == std::string::npos;
}

// The kind of archive or compressed file whose signature `content` starts with ("gzip", ...), if any.
std::optional<std::string_view> archive_kind(std::string_view content) {
    struct Signature {
        std::string_view bytes, kind;
    };
    static constexpr Signature signatures[] = {
        {"\x1f\x8b", "gzip"},  {"PK\x03\x04", "zip"},        {"PK\x05\x06", "zip"},       {"BZh", "bzip2"},
        {"\xfd\x37zXZ", "xz"}, {"7z\xbc\xaf\x27\x1c", "7z"}, {"\x28\xb5\x2f\xfd", "zstd"}};
    for (const Signature& signature : signatures) {
        if (content.starts_with(signature.bytes)) return signature.kind;
    }
    if (content.size() >= 262 && content.substr(257, 5) == "ustar") return "tar";
    return std::nullopt;
}

Result<std::string> read_input(const std::string& name) {
    std::error_code error;
    const auto status = fs::status(name, error);
    if (error) return Problem{name, 0, "cannot read: " + error.message()};
    if (fs::is_directory(status)) return Problem{name, 0, "is a folder, not a record"};
    if (!fs::is_regular_file(status))
        return Problem{name, 0, "is not a regular file (pipes and devices are not read)"};
    return companion::read_whole_file(name);
}

}  // namespace

std::string_view format_name(Format format) {
    for (const auto& named : named_formats) {
        if (named.format == format) return named.name;
    }
    return "unknown";
}

Result<Input> read_one(const std::string& name, const ConversionOptions& options) {
    auto content = read_input(name);
    if (!content) return content.problem();
    if (looks_like_stationxml(*content))
        return Problem{name, 0, "this is a StationXML file; give it with --inventory"};
    if (looks_like_quakeml(*content))
        return Problem{name, 0, "this is an event file (QuakeML), not a record"};
    const std::optional<Format> format = options.format ? options.format : recognise_format(*content);
    if (!format) {
        if (const auto kind = archive_kind(*content))
            return Problem{name, 0,
                           "this is an archive or compressed file (" + std::string(*kind) +
                               "): unpack it and give the records inside"};
        return Problem{name, 0, "the format is not recognised; name it with --format"};
    }
    auto reading = read_content(*content, name, *format, options);
    if (!reading && !options.format && *format == Format::columns && options.columns.columns.empty() &&
        !looks_like_columns(reading.problem().what)) {
        return Problem{
            name, 0,
            "not K-NET, SAC, miniSEED, PEER, COSMOS, ESM, CWB, GeoNet, CSMIP, RENADIC, SMC, USC, BHRC, "
            "AFAD or UNAM; for plain columns give --columns (read as columns: " +
                reading.problem().what + ")"};
    }
    if (!reading) return reading.problem();
    return Input{*format, std::move(*reading)};
}

namespace {

// The components of every input in order: three single-component files in argument order, or the
// channels of one file in the order --channels names (by default east, north, vertical for
// miniSEED, the order of --columns for columns).
Result<std::vector<Component>> gather_components(const ConversionOptions& options,
                                                 const std::function<void(std::string_view)>& warn) {
    if (options.inputs.size() > 1 && !options.channels.empty()) {
        return Problem{
            "", 0,
            "--channels orders the channels of one file; several files give components in their order"};
    }
    for (std::size_t k = 0; k < options.inputs.size(); ++k) {
        for (std::size_t j = 0; j < k; ++j) {
            std::error_code error;
            if (options.inputs[j] == options.inputs[k] ||
                fs::equivalent(options.inputs[j], options.inputs[k], error))
                return Problem{options.inputs[k], 0, "is given twice (as " + options.inputs[j] + " too)"};
        }
    }
    std::vector<Component> components;
    // The archives' formats give their components' orientations, which order them.
    bool oriented = options.channels.empty();
    for (const auto& name : options.inputs) {
        auto input = read_one(name, options);
        if (!input) return input.problem();
        oriented = oriented && (input->format == Format::peer || input->format == Format::cosmos ||
                                input->format == Format::esm || input->format == Format::cwb ||
                                input->format == Format::geonet || input->format == Format::csmip ||
                                input->format == Format::renadic || input->format == Format::smc ||
                                input->format == Format::usc || input->format == Format::bhrc ||
                                input->format == Format::afad || input->format == Format::unam);
        for (const auto& warning : input->reading.warnings) warn(warning);
        std::vector<Component>& found = input->reading.components;
        if (options.inputs.size() > 1 && found.size() != 1) {
            return Problem{name, 0,
                           "holds " + std::to_string(found.size()) +
                               " channels; with several files, each must give one component"};
        }
        if (options.inputs.size() == 1 && (!options.channels.empty() || input->format == Format::mseed)) {
            auto ordered = order_channels(std::move(found), options.channels);
            if (!ordered) return ordered.problem();
            found = std::move(*ordered);
            for (const auto& component : found) {
                if (component.station != found[0].station) {
                    return Problem{name, 0,
                                   "the channels come from different stations (" + found[0].station + ", " +
                                       component.station + "): name three of one station with --channels"};
                }
            }
        }
        for (auto& component : found) components.push_back(std::move(component));
    }
    if (oriented) return order_by_azimuth(std::move(components));
    return components;
}

}  // namespace

companion::Status convert(const ConversionOptions& options,
                          const std::function<void(std::string_view)>& warn) {
    if (!options.output.empty()) {
        std::vector<fs::path> inputs(options.inputs.begin(), options.inputs.end());
        if (auto problem = companion::refuse_overwriting_inputs(options.output, inputs)) return problem;
    }
    auto components = gather_components(options, warn);
    if (!components) return components.problem();
    CorrectionOptions correction = options.correction;
    correction.baseline = options.assembly.baseline;
    correction.taper = options.assembly.taper;
    auto notes = correct_components(*components, correction);
    if (!notes) return notes.problem();
    AssemblyOptions assembly = options.assembly;
    assembly.correction_notes = std::move(*notes);
    std::vector<std::string> warnings;
    auto record = assemble_record(std::move(*components), assembly, warnings);
    for (const auto& warning : warnings) warn(warning);
    if (!record) return record.problem();

    if (options.output.empty()) {
        auto out = companion::OutputFile::standard_output();
        write_table(*record, out);
        return out.commit();
    }
    auto out = companion::OutputFile::open(options.output);
    if (!out) return out.problem();
    write_table(*record, *out);
    return out->commit();
}

}  // namespace smwave::table
