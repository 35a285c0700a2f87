#pragma once
// Binds a portable form to a real top-level window with real child controls, one
// binding per control (win32_bind_*.cpp). The model is the source of truth: model
// changes are pushed to the controls (batched, so a list that is refilled repaints once),
// and only what the user does is forwarded to the model, as an event of the program.

#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <climits>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/win32/win32_handle.h"
#include "platform/win32/win32_pictures.h"
#include "ui/widgets.h"

namespace varlindo::win32 {

class ControlBinding;
class Win32FormHost;

// The window class of every form; another instance finds the main window by it.
inline constexpr wchar_t kFormWindowClass[] = L"VarlindoForm";

// A model colour as Windows takes it: one that names a system colour (ui::kSystemColor) is
// looked up now, so that it follows the user's colour scheme.
COLORREF ColorRef(ui::Color color);
// The model colour, or the system colour `fallback` (COLOR_BTNFACE ...) when it has none.
COLORREF ColorRef(const std::optional<ui::Color>& color, int fallback);

// The mouse button of a button-down message: 1 left, 2 right, 4 middle, 0 for others.
int MouseButtonOf(UINT message);
// The buttons held during a mouse move, added up the same way.
int MouseButtonsHeld(WPARAM keys);

class Win32FormWindow final : public ui::FormView, public std::enable_shared_from_this<Win32FormWindow> {
public:
    Win32FormWindow(ui::Form& form, Win32FormHost& host, HINSTANCE instance, HICON large_icon, HICON small_icon);
    ~Win32FormWindow() override;
    Win32FormWindow(const Win32FormWindow&) = delete;
    Win32FormWindow& operator=(const Win32FormWindow&) = delete;

    HWND Hwnd() const { return hwnd_; }
    HINSTANCE Instance() const { return instance_; }
    // The form this window shows; nothing once the form was closed.
    ui::Form* Form() const { return form_; }
    bool Attached() const { return form_ != nullptr; }

    // The form was unloaded: the window goes and the model is let go. The object itself
    // lives on while one of its handlers is still running.
    void Retire();
    // Pushes every pending model change to the window now.
    void Flush();
    // The child window that shows this control, or nothing (a timer has none).
    HWND ControlWindow(const ui::Control& control) const;

    // ui::FormView
    void ControlChanged(ui::Control& control) override;
    void FormChanged() override;
    void FocusControl(ui::Control& control) override;
    void ActivateForm() override;

    // ---- for the bindings
    int Px(int twips) const { return MulDiv(twips, static_cast<int>(dpi_), 1440); }
    UINT Dpi() const { return dpi_; }
    HFONT Font(bool bold) const { return bold ? bold_font_.get() : font_.get(); }
    HBRUSH BrushFor(COLORREF color);
    // Where a control lies, in pixels of the window's client area.
    RECT ChildRect(const ui::Control& control) const;
    PictureCache& Pictures() { return pictures_; }
    // Runs a handler of the model for something the user did (see UserEvent).
    void UserAction(const std::function<void()>& handler);
    // The model's arguments of a mouse message: `point` in pixels from the top left corner
    // of the control (or of the window's client area), `keys` the message's key flags.
    ui::MouseArgs MouseArgsOf(int button, WPARAM keys, POINT point) const;
    // The tooltip of a child window; an empty text takes it away.
    void SetToolTip(HWND child, const std::string& text);

    // ---- for the host
    // From a mouse-down event: the window follows the mouse until the button that is down
    // now is released. Works for every button and needs no window manager.
    void BeginDrag();
    bool Dragging() const { return drag_.active; }
    // Rounds the window's corners with ellipses of this size; kept when the size changes.
    void ShapeCorners(int corner_pixels);

private:
    static LRESULT CALLBACK Trampoline(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
    LRESULT Handle(UINT message, WPARAM wparam, LPARAM lparam);
    // Runs a handler of the model as an event of the program, then shows what it changed.
    template <class F>
    void UserEvent(F handler);
    void CreateChildren();
    void SyncForm();
    void LayoutAll();
    void MakeFonts();
    void ScheduleFlush();
    ControlBinding* BindingById(int id) const;
    ControlBinding* BindingOf(const ui::Control& control) const;
    ControlBinding* BindingOf(HWND child) const;
    // The mouse on the window's own surface: on a frame (group boxes let the mouse through
    // to the window) or on the form itself.
    void SurfaceMouse(UINT message, WPARAM wparam, LPARAM lparam);
    // The innermost shown frame at this point of the client area, and where it lies.
    ui::Control* FrameAt(POINT point, RECT& where) const;
    // What lies at this point of the client area: the innermost shown control that is no
    // frame, else the innermost frame; nullptr for the form's own surface.
    ui::Control* ControlAt(POINT point) const;
    // Files dropped on the window (WM_DROPFILES): the control they landed on takes them,
    // or its containers, or the form.
    void DropFiles(HDROP drop);
    // Enter, as the dialog manager reports it when no push button takes it.
    void EnterPressed();
    // Fills in the colours of a control that Windows is about to paint (WM_CTLCOLOR...);
    // `back` is the system colour it has when the model gives none.
    LRESULT ControlColors(ControlBinding& binding, HDC dc, int back);
    // Moves the window to the mouse while a drag lasts.
    void DragToMouse();
    void ApplyCorners();

    ui::Form* form_;
    Win32FormHost& host_;
    HINSTANCE instance_;
    HWND hwnd_ = nullptr;
    UINT dpi_ = 96;
    unique_font font_;
    unique_font bold_font_;
    std::vector<std::unique_ptr<ControlBinding>> bindings_;
    std::set<ui::Control*> dirty_;
    bool form_dirty_ = true;
    bool flush_posted_ = false;
    bool syncing_ = false;
    std::vector<std::pair<COLORREF, unique_brush>> brushes_;
    PictureCache pictures_;
    // The tooltips of the controls: a popup owned by no window (see SetToolTip), destroyed
    // by Retire.
    HWND tooltip_ = nullptr;
    std::set<HWND> tools_;
    struct Drag {
        bool active = false;
        int key = 0;          // VK_LBUTTON ...
        UINT release = 0;     // WM_LBUTTONUP ...
        POINT offset{};       // of the mouse from the window's top left corner
    } drag_;
    int corners_ = -1;        // none
    SIZE shaped_{};
    POINT placed_{INT_MIN, INT_MIN};  // the model's place last given to the window
    HWND last_focus_ = nullptr;       // the control that had the focus when the window was left
    bool accepts_drops_ = false;      // files may be dropped on the window (DragAcceptFiles)
    // The frame the mouse is over, for its MouseLeave.
    ui::Control* hover_frame_ = nullptr;
};

}  // namespace varlindo::win32
