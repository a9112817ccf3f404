#pragma once
// Record files written by the tests themselves, in each format smwave-table reads, from a known signal.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace smwave::testing {

// The known signal: three components of whole numbers (counts), `samples` long.
std::vector<std::vector<std::int32_t>> known_signal(std::size_t samples);

// A K-NET/KiK-net ASCII file; fields left as set give a consistent 100 Hz record.
struct KnetFile {
    std::string station = "XYZ012";
    std::string record_time = "2024/03/05 12:34:20";
    std::string frequency = "100Hz";
    std::string duration;  // default: samples / frequency
    std::string direction = "E-W";
    std::string scale = "7845(gal)/8223790";
    std::string max_acc;         // default: the true peak, printed with three decimals
    std::int32_t offset = 5000;  // the recorder offset added to every count
    std::vector<std::int32_t> counts;
    std::string text() const;
};

// A SAC file; `text_form` gives the alphanumeric form, `big_endian` the byte order of the binary one.
struct SacFile {
    float delta = 0.01f;
    float begin = 0.0f;
    std::int32_t reference[6] = {2024, 65, 3, 34, 5, 0};  // year, day of year, hour, minute, second, ms
    std::int32_t version = 6;
    std::int32_t iftype = 1;
    std::int32_t leven = 1;
    std::int32_t idep = 8;
    std::string station = "ABC";
    std::string component = "HHE";
    std::string network = "-12345";
    std::map<int, float> fields;  // other header floats by word number (STLA is 31), undefined when absent
    std::vector<float> data;
    bool big_endian = false;
    std::string binary() const;
    std::string text_form() const;
};

// miniSEED records of one channel (Steim-2, 512-byte records) from `start` (microseconds since 1970).
std::string mseed_channel(const std::string& station, const std::string& channel, std::int64_t start,
                          double rate, const std::vector<std::int32_t>& samples);

}  // namespace smwave::testing
