#include "response/response_tool.hpp"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>

#include "companion/cores.hpp"
#include "companion/messages.hpp"
#include "companion/output_file.hpp"
#include "response/record.hpp"
#include "response/response_file.hpp"
#include "response/rotated_spectrum.hpp"
#include "response/spectrum.hpp"

namespace smwave::response {

namespace {

// The share of the work done, on standard error when it is a terminal, at most once a second.
class TerminalProgress {
  public:
    Progress reporter() {
        if (!::isatty(STDERR_FILENO)) return {};
        return [this](double share) {
            const auto now = std::chrono::steady_clock::now();
            if (now - last_ < std::chrono::seconds(1)) return;
            last_ = now;
            shown_ = true;
            std::fprintf(stderr, "\rsmwave-response: %3.0f %% of the oscillators", 100 * share);
        };
    }
    // Clears the line it wrote on.
    ~TerminalProgress() {
        if (shown_) std::fprintf(stderr, "\r%*s\r", 45, "");
    }

  private:
    std::chrono::steady_clock::time_point last_ = std::chrono::steady_clock::now();
    bool shown_ = false;
};

}  // namespace

companion::Result<int> run_response(const Settings& settings) {
    if (auto problem = check_settings(settings)) return *problem;
    const std::filesystem::path output =
        settings.output.empty() ? default_output(settings.input) : settings.output;
    const std::filesystem::path inputs[] = {settings.input};
    if (auto problem = companion::refuse_overwriting_inputs(output, inputs)) return *problem;

    auto record = load_record(settings.input, settings.dt);
    if (!record) return record.problem();
    const unsigned threads = settings.threads > 0 ? settings.threads : companion::usable_cores();
    std::vector<SpectrumRow> rows;
    std::vector<RotatedRow> rotated;
    {
        TerminalProgress progress;
        if (settings.rotd) {
            auto spectra = rotated_spectra(*record, horizontal_pair(settings.horizontals), settings.dampings,
                                           periods_of(settings), threads, progress.reporter());
            rows = std::move(spectra.rows);
            rotated = std::move(spectra.rotated);
        } else {
            rows = response_spectra(*record, settings.dampings, periods_of(settings), threads, progress.reporter());
        }
    }
    const auto rotated_finite = [&] {
        return std::all_of(rotated.begin(), rotated.end(), [](const RotatedRow& row) {
            return std::isfinite(row.sd.rotd100) && std::isfinite(row.psa.rotd100) &&
                   std::isfinite(row.psa.rotd00);
        });
    };
    if (!all_finite(rows) || !rotated_finite()) {
        return companion::Problem{settings.input.string(), 0,
                                  "the responses overflow the range of numbers: the record's values or "
                                  "interval are far too large"};
    }

    auto file = companion::OutputFile::open(output);
    if (!file) return file.problem();
    file->write(response_text(rows, settings.input.string(), *record, settings.units, rotated));
    if (auto problem = file->commit()) return *problem;
    return 0;
}

}  // namespace smwave::response
