// A list box: entries and selection come from the model; the user's choice, a double
// click and the focus go back to it. The file chooser's folder and file lists are list
// boxes too (a double click in the folder list opens the folder).

#include "platform/win32/win32_binding.h"
#include "platform/win32/win32_form_window.h"

namespace varlindo::win32 {
namespace {

class ListBoxBinding final : public ControlBinding {
public:
    explicit ListBoxBinding(ui::ListBox& list) : ControlBinding(list), list_(list) {}

    void Create(Win32FormWindow& window, int id) override {
        MakeChild(window, id, L"LISTBOX",
                  LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | (list_.TabStop ? WS_TABSTOP : 0),
                  WS_EX_CLIENTEDGE);
    }
    void Sync(Win32FormWindow& window) override {
        if (!hwnd_) return;
        ControlBinding::Sync(window);
        SyncItems(list_.Items(), list_.ListIndex(), {LB_RESETCONTENT, LB_ADDSTRING, LB_SETCURSEL});
    }
    void Notify(int code) override {
        switch (code) {
            case LBN_SELCHANGE: UserChose(list_, LB_GETCURSEL); break;
            case LBN_DBLCLK: list_.UserDoubleClick(); break;
            case LBN_SETFOCUS: list_.RaiseGotFocus(); break;
            case LBN_KILLFOCUS: list_.RaiseLostFocus(); break;
            default: break;
        }
    }
    void Forget() override { ForgetItems(); }

private:
    ui::ListBox& list_;
};

}  // namespace

std::unique_ptr<ControlBinding> BindListBox(ui::ListBox& list) { return std::make_unique<ListBoxBinding>(list); }

}  // namespace varlindo::win32
