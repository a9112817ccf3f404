#include "table/record_files.hpp"

#include <libmseed.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace smwave::testing {

std::vector<std::vector<std::int32_t>> known_signal(std::size_t samples) {
    std::vector<std::vector<std::int32_t>> signal(3);
    for (std::size_t i = 0; i < samples; ++i) {
        const double x = static_cast<double>(i);
        signal[0].push_back(static_cast<std::int32_t>(std::lround(1000 * std::sin(x / 8.0))));
        signal[1].push_back(static_cast<std::int32_t>(std::lround(800 * std::cos(x / 6.0))));
        signal[2].push_back(static_cast<std::int32_t>(i % 17) * 10 - 80);
    }
    return signal;
}

std::string KnetFile::text() const {
    double sum = 0;
    for (const auto count : counts) sum += count;
    const double mean = counts.empty() ? 0 : sum / static_cast<double>(counts.size());
    double peak = 0;
    for (const auto count : counts) peak = std::max(peak, std::abs(count - mean) * 7845.0 / 8223790.0);
    char peak_text[32];
    std::snprintf(peak_text, sizeof peak_text, "%.3f", peak);
    const double hertz = std::atof(frequency.c_str());
    const std::string seconds =
        duration.empty() ? std::to_string(static_cast<double>(counts.size()) / hertz) : duration;
    std::string text =
        "Origin Time       2024/03/05 12:34:00\nLat.              36.10\nLong.             140.20\n"
        "Depth. (km)       40\nMag.              5.8\n";
    text += "Station Code      " + station +
            "\nStation Lat.      36.0500\nStation Long.     140.1000\n"
            "Station Height(m) 25\n";
    text += "Record Time       " + record_time + "\nSampling Freq(Hz) " + frequency + "\nDuration Time(s)  " +
            seconds + "\nDir.              " + direction + "\nScale Factor      " + scale +
            "\nMax. Acc. (gal)   " + (max_acc.empty() ? std::string(peak_text) : max_acc) +
            "\nLast Correction   2024/03/05 12:34:21\nMemo.\n";
    for (std::size_t i = 0; i < counts.size(); ++i) {
        char word[16];
        std::snprintf(word, sizeof word, "%9d", counts[i] + offset);
        text += word;
        if (i % 8 == 7 || i + 1 == counts.size()) text += '\n';
    }
    return text;
}

namespace {

void put_word(std::string& bytes, std::uint32_t word, bool big_endian) {
    if (big_endian) word = __builtin_bswap32(word);
    bytes.append(reinterpret_cast<const char*>(&word), 4);
}

std::uint32_t bits_of(float value) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, 4);
    return bits;
}

std::string padded(const std::string& text, std::size_t width) {
    std::string field = text.substr(0, width);
    field.resize(width, ' ');
    return field;
}

// What a writer holding the value in double precision would have stored.
double decimal_of(float value) {
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    return std::stod(std::string(text, end));
}

// The header words: 70 floats, 40 integers (as their bit patterns), and the 192 characters.
struct Words {
    std::vector<float> floats = std::vector<float>(70, -12345.0f);
    std::vector<std::int32_t> ints = std::vector<std::int32_t>(40, -12345);
    std::string chars;
};

Words words_of(const SacFile& file) {
    Words words;
    words.floats[0] = file.delta;
    words.floats[5] = file.begin;
    words.floats[6] = file.begin + file.delta * static_cast<float>(file.data.size() - 1);
    for (const auto& [word, value] : file.fields) words.floats[static_cast<std::size_t>(word)] = value;
    for (int k = 0; k < 6; ++k) words.ints[static_cast<std::size_t>(k)] = file.reference[k];
    words.ints[6] = file.version;
    words.ints[9] = static_cast<std::int32_t>(file.data.size());
    words.ints[15] = file.iftype;
    words.ints[16] = file.idep;
    for (int k = 35; k < 40; ++k) words.ints[static_cast<std::size_t>(k)] = 0;
    words.ints[35] = file.leven;
    words.chars = padded(file.station, 8) + padded("-12345", 16);
    for (int k = 0; k < 21; ++k)
        words.chars += padded(k == 17 ? file.component : k == 18 ? file.network : "-12345", 8);
    return words;
}

