#pragma once
// Window operations the program's windows share: moving a window by pressing the mouse
// anywhere on its surface, and rounding its corners.

#include "platform/ports.h"
#include "ui/widgets.h"

namespace varlindo::WindowHandling {

// From a mouse-down handler: the window follows the mouse until the button is released.
// Any button drags; the position is not looked at.
void DragWindow(FormHostPort& host, ui::Form& form, const ui::MouseArgs& args);

// Gives the window elliptic corners of `corner_size` pixels.
void ShapeWindowCorners(FormHostPort& host, ui::Form& form, int corner_size);

// Makes each of these controls (and the form itself) drag the window when pressed.
void DragBy(FormHostPort& host, ui::Form& form, std::initializer_list<ui::Control*> controls);

}  // namespace varlindo::WindowHandling
