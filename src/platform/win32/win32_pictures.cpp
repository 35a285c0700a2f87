// The program's pictures, loaded from its icon resources at the sizes drawn for them.

#include "platform/win32/win32_pictures.h"

#include <algorithm>

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

PictureCache::Icon PictureCache::Get(ui::Image image, int fit) {
    const int resource = PictureResource(image);
    if (!resource) return {};
    const std::vector<int> sizes = SizesOf(resource);
    if (sizes.empty()) return {};
    int size = sizes.front();
    for (int s : sizes)
        if (s <= fit) size = s;
    auto& icon = icons_[{resource, size}];
    if (!icon)
        icon.reset(static_cast<HICON>(
            LoadImageW(instance_, MAKEINTRESOURCEW(resource), IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
    return icon ? Icon{icon.get(), size} : Icon{};
}

void PictureCache::Draw(HDC dc, const RECT& r, ui::Image image, bool disabled) {
    const Icon icon = Get(image, std::min(r.right - r.left, r.bottom - r.top));
    if (!icon.icon) return;
    const int x = r.left + (r.right - r.left - icon.size) / 2;
    const int y = r.top + (r.bottom - r.top - icon.size) / 2;
    if (disabled)
        DrawStateW(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(icon.icon), 0, x, y, icon.size, icon.size,
                   DST_ICON | DSS_DISABLED);
    else
        DrawIconEx(dc, x, y, icon.icon, icon.size, icon.size, 0, nullptr, DI_NORMAL);
}

}  // namespace varlindo::win32
