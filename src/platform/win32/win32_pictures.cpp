// The program's pictures, loaded from its icon resources at the sizes drawn for them.

#include "platform/win32/win32_pictures.h"

#include <algorithm>
#include <vector>

#include "platform/win32/win32_resources.h"

namespace varlindo::win32 {
namespace {

// The directory of an icon group resource (RT_GROUP_ICON), as the resource compiler
// writes it.
#pragma pack(push, 2)
struct GroupIconHeader {
    WORD reserved, type, count;
};
struct GroupIconEntry {
    BYTE width, height, colours, reserved;
    WORD planes, bit_count;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

// A greyed copy of an icon: its colours turned to light greys, its shape kept (the
// embossed look of DrawState's DSS_DISABLED melts a colour picture's details into one
// blot). Nothing when the icon's bits cannot be read.
HICON GreyedCopy(HICON icon) {
    ICONINFO info{};
    if (!GetIconInfo(icon, &info)) return nullptr;
    unique_handle<HBITMAP, DeleteGdiObject> colour(info.hbmColor), mask(info.hbmMask);
    BITMAP bm{};
    if (!colour || !GetObjectW(colour.get(), sizeof bm, &bm)) return nullptr;
    const int w = bm.bmWidth, h = bm.bmHeight;
    BITMAPINFO format{};
    format.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<DWORD> pixels(static_cast<size_t>(w) * h), holes(pixels.size());
    HDC screen = GetDC(nullptr);
    const bool read = GetDIBits(screen, colour.get(), 0, h, pixels.data(), &format, DIB_RGB_COLORS) == h &&
                      GetDIBits(screen, mask.get(), 0, h, holes.data(), &format, DIB_RGB_COLORS) == h;
    ReleaseDC(nullptr, screen);
    if (!read) return nullptr;
    const bool has_alpha = std::any_of(pixels.begin(), pixels.end(), [](DWORD p) { return (p >> 24) != 0; });
    for (size_t i = 0; i < pixels.size(); ++i) {
        const DWORD p = pixels[i];
        // Without an alpha channel, the mask tells the transparent pixels (white in it).
        const DWORD alpha = has_alpha ? p >> 24 : ((holes[i] & 0xFFFFFF) ? 0 : 255);
        const DWORD grey = (((p >> 16) & 0xFF) * 30 + ((p >> 8) & 0xFF) * 59 + (p & 0xFF) * 11) / 100;
        const DWORD light = grey + (255 - grey) * 2 / 5;
        pixels[i] = ((alpha * 3 / 4) << 24) | (light << 16) | (light << 8) | light;
    }
    void* bits = nullptr;
    unique_handle<HBITMAP, DeleteGdiObject> greyed(CreateDIBSection(nullptr, &format, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!greyed || !bits) return nullptr;
    std::copy(pixels.begin(), pixels.end(), static_cast<DWORD*>(bits));
    ICONINFO made{TRUE, 0, 0, mask.get(), greyed.get()};
    return CreateIconIndirect(&made);
}

}  // namespace

int PictureResource(ui::Image image) {
    switch (image) {
        case ui::Image::None: return 0;
        case ui::Image::ProgramIcon: return VARLINDO_ICON_PROGRAM;
        case ui::Image::ProgramIconDisabled: return VARLINDO_ICON_PROGRAM_DISABLED;
        case ui::Image::DropTarget: return VARLINDO_ICON_DROP_TARGET;
        case ui::Image::Volume: return VARLINDO_ICON_VOLUME;
        case ui::Image::PinOff: return VARLINDO_ICON_PIN_OFF;
        case ui::Image::PinHover: return VARLINDO_ICON_PIN_HOVER;
        case ui::Image::PinOn: return VARLINDO_ICON_PIN_ON;
        case ui::Image::Desktop: return VARLINDO_ICON_DESKTOP;
        case ui::Image::DesktopPressed: return VARLINDO_ICON_DESKTOP_PRESSED;
        case ui::Image::StartMenu: return VARLINDO_ICON_START_MENU;
        case ui::Image::StartMenuPressed: return VARLINDO_ICON_START_MENU_PRESSED;
    }
    return 0;
}

std::vector<int> PictureCache::SizesOf(int resource) {
    if (auto it = sizes_.find(resource); it != sizes_.end()) return it->second;
    std::vector<int> sizes;
    HRSRC found = FindResourceW(instance_, MAKEINTRESOURCEW(resource), MAKEINTRESOURCEW(14));  // RT_GROUP_ICON
    HGLOBAL loaded = found ? LoadResource(instance_, found) : nullptr;
    const auto* bytes = loaded ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
    const DWORD length = found ? SizeofResource(instance_, found) : 0;
    if (bytes && length >= sizeof(GroupIconHeader)) {
        const auto* header = reinterpret_cast<const GroupIconHeader*>(bytes);
        const auto* entries = reinterpret_cast<const GroupIconEntry*>(bytes + sizeof(GroupIconHeader));
        const size_t count =
            std::min<size_t>(header->count, (length - sizeof(GroupIconHeader)) / sizeof(GroupIconEntry));
        for (size_t i = 0; i < count; ++i) sizes.push_back(entries[i].width ? entries[i].width : 256);
    }
    std::sort(sizes.begin(), sizes.end());
    sizes.erase(std::unique(sizes.begin(), sizes.end()), sizes.end());
    sizes_[resource] = sizes;
    return sizes;
}

PictureCache::Icon PictureCache::Get(ui::Image image, int fit, bool greyed) {
    const int resource = PictureResource(image);
    if (!resource) return {};
    const std::vector<int> sizes = SizesOf(resource);
    if (sizes.empty()) return {};
    int size = sizes.front();
    for (int s : sizes)
        if (s <= fit) size = s;
    auto& icon = icons_[{resource, size, greyed}];
    if (!icon && greyed) {
        if (HICON plain = Get(image, fit).icon) icon.reset(GreyedCopy(plain));
    } else if (!icon) {
        icon.reset(static_cast<HICON>(
            LoadImageW(instance_, MAKEINTRESOURCEW(resource), IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
    }
    return icon ? Icon{icon.get(), size} : Icon{};
}

void PictureCache::Draw(HDC dc, const RECT& r, ui::Image image, bool disabled) {
    const int fit = std::min(r.right - r.left, r.bottom - r.top);
    Icon icon = Get(image, fit, disabled);
    const bool embossed = disabled && !icon.icon;  // no greyed copy: the classic look
    if (embossed) icon = Get(image, fit);
    if (!icon.icon) return;
    const int x = r.left + (r.right - r.left - icon.size) / 2;
    const int y = r.top + (r.bottom - r.top - icon.size) / 2;
    if (embossed)
        DrawStateW(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(icon.icon), 0, x, y, icon.size, icon.size,
                   DST_ICON | DSS_DISABLED);
    else
        DrawIconEx(dc, x, y, icon.icon, icon.size, icon.size, 0, nullptr, DI_NORMAL);
}

}  // namespace varlindo::win32
