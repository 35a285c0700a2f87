// COM for the thread that makes the platform; the updater uses it on its own.
#include <windows.h>
#include <objbase.h>

#include "platform/win32/win32_platform.h"

namespace varlindo::win32 {

ComApartment::ComApartment()
    : entered_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {}

ComApartment::~ComApartment() {
    if (entered_) CoUninitialize();
}

}  // namespace varlindo::win32
