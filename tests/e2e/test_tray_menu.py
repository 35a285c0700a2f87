"""The tray menu, read while it is open.

Wine keeps menus per process, so the open menu is read from inside the program that shows it:
Session.open_menu_items sets the hook in menuhook.dll on that program's thread (through vtool).
Session.pick_menu and Session.close_menu end the menu the way a user does.

StandInMenu proves these helpers on vtool's stand-in tray program, which opens a fixed menu the
way Varlindo opens its own; TrayMenu holds the checks of Varlindo's own menu.
"""

import re
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


class TrayMenu(unittest.TestCase):
    """Varlindo's own tray menu."""

    def setUp(self):
        self.s = wh.Session("tray-menu")
        self.proc = self.s.start()
        self.s.tray_icon_point()

    def tearDown(self):
        self.s.close()

    def open_menu(self):
        # After a switch the program takes its icon away and adds it again, so a click may fall
        # between the two; then it is clicked once more.
        return self.s.wait_for("the menu", lambda: self.s.click_tray() or self.s.open_menu_items(wait=2))

    @staticmethod
    def cards(items):
        """The card entries ("N: name ..."), as (text, checked)."""
        return [(i["text"], i["checked"]) for i in items if re.match(r"\d+: ", i["text"])]

    def test_the_menu_lists_the_cards_and_marks_the_current_one(self):
        items = self.open_menu()
        self.s.menu_shot("tray-menu", items)
        cards = self.cards(items)
        self.assertEqual([text.split("  ")[0] for text, _ in cards], ["1: Out: default", f"2: {REALTEK}",
                                                                      f"3: {HEADSET}"])
        self.assertRegex(cards[0][0], r"\(Play \+ Rec\)$")
        self.assertEqual([checked for _, checked in cards], [True, False, False])
        self.assertEqual(items[-1]["text"], "Exit")
        self.s.close_menu()
        self.assertIsNone(self.proc.poll())
        self.assertEqual(self.s.mapper("Playback"), DEFAULT)

    def test_a_card_picked_in_the_menu_becomes_the_default(self):
        self.open_menu()
        self.s.pick_menu(f"3: {HEADSET}")
        self.s.wait_for("the switch", lambda: self.s.mapper("Playback") == HEADSET)
        self.assertEqual(self.s.mapper("Record"), HEADSET)
        # The menu is made anew: the mark moved to the picked card.
        cards = self.cards(self.open_menu())
        self.assertEqual([checked for _, checked in cards], [False, False, True])
        self.assertRegex(cards[2][0], r"\(Play \+ Rec\)$")
        self.s.close_menu()


if __name__ == "__main__":
    main()
