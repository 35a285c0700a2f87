// The audio endpoints of Windows Vista and later, the policy object that makes one the
// default, and the watching of the defaults.
#include <windows.h>
#include <mmsystem.h>
#include <mmddk.h>
#include <mmdeviceapi.h>
#include <objbase.h>
#include <propidl.h>

#include <atomic>
#include <functional>
#include <mutex>

#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_text.h"

#ifndef DRV_QUERYFUNCTIONINSTANCEID
#define DRV_QUERYFUNCTIONINSTANCEID (DRV_RESERVED + 17)
#endif
#ifndef DRV_QUERYFUNCTIONINSTANCEIDSIZE
#define DRV_QUERYFUNCTIONINSTANCEIDSIZE (DRV_RESERVED + 18)
#endif

namespace varlindo::win32 {

// The policy object's class and interface. Only SetDefaultEndpoint is called; the methods
// before it hold their places in the table. The interface is declared outside the unnamed
// namespace: its implementation lives in another module, and for a type that only this file
// could implement the compiler may take every call of a pure method for an error.
constexpr CLSID kPolicyConfigClass = {0x870af99c, 0x171d, 0x4f9e, {0xaf, 0x0d, 0xe6, 0x3d, 0xf4, 0x0c, 0x2b, 0xc9}};
constexpr IID kPolicyConfigInterface = {0xf8679f50, 0x850a, 0x41cf, {0x9c, 0x72, 0x43, 0x0f, 0x29, 0x02, 0x90, 0xc8}};

struct IPolicyConfig : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetMixFormat(PCWSTR, void**) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetDeviceFormat(PCWSTR, INT, void**) = 0;
    virtual HRESULT STDMETHODCALLTYPE ResetDeviceFormat(PCWSTR) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetDeviceFormat(PCWSTR, void*, void*) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetProcessingPeriod(PCWSTR, INT, void*, void*) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetProcessingPeriod(PCWSTR, void*) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetShareMode(PCWSTR, void*) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetShareMode(PCWSTR, void*) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetPropertyValue(PCWSTR, const void*, void*) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetPropertyValue(PCWSTR, const void*, void*) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetDefaultEndpoint(PCWSTR id, ERole role) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetEndpointVisibility(PCWSTR, INT) = 0;
};

