"""The settings page of the main window, the pin and moving the window, as a user does it."""

import time
import unittest

from e2e import DEFAULT, HEADSET, REALTEK, main, wh

SETTINGS = wh.SETTINGS_KEY + r"\Settings"
RUN_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Run"


class SettingsPage(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.s = wh.Session("settings")
        cls.s.start()
        cls.s.show_main_window()

    @classmethod
    def tearDownClass(cls):
        cls.s.close()

    # ---------------------------------------------------------------- helpers
    def shown(self):
        dump = self.s.wait_window()
        return dump, [c for c in dump["controls"] if c["visible"]]

    def open_settings(self):
        if not self.s.dump()["window"]["visible"]:
            self.s.show_main_window()
        self.s.click_control(self.s.control(self.s.dump(), text="Settings\r\n\r\n"))
        return self.s.wait_for("the settings page", lambda: self.visible(text="Soundcard:") and self.shown())

    def visible(self, cls=None, text=None):
        found = [c for c in self.s.dump()["controls"] if c["visible"] and (cls is None or c["class"] == cls)
                 and (text is None or c["text"] == text)]
        return found

    def box(self, caption, row):
        """A check box of the settings page by caption; row 0 is the upper one of equal captions."""
        return sorted(self.visible("Button", caption), key=lambda c: c["y"])[row]

    def chooser(self):
        return sorted(self.visible("ComboBox"), key=lambda c: c["y"])[0]

    def choose_card(self, index):
        combo = self.chooser()
        self.s.click_control(combo)  # the list drops down and the chooser has the focus
        time.sleep(0.3)
        # Closed again, the arrow keys step through the cards. (Keys as the keyboard types them:
        # under Wine a list closed with Return keeps the mouse, so the next click would miss.)
        self.s.xdotool("key", "Escape")
        time.sleep(0.2)
        self.s.xdotool("key", "--delay", 60, "Home", *["Down"] * index)
        self.s.wait_for(f"card {index} chosen", lambda: self.chooser()["selected"] == index)

    def set_box(self, caption, row, value):
        if self.box(caption, row)["checked"] != value:
            self.s.click_control(self.box(caption, row))
        self.s.wait_for(f"{caption} = {value}", lambda: self.box(caption, row)["checked"] == value)

    def setting(self, key):
        value = self.s.reg_query(SETTINGS, key)
        return value[1] if value else None

    # ---------------------------------------------------------------- scenarios
    def test_1_the_page_shows_every_control(self):
        dump, shown = self.open_settings()
        texts = [c["text"] for c in shown]
        for caption in ("Soundcard:", "Nikname:", "Reset volume of this card:", "On startup", "On shutdown",
                        "Make this card default..", "Enable Hotkeys", "&Configure Hotkeys", "Autostart with Windows.",
                        "Update", "Homepage", "E&xit", "&Hide >>"):
            self.assertIn(caption, texts)
        self.assertEqual(texts.count("On startup"), 2)
        self.assertEqual(texts.count("On shutdown"), 2)
        combos = sorted(self.visible("ComboBox"), key=lambda c: (c["y"], c["x"]))
        self.assertEqual(combos[0]["items"], [DEFAULT, REALTEK, HEADSET])
        self.assertEqual(len(combos), 3)
        for volume in combos[1:]:
            self.assertEqual(len(volume["items"]), 101)
            self.assertEqual((volume["items"][0], volume["items"][100]), ("100%", "0%"))
        self.assertEqual([c["text"] for c in self.visible("Edit")], [DEFAULT])
        # The pictures: the volume button, the default-card picture, the drop field, the pin.
        self.assertGreaterEqual(len([c for c in shown if c["class"] == "Static" and not c["text"]]), 3)
        self.assertFalse(self.visible(text="For playback"))  # the device page is hidden
        shot = self.s.window_shot("settings-page", dump)
        self.assertGreater(self.s.colours(shot), 10)

    def test_2_a_nickname_typed_and_esc_is_stored_and_shown(self):
        self.open_settings()
        self.choose_card(2)
        edit = self.visible("Edit")[0]
        self.assertEqual(edit["text"], HEADSET)
        self.s.click_control(edit)
        self.s.keys(wh.WINDOW_TITLE, "End", "shift+Home")
        self.s.xdotool("type", "--delay", 40, "  Gaming headset ")
        self.s.keys(wh.WINDOW_TITLE, "Escape")  # the field still has the focus
        self.s.wait_for("the window to hide", lambda: not self.s.dump()["window"]["visible"])
        card = wh.SETTINGS_KEY + "\\Volume_" + HEADSET
        self.s.wait_for("the nickname", lambda: self.s.reg_query(card, "AliasName") == ("REG_SZ", "Gaming headset"))

        # The tray menu names the card by its nickname.
        self.s.click_tray()
        items = self.s.wait_for("the menu", lambda: self.s.open_menu_items())
        self.assertIn("3: Gaming headset", [i["text"] for i in items])
        self.s.close_menu()

        # So does the card list.
        self.s.show_main_window()
        self.s.click_control(self.s.control(self.s.dump(), text="Device\r\n\r\n"))
        self.s.wait_for("the card list", lambda: self.s.visible_list(self.s.dump())["items"]
                        == [DEFAULT, REALTEK, "Gaming headset"])

    def test_3_one_startup_card(self):
        self.open_settings()
        self.choose_card(1)
        self.set_box("On startup", 1, 1)
        self.assertEqual(self.setting("StartupDevice"), REALTEK)
        self.choose_card(2)
        self.assertEqual(self.box("On startup", 1)["checked"], 0)  # another card's choice
        self.set_box("On startup", 1, 1)
        self.assertEqual(self.setting("StartupDevice"), HEADSET)
        self.assertEqual(self.setting("SetDefaultOnStartupCheck"), "1")
        self.choose_card(1)
        self.assertEqual(self.box("On startup", 1)["checked"], 0)
        out = self.s.wine("reg", "query", SETTINGS)
        self.assertEqual(out.stdout.count("StartupDevice"), 1)

    def test_4_autostart_writes_and_removes_the_quoted_entry(self):
        self.open_settings()
        self.set_box("Autostart with Windows.", 0, 1)
        self.s.wait_for("the entry", lambda: self.s.reg_query(RUN_KEY, "Varlindo"))
        self.assertEqual(self.s.reg_query(RUN_KEY, "Varlindo"), ("REG_SZ", f'"{wh.PROGRAM_IN_PREFIX}"'))
        self.set_box("Autostart with Windows.", 0, 0)
        self.s.wait_for("the entry to go", lambda: self.s.reg_query(RUN_KEY, "Varlindo") is None)

    def pin(self):
        exit_button = self.visible("Button", "E&xit")[0]
        pictures = [c for c in self.visible("Static") if not c["text"] and c["x"] < exit_button["x"]
                    and exit_button["y"] <= c["y"] + c["h"] // 2 <= exit_button["y"] + exit_button["h"]]
        self.assertEqual(len(pictures), 1, pictures)
        return pictures[0]

    def test_5_the_pin_sets_and_clears_topmost(self):
        self.open_settings()
        self.assertTrue(self.s.stays_above_others())  # the window starts pinned
        self.assertEqual(self.s.reg_query(wh.SETTINGS_KEY + r"\AlwaysOnTop", "OnTop"), ("REG_SZ", "True"))
        self.s.click_control(self.pin())
        self.s.wait_for("released", lambda: not self.s.stays_above_others())
        self.assertEqual(self.s.reg_query(wh.SETTINGS_KEY + r"\AlwaysOnTop", "OnTop"), ("REG_SZ", "False"))
        self.s.screenshot("pin-hover", self.around(self.pin()))
        self.s.click_control(self.pin())
        self.s.wait_for("pinned", lambda: self.s.stays_above_others())
        self.assertEqual(self.s.reg_query(wh.SETTINGS_KEY + r"\AlwaysOnTop", "OnTop"), ("REG_SZ", "True"))

    @staticmethod
    def around(c, margin=6):
        return c["x"] - margin, c["y"] - margin, c["w"] + 2 * margin, c["h"] + 2 * margin

    def drag(self, x, y, button, dx=70, dy=40):
        before = self.s.dump()["window"]
        self.s.xdotool("mousemove", "--sync", x, y)
        self.s.xdotool("mousedown", button)
        for step in range(1, 6):
            self.s.xdotool("mousemove", "--sync", x + dx * step // 5, y + dy * step // 5)
            time.sleep(0.05)
        self.s.xdotool("mouseup", button)
        after = self.s.wait_for("the window to move", lambda: (lambda w: w if (w["x"], w["y"]) != (
            before["x"], before["y"]) else None)(self.s.dump()["window"]))
        self.assertEqual((after["x"] - before["x"], after["y"] - before["y"]), (dx, dy))

    def test_6_pressing_on_the_background_or_a_label_moves_the_window(self):
        dump, _ = self.open_settings()
        device_button = self.s.control(dump, text="Device\r\n\r\n")
        # The window's own background, left of the page buttons, with the left button.
        self.drag(device_button["x"] - 3, device_button["y"] - 3, 1)
        # A label, with the right button.
        label = self.visible("Static", "Soundcard:")[0]
        self.drag(label["x"] + 5, label["y"] + label["h"] // 2, 3, dx=-70, dy=-40)


if __name__ == "__main__":
    main()
