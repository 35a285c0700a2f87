#include "ui/widgets.h"

#include <algorithm>

namespace varlindo::ui {

Control::Control(Form& form, std::string name, Kind kind, std::string caption, int left, int top, int width,
                 int height, Control* container)
    : form_(form), name_(std::move(name)), kind_(kind), caption_(std::move(caption)), left_(left), top_(top),
      width_(width), height_(height), container_(container) {
    form_.Register(*this);
}

void Control::Changed() { form_.NotifyControl(*this); }

void Control::SetCaption(const std::string& caption) {
    if (caption_ == caption) return;
    caption_ = caption;
    Changed();
}

void Control::Move(int left, int top, int width, int height) {
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    Changed();
}

void Control::SetVisible(bool visible) {
    if (visible_ == visible) return;
    visible_ = visible;
    Changed();
    // Children of a container follow it on screen.
    for (Control* c : form_.Controls())
        if (c->container_ == this) c->Changed();
}

bool Control::Shown() const { return visible_ && (!container_ || container_->Shown()); }

void Control::SetEnabled(bool enabled) {
    if (enabled_ == enabled) return;
    enabled_ = enabled;
    Changed();
}

void Control::SetFontBold(bool bold) {
    if (font_bold_ == bold) return;
    font_bold_ = bold;
    Changed();
}

void Control::SetBackColor(Color color) {
    if (back_color_ == color) return;
    back_color_ = color;
    Changed();
}

void Control::SetForeColor(Color color) {
    if (fore_color_ == color) return;
    fore_color_ = color;
    Changed();
}

void Control::SetPicture(Image picture) {
    if (picture_ == picture) return;
    picture_ = picture;
    Changed();
}

void Control::SetToolTipText(const std::string& text) {
    if (tool_tip_ == text) return;
    tool_tip_ = text;
    Changed();
}

void TextBox::SetText(const std::string& text) {
    if (Text() == text) return;
    SetCaption(text);
    if (Change) Change();
}

void TextBox::SetSelStart(int position) {
    sel_start_ = std::clamp(position, 0, static_cast<int>(Text().size()));
    ++sel_placements_;
    Changed();
}

void Control::SetFocus() { form_.NotifyFocus(*this); }

void CheckBox::SetValue(int value) {
    if (value_ == value) return;
    value_ = value;
    Changed();
    RaiseClick();
}

void VScrollBar::SetValue(int value) {
    value = std::clamp(value, std::min(min_, max_), std::max(min_, max_));
    if (value == value_) return;
    value_ = value;
    Changed();
    if (Change) Change();
}

void ListControl::AddItem(const std::string& text) {
    items_.push_back(text);
    item_data_.push_back(0);
    Changed();
}

void ListControl::Clear() {
    items_.clear();
    item_data_.clear();
    list_index_ = -1;
    Changed();
}

std::string ListControl::List(int index) const {
    if (index < 0 || index >= ListCount()) return {};
    return items_[static_cast<size_t>(index)];
}

long ListControl::ItemData(int index) const {
    if (index < 0 || index >= ListCount()) return 0;
    return item_data_[static_cast<size_t>(index)];
}

void ListControl::SetItemData(int index, long data) {
    if (index >= 0 && index < ListCount()) item_data_[static_cast<size_t>(index)] = data;
}

void ListControl::SetListIndex(int index) {
    if (index < -1 || index >= ListCount()) return;  // the platform refuses an invalid index
    if (index == list_index_) return;
    list_index_ = index;
    Changed();
    SelectionChanged();
}

void ComboBox::SetText(const std::string& text) {
    // The entry of that text is the one chosen now (none for another text); the program's
    // own change raises no click.
    const auto it = std::find(items_.begin(), items_.end(), text);
    list_index_ = it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
    if (Text() == text) return;
    SetCaption(text);
    if (Change) Change();
}

void ComboBox::SelectionChanged() {
    // Choosing an entry puts its text into the edit part (choosing none empties it), then
    // raises click.
    const std::string text = list_index_ >= 0 ? items_[static_cast<size_t>(list_index_)] : std::string();
    if (Text() != text) {
        SetCaption(text);
        if (Change) Change();
    }
    RaiseClick();
}

Form::Form(std::string name, std::string caption, int width, int height)
    : name_(std::move(name)), caption_(std::move(caption)), width_(width), height_(height) {}

Form::~Form() = default;

void Form::SetCaption(const std::string& caption) {
    if (caption_ == caption) return;
    caption_ = caption;
    Changed();
}

void Form::SetWidth(int twips) {
    if (width_ == twips) return;
    width_ = twips;
    Changed();
}

void Form::SetHeight(int twips) {
    if (height_ == twips) return;
    height_ = twips;
    Changed();
}

void Form::SetPosition(int left, int top) {
    if (placed_ && left == left_ && top == top_) return;
    placed_ = true;
    left_ = left;
    top_ = top;
    Changed();
}

void Form::Show() {
    if (visible_) return;
    visible_ = true;
    Changed();
}

void Form::Hide() {
    if (!visible_) return;
    visible_ = false;
    Changed();
}

void Form::SetWindowState(WindowState state) {
    if (state_ == state) return;
    state_ = state;
    Changed();
    if (Resize) Resize();
}

bool Form::Drop(Control* target, const DropData& data) {
    for (Control* c = target; c; c = c->Container()) {
        if (c->OLEDragDrop) {
            c->OLEDragDrop(data);
            return true;
        }
    }
    if (!OLEDragDrop) return false;
    OLEDragDrop(data);
    return true;
}

bool Form::AcceptsDrops() const {
    if (OLEDragDrop) return true;
    return std::any_of(controls_.begin(), controls_.end(), [](const Control* c) { return bool(c->OLEDragDrop); });
}

Control* Form::Find(const std::string& name) const {
    for (Control* c : controls_)
        if (c->Name() == name) return c;
    return nullptr;
}

void Form::AttachView(FormView* view) { view_ = view; }

}  // namespace varlindo::ui
