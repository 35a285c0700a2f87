// What the update takes from the web and from its command line before anything is run:
// the address (IsAllowedAddress), the published checksum (PublishedDigest) and the first
// bytes of the downloaded program (LooksLikeWindowsProgram).

#include <cstddef>
#include <cstdint>
#include <string>

#include "base/text.h"
#include "fuzz_check.h"
#include "util/update_download.h"

namespace {

using namespace varlindo;

bool IsLowerHex(const std::string& s) {
    for (char c : s)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);

    // https anywhere, plain http only to this machine.
    if (IsAllowedAddress(input)) {
        const std::string lower = text::Lower(input);
        const bool https = lower.rfind("https://", 0) == 0;
        FUZZ_CHECK(https || lower.rfind("http://", 0) == 0);
        if (!https)
            FUZZ_CHECK(text::Contains(lower, "127.0.0.1") || text::Contains(lower, "localhost") ||
                       text::Contains(lower, "[::1]"));
    }

    // A digest is 64 hex digits in lower case, whatever case the file wrote them in.
    const std::string digest = PublishedDigest(input);
    FUZZ_CHECK(digest.empty() || (digest.size() == 64 && IsLowerHex(digest)));
    FUZZ_CHECK(PublishedDigest(text::Upper(input)) == digest);
    if (!digest.empty()) FUZZ_CHECK(text::Contains(text::Lower(input), digest));

    // A program starts with "MZ" and holds the PE signature.
    if (LooksLikeWindowsProgram(input)) {
        FUZZ_CHECK(input.size() >= 2 && input[0] == 'M' && input[1] == 'Z');
        FUZZ_CHECK(input.find(std::string("PE\0\0", 4)) != std::string::npos);
    }
    return 0;
}
