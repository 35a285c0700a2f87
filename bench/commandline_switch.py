"""How long a command-line switch takes, and how much memory the resident program holds,
each against the least a program of its kind needs.

    python3 bench/commandline_switch.py [RUNS] [--program PATH]

Switch: runs `Varlindo.exe D=2` and `D=3` alternately (each a real switch: it starts, reads
the card list, writes "Record" and "Playback", tells other instances and ends) and, in turn
with each, in the same Wine session:
  - `wine reg add` of the same "Playback" value;
  - bench/minswitch.cpp, the least any switcher must do: it enumerates the wave-out devices
    and writes the value, as a windowed program (what a shortcut starts without a console
    window flashing up) and as a console program.
It reports the mean and the median wall time of each and the ratios of both (the median
is the steadier on a busy machine). The goal: within 1.15 times the windowed minimal switcher.

Working set: starts the program without a command line (it goes to the tray and stays) and
bench/minwindow.cpp (one hidden window and a message loop), lets each settle, and reads the
resident set of each Wine process (VmRSS, what Windows calls the working set; Wine's own
DLLs count in both) and its private part. The goal: within 1.5 times the minimal program.

`--program` measures another build of Varlindo.exe (an older one, for a before-and-after).
Needs the Windows build (tools/build windows). Not a test.
"""

import argparse
import os
import statistics
import subprocess
import sys
import time
from pathlib import Path

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tools"))
import wineharness as wh  # noqa: E402


def timed(action):
    start = time.perf_counter()
    action()
    return time.perf_counter() - start


def wine_processes(exe_name):
    """Linux pids of the Wine processes running this exe."""
    pids = []
    for entry in Path("/proc").iterdir():
        if not entry.name.isdigit():
            continue
        try:
            cmdline = (entry / "cmdline").read_bytes().decode(errors="replace")
        except OSError:
            continue
        # Wine names the process after its Windows program: argv[0] is the exe's path.
        if cmdline.split("\0", 1)[0].lower().endswith(exe_name.lower()):
            pids.append(int(entry.name))
    return pids


def memory_kib(pid):
    """(resident, private) set of a process in KiB."""
    status = Path(f"/proc/{pid}/status").read_text()
    rss = int(next(line.split()[1] for line in status.splitlines() if line.startswith("VmRSS:")))
    private = 0
    for line in Path(f"/proc/{pid}/smaps_rollup").read_text().splitlines():
        if line.startswith(("Private_Clean:", "Private_Dirty:")):
            private += int(line.split()[1])
    return rss, private


def settled_memory(exe_name, settle=6.0):
    """The memory of the one running process of `exe_name` once it has settled: the largest
    of three readings a second apart."""
    deadline = time.time() + 30
    pids = []
    while not pids and time.time() < deadline:
        time.sleep(0.5)
        pids = wine_processes(exe_name)
    if len(pids) != 1:
        raise RuntimeError(f"expected one process of {exe_name}, found {pids}")
    time.sleep(settle)
    readings = []
    for _ in range(3):
        readings.append(memory_kib(pids[0]))
        time.sleep(1)
    return max(r[0] for r in readings), max(r[1] for r in readings)


def line(label, values):
    mean, median = statistics.mean(values), statistics.median(values)
    print(f"{label:34s}: mean {mean * 1000:7.1f} ms, median {median * 1000:7.1f} ms"
          f"  (min {min(values) * 1000:.1f}, max {max(values) * 1000:.1f})")
    return mean, median


def ratio(label, a, b, goal=""):
    print(f"{label:34s}: {a[0] / b[0]:.2f} (medians {a[1] / b[1]:.2f}){goal}")


def bench_switch(session, runs):
    minimal = str(wh.BUILD / "minswitch.exe")
    console = str(wh.BUILD / "minswitch_console.exe")
    session.start_line("D=1").wait(60)  # warm-up: services and caches are up
    session.wine(minimal, "1")
    switch, reg_add, floor, floor_console = [], [], [], []
    for i in range(runs):
        number = "2" if i % 2 == 0 else "3"
        name = wh.DEVICE_NAMES[int(number) - 1]
        measures = [
            (switch, lambda: session.start_line("D=" + number).wait(60)),
            (reg_add, lambda: session.reg_add(wh.MAPPER_KEY, "Playback", "REG_SZ", name)),
            (floor, lambda: session.wine(minimal, number)),
            (floor_console, lambda: session.wine(console, number)),
        ]
        # Each takes each place in the round in turn: what runs right after another program
        # (or after a registry write) may pay for it.
        for times, action in measures[i % 4:] + measures[:i % 4]:
            times.append(timed(action))
        if session.mapper("Playback") != name:
            raise RuntimeError(f"run {i}: Playback is not {name!r}")
    print(f"command-line switch, {runs} runs each, taken in turn")
    s = line("Varlindo.exe D=n", switch)
    r = line("wine reg add", reg_add)
    f = line("minimal switcher (windowed)", floor)
    c = line("minimal switcher (console)", floor_console)
    ratio("ratio to wine reg add", s, r)
    ratio("ratio to the minimal switcher", s, f, "   (goal: 1.15 or less)")
    ratio("  (to its console build)", s, c)


def bench_memory(session):
    session.start()  # no command line: the program goes to the tray and stays
    program = settled_memory("Varlindo.exe")
    session.procs.append(subprocess.Popen(["wine", str(wh.BUILD / "minwindow.exe")], env=session.env,
                                          stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                          stderr=subprocess.DEVNULL))
    minimal = settled_memory("minwindow.exe")
    print("working set of the resident program")
    print(f"{'Varlindo.exe in the tray':34s}: {program[0] / 1024:6.1f} MiB  (private {program[1] / 1024:.1f} MiB)")
    print(f"{'minimal window program':34s}: {minimal[0] / 1024:6.1f} MiB  (private {minimal[1] / 1024:.1f} MiB)")
    print(f"{'ratio':34s}: {program[0] / minimal[0]:.2f}   (goal: 1.5 or less; private {program[1] / minimal[1]:.2f})")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("runs", nargs="?", type=int, default=20)
    parser.add_argument("--program", type=Path, default=None)
    args = parser.parse_args()
    session = wh.Session("bench", program=args.program)
    try:
        bench_switch(session, args.runs)
        bench_memory(session)
    finally:
        session.close()


if __name__ == "__main__":
    main()
