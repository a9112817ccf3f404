#include "batch/record_folder.hpp"

#include "batch/answers.hpp"
#include "companion/output_file.hpp"
#include "companion/suite_file.hpp"

namespace smwave::batch {

namespace fs = std::filesystem;
using companion::Problem;

namespace {

companion::Status write_text(const fs::path& file, const std::string& text) {
    auto out = companion::OutputFile::open(file);
    if (!out) return out.problem();
    out->write(text);
    return out->commit();
}

companion::Status reach_table(const fs::path& link, const fs::path& table) {
    std::error_code error;
    fs::remove(link, error);
    const fs::path target = fs::absolute(table, error);
    if (!error) fs::create_symlink(target, link, error);
    if (!error) return std::nullopt;
    fs::copy_file(table, link, fs::copy_options::overwrite_existing, error);
    if (error)
        return Problem{link.string(), 0, "cannot reach the table " + table.string() + ": " + error.message()};
    return std::nullopt;
}

}  // namespace

companion::Status prepare_record_folder(const fs::path& folder, const fs::path& table,
                                        const std::string& answers) {
    std::error_code error;
    fs::create_directories(folder, error);
    if (error) return Problem{folder.string(), 0, "cannot make the record's folder: " + error.message()};
    fs::remove(folder / finished_marker_name, error);
    if (error) return Problem{folder.string(), 0, "cannot remove the earlier result: " + error.message()};
    if (auto problem = write_text(folder / answers_name, answers)) return problem;
    return reach_table(folder / table_link_name, table);
}

std::optional<Row> finished_row(const fs::path& folder, const std::string& answers, const std::string& table,
                                std::size_t columns) {
    std::size_t kept_columns = 0;
    auto rows = read_summary(folder / finished_marker_name, kept_columns);
    if (!rows || rows->size() != 1 || kept_columns != columns || rows->front()[table_column] != table) {
        return std::nullopt;
    }
    auto kept_answers = companion::read_whole_file(folder / answers_name);
    if (!kept_answers || *kept_answers != answers) return std::nullopt;
    return rows->front();
}

companion::Status mark_finished(const fs::path& folder, const Row& row) {
    const std::string& status = row[status_column];
    if (status != "ok" && status != "refused") return std::nullopt;
    return write_text(folder / finished_marker_name, summary_text({row}, row.size()));
}

}  // namespace smwave::batch
