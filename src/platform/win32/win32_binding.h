#pragma once
// One control of a form on screen: each kind of control has its own small binding that
// makes the child window, pushes the model's state to it and turns what the user did into
// model events. The shared parts (position, font, enabled, visible, tooltip, and the
// mouse and key events every kind raises) live in the base.

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/widgets.h"

namespace varlindo::win32 {

class Win32FormWindow;

class ControlBinding {
public:
    explicit ControlBinding(ui::Control& control) : control_(control) {}
    virtual ~ControlBinding() = default;
    ControlBinding(const ControlBinding&) = delete;
    ControlBinding& operator=(const ControlBinding&) = delete;

    ui::Control& Control() const { return control_; }
    HWND Hwnd() const { return hwnd_; }
    int Id() const { return id_; }

    // Makes the control's child window (a timer makes none).
    virtual void Create(Win32FormWindow& window, int id) = 0;
    // Pushes the model's state to the control.
    virtual void Sync(Win32FormWindow& window);
    // A WM_COMMAND notification of the control: something the user did.
    virtual void Notify(int) {}
    // A WM_VSCROLL of the control: its code and the thumb position it carries.
    virtual void Scroll(Win32FormWindow&, int /*code*/, int /*thumb*/) {}
    // WM_TIMER with this binding's id.
    virtual void Tick() {}
    // Draws an owner-drawn control; false when the control draws itself.
    virtual bool Draw(Win32FormWindow&, const DRAWITEMSTRUCT&) { return false; }
    // Frames lie under every other control, so that the controls in them can be seen.
    virtual bool LiesBelowOthers() const { return false; }
    // The DPI changed: forget what the control shows, so that the next sync sets it all.
    virtual void Forget() {}

protected:
    // Makes the child window and routes its mouse and key input to the model's events.
    void MakeChild(Win32FormWindow& window, int id, const wchar_t* window_class, DWORD style, DWORD ex_style = 0);
    // Where the child lies; a combo box adds its drop-down part.
    virtual RECT Placement(Win32FormWindow& window) const;
    // The control's caption, when its kind shows one.
    void SyncCaption();
    // Caption and the shared state; `repaint` when the model paints colours or the face.
    void SyncCaptioned(Win32FormWindow& window, bool repaint);
    // A list control's entries and selection, sent with the list or combo messages.
    struct ListMessages {
        UINT reset, add, select;
    };
    void SyncItems(const std::vector<std::string>& items, int selection, const ListMessages& messages);
    void ForgetItems() {
        shown_items_.clear();
        shown_selection_ = -2;
    }
    // The user chose an entry: the model hears of it, and the control already shows it.
    void UserChose(ui::ListControl& list, UINT get_selection);

    ui::Control& control_;
    HWND hwnd_ = nullptr;
    int id_ = 0;

private:
    static LRESULT CALLBACK InputProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                                      DWORD_PTR self);
    // The child's mouse buttons, moves and typed keys, for the model's handlers that are bound.
    LRESULT Input(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
    // Runs the model's handler as a user event; false when the child window went with it.
    bool RaiseUserEvent(HWND hwnd, const std::function<void()>& handler);

    Win32FormWindow* window_ = nullptr;
    std::string shown_tip_;
    std::vector<std::string> shown_items_;
    int shown_selection_ = -2;
};

// The binding for this control's kind.
std::unique_ptr<ControlBinding> BindControl(ui::Control& control);

std::unique_ptr<ControlBinding> BindLabel(ui::Label& label);
std::unique_ptr<ControlBinding> BindButton(ui::Button& button);
std::unique_ptr<ControlBinding> BindCheckBox(ui::CheckBox& box);
std::unique_ptr<ControlBinding> BindFrame(ui::Frame& frame);
std::unique_ptr<ControlBinding> BindListBox(ui::ListBox& list);
std::unique_ptr<ControlBinding> BindComboBox(ui::ComboBox& combo);
std::unique_ptr<ControlBinding> BindTimer(ui::Timer& timer);
std::unique_ptr<ControlBinding> BindTextBox(ui::TextBox& box);
std::unique_ptr<ControlBinding> BindPictureBox(ui::PictureBox& picture);
std::unique_ptr<ControlBinding> BindVScrollBar(ui::VScrollBar& bar);

}  // namespace varlindo::win32
