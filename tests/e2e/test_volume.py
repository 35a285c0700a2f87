"""The volume dialog, its settings mode, the stored levels at start, and the slider window.

Wine keeps mixer levels per process, so a level the program set is read back through the
program itself: its volume dialog in live mode shows the card's mixer as the program sees it.
"""

import subprocess
import time
import unittest

from e2e import DEFAULT, REALTEK, main, wh

DIALOG = "Dirov Ezudiv Ureze"
SLIDER_WINDOW = "Volume"


def level(bar):
    """A level slider's value: 100 at the top, where the scroll bar's own position is 0."""
    return 100 - bar["pos"]


class VolumeDialog(unittest.TestCase):
    def setUp(self):
        self.s = wh.Session("volume")

    def tearDown(self):
        self.s.close()

    def visible(self, dump, cls=None, text=None):
        return [c for c in dump["controls"] if c["visible"] and (cls is None or c["class"] == cls)
                and (text is None or c["text"] == text)]

    def sliders(self):
        """The dialog's six visible sliders, left to right: speaker, wave, MIDI, CD, line-in, microphone."""
        return sorted(self.visible(self.s.dump(DIALOG), "ScrollBar"), key=lambda c: c["x"])

    def picture_button(self, dump, below=None):
        """A visible button that shows only a picture (no caption, not a frame)."""
        found = [c for c in self.visible(dump, "Button", "") if c["w"] < 80 and c["h"] < 80]
        self.assertTrue(found, "no picture button")
        return found[0]

    def open_live_dialog(self, card_index):
        dump = self.s.wait_window()
        if not self.visible(dump, text="For playback"):
            self.s.click_control(self.s.control(dump, text="Device\r\n\r\n"))
            dump = self.s.wait_for("the card list", lambda: (lambda d: d if self.visible(d, text="For playback")
                                                              else None)(self.s.dump()))
        self.s.click_list_item(self.s.visible_list(dump), card_index)
        self.s.click_control(self.picture_button(self.s.dump()))
        return self.s.wait_window(DIALOG)

    def close_dialog(self, caption="&Close"):
        self.s.click_control(self.s.control(self.s.dump(DIALOG), text=caption))
        self.s.wait_for("the dialog to close", lambda: not (self.s.dump(DIALOG) or {}).get("window", {}).get("visible"))

    def test_live_mode_shows_the_cards_level_and_a_move_sets_it(self):
        self.s.start()
        self.s.show_main_window()
        dialog = self.open_live_dialog(1)
        self.assertIsNotNone(self.s.control(dialog, "Static", REALTEK))  # the card's name
        for caption in ("Speaker", "Wave", "Midi", "CD-Audio", "LineIn", "Microphone", "<<", ">>", "&Mixer", "&Close"):
            self.assertIsNotNone(self.s.control(dialog, text=caption), caption)
        self.assertEqual(len([c for c in self.visible(dialog, "Button", "Mute")]), 6)
        self.assertFalse(self.visible(dialog, text="Aux"))
        self.assertFalse(self.visible(dialog, text="Startup and shutdown settings..."))
        bars = self.sliders()
        self.assertEqual(len(bars), 6)
        self.s.window_shot("volume-dialog", dialog)

        self.s.set_scroll(DIALOG, bars[0], 100 - 30)  # the speaker line to 30 %
        self.s.wait_for("the slider", lambda: level(self.sliders()[0]) == 30)
        self.close_dialog()
        # Opened again, the dialog reads the card's mixer anew.
        self.open_live_dialog(1)
        self.assertEqual(level(self.sliders()[0]), 30)
        # ">>" shows the next card, with that card's own level.
        self.s.click_control(self.s.control(self.s.dump(DIALOG), text=">>"))
        self.s.wait_for("the next card", lambda: self.s.control(self.s.dump(DIALOG), "Static", wh.DEVICE_NAMES[2]))
        self.assertNotEqual(level(self.sliders()[0]), 30)

    def test_settings_mode_stores_the_levels(self):
        self.s.start()
        self.s.show_main_window()
        self.s.click_control(self.s.control(self.s.dump(), text="Settings\r\n\r\n"))
        box = self.s.wait_for("the page", lambda: sorted(self.visible(self.s.dump(), "Button", "On startup"),
                                                          key=lambda c: c["y"]))[0]
        self.s.click_control(box)  # "On startup" of the volume rows: the volume button wakes
        button = self.s.wait_for("the volume button", lambda: [c for c in self.visible(self.s.dump(), "Button", "")
                                                               if c["w"] < 80 and c["enabled"]])[0]
        self.s.click_control(button)
        dialog = self.s.wait_window(DIALOG)
        self.assertTrue(self.visible(dialog, text="Startup and shutdown settings..."))
        self.assertIsNotNone(self.s.control(dialog, text="&Save"))
        self.s.window_shot("volume-dialog-settings", dialog)
        section = wh.SETTINGS_KEY + "\\Volume_" + DEFAULT
        self.s.set_scroll(DIALOG, self.sliders()[1], 100 - 25)  # wave
        self.s.wait_for("the stored level", lambda: self.s.reg_query(section, "WaveVolume") == ("REG_SZ", "25"))
        self.assertEqual(self.s.reg_query(section, "SpeakerVolume"), ("REG_SZ", "50"))  # every line at once
        self.close_dialog("&Save")
        self.assertEqual(self.s.reg_query(section, "SetVolumeOnStartup"), ("REG_SZ", "1"))

    def test_a_start_applies_the_stored_levels_of_a_flagged_card(self):
        section = wh.SETTINGS_KEY + "\\Volume_" + REALTEK
        for name, value in (("SetVolumeOnStartup", "1"), ("SpeakerVolume", "20"), ("StartupVolume", "35")):
            self.s.reg_add(section, name, "REG_SZ", value)
        self.s.start()
        self.s.show_main_window()
        # The levels, then the start-up percentage on the speaker line. (Wine's mixer has a
        # speaker line only, so the other lines cannot show what was applied to them.)
        self.open_live_dialog(1)
        self.assertEqual(level(self.sliders()[0]), 35)
        self.close_dialog()
        # A card without the flag kept its own level.
        self.open_live_dialog(2)
        self.assertNotEqual(level(self.sliders()[0]), 35)


