#include "event/record_status.hpp"

namespace smwave::event {

std::string_view status_word(Status status) {
    switch (status) {
        case Status::ok: return "ok";
        case Status::failed: return "failed";
        case Status::refused: return "refused";
    }
    return "";
}

std::string_view reason_word(Reason reason) {
    switch (reason) {
        case Reason::none: return "";
        case Reason::conversion_refused: return "conversion_refused";
        case Reason::conversion_failed: return "conversion_failed";
        case Reason::not_physical_units: return "not_physical_units";
        case Reason::smwave_refused: return "smwave_refused";
        case Reason::smwave_aborted: return "smwave_aborted";
        case Reason::response_failed: return "response_failed";
        case Reason::measures_failed: return "measures_failed";
        case Reason::output_unreadable: return "output_unreadable";
        case Reason::killed_timeout: return "killed_timeout";
        case Reason::interrupted: return "interrupted";
        case Reason::not_started: return "not_started";
        case Reason::no_event: return "no_event";
    }
    return "";
}

std::optional<Status> status_named(std::string_view word) {
    for (const Status status : {Status::ok, Status::failed, Status::refused}) {
        if (status_word(status) == word) return status;
    }
    return std::nullopt;
}

std::optional<Reason> reason_named(std::string_view word) {
    for (int at = 0; at <= static_cast<int>(Reason::no_event); ++at) {
        if (reason_word(static_cast<Reason>(at)) == word) return static_cast<Reason>(at);
    }
    return std::nullopt;
}

}  // namespace smwave::event
