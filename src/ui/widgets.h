#pragma once
// Portable widget models. A form owns its controls; each control holds its state and
// raises its events with the semantics the handlers expect (setting a check box to a new
// value runs its click handler, choosing a list entry raises click ...). A view may attach
// to a form and mirror it on screen; without one (the tests) everything runs headless.

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace varlindo::ui {

class Control;
class Form;

// A colour as 0x00BBGGRR, the way the platform writes it.
using Color = unsigned;

// What a view must do when the model changes. Implemented by the Win32 binder.
struct FormView {
    virtual ~FormView() = default;
    virtual void ControlChanged(Control& control) = 0;
    virtual void FormChanged() = 0;
    virtual void FocusControl(Control& control) = 0;
    virtual void ActivateForm() = 0;
};

enum class Kind {
    Label,
    Button,
    CheckBox,
    ListBox,
    ComboBox,
    Frame,
    Timer,
    TextBox,
    PictureBox,
    VScrollBar,
    DriveListBox,  // see ui/file_lists.h
    DirListBox,
    FileListBox,
};

// A colour with the top bit set names a system colour by its index (the button text ...),
// which the view looks up.
inline constexpr Color kSystemColor = 0x80000000;
inline constexpr Color kButtonTextColor = kSystemColor | 18;

// The program's pictures; the view draws each one at the size of its control.
enum class Image {
    None,
    ProgramIcon,          // the window's icon
    ProgramIconDisabled,  // the same, greyed
    DropTarget,           // where a program file may be dropped
    Volume,               // opens the volume dialog
    PinOff,               // always-on-top control: not pinned
    PinHover,             //   not pinned, mouse over it
    PinOn,                //   pinned
    Desktop,              // the file chooser's quick buttons, and pressed
    DesktopPressed,
    StartMenu,
    StartMenuPressed,
};

// What the user dropped on a control or a form: a list of files, or a text.
struct DropData {
    std::vector<std::string> files;
    std::optional<std::string> text;
};

// A mouse button went down, or the mouse moved. `button`: 1 left, 2 right, 4 middle (0 for
// a move with no button down); `shift`: 1 Shift, 2 Ctrl, 4 Alt; x and y in twips from the
// control's (or the form's) top left corner.
struct MouseArgs {
    int button = 0;
    int shift = 0;
    int x = 0;
    int y = 0;
};

class Control {
public:
    Control(Form& form, std::string name, Kind kind, std::string caption, int left, int top, int width,
            int height, Control* container = nullptr);
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;
    virtual ~Control() = default;

    const std::string& Name() const { return name_; }
    Kind GetKind() const { return kind_; }
    Form& Owner() const { return form_; }
    Control* Container() const { return container_; }

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);

    // Position and size in twips, relative to the container (or the form's client area).
    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void Move(int left, int top, int width, int height);

    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    // Shown on screen: visible itself and every container visible too.
    bool Shown() const;
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    bool FontBold() const { return font_bold_; }
    void SetFontBold(bool bold);
    std::optional<Color> BackColor() const { return back_color_; }
    void SetBackColor(Color color);
    std::optional<Color> ForeColor() const { return fore_color_; }
    void SetForeColor(Color color);
    // The picture a picture box or a picture button shows.
    Image Picture() const { return picture_; }
    void SetPicture(Image picture);
    const std::string& ToolTipText() const { return tool_tip_; }
    void SetToolTipText(const std::string& text);
    void SetFocus();
    // Design-time: reached with the Tab key.
    bool TabStop = true;

    // Events, bound by the form that owns the control.
    std::function<void()> Click;
    std::function<void()> DblClick;
    std::function<void()> GotFocus;
    std::function<void()> LostFocus;
    // A key typed while the control has the focus; setting the code to 0 discards the key.
    std::function<void(int& key_ascii)> KeyPress;
    std::function<void(const MouseArgs&)> MouseDown;
    std::function<void(const MouseArgs&)> MouseMove;
    // The mouse left the control.
    std::function<void()> MouseLeave;
    // Something was dropped on the control (see Form::Drop).
    std::function<void(const DropData&)> OLEDragDrop;

    // Raised by a view for what the user did.
    void RaiseClick() { Raise(Click); }
    void RaiseMouseDown(const MouseArgs& args) {
        if (MouseDown) MouseDown(args);
    }
    void RaiseMouseMove(const MouseArgs& args) {
        if (MouseMove) MouseMove(args);
    }
    void RaiseMouseLeave() { Raise(MouseLeave); }
    // The key after the control's KeyPress handler: 0 when it was discarded.
    int RaiseKeyPress(int key_ascii) {
        if (KeyPress) KeyPress(key_ascii);
        return key_ascii;
    }
    void RaiseDblClick() { Raise(DblClick); }
    void RaiseGotFocus() { Raise(GotFocus); }
    void RaiseLostFocus() { Raise(LostFocus); }

protected:
    void Changed();
    static void Raise(const std::function<void()>& handler) {
        if (handler) handler();
    }

private:
    Form& form_;
    std::string name_;
    Kind kind_;
    std::string caption_;
    int left_, top_, width_, height_;
    Control* container_;
    bool visible_ = true;
    bool enabled_ = true;
    bool font_bold_ = false;
    std::optional<Color> back_color_;
    std::optional<Color> fore_color_;
    Image picture_ = Image::None;
    std::string tool_tip_;
};

