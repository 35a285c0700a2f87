#include "volume/volume_slider.h"

#include <algorithm>

#include "app/form1.h"
#include "base/text.h"
#include "tray/window_handling.h"
#include "volume/volume_settings_dialog.h"

namespace varlindo {

namespace {
constexpr int kCorner = 40;  // pixels
int ColumnLeft(int column) { return 60 + column * VolumeSlider::kColumnWidth; }
}  // namespace

VolumeSlider::VolumeSlider(App& app)
    : ui::Form("VolumeSlider", "Volume", kLastColumnWidth, kHeight),
      Picture1(*this, "Picture1", ui::Image::None, ColumnLeft(0) + 90, 90, 480, 480),
      Picture2(*this, "Picture2", ui::Image::None, ColumnLeft(1) + 90, 90, 480, 480),
      Picture3(*this, "Picture3", ui::Image::None, ColumnLeft(2) + 90, 90, 480, 480),
      Picture4(*this, "Picture4", ui::Image::None, ColumnLeft(3) + 90, 90, 480, 480),
      VScroll1(*this, "VScroll1", 100, 0, ColumnLeft(0), 660, 300, 2340),
      VScroll2(*this, "VScroll2", 100, 0, ColumnLeft(1), 660, 300, 2340),
      VScroll3(*this, "VScroll3", 100, 0, ColumnLeft(2), 660, 300, 2340),
      VScroll4(*this, "VScroll4", 100, 0, ColumnLeft(3), 660, 300, 2340),
      Label1(*this, "Label1", "", ColumnLeft(0) + 360, 660, 330, 2700),
      Label2(*this, "Label2", "", ColumnLeft(1) + 360, 660, 330, 2700),
      Label3(*this, "Label3", "", ColumnLeft(2) + 360, 660, 330, 2700),
      Label4(*this, "Label4", "", ColumnLeft(3) + 360, 660, 330, 2700),
      PictureDisabled(*this, "PictureDisabled", ui::Image::None, 0, 0, 480, 480),
      PictureEnabled(*this, "PictureEnabled", ui::Image::None, 0, 0, 480, 480),
      AlwaysOnTop1(*this, app.GetRegistry(), app.GetPlatform().forms, ColumnLeft(0), 3060),
      app_(app),
      main_(app.MainForm()),
      columns_{{{&Picture1, &VScroll1, &Label1},
                {&Picture2, &VScroll2, &Label2},
                {&Picture3, &VScroll3, &Label3},
                {&Picture4, &VScroll4, &Label4}}} {
    Borderless = true;
    PictureDisabled.SetVisible(false);
    PictureEnabled.SetVisible(false);
    for (int c = 0; c < kColumns; ++c) {
        Column& column = columns_[static_cast<size_t>(c)];
        column.label->UseMnemonic = false;
        column.slider->Change = [this, c] {
            ui::VScrollBar& slider = *columns_[static_cast<size_t>(c)].slider;
            if (!slider.Enabled()) return;  // the window's own filling
            SetCardVolume(c + 1, slider.Value());
            Close();
        };
        column.picture->Click = [this, c] { OpenCardDialog(c); };
        column.label->Click = [this] { Close(); };
    }
    // The first slider has the focus: when it loses it (a click elsewhere), the window goes.
    // The others never take it, so that a click on them is no click elsewhere.
    VScroll1.LostFocus = [this] { Close(); };
    for (ui::VScrollBar* other : {&VScroll2, &VScroll3, &VScroll4}) other->TabStop = false;
    DblClick = [this] { Close(); };
    KeyPress = [this](int& key) {
        if (key == 27) Close();
    };
    Load = [this] { Form_Load(); };
    WindowHandling::DragBy(app.GetPlatform().forms, *this, {});
}

void VolumeSlider::Form_Load() {
    PictureDisabled.SetPicture(main_.PictureDisabled.Picture());
    PictureEnabled.SetPicture(ui::Image::ProgramIcon);
    for (Column& column : columns_) column.picture->SetPicture(PictureDisabled.Picture());

    AlwaysOnTop1.SetToTop(false);
    for (Column& column : columns_) column.slider->SetEnabled(false);
    LayoutCards();
    // A column without a card takes no move.
    for (int c = 0; c < kColumns; ++c)
        columns_[static_cast<size_t>(c)].slider->SetEnabled(!column_cards_[static_cast<size_t>(c)].empty());

    // Just above the taskbar at the right, and always inside the work area.
    const FormHostPort::Area work = app_.GetPlatform().forms.WorkArea();
    const int cards = main_.DeviceList.ListCount();
    int left = work.right - 900 - 450 * cards;
    int top = work.bottom - Height() - 700;
    left = std::max(work.left, std::min(left, work.right - Width() - 150));
    top = std::max(work.top, std::min(top, work.bottom - Height() - 150));
    SetPosition(left, top);
    WindowHandling::ShapeWindowCorners(app_.GetPlatform().forms, *this, kCorner);
}

void VolumeSlider::LayoutCards() {
    for (Column& column : columns_) column.label->SetCaption("");
    column_cards_.fill("");
    const int cards = main_.DeviceList.ListCount();

    for (int i = 0; i < cards; ++i) {
        const std::string name = main_.DeviceList.List(i);
        const std::string alias = main_.NiknameList.List(i);
        const auto number = main_.GetDeviceID(name);
        if (!number || *number < 0 || *number >= kColumns) continue;  // no column for it
        Column& column = columns_[static_cast<size_t>(*number)];
        column_cards_[static_cast<size_t>(*number)] = name;
        std::int16_t volume = main_.GetVolume(static_cast<std::int16_t>(*number));
        if (volume < 0) volume = 50;
        if (name == main_.GetDefaultDevice()) column.picture->SetPicture(PictureEnabled.Picture());
        column.slider->SetValue(volume);
        // The nickname downwards: eleven letters at most, then "..".
        const size_t letters = text::CharCount(alias);
        for (size_t j = 1; j <= letters; ++j) {
            if (j == 12) {
                AppendLabelLine(*column.label, "..");
                break;
            }
            AppendLabelLine(*column.label, text::Substr(alias, j - 1, 1));
        }
    }

    // The columns that hold a card show (the first one also with no card at all), and the
    // window is wide enough for the last of them.
    int last = 0;
    for (int c = 0; c < kColumns; ++c)
        if (!column_cards_[static_cast<size_t>(c)].empty()) last = c;
    SetWidth(std::max((std::max(cards, 1) - 1) * kColumnWidth, last * kColumnWidth) + kLastColumnWidth);
    for (int c = 0; c < kColumns; ++c) {
        const bool used = !column_cards_[static_cast<size_t>(c)].empty() || (c == 0 && cards == 0);
        for (ui::Control* control : std::initializer_list<ui::Control*>{
                 columns_[static_cast<size_t>(c)].picture, columns_[static_cast<size_t>(c)].slider,
                 columns_[static_cast<size_t>(c)].label})
            control->SetVisible(used);
    }
}

void VolumeSlider::AppendLabelLine(ui::Label& label, const std::string& text) {
    label.SetCaption(label.Caption() + text + "\r");
}

void VolumeSlider::SetCardVolume(int column, int value) {
    std::int16_t volume = static_cast<std::int16_t>(value);
    main_.SetVolume(static_cast<std::int16_t>(column - 1), volume);
}

void VolumeSlider::OpenCardDialog(int column) {
    // The card this column shows, whatever its place in the card list.
    const std::string name = column_cards_.at(static_cast<size_t>(column));
    if (name.empty()) return;
    VolumeSettingsDialog& dialog = app_.Form<VolumeSettingsDialog>();
    dialog.SetDialog(name, false);
    Hide();
    app_.Show(dialog);
    dialog.SetPosition(std::max(0, Left() - 4600), std::max(0, Top() - 2100));
    Close();
}

void VolumeSlider::Close() { app_.Unload(*this); }

}  // namespace varlindo
