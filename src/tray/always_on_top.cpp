#include "tray/always_on_top.h"

namespace varlindo {

AlwaysOnTop::AlwaysOnTop(ui::Form& parent, Registry& registry, FormHostPort& host, int left, int top,
                         ui::Control* container)
    : AOT_Disabled(parent, "AOT_Disabled", ui::Image::PinOff, left, top, kWidth, kHeight, container),
      AOT_MouseMove(parent, "AOT_MouseMove", ui::Image::PinHover, left, top, kWidth, kHeight, container),
      AOT_Enabled(parent, "AOT_Enabled", ui::Image::PinOn, left, top, kWidth, kHeight, container),
      parent_(parent),
      registry_(registry),
      host_(host) {
    for (ui::PictureBox* picture : {&AOT_Disabled, &AOT_MouseMove, &AOT_Enabled})
        picture->SetToolTipText(kToolTip);
    ShowOnly(AOT_Disabled);

    // The hover look while the mouse is over the pin; it goes when the mouse leaves.
    AOT_Disabled.MouseMove = [this](const ui::MouseArgs&) { ShowOnly(AOT_MouseMove); };
    AOT_MouseMove.MouseLeave = [this] {
        if (!OnTop) ShowOnly(AOT_Disabled);
    };
    AOT_Disabled.Click = [this] { SetToTop(true); };
    AOT_MouseMove.Click = [this] { SetToTop(true); };
    AOT_Enabled.Click = [this] {
        SetToNormal(true);
        ShowOnly(AOT_MouseMove);  // the mouse is over it
    };
}

void AlwaysOnTop::Move(int left, int top) {
    for (ui::PictureBox* picture : {&AOT_Disabled, &AOT_MouseMove, &AOT_Enabled})
        picture->Move(left, top, kWidth, kHeight);
}

void AlwaysOnTop::ShowOnly(ui::PictureBox& picture) {
    // Show the new picture first, so that the place is never empty.
    picture.SetVisible(true);
    for (ui::PictureBox* other : {&AOT_Disabled, &AOT_MouseMove, &AOT_Enabled})
        if (other != &picture) other->SetVisible(false);
}

void AlwaysOnTop::SetToTop(bool strSaveSettings) {
    ShowOnly(AOT_Enabled);
    PinForm(strSaveSettings);
}

void AlwaysOnTop::SetToNormal(bool strSaveSettings) {
    ShowOnly(AOT_Disabled);
    UnpinForm(strSaveSettings);
}

void AlwaysOnTop::SaveSettings() { registry_.SaveAppSetting("AlwaysOnTop", "OnTop", OnTop ? "True" : "False"); }

void AlwaysOnTop::PinForm(bool save) {
    OnTop = true;
    if (save) SaveSettings();
    host_.SetTopMost(parent_, true);
}

void AlwaysOnTop::UnpinForm(bool save) {
    OnTop = false;
    if (save) SaveSettings();
    host_.SetTopMost(parent_, false);
}

}  // namespace varlindo
