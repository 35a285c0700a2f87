"""The card's audio endpoints: what a switch asks of the system's policy object, and how the
main window follows a default that changes outside the program.

Wine 8 has no policy object, so the program keeps to the Sound Mapper values there. The
scenarios that look at the endpoints register policyrec.dll in their prefix in its place
(see policyrec.cpp): it notes each SetDefaultEndpoint call in C:\\policy-calls.txt and makes
Wine's default endpoint follow, as the system does. The ids a call must carry are read
independently with `vtool endpoints` (the driver's id of each wave device, and the endpoints
the device enumerator lists).

What Wine cannot show: it names a wave-in device "In: <card>" beside the wave-out device
"Out: <card>", and gives each endpoint its own name as its adapter's, so no card here has a
recording endpoint that the program may tie to it (by the name of its wave-in device, or by
its adapter). The recording side of a switch is therefore checked only as far as that goes:
with "For record" ticked the program must leave the recording default alone, and asked to
switch recording alone it must say that the card has no recording device. That the right
capture endpoint gets all three roles on Windows is not checked here. Nor are: the layout of
the real policy object (policyrec.dll declares the same slot as the program, so both could
be wrong together; the slot is the one widely documented), devices numbered anew when one is
plugged in (the host tests cover it), real wave-in and wave-out names, and Windows Vista.
"""

import json
import time
import unittest

from e2e import DEFAULT, HEADSET, REALTEK, main, wh

SETTINGS = wh.SETTINGS_KEY + r"\Settings"
HOTKEYS = wh.SETTINGS_KEY + r"\Hotkeys"
FAILED_BOX = "Sound card not switched"
ROLES = (0, 1, 2)
FOLLOW_WITHIN = 2.0  # seconds: the window follows an outside change at once


def tied_capture(endpoints, card):
    """The recording endpoint the program's rule ties to the card, or None: the wave-in device of the
    card's name, else an active recording endpoint on the card's adapter. (The card names in this
    prefix are unique, so "the k-th of that name" is the only one.)"""
    if card in endpoints["in"]:
        return endpoints["in"][card]
    render = [e for e in endpoints["render"] if e["id"] == endpoints["out"].get(card)]
    if not render:
        return None
    adapter = lambda e: " ".join(part for part in (e["adapter"], e["container"]) if part)
    if not adapter(render[0]):
        return None
    for e in endpoints["capture"]:
        if e["state"] == 1 and adapter(e) == adapter(render[0]):
            return e["id"]
    return None


class Follows:
    """Checks shared by the scenarios: what the main window shows, and windows nobody asked for."""

    def shows(self, card):
        """The dump of the main window when its label names the card and its list has the card's line
        selected, else None. (Of a hidden window only the label is looked at: which of its lists is the
        card list cannot be told from outside while none is visible.)"""
        d = self.s.dump()
        if not d or not self.s.control(d, "Static", card):
            return None
        if not d["window"]["visible"]:
            return d
        lst = self.s.visible_list(d)
        return d if card in lst["items"] and lst["selected"] == lst["items"].index(card) else None

    def wait_shows(self, card, timeout=10):
        return self.s.wait_for(f"the main window to show {card}", lambda: self.shows(card), timeout, step=0.1)

    def time_until_shown(self, card, since):
        """Seconds from `since` until the main window shows the card; fails after FOLLOW_WITHIN seconds
        (and says what it showed after a further 10 s, to tell slow from never)."""
        deadline = since + FOLLOW_WITHIN
        while time.time() < deadline:
            if self.shows(card):
                return time.time() - since
            time.sleep(0.05)
        late = None
        try:
            self.wait_shows(card, timeout=10)
            late = time.time() - since
        except AssertionError:
            pass
        d = self.s.dump() or {"controls": []}
        self.fail(f"the main window did not show {card} within {FOLLOW_WITHIN} s "
                  f"({'after %.1f s' % late if late else 'not after 12 s either'}); it showed "
                  f"{[(c['text'], c.get('selected')) for c in d['controls'] if c['class'] in ('Static', 'ListBox')]}")

    def line_of(self, card):
        lst = self.s.visible_list(self.s.dump())
        return lst, lst["items"].index(card)

    def boxes(self):
        """The titles of the dialog windows (message boxes among them) that are up."""
        out = self.s.vtool("windows")
        self.assertEqual(out.returncode, 0, out.stderr)
        shown = [json.loads(line) for line in out.stdout.splitlines() if line.strip()]
        return [w["title"] for w in shown if w["class"] == "#32770"]

    def set_check(self, caption, value):
        box = self.s.control(self.s.dump(), text=caption)
        if box["checked"] != value:
            self.s.click_control(box)
        self.s.wait_for(f"{caption} = {value}", lambda: self.s.control(self.s.dump(), text=caption)["checked"] == value)