class SliderWindow(unittest.TestCase):
    def test_the_tray_opens_it_inside_the_screen_and_one_move_sets_the_volume(self):
        s = wh.Session("volume-slider")
        try:
            s.start()
            s.tray_icon_point()
            s.open_tray_menu()
            s.pick_menu("Set volume ...")
            window = s.wait_window(SLIDER_WINDOW)
            w = window["window"]
            screen = subprocess.run(["xdotool", "getdisplaygeometry"], env=s.env, capture_output=True,
                                    text=True).stdout.split()
            width, height = int(screen[0]), int(screen[1])
            self.assertGreaterEqual(w["x"], 0)
            self.assertGreaterEqual(w["y"], 0)
            self.assertLessEqual(w["x"] + w["w"], width)
            self.assertLessEqual(w["y"] + w["h"], height)
            bars = sorted([c for c in window["controls"] if c["visible"] and c["class"] == "ScrollBar"],
                          key=lambda c: c["x"])
            self.assertEqual(len(bars), 3)  # one per card
            s.window_shot("volume-slider", window)
            # The user drags the second card's slider with the mouse (a click on a slider other than
            # the first must not count as a click elsewhere).
            s.drag_scroll(bars[1], 100 - 40)
            s.wait_for("the window to close",
                       lambda: not (s.dump(SLIDER_WINDOW) or {}).get("window", {}).get("visible"))
            # The program reads the card's volume back: the slider window shows it when opened again.
            s.open_tray_menu()
            s.pick_menu("Set volume ...")
            window = s.wait_window(SLIDER_WINDOW)
            bars = sorted([c for c in window["controls"] if c["visible"] and c["class"] == "ScrollBar"],
                          key=lambda c: c["x"])
            self.assertEqual(level(bars[1]), 40)
            s.keys(SLIDER_WINDOW, "Escape")
            s.wait_for("the window to close",
                       lambda: not (s.dump(SLIDER_WINDOW) or {}).get("window", {}).get("visible"))
        finally:
            s.close()


if __name__ == "__main__":
    main()
