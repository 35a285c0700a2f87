#include "util/update_download.h"

#include <cctype>

#include "base/text.h"

namespace varlindo {
namespace {

constexpr std::size_t kPeOffsetAt = 0x3C;

std::string HostOf(const std::string& url, size_t scheme_end) {
    const std::string rest = url.substr(scheme_end);
    std::string authority = rest.substr(0, rest.find_first_of("/?#"));
    if (const size_t at = authority.rfind('@'); at != std::string::npos) authority.erase(0, at + 1);
    if (!authority.empty() && authority[0] == '[') {
        // "[::1]" or "[::1]:port", nothing else after the bracket.
        const size_t close = authority.find(']');
        if (close == std::string::npos || (close + 1 < authority.size() && authority[close + 1] != ':')) return {};
        return text::Lower(authority.substr(0, close + 1));
    }
    return text::Lower(authority.substr(0, authority.find(':')));
}

// "https://host" of an address (scheme and host, lower case), "" when it has none.
std::string Origin(const std::string& url) {
    const std::string lower = text::Lower(url);
    const size_t scheme_end = lower.find("://");
    if (scheme_end == std::string::npos) return {};
    return lower.substr(0, scheme_end + 3) + HostOf(url, scheme_end + 3);
}

// The reason for a download that did not come.
std::string FailedTransfer(const DownloadResult& result, const std::string& url) {
    if (result.status == 0)
        return "The server could not be reached (" + url + ")" + (result.error.empty() ? "." : ": " + result.error);
    if (result.status < 200 || result.status > 299)
        return "The server answered with error " + std::to_string(result.status) + " for " + url + ".";
    return "The download of " + url + " broke off" + (result.error.empty() ? "." : ": " + result.error);
}

}  // namespace

bool IsAllowedAddress(const std::string& url) {
    const std::string lower = text::Lower(url);
    if (lower.rfind("https://", 0) == 0) return !HostOf(url, 8).empty();
    if (lower.rfind("http://", 0) != 0) return false;
    const std::string host = HostOf(url, 7);
    return host == "127.0.0.1" || host == "localhost" || host == "[::1]";
}

bool LooksLikeWindowsProgram(const std::string& head) {
    if (head.size() < kPeOffsetAt + 4 || head[0] != 'M' || head[1] != 'Z') return false;
    std::uint32_t offset = 0;
    for (int i = 3; i >= 0; --i) offset = (offset << 8) | static_cast<unsigned char>(head[kPeOffsetAt + static_cast<size_t>(i)]);
    return static_cast<std::uint64_t>(offset) + 4 <= head.size() && head.compare(offset, 4, std::string("PE\0\0", 4)) == 0;
}

std::string PublishedDigest(const std::string& text) {
    size_t at = 0;
    while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at]))) ++at;
    std::string digest;
    while (at < text.size() && digest.size() < 64 && std::isxdigit(static_cast<unsigned char>(text[at])))
        digest += static_cast<char>(std::tolower(static_cast<unsigned char>(text[at++])));
    const bool ends = at == text.size() || !std::isxdigit(static_cast<unsigned char>(text[at]));
    return digest.size() == 64 && ends ? digest : std::string();
}

CheckedDownload DownloadProgram(FilePort& files, ShellPort& shell, const std::string& url, const std::string& target) {
    if (!IsAllowedAddress(url)) return {false, "Only https addresses are used for updates, not " + url + "."};
    const std::string fresh = target + ".download";
    const std::string digest_file = target + ".sha256";
    auto fail = [&](std::string reason) {
        files.RemoveFile(fresh);
        files.RemoveFile(digest_file);
        return CheckedDownload{false, std::move(reason)};
    };

    const DownloadResult program = shell.Download(url, fresh);
    // A redirect may not lead where the address itself could not.
    const std::string came_from = program.final_url.empty() ? url : program.final_url;
    if (!IsAllowedAddress(came_from)) return fail("The update was sent on to " + came_from + ", which is not used.");
    if (!program.complete || program.status < 200 || program.status > 299) return fail(FailedTransfer(program, url));
    const std::uint64_t size = files.FileSize(fresh).value_or(0);
    if (size < kSmallestProgram || size > kLargestProgram)
        return fail("The file from " + url + " is not a program (" + std::to_string(size) + " bytes).");
    if (!LooksLikeWindowsProgram(files.ReadFileStart(fresh, 4096).value_or("")))
        return fail("The file from " + url + " is not a Windows program.");

    const std::string digest_url = url + ".sha256";
    const DownloadResult published = shell.Download(digest_url, digest_file);
    // The checksum comes from where the program came from.
    const std::string digest_from = published.final_url.empty() ? digest_url : published.final_url;
    if (Origin(digest_from) != Origin(came_from))
        return fail("The checksum was sent on to " + digest_from + ", away from where the program came from.");
    if (!published.complete || published.status < 200 || published.status > 299)
        return fail(FailedTransfer(published, digest_url));
    const std::string expected = PublishedDigest(files.ReadFileStart(digest_file, 4096).value_or(""));
    files.RemoveFile(digest_file);
    if (expected.empty()) return fail("The checksum published at " + digest_url + " cannot be read.");
    if (files.FileSha256(fresh).value_or("") != expected)
        return fail("The file from " + url + " does not match its published checksum.");

    if (!files.RenameFile(fresh, target, true)) return fail("The download could not be saved as " + target + ".");
    return {true, {}};
}

}  // namespace varlindo
