#pragma once
// The processing of an event's records, one folder each, as the jobs pool's items. A record runs:
//
//     smwave-table  -> table.txt (mean removed, tapered, in cm/s/s)
//     smwave        -> acceleration.csv, velocity.csv, displacement.csv (integration 0, 1, 2), each run
//                      with its answers-*.txt, console-*.txt, errors-*.txt and amp3-*.csv
//     smwave-response --rotd -> spectra.csv (the log grid) and psa.csv (the flatfile's periods)
//     smwave-measures       -> measures.csv
//
// Any step that does not succeed ends the record with its status; the others go on.
#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "event/record_status.hpp"
#include "event/scan.hpp"
#include "jobs/pool.hpp"
#include "jobs/progress.hpp"

namespace smwave::event {

struct Programs {
    std::filesystem::path table, smwave, response, measures;
};

struct ProcessingSettings {
    std::array<double, 4> band{0.05, 0.1, 25, 30};  // Hz
    double taper = 0.05;
    std::vector<std::string> conversion_options;  // passed to smwave-table as they are
    std::vector<double> periods;                  // s
    double damping = 0.05;
    // Threads of each record's smwave-response and smwave-measures (0: their own default, one per
    // core). The values do not depend on it, so a record's identity leaves it out.
    unsigned threads_per_record = 0;
};

// What became of one record.
struct RecordRun {
    RecordStatus status;
    std::array<double, 4> band{};  // the corners used (after the Nyquist rule)
    double interval = 0;           // the table's sampling interval, s
    std::string correction;        // the conversion's correction to physical units
    bool finished = false;         // every step ran
};

// The band for a record sampled every `interval` seconds: `band`, except that for a Nyquist frequency
// below 33.4 Hz the upper corners become 0.75 and 0.9 of it.
std::array<double, 4> band_for(const std::array<double, 4>& band, double interval);

// Names the flatfile reads in a record's folder.
inline constexpr const char* measures_file = "measures.csv";
inline constexpr const char* psa_file = "psa.csv";

class RecordWork : public jobs::Work {
  public:
    // With `resume`, records whose finished marker matches their files and settings are kept. Each
    // record's end is shown on `progress`.
    RecordWork(const Download& download, const std::filesystem::path& out, const Programs& programs,
               const ProcessingSettings& settings, bool resume, jobs::Progress& progress);

    std::optional<jobs::Launch> begin(std::size_t item) override;
    std::optional<jobs::Launch> next(std::size_t item, const jobs::ProcessEnd& end, bool stopping) override;
    void not_started(std::size_t item, const companion::Problem& problem) override;
    void tick() override { progress_.tick(); }

    // Every record's run; records the pool never began are marked interrupted. The records begun get
    // their finished markers (or lose them) here.
    std::vector<RecordRun> runs(const jobs::PoolEnd& end);

  private:
    enum class Step { convert, acceleration, velocity, displacement, spectra, periods, measures };

    static std::string errors_name(Step step);
    std::filesystem::path folder(std::size_t item) const;
    jobs::Launch launch_of(std::size_t item, Step step);
    bool step_succeeded(std::size_t item, Step step, const jobs::ProcessEnd& end);
    std::optional<jobs::Launch> first_launch(std::size_t item);
    std::optional<jobs::Launch> next_launch(std::size_t item, const jobs::ProcessEnd& end, bool stopping);
    // Shows the record's end on the progress line; `kept` for one kept from an earlier run.
    void ended(std::size_t item, bool kept);
    bool table_converted(std::size_t item);
    void fail(std::size_t item, Status status, Reason reason, std::string message);

    const Download& download_;
    std::filesystem::path out_;
    Programs programs_;
    ProcessingSettings settings_;
    bool resume_;
    std::vector<std::string> identities_;
    std::vector<RecordRun> runs_;
    std::vector<Step> steps_;
    jobs::Progress& progress_;
};

}  // namespace smwave::event
