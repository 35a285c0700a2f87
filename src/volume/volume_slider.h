#pragma once
// The quick volume window of the tray menu: one slider per card (four at most), the card's
// nickname written downwards, and its picture lit for the current card. One change sets
// that card's volume and closes the window; a click on a card's picture opens the card's
// volume dialog instead.

#include <array>
#include <string>

#include "app/app.h"
#include "tray/always_on_top.h"
#include "ui/widgets.h"

namespace varlindo {

class Form1;

class VolumeSlider : public ui::Form {
public:
    static constexpr int kColumns = 4;
    static constexpr int kColumnWidth = 840;  // twips
    static constexpr int kLastColumnWidth = 755;
    static constexpr int kHeight = 3420;

    explicit VolumeSlider(App& app);

    ui::PictureBox Picture1, Picture2, Picture3, Picture4;
    ui::VScrollBar VScroll1, VScroll2, VScroll3, VScroll4;
    ui::Label Label1, Label2, Label3, Label4;
    ui::PictureBox PictureDisabled;
    ui::PictureBox PictureEnabled;
    AlwaysOnTop AlwaysOnTop1;

    void Form_Load();
    void LayoutCards();
    // Sets the volume of the card in this column (1 to 4).
    void SetCardVolume(int column, int value);
    static void AppendLabelLine(ui::Label& label, const std::string& text);
    // Opens the volume dialog of the card in this column (0 to 3) and closes this window.
    void OpenCardDialog(int column);
    // The device name each column shows ("" for an empty column).
    const std::array<std::string, kColumns>& ColumnCards() const { return column_cards_; }

private:
    struct Column {
        ui::PictureBox* picture;
        ui::VScrollBar* slider;
        ui::Label* label;
    };
    void Close();

    App& app_;
    Form1& main_;
    std::array<Column, kColumns> columns_;
    std::array<std::string, kColumns> column_cards_;
};

}  // namespace varlindo
