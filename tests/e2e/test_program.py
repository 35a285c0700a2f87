"""The program as a whole: command line, start-up in the tray, a second start, exit."""

import re
import shutil
import time
import unittest

from e2e import DEFAULT, HEADSET, REALTEK, main, wh

SETTINGS = wh.SETTINGS_KEY + r"\Settings"


class CommandLine(unittest.TestCase):
    def setUp(self):
        self.s = wh.Session("command-line")

    def tearDown(self):
        self.s.close()

    def assert_ends(self, proc, timeout=20):
        self.assertEqual(proc.wait(timeout), 0)

    def test_position_and_volume_switch_and_leave_no_tray_icon(self):
        self.assert_ends(self.s.start_line("D=2 V=50", trace="winmm"))
        self.assertEqual(self.s.mapper("Playback"), REALTEK)
        self.assertEqual(self.s.mapper("Record"), REALTEK)
        self.assertIsNone(self.s.tray_window())
        # Wine keeps mixer levels per process, so the levels are seen in its trace of the
        # calls: the mixer of the second card opened, its speaker and wave volume set.
        card = {}
        for line in self.s.vtool("volume", 1).stdout.splitlines():
            name, *values = line.split("\t")
            card[name] = values
        trace = self.s.trace_log()
        self.assertRegex(trace, rf"mixerOpen \([0-9A-F]+, {card['mixer'][0]}, 0, 0, 0\)")
        set_ids = re.findall(r"mixerSetControlDetails dwControlID: (\d+)", trace)
        self.assertEqual(sorted(set_ids), sorted([card["speaker"][1], card["wave"][1]]))

    def test_a_switch_from_the_command_line_makes_no_window_and_loads_only_what_it_needs(self):
        # Wine's own trace of the start: every window made (with its class) and every DLL
        # loaded. A plain start of the program makes its form windows, its tray window and
        # loads the common controls and the shell; a start that switches and ends needs none
        # of them. COM makes a message-only window of its own.
        self.assert_ends(self.s.start_line("D=3", trace="loaddll,+win"))
        self.assertEqual(self.s.mapper("Playback"), HEADSET)
        trace = self.s.trace_log()
        loaded = {name.lower() for name in re.findall(r'Loaded L"(?:[^"]*\\)?([^"\\]+)"', trace)}
        self.assertIn("winmm.dll", loaded)  # the trace is there
        for dll in ("comctl32.dll", "shell32.dll", "winhttp.dll", "bcrypt.dll"):
            self.assertNotIn(dll, loaded)
        created = re.findall(r'WIN_CreateWindowEx (?:\(null\)|L"[^"]*") L"([^"]+)"', trace)
        self.assertEqual([c for c in created if c != "OleMainThreadWndClass"], [])

    def test_lower_case_key_with_part_of_a_name(self):
        self.assert_ends(self.s.start_line("d=headset"))
        self.assertEqual(self.s.mapper("Playback"), HEADSET)

    def test_question_mark_shows_the_help_and_changes_nothing(self):
        self.s.reg_add(wh.MAPPER_KEY, "Playback", "REG_SZ", HEADSET)
        self.s.reg_add(wh.MAPPER_KEY, "Record", "REG_SZ", REALTEK)
        proc = self.s.start_line("?")
        box = self.s.wait_for("the help", lambda: self.s.dump("Parameter"))
        text = self.s.box_text("Parameter")
        self.assertTrue(text.startswith("Command line parameter: \n\nVarlindo.exe D=[SoundDevice] V=[Volume]"), text)
        self.assertIn(" D= Device Name - Souncard name / nikname (exact phrase) or device number\n", text)
        self.s.window_shot("help-box", box)
        self.s.click_control(self.s.control(box, "Button", "OK"))
        self.assert_ends(proc)
        # Asking for help switches no card.
        self.assertEqual(self.s.mapper("Playback"), HEADSET)
        self.assertEqual(self.s.mapper("Record"), REALTEK)

    def test_missing_program_is_reported_and_the_program_stays(self):
        proc = self.s.start_line(r"D=3 R=C:\Games\missing.exe")
        box = self.s.wait_for("the message", lambda: self.s.dump("File not found"))
        self.assertEqual(self.s.box_text("File not found").strip(), "File not found:\nC:\\Games\\missing.exe")
        self.s.click_control(self.s.control(box, "Button", "OK"))
        self.s.tray_icon_point()  # resident, in the notification area
        self.assertIsNone(proc.poll())
        self.assertNotEqual(self.s.mapper("Playback"), HEADSET)

    def test_program_is_started_with_its_parameters(self):
        folder = self.s.prefix / "drive_c" / "Test Programs"
        folder.mkdir()
        shutil.copy2(wh.BUILD / "vtool.exe", folder / "recorder.exe")
        record = self.s.prefix / "drive_c" / "started.txt"
        self.assert_ends(self.s.start_line(r"R=C:\Test Programs\recorder.exe D=3 P=record C:\started.txt -window"))
        self.assertEqual(self.s.mapper("Playback"), HEADSET)
        lines = self.s.wait_for("the program", lambda: record.exists() and record.read_text().splitlines())
        self.assertEqual(lines[0], r'"C:\Test Programs\recorder.exe" record C:\started.txt -window')
        self.assertEqual(lines[1].lower(), r"c:\test programs")

    def test_parameters_keep_their_own_equals_signs(self):
        folder = self.s.prefix / "drive_c" / "Games"
        folder.mkdir()
        shutil.copy2(wh.BUILD / "vtool.exe", folder / "game.exe")
        record = self.s.prefix / "drive_c" / "game.txt"
        self.assert_ends(self.s.start_line(r"D=2 R=C:\Games\game.exe P=record C:\game.txt -fov=90 -dv=1",
                                           trace="winmm"))
        self.assertEqual(self.s.mapper("Playback"), REALTEK)
        lines = self.s.wait_for("the game", lambda: record.exists() and record.read_text().splitlines())
        self.assertEqual(lines[0], r'"C:\Games\game.exe" record C:\game.txt -fov=90 -dv=1')
        # "-fov=90" is no V= key: no volume was set on any card.
        self.assertNotIn("mixerSetControlDetails", self.s.trace_log())


