"""The German build: German captions and messages."""

import unittest

from e2e import main, wh


class GermanBuild(unittest.TestCase):
    def test_captions_and_messages_are_german(self):
        s = wh.Session("german", program=wh.BUILD_GERMAN / "Varlindo.exe")
        try:
            s.start()
            dump = s.show_main_window()
            for caption in ("Soundkarten", "Einstellungen", "System Tray >>", "Beenden", "Wiedergabe", "Aufnahme",
                            "Soundkarte aktivieren"):
                self.assertIsNotNone(s.control(dump, text=caption), caption)
            self.assertIsNone(s.control(dump, text="For playback"))
            s.window_shot("main-window-german", dump)

            s.click_control(s.control(dump, text="Beenden"))
            box = s.wait_for("the question", lambda: s.dump("Programm beenden?"))
            self.assertEqual(s.box_text("Programm beenden?").strip(), "Varlindo beenden?")
            s.click_control(s.control(box, "Button", "&No"))
            s.wait_for("the box to close", lambda: not (s.dump("Programm beenden?") or {}).get("window", {}).get("visible"))
        finally:
            s.close()


if __name__ == "__main__":
    main()
