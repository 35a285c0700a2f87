// Runs the port expectations against the real Win32 backend (under Wine in CI).
#include <gtest/gtest.h>
#include <windows.h>

#include "contract.h"
#include "platform/win32/win32_platform.h"

namespace varlindo::contract {

Platform& Ports() {
    static win32::Win32Platform platform(GetModuleHandleW(nullptr));
    return platform.Ports();
}

std::string ScratchFolder() {
    const std::string folder = Ports().files.TempFolder() + "varlindo contract";
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder + "\\";
}

}  // namespace varlindo::contract

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
