"""First start on a machine: the Sound Mapper values are repaired and the window shows the cards."""

import unittest

from e2e import DEFAULT, HEADSET, REALTEK, main, wh


class FirstStart(unittest.TestCase):
    def test_creates_missing_values_and_shows_the_device_page(self):
        s = wh.Session("first-start")
        try:
            self.assertIsNone(s.mapper("Playback"))
            s.start()
            s.wait_for("the start-up", lambda: s.mapper("Playback"))
            s.tray_icon_point()
            self.assertFalse(s.dump()["window"]["visible"])  # it starts in the notification area
            s.screenshot("tray-icon", (0, 0, 200, 60))
            dump = s.show_main_window()
            self.assertIsNone(s.tray_window())  # the icon goes while the window is shown
            self.assertEqual(s.mapper("PreferredOnly"), 1)
            self.assertEqual(s.mapper("SetupPreferredAudioDevicesCount"), 3)
            self.assertEqual(s.mapper("Record"), DEFAULT)
            self.assertEqual(s.mapper("Playback"), DEFAULT)
            self.assertEqual(s.reg_query(wh.SETTINGS_KEY + r"\Settings", "PlaybackCheck"), ("REG_SZ", "1"))

            lst = s.visible_list(dump)
            self.assertEqual(lst["items"], [DEFAULT, REALTEK, HEADSET])
            self.assertEqual(lst["selected"], 0)
            # The page buttons carry two line breaks after their caption.
            for caption in ("Device\r\n\r\n", "Settings\r\n\r\n", "&Hide >>", "E&xit", "&Set Soundcard", "For playback",
                            "For record"):
                self.assertIsNotNone(s.control(dump, text=caption), caption)
            self.assertEqual(s.control(dump, text="For playback")["checked"], 1)
            self.assertEqual(s.control(dump, text="For record")["checked"], 1)
            self.assertIsNotNone(s.control(dump, "Static", DEFAULT))  # the current card's title
            self.assertIsNotNone(s.control(dump, "Static", f"{DEFAULT}\r\n{DEFAULT}"))
            # The window is 4530 twips wide: 302 pixels at 96 DPI.
            self.assertEqual(dump["window"]["w"], 302)
            shot = s.window_shot("main-window", dump)
            self.assertGreater(s.colours(shot), 10)
        finally:
            s.close()

    def test_existing_values_are_kept_and_a_stored_zero_stays(self):
        s = wh.Session("keep-values")
        try:
            s.reg_add(wh.MAPPER_KEY, "PreferredOnly", "REG_DWORD", "0")
            s.reg_add(wh.MAPPER_KEY, "Playback", "REG_SZ", HEADSET)
            s.reg_add(wh.MAPPER_KEY, "Record", "REG_SZ", REALTEK)
            s.start()
            dump = s.show_main_window()
            self.assertEqual(s.mapper("PreferredOnly"), 0)
            self.assertEqual(s.mapper("SetupPreferredAudioDevicesCount"), 3)
            self.assertEqual(s.mapper("Playback"), HEADSET)
            self.assertEqual(s.mapper("Record"), REALTEK)
            self.assertEqual(s.visible_list(dump)["selected"], 2)
            self.assertIsNotNone(s.control(dump, "Static", HEADSET))
        finally:
            s.close()

    def test_window_scales_with_the_display_at_150_percent(self):
        s = wh.Session("dpi-150", dpi=144)
        try:
            s.start()
            dump = s.show_main_window()
            # 4530 twips at 144 DPI.
            self.assertEqual(dump["window"]["w"], 453)
            set_button = s.control(dump, text="&Set Soundcard")
            self.assertEqual(set_button["w"], 396)  # 3960 twips
            shot = s.window_shot("main-window-150-percent", dump)
            self.assertGreater(s.colours(shot), 10)
        finally:
            s.close()


if __name__ == "__main__":
    main()
