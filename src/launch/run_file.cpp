#include "launch/run_file.h"

#include "base/path_text.h"
#include "base/text.h"
#include "launch/launch_messages.h"

namespace varlindo {

std::string RunFile::FolderOfPath(const std::string& path) {
    auto is_folder = platform_.files.IsFolder(path);
    if (!is_folder || *is_folder) return path;
    const std::string folder = DirectoryOfPath(path);
    return folder == path ? std::string() : folder;  // a file name without a folder
}

std::string RunFile::ShortPathOf(const std::string& path) {
    std::string result;
    if (auto short_form = platform_.shell.ShortPath(path)) result = *short_form;
    if (IsQuoted(result)) result = result.substr(1, result.size() - 2);
    if (!result.empty()) return result;
    // The platform cannot shorten a quoted path: hand back the long one, unquoted.
    return IsQuoted(path) ? path.substr(1, path.size() - 2) : path;
}

std::string RunFile::FindExecutableFor(const std::string& file) { return platform_.shell.ExecutableFor(file); }

std::string RunFile::PlaceholderPath(const std::string& name) const {
    return AddTrailingSeparator(platform_.files.TempFolder()) + name;
}

std::string RunFile::GetAssociatedProgram(const std::string& file) {
    FilePort& files = platform_.files;
    const bool created_in_place = !files.FileExists(file) && files.WriteTextFile(file, "");

    const char separator = text::Contains(file, "/") ? '/' : '\\';
    const size_t cut = file.rfind(separator);
    std::string folder_part;
    std::string name_part;
    if (cut == std::string::npos) {
        folder_part = files.CurrentFolder();
        if (!text::EndsWith(folder_part, std::string(1, separator))) folder_part += separator;
        name_part = file;
    } else {
        folder_part = file.substr(0, cut + 1);
        name_part = file.substr(cut + 1);
    }
    if (!name_part.empty() && name_part.front() == '*') name_part.erase(0, 1);

    auto remove_in_place_probe = [&] {
        if (created_in_place) files.RemoveFile(file);
    };

    if (text::Contains(name_part, "*")) {
        const int answer = platform_.ui.ShowMessageBox(
            name_part + kInvalidCharacters, app_title_, mb::YesNo);
        if (answer == mb::AnswerYes) {
            remove_in_place_probe();
            return {};
        }
    }

    std::string program;
    const std::string full = folder_part + name_part;
    if (!files.FileExists(full)) {
        const std::string probe = PlaceholderPath("zzzzzzzTemp_" + name_part);
        files.WriteTextFile(probe, "  \r\n");
        program = FindExecutableFor(probe);
        files.RemoveFile(probe);
    } else {
        program = FindExecutableFor(full);
    }

    if (program.empty()) {
        // Fall back to whatever opens files with this extension.
        const size_t dot = name_part.rfind('.');
        std::string extension = name_part.size() < 4 || dot == std::string::npos ? text::Trim(name_part)
                                                                                  : name_part.substr(dot);
        const std::string probe = PlaceholderPath("RunFileTmp" + extension);
        files.WriteTextFile(probe, " \r\n");
        program = FindExecutableFor(probe);
        files.RemoveFile(probe);
    }

    remove_in_place_probe();
    return program;
}

void RunFile::OpenUrlInBrowser(const std::string& url, int window_style) {
    const std::string probe = PlaceholderPath("OrvX00001.html");
    platform_.files.WriteTextFile(probe, " \r\n");
    const std::string program = GetAssociatedProgram(probe);
    platform_.files.RemoveFile(probe);
    if (program.empty()) return;
    platform_.shell.StartProgram(QuoteProgram(program) + " " + url, window_style);
}

std::string RunFile::StartProgramWithParameters(const std::string& program_in, const std::string& parameters) {
    const std::string trimmed = text::Trim(parameters);
    std::string args = trimmed.empty() ? std::string() : std::string(" ").append(trimmed);

    std::string program = ShortPathOf(QuoteIfSpaces(program_in));
    std::string document;
    const std::string ext = text::Upper(program.size() >= 4 ? program.substr(program.size() - 4) : program);
    if (ext != ".EXE" && ext != ".BAT" && ext != ".COM" && ext != ".LNK") {
        // A document: start the program that opens it, with the document as argument.
        document = program;
        program = ShortPathOf(GetAssociatedProgram(ShortPathOf(document)));
        if (platform_.files.FileExists(args)) args = QuoteIfSpaces(args);
    }
    // Work from the folder of the last path on the command line, as always.
    const std::string last_path = document.empty() ? program : document;
    const std::string unquoted = StripQuotes(program);
    if (!unquoted.empty()) platform_.files.SetCurrentDrive(unquoted.front());
    const std::string folder = DirectoryOfPath(StripQuotes(last_path));
    if (folder != StripQuotes(last_path)) platform_.files.SetCurrentFolder(folder);

    std::string command = QuoteProgram(program);
    if (!document.empty()) command.append(" ").append(QuoteIfSpaces(document));
    command = text::Trim(command + args);
    if (StripQuotes(program).empty()) return {};
    platform_.shell.StartProgram(command, 1);
    return command;
}

}  // namespace varlindo
