"""The shortcut wizard: a shortcut that switches to a card, sets its volume and starts a program;
its folder chooser and file chooser, cancelling, a shortcut that cannot be written, and the
ways into the wizard (the main window's button, the tray menu, a program dropped on the window).

argrec.exe stands in for the program a shortcut starts (a game): it writes its command line and
its current folder into argrec.txt beside itself.
"""

import re
import shutil
import subprocess
import time
import unittest

from e2e import DEFAULT, REALTEK, main, wh

WIZARD = "Shortcut wizzard ..."
WIZARD_GERMAN = "Verknüpfungs Assistent"
FILE_CHOOSER = 'Programm...    ("*.*")'
ERROR_BOX = "Varlindo"
GAMES = r"C:\Test Games"
ARGREC = GAMES + r"\argrec.exe"
VOLUMES = [f"{n}%" for n in range(100, 0, -1)]


def folder_chooser(name, german=False):
    """The folder chooser's caption while it asks where the shortcut <name>.lnk goes."""
    return f"Verknüpfung: {name}.lnkspeichern unter.." if german else f"Save: {name}.lnk in.."


class Wizard:
    """Drives the program's windows of one session: the wizard and its choosers."""

    def __init__(self, test, session):
        self.t = test
        self.s = session

    @staticmethod
    def shown(dump, cls=None, text=None):
        return [c for c in dump["controls"] if c["visible"] and (cls is None or c["class"] == cls)
                and (text is None or c["text"] == text)]

    def one(self, dump, cls=None, text=None):
        found = self.shown(dump, cls, text)
        self.t.assertEqual(len(found), 1, f"{cls} {text!r} in {[c['text'] for c in self.shown(dump)]}")
        return found[0]

    def is_open(self, title):
        return bool((self.s.dump(title) or {}).get("window", {}).get("visible"))

    def wait_closed(self, title):
        self.s.wait_for(f"{title!r} to close", lambda: not self.is_open(title))

    def edits(self, title=WIZARD):
        """The wizard's visible text boxes, top down: the name, then the program and its parameters."""
        return sorted(self.shown(self.s.dump(title), "Edit"), key=lambda c: c["y"])

    def combo(self, title, first_item):
        return [c for c in self.shown(self.s.dump(title), "ComboBox") if c["items"][:1] == [first_item]][0]

    def focus(self, title, first_item):
        """The keyboard focus to a drop-down list: a click opens it, Escape closes it again."""
        self.s.click_control(self.combo(title, first_item))
        time.sleep(0.3)
        self.s.xdotool("key", "Escape")
        time.sleep(0.2)

    def choose(self, title, first_item, index):
        """Chooses an entry of a drop-down list by the arrow keys."""
        self.focus(title, first_item)
        self.s.xdotool("key", "--delay", 30, "Home", *["Down"] * index)
        self.s.wait_for(f"entry {index}", lambda: self.combo(title, first_item)["selected"] == index)
        self.s.xdotool("keyup", "Escape", "Home", "Down")

    def click(self, title, text, cls=None):
        self.s.click_control(self.one(self.s.dump(title), cls, text))

    def tick(self, title, text):
        self.click(title, text, "Button")
        self.s.wait_for(f"{text!r} ticked", lambda: self.one(self.s.dump(title), "Button", text)["checked"] == 1)

    def type_into(self, box, text):
        self.s.click_control(box)
        time.sleep(0.2)
        self.s.xdotool("type", "--delay", 20, "--", text)

    def quick_buttons(self, title):
        """The chooser's picture buttons at the left, top down: desktop, start menu."""
        return sorted([c for c in self.shown(self.s.dump(title), "Button", "") if c["w"] == c["h"] and c["w"] < 100],
                      key=lambda c: c["y"])

    def folder_list(self, title):
        return sorted(self.shown(self.s.dump(title), "ListBox"), key=lambda c: c["x"])[0]

    def rest_mouse(self):
        """The mouse away from the windows, so that no tooltip or hover shows in a screenshot."""
        self.s.move_mouse(1000, 740)


