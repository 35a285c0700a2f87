"""Switching the default card from the main window, as a user does it with the mouse."""

import time
import unittest

from e2e import DEFAULT, HEADSET, REALTEK, main, wh

SETTINGS = wh.SETTINGS_KEY + r"\Settings"


class Switching(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.s = wh.Session("switching")
        cls.s.start()
        cls.s.show_main_window()

    @classmethod
    def tearDownClass(cls):
        cls.s.close()

    def pick(self, index, double=False):
        dump = self.s.dump()
        self.s.click_list_item(self.s.visible_list(dump), index, double)

    def press_set(self):
        self.s.click_control(self.s.control(self.s.dump(), text="&Set Soundcard"))

    def untick(self, caption):
        box = self.s.control(self.s.dump(), text=caption)
        if box["checked"]:
            self.s.click_control(box)
        self.s.wait_for(f"{caption} cleared", lambda: self.s.control(self.s.dump(), text=caption)["checked"] == 0)

    def tick(self, caption):
        box = self.s.control(self.s.dump(), text=caption)
        if not box["checked"]:
            self.s.click_control(box)
        self.s.wait_for(f"{caption} ticked", lambda: self.s.control(self.s.dump(), text=caption)["checked"] == 1)

    def wait_mapper(self, name, value, timeout=10):
        self.s.wait_for(f"{name} = {value}", lambda: self.s.mapper(name) == value, timeout)

    def test_1_button_writes_both_values_for_the_picked_card(self):
        self.tick("For playback")
        self.tick("For record")
        self.pick(2)
        self.press_set()
        self.wait_mapper("Playback", HEADSET)
        self.assertEqual(self.s.mapper("Record"), HEADSET)
        dump = self.s.wait_for("labels", lambda: (lambda d: d if self.s.control(d, "Static", HEADSET) else None)(
            self.s.dump()))
        self.assertEqual(self.s.visible_list(dump)["selected"], 2)
        self.s.window_shot("switched-to-headset", dump)

    def test_2_double_click_switches_too(self):
        self.pick(1, double=True)
        self.wait_mapper("Playback", REALTEK)
        self.assertEqual(self.s.mapper("Record"), REALTEK)

    def test_3_only_record(self):
        self.pick(0)
        self.press_set()
        self.wait_mapper("Playback", DEFAULT)
        self.untick("For playback")
        self.assertEqual(self.s.reg_query(SETTINGS, "PlaybackCheck"), ("REG_SZ", "0"))
        self.pick(2)
        self.press_set()
        self.wait_mapper("Record", HEADSET)
        self.assertEqual(self.s.mapper("Playback"), DEFAULT)
        # The window still shows the playback card.
        dump = self.s.dump()
        self.assertIsNotNone(self.s.control(dump, "Static", DEFAULT))
        self.assertEqual(self.s.visible_list(dump)["selected"], 0)

    def test_4_neither_box_asks_and_writes_nothing(self):
        self.untick("For playback")
        self.untick("For record")
        before = (self.s.mapper("Playback"), self.s.mapper("Record"))
        self.pick(1)
        self.press_set()
        title = "Please select input/output first!"
        box = self.s.wait_for("the message box", lambda: self.s.dump(title))
        self.assertEqual(self.s.box_text(title).strip(),
                         "You have not selected Playback or Record!\n\n"
                         "You must select an input and/or output before you can set the device!")
        self.s.window_shot("select-input-output-first", box)
        self.s.click_control(self.s.control(box, "Button", "OK"))
        self.s.wait_for("the box to close", lambda: not (self.s.dump(title) or {}).get("window", {}).get("visible"))
        self.assertEqual((self.s.mapper("Playback"), self.s.mapper("Record")), before)
        self.tick("For playback")
        self.tick("For record")

    def test_5_window_follows_another_programs_switch_within_a_minute(self):
        self.pick(0)
        self.press_set()
        self.wait_mapper("Playback", DEFAULT)
        self.s.reg_add(wh.MAPPER_KEY, "Playback", "REG_SZ", REALTEK)
        started = time.time()
        seen = {}

        def followed():
            d = self.s.dump()
            seen["dump"] = d
            return self.s.visible_list(d)["selected"] == 1 and self.s.control(d, "Static", REALTEK)

        try:
            self.s.wait_for("the window to follow", followed, timeout=75, step=2)
        finally:
            print(f"after {time.time() - started:.0f} s:",
                  [(c["text"], c.get("selected")) for c in (seen.get("dump") or {"controls": []})["controls"]
                   if c["class"] in ("Static", "ListBox")])
    def test_6_keyboard_alone_switches_and_hides(self):
        self.pick(0)  # the list has the focus
        self.s.keys(wh.WINDOW_TITLE, "Down", "Down")
        self.s.wait_for("the selection", lambda: self.s.visible_list(self.s.dump())["selected"] == 2)
        self.s.keys(wh.WINDOW_TITLE, "alt+s")  # "&Set Soundcard"
        self.wait_mapper("Playback", HEADSET)
        self.s.keys(wh.WINDOW_TITLE, "Escape")  # back to the tray
        self.s.wait_for("the window to hide", lambda: not self.s.dump()["window"]["visible"])
        self.s.tray_icon_point()


if __name__ == "__main__":
    main()