namespace {

// The name of the adapter an endpoint sits on, and the container (the physical device) it
// belongs to; the headers of some compilers lack them.
constexpr PROPERTYKEY kAdapterName = {
    {0x026e516e, 0xb814, 0x414b, {0x83, 0xcd, 0x85, 0x6d, 0x6f, 0xef, 0x48, 0x22}}, 2};
constexpr PROPERTYKEY kContainerId = {
    {0x8c7ed206, 0x3f8a, 0x4827, {0xb3, 0xab, 0xae, 0x9e, 0x1f, 0xae, 0xfc, 0x6c}}, 2};

constexpr wchar_t kSoundMapperKey[] = L"Software\\Microsoft\\Multimedia\\Sound Mapper";

EDataFlow DataFlow(EndpointFlow flow) { return flow == EndpointFlow::Render ? eRender : eCapture; }

struct FreeTaskMemory {
    void operator()(wchar_t* p) const { CoTaskMemFree(p); }
};
struct CloseRegistryKey {
    void operator()(HKEY key) const { RegCloseKey(key); }
};
using unique_task_text = unique_handle<wchar_t*, FreeTaskMemory>;
using unique_key = unique_handle<HKEY, CloseRegistryKey>;

class Property {
public:
    Property() { PropVariantInit(&value); }
    ~Property() { PropVariantClear(&value); }
    Property(const Property&) = delete;
    Property& operator=(const Property&) = delete;
    PROPVARIANT value;
};

std::optional<std::string> DeviceId(IMMDevice* device) {
    wchar_t* id = nullptr;
    if (FAILED(device->GetId(&id)) || !id) return std::nullopt;
    const unique_task_text owned(id);
    return Utf8(id);
}

// A text property, or a GUID one in its usual braces; "" when there is none.
std::string TextProperty(IPropertyStore* store, const PROPERTYKEY& key) {
    Property property;
    if (FAILED(store->GetValue(key, &property.value))) return {};
    if (property.value.vt == VT_LPWSTR && property.value.pwszVal) return Utf8(property.value.pwszVal);
    if (property.value.vt == VT_CLSID && property.value.puuid) {
        wchar_t text[40] = {};
        if (StringFromGUID2(*property.value.puuid, text, 40) > 0) return Utf8(text);
    }
    return {};
}

// The adapter's name, with the container that tells two of the same kind apart.
std::string Adapter(IMMDevice* device) {
    IPropertyStore* opened = nullptr;
    if (FAILED(device->OpenPropertyStore(STGM_READ, &opened)) || !opened) return {};
    const unique_com<IPropertyStore> store(opened);
    const std::string name = TextProperty(opened, kAdapterName);
    const std::string container = TextProperty(opened, kContainerId);
    if (name.empty() || container.empty()) return name + container;
    return name + " " + container;
}

// The endpoint id a wave device's driver gives: the size in bytes with its NUL, then the
// text.
template <typename Handle, typename Message>
std::optional<std::string> FunctionInstanceId(Handle device, Message message) {
    ULONG size = 0;
    if (message(device, DRV_QUERYFUNCTIONINSTANCEIDSIZE, reinterpret_cast<DWORD_PTR>(&size), 0) != MMSYSERR_NOERROR ||
        size < sizeof(wchar_t) || size > 64 * 1024)
        return std::nullopt;
    std::wstring id(size / sizeof(wchar_t), L'\0');
    if (message(device, DRV_QUERYFUNCTIONINSTANCEID, reinterpret_cast<DWORD_PTR>(id.data()), size) != MMSYSERR_NOERROR)
        return std::nullopt;
    id.resize(id.find(L'\0') == std::wstring::npos ? id.size() : id.find(L'\0'));
    if (id.empty()) return std::nullopt;
    return Utf8(id);
}

// Hears the device API's notices on its threads and passes them on until it is let go.
class NotificationClient final : public IMMNotificationClient {
public:
    explicit NotificationClient(const std::function<void()>& tell) : tell_(&tell) {}