class WithPolicyObject(Follows, unittest.TestCase):
    """A policy object stands in for the system's: each way of switching sets the three roles of the
    picked card's playback endpoint, and the window shows the card. One program throughout; each
    step switches to another card than the one before."""

    @classmethod
    def setUpClass(cls):
        cls.s = wh.Session("endpoints")
        cls.s.install_policy_server()
        cls.s.reg_add(HOTKEYS, "113", "REG_SZ", REALTEK)  # Ctrl+F2
        cls.s.reg_add(SETTINGS, "EnableHotkeys", "REG_SZ", "1")
        cls.s.reg_add(SETTINGS, "PlaybackCheck", "REG_SZ", "1")
        cls.s.reg_add(SETTINGS, "RecordCheck", "REG_SZ", "1")
        cls.before = cls.s.endpoints()  # the ids, read before the program runs
        cls.s.start()
        cls.s.show_main_window()

    @classmethod
    def tearDownClass(cls):
        cls.s.close()

    def setUp(self):
        self.s.clear_policy_calls()

    def render_id(self, card):
        self.assertIn(card, self.before["out"], f"Wine lists no wave-out device {card!r}")
        return self.before["out"][card]

    def expected_calls(self, card, playback=True, record=True):
        calls = []
        capture = tied_capture(self.before, card)
        if record and capture:
            calls += [(capture, role) for role in ROLES]
        if playback:
            calls += [(self.render_id(card), role) for role in ROLES]
        return sorted(calls)

    def wait_calls(self, expected):
        """The calls noted after `expected` many have come and a moment has passed for any more."""
        self.s.wait_for(f"{len(expected)} calls of SetDefaultEndpoint", lambda: len(self.s.policy_calls()) >= len(expected))
        time.sleep(0.7)
        return sorted(self.s.policy_calls())

    def check_switch(self, card, shot):
        expected = self.expected_calls(card)
        self.assertEqual(self.wait_calls(expected), expected)
        if tied_capture(self.before, card) is None:
            print(f"{card}: no recording endpoint is tied to it under Wine; the recording default must stay")
        now = self.s.endpoints()
        for role in ROLES:
            self.assertEqual(now["default"][("render", role)], self.render_id(card), f"Wine's default, role {role}")
            self.assertEqual(now["default"][("capture", role)], self.before["default"][("capture", role)])
        self.s.window_shot(shot, self.wait_shows(card))
        self.assertEqual(self.boxes(), [])

    def test_1_double_click_in_the_list(self):
        self.assertIsNotNone(self.shows(DEFAULT))
        lst, line = self.line_of(REALTEK)
        self.s.click_list_item(lst, line, double=True)
        self.check_switch(REALTEK, "endpoints-list")
        self.assertEqual(self.s.mapper("Playback"), REALTEK)  # written as well, for what reads it

    def test_2_tray_menu(self):
        self.s.keys(wh.WINDOW_TITLE, "Escape")
        self.s.wait_for("the window to hide", lambda: not self.s.dump()["window"]["visible"])
        items = self.s.open_tray_menu()
        card = [i for i in items if HEADSET in i["text"] and i["text"][:1].isdigit()]
        self.assertEqual(len(card), 1, [i["text"] for i in items])
        self.s.pick_menu(card[0]["text"])
        self.s.wait_for("the calls", lambda: len(self.s.policy_calls()) >= len(self.expected_calls(HEADSET)))
        self.s.show_main_window()
        self.check_switch(HEADSET, "endpoints-tray")

    def test_3_command_line(self):
        # Another start that switches and ends; Wine lists the default card as device 0, so that
        # start numbers the cards differently from the running program: it must go by the name.
        proc = self.s.start_line(f"D={DEFAULT}")
        self.assertEqual(proc.wait(30), 0)
        self.check_switch(DEFAULT, "endpoints-command-line")

    def test_4_hotkey(self):
        # A hotkey reaches the program under Wine only while a Wine window has the keyboard.
        self.s.keys(wh.WINDOW_TITLE, "ctrl+F2")
        self.check_switch(REALTEK, "endpoints-hotkey")

    def test_5_a_default_changed_outside_is_followed_at_once(self):
        # What the system's own settings do: Wine's default playback endpoint moves.
        self.assertIsNotNone(self.wait_shows(REALTEK))
        started = time.time()
        self.s.reg_add(wh.WINE_AUDIO_KEY, "DefaultOutput", "REG_SZ", self.render_id(HEADSET))
        written = time.time()
        took = self.time_until_shown(HEADSET, written)
        print(f"Wine's default changed outside: the window followed {took:.2f} s after the write "
              f"({written - started:.2f} s for wine reg add itself)")
        time.sleep(0.5)
        self.assertEqual(self.s.policy_calls(), [])  # it only follows, it does not switch back or again

    def test_6_the_line_clicked_after_an_outside_change_is_the_card_switched(self):
        # Wine lists the default endpoint as wave-out device 0, so the change in step 5 gave the
        # wave-out devices other numbers inside the running program too.
        self.assertIsNotNone(self.wait_shows(HEADSET))
        lst, line = self.line_of(DEFAULT)
        self.s.click_list_item(lst, line, double=True)
        self.check_switch(DEFAULT, "endpoints-after-outside-change")

    def test_7_recording_alone_without_a_recording_endpoint(self):
        capture = tied_capture(self.before, REALTEK)
        record_before = self.s.mapper("Record")
        self.set_check("For playback", 0)
        try:
            lst, line = self.line_of(REALTEK)
            self.s.click_list_item(lst, line, double=True)
            if capture:
                expected = self.expected_calls(REALTEK, playback=False)
                self.assertEqual(self.wait_calls(expected), expected)
                self.s.wait_for("Record", lambda: self.s.mapper("Record") == REALTEK)
                return
            box = self.s.wait_window(FAILED_BOX)
            text = self.s.box_text(FAILED_BOX).strip()
            print(f"{FAILED_BOX}: {text!r}")
            self.assertIn(f'"{REALTEK}"', text)
            self.assertIn("has no active recording device", text)
            self.s.window_shot("endpoints-no-recording-device", box)
            self.s.answer_box(FAILED_BOX, "OK")
            self.assertEqual(self.s.policy_calls(), [])
            # The Sound Mapper value never names a card the system did not take.
            self.assertEqual(self.s.mapper("Record"), record_before)
            self.assertEqual(self.s.endpoints()["default"][("render", 0)], self.render_id(DEFAULT))
            self.assertIsNotNone(self.wait_shows(DEFAULT))  # still the playback card
        finally:
            self.set_check("For playback", 1)


