#pragma once
// The keys of the program's command line: D= card, V= volume, R= program to run, P= its
// parameters, and "?" for help.
//
// A key is a letter and "=" in any case, at the start of the line, after a blank or tab,
// or at the start of a quoted argument ("D=USB Headset"). Its value runs from behind the
// "=" to the blank before the next key (or to the end of the line) and is trimmed, so a
// value keeps an "=" of its own: "R=C:\game.exe P=-fov=90" gives the program
// "C:\game.exe" and the parameters "-fov=90". A key given twice counts once, where it
// first appears. Quotes around a card name or a volume are dropped; a program path and
// parameters keep theirs.

#include <optional>
#include <string>

namespace varlindo {

struct CommandLineKeys {
    std::optional<std::string> device;      // D=
    std::optional<std::string> volume;      // V=
    std::optional<std::string> program;     // R=
    std::optional<std::string> parameters;  // P=
    bool help = false;                      // "?" anywhere in the line
};

CommandLineKeys ParseCommandLine(const std::string& line);

}  // namespace varlindo
