"""Shared set-up of the end-to-end scenarios: the harness, and unittest with screenshots."""

import os
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools"))
import wineharness as wh  # noqa: E402,F401

DEFAULT, REALTEK, HEADSET = wh.DEVICE_NAMES


def main():
    result = unittest.main(exit=False, verbosity=2).result
    sys.exit(0 if result.wasSuccessful() and result.testsRun > 0 else 1)
