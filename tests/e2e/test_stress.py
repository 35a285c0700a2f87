"""Under load: shortcuts switching again and again beside a resident instance, and a switch
while another program's window hangs or answers late.

A switch tells every top-level window of the machine (HWND_BROADCAST, message 818) without
waiting for any. Were it to wait, a program that hangs or answers late would cost every switch
up to the wait for each of its top-level windows (under Wine a program with one window has
two: its own and its input method's); one that waited without a limit would never end.
hungwin.exe is such a program: its window stops taking messages (or, with --slow, takes them
only every few seconds). These scenarios check that switches beside it complete and that the
window still takes the user's input; they print the times, but what the notice costs is
measured by bench/hung_window.py, not asserted here (the scenario files run side by side).
What is not checked: a window waiting on its notice still answers messages sent to it (as the
test's own look into it), so how long the window could not take the user's input is not seen
directly.
"""

import subprocess
import time
import unittest

from e2e import HEADSET, REALTEK, main, wh

HUNG_TITLE = "Hung window"
BUSY_TITLE = "Busy window"
LISTEN_TITLE = "Listening window"
SWITCHES = 50  # command-line starts beside the resident instance
ROUNDS = 3  # pairs of switches beside a busy window


def visible_windows(session, title):
    """X ids of the visible windows with exactly this title."""
    out = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", f"^{title}$"], env=session.env,
                         capture_output=True, text=True)
    return out.stdout.split()


