#include "table/mseed_reader.hpp"

#include <libmseed.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <memory>

#include "companion/number_text.hpp"
#include "table/civil_time.hpp"

namespace smwave::table {

using companion::Problem;
using companion::Result;

namespace {

// More samples than this in one file are refused before they are decoded.
constexpr std::int64_t largest_total = 50'000'000;

// libmseed prints its own diagnostics; the reader reports problems itself.
void discard_message(char*) {}

void silence_libmseed() { ms_loginit(discard_message, nullptr, discard_message, nullptr); }

struct RecordFree {
    void operator()(MSRecord* record) const { msr_free(&record); }
};
using RecordPointer = std::unique_ptr<MSRecord, RecordFree>;

struct ListFree {
    void operator()(MSTraceList* list) const { mstl_free(&list, 0); }
};
using ListPointer = std::unique_ptr<MSTraceList, ListFree>;

// Bytes a sample takes in an uncompressed encoding, or 0 for the compressed ones.
int uncompressed_sample_size(int encoding) {
    switch (encoding) {
        case DE_ASCII:
            return 1;
        case DE_INT16:
            return 2;
        case DE_INT32:
            return 4;
        case DE_FLOAT32:
            return 4;
        case DE_FLOAT64:
            return 8;
        default:
            return 0;
    }
}

// Whether the record's samples lie inside it: libmseed copies uncompressed samples from the data offset
// without comparing their count with the record's length.
bool samples_fit_record(const MSRecord& header) {
    if (header.samplecnt == 0) return true;
    const std::int64_t data_offset = header.fsdh != nullptr ? header.fsdh->data_offset : 0;
    if (data_offset < 48 || data_offset >= header.reclen) return false;
    const int size = uncompressed_sample_size(header.encoding);
    return header.samplecnt * size <= header.reclen - data_offset;
}

// Parses the record at `offset`: its header first, checked, then its samples.
Result<RecordPointer> parse_record(std::string& buffer, std::size_t offset, const std::string& name,
                                   std::int64_t& total) {
    const auto at_byte = [&](std::string what) { return Problem{name, offset, std::move(what), true}; };
    char* const start = buffer.data() + offset;
    const int available = static_cast<int>(std::min<std::size_t>(buffer.size() - offset, INT_MAX));
    MSRecord* raw = nullptr;
    int code = msr_parse(start, available, &raw, 0, 0, 0);
    RecordPointer header(raw);
    if (code > 0)
        return at_byte("the file ends within a record (" + std::to_string(code) + " more bytes needed)");
    if (code < 0 || !header) return at_byte(std::string("not a miniSEED record: ") + ms_errorstr(code));
    if (header->reclen <= 0 || header->reclen > available)
        return at_byte("the record length runs past the end of the file");
    if (header->samplecnt < 0 || header->samplecnt > 2 * static_cast<std::int64_t>(header->reclen)) {
        return at_byte("the record claims " + std::to_string(header->samplecnt) + " samples in " +
                       std::to_string(header->reclen) + " bytes");
    }
    if (!samples_fit_record(*header)) return at_byte("the record's samples run past its end");
    total += header->samplecnt;
    if (total > largest_total)
        return at_byte("more than " + std::to_string(largest_total) + " samples in the file");
    if (header->samplecnt > 0 && !(header->samprate > 0 && std::isfinite(header->samprate))) {
        return at_byte("the record's sample rate is not a positive number");
    }
    raw = nullptr;
    code = msr_parse(start, header->reclen, &raw, header->reclen, 1, 0);
    RecordPointer record(raw);
    if (code != 0 || !record)
        return at_byte(std::string("the record's samples cannot be decoded: ") + ms_errorstr(code));
    if (record->numsamples != record->samplecnt ||
        (record->numsamples > 0 && record->datasamples == nullptr)) {
        return at_byte("decoded " + std::to_string(record->numsamples) + " samples of the " +
                       std::to_string(record->samplecnt) + " the record header gives");
    }
    return record;
}

std::string number_text(double value) {
    std::string text;
    companion::append_shortest(text, value);
    return text;
}

std::string seconds_text(double seconds) { return number_text(seconds) + " s"; }

// Joins the segments of one channel, refusing (or with `fill_gaps` filling) what lies between them.
Result<Component> join_segments(const MSTraceID& id, const std::string& name, bool fill_gaps,
                                std::vector<std::string>& warnings) {
    std::vector<const MSTraceSeg*> segments;
    for (const MSTraceSeg* segment = id.first; segment != nullptr; segment = segment->next)
        segments.push_back(segment);
    std::stable_sort(segments.begin(), segments.end(),
                     [](const MSTraceSeg* a, const MSTraceSeg* b) { return a->starttime < b->starttime; });
    Component component;
    component.network = id.network;
    component.station = id.station;
    component.location = id.location;
    component.name = id.channel;
    component.units = "counts";
    component.source = name;
    const std::string channel =
        std::string(id.network) + "." + id.station + "." + id.location + "." + id.channel;
    const double rate = segments.front()->samprate;
    component.interval = 1.0 / rate;
    component.start = segments.front()->starttime;
    std::int64_t filled = 0;
    for (std::size_t k = 0; k < segments.size(); ++k) {
        const MSTraceSeg& segment = *segments[k];
        if (k > 0) {
            const MSTraceSeg& before = *segments[k - 1];
            const std::string when = format_utc(segment.starttime);
            if (!MS_ISRATETOLERABLE(segment.samprate, rate)) {
                return Problem{name, 0,
                               channel + ": the sample rate changes from " + number_text(rate) + " Hz to " +
                                   number_text(segment.samprate) + " Hz at " + when};
            }
            const double period = 1e6 / rate;
            const double step = static_cast<double>(segment.starttime) - static_cast<double>(before.endtime);
            const double missing = std::round(step / period) - 1;
            if (missing < 0)
                return Problem{
                    name, 0,
                    channel + ": the data overlap by " + seconds_text((period - step) / 1e6) + " at " + when};
            if (missing > 0 && !fill_gaps) {
                return Problem{name, 0,
                               channel + ": a gap of " + seconds_text((step - period) / 1e6) + " before " +
                                   when + " (fill it with zeros with --fill-gaps)"};
            }
            if (missing + static_cast<double>(component.samples.size()) >
                static_cast<double>(largest_total)) {
                return Problem{name, 0, channel + ": the gap before " + when + " is too long to fill"};
            }
            component.samples.resize(component.samples.size() + static_cast<std::size_t>(missing), 0.0);
            filled += static_cast<std::int64_t>(missing);
        }
        if (segment.numsamples > 0) {
            auto* mutable_segment = const_cast<MSTraceSeg*>(&segment);
            if (mstl_convertsamples(mutable_segment, 'd', 0) != 0 || segment.datasamples == nullptr) {
                return Problem{name, 0, channel + ": the samples cannot be converted to numbers"};
            }
            const auto* values = static_cast<const double*>(segment.datasamples);
            if (!std::all_of(values, values + segment.numsamples,
                             [](double value) { return std::isfinite(value); })) {
                return Problem{name, 0,
                               channel + ": a sample that is not a finite number in the data from " +
                                   format_utc(segment.starttime)};
            }
            component.samples.insert(component.samples.end(), values, values + segment.numsamples);
        }
    }
    if (filled > 0) {
        warnings.push_back(name + ": " + channel + ": " + std::to_string(filled) +
                           " samples of gaps filled with zeros");
    }
    return component;
}

}  // namespace

bool looks_like_mseed(std::string_view content) {
    if (content.size() < 48) return false;
    silence_libmseed();
    return ms_detect(content.data(), static_cast<int>(std::min<std::size_t>(content.size(), 1 << 16))) >= 0;
}

Result<Reading> read_mseed(std::string_view content, const std::string& name, bool fill_gaps) {
    silence_libmseed();
    std::string buffer(content);  // libmseed takes records by non-const pointer
    ListPointer list(mstl_init(nullptr));
    if (!list) return Problem{name, 0, "out of memory"};
    std::int64_t total = 0;
    for (std::size_t offset = 0; offset < buffer.size();) {
        auto record = parse_record(buffer, offset, name, total);
        if (!record) return record.problem();
        const std::size_t length = static_cast<std::size_t>((*record)->reclen);
        if ((*record)->sampletype != 'a' && (*record)->numsamples > 0) {
            if (mstl_addmsr(list.get(), record->get(), 0, 1, -1.0, -1.0) == nullptr) {
                return Problem{name, offset, "libmseed could not add the record to its channel", true};
            }
        }
        offset += length;
    }
    Reading reading;
    for (const MSTraceID* id = list->traces; id != nullptr; id = id->next) {
        auto component = join_segments(*id, name, fill_gaps, reading.warnings);
        if (!component) return component.problem();
        reading.components.push_back(std::move(*component));
    }
    if (reading.components.empty()) return Problem{name, 0, "no data records in the file"};
    return reading;
}

}  // namespace smwave::table
