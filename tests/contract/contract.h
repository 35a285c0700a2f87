#pragma once
// The expectations the core has of the operating system, written once against the ports
// and run against the simulation on the host and against the real thing under Wine.

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ports.h"

namespace varlindo::ui {
class Control;
class TextBox;
class VScrollBar;
}

namespace varlindo::contract {

// ---- supplied by each runner

Platform& Ports();
// The ports of a second start of the program by the same user on the same machine.
Platform& SecondPorts();
// A folder the test may write in, with a trailing separator.
std::string ScratchFolder();

// A folder made where the test may write (with the folders on its way); one that is there
// already stays as it is.
void MakeFolder(const std::string& path);
// Gives a file or folder the hidden attribute, as the user's Explorer does.
void MakeHidden(const std::string& path);
// Makes an existing file one that cannot be written, replaced or removed (read-only), or
// writable again.
void SetReadOnly(const std::string& path, bool read_only);
// What the shortcut file at `path` starts and shows, read back through the shell; nothing
// when there is no shortcut to read.
std::optional<ShellLink> ReadShortcut(const std::string& path);

// A web server on this machine. A page it serves: a body with a status, a body that breaks
// off after half of it (the announced length is the whole), or a redirect to another address.
struct WebPage {
    int status = 200;
    std::string body;
    bool cut_off = false;
    std::string redirect_to;  // when set, the server answers 302 with this address, and no body
};
// Serves the page at this path ("/builds/Varlindo.exe") from now on; its http address.
std::string Publish(const std::string& path, const WebPage& page);
// An http address on this machine where no server answers.
std::string AddressNobodyServes();

// The user drops files on the form's window at this point of its inside (twips from the
// top left corner of the client area), as the shell hands a drop to a window that takes
// files. Nothing happens on a window that takes no files, nor on one that takes no input
// while a modal form is shown.
void UserDropsFiles(ui::Form& form, int x, int y, const std::vector<std::string>& files);
// The control has the focus (it is given it first) and the user presses Enter.
void UserPressesEnter(ui::Control& control);
// Where the text box shows its text cursor, in bytes of its UTF-8 text; -1 when the cursor
// lies outside what the box shows (scrolled out of view). The program's changes so far
// are on screen.
int CaretPosition(const ui::TextBox& box);

// The next popup menu is answered with the entry at `position` among those that are no
// separators, or dismissed when `position` is -1.
void AnswerNextMenu(int position);
// The entries the last popup menu showed, as the user saw them.
std::vector<MenuItem> LastMenuShown();

// While the next modal display of the form with this name runs, `action` runs once.
void DuringNextModal(const std::string& form_name, std::function<void()> action);
// The form's window takes the user's input (it is not waiting for a modal form).
bool TakesInput(const ui::Form& form);
// The form's window is kept above all other windows.
bool IsTopMost(const ui::Form& form);

// Where the slider's thumb is shown, in steps from the top end (0 .. |Max - Min|); the
// program's changes so far are on screen.
int ThumbPosition(const ui::VScrollBar& bar);
// The user drags the slider's thumb to this many steps from the top and lets it go.
void UserDragsThumb(const ui::VScrollBar& bar, int steps_from_top);
// The user presses a key while the slider has the focus: "up", "down", "page up",
// "page down", "home" or "end".
void UserPressesKey(const ui::VScrollBar& bar, const std::string& key);

// Another running program with a main window of this caption. It records the program
// events that reach it, one line each: "device-changed <stamp>", "defaults-changed",
// "bring-forward".
class OtherProgram {
public:
    virtual ~OtherProgram() = default;
    virtual std::vector<std::string> Events() = 0;
};
std::unique_ptr<OtherProgram> StartOtherProgram(const std::string& caption);

// Another program writes a text value under a key of the user's (a path below
// HKEY_CURRENT_USER), as the system's own sound settings write theirs.
void AnotherProgramWrites(const std::string& key, const std::string& name, const std::string& text);

// The system's own settings make the endpoint the default of its flow for every role.
void SystemMakesDefault(EndpointFlow flow, const std::string& id);

// From now on the system has (or has not) the policy object that sets the default endpoint,
// for the programs that start later.
void SetPolicyObject(bool present);

// One more start of the program in this process, with ports of its own, that records the
// program events reaching it as the lines of OtherProgram.
class ListeningProgram {
public:
    virtual ~ListeningProgram() = default;
    virtual Platform& Ports() = 0;
    // Lets what waits for the program reach it, as its message loop would, until `count`
    // events in all have come or `wait` has passed; the events so far.
    virtual std::vector<std::string> EventsWithin(std::chrono::milliseconds wait, std::size_t count) = 0;
};
std::unique_ptr<ListeningProgram> StartListeningProgram();

// ---- for the runners

// Writes the events another program receives as the lines above.
class EventRecorder final : public ProgramEvents {
public:
    explicit EventRecorder(std::function<void(const std::string&)> record) : record_(std::move(record)) {}
    void DeviceChanged(std::int32_t stamp) override { record_("device-changed " + std::to_string(stamp)); }
    void DefaultsChanged() override { record_("defaults-changed"); }
    void BringForward() override { record_("bring-forward"); }
    void TrayMouse(int) override {}
    void TaskbarCreated() override {}
    void HotkeyPressed(int) override {}
    bool SessionEnding() override { return true; }
    void SessionEnded(bool) override {}
    void CloseRequested(ui::Form&) override {}
    void UserEvent(const std::function<void()>& handler) override { handler(); }

private:
    std::function<void(const std::string&)> record_;
};

}  // namespace varlindo::contract
