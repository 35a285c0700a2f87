"""The online update: the "Update" label asks, the program hands over to Update.exe beside it
and ends, and the updater replaces the program with a checked download and starts it; or,
when anything fails, tells the user, leaves the old file as it was and starts it again.

The program under test is the test build (VarlindoUpdateTest.exe, whose update sites are
http://127.0.0.1:18732), installed as C:\\Program Files\\Varlindo\\Varlindo.exe with the real
Update.exe beside it; update_server.py plays the web site. The program is always started from
the user's folder, where an Update.exe of another kind lies (argrec.exe, which records that it
ran): the program must never start that one.
"""

import os
import subprocess
import time
import unittest

from e2e import main, wh
from update_server import SITE, UpdateServer

TEST_BUILD = wh.BUILD / "VarlindoUpdateTest.exe"
UPDATER = wh.BUILD / "Update.exe"
GERMAN_BUILD = wh.BUILD_GERMAN / "Varlindo.exe"
ARGREC = wh.BUILD / "argrec.exe"

QUESTION = "Online Update"
FAILURE = "Varlindo Update"
ERROR_BOX = "Varlindo"
FOLDER = r"C:\Program Files\Varlindo"
BUILD_PATH = "/eng/Varlindo.exe"
UPDATER_PATH = "/Downloads/Tormel-Updater.exe"
FAILED = "The update did not work, and the program stays as it was."