class ShortcutWizard(unittest.TestCase):
    def setUp(self):
        self.s = wh.Session("shortcuts")
        self.w = Wizard(self, self.s)

    def tearDown(self):
        self.s.close()

    def install_argrec(self):
        folder = self.s.prefix / "drive_c" / "Test Games"
        folder.mkdir(exist_ok=True)
        shutil.copy2(wh.BUILD / "argrec.exe", folder / "argrec.exe")
        return folder

    def open_from_button(self):
        self.s.start()
        dump = self.s.show_main_window()
        self.s.click_control(self.s.control(dump, "Button", WIZARD))
        wizard = self.s.wait_window(WIZARD)
        self.assertFalse(self.s.dump()["window"]["visible"])  # the main window waits in the tray
        return wizard

    def lnk_files(self):
        """Every shortcut file in the prefix's user folders and the program's folders."""
        drive = self.s.prefix / "drive_c"
        return sorted(p for root in (drive / "users", drive / "Test Games") if root.exists() for p in root.rglob("*.lnk"))

    def test_a_shortcut_switches_to_its_card_and_starts_the_program_with_its_parameters(self):
        nickname = wh.SETTINGS_KEY + "\\Volume_" + REALTEK
        self.s.reg_add(nickname, "AliasName", "REG_SZ", "Speakers")
        games = self.install_argrec()
        wizard = self.open_from_button()
        w = self.w

        # What the wizard offers first: the first card, no volume, no program.
        shown = [c["text"] for c in w.shown(wizard)]
        for caption in ("Make default Soundcard", "Set Volume (wave+speaker):", "Start external program:",
                        "Shortcut name:", "Create Shortcut", "Close"):
            self.assertIn(caption, shown)
        for caption in ("Program path", "...", "Parameter (optional):", "Drag && drop your exacutable here:"):
            self.assertNotIn(caption, shown)  # the program section is folded away
        cards = w.combo(WIZARD, DEFAULT)
        self.assertEqual(cards["items"], wh.DEVICE_NAMES)
        self.assertEqual(cards["selected"], 0)
        volumes = w.combo(WIZARD, "100%")
        self.assertEqual(volumes["items"], VOLUMES)  # no "0%"
        self.assertFalse(volumes["enabled"])
        self.assertEqual(w.one(wizard, "Button", "Set Volume (wave+speaker):")["checked"], 0)
        self.assertEqual(w.one(wizard, "Button", "Start external program:")["checked"], 0)
        self.assertEqual([e["text"] for e in w.edits()], [f"Varlindo_{DEFAULT}"])
        w.rest_mouse()
        self.s.window_shot("shortcut-wizard", wizard)
        collapsed = wizard["window"]["h"]

        # Volume 80 %, the program in a folder with a blank, its parameters, the second card.
        w.tick(WIZARD, "Set Volume (wave+speaker):")
        self.assertTrue(w.combo(WIZARD, "100%")["enabled"])
        w.choose(WIZARD, "100%", 0)
        self.s.xdotool("type", "--delay", 40, "5")  # the lists take no typing (a list box would jump to "59%")
        time.sleep(0.5)
        self.assertEqual(w.combo(WIZARD, "100%")["selected"], 0)
        w.choose(WIZARD, "100%", VOLUMES.index("80%"))
        w.tick(WIZARD, "Start external program:")
        wizard = self.s.dump(WIZARD)
        self.assertGreater(wizard["window"]["h"], collapsed + 50)
        for caption in ("Program path", "...", "Parameter (optional):", "Drag && drop your exacutable here:"):
            w.one(wizard, text=caption)
        name, program, parameters = w.edits()
        w.type_into(program, ARGREC)
        w.type_into(parameters, "-width=1920 -x")
        w.choose(WIZARD, DEFAULT, 1)
        # The name proposed: the program's name and the card's nickname.
        self.assertEqual([e["text"] for e in w.edits()], ["argrec_Speakers", ARGREC, "-width=1920 -x"])
        w.rest_mouse()
        wizard = self.s.dump(WIZARD)
        self.s.window_shot("shortcut-wizard-program", wizard)

        # The folder chooser starts in the program's folder; its desktop button goes to the desktop.
        w.click(WIZARD, "Create Shortcut")
        chooser_title = folder_chooser("argrec_Speakers")
        chooser = self.s.wait_window(chooser_title)
        self.assertEqual(w.one(chooser, "ComboBox")["text"], "C:")
        folders = w.folder_list(chooser_title)
        self.assertEqual(folders["items"], ["C:\\", "  Test Games"])
        self.assertEqual(folders["selected"], 1)
        self.assertEqual([c["text"] for c in w.shown(chooser, "Button") if c["text"]], ["Ok", "Abbruch"])
        self.assertFalse(w.shown(chooser, "Edit"))  # no file name in folder mode
        desktop_button, start_menu_button = w.quick_buttons(chooser_title)
        self.s.click_control(desktop_button)
        desktop = self.s.user_folder("Desktop")
        user = desktop.parent.name
        expected = ["C:\\", "  users", f"    {user}", "      Desktop"]
        self.s.wait_for("the desktop", lambda: w.folder_list(chooser_title)["items"] == expected)
        self.assertEqual(w.folder_list(chooser_title)["selected"], 3)
        # The pressed button comes back after a moment.
        self.s.wait_for("the button again", lambda: w.quick_buttons(chooser_title)[0]["enabled"], timeout=5)
        w.rest_mouse()
        self.s.window_shot("shortcut-folder-chooser", self.s.dump(chooser_title))
        w.click(chooser_title, "Ok", "Button")
        w.wait_closed(chooser_title)

        lnk = desktop / "argrec_Speakers.lnk"
        self.s.wait_for("the shortcut", lnk.exists, timeout=5)
        self.assertEqual(self.lnk_files(), [lnk])
        link = self.s.shortcut(lnk)
        self.assertEqual(link["Local path"].lower(), self.s.short_path(wh.PROGRAM_IN_PREFIX).lower())
        self.assertNotIn(" ", link["Local path"])
        self.assertEqual(link["Command line arguments"], f'D={REALTEK} V=80 R="{ARGREC}" P=-width=1920 -x')
        self.assertEqual(link["Icon location"], ARGREC)
        self.assertEqual(link["Show command"], 1)  # normal window
        self.assertTrue(self.w.is_open(WIZARD))  # for the next shortcut

        # The file chooser that "..." opens starts in the program's folder and lists its files.
        w.click(WIZARD, "...")
        chooser = self.s.wait_window(FILE_CHOOSER)
        self.assertEqual(w.folder_list(FILE_CHOOSER)["items"], ["C:\\", "  Test Games"])
        files = sorted(w.shown(chooser, "ListBox"), key=lambda c: c["x"])[1]
        self.assertEqual(files["items"], ["argrec.exe"])
        self.assertEqual(w.one(chooser, "Edit")["text"], "*.*")
        self.assertEqual([c["text"] for c in w.shown(chooser, "Button") if c["text"]], ["Ok", "Abbruch"])
        self.assertEqual(len(w.quick_buttons(FILE_CHOOSER)), 2)
        w.rest_mouse()
        self.s.window_shot("shortcut-file-chooser", chooser)
        w.click(FILE_CHOOSER, "Abbruch", "Button")
        w.wait_closed(FILE_CHOOSER)
        self.assertEqual(w.edits()[1]["text"], ARGREC)
        w.click(WIZARD, "Close", "Button")
        w.wait_closed(WIZARD)
        self.s.wait_window()  # the main window is back

        # Started like a double-click on it, the shortcut switches and starts the program. (The
        # resident program is told of the switch; the volume is seen in the new start's trace,
        # since Wine keeps mixer levels per process.)
        self.assertEqual(self.s.mapper("Playback"), DEFAULT)
        record = games / "argrec.txt"
        self.s.start_shortcut(lnk, trace="winmm,+alsa")
        lines = self.s.wait_for("the program", lambda: record.exists() and record.read_text().splitlines(),
                                timeout=30)
        self.assertEqual(lines[0], f'"{ARGREC}" -width=1920 -x')
        self.assertEqual(lines[1].lower(), GAMES.lower())
        self.s.wait_for("the switch", lambda: self.s.mapper("Playback") == REALTEK)
        card = {}
        for line in self.s.vtool("volume", 1).stdout.splitlines():
            key, *values = line.split("\t")
            card[key] = values
        trace = self.s.trace_log()
        self.assertRegex(trace, rf"mixerOpen \([0-9A-F]+, {card['mixer'][0]}, 0, 0, 0\)")
        set_ids = re.findall(r"mixerSetControlDetails dwControlID: (\d+)", trace)
        self.assertEqual(sorted(set_ids), sorted([card["speaker"][1], card["wave"][1]]))
        levels = [float(v) for v in re.findall(r"SetMasterVolume \([0-9A-F]+\)->\(([0-9.]+),", trace)]
        self.assertTrue(levels)
        self.assertEqual({round(v, 2) for v in levels}, {0.8})

    def test_the_browse_button_picks_the_program_through_the_choosers_lists(self):
        self.install_argrec()
        self.open_from_button()
        w = self.w
        w.tick(WIZARD, "Start external program:")
        w.click(WIZARD, "...")
        chooser = self.s.wait_window(FILE_CHOOSER)
        # It starts in the program's current folder (on Z:, where the tests run); the drive list
        # goes to C:, a double click opens a folder, Enter too, and a double click picks a file.
        drives = w.one(chooser, "ComboBox")
        self.assertEqual(drives["items"][:1], ["C:"])
        self.s.click_control(drives)
        time.sleep(0.3)
        self.s.xdotool("key", "Escape")
        time.sleep(0.2)
        self.s.xdotool("key", "Home")
        self.s.xdotool("keyup", "Escape", "Home")
        self.s.wait_for("drive C:", lambda: w.folder_list(FILE_CHOOSER)["items"][:1] == ["C:\\"])
        folders = w.folder_list(FILE_CHOOSER)
        self.assertIn("  Test Games", folders["items"])
        self.assertIn("  users", folders["items"])
        self.s.click_list_item(folders, folders["items"].index("  users"))
        self.s.xdotool("key", "Return")
        self.s.xdotool("keyup", "Return")
        self.s.wait_for("users opened", lambda: w.folder_list(FILE_CHOOSER)["items"][:2] == ["C:\\", "  users"]
                        and len(w.folder_list(FILE_CHOOSER)["items"]) > 2
                        and all(i.startswith("    ") for i in w.folder_list(FILE_CHOOSER)["items"][2:]))
        self.s.click_list_item(w.folder_list(FILE_CHOOSER), 0, double=True)  # back to C:\
        self.s.wait_for("C:\\ again", lambda: "  Test Games" in w.folder_list(FILE_CHOOSER)["items"])
        folders = w.folder_list(FILE_CHOOSER)
        self.s.click_list_item(folders, folders["items"].index("  Test Games"), double=True)
        self.s.wait_for("the folder", lambda: w.folder_list(FILE_CHOOSER)["items"] == ["C:\\", "  Test Games"])
        files = lambda: sorted(w.shown(self.s.dump(FILE_CHOOSER), "ListBox"), key=lambda c: c["x"])[1]
        self.s.wait_for("its files", lambda: files()["items"] == ["argrec.exe"])
        self.s.click_list_item(files(), 0, double=True)
        w.wait_closed(FILE_CHOOSER)
        self.assertEqual([e["text"] for e in w.edits()], [f"argrec_{DEFAULT}", ARGREC, ""])

    def test_cancelled_choosers_write_nothing_and_escape_brings_the_main_window_back(self):
        self.install_argrec()
        self.open_from_button()
        w = self.w
        w.tick(WIZARD, "Start external program:")
        w.type_into(w.edits()[1], ARGREC)
        before = self.lnk_files()
        chooser_title = folder_chooser(f"argrec_{DEFAULT}".replace(":", "_"))
        # "Abbruch" in the folder chooser, after going to the desktop.
        w.click(WIZARD, "Create Shortcut")
        self.s.wait_window(chooser_title)
        self.s.click_control(w.quick_buttons(chooser_title)[0])
        self.s.wait_for("the desktop", lambda: w.folder_list(chooser_title)["items"][-1] == "      Desktop")
        w.click(chooser_title, "Abbruch", "Button")
        w.wait_closed(chooser_title)
        # Escape in the folder chooser, in the start menu.
        w.click(WIZARD, "Create Shortcut")
        self.s.wait_window(chooser_title)
        self.s.click_control(w.quick_buttons(chooser_title)[1])
        self.s.wait_for("the start menu", lambda: "Start Menu" in w.folder_list(chooser_title)["items"][-2])
        self.s.press(chooser_title, "Escape")
        w.wait_closed(chooser_title)
        time.sleep(0.5)
        self.assertEqual(self.lnk_files(), before)
        # Escape in the file chooser keeps the program.
        w.click(WIZARD, "...")
        self.s.wait_window(FILE_CHOOSER)
        self.s.press(FILE_CHOOSER, "Escape")
        w.wait_closed(FILE_CHOOSER)
        self.assertEqual(w.edits()[1]["text"], ARGREC)
        # Escape in the wizard closes it, and the main window comes back.
        self.assertTrue(w.is_open(WIZARD))
        self.s.press(WIZARD, "Escape")
        w.wait_closed(WIZARD)
        self.s.wait_window()
        self.assertEqual(self.lnk_files(), before)

    def test_a_shortcut_that_cannot_be_written_is_reported_and_the_old_file_stays(self):
        desktop = self.s.user_folder("Desktop")
        name = f"Varlindo_{DEFAULT}".replace(":", "_")  # a file name holds no ":"
        old = desktop / f"{name}.lnk"
        old.write_bytes(b"an older shortcut")
        # Tests run as root, and Wine lets root write read-only files: the file is made immutable.
        subprocess.run(["chattr", "+i", str(old)], check=True)
        try:
            self.open_from_button()
            w = self.w
            w.click(WIZARD, "Create Shortcut")
            chooser_title = folder_chooser(name)
            self.s.wait_window(chooser_title)
            self.s.click_control(w.quick_buttons(chooser_title)[0])
            self.s.wait_for("the desktop", lambda: w.folder_list(chooser_title)["items"][-1] == "      Desktop")
            w.click(chooser_title, "Ok", "Button")
            box = self.s.wait_window(ERROR_BOX)
            self.assertEqual(box["window"]["class"], "#32770")
            windows_folder = "C:\\users\\" + desktop.parent.name + "\\Desktop\\"
            # The message, two line breaks, the path, and then the system's reason.
            parts = self.s.box_text(ERROR_BOX).rstrip("\n").split("\n\n")
            self.assertEqual(parts[:2], ["Error: Could not create Shortcut!", f"{windows_folder}{name}.lnk"])
            self.assertEqual(len(parts), 3, parts)
            self.assertTrue(parts[2].strip(), parts)
            self.s.window_shot("shortcut-failed", box)
            self.s.click_control(self.s.control(box, "Button", "OK"))
            w.wait_closed(ERROR_BOX)
            self.assertEqual(old.read_bytes(), b"an older shortcut")
            self.assertTrue(w.is_open(WIZARD))
        finally:
            subprocess.run(["chattr", "-i", str(old)], check=False)

    def test_a_program_dropped_on_the_main_window_opens_the_wizard_with_it(self):
        # The shell's drop message is handed to the window under the point; the mouse drag
        # itself is not exercised.
        games = self.install_argrec()
        shutil.copy2(games / "argrec.exe", games / "Other Game.exe")
        other = GAMES + r"\Other Game.exe"
        self.s.reg_add(wh.SETTINGS_KEY + "\\Volume_" + DEFAULT, "AliasName", "REG_SZ", "Main")
        self.s.start()
        main_window = self.s.show_main_window()
        w = self.w
        hint = [c for c in w.shown(main_window, "Static") if c["text"].startswith("Drop program exe")][0]
        field = [c for c in w.shown(main_window, "Static", "") if c["w"] == c["h"] and c["y"] >= hint["y"]][0]

        self.s.drop_files([ARGREC], field)
        wizard = self.s.wait_window(WIZARD)
        self.assertEqual(w.one(wizard, "Button", "Start external program:")["checked"], 1)
        w.one(wizard, text="Program path")
        self.assertEqual([e["text"] for e in w.edits()], ["argrec_Main", ARGREC, ""])
        self.s.wait_for("the main window in the tray", lambda: not self.s.dump()["window"]["visible"])
        # Not modal: the main window, brought back meanwhile, can be used.
        main_window = self.s.show_main_window()
        self.assertTrue(main_window["window"]["enabled"])
        self.assertTrue(w.is_open(WIZARD))
        self.s.click_control(w.one(main_window, "Button", "&Hide >>"))
        self.s.wait_for("the main window in the tray", lambda: not self.s.dump()["window"]["visible"])

        # A program dropped on the wizard's own field replaces the first.
        picture = [c for c in w.shown(self.s.dump(WIZARD), "Static", "") if c["w"] == c["h"] and c["w"] > 32][0]
        self.s.drop_files([other], picture, title=WIZARD)
        self.s.wait_for("the other program", lambda: [e["text"] for e in w.edits()][:2] == ["Other Game_Main", other])

        # The drop hint passes a drop on as well.
        w.click(WIZARD, "Close", "Button")
        w.wait_closed(WIZARD)
        self.s.show_main_window()
        self.s.drop_files([other], hint)
        self.s.wait_window(WIZARD)
        self.assertEqual([e["text"] for e in w.edits()], ["Other Game_Main", other, ""])

    def test_the_tray_menu_opens_the_wizard_and_the_main_window_stays_in_the_tray(self):
        self.s.start()
        self.s.tray_icon_point()
        self.s.open_tray_menu()
        self.s.pick_menu(WIZARD)
        wizard = self.s.wait_window(WIZARD)
        self.assertEqual(self.w.combo(WIZARD, DEFAULT)["items"], wh.DEVICE_NAMES)
        self.assertFalse(self.s.dump()["window"]["visible"])
        self.w.click(WIZARD, "Close", "Button")
        self.w.wait_closed(WIZARD)
        time.sleep(0.5)
        self.assertFalse(self.s.dump()["window"]["visible"])
        # Still in the tray: its menu opens the wizard again.
        self.s.open_tray_menu()
        self.s.pick_menu(WIZARD)
        self.s.wait_window(WIZARD)