class Label : public Control {
public:
    Label(Form& form, std::string name, std::string caption, int l, int t, int w, int h, Control* in = nullptr)
        : Control(form, std::move(name), Kind::Label, std::move(caption), l, t, w, h, in) {}
    // Design-time: "&" marks an access key ("&&" shows one "&"); off for run-time texts.
    bool UseMnemonic = true;
};

class Button : public Control {
public:
    Button(Form& form, std::string name, std::string caption, int l, int t, int w, int h, Control* in = nullptr)
        : Control(form, std::move(name), Kind::Button, std::move(caption), l, t, w, h, in) {}
    // Design-time: a graphical button draws its own back colour, and its picture when it
    // has one.
    bool Graphical = false;
};

// A one-line text field. The user's typing changes the text at once (raising change); the
// handlers usually take the text when the field loses the focus.
class TextBox : public Control {
public:
    TextBox(Form& form, std::string name, int l, int t, int w, int h, Control* in = nullptr)
        : Control(form, std::move(name), Kind::TextBox, "", l, t, w, h, in) {}
    const std::string& Text() const { return Caption(); }
    // A different text raises change.
    void SetText(const std::string& text);
    // The user typed: the view already shows the text.
    void UserEdit(const std::string& text) { SetText(text); }
    std::function<void()> Change;
    // Puts the text cursor before character `position` and scrolls it into view.
    void SetSelStart(int position);
    int SelStart() const { return sel_start_; }
    // Counts the cursor placements, so that a view places the cursor again.
    int SelPlacements() const { return sel_placements_; }

private:
    int sel_start_ = 0;
    int sel_placements_ = 0;
};

// A picture (see Image); it may also be a place the mouse acts on.
class PictureBox : public Control {
public:
    PictureBox(Form& form, std::string name, Image picture, int l, int t, int w, int h, Control* in = nullptr)
        : Control(form, std::move(name), Kind::PictureBox, "", l, t, w, h, in) {
        SetPicture(picture);
    }
};

class Frame : public Control {
public:
    Frame(Form& form, std::string name, std::string caption, int l, int t, int w, int h, Control* in = nullptr)
        : Control(form, std::move(name), Kind::Frame, std::move(caption), l, t, w, h, in) {}
};

class CheckBox : public Control {
public:
    CheckBox(Form& form, std::string name, std::string caption, int l, int t, int w, int h, Control* in = nullptr)
        : Control(form, std::move(name), Kind::CheckBox, std::move(caption), l, t, w, h, in) {}
    int Value() const { return value_; }
    // A new value runs the click handler; the same value runs nothing.
    void SetValue(int value);
    // The user clicked the box: toggles it.
    void UserToggle() { SetValue(value_ == 1 ? 0 : 1); }

private:
    int value_ = 0;
};

// List box and combo box share the item list and the selection.
class ListControl : public Control {
public:
    using Control::Control;
    void AddItem(const std::string& text);
    void Clear();
    int ListCount() const { return static_cast<int>(items_.size()); }
    // The entry's text, "" for an index out of range.
    std::string List(int index) const;
    const std::vector<std::string>& Items() const { return items_; }
    // A number kept with each entry (0 when the entry is added); 0 for an index out of range.
    long ItemData(int index) const;
    void SetItemData(int index, long data);
    int ListIndex() const { return list_index_; }
    // Choosing another entry raises click; -1 selects nothing.
    void SetListIndex(int index);
    // The user chose an entry in the view.
    void UserSelect(int index) { SetListIndex(index); }

protected:
    virtual void SelectionChanged() { RaiseClick(); }
    std::vector<std::string> items_;
    std::vector<long> item_data_;
    int list_index_ = -1;
};

class ListBox : public ListControl {
public:
    ListBox(Form& form, std::string name, int l, int t, int w, int h, Control* in = nullptr)
        : ListControl(form, std::move(name), Kind::ListBox, "", l, t, w, h, in) {}
    int TopIndex() const { return top_index_; }
    void SetTopIndex(int index) { top_index_ = index; }
    std::function<void()> Scroll;
    // The user double-clicked the chosen entry: raises DblClick (a folder list opens it).
    virtual void UserDoubleClick() { RaiseDblClick(); }

protected:
    ListBox(Form& form, std::string name, Kind kind, int l, int t, int w, int h, Control* in)
        : ListControl(form, std::move(name), kind, "", l, t, w, h, in) {}

private:
    int top_index_ = 0;
};