def start_hungwin(session, title, *args):
    """Starts hungwin.exe with this window title; returns the process and the number of top-level windows
    it has (each of them waits on a message sent to all windows), once its window is on the screen."""
    exe = wh.BUILD / "hungwin.exe"
    if not exe.exists():
        raise AssertionError(f"{exe} is missing: build the windows preset (tools/build windows)")
    report = session.prefix / "drive_c" / f"hungwin-{title.split()[0].lower()}.txt"
    report.unlink(missing_ok=True)
    env = dict(session.env, HUNGWIN_REPORT=f"C:\\{report.name}")
    proc = subprocess.Popen(["wine", str(exe), *args, title], env=env, stdin=subprocess.DEVNULL,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    session.procs.append(proc)
    session.wait_for(f"the window {title!r}", lambda: visible_windows(session, title))
    text = session.wait_for("hungwin's report", lambda: report.exists() and report.read_text().strip())
    return proc, int(text)


def stop(session, proc, title):
    proc.kill()
    proc.wait(10)
    session.wait_for(f"the window {title!r} to go", lambda: not visible_windows(session, title))


class Shows:
    """What the main window shows as the current card, read from outside."""

    def shows(self, card):
        """The dump of the main window when its label names the card and its visible list has the card's
        line selected, else None."""
        d = self.s.dump()
        if not d or not d["window"]["visible"] or not self.s.control(d, "Static", card):
            return None
        lst = self.s.visible_list(d)
        return d if card in lst["items"] and lst["selected"] == lst["items"].index(card) else None

    def wait_shows(self, card, timeout=15):
        return self.s.wait_for(f"the main window to show {card}", lambda: self.shows(card), timeout, step=0.1)


class TwoInstances(Shows, unittest.TestCase):
    def setUp(self):
        self.s = wh.Session("stress-race")

    def tearDown(self):
        self.s.close()

    def test_command_line_switches_beside_a_resident_instance(self):
        s = self.s
        resident = s.start()
        s.tray_icon_point()  # up, in the notification area
        self.assertTrue(s.program_running())
        settings_before = s.wine("reg", "query", wh.SETTINGS_KEY, "/s").stdout
        self.assertIn("Settings", settings_before)
        time.sleep(1.1)  # another second: the starts carry another stamp than the resident
        # Another program's window notes every notice it hears: each start tells the others
        # and ends at once, without waiting for them (the resident would follow the Sound
        # Mapper values even without the notice).
        heard = s.prefix / "drive_c" / "heard.txt"
        listener, _ = start_hungwin(s, LISTEN_TITLE, "--listen", r"C:\heard.txt")

        lines = ["D=2" if i % 2 == 0 else "D=3" for i in range(SWITCHES)]
        statuses, took = [], []
        for line in lines:
            started = time.time()
            statuses.append(s.start_line(line).wait(60))
            took.append(time.time() - started)
        print(f"{SWITCHES} starts: mean {sum(took) / len(took) * 1000:.0f} ms, max {max(took) * 1000:.0f} ms")
        self.assertEqual([(i, line, rc) for i, (line, rc) in enumerate(zip(lines, statuses)) if rc != 0], [])
        notices = s.wait_for(f"{SWITCHES} notices", lambda: heard.exists() and len(heard.read_text().split()) >= SWITCHES
                             and heard.read_text().split(), timeout=10)
        self.assertEqual(len(notices), SWITCHES)
        self.assertTrue(all(int(stamp) > 0 for stamp in notices), notices)
        stop(s, listener, LISTEN_TITLE)
        last = REALTEK if lines[-1] == "D=2" else HEADSET

        self.assertEqual(s.mapper("Playback"), last)
        self.assertEqual(s.mapper("Record"), last)
        self.assertIsNone(resident.poll(), "the resident instance ended")
        # The resident followed: its icon, its menu and its window name the last card.
        s.wait_for("the tooltip", lambda: s.tray_tooltip() == last, timeout=20)
        items = s.open_tray_menu()
        self.assertEqual([i["text"] for i in items if i["checked"]], [f"3: {last}    (Play + Rec)"])
        s.close_menu()
        s.show_main_window()
        dump = self.wait_shows(last)
        s.window_shot("stress-resident-after-race", dump)
        # The switches wrote nothing into the program's own settings.
        self.assertEqual(s.wine("reg", "query", wh.SETTINGS_KEY, "/s").stdout, settings_before)

        # And it still answers the user: a double-click in its list switches.
        lst = s.visible_list(dump)
        s.click_list_item(lst, lst["items"].index(REALTEK), double=True)
        s.wait_for("Playback", lambda: s.mapper("Playback") == REALTEK)
        self.wait_shows(REALTEK)
        self.assertIsNone(resident.poll())


class WindowThatHangs(Shows, unittest.TestCase):
    """One program throughout; other programs' windows come and go beside it."""

    @classmethod
    def setUpClass(cls):
        cls.s = wh.Session("stress-hung")

    @classmethod
    def tearDownClass(cls):
        cls.s.close()

    def double_click(self, card):
        lst = self.s.visible_list(self.s.dump())
        self.s.click_list_item(lst, lst["items"].index(card), double=True)

    def switch_and_wait(self, card, timeout=20):
        """Switches from the window; seconds until the Sound Mapper value names the card."""
        started = time.time()
        self.double_click(card)
        self.s.wait_for(f"Playback = {card}", lambda: self.s.mapper("Playback") == card, timeout, step=0.05)
        return time.time() - started

    def shown_after(self, card):
        """Seconds from a double-click until the window shows the card."""
        started = time.time()
        self.switch_and_wait(card)
        self.wait_shows(card)
        return time.time() - started

    def held(self, first, second):
        """Seconds from a double-click on `first` until a double-click on `second`, made as soon as the
        first switch shows in the Sound Mapper value, has switched as well: the time the first switch held
        the window from taking the user's input, and the second switch's own."""
        started = time.time()
        self.switch_and_wait(first)
        self.switch_and_wait(second)
        return time.time() - started

    def test_1_a_switch_completes_while_a_window_hangs(self):
        s = self.s
        type(self).program = s.start()
        s.show_main_window()
        self.shown_after(REALTEK)
        alone = self.shown_after(HEADSET)

        # Freshly hung: the system calls a window hung only once it has taken no message for
        # 5 s; a notice that waited would wait on it until then.
        hung, windows = start_hungwin(s, HUNG_TITLE)
        self.assertTrue(visible_windows(s, HUNG_TITLE), "the hung window went away")
        beside = self.shown_after(REALTEK)
        self.assertEqual(s.mapper("Record"), REALTEK)
        print(f"beside a freshly hung program ({windows} top-level windows): the window showed the card "
              f"{beside:.2f} s after the double-click, {alone:.2f} s alone")
        # It still takes the user's input: a switch back and forth.
        self.switch_and_wait(HEADSET)
        self.assertEqual(s.mapper("Record"), HEADSET)
        self.switch_and_wait(REALTEK)
        dump = self.wait_shows(REALTEK)
        s.window_shot("stress-switched-beside-a-hung-window", dump)
        s.screenshot("stress-hung-window-screen")
        self.assertIsNone(hung.poll(), "hungwin ended by itself")
        stop(s, hung, HUNG_TITLE)
        self.assertIsNone(self.program.poll(), "the program ended")

    def test_2_switches_complete_beside_a_window_that_answers_late(self):
        s = self.s
        self.wait_shows(REALTEK)
        alone = sum(self.held(HEADSET, REALTEK) for _ in range(ROUNDS))
        # Busy, not hung: it looks at its messages every 3 s, so the system never calls it hung;
        # a notice that waited would wait on every window of the program each time.
        busy, windows = start_hungwin(s, BUSY_TITLE, "--slow", "3000")
        try:
            beside = sum(self.held(HEADSET, REALTEK) for _ in range(ROUNDS))
            self.wait_shows(REALTEK)
            extra = beside - alone
            print(f"{2 * ROUNDS} switches, each right after the last: {alone:.2f} s alone, {beside:.2f} s beside a busy "
                  f"program with {windows} top-level windows ({extra:+.2f} s)")
        finally:
            stop(s, busy, BUSY_TITLE)
        self.assertIsNone(self.program.poll(), "the program ended")


if __name__ == "__main__":
    main()
