"""What the notice of a switch costs when another program's window does not answer.

    python3 bench/hung_window.py [RUNS]

A switch tells every top-level window that the card changed (message 818, sent to all
windows) without waiting for any (an older build waited on each for up to a second). Runs `Varlindo.exe D=2` and `D=3` alternately
(as bench/commandline_switch.py does), first with no other program, then beside hungwin.exe
(tests/e2e/hungwin.cpp) in three states:

  just hung    its window has stopped taking messages a moment ago (a new hungwin for each
               run): the system does not call it hung before 5 s, so a notice that
               waited would wait on it
  long hung    the same window after more than 5 s: the system calls it hung and the
               notice passes it by
  busy         it takes its messages, but only every 4.9 s, so it is never called hung

and reports the mean wall time of each and what the other program added. Then, if RUNS
allows, the same from the window of a running instance: the time from a double-click in its
list until the Sound Mapper value names the card, and until a second double-click, made at
that moment, has switched too (the time the first switch held the window, plus the second's
own). The value is polled with `wine reg query`, which takes 0.1 s or more itself, so these
times are coarse. Needs the Windows build (tools/build windows). Not a test.
"""

import os
import statistics
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tools"))
import wineharness as wh  # noqa: E402


def timed(action):
    start = time.perf_counter()
    action()
    return time.perf_counter() - start


class Other:
    """hungwin.exe in this session: its window, and how many top-level windows it has."""

    def __init__(self, session, title, *args):
        self.session, self.title = session, title
        report = session.prefix / "drive_c" / "hungwin-bench.txt"
        report.unlink(missing_ok=True)
        env = dict(session.env, HUNGWIN_REPORT=f"C:\\{report.name}")
        self.proc = subprocess.Popen(["wine", str(wh.BUILD / "hungwin.exe"), *args, title], env=env,
                                     stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        session.procs.append(self.proc)
        # The report is written once the window is shown and has taken its last message.
        text = session.wait_for("hungwin", lambda: report.exists() and report.read_text().strip())
        self.windows = int(text)
        self.since = time.perf_counter()

    def stop(self):
        self.proc.kill()
        self.proc.wait(10)
        self.session.wait_for("hungwin to go", lambda: not subprocess.run(
            ["xdotool", "search", "--name", f"^{self.title}$"], env=self.session.env, capture_output=True,
            text=True).stdout.split())


def line(i):
    return "D=2" if i % 2 == 0 else "D=3"


def switches(session, runs, before_each=None, after_each=None):
    took = []
    for i in range(runs):
        if before_each:
            before_each()
        took.append(timed(lambda: session.start_line(line(i)).wait(60)))
        if after_each:
            after_each()
    return took


def report(name, took, alone=None):
    mean = statistics.mean(took)
    text = f"{name:<22}: mean {mean * 1000:7.1f} ms  (min {min(took) * 1000:.1f}, max {max(took) * 1000:.1f})"
    if alone is not None:
        text += f"  notice cost {(mean - statistics.mean(alone)) * 1000:+7.1f} ms"
    print(text)


def command_line(session, runs):
    alone = switches(session, runs)

    fresh = []  # a new hungwin for every run, so that its window has only just stopped answering

    def start_fresh():
        fresh.append(Other(session, "Hung window"))

    just_hung = switches(session, runs, start_fresh, lambda: fresh[-1].stop())
    windows = fresh[-1].windows

    other = Other(session, "Hung window")
    time.sleep(max(0.0, 6.0 - (time.perf_counter() - other.since)))
    long_hung = switches(session, runs)
    other.stop()

    other = Other(session, "Busy window", "--slow", "4900")
    busy = switches(session, runs)
    other.stop()

    print(f"runs: {runs}; the other program has {windows} top-level windows")
    report("Varlindo.exe D=n alone", alone)
    report("beside: just hung", just_hung, alone)
    report("beside: long hung", long_hung, alone)
    report("beside: busy", busy, alone)
    print(f"notice cost with a hung window: {(statistics.mean(just_hung) - statistics.mean(alone)) * 1000:.0f} ms "
          f"while it is hung less than 5 s, {(statistics.mean(long_hung) - statistics.mean(alone)) * 1000:.0f} ms after")


def from_window(session, runs):
    session.start()
    session.show_main_window()
    cards = [wh.DEVICE_NAMES[1], wh.DEVICE_NAMES[2]]

    def click(card):
        lst = session.visible_list(session.dump())
        session.click_list_item(lst, lst["items"].index(card), double=True)

    def until_written(card):
        started = time.perf_counter()
        click(card)
        session.wait_for(f"Playback = {card}", lambda: session.mapper("Playback") == card, 30, step=0.02)
        return time.perf_counter() - started

    def measure(before_each=None, after_each=None):
        written, held = [], []
        for i in range(runs):
            first, second = cards[i % 2], cards[(i + 1) % 2]
            if before_each:
                before_each()
            started = time.perf_counter()
            written.append(until_written(first))
            until_written(second)
            held.append(time.perf_counter() - started)
            if after_each:
                after_each()
        return written, held

    alone = measure()
    fresh = []
    just_hung = measure(lambda: fresh.append(Other(session, "Hung window")), lambda: fresh[-1].stop())
    print("from the window (double-click; the value is written before the notice goes out):")
    report("until written, alone", alone[0])
    report("until written, hung", just_hung[0], alone[0])
    report("two switches, alone", alone[1])
    report("two switches, hung", just_hung[1], alone[1])


def main(runs):
    session = wh.Session("bench-hung")
    try:
        session.start_line("D=1").wait(60)  # warm-up: services and caches are up
        command_line(session, runs)
        from_window(session, max(2, runs // 2))
    finally:
        session.close()


if __name__ == "__main__":
    main(int(sys.argv[1]) if len(sys.argv) > 1 else 10)