    // Once this returns no notice goes anywhere, not even from a call that was under way.
    void LetGo() {
        const std::lock_guard<std::mutex> lock(mutex_);
        tell_ = nullptr;
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        if (iid == __uuidof(IUnknown) || iid == __uuidof(IMMNotificationClient)) {
            *object = static_cast<IMMNotificationClient*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }

    HRESULT STDMETHODCALLTYPE OnDefaultDeviceChanged(EDataFlow, ERole, LPCWSTR) override {
        Tell();
        return S_OK;
    }
    // A card came or went: the program reads its list anew.
    HRESULT STDMETHODCALLTYPE OnDeviceStateChanged(LPCWSTR, DWORD) override {
        Tell();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnDeviceAdded(LPCWSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnDeviceRemoved(LPCWSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnPropertyValueChanged(LPCWSTR, const PROPERTYKEY) override { return S_OK; }

private:
    ~NotificationClient() = default;
    void Tell() {
        const std::lock_guard<std::mutex> lock(mutex_);
        if (tell_) (*tell_)();
    }

    std::atomic<ULONG> references_{1};
    std::mutex mutex_;
    const std::function<void()>* tell_;
};

}  // namespace

// The objects of the device API, made on the UI thread and kept there.
struct Win32Endpoints::Com {
    unique_com<IMMDeviceEnumerator> enumerator;
    bool policy_absent = false;  // the system has no such object: not asked again
    HRESULT policy_result = E_FAIL;
    unique_com<IPolicyConfig> policy;
    unique_com<NotificationClient> client;  // registered with the enumerator while watching
};

// Watches the user's Sound Mapper values from the UI thread's message loop, which waits for
// the key's change event beside the messages. Each change is told after the watch is set
// again, so nothing written after it goes unheard.
class Win32Endpoints::Watcher {
public:
    Watcher(MessageLoopWaits& loop, const std::function<void()>& tell, unique_key key, unique_kernel changed)
        : loop_(loop), tell_(tell), changed_(std::move(changed)), key_(std::move(key)) {
        loop_.WatchHandle(changed_.get(), [this] { Changed(); });
    }
    ~Watcher() { loop_.StopWatchingHandle(changed_.get()); }
    Watcher(const Watcher&) = delete;
    Watcher& operator=(const Watcher&) = delete;

    // Opens (or makes) the key and sets the first watch, so that a change right after the
    // watching starts is heard.
    static std::unique_ptr<Watcher> Start(MessageLoopWaits& loop, const std::function<void()>& tell) {
        unique_kernel changed(CreateEventW(nullptr, FALSE, FALSE, nullptr));
        if (!changed) return nullptr;
        unique_key key = OpenKey();
        if (!key || !Arm(key.get(), changed.get())) return nullptr;
        return std::make_unique<Watcher>(loop, tell, std::move(key), std::move(changed));
    }

private:
    static unique_key OpenKey() {
        HKEY key = nullptr;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, kSoundMapperKey, 0, nullptr, 0, KEY_NOTIFY, nullptr, &key, nullptr) !=
            ERROR_SUCCESS)
            return {};
        return unique_key(key);
    }
    static bool Arm(HKEY key, HANDLE changed) {
        return RegNotifyChangeKeyValue(key, FALSE, REG_NOTIFY_CHANGE_LAST_SET, changed, TRUE) == ERROR_SUCCESS;
    }

    void Changed() {
        if (!Arm(key_.get(), changed_.get())) {
            // The key was removed: watch the one made in its place.
            key_ = OpenKey();
            if (!key_ || !Arm(key_.get(), changed_.get())) {
                loop_.StopWatchingHandle(changed_.get());  // nothing left to hear
                return;
            }
        }
        tell_();
    }

    MessageLoopWaits& loop_;
    const std::function<void()>& tell_;
    unique_kernel changed_;
    unique_key key_;  // closed before the event it signals
};

Win32Endpoints::Win32Endpoints(std::function<void()> tell, MessageLoopWaits& loop, std::function<void()> before_watching)
    : tell_(std::move(tell)), loop_(loop), before_watching_(std::move(before_watching)), com_(std::make_unique<Com>()) {}

Win32Endpoints::~Win32Endpoints() { StopWatching(); }

// A failure to make the enumerator is not kept: right after logon the audio service may
// not be there yet. Windows XP has no such class and says so quickly.
bool Win32Endpoints::DeviceApi() {
    if (!com_->enumerator) {
        IMMDeviceEnumerator* made = nullptr;
        if (SUCCEEDED(CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_ALL, __uuidof(IMMDeviceEnumerator),
                                       reinterpret_cast<void**>(&made))) &&
            made)
            com_->enumerator.reset(made);
    }
    return static_cast<bool>(com_->enumerator);
}

// An object that is not there (no such class, or not that interface: Wine, Vista) stays
// away; any other failure is tried again next time.
bool Win32Endpoints::PolicyObject() {
    if (!com_->policy && !com_->policy_absent) {
        IPolicyConfig* made = nullptr;
        com_->policy_result = CoCreateInstance(kPolicyConfigClass, nullptr, CLSCTX_ALL, kPolicyConfigInterface,
                                               reinterpret_cast<void**>(&made));
        if (SUCCEEDED(com_->policy_result) && made)
            com_->policy.reset(made);
        else if (SUCCEEDED(com_->policy_result))
            com_->policy_result = E_NOINTERFACE;
        com_->policy_absent = com_->policy_result == REGDB_E_CLASSNOTREG || com_->policy_result == E_NOINTERFACE;
    }
    return static_cast<bool>(com_->policy);
}

std::vector<AudioEndpoint> Win32Endpoints::ActiveEndpoints(EndpointFlow flow) {
    std::vector<AudioEndpoint> found;
    if (!DeviceApi()) return found;
    IMMDeviceCollection* listed = nullptr;
    if (FAILED(com_->enumerator.get()->EnumAudioEndpoints(DataFlow(flow), DEVICE_STATE_ACTIVE, &listed)) || !listed)
        return found;
    const unique_com<IMMDeviceCollection> collection(listed);
    UINT count = 0;
    if (FAILED(listed->GetCount(&count))) return found;
    for (UINT i = 0; i < count; ++i) {
        IMMDevice* item = nullptr;
        if (FAILED(listed->Item(i, &item)) || !item) continue;
        const unique_com<IMMDevice> device(item);
        if (auto id = DeviceId(item)) found.push_back({std::move(*id), Adapter(item)});
    }
    return found;
}

std::optional<std::string> Win32Endpoints::WaveEndpointId(EndpointFlow flow, int device) {
    if (device < 0) return std::nullopt;
    if (flow == EndpointFlow::Render)
        return FunctionInstanceId(reinterpret_cast<HWAVEOUT>(static_cast<UINT_PTR>(device)), waveOutMessage);
    return FunctionInstanceId(reinterpret_cast<HWAVEIN>(static_cast<UINT_PTR>(device)), waveInMessage);
}

int Win32Endpoints::WaveInCount() { return static_cast<int>(waveInGetNumDevs()); }

std::optional<std::string> Win32Endpoints::WaveInName(int device) {
    if (device < 0) return std::nullopt;
    WAVEINCAPSW caps{};
    if (waveInGetDevCapsW(static_cast<UINT_PTR>(device), &caps, sizeof caps) != MMSYSERR_NOERROR) return std::nullopt;
    return Utf8Field(caps.szPname);
}

std::optional<std::string> Win32Endpoints::DefaultEndpoint(EndpointFlow flow, EndpointRole role) {
    if (!DeviceApi()) return std::nullopt;
    IMMDevice* found = nullptr;
    // E_NOTFOUND when the flow has no device at all.
    if (FAILED(com_->enumerator.get()->GetDefaultAudioEndpoint(DataFlow(flow), static_cast<ERole>(role), &found)) ||
        !found)
        return std::nullopt;
    const unique_com<IMMDevice> device(found);
    return DeviceId(found);
}

bool Win32Endpoints::SetDefaultEndpoint(const std::string& id, EndpointRole role, std::string& error) {
    if (!PolicyObject()) {
        error = SystemMessage(static_cast<unsigned long>(com_->policy_result));
        return false;
    }
    const HRESULT result = com_->policy.get()->SetDefaultEndpoint(Wide(id).c_str(), static_cast<ERole>(role));
    if (FAILED(result)) {
        error = SystemMessage(static_cast<unsigned long>(result));
        return false;
    }
    return true;
}

void Win32Endpoints::WatchDefaults() {
    if (before_watching_) before_watching_();
    if (!watcher_) watcher_ = Watcher::Start(loop_, tell_);
    if (!com_->client && DeviceApi()) {
        unique_com<NotificationClient> client(new NotificationClient(tell_));
        if (SUCCEEDED(com_->enumerator.get()->RegisterEndpointNotificationCallback(client.get())))
            com_->client = std::move(client);
    }
}

void Win32Endpoints::StopWatching() {
    if (com_->client) {
        com_->enumerator.get()->UnregisterEndpointNotificationCallback(com_->client.get());
        com_->client.get()->LetGo();
        com_->client.reset();
    }
    watcher_.reset();
}

}  // namespace varlindo::win32
