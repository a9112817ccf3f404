#include "regress/answer_text.hpp"

#include <charconv>
#include <cmath>
#include <limits>

namespace smwave::regress {

namespace {

// What follows a value on its line and is dropped with the rest of the line (never a continuation
// of the number: no digit, point, exponent letter, sign or star right after it).
std::string trailing_text(RandomSource& random) {
    switch (random.between(0, 9)) {
        case 0: return " 9";
        case 1: return ",3";
        case 2: return " abc";
        case 3: return "/x";
        case 4: return "  ";
        case 5: return "\t";
        case 6: return "xyz";
        case 7: return ", , 5";
        case 8: return "\r";
        default: return "";
    }
}

std::string leading_lines(RandomSource& random) {
    if (!random.percent(10)) return "";
    return random.pick<const char*>({"\n", "\n\n", "   \n", "\t\n \n"});
}

std::string digits_of(std::int64_t value) { return std::to_string(value); }

}  // namespace

IntegerAnswer integer_answer(RandomSource& random, std::int32_t value) {
    const int form = static_cast<int>(random.between(0, 99));
    std::string lead = leading_lines(random);
    if (form < 6) {  // null forms: the variable keeps what it holds
        return {lead + random.pick<const char*>({",", "/", "3*", " , 7", "3* 7", "/ 1"}) + "\n", std::nullopt};
    }
    if (form < 9) {  // refused forms
        return {lead + random.pick<const char*>({"y", "1.0", "1e0", "'1'", "*", "0*1", "-2*1", ".", "1d2", "yes"}) +
                    "\n",
                std::nullopt, true};
    }
    if (form < 12) {  // beyond 32 bits: stored as the smallest 32-bit integer
        const char* huge = random.pick<const char*>(
            {"99999999999", "-99999999999", "2147483648", "4294967297", "123456789012345678901234567890"});
        return {lead + huge + trailing_text(random) + "\n", std::numeric_limits<std::int32_t>::min()};
    }
    std::string number = digits_of(value);
    if (form < 30) {
        if (value >= 0) number = random.pick<const char*>({"+", "0", "00", "+00"}) + number;
        else number = "-00" + number.substr(1);
    } else if (form < 40) {
        number = digits_of(random.between(1, 12)) + "*" + number;
    } else if (form < 48) {
        number = random.pick<const char*>({" ", "  ", "\t", " \t "}) + number;
    }
    return {lead + number + trailing_text(random) + "\n", value};
}

std::string double_text(RandomSource& random, double value) {
    char text[400];  // room for any double in fixed notation with six decimals
    const int form = static_cast<int>(random.between(0, 9));
    std::string word;
    if (form < 4) {
        word.assign(text, std::to_chars(text, text + sizeof text, value).ptr);
    } else if (form < 7) {
        word.assign(text, std::to_chars(text, text + sizeof text, value, std::chars_format::scientific,
                                        static_cast<int>(random.between(1, 8)))
                              .ptr);
        const std::size_t e = word.find('e');
        if (e != std::string::npos) word[e] = random.pick<char>({'e', 'E', 'd', 'D'});
        if (random.percent(30) && e != std::string::npos && word[e + 1] == '-') word.erase(e, 1);  // 1.5-2
    } else {
        word.assign(text, std::to_chars(text, text + sizeof text, value, std::chars_format::fixed,
                                        static_cast<int>(random.between(0, 6)))
                              .ptr);
        if (word.rfind("0.", 0) == 0 && random.percent(50)) word.erase(0, 1);  // .5
        if (word.find('.') == std::string::npos && random.percent(40)) word += '.';  // 5.
    }
    if (value >= 0 && random.percent(15)) word = "+" + word;
    return word;
}

DoublesAnswer doubles_answer(RandomSource& random, const double* values, int count) {
    DoublesAnswer answer;
    answer.text = leading_lines(random);
    if (random.percent(3)) {
        answer.text += random.pick<const char*>({"abc", "'0.1'", "1e", "---", "*", "0*3", "1.5e+"}) + std::string("\n");
        answer.fatal = true;
        return answer;
    }
    if (count > 1 && random.percent(8)) {  // a repeat count over the first values
        const int repeated = static_cast<int>(random.between(2, count));
        answer.text += std::to_string(repeated) + "*" + double_text(random, values[0]);
        for (int i = repeated; i < count; ++i) answer.text += " " + double_text(random, values[i]);
        answer.text += trailing_text(random) + "\n";
        return answer;
    }
    for (int i = 0; i < count; ++i) {
        if (random.percent(4)) {  // an early slash leaves the rest unchanged
            answer.text += " /";
            break;
        }
        const bool null_item = random.percent(4);
        if (!null_item) answer.text += double_text(random, values[i]);
        if (i + 1 < count) {
            answer.text += null_item || random.percent(30) ? std::string(random.pick<const char*>({",", ", ", " ,"}))
                           : random.percent(25) ? std::string("\n")
                                                : std::string(random.pick<const char*>({" ", "  ", "\t"}));
        } else if (null_item) {
            answer.text += ",";
        }
    }
    if (random.percent(10)) answer.text += " 30 40";
    answer.text += trailing_text(random) + "\n";
    return answer;
}

std::string file_name(RandomSource& random) {
    const int form = static_cast<int>(random.between(0, 99));
    if (form < 3) return "";                                  // an empty line: a null file name
    if (form < 5) return std::string(300, 'n') + ".csv";      // longer than a file name may be
    std::string name;
    const int length = form < 15 ? static_cast<int>(random.between(86, 120)) : static_cast<int>(random.between(1, 24));
    static constexpr char letters[] = "abcdefghijklmnopqrstuvwxyz0123456789_-.";
    while (static_cast<int>(name.size()) < length) name += letters[random.between(0, sizeof letters - 2)];
    if (name == "." || name == ".." || name.find_first_not_of('.') == std::string::npos) name = "w" + name;
    if (random.percent(8)) name.insert(name.size() / 2, " ");
    if (random.percent(8)) name += "   ";
    return name;
}

}  // namespace smwave::regress
