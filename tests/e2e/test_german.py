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

            # The settings page.
            s.click_control(s.control(dump, text="Einstellungen"))
            page = s.wait_for("the settings page", lambda: (lambda d: d if [
                c for c in d["controls"] if c["visible"] and c["text"] == "Soundkarte:"] else None)(s.dump()))
            shown = [c["text"] for c in page["controls"] if c["visible"]]
            for caption in ("Soundkarte:", "Anzeigename:", "Lautstärke zurücksetzen:", "Soundkarte zum Standard machen",
                            "Hotkeys aktivieren", "Hotkeys einstellen..", "Mit Windows starten"):
                self.assertIn(caption, shown)
            self.assertEqual(shown.count("bei Programmstart"), 2)
            self.assertEqual(shown.count("bei Programmende"), 2)
            s.window_shot("settings-page-german", page)

            # The tray menu.
            s.click_control(s.control(page, text="System Tray >>"))
            s.wait_for("the window to hide", lambda: not s.dump()["window"]["visible"])
            items = s.open_tray_menu()
            texts = [i["text"] for i in items if not i["separator"]]
            self.assertEqual(texts, ["Homepage ...", "Verknüpfungs Assistent ...", "Einstellungen ...", "Hotkeys",
                                     "Windows Audio Einstellungen ...", "Audio Mixer ...", "Soundkarten neu einlesen",
                                     "Lautstärke einstellen ...", "1: Out: default    (Wiedergabe + Aufnahme)",
                                     "2: Out: Realtek HD Audio", "3: Out: USB Headset", "Beenden"])
            s.pick_menu("Einstellungen ...")
            dump = s.wait_window()

            s.click_control(s.control(dump, text="Beenden"))
            box = s.wait_for("the question", lambda: s.dump("Programm beenden?"))
            self.assertEqual(s.box_text("Programm beenden?").strip(), "Varlindo beenden?")
            s.click_control(s.control(box, "Button", "&No"))
            s.wait_for("the box to close", lambda: not (s.dump("Programm beenden?") or {}).get("window", {}).get("visible"))
        finally:
            s.close()


if __name__ == "__main__":
    main()
