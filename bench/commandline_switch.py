"""How long a command-line switch takes, measured against the bare registry write it makes.

    python3 bench/commandline_switch.py [RUNS]

Runs `Varlindo.exe D=2` and `D=3` alternately (each a real switch: it starts, builds the
card list, writes "Record" and "Playback", tells other instances and ends) and, in the same
Wine session, `wine reg add` of the same "Playback" value, and reports the mean wall time of
each and their ratio. Needs the Windows build (tools/build windows). Not a test.
"""

import os
import statistics
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tools"))
import wineharness as wh  # noqa: E402


def timed(action):
    start = time.perf_counter()
    action()
    return time.perf_counter() - start


def main(runs):
    session = wh.Session("bench")
    try:
        session.start_line("D=1").wait(60)  # warm-up: services and caches are up
        switch, reg_add = [], []
        for i in range(runs):
            line = "D=2" if i % 2 == 0 else "D=3"
            switch.append(timed(lambda: session.start_line(line).wait(60)))
            name = wh.DEVICE_NAMES[1 if i % 2 == 0 else 2]
            reg_add.append(timed(lambda: session.reg_add(wh.MAPPER_KEY, "Playback", "REG_SZ", name)))
        s, r = statistics.mean(switch), statistics.mean(reg_add)
        print(f"runs: {runs}")
        print(f"Varlindo.exe D=n : mean {s * 1000:7.1f} ms  (min {min(switch) * 1000:.1f}, max {max(switch) * 1000:.1f})")
        print(f"wine reg add     : mean {r * 1000:7.1f} ms  (min {min(reg_add) * 1000:.1f}, max {max(reg_add) * 1000:.1f})")
        print(f"ratio            : {s / r:.2f}")
    finally:
        session.close()


if __name__ == "__main__":
    main(int(sys.argv[1]) if len(sys.argv) > 1 else 20)