class ComboBox : public ListControl {
public:
    ComboBox(Form& form, std::string name, int l, int t, int w, int h, Control* in = nullptr)
        : ListControl(form, std::move(name), Kind::ComboBox, "", l, t, w, h, in) {}
    // The text shown in the edit part; setting a different one chooses the entry of that
    // text (or none) and raises change, but no click.
    const std::string& Text() const { return Caption(); }
    void SetText(const std::string& text);
    std::function<void()> Change;

protected:
    ComboBox(Form& form, std::string name, Kind kind, int l, int t, int w, int h, Control* in)
        : ListControl(form, std::move(name), kind, "", l, t, w, h, in) {}
    void SelectionChanged() override;
};

// A vertical slider. `Min` is the value at the top, `Max` the value at the bottom (a level
// slider runs from 100 at the top to 0). A new value raises change, whoever set it; the view
// reports the user's move once, when the thumb is released.
class VScrollBar : public Control {
public:
    VScrollBar(Form& form, std::string name, int min, int max, int l, int t, int w, int h, Control* in = nullptr)
        : Control(form, std::move(name), Kind::VScrollBar, "", l, t, w, h, in), min_(min), max_(max), value_(min) {}
    int Min() const { return min_; }
    int Max() const { return max_; }
    int Value() const { return value_; }
    // Kept within Min and Max.
    void SetValue(int value);
    // The user moved the slider: a disabled one takes no move.
    void UserSet(int value) {
        if (Enabled()) SetValue(value);
    }
    int SmallChange = 1;
    int LargeChange = 20;
    std::function<void()> Change;

private:
    int min_, max_, value_;
};

// Fires `Tick` every `interval` milliseconds while enabled; the view runs the clock.
class Timer : public Control {
public:
    Timer(Form& form, std::string name, int interval_ms, bool enabled = true)
        : Control(form, std::move(name), Kind::Timer, "", 0, 0, 0, 0), interval_(interval_ms) {
        if (!enabled) SetEnabled(false);
    }
    int Interval() const { return interval_; }
    std::function<void()> Tick;
    // A disabled timer does not tick.
    void RaiseTick() {
        if (Enabled()) Raise(Tick);
    }

private:
    int interval_;
};

enum class WindowState { Normal = 0, Minimized = 1, Maximized = 2 };

// How a form's unload was asked for (handed to QueryUnload).
enum UnloadMode { FormControlMenu = 0, FormCode = 1, AppWindows = 2 };

// A window of the program. Forms are loaded, shown and unloaded through the App, which owns
// them; a form never destroys itself.
class Form {
public:
    Form(std::string name, std::string caption, int width, int height);
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;
    virtual ~Form();

    // The form's name in the program ("Form1", "SystemTray" ...).
    const std::string& Name() const { return name_; }

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    int Width() const { return width_; }    // twips, whole window
    int Height() const { return height_; }
    void SetWidth(int twips);
    void SetHeight(int twips);
    // Where the program placed the window on the screen, in twips; a window never placed
    // comes up where the view puts it (centred).
    bool Placed() const { return placed_; }
    int Left() const { return left_; }
    int Top() const { return top_; }
    void SetPosition(int left, int top);
    // Design-time: a window without title bar and border (the view draws no frame).
    bool Borderless = false;
    bool Visible() const { return visible_; }
    void Show();
    void Hide();
    WindowState GetWindowState() const { return state_; }
    void SetWindowState(WindowState state);
    // Brings the window to the front and gives it the focus.
    void Activate() {
        if (view_) view_->ActivateForm();
    }

    const std::vector<Control*>& Controls() const { return controls_; }
    Control* Find(const std::string& name) const;

    void AttachView(FormView* view);
    FormView* View() const { return view_; }

    // Events. Load runs once the form is made; QueryUnload may cancel an unload, Unload
    // runs when it goes ahead.
    std::function<void()> Load;
    std::function<void(bool& cancel, int unload_mode)> QueryUnload;
    std::function<void(bool& cancel)> Unload;
    std::function<void()> Resize;
    std::function<void(int& key_ascii)> KeyPress;
    std::function<void()> DblClick;
    // The mouse on the form's own surface (not on a control; a frame passes it on to its
    // own handlers).
    std::function<void(const MouseArgs&)> MouseDown;
    std::function<void(const MouseArgs&)> MouseMove;
    // Something was dropped on the form's own surface.
    std::function<void(const DropData&)> OLEDragDrop;
    // Hands a drop to the control it landed on (nullptr: the form's surface): the first of
    // the control, its containers and the form that takes drops gets it. False when none
    // does.
    bool Drop(Control* target, const DropData& data);
    // The form or one of its controls takes drops.
    bool AcceptsDrops() const;

    // For the controls.
    void Register(Control& control) { controls_.push_back(&control); }
    void NotifyControl(Control& control) {
        if (view_) view_->ControlChanged(control);
    }
    void NotifyFocus(Control& control) {
        if (view_) view_->FocusControl(control);
    }

private:
    void Changed() {
        if (view_) view_->FormChanged();
    }
    std::string name_;
    std::string caption_;
    int width_, height_;
    bool placed_ = false;
    int left_ = 0, top_ = 0;
    bool visible_ = false;
    WindowState state_ = WindowState::Normal;
    std::vector<Control*> controls_;
    FormView* view_ = nullptr;
};

}  // namespace varlindo::ui