class OnlineUpdate(unittest.TestCase):
    def setUp(self):
        self.s = wh.Session("update", program=TEST_BUILD)
        self.addCleanup(self.s.close)
        self.s.install_beside_program(UPDATER, "Update.exe")
        self.old = self.program_file().read_bytes()
        # The user's folder, the current folder of every start here, with an Update.exe that is not ours.
        self.home = self.s.user_folder("Desktop").parent
        self.s.env.pop("ARGREC_FILE", None)
        (self.home / "Update.exe").write_bytes(ARGREC.read_bytes())
        self.server = UpdateServer().start()
        self.addCleanup(self.server.stop)  # before the session closes

    # ---------------------------------------------------------------- helpers
    def program_file(self):
        return self.s.program_folder / "Varlindo.exe"

    def program_folder_updater(self):
        return self.s.program_folder / "Update.exe"

    def folder_files(self):
        return sorted(os.listdir(self.s.program_folder))

    def assert_marker_never_ran(self):
        self.assertFalse((self.home / "argrec.txt").exists(),
                         "the Update.exe in the current folder was started")

    def start_and_ask(self, answer, shot=None, question="Check for a new Version?"):
        """Starts the program from the user's folder, opens its window, clicks "Update" and answers."""
        proc = self.s.start_in(self.home)
        dump = self.s.show_main_window()
        label = [c for c in dump["controls"] if c["visible"] and c["text"] == "Update"]
        self.assertEqual(len(label), 1, [c["text"] for c in dump["controls"] if c["visible"]])
        self.s.click_control(label[0])
        box = self.s.wait_window(QUESTION)
        self.assertEqual(box["window"]["class"], "#32770")
        self.assertEqual(self.s.box_text(QUESTION).strip(), question)
        self.assertEqual(sorted(c["text"] for c in box["controls"] if c["class"] == "Button"), ["&No", "&Yes"])
        if shot:
            self.s.move_mouse(1000, 740)
            self.assertGreater(self.s.colours(self.s.window_shot(shot, box)), 10)
        self.s.answer_box(QUESTION, answer)
        return proc

    def update_fails(self, reason, shot=None):
        """Yes, and the updater fails: its box names the reason, the old file stays, and after OK
        the old program runs again with its icon in the tray."""
        proc = self.start_and_ask("&Yes")
        self.assertEqual(proc.wait(20), 0)  # the program ends for the updater
        box = self.s.wait_window(FAILURE, timeout=40)
        self.assertEqual(box["window"]["class"], "#32770")
        text = self.s.box_text(FAILURE).rstrip("\n")
        self.assertTrue(text.startswith(FAILED + "\n\n"), text)
        self.assertIn(reason, text[len(FAILED):])
        # The program is not running while the box is open, so its icon is gone.
        self.assertFalse(self.s.program_running())
        self.assertIsNone(self.s.tray_window())
        self.assertEqual(self.program_file().read_bytes(), self.old)
        self.assertEqual(self.folder_files(), ["Update.exe", "Varlindo.exe"])
        if shot:
            self.s.move_mouse(1000, 740)
            self.assertGreater(self.s.colours(self.s.window_shot(shot, box)), 10)
        self.s.answer_box(FAILURE, "OK")
        # The old program again: its icon comes back, and its window opens from it.
        self.s.tray_icon_point()
        self.assertTrue(self.s.program_running())
        self.s.show_main_window()
        self.assertEqual(self.program_file().read_bytes(), self.old)
        self.assertEqual(self.folder_files(), ["Update.exe", "Varlindo.exe"])
        self.assert_marker_never_ran()
        return text

    # ---------------------------------------------------------------- scenarios
    def test_1_yes_replaces_the_program_with_the_new_build_and_starts_it(self):
        new = GERMAN_BUILD.read_bytes()
        self.assertNotEqual(new, self.old)
        self.server.program(BUILD_PATH, new)
        proc = self.start_and_ask("&Yes", shot="update-question")
        self.assertEqual(proc.wait(20), 0)
        self.s.wait_for("the new build in place", lambda: self.program_file().read_bytes() == new, timeout=40)
        # The new program runs: its icon, and its window in German.
        self.s.tray_icon_point()
        dump = self.s.show_main_window()
        for caption in ("Einstellungen", "Beenden", "Soundkarte aktivieren"):
            self.assertIsNotNone(self.s.control(dump, text=caption), caption)
        self.assertEqual(self.program_file().read_bytes(), new)
        self.assertEqual(self.folder_files(), ["Update.exe", "Varlindo.exe"])  # no backup, no download left
        self.assertEqual(self.s.program_folder.joinpath("Update.exe").read_bytes(), UPDATER.read_bytes())
        self.assertEqual(sorted(set(self.server.requested())), [BUILD_PATH, BUILD_PATH + ".sha256"])
        self.assert_marker_never_ran()

    def test_2_no_changes_nothing(self):
        self.server.program(BUILD_PATH, GERMAN_BUILD.read_bytes())
        proc = self.start_and_ask("&No")
        time.sleep(3)  # time for a hand-over that must not happen
        self.assertIsNone(proc.poll())
        self.assertEqual(self.server.requested(), [])
        self.assertEqual(self.program_file().read_bytes(), self.old)
        self.assertEqual(self.folder_files(), ["Update.exe", "Varlindo.exe"])
        dump = self.s.wait_window()  # the window stays open
        # Back to the tray: the icon is there and opens the English menu.
        self.s.click_control(self.s.control(dump, "Button", "&Hide >>"))
        self.s.wait_for("the window to hide", lambda: not self.s.dump()["window"]["visible"])
        items = self.s.open_tray_menu()
        self.assertEqual([i["text"] for i in items if not i["separator"]][-1], "Exit")
        self.s.close_menu()
        self.assertIsNone(proc.poll())
        self.assert_marker_never_ran()

    def test_3a_a_missing_build_leaves_the_old_program(self):
        self.update_fails(f"The server answered with error 404 for {SITE}{BUILD_PATH}.")
        self.assertEqual(self.server.requested(), [BUILD_PATH])  # no checksum asked for a failed download

    def test_3b_a_web_page_instead_of_the_build_leaves_the_old_program(self):
        # A page as large as a small program, so that the size alone does not give it away.
        page = b"<!DOCTYPE html>\n<html><head><title>Varlindo</title></head><body>\n"
        page += b"<p>Our downloads have moved.</p>\n" * 700 + b"</body></html>\n"
        self.assertGreater(len(page), 16 * 1024)
        self.server.html(BUILD_PATH, page)
        self.update_fails(f"The file from {SITE}{BUILD_PATH} is not a Windows program.", shot="update-failed")
        self.assertEqual(self.server.requested(), [BUILD_PATH])

    def test_3c_a_build_that_does_not_match_its_checksum_leaves_the_old_program(self):
        new = GERMAN_BUILD.read_bytes()
        self.server.program(BUILD_PATH, new, digest_of=new + b"\0")
        self.update_fails(f"The file from {SITE}{BUILD_PATH} does not match its published checksum.")
        self.assertEqual(sorted(set(self.server.requested())), [BUILD_PATH, BUILD_PATH + ".sha256"])

    def test_3d_a_server_that_does_not_answer_leaves_the_old_program(self):
        self.server.stop()
        self.update_fails(f"The server could not be reached ({SITE}{BUILD_PATH})")

    def test_3e_a_program_file_that_cannot_be_replaced_stays_as_it_was(self):
        self.server.program(BUILD_PATH, GERMAN_BUILD.read_bytes())
        # Tests run as root, and Wine lets root replace read-only files: the file is made immutable.
        subprocess.run(["chattr", "+i", str(self.program_file())], check=True)
        try:
            self.update_fails(f"The new program could not be put in place of {FOLDER}\\Varlindo.exe")
        finally:
            subprocess.run(["chattr", "-i", str(self.program_file())], check=False)
        self.assertEqual(sorted(set(self.server.requested())), [BUILD_PATH, BUILD_PATH + ".sha256"])

    def test_4_the_updater_beside_the_program_is_started_with_the_address_and_the_program(self):
        # The updater beside the program is a recorder here: it notes how it was started.
        self.s.install_beside_program(ARGREC, "Update.exe")
        record = self.s.program_folder / "argrec.txt"
        proc = self.start_and_ask("&Yes")
        self.assertEqual(proc.wait(20), 0)
        self.s.wait_for("the updater", record.exists)
        lines = self.s.wait_for("its record", lambda: record.read_text().splitlines())
        self.assertEqual(lines, [f'"{FOLDER}\\Update.exe" [URL]{SITE}/eng/Varlindo.exe [PATH]{FOLDER}\\Varlindo.exe',
                                 FOLDER])
        self.assertIsNone(self.s.tray_window())  # the program took its icon with it
        self.assert_marker_never_ran()
        self.assertEqual(self.server.requested(), [])

        # The German build asks in German and names its own build, on the shipped https site.
        record.unlink()
        self.s.install_program(GERMAN_BUILD)
        proc = self.start_and_ask("&Yes", question="Auf neue Version überprüfen?")
        self.assertEqual(proc.wait(20), 0)
        self.s.wait_for("the updater", record.exists)
        lines = self.s.wait_for("its record", lambda: record.read_text().splitlines())
        self.assertEqual(lines, [f'"{FOLDER}\\Update.exe" [URL]https://www.varlindo.example/de/Varlindo.exe '
                                 f'[PATH]{FOLDER}\\Varlindo.exe', FOLDER])
        self.assert_marker_never_ran()

    def test_5a_a_missing_updater_that_cannot_be_downloaded_is_reported_and_the_program_goes_on(self):
        self.program_folder_updater().unlink()
        proc = self.start_and_ask("&Yes")
        box = self.s.wait_window(ERROR_BOX, timeout=30)
        self.assertEqual(box["window"]["class"], "#32770")
        self.assertIsNone(proc.poll())
        parts = self.s.box_text(ERROR_BOX).rstrip("\n").split("\n\n")
        self.assertEqual(parts, [f"{FOLDER}\\Update.exe", "Download Failed! ",
                                 f"The server answered with error 404 for {SITE}{UPDATER_PATH}."])
        self.s.answer_box(ERROR_BOX, "OK")
        self.s.tray_icon_point()  # the icon is back
        time.sleep(1)
        self.assertIsNone(proc.poll())
        self.assertEqual(self.folder_files(), ["Varlindo.exe"])  # nothing half downloaded stays
        self.assertEqual(self.program_file().read_bytes(), self.old)
        self.assertEqual(self.server.requested(), [UPDATER_PATH])
        self.assert_marker_never_ran()

    def test_5b_a_missing_updater_is_downloaded_beside_the_program_and_started(self):
        self.program_folder_updater().unlink()
        stand_in = ARGREC.read_bytes()
        self.server.program(UPDATER_PATH, stand_in)
        record = self.s.program_folder / "argrec.txt"
        proc = self.start_and_ask("&Yes")
        self.assertEqual(proc.wait(30), 0)
        self.s.wait_for("the downloaded updater", record.exists)
        lines = self.s.wait_for("its record", lambda: record.read_text().splitlines())
        self.assertEqual(lines, [f'"{FOLDER}\\Update.exe" [URL]{SITE}/eng/Varlindo.exe [PATH]{FOLDER}\\Varlindo.exe',
                                 FOLDER])
        self.assertEqual(self.s.program_folder.joinpath("Update.exe").read_bytes(), stand_in)
        self.assertEqual(self.folder_files(), ["Update.exe", "Varlindo.exe", "argrec.txt"])
        self.assertEqual(sorted(set(self.server.requested())), [UPDATER_PATH, UPDATER_PATH + ".sha256"])
        self.assert_marker_never_ran()


if __name__ == "__main__":
    main()
