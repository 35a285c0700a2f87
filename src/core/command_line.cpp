#include "core/command_line.h"

#include <cctype>
#include <vector>

#include "base/path_text.h"

namespace varlindo {
namespace {

constexpr char kKeys[] = {'D', 'V', 'R', 'P'};

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// A key starts an argument: the line, a blank, or the quote of a quoted argument is before it.
bool IsKeyAt(const std::string& line, size_t i) {
    if (i + 1 >= line.size() || line[i + 1] != '=') return false;
    if (i > 0 && !IsBlank(line[i - 1]) && line[i - 1] != '"') return false;
    const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(line[i])));
    for (char key : kKeys)
        if (letter == key) return true;
    return false;
}

bool OpensQuote(const std::string& line, size_t key) { return key > 0 && line[key - 1] == '"'; }

std::string TrimBlanks(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && IsBlank(s[b])) ++b;
    while (e > b && IsBlank(s[e - 1])) --e;
    return s.substr(b, e - b);
}

}  // namespace

CommandLineKeys ParseCommandLine(const std::string& line) {
    // Where each key starts, in line order.
    std::vector<size_t> starts;
    for (size_t i = 0; i < line.size(); ++i)
        if (IsKeyAt(line, i)) starts.push_back(i);

    CommandLineKeys keys;
    for (size_t k = 0; k < starts.size(); ++k) {
        const size_t from = starts[k] + 2;
        size_t to = line.size();
        if (k + 1 < starts.size()) to = starts[k + 1] - (OpensQuote(line, starts[k + 1]) ? 1 : 0);
        std::string value = TrimBlanks(line.substr(from, to - from));
        // "D=USB Headset" quoted as a whole: the closing quote is not part of the value, nor
        // are blanks before it.
        if (OpensQuote(line, starts[k]) && !value.empty() && value.back() == '"') {
            value.pop_back();
            value = TrimBlanks(value);
        }
        std::optional<std::string>* slot = nullptr;
        switch (std::toupper(static_cast<unsigned char>(line[starts[k]]))) {
            case 'D': slot = &keys.device; break;
            case 'V': slot = &keys.volume; break;
            case 'R': slot = &keys.program; break;
            default: slot = &keys.parameters; break;
        }
        if (*slot) continue;
        // A card name or a number is never quoted itself; a program path and parameters
        // keep their quotes.
        if (slot == &keys.device || slot == &keys.volume) value = StripQuotes(value);
        *slot = std::move(value);
    }
    keys.help = line.find('?') != std::string::npos;
    return keys;
}

}  // namespace varlindo
