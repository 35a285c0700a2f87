#pragma once
// The program's pictures (ui::Image) as icons from the program's resources. Each icon file
// holds hand-drawn sizes; a picture is drawn at the largest of them that fits its place,
// so that it stays crisp at every scaling instead of being stretched.

#include <windows.h>

#include <map>
#include <tuple>
#include <vector>

#include "platform/win32/win32_handle.h"
#include "ui/widgets.h"

namespace varlindo::win32 {

class PictureCache {
public:
    explicit PictureCache(HINSTANCE instance) : instance_(instance) {}

    struct Icon {
        HICON icon = nullptr;
        int size = 0;  // pixels, square
    };
    // The picture at the largest size its icon holds that fits in `fit` pixels (the
    // smallest size when none fits), greyed when asked; nothing for Image::None or a
    // missing resource.
    Icon Get(ui::Image image, int fit, bool greyed = false);
    // Draws the picture centred in `r`, greyed when `disabled`.
    void Draw(HDC dc, const RECT& r, ui::Image image, bool disabled);

private:
    std::vector<int> SizesOf(int resource);

    HINSTANCE instance_;
    std::map<int, std::vector<int>> sizes_;
    // By resource, size and greyed.
    std::map<std::tuple<int, int, bool>, unique_icon> icons_;
};

// The icon resource of a picture, 0 for none.
int PictureResource(ui::Image image);

}  // namespace varlindo::win32
