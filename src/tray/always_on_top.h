#pragma once
// The pin that keeps its window above all other windows. Three pictures lie at the same
// place and one shows at a time: not pinned, not pinned with the mouse over it, pinned.
// Every pin change is stored under ("AlwaysOnTop", "OnTop"), which all windows share; the
// program never reads it back; each window pins itself as it sees fit.

#include "core/registry.h"
#include "ui/widgets.h"

namespace varlindo {

class AlwaysOnTop {
public:
    static constexpr int kWidth = 315;  // twips
    static constexpr int kHeight = 300;
    static constexpr const char* kToolTip = "Always on top";

    // Sits on `parent` at this place (in `container` when given) and pins that window.
    AlwaysOnTop(ui::Form& parent, Registry& registry, FormHostPort& host, int left, int top,
                ui::Control* container = nullptr);

    ui::PictureBox AOT_Disabled;
    ui::PictureBox AOT_MouseMove;
    ui::PictureBox AOT_Enabled;

    // Pins the window as a click does; stores the state only when asked to.
    void SetToTop(bool strSaveSettings = true);
    void SetToNormal(bool strSaveSettings = true);
    bool GetIsOnTop() const { return OnTop; }
    // Moves the pin to another place of its window.
    void Move(int left, int top);
    void SaveSettings();

private:
    void PinForm(bool save);
    void UnpinForm(bool save);
    // Exactly one picture shows.
    void ShowOnly(ui::PictureBox& picture);

    ui::Form& parent_;
    Registry& registry_;
    FormHostPort& host_;
    bool OnTop = false;
};

}  // namespace varlindo