class Resident(unittest.TestCase):
    def setUp(self):
        self.s = wh.Session("resident")

    def tearDown(self):
        self.s.close()

    def test_second_start_without_arguments_brings_the_first_forward(self):
        first = self.s.start()
        self.s.tray_icon_point()
        self.assertFalse(self.s.dump()["window"]["visible"])
        second = self.s.start()
        self.assertEqual(second.wait(20), 0)
        dump = self.s.wait_window()
        self.assertIsNone(first.poll())
        self.assertEqual(dump["window"]["text"], wh.WINDOW_TITLE)

    def test_shortcut_beside_the_resident_instance_is_followed(self):
        self.s.start()
        self.s.tray_icon_point()
        time.sleep(1.1)  # another second: another instance stamp
        self.assertEqual(self.s.start_line("D=3").wait(20), 0)
        # The resident's icon and menu follow the switch it was told of.
        self.s.wait_for("the tooltip", lambda: self.s.tray_tooltip() == HEADSET, timeout=20)
        items = self.s.open_tray_menu()
        self.assertEqual([i["text"] for i in items if i["checked"]], [f"3: {HEADSET}    (Play + Rec)"])
        self.s.close_menu()
        dump = self.s.show_main_window()
        self.assertEqual(self.s.visible_list(dump)["selected"], 2)
        self.assertIsNotNone(self.s.control(dump, "Static", HEADSET))

    def test_exit_asks_and_applies_the_shutdown_card(self):
        self.s.reg_add(SETTINGS, "SetDefaultOnShutdownCheck", "REG_SZ", "1")
        self.s.reg_add(SETTINGS, "ShutdownDevice", "REG_SZ", HEADSET)
        proc = self.s.start()
        dump = self.s.show_main_window()
        self.assertEqual(self.s.mapper("Playback"), DEFAULT)
        self.s.click_control(self.s.control(dump, text="E&xit"))
        box = self.s.wait_for("the question", lambda: self.s.dump("Exit program?"))
        self.assertEqual(self.s.box_text("Exit program?").strip(), "Shutdown Varlindo?")
        self.s.window_shot("exit-question", box)
        self.s.click_control(self.s.control(box, "Button", "&Yes"))
        self.assertEqual(proc.wait(20), 0)
        self.assertEqual(self.s.mapper("Playback"), HEADSET)
        self.assertIsNone(self.s.tray_window())

    def test_a_cancelled_log_off_leaves_the_program_as_it_was(self):
        self.s.reg_add(SETTINGS, "SetDefaultOnShutdownCheck", "REG_SZ", "1")
        self.s.reg_add(SETTINGS, "ShutdownDevice", "REG_SZ", HEADSET)
        proc = self.s.start()
        self.s.tray_icon_point()
        out = self.s.vtool("logoff", "cancel")
        self.assertEqual(out.stdout.strip(), "query 1")  # hidden in the tray: it agrees, and does nothing yet
        time.sleep(1)
        self.assertIsNone(proc.poll())
        self.assertEqual(self.s.mapper("Playback"), DEFAULT)
        self.s.tray_icon_point()  # the icon is still there
        self.s.show_main_window()  # and the program still answers

    def test_log_off_runs_the_shutdown_work_when_the_session_ends(self):
        self.s.reg_add(SETTINGS, "SetDefaultOnShutdownCheck", "REG_SZ", "1")
        self.s.reg_add(SETTINGS, "ShutdownDevice", "REG_SZ", HEADSET)
        proc = self.s.start()
        self.s.tray_icon_point()
        self.s.vtool("logoff", "end")
        self.assertEqual(proc.wait(20), 0)
        self.assertEqual(self.s.mapper("Playback"), HEADSET)
        self.assertIsNone(self.s.tray_window())

    def test_after_a_new_notification_area_the_icon_still_goes_with_the_window(self):
        self.s.start()
        before = self.s.wait_for("the tray icon", self.s.tray_window)
        self.assertEqual(self.s.vtool("taskbar-created").returncode, 0)
        time.sleep(1)
        # Explorer did not really restart here, so the icon was still shown: the program
        # knows it shows it, answers through it, and takes it away with the window back.
        self.assertEqual(self.s.tray_window(), before)
        self.s.show_main_window()
        self.s.wait_for("the icon to go", lambda: self.s.tray_window() is None)

    def test_minimise_returns_to_the_tray(self):
        self.s.start()
        dump = self.s.show_main_window()
        self.s.click_control(self.s.control(dump, text="&Hide >>"))
        self.s.wait_for("the window to hide", lambda: not self.s.dump()["window"]["visible"])
        self.s.tray_icon_point()
        self.s.screenshot("tray-after-hide", (0, 0, 200, 60))


if __name__ == "__main__":
    main()
