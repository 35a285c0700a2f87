"""The port contract, run against the real Win32 backend under Wine."""

import subprocess
import unittest

from e2e import main, wh


class Win32Contract(unittest.TestCase):
    def test_contract_suite_passes_under_wine(self):
        session = wh.Session("contract")
        try:
            out = session.wine(wh.BUILD / "contract_tests.exe", timeout=120)
        finally:
            session.close()
        print(out.stdout[-3000:])
        self.assertEqual(out.returncode, 0, out.stdout + out.stderr)
        self.assertIn("[  PASSED  ]", out.stdout)


if __name__ == "__main__":
    main()
