"""The body of tools/run: one run of Varlindo.exe in a prefix kept between runs."""

import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import wineharness as wh  # noqa: E402


def main(args):
    headless = not os.environ.get("DISPLAY")
    session = wh.Session("run", keep=True, fresh=False)
    try:
        proc = session.start(*args)
        if headless:
            try:
                dump = session.wait_window(timeout=20)
                time.sleep(0.5)
                path = session.window_shot("run-main-window", dump)
                print(f"Screenshot of the main window: {path}")
                session.close_program()
            except AssertionError:
                path = session.screenshot("run-screen")
                print(f"The main window did not show (the command line may have ended the program); "
                      f"screenshot of the screen: {path}")
        else:
            proc.wait()
        proc.wait(20)
        print("Sound Mapper values:")
        for name in ("Playback", "Record", "PreferredOnly", "SetupPreferredAudioDevicesCount"):
            value = session.reg_query(wh.MAPPER_KEY, name)
            print(f"  {name:32} {value[1] if value else '(missing)'}")
    finally:
        session.close()


if __name__ == "__main__":
    main(sys.argv[1:])
