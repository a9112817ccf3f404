#pragma once
// The answers file of a batch: one set of console answers for smwave, served to every record.
//
// Its first line (the table's name) is replaced for each record by the short name under which the
// record's folder reaches its table. The dialogue is followed through the answers, with smwave's rules
// for its reads, to learn the two things the batch needs: the name of the waveform file each run
// writes (the line after the skip answer, or later when the band-pass and cut answers add lines), and
// whether the run integrates or differentiates (so its waveform is no longer an acceleration).
//
//     auto answers = read_answers("answers.txt");
//     if (!answers) return answers.problem();
//     std::string for_record = answers_for_table(*answers, "table");
#include <filesystem>
#include <string>
#include <string_view>

#include "companion/problem.hpp"

namespace smwave::batch {

struct Answers {
    std::string after_first_line;   // every answer after the table's name, as the file gives them
    std::string waveform_name;      // the waveform file's name as smwave opens it
    bool changes_quantity = false;  // integration, double integration or differentiation
};

// Follows the dialogue through `text`; a Problem (naming `name` and the line) when the answers end
// before the waveform file's name, an integer answer is no integer, or the waveform file's name is not
// a plain file name that stays inside the record's folder.
companion::Result<Answers> parse_answers(std::string_view text, const std::string& name);

// Reads and parses an answers file.
companion::Result<Answers> read_answers(const std::filesystem::path& file);

// The answers for one record: `table_name` as the first line, then the other answers.
std::string answers_for_table(const Answers& answers, std::string_view table_name);

// Names a record folder holds besides smwave's own files; the waveform file may take none of them.
inline constexpr std::string_view table_link_name = "table";
inline constexpr std::string_view console_name = "console.txt";
inline constexpr std::string_view errors_name = "errors.txt";
inline constexpr std::string_view answers_name = "answers.txt";
inline constexpr std::string_view finished_marker_name = "finished.csv";
inline constexpr std::string_view response_name = "response.csv";

}  // namespace smwave::batch
