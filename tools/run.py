"""The body of tools/run: one run of Varlindo.exe in a prefix kept between runs."""

import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import wineharness as wh  # noqa: E402


def run_headless(session, proc):
    # The program either ends by itself (a command line it carried out) or settles in the
    # notification area.
    deadline = time.time() + 30
    while time.time() < deadline and proc.poll() is None and not session.tray_window():
        time.sleep(0.2)
    if proc.poll() is not None:
        print("Varlindo ended by itself (the command line was carried out).")
        return
    print(f"Screenshot of the notification area: {session.screenshot('run-tray', (0, 0, 200, 60))}")
    dump = session.show_main_window()
    time.sleep(0.3)
    print(f"Screenshot of the main window: {session.window_shot('run-main-window', dump)}")
    # Back to the tray, then close: a hidden window closes without asking.
    session.click_control(session.control(dump, text="&Hide >>"))
    session.wait_for("the window to hide", lambda: not session.dump()["window"]["visible"])
    session.close_program()


def main(args):
    headless = not os.environ.get("DISPLAY")
    session = wh.Session("run", keep=True, fresh=False)
    try:
        proc = session.start(*args)
        if headless:
            run_headless(session, proc)
        proc.wait(None if not headless else 30)
        print("Sound Mapper values:")
        for name in ("Playback", "Record", "PreferredOnly", "SetupPreferredAudioDevicesCount"):
            value = session.reg_query(wh.MAPPER_KEY, name)
            print(f"  {name:32} {value[1] if value else '(missing)'}")
    finally:
        session.close()


if __name__ == "__main__":
    main(sys.argv[1:])
