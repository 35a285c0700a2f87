"""The tray menu, read while it is open.

Wine keeps menus per process, so the open menu is read from inside the program that shows it:
Session.open_menu_items sets the hook in menuhook.dll on that program's thread (through vtool).
Session.pick_menu and Session.close_menu end the menu the way a user does.

StandInMenu proves these helpers on vtool's stand-in tray program, which opens a fixed menu the
way Varlindo opens its own; TrayMenu holds the checks of Varlindo's own menu.
"""

import unittest

from e2e import DEFAULT, HEADSET, REALTEK, main, wh

STAND_IN = "VtoolTray"  # the class of the stand-in's tray window
# (id, text, checked, grayed) of the stand-in's menu; None for a separator.
STAND_IN_MENU = [
    (1, "Homepage ...", False, False),
    None,
    (3, "Settings ...", False, False),
    (4, "Hotkeys", False, False),
    None,
    (6, " 1: Out: default  (Play + Rec)", True, False),
    (7, " 2: Out: Realtek HD Audio", False, False),
    (8, " 3: Out: USB Headset", False, True),
    (9, " 4: Kopfhörer – Übersicht", False, False),
    None,
    (11, "Exit", False, False),
]


class StandInMenu(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.s = wh.Session("menu-stand-in")
        cls.record = cls.s.prefix / "drive_c" / "picked.txt"
        cls.s.start_vtool("traymenu", r"C:\picked.txt")
        cls.s.tray_icon_point()

    @classmethod
    def tearDownClass(cls):
        cls.s.close()

    def tearDown(self):
        if self.s.menu_is_open(STAND_IN):
            self.s.close_menu(STAND_IN)

    def open_menu(self):
        self.s.click_tray()
        items = self.s.open_menu_items(STAND_IN)
        self.assertIsNotNone(items, "the menu did not open")
        return items

    def picks(self):
        return self.record.read_text().split("\n")[:-1] if self.record.exists() else []

    def assert_menu_returned(self, item_id, before):
        """TrackPopupMenuEx in the stand-in returned this id (0: nothing chosen)."""
        self.s.wait_for("the stand-in to record the answer", lambda: len(self.picks()) > before, timeout=5)
        self.assertEqual(self.picks()[before:], [f"picked {item_id}"])

    def test_items_come_back_with_ids_texts_and_states(self):
        items = self.open_menu()
        self.assertEqual([None if i["separator"] else (i["id"], i["text"], i["checked"], i["grayed"]) for i in items],
                         STAND_IN_MENU)
        self.assertEqual([i["pos"] for i in items], list(range(len(STAND_IN_MENU))))
        # The rectangles are where the items are on the screen: one column, top to bottom.
        self.assertEqual(len({(i["x"], i["w"]) for i in items}), 1)
        for upper, lower in zip(items, items[1:]):
            self.assertEqual(upper["y"] + upper["h"], lower["y"])
        shot = self.s.menu_shot("tray-menu-stand-in", items)
        self.assertGreaterEqual(self.s.colours(shot), 3)  # background, text, grayed text
        before = len(self.picks())
        self.s.close_menu(STAND_IN)
        self.assert_menu_returned(0, before)

    def test_keys_choose_an_item(self):
        self.open_menu()
        before = len(self.picks())
        self.assertEqual(self.s.pick_menu(" 4: Kopfhörer – Übersicht", STAND_IN)["id"], 9)
        self.assert_menu_returned(9, before)

    def test_a_click_chooses_an_item(self):
        self.open_menu()
        before = len(self.picks())
        self.s.pick_menu(" 2: Out: Realtek HD Audio", STAND_IN, mouse=True)
        self.assert_menu_returned(7, before)

    def test_return_on_a_grayed_item_chooses_nothing(self):
        # Wine closes the menu and TrackPopupMenuEx returns 0.
        self.open_menu()
        before = len(self.picks())
        self.s.pick_menu(" 3: Out: USB Headset", STAND_IN)
        self.assert_menu_returned(0, before)

    def test_no_open_menu_reads_as_none(self):
        self.assertIsNone(self.s.open_menu_items(STAND_IN, wait=0))
        with self.assertRaises(AssertionError):
            self.s.close_menu(STAND_IN)


# Varlindo's menu on a first start, as (text, checked); None for a separator.
MENU = [
    ("Homepage ...", False), None, ("Shortcut wizzard ...", False), None, ("Settings ...", False),
    ("Hotkeys", False), None, ("Windows audio settings ...", False), ("Audio mixer ...", False),
    ("Reload list of Soundcards", False), None, ("Set volume ...", False), None,
    (f"1: {DEFAULT}    (Play + Rec)", True), (f"2: {REALTEK}", False), (f"3: {HEADSET}", False), None,
    ("Exit", False),
]


class TrayMenu(unittest.TestCase):
    """Varlindo's own tray menu."""

    def setUp(self):
        self.s = wh.Session("tray-menu")

    def tearDown(self):
        self.s.close()

    def start(self):
        self.proc = self.s.start()
        self.s.tray_icon_point()

    def open_menu(self):
        # After a switch the program takes its icon away and adds it again, so a click may fall
        # between the two; then it is clicked once more.
        return self.s.open_tray_menu()

    @staticmethod
    def seen(items):
        return [None if i["separator"] else (i["text"], i["checked"]) for i in items]

    def test_the_menu_lists_commands_and_cards_and_marks_the_current_one(self):
        self.start()
        items = self.open_menu()
        shot = self.s.menu_shot("tray-menu", items)
        self.assertGreaterEqual(self.s.colours(shot), 3)
        self.assertEqual(self.seen(items), MENU)
        self.assertFalse(any(i["grayed"] for i in items if not i["separator"]))
        self.s.close_menu()
        self.assertIsNone(self.proc.poll())
        self.assertEqual(self.s.mapper("Playback"), DEFAULT)

    def test_a_card_picked_in_the_menu_becomes_the_default_and_the_tooltip_names_it(self):
        self.start()
        self.assertEqual(self.s.tray_tooltip(), DEFAULT)
        self.open_menu()
        self.s.pick_menu(f"2: {REALTEK}")
        self.s.wait_for("the switch", lambda: self.s.mapper("Playback") == REALTEK)
        self.assertEqual(self.s.mapper("Record"), REALTEK)
        self.s.wait_for("the new tooltip", lambda: self.s.tray_tooltip() == REALTEK, timeout=20)
        # The menu is made anew: the mark moved to the picked card.
        cards = [entry for entry in self.seen(self.open_menu()) if entry and entry[0][0].isdigit()]
        self.assertEqual(cards, [(f"1: {DEFAULT}", False), (f"2: {REALTEK}    (Play + Rec)", True),
                                 (f"3: {HEADSET}", False)])
        self.s.close_menu()

    def test_exit_in_the_menu_ends_the_program_with_the_shutdown_card(self):
        settings = wh.SETTINGS_KEY + r"\Settings"
        self.s.reg_add(settings, "SetDefaultOnShutdownCheck", "REG_SZ", "1")
        self.s.reg_add(settings, "ShutdownDevice", "REG_SZ", HEADSET)
        self.start()
        self.open_menu()
        self.s.pick_menu("Exit")
        box = self.s.wait_for("the exit question", lambda: self.s.dump("Exit program?"))
        self.assertEqual(self.s.box_text("Exit program?").strip(), "Shutdown Varlindo?")
        self.s.click_control(self.s.control(box, "Button", "&Yes"))
        self.s.wait_for("the program to end", lambda: self.proc.poll() is not None)
        self.assertEqual(self.s.mapper("Playback"), HEADSET)
        self.assertIsNone(self.s.tray_window())  # the icon went with it


if __name__ == "__main__":
    main()
