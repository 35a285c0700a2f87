#pragma once
// Paths as plain text: "\" and "/" both separate folders, and a path that holds blanks is
// put on a command line in double quotes. Nothing here touches the file system.

#include <string>

namespace varlindo {

// The text after the last separator; the whole text when it has none.
std::string FileNameOfPath(const std::string& path);
// The text up to and including the last separator; the whole text when it has none.
std::string DirectoryOfPath(const std::string& path);
// Appends the separator the path already uses ("\" before "/"), inside a closing quote.
std::string AddTrailingSeparator(const std::string& folder);
// True when the text begins and ends with a double quote (and has two of them at least).
bool IsQuoted(const std::string& text);
// Trims blanks and drops one pair of surrounding double quotes.
std::string StripQuotes(const std::string& text);
// Trims blanks and wraps a text that holds a blank (and no quote) in double quotes; a
// blank text comes back unchanged.
std::string QuoteIfSpaces(const std::string& text);
// Wraps a program path in double quotes unless it already is, so that it can never be
// taken apart at its blanks.
std::string QuoteProgram(const std::string& program);

}  // namespace varlindo

namespace varlindo {

// A full path: a drive letter, ":" and a separator ("C:\x"), or a network share ("\\server\x").
bool IsAbsolutePath(const std::string& path);

// True when a file name matches a pattern of the file lists: "*" stands for any run of
// characters, "?" for one, letter case is ignored, and several patterns may be given
// separated by ";". A pattern ending in ".*" also matches names without an extension, as
// "*.*" matches every name.
bool MatchesFilePattern(const std::string& name, const std::string& patterns);

}  // namespace varlindo
