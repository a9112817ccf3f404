#pragma once
// A whole conversion: the input files read in their formats, the record assembled, the table written.
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "companion/problem.hpp"
#include "table/columns_reader.hpp"
#include "table/component.hpp"
#include "table/correction.hpp"
#include "table/record.hpp"

namespace smwave::table {

enum class Format {
    knet,
    sac,
    sac_ascii,
    mseed,
    peer,
    cosmos,
    esm,
    cwb,
    geonet,
    csmip,
    renadic,
    smc,
    usc,
    bhrc,
    afad,
    unam,
    columns
};

// The names --format takes, in the order the formats are tried: "knet", "sac", "sac-ascii", "mseed",
// "peer", "cosmos", "esm", "cwb", "geonet", "csmip", "renadic", "smc", "usc",
// "bhrc", "afad", "unam", "columns".
std::vector<std::string> format_names();

// The format of a name of format_names().
std::optional<Format> format_named(std::string_view name);

// The format the content is in: K-NET by its first label, SAC binary by its header version in either
// byte order, SAC alphanumeric by its header lines, miniSEED by its record header, PEER, COSMOS, ESM,
// CWB, GeoNet, CSMIP, RENADIC, SMC, USC,
// BHRC, AFAD and UNAM by their first lines; other text is taken as plain columns. Nothing for
// other binary content.
std::optional<Format> recognise_format(std::string_view content);

struct ConversionOptions {
    std::vector<std::string> inputs;
    std::string output;  // empty: standard output
    std::optional<Format> format;
    ColumnChoice columns;
    std::vector<std::string> channels;
    AssemblyOptions assembly;
    CorrectionOptions correction;
    bool fill_gaps = false;
};

// The name --format takes for `format`.
std::string_view format_name(Format format);

struct Input {
    Format format = Format::columns;
    Reading reading;
};

// Reads one input file in the format named or recognised; StationXML and QuakeML files are refused.
// Text of no known format that is not plain columns either is refused with the formats tried.
companion::Result<Input> read_one(const std::string& name, const ConversionOptions& options);

// Reads one file's content in `format`.
companion::Result<Reading> read_content(std::string_view content, const std::string& name, Format format,
                                        const ConversionOptions& options);

// Reads the inputs, makes counts physical, assembles the record and writes the table (nothing is
// written when any step fails); each warning goes to `warn` as it arises. A StationXML or QuakeML
// file given as a record, and the same file given twice, are refused.
companion::Status convert(const ConversionOptions& options,
                          const std::function<void(std::string_view)>& warn);

}  // namespace smwave::table