class PolicyObjectRefuses(Follows, unittest.TestCase):
    """The policy object turns a switch down: the user is told, and the Sound Mapper values keep
    naming the card the system still plays through."""

    def test_a_refused_switch_is_reported(self):
        self.s = wh.Session("endpoints-refused")
        try:
            self.s.install_policy_server(refuse=0x80070005)  # E_ACCESSDENIED
            self.s.start()
            self.s.show_main_window()
            lst, line = self.line_of(HEADSET)
            self.s.click_list_item(lst, line, double=True)
            box = self.s.wait_window(FAILED_BOX)
            text = self.s.box_text(FAILED_BOX).strip()
            print(f"{FAILED_BOX}: {text!r}")
            self.assertIn(f'"{HEADSET}" could not be made the default sound card.', text)
            self.assertIn("Windows refused: ", text)
            self.s.window_shot("endpoints-refused", box)
            self.assertGreaterEqual(len(self.s.policy_calls()), 1)  # it was asked
            self.s.answer_box(FAILED_BOX, "OK")
            self.assertNotEqual(self.s.mapper("Playback"), HEADSET)
            self.assertEqual(self.s.endpoints()["default"][("render", 0)], self.s.endpoints()["out"][DEFAULT])
            self.assertIsNotNone(self.wait_shows(DEFAULT))  # it shows what the system has
        finally:
            self.s.close()


class SoundMapperOnly(Follows, unittest.TestCase):
    """Plain Wine: no policy object. The Sound Mapper values serve alone, quietly, and the window
    follows when another program writes them."""

    @classmethod
    def setUpClass(cls):
        cls.s = wh.Session("endpoints-mapper")
        cls.s.start()
        cls.s.show_main_window()

    @classmethod
    def tearDownClass(cls):
        cls.s.close()

    def test_1_a_switch_writes_the_values_and_says_nothing(self):
        lst, line = self.line_of(HEADSET)
        self.s.click_list_item(lst, line, double=True)
        self.s.wait_for("Playback", lambda: self.s.mapper("Playback") == HEADSET)
        self.assertEqual(self.s.mapper("Record"), HEADSET)
        self.wait_shows(HEADSET)
        time.sleep(1.0)  # a box would be up by now
        self.assertEqual(self.boxes(), [])  # neither FAILED_BOX nor any other

    def test_2_another_programs_write_is_followed_at_once(self):
        self.assertIsNotNone(self.wait_shows(HEADSET))
        started = time.time()
        self.s.reg_add(wh.MAPPER_KEY, "Playback", "REG_SZ", REALTEK)
        written = time.time()
        took = self.time_until_shown(REALTEK, written)
        print(f"Sound Mapper written outside: the window followed {took:.2f} s after the write "
              f"({written - started:.2f} s for wine reg add itself)")
        self.s.window_shot("endpoints-followed-outside-write", self.s.dump())

    def test_3_the_tray_tip_follows_too(self):
        self.s.keys(wh.WINDOW_TITLE, "Escape")
        self.s.wait_for("the window to hide", lambda: not self.s.dump()["window"]["visible"])
        self.s.reg_add(wh.MAPPER_KEY, "Playback", "REG_SZ", DEFAULT)
        written = time.time()
        took = self.time_until_shown(DEFAULT, written)  # the hidden window's label and list
        print(f"hidden window followed {took:.2f} s after the write")
        self.s.wait_for("the tooltip", lambda: self.s.tray_tooltip() == DEFAULT, timeout=10)


if __name__ == "__main__":
    main()
