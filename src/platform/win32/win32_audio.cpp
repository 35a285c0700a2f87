#include <windows.h>
#include <mmsystem.h>

#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_text.h"

namespace varlindo::win32 {
namespace {
HMIXER ToMixer(MixerHandle h) { return reinterpret_cast<HMIXER>(h); }
HMIXEROBJ ToMixerObj(MixerHandle h) { return reinterpret_cast<HMIXEROBJ>(h); }

// A request for one value, the same for all channels of the control.
MIXERCONTROLDETAILS OneValue(std::uint32_t control, MIXERCONTROLDETAILS_UNSIGNED* value) {
    MIXERCONTROLDETAILS details{};
    details.cbStruct = sizeof details;
    details.dwControlID = control;
    details.cChannels = 1;
    details.cbDetails = sizeof *value;
    details.paDetails = value;
    return details;
}
}  // namespace

int Win32WaveOut::DeviceCount() { return static_cast<int>(waveOutGetNumDevs()); }

std::optional<std::string> Win32WaveOut::ProductName(int device) {
    if (device < 0) return std::nullopt;
    WAVEOUTCAPSW caps{};
    if (waveOutGetDevCapsW(static_cast<UINT_PTR>(device), &caps, sizeof caps) != MMSYSERR_NOERROR)
        return std::nullopt;
    return Utf8Field(caps.szPname);
}

std::optional<std::uint32_t> Win32WaveOut::Volume(int device) {
    if (device < 0) return std::nullopt;
    DWORD volume = 0;
    if (waveOutGetVolume(reinterpret_cast<HWAVEOUT>(static_cast<UINT_PTR>(device)), &volume) != MMSYSERR_NOERROR)
        return std::nullopt;
    return volume;
}

int Win32Mixer::MixerCount() { return static_cast<int>(mixerGetNumDevs()); }

std::optional<MixerHandle> Win32Mixer::Open(int mixer) {
    if (mixer < 0) return std::nullopt;
    HMIXER h = nullptr;
    if (mixerOpen(&h, static_cast<UINT>(mixer), 0, 0, MIXER_OBJECTF_MIXER) != MMSYSERR_NOERROR) return std::nullopt;
    return reinterpret_cast<MixerHandle>(h);
}

std::uint32_t Win32Mixer::Close(MixerHandle h) { return mixerClose(ToMixer(h)); }

std::optional<std::uint32_t> Win32Mixer::LineByComponentType(MixerHandle h, std::uint32_t component) {
    MIXERLINEW line{};
    line.cbStruct = sizeof line;
    line.dwComponentType = component;
    if (mixerGetLineInfoW(ToMixerObj(h), &line, MIXER_OBJECTF_HMIXER | MIXER_GETLINEINFOF_COMPONENTTYPE) !=
        MMSYSERR_NOERROR)
        return std::nullopt;
    return line.dwLineID;
}

std::optional<MixerControlInfo> Win32Mixer::ControlByType(MixerHandle h, std::uint32_t line_id, std::uint32_t type) {
    MIXERCONTROLW control{};
    MIXERLINECONTROLSW request{};
    request.cbStruct = sizeof request;
    request.dwLineID = line_id;
    request.dwControlType = type;
    request.cControls = 1;
    request.cbmxctrl = sizeof control;
    request.pamxctrl = &control;
    if (mixerGetLineControlsW(ToMixerObj(h), &request, MIXER_OBJECTF_HMIXER | MIXER_GETLINECONTROLSF_ONEBYTYPE) !=
        MMSYSERR_NOERROR)
        return std::nullopt;
    return MixerControlInfo{control.dwControlID, static_cast<std::int32_t>(control.Bounds.dwMinimum),
                            static_cast<std::int32_t>(control.Bounds.dwMaximum)};
}

std::optional<std::uint32_t> Win32Mixer::GetValue(MixerHandle h, std::uint32_t control) {
    MIXERCONTROLDETAILS_UNSIGNED value{};
    MIXERCONTROLDETAILS details = OneValue(control, &value);
    if (mixerGetControlDetailsW(ToMixerObj(h), &details, MIXER_OBJECTF_HMIXER | MIXER_GETCONTROLDETAILSF_VALUE) !=
        MMSYSERR_NOERROR)
        return std::nullopt;
    return value.dwValue;
}

bool Win32Mixer::SetValue(MixerHandle h, std::uint32_t control, std::uint32_t v) {
    MIXERCONTROLDETAILS_UNSIGNED value{};
    value.dwValue = v;
    MIXERCONTROLDETAILS details = OneValue(control, &value);
    return mixerSetControlDetails(ToMixerObj(h), &details, MIXER_OBJECTF_HMIXER | MIXER_SETCONTROLDETAILSF_VALUE) ==
           MMSYSERR_NOERROR;
}

std::optional<int> Win32Mixer::MixerOfWaveOut(int device) {
    if (device < 0) return std::nullopt;
    UINT id = 0;
    if (mixerGetID(reinterpret_cast<HMIXEROBJ>(static_cast<UINT_PTR>(device)), &id, MIXER_OBJECTF_WAVEOUT) !=
        MMSYSERR_NOERROR)
        return std::nullopt;
    return static_cast<int>(id);
}

}  // namespace varlindo::win32
