#include "core/command_line.h"

#include <cctype>
#include <vector>

#include "base/text.h"

namespace varlindo {
namespace {

constexpr char kKeys[] = {'D', 'V', 'R', 'P'};

bool IsKeyAt(const std::string& line, size_t i) {
    if (i + 1 >= line.size() || line[i + 1] != '=') return false;
    if (i > 0 && line[i - 1] != ' ') return false;
    const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(line[i])));
    for (char key : kKeys)
        if (letter == key) return true;
    return false;
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
        const size_t to = k + 1 < starts.size() ? starts[k + 1] : line.size();
        std::string value = text::Trim(line.substr(from, to - from));
        std::optional<std::string>* slot = nullptr;
        switch (std::toupper(static_cast<unsigned char>(line[starts[k]]))) {
            case 'D': slot = &keys.device; break;
            case 'V': slot = &keys.volume; break;
            case 'R': slot = &keys.program; break;
            default: slot = &keys.parameters; break;
        }
        if (!*slot) *slot = std::move(value);
    }
    keys.help = text::Contains(line, "?");
    return keys;
}

}  // namespace varlindo
