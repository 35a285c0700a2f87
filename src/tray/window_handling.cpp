#include "tray/window_handling.h"

namespace varlindo::WindowHandling {

void DragWindow(FormHostPort& host, ui::Form& form, const ui::MouseArgs&) { host.DragWindow(form); }

void ShapeWindowCorners(FormHostPort& host, ui::Form& form, int corner_size) {
    host.ShapeWindowCorners(form, corner_size);
}

void DragBy(FormHostPort& host, ui::Form& form, std::initializer_list<ui::Control*> controls) {
    auto drag = [&host, &form](const ui::MouseArgs& args) { DragWindow(host, form, args); };
    form.MouseDown = drag;
    for (ui::Control* control : controls) control->MouseDown = drag;
}

}  // namespace varlindo::WindowHandling
