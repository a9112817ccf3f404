#include "plot/report_tool.hpp"

#include <signal.h>
#include <sys/wait.h>

#include <algorithm>
#include <fstream>
#include <functional>

#include "companion/cores.hpp"
#include "companion/messages.hpp"
#include "companion/output_file.hpp"
#include "jobs/pool.hpp"
#include "plot/event_figures.hpp"
#include "plot/gnuplot_run.hpp"
#include "plot/report_page.hpp"
#include "plot/summary_figures.hpp"

namespace smwave::plot {

namespace fs = std::filesystem;
using companion::Problem;
using companion::Result;
using companion::Status;

namespace {

// One gnuplot script to run in its folder, and the figures it writes there (as NAME.part first).
struct Drawing {
    fs::path folder;
    std::string script_name;
    std::vector<std::string> figures;
    // Writes the script just before gnuplot runs it (reading the record's files while other records
    // are drawn); false, with a warning, when it cannot. Empty: the script is written already.
    std::function<bool()> prepare;
    bool drawn = false;
};

// The script of a record's summary written into `into`; false, with a warning, when the record's
// files cannot be read or the script cannot be written.
bool write_summary_script(const fs::path& record, const fs::path& into) {
    auto files = read_record_folder(record);
    std::error_code error;
    fs::create_directories(into, error);
    auto script = files && !error
                      ? companion::OutputFile::open(into / "summary.gp")
                      : companion::Result<companion::OutputFile>(Problem{into.string(), 0, error.message()});
    companion::Status problem = !files    ? companion::Status(files.problem())
                                : !script ? companion::Status(script.problem())
                                          : std::nullopt;
    if (!problem) {
        script->write(summary_script(*files, into, FigureFormat::png));
        problem = script->commit();
    }
    if (problem) companion::warn(problem->file + ": " + problem->what + "; no summary figures");
    return !problem;
}

Status write_script(const fs::path& file, const std::string& script) {
    auto out = companion::OutputFile::open(file);
    if (!out) return out.problem();
    out->write(script);
    return out->commit();
}

// Runs each drawing's gnuplot as a process of the pool; a drawing whose gnuplot succeeds has its
// figures renamed into place.
class DrawingWork : public jobs::Work {
  public:
    DrawingWork(const fs::path& gnuplot, std::vector<Drawing>& drawings)
        : gnuplot_(gnuplot), drawings_(drawings) {}

    std::optional<jobs::Launch> begin(std::size_t item) override {
        Drawing& drawing = drawings_[item];
        if (drawing.prepare && !drawing.prepare()) return std::nullopt;
        jobs::Launch launch;
        launch.program = gnuplot_;
        launch.arguments = {"-e", "part='.part'", drawing.script_name};
        launch.folder = drawing.folder;
        launch.errors = errors(drawing);
        return launch;
    }

    std::optional<jobs::Launch> next(std::size_t item, const jobs::ProcessEnd& end, bool) override {
        Drawing& drawing = drawings_[item];
        const bool done = WIFEXITED(end.wait_status) && WEXITSTATUS(end.wait_status) == 0;
        std::error_code error;
        for (const std::string& figure : drawing.figures) {
            const fs::path part = drawing.folder / (figure + ".part");
            if (done && fs::exists(part))
                fs::rename(part, drawing.folder / figure, error);
            else
                fs::remove(part, error);
        }
        drawing.drawn = done && !error;
        const std::string said = read_errors(drawing);
        if (!done) {
            companion::warn((drawing.folder / drawing.script_name).string() + ": gnuplot failed" +
                            (said.empty() ? "" : ":\n" + said));
        }
        fs::remove(errors(drawing), error);
        return std::nullopt;
    }

    void not_started(std::size_t item, const Problem& problem) override {
        companion::warn((drawings_[item].folder / drawings_[item].script_name).string() + ": " +
                        problem.what);
    }

  private:
    static fs::path errors(const Drawing& drawing) {
        return drawing.folder / (fs::path(drawing.script_name).stem().string() + "-gnuplot.txt");
    }
    static std::string read_errors(const Drawing& drawing) {
        std::ifstream in(errors(drawing));
        std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        while (!text.empty() && text.back() == '\n') text.pop_back();
        return text;
    }

