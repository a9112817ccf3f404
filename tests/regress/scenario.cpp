#include "regress/scenario.hpp"

#include "regress/answer_text.hpp"
#include "regress/random_source.hpp"
#include "regress/table_text.hpp"

namespace smwave::regress {

namespace {

// The answers of one dialogue, built question by question; a refused answer or the chosen early end
// of the input closes it (whatever follows is never read).
class Dialogue {
  public:
    explicit Dialogue(RandomSource& random) : random_(random) {
        // Where the input ends early, counted in answers (most runs get them all).
        if (random_.percent(8)) ends_after_ = static_cast<int>(random_.between(0, 12));
    }

    bool open() const { return open_; }

    // An integer question answered with `value`; gives what smwave stores (0 when a null answer keeps
    // the starting value), or nothing once the dialogue is closed.
    std::optional<std::int32_t> integer(std::int32_t value) {
        if (!take_turn()) return std::nullopt;
        const IntegerAnswer answer = integer_answer(random_, value);
        text_ += answer.text;
        if (answer.fatal) return close();
        return answer.stored.value_or(0);
    }
    bool doubles(const double* values, int count) {
        if (!take_turn()) return false;
        const DoublesAnswer answer = doubles_answer(random_, values, count);
        text_ += answer.text;
        if (answer.fatal) close();
        return open_;
    }
    bool line(const std::string& text) {
        if (!take_turn()) return false;
        text_ += text + "\n";
        return true;
    }
    std::string text() && { return std::move(text_); }

  private:
    bool take_turn() {
        if (!open_) return false;
        if (answered_++ == ends_after_) {
            close();
            if (random_.percent(30)) text_ += random_.pick<const char*>({"  ", "1", ","});  // a last line without its end
            return false;
        }
        return true;
    }
    std::nullopt_t close() {
        open_ = false;
        return std::nullopt;
    }

    RandomSource& random_;
    std::string text_;
    bool open_ = true;
    int answered_ = 0;
    int ends_after_ = -1;
};

std::int32_t yes_no(RandomSource& random, int yes_percent) {
    if (random.percent(yes_percent)) return 1;
    return random.pick<std::int32_t>({0, 0, 0, 2, -1, 7});
}

// Band-pass corners of every kind: ordered, equal, negative, out of order, beyond Nyquist.
void corners(RandomSource& random, double out[4]) {
    static const double kinds[][4] = {{0.1, 0.2, 20, 25},  {0.05, 0.1, 10, 12}, {0.5, 0.5, 8, 8},
                                      {-0.1, 0.2, 20, 25}, {25, 20, 0.2, 0.1},  {0.1, 0.2, 200, 400},
                                      {0, 0, 1e9, 1e9},    {1, 2, 3, 4},        {0.2, 0.1, 20, 25},
                                      {0.1, 0.2, 20, 25},  {0.3, 0.6, 4, 9},    {0.02, 0.05, 1, 1.5}};
    const auto& kind = kinds[random.between(0, std::size(kinds) - 1)];
    const double scale = random.percent(70) ? 1.0 : 0.5 + random.unit();
    for (int i = 0; i < 4; ++i) out[i] = kind[i] * scale;
}

}  // namespace

Scenario make_scenario(std::uint64_t seed, std::uint64_t number) {
    RandomSource random(seed * 0x100000001B3ull ^ (number + 1) * 0x9E3779B97F4A7C15ull);
    Scenario scenario;
    const TableText table = table_text(random);
    scenario.table = table.text;
    scenario.summary = table.summary;
    const bool missing_table = random.percent(2);
    scenario.table_name = random.pick<const char*>({"t.txt", "table.txt", "rec 1.txt", "T"});
    if (random.percent(3)) scenario.table_name = std::string(90, 'q');

    Dialogue dialogue(random);
    dialogue.line(missing_table ? "missing.txt" : scenario.table_name);
    if (dialogue.integer(yes_no(random, 25)) == 1) {
        for (int component = 0; component < 3; ++component) dialogue.integer(yes_no(random, 50));
    }
    if (dialogue.integer(yes_no(random, 50)) == 1) {
        double band[4];
        corners(random, band);
        dialogue.doubles(band, 4);
    }
    scenario.integration = dialogue.integer(random.pick<std::int32_t>({0, 1, 2, 3, 1, 2, 4, -1}));
    if (dialogue.integer(yes_no(random, 50)) == 1) {
        // Starts inside, before and past the record; durations inside, across and past it.
        const double start = random.pick<double>({0, 0, 1.5, 5, -0.05, -3, 1e4, 0.001, 1e300});
        const double duration = random.pick<double>({1, 10, 20, 0.5, 1e3, 0, -1, 1e6, 2e-3});
        dialogue.doubles(&start, 1);
        dialogue.doubles(&duration, 1);
    }
    dialogue.integer(random.pick<std::int32_t>({0, 0, 1, 4, 9, 100000, -1}));
    if (!dialogue.line(file_name(random))) scenario.integration.reset();
    if (random.percent(85)) dialogue.line("");  // the final Enter
    scenario.answers = std::move(dialogue).text();
    scenario.summary += ", " + std::to_string(scenario.answers.size()) + " bytes of answers";
    return scenario;
}

}  // namespace smwave::regress