class GermanWizard(unittest.TestCase):
    def test_the_wizard_and_its_folder_chooser_in_german(self):
        s = wh.Session("shortcuts-german", program=wh.BUILD_GERMAN / "Varlindo.exe")
        w = Wizard(self, s)
        try:
            s.start()
            dump = s.show_main_window()
            s.click_control(s.control(dump, "Button", "Verknüpf. Assitent .."))
            wizard = s.wait_window(WIZARD_GERMAN)
            w.tick(WIZARD_GERMAN, "Programm nach dem Wechsel starten")
            wizard = s.dump(WIZARD_GERMAN)
            shown = [c["text"] for c in w.shown(wizard)]
            for caption in ("Soundkarte setzen:", "Lautstärke ändern:", "Programm nach dem Wechsel starten",
                            "Programm Pfad", "Programm per Drag && Drop hier ablegen:", "Name der Verknüpfung",
                            "Verknüpfung Erstellen", "Schließen"):
                self.assertIn(caption, shown)
            self.assertNotIn("Create Shortcut", shown)
            w.rest_mouse()
            s.window_shot("shortcut-wizard-german", wizard)

            # The folder chooser; its start menu button; the shortcut lands there.
            w.click(WIZARD_GERMAN, "Verknüpfung Erstellen")
            name = f"Varlindo_{DEFAULT}".replace(":", "_")
            chooser_title = folder_chooser(name, german=True)
            s.wait_window(chooser_title)
            s.click_control(w.quick_buttons(chooser_title)[1])
            start_menu = s.user_folder("AppData/Roaming/Microsoft/Windows/Start Menu")
            s.wait_for("the start menu", lambda: w.folder_list(chooser_title)["items"][-2:]
                       == ["              Start Menu", "                Programs"])
            self.assertEqual(w.folder_list(chooser_title)["items"][-2], "              Start Menu")
            w.rest_mouse()
            time.sleep(1.2)  # the pressed button's picture comes back
            s.window_shot("shortcut-folder-chooser-german", s.dump(chooser_title))
            w.click(chooser_title, "Ok", "Button")
            w.wait_closed(chooser_title)
            lnk = start_menu / f"{name}.lnk"
            s.wait_for("the shortcut", lnk.exists, timeout=5)
            link = s.shortcut(lnk)
            self.assertEqual(link["Command line arguments"], f"D={DEFAULT}")
            # Without a program the icon is the program's own.
            self.assertEqual(s.unix_path(link["Icon location"]), s.unix_path(wh.PROGRAM_IN_PREFIX))
            w.click(WIZARD_GERMAN, "Schließen", "Button")
            w.wait_closed(WIZARD_GERMAN)
            s.wait_window()
        finally:
            s.close()


if __name__ == "__main__":
    main()