    fs::path gnuplot_;
    std::vector<Drawing>& drawings_;
};

std::vector<std::string> with_extension(const std::array<const char*, 3>& names,
                                        const std::string& extension) {
    std::vector<std::string> files;
    for (const char* name : names) files.push_back(name + extension);
    return files;
}

// Runs the drawings; true when each was drawn.
Result<bool> run_drawings(std::vector<Drawing>& drawings, std::size_t jobs) {
    const auto found = find_gnuplot();
    if (!found) return found.problem();
    DrawingWork work(fs::absolute(*found), drawings);
    if (jobs == 0) jobs = companion::usable_cores();
    jobs::run_pool({drawings.size(), jobs, 0}, work);
    return std::all_of(drawings.begin(), drawings.end(), [](const Drawing& d) { return d.drawn; });
}

// The record folder's files, as paths from the event folder, in name order.
std::vector<std::string> record_files(const fs::path& event, const std::string& record) {
    std::vector<std::string> files;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(event / record, error)) {
        if (entry.is_regular_file()) files.push_back(record + "/" + entry.path().filename().string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace

Result<int> draw_summary(const fs::path& record, const fs::path& figures) {
    const auto files = read_record_folder(record);
    if (!files) return files.problem();
    const fs::path into = figures.empty() ? record : figures;
    std::error_code error;
    fs::create_directories(into, error);
    if (error) return Problem{into.string(), 0, "cannot be made: " + error.message()};
    if (auto problem = write_script(into / "summary.gp", summary_script(*files, into, FigureFormat::png)))
        return *problem;
    std::vector<Drawing> drawings = {{into, "summary.gp", with_extension(summary_figures, ".png"), {}}};
    ::signal(SIGPIPE, SIG_IGN);
    const auto all_drawn = run_drawings(drawings, 1);
    if (!all_drawn) return all_drawn.problem();
    return *all_drawn ? 0 : 1;
}

Result<int> draw_report(const fs::path& event, std::size_t jobs) {
    const auto read = read_flatfile(event / "flatfile.csv");
    if (!read) return read.problem();
    const Flatfile& flatfile = *read;
    const fs::path figures = event / "figures";
    std::error_code error;
    fs::create_directories(figures, error);
    if (error) return Problem{figures.string(), 0, "cannot be made: " + error.message()};
    std::vector<Drawing> drawings;
    std::vector<std::string> event_figures;
    for (const std::string& name : event_figure_names(flatfile)) event_figures.push_back(name + ".png");
    if (auto problem = write_script(figures / "event.gp", event_script(flatfile, FigureFormat::png)))
        return *problem;
    drawings.push_back({figures, "event.gp", event_figures, {}});
    std::vector<PageRecord> records;
    std::vector<std::size_t> record_drawing;  // the drawing of each page record, or 0 for none
    for (std::size_t row = 0; row < flatfile.rows.size(); ++row) {
        const std::string name = flatfile.field(row, "record");
        records.push_back(PageRecord{name, {}, record_files(event, name)});
        record_drawing.push_back(0);
        if (!flatfile.ok(row) || name.empty() || name.find("..") != std::string::npos) continue;
        const fs::path into = figures / name;
        record_drawing.back() = drawings.size();
        drawings.push_back({into, "summary.gp", with_extension(summary_figures, ".png"),
                            [record = event / name, into] { return write_summary_script(record, into); }});
    }
    ::signal(SIGPIPE, SIG_IGN);
    const auto all_drawn = run_drawings(drawings, jobs);
    if (!all_drawn) return all_drawn.problem();
    if (!drawings[0].drawn) event_figures.clear();
    for (auto& e : event_figures) e = "figures/" + e;
    for (std::size_t at = 0; at < records.size(); ++at) {
        const std::size_t d = record_drawing[at];
        if (d == 0 || !drawings[d].drawn) continue;
        for (const std::string& figure : drawings[d].figures)
            records[at].figures.push_back("figures/" + records[at].name + "/" + figure);
    }
    if (auto problem = write_script(event / "report.html", report_page(flatfile, event_figures, records)))
        return *problem;
    return *all_drawn ? 0 : 1;
}

}  // namespace smwave::plot
