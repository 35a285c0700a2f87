"""Hotkeys: Ctrl+F-keys that switch cards, and the dialog that assigns them.

Under Wine a hotkey reaches the program only while one of Wine's windows has the keyboard
focus (Wine does not take the key from the whole X display), so the keys are pressed while
the program's main window is in front. That the key also works from any other program, as
on Windows, is not checked here.
"""

import time
import unittest

from e2e import DEFAULT, HEADSET, REALTEK, main, wh

SETTINGS = wh.SETTINGS_KEY + r"\Settings"
HOTKEYS = wh.SETTINGS_KEY + r"\Hotkeys"
DIALOG = "Hotkeys configuration .."


class Hotkeys(unittest.TestCase):
    def setUp(self):
        self.s = wh.Session("hotkeys")

    def tearDown(self):
        self.s.close()

    def start_with_f2_for_the_headset(self):
        self.s.reg_add(HOTKEYS, "113", "REG_SZ", HEADSET)
        self.s.reg_add(SETTINGS, "EnableHotkeys", "REG_SZ", "1")
        proc = self.s.start()
        self.s.show_main_window()
        return proc

    def press(self, keys):
        """Keys as the keyboard types them, while the main window has the focus."""
        self.s.click_control(self.s.control(self.s.dump(), text="Settings\r\n\r\n"))  # focus, harmlessly
        time.sleep(0.3)
        self.s.xdotool("key", keys)

    def visible(self, dump, cls=None, text=None):
        return [c for c in dump["controls"] if c["visible"] and (cls is None or c["class"] == cls)
                and (text is None or c["text"] == text)]

    def test_a_stored_key_switches_its_card(self):
        self.start_with_f2_for_the_headset()
        self.assertEqual(self.s.mapper("Playback"), DEFAULT)
        self.press("ctrl+F2")
        self.s.wait_for("the switch", lambda: self.s.mapper("Playback") == HEADSET)
        self.assertEqual(self.s.mapper("Record"), HEADSET)

    def test_a_key_saved_in_the_dialog_is_stored_shown_and_works_when_it_closes(self):
        self.start_with_f2_for_the_headset()
        self.s.click_control(self.s.control(self.s.dump(), text="Settings\r\n\r\n"))
        self.s.wait_for("the settings page", lambda: self.visible(self.s.dump(), text="&Configure Hotkeys"))
        self.s.click_control(self.visible(self.s.dump(), text="&Configure Hotkeys")[0])
        dialog = self.s.wait_window(DIALOG)
        self.assertFalse(self.s.dump()["window"]["visible"])  # the main window waits in the tray
        lst = self.s.control(dialog, "ListBox")
        self.assertEqual(lst["items"], [DEFAULT, REALTEK, f"(Strg + F2)   {HEADSET}"])
        for caption in ("&Save", "&Delete", "&Close", "Strg +",
                        "Sometimes you  have to restart the program to activate new Hotkeys!"):
            self.assertIsNotNone(self.s.control(dialog, text=caption), caption)
        self.s.window_shot("hotkeys-dialog", dialog)

        # F3 for the second card.
        self.s.click_list_item(lst, 1)
        self.s.wait_for("its name", lambda: self.s.control(self.s.dump(DIALOG), "Static", f"{REALTEK}:"))
        combo = self.s.control(self.s.dump(DIALOG), "ComboBox")
        self.s.click_control(combo)
        time.sleep(0.3)
        self.s.xdotool("key", "Escape")
        time.sleep(0.2)
        self.s.xdotool("key", "--delay", 60, "Home", "Down", "Down")
        self.s.wait_for("F3 chosen", lambda: self.s.control(self.s.dump(DIALOG), "ComboBox")["text"] == "F3")
        self.s.click_control(self.s.control(self.s.dump(DIALOG), text="&Save"))
        self.s.wait_for("the stored key", lambda: self.s.reg_query(HOTKEYS, "114") == ("REG_SZ", REALTEK))
        self.assertEqual(self.s.control(self.s.dump(DIALOG), "ListBox")["items"][1], f"(Strg + F3)   {REALTEK}")

        self.s.click_control(self.s.control(self.s.dump(DIALOG), text="&Close"))
        self.s.wait_for("the dialog to close", lambda: not (self.s.dump(DIALOG) or {}).get("window", {}).get("visible"))
        self.s.wait_window()  # the main window is back
        self.press("ctrl+F3")
        self.s.wait_for("the new key to switch", lambda: self.s.mapper("Playback") == REALTEK)

        # The tray menu shows each card's key.
        self.s.keys(wh.WINDOW_TITLE, "Escape")
        self.s.wait_for("the window to hide", lambda: not self.s.dump()["window"]["visible"])
        items = self.s.open_tray_menu()
        texts = [i["text"] for i in items]
        self.assertIn(f"2: {REALTEK}  (Strg + F3)    (Play + Rec)", texts)
        self.assertIn(f"3: {HEADSET}  (Strg + F2)", texts)
        self.s.close_menu()

    def test_switched_off_the_keys_do_nothing_and_other_instances_are_still_heard(self):
        self.start_with_f2_for_the_headset()
        self.s.click_control(self.s.control(self.s.dump(), text="Settings\r\n\r\n"))
        box = self.s.wait_for("the box", lambda: self.visible(self.s.dump(), text="Enable Hotkeys"))[0]
        self.assertEqual(box["checked"], 1)
        self.s.click_control(box)
        self.s.wait_for("hotkeys off", lambda: self.s.reg_query(SETTINGS, "EnableHotkeys") == ("REG_SZ", "0"))
        self.press("ctrl+F2")
        time.sleep(1.5)
        self.assertEqual(self.s.mapper("Playback"), DEFAULT)

        # A shortcut's start beside it still reaches it.
        time.sleep(1.1)  # another second: another instance stamp
        self.assertEqual(self.s.start_line("D=2").wait(20), 0)
        self.s.click_control(self.s.control(self.s.dump(), text="Device\r\n\r\n"))
        self.s.wait_for("the window to follow", lambda: self.s.visible_list(self.s.dump())["selected"] == 1)
        self.assertEqual(self.s.mapper("Playback"), REALTEK)


class GermanDialog(unittest.TestCase):
    def test_the_dialog_in_german(self):
        s = wh.Session("hotkeys-german", program=wh.BUILD_GERMAN / "Varlindo.exe")
        try:
            s.start()
            s.show_main_window()
            s.click_control(s.control(s.dump(), text="Einstellungen"))
            button = s.wait_for("the button", lambda: [c for c in s.dump()["controls"] if c["visible"]
                                                       and c["text"] == "Hotkeys einstellen.."])[0]
            s.click_control(button)
            dialog = s.wait_window("Hotkeys definieren ..")
            for caption in ("&Speichern", "&Löschen", "S&chließen",
                            "Zum Übernehmen der Änderungen bitte Programm neu starten!"):
                self.assertIsNotNone(s.control(dialog, text=caption), caption)
            s.window_shot("hotkeys-dialog-german", dialog)
            s.keys("Hotkeys definieren ..", "Escape")
            s.wait_for("the dialog to close",
                       lambda: not (s.dump("Hotkeys definieren ..") or {}).get("window", {}).get("visible"))
            s.wait_window()
        finally:
            s.close()


if __name__ == "__main__":
    main()
