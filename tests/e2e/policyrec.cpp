// policyrec.dll: stands in, for the end-to-end tests, for the system's policy object that
// sets the default audio endpoint. Windows has it (class {870AF99C-171D-4F9E-AF0D-E63DF40C2BC9});
// Wine 8 does not, so CoCreateInstance fails there with "class not registered" and the program
// keeps to the Sound Mapper values. A test registers this in-process server under that class
// (see Session.install_policy_server in tools/wineharness.py) to see the calls a switch makes.
//
// Each SetDefaultEndpoint(id, role) adds the line "<id> <role>" to C:\policy-calls.txt (opened,
// appended to and closed per call, so a test may read it at any time), then does what the system
// does, as far as Wine allows: Wine's mmdevapi takes its defaults from the values DefaultOutput,
// DefaultVoiceOutput, DefaultInput and DefaultVoiceInput under the key
// HKCU\Software\Wine\Drivers\winealsa.drv (each the full endpoint id), watches them and tells
// every process's IMMNotificationClient of a change. So the call writes the value of its flow
// and role, and GetDefaultAudioEndpoint follows at once, in every process. Console and
// multimedia share one value there: setting either sets both.
//
// An id the device enumerator does not know is refused with ERROR_NOT_FOUND, a role outside
// 0..2 with E_INVALIDARG (both still recorded). A REG_DWORD "Refuse" beside the class makes every
// call fail with that HRESULT instead, for a test of a switch the system turns down.
#include <windows.h>
#include <mmdeviceapi.h>
#include <objbase.h>

#include <atomic>
#include <new>
#include <string>

namespace {

const CLSID kPolicyClass = {0x870af99c, 0x171d, 0x4f9e, {0xaf, 0x0d, 0xe6, 0x3d, 0xf4, 0x0c, 0x2b, 0xc9}};
const IID kPolicyInterface = {0xf8679f50, 0x850a, 0x41cf, {0x9c, 0x72, 0x43, 0x0f, 0x29, 0x02, 0x90, 0xc8}};
const wchar_t kClassKey[] = L"Software\\Classes\\CLSID\\{870AF99C-171D-4F9E-AF0D-E63DF40C2BC9}";
const wchar_t kCallLog[] = L"C:\\policy-calls.txt";
const wchar_t kWineDefaults[] = L"Software\\Wine\\Drivers\\winealsa.drv";

std::atomic<long> live_objects{0};
std::atomic<long> server_locks{0};

void Record(PCWSTR id, int role) {
    const std::wstring line = std::wstring(id ? id : L"(null)") + L" " + std::to_wstring(role) + L"\n";
    const int size = WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), utf8.data(), size, nullptr, nullptr);
    HANDLE file = CreateFileW(kCallLog, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
    CloseHandle(file);
}

// The HRESULT a test asked every call to fail with, or S_OK.
HRESULT Refusal() {
    DWORD value = 0;
    DWORD size = sizeof value;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, kClassKey, L"Refuse", RRF_RT_REG_DWORD, nullptr, &value, &size) != ERROR_SUCCESS)
        return S_OK;
    return static_cast<HRESULT>(value);
}

// Whether the endpoint with this id renders or captures.
HRESULT FlowOf(PCWSTR id, EDataFlow& flow) {
    IMMDeviceEnumerator* devices = nullptr;
    HRESULT hr = CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_INPROC_SERVER,
                                  __uuidof(IMMDeviceEnumerator), reinterpret_cast<void**>(&devices));
    if (FAILED(hr)) return hr;
    IMMDevice* device = nullptr;
    hr = devices->GetDevice(id, &device);
    devices->Release();
    if (FAILED(hr)) return HRESULT_FROM_WIN32(ERROR_NOT_FOUND);
    IMMEndpoint* endpoint = nullptr;
    hr = device->QueryInterface(__uuidof(IMMEndpoint), reinterpret_cast<void**>(&endpoint));
    device->Release();
    if (FAILED(hr)) return hr;
    hr = endpoint->GetDataFlow(&flow);
    endpoint->Release();
    return hr;
}

// The policy object's interface: IUnknown, ten methods this stand-in does not need (device
// formats, processing periods, share mode, property values), SetDefaultEndpoint, and
// SetEndpointVisibility. The order of the virtual functions is the order of the vtable.
class PolicyRecorder final : public IUnknown {
public:
    PolicyRecorder() { ++live_objects; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, kPolicyInterface)) {
            *out = this;
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++references_); }
    ULONG STDMETHODCALLTYPE Release() override {
        const long left = --references_;
        if (left == 0) {
            --live_objects;
            delete this;
        }
        return static_cast<ULONG>(left);
    }

    virtual HRESULT STDMETHODCALLTYPE GetMixFormat() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE GetDeviceFormat() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE ResetDeviceFormat() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE SetDeviceFormat() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE GetProcessingPeriod() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE SetProcessingPeriod() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE GetShareMode() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE SetShareMode() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE GetPropertyValue() { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE SetPropertyValue() { return E_NOTIMPL; }

    virtual HRESULT STDMETHODCALLTYPE SetDefaultEndpoint(PCWSTR id, ERole role) {
        Record(id, static_cast<int>(role));
        if (const HRESULT refused = Refusal(); FAILED(refused)) return refused;
        if (!id) return E_POINTER;
        if (role != eConsole && role != eMultimedia && role != eCommunications) return E_INVALIDARG;
        EDataFlow flow = eRender;
        if (const HRESULT hr = FlowOf(id, flow); FAILED(hr)) return hr;
        const bool voice = role == eCommunications;
        const wchar_t* value = flow == eRender ? (voice ? L"DefaultVoiceOutput" : L"DefaultOutput")
                                               : (voice ? L"DefaultVoiceInput" : L"DefaultInput");
        const DWORD bytes = static_cast<DWORD>((wcslen(id) + 1) * sizeof(wchar_t));
        const LSTATUS status = RegSetKeyValueW(HKEY_CURRENT_USER, kWineDefaults, value, REG_SZ, id, bytes);
        return status == ERROR_SUCCESS ? S_OK : HRESULT_FROM_WIN32(status);
    }
    virtual HRESULT STDMETHODCALLTYPE SetEndpointVisibility(PCWSTR, INT) { return E_NOTIMPL; }

private:
    std::atomic<long> references_{1};
};

class Factory final : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
            *out = static_cast<IClassFactory*>(this);
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    // One static factory: it lives as long as the DLL.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        auto* object = new (std::nothrow) PolicyRecorder;
        if (!object) return E_OUTOFMEMORY;
        const HRESULT hr = object->QueryInterface(iid, out);
        object->Release();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        server_locks += lock ? 1 : -1;
        return S_OK;
    }
};

Factory factory;

}  // namespace

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!IsEqualCLSID(clsid, kPolicyClass)) return CLASS_E_CLASSNOTAVAILABLE;
    return factory.QueryInterface(iid, out);
}

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllCanUnloadNow() {
    return live_objects == 0 && server_locks == 0 ? S_OK : S_FALSE;
}
