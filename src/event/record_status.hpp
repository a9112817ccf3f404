#pragma once
// A record's result in the event: a status, a reason code and a message. The words the flatfile shows
// for them are given here and nowhere else.
#include <optional>
#include <string>
#include <string_view>

namespace smwave::event {

enum class Status { ok, failed, refused };

enum class Reason {
    none,
    conversion_refused,   // smwave-table refused the record's files
    conversion_failed,    // smwave-table ended otherwise
    not_physical_units,   // the table is not in cm/s/s (counts without a response)
    smwave_refused,       // smwave refused the table or the answers (status 2)
    smwave_aborted,       // smwave's fatal input/output report, or another end
    response_failed,      // smwave-response did not give the spectra
    measures_failed,      // smwave-measures did not give the measures
    output_unreadable,    // a file a program wrote cannot be read back
    killed_timeout,       // still running after --timeout
    interrupted,          // the event was interrupted
    not_started,          // a program could not be started
    no_event,             // no origin: no distances
};

struct RecordStatus {
    Status status = Status::ok;
    Reason reason = Reason::none;
    std::string message;
};

std::string_view status_word(Status status);
std::string_view reason_word(Reason reason);

// The status or reason a word stands for, or nothing.
std::optional<Status> status_named(std::string_view word);
std::optional<Reason> reason_named(std::string_view word);

}  // namespace smwave::event
