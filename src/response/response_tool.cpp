#include "response/response_tool.hpp"

#include <thread>

#include "companion/output_file.hpp"
#include "companion/tool.hpp"
#include "response/record.hpp"
#include "response/response_file.hpp"
#include "response/spectrum.hpp"

namespace smwave::response {

int run_response(const Settings& settings) {
    if (auto problem = check_settings(settings)) companion::refuse(*problem);
    const std::filesystem::path output =
        settings.output.empty() ? default_output(settings.input) : settings.output;
    const std::filesystem::path inputs[] = {settings.input};
    if (auto problem = companion::refuse_overwriting_inputs(output, inputs)) companion::refuse(*problem);

    auto record = load_record(settings.input, settings.dt);
    if (!record) companion::refuse(record.problem());
    const std::vector<SpectrumRow> rows = response_spectra(*record, settings.dampings, periods_of(settings),
                                                           std::thread::hardware_concurrency());
    if (!all_finite(rows)) {
        companion::refuse({settings.input.string(), 0,
                           "the responses overflow the range of numbers: the record's values or interval are "
                           "far too large"});
    }

    auto file = companion::OutputFile::open(output);
    if (!file) companion::refuse(file.problem());
    file->write(response_text(rows, settings.input.string(), *record, settings.units));
    if (auto problem = file->commit()) companion::refuse(*problem);
    return 0;
}

}  // namespace smwave::response
