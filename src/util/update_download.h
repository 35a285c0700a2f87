#pragma once
// Downloads that may be run: only from https (or plain http to this machine, which the
// tests use), only when the server said success, only a Windows program of a plausible
// size, and only when its SHA-256 matches the one published beside it on the server
// ("<address>.sha256", the hex digest first on its line). Whatever fails a check is
// deleted; the file in place is replaced only by a download that passed.

#include <string>

#include "platform/ports.h"

namespace varlindo {

// https, or http to 127.0.0.1, [::1] or localhost.
bool IsAllowedAddress(const std::string& url);
// Both MZ and PE signatures where a Windows program has them.
bool LooksLikeWindowsProgram(const std::string& head);
// The digest a published hash file holds: its first 64 hex digits, lower case; "" when it holds none.
std::string PublishedDigest(const std::string& text);

inline constexpr std::uint64_t kSmallestProgram = 16 * 1024;
inline constexpr std::uint64_t kLargestProgram = 64ull * 1024 * 1024;

struct CheckedDownload {
    bool ok = false;
    std::string reason;  // in plain words, when not ok
};

// Downloads `url` to `target` through a temporary file beside it, with every check above.
CheckedDownload DownloadProgram(FilePort& files, ShellPort& shell, const std::string& url, const std::string& target);

}  // namespace varlindo
