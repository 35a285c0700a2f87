#pragma once
// Path operations and program starts. Paths are plain text in which "\" and "/" both
// separate folders. Nothing here keeps state or reports an error: an empty result is the
// only sign that something failed.

#include <string>

#include "platform/ports.h"

namespace varlindo {

class RunFile {
public:
    explicit RunFile(Platform& platform, std::string app_title = "Varlindo")
        : platform_(platform), app_title_(std::move(app_title)) {}

    static std::string FileNameOfPath(const std::string& path);
    static std::string DirectoryOfPath(const std::string& path);
    std::string FolderOfPath(const std::string& path);
    static std::string AddTrailingSeparator(const std::string& folder);
    std::string ShortPathOf(const std::string& path);
    static std::string StripQuotes(const std::string& text);
    static std::string QuoteIfSpaces(const std::string& text);
    // Wraps a program path in double quotes unless it already is, so that it can never be
    // taken apart at its blanks.
    static std::string QuoteProgram(const std::string& program);

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
