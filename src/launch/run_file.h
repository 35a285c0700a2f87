#pragma once
// Program starts and the path operations that need the file system or the shell. The
// path operations on text alone (FileNameOfPath, QuoteIfSpaces ...) are in
// base/path_text.h. Nothing here keeps state or reports an error: an empty result is the
// only sign that something failed.

#include <string>

#include "platform/ports.h"

namespace varlindo {

class RunFile {
public:
    explicit RunFile(Platform& platform, std::string app_title = "Varlindo")
        : platform_(platform), app_title_(std::move(app_title)) {}

    // The path unchanged when it names a folder or nothing; else the folder of the file.
    std::string FolderOfPath(const std::string& path);
    std::string ShortPathOf(const std::string& path);

    std::string FindExecutableFor(const std::string& file);
    std::string GetAssociatedProgram(const std::string& file);
    void OpenUrlInBrowser(const std::string& url, int window_style);

    // Starts `program` (a program, a batch file, a shortcut or a document, which is opened
    // with its associated program) with `parameters`, from the program's own folder.
    // Returns the command line that was started ("" when nothing could be started).
    std::string StartProgramWithParameters(const std::string& program, const std::string& parameters);

private:
    // Placeholder files live in the user's temporary folder.
    std::string PlaceholderPath(const std::string& name) const;

    Platform& platform_;
    std::string app_title_;
};

}  // namespace varlindo
