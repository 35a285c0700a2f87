#pragma once
// Binds a portable form to a real top-level window with real child controls. The model is
// the source of truth: model changes are pushed to the controls (batched, so a list that
// is refilled repaints once), and only what the user does is forwarded to the model.

#include <windows.h>

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/win32/win32_handle.h"
#include "ui/widgets.h"

namespace varlindo::win32 {

class FormView final : public ui::FormView {
public:
    FormView(ui::Form& form, HINSTANCE instance, HICON large_icon, HICON small_icon);
    ~FormView() override;
    FormView(const FormView&) = delete;
    FormView& operator=(const FormView&) = delete;

    HWND Window() const { return hwnd_; }

    // Messages the form does not handle itself (registered messages of other instances).
    std::function<void(UINT message, WPARAM wparam)> OnOtherMessage;
    // The user closed the window.
    std::function<void()> OnClose;
    // Windows ends the session: may it, and then it does.
    std::function<bool()> OnQueryEndSession;
    std::function<void()> OnEndSession;

    // ui::FormView
    void ControlChanged(ui::Control& control) override;
    void FormChanged() override;
    void FocusControl(ui::Control& control) override;
    void ActivateForm() override;

    // Pushes every pending model change to the window now.
    void Flush();

private:
    struct Child {
        ui::Control* control = nullptr;
        HWND hwnd = nullptr;
        int id = 0;
        std::vector<std::string> items;  // what the list control shows
        int selection = -2;
    };

    static LRESULT CALLBACK Trampoline(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
    LRESULT Handle(UINT message, WPARAM wparam, LPARAM lparam);
    void CreateChildren();
    void SyncChild(Child& child);
    void SyncForm();
    void LayoutAll();
    void MakeFonts();
    void ScheduleFlush();
    void OnCommand(int id, int code);
    bool DrawButton(const DRAWITEMSTRUCT& item);
    Child* ChildById(int id);
    Child* ChildOf(const ui::Control& control);
    int Px(int twips) const { return MulDiv(twips, static_cast<int>(dpi_), 1440); }
    RECT ChildRect(const ui::Control& control) const;
    HBRUSH BrushFor(COLORREF color);

    ui::Form& form_;
    HINSTANCE instance_;
    HICON large_icon_;
    HICON small_icon_;
    HWND hwnd_ = nullptr;
    UINT dpi_ = 96;
    unique_font font_;
    unique_font bold_font_;
    std::vector<std::unique_ptr<Child>> children_;
    std::set<ui::Control*> dirty_;
    bool form_dirty_ = true;
    bool flush_posted_ = false;
    bool syncing_ = false;
    std::vector<std::pair<COLORREF, unique_brush>> brushes_;
};

}  // namespace varlindo::win32