// Version 7's footer: the double-precision copies of DELTA, B, E, O, A, T0-T9, F, EVLO, EVLA, STLO,
// STLA, then SB and SDELTA (undefined).
std::vector<double> footer_of(const Words& words) {
    static constexpr int word_of[22] = {0,  5,  6,  7,  8,  10, 11, 12, 13, 14, 15,
                                        16, 17, 18, 19, 20, 36, 35, 32, 31, -1, -1};
    std::vector<double> footer;
    for (const int word : word_of) {
        const float value = word < 0 ? -12345.0f : words.floats[static_cast<std::size_t>(word)];
        footer.push_back(value == -12345.0f ? -12345.0 : decimal_of(value));
    }
    return footer;
}

}  // namespace

std::string SacFile::binary() const {
    const Words words = words_of(*this);
    std::string bytes;
    for (const float value : words.floats) put_word(bytes, bits_of(value), big_endian);
    for (const std::int32_t value : words.ints)
        put_word(bytes, static_cast<std::uint32_t>(value), big_endian);
    bytes += words.chars;
    for (const float value : data) put_word(bytes, bits_of(value), big_endian);
    if (version == 7) {
        for (const double value : footer_of(words)) {
            std::uint64_t bits = 0;
            std::memcpy(&bits, &value, 8);
            if (big_endian) bits = __builtin_bswap64(bits);
            bytes.append(reinterpret_cast<const char*>(&bits), 8);
        }
    }
    return bytes;
}

std::string SacFile::text_form() const {
    const Words words = words_of(*this);
    std::string text;
    char field[64];
    for (std::size_t k = 0; k < words.floats.size(); ++k) {
        std::snprintf(field, sizeof field, "%#15.7g", static_cast<double>(words.floats[k]));
        text += field;
        if (k % 5 == 4) text += '\n';
    }
    for (std::size_t k = 0; k < words.ints.size(); ++k) {
        std::snprintf(field, sizeof field, "%10d", words.ints[k]);
        text += field;
        if (k % 5 == 4) text += '\n';
    }
    text += words.chars.substr(0, 24) + '\n';
    for (std::size_t at = 24; at < words.chars.size(); at += 24) text += words.chars.substr(at, 24) + '\n';
    for (std::size_t k = 0; k < data.size(); ++k) {
        std::snprintf(field, sizeof field, "%#15.7g", static_cast<double>(data[k]));
        text += field;
        if (k % 5 == 4 || k + 1 == data.size()) text += '\n';
    }
    if (version == 7) {
        for (const double value : footer_of(words)) {
            std::snprintf(field, sizeof field, "  %.17g\n", value);
            text += field;
        }
    }
    return text;
}

namespace {

void append_record(char* record, int length, void* bytes) {
    static_cast<std::string*>(bytes)->append(record, static_cast<std::size_t>(length));
}

}  // namespace

std::string mseed_channel(const std::string& station, const std::string& channel, std::int64_t start,
                          double rate, const std::vector<std::int32_t>& samples) {
    MSRecord* record = msr_init(nullptr);
    std::strncpy(record->network, "XX", sizeof record->network - 1);
    std::strncpy(record->station, station.c_str(), sizeof record->station - 1);
    std::strncpy(record->channel, channel.c_str(), sizeof record->channel - 1);
    record->dataquality = 'D';
    record->starttime = start;
    record->samprate = rate;
    record->reclen = 512;
    record->encoding = DE_STEIM2;
    record->byteorder = 1;
    std::vector<std::int32_t> copy = samples;
    record->datasamples = copy.data();
    record->numsamples = static_cast<std::int64_t>(copy.size());
    record->sampletype = 'i';
    std::string bytes;
    std::int64_t packed = 0;
    msr_pack(record, append_record, &bytes, &packed, 1, 0);
    record->datasamples = nullptr;
    msr_free(&record);
    return bytes;
}

}  // namespace smwave::testing
