// Full registry paths ("HKEY_CURRENT_USER\Software\...\Sound Mapper\Playback") as
// Registry::ReadValueByPath splits them into root, key path and value name, read from a
// simulated registry that holds one fuzzed value.

#include <fuzzer/FuzzedDataProvider.h>

#include <cctype>
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/registry.h"
#include "fuzz_check.h"
#include "platform/sim/sim_platform.h"

namespace {

using namespace varlindo;

struct Root {
    const char* name;
    RegKey key;
};
constexpr Root kRoots[] = {
    {"HKEY_CLASSES_ROOT", hkey::ClassesRoot}, {"HKEY_CURRENT_USER", hkey::CurrentUser},
    {"HKEY_LOCAL_MACHINE", hkey::LocalMachine}, {"HKEY_USERS", hkey::Users},
    {"HKEY_CURRENT_CONFIG", hkey::CurrentConfig},
};
constexpr std::uint32_t kTypes[] = {regtype::Sz, regtype::ExpandSz, regtype::Binary, regtype::DWord, regtype::MultiSz};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const Root& root = in.PickValueInArray(kRoots);
    const std::uint32_t type = in.PickValueInArray(kTypes);
    const std::uint32_t case_bits = in.ConsumeIntegral<std::uint32_t>();
    const std::string key_path = in.ConsumeRandomLengthString(64);
    const std::string value_name = in.ConsumeRandomLengthString(32);
    const std::string value = in.ConsumeRandomLengthString(64);
    const std::string any_path = in.ConsumeRemainingBytesAsString();

    sim::SimDesktop desktop;
    sim::SimPlatform program(desktop);
    Registry registry(program.Ports());
    RegistryPort& port = program.Ports().registry;
    if (auto key = port.CreateKey(root.key, key_path)) {
        port.SetValue(*key, value_name, RegValue{type, value});
        port.CloseKey(*key);
    }
    const std::string as_read = value.substr(0, value.find('\0'));
    const bool is_text = type == regtype::Sz;

    // Whatever the path, the one value there is read as text up to its first NUL, or nothing.
    const std::string got = registry.ReadValueByPath(any_path);
    FUZZ_CHECK(got.empty() || (is_text && got == as_read));
    FUZZ_CHECK(got.find('\0') == std::string::npos);
    Registry::RootKeyFromName(any_path);
    Registry::RootKeyFromFullName(any_path);

    // The path of that value, with the root's name in any case, names it: the value name
    // follows the last "\" (and loses surrounding blanks with the whole path).
    std::string root_name = root.name;
    for (std::size_t i = 0; i < root_name.size() && i < 32; ++i)
        if (case_bits >> i & 1) root_name[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(root_name[i])));
    const bool plain_name = !value_name.empty() && value_name.find('\\') == std::string::npos &&
                            value_name.back() != ' ';
    if (plain_name) {
        const std::string full = root_name + "\\" + key_path + "\\" + value_name;
        FUZZ_CHECK(registry.ReadValueByPath(full) == (is_text ? as_read : std::string()));
    }
    // Every key opened on the way is closed again.
    FUZZ_CHECK(program.registry.OpenKeys() == 0);
    return 0;
}
