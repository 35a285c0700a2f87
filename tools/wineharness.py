"""Runs Varlindo.exe under Wine on a virtual X display with three virtual sound cards.

Used by tools/run and by the end-to-end tests. Standard library only.

A ready Wine prefix (the template) is built once under build/wine/ and copied for each
session, so every session starts from the same clean machine: the cards enumerate as
"Out: default", "Out: Realtek HD Audio", "Out: USB Headset", in that order, and each has a
wave-in device beside it ("In: default", "In: Realtek HD Audio", "In: USB Headset").
"""

import fcntl
import json
import os
import re
import shutil
import signal
import struct
import subprocess
import tempfile
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
BUILD = ROOT / "build" / "windows"
BUILD_GERMAN = ROOT / "build" / "windows-de"
LAB = ROOT / "build" / "wine"
SCREENS = ROOT / "build" / "screens"
TEMPLATE = LAB / "template"
HOME = LAB / "home"

# The virtual cards, in the order Wine enumerates them after "default".
CARDS = ["Realtek HD Audio", "USB Headset"]
DEVICE_NAMES = ["Out: default"] + [f"Out: {c}" for c in CARDS]
TEMPLATE_VERSION = "4"

MAPPER_KEY = r"HKCU\Software\Microsoft\Multimedia\Sound Mapper"
SETTINGS_KEY = r"HKCU\Software\VB and VBA Program Settings\Varlindo"
WINDOW_TITLE = "Varlindo Vers. 2.0.1"
PROGRAM_IN_PREFIX = r"C:\Program Files\Varlindo\Varlindo.exe"
TRAY_CLASS = "VarlindoTray"  # the program's hidden window that owns its tray icon and menu
# Wine's audio driver settings: the devices it lists, and its default endpoints (DefaultOutput ...).
WINE_AUDIO_KEY = r"HKCU\Software\Wine\Drivers\winealsa.drv"
# The system's policy object that sets the default audio endpoint; Wine has none (see policyrec.cpp).
POLICY_CLASS = "{870AF99C-171D-4F9E-AF0D-E63DF40C2BC9}"


def remove_prefix(path):
    """Removes a prefix, also one that a killed test left with an immutable file in it (Wine
    ignores the read-only attribute for root, so tests use chattr +i)."""
    if os.path.exists(path):
        subprocess.run(["chattr", "-R", "-i", str(path)], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    shutil.rmtree(path, ignore_errors=True)


def base_env(prefix, display):
    env = {k: v for k, v in os.environ.items() if not k.startswith(("WINE", "http_", "https_"))}
    env.update(HOME=str(HOME), WINEPREFIX=str(prefix), WINEDEBUG="-all", WINEARCH="win64",
               WINEDLLOVERRIDES="mscoree,mshtml=", DISPLAY=display)
    env.pop("http_proxy", None)
    env.pop("https_proxy", None)
    return env


class Display:
    """An Xvfb display of our own (one per session, so windows never overlap). Xvfb picks a
    free display number itself, so sessions may start side by side."""

    def __init__(self):
        read_end, write_end = os.pipe()
        try:
            self.proc = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24",
                                          "-nolisten", "tcp"], pass_fds=(write_end,),
                                         stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            os.close(write_end)
            write_end = None
            number = b""
            deadline = time.time() + 20
            while not number.endswith(b"\n") and time.time() < deadline:
                chunk = os.read(read_end, 16)
                if not chunk:
                    break
                number += chunk
        finally:
            if write_end is not None:
                os.close(write_end)
            os.close(read_end)
        if not number.strip().isdigit():
            self.proc.kill()
            raise RuntimeError("Xvfb did not start")
        self.name = f":{number.strip().decode()}"

    def close(self):
        self.proc.terminate()
        try:
            self.proc.wait(5)
        except subprocess.TimeoutExpired:
            self.proc.kill()


def _write_home():
    HOME.mkdir(parents=True, exist_ok=True)
    lines = ["pcm.!default { type null }"] + [f'pcm."{c}" {{ type null }}' for c in CARDS]
    (HOME / ".asoundrc").write_text("\n".join(lines) + "\n")


def ensure_template(log=print):
    """Builds the ready prefix once; later calls reuse it."""
    LAB.mkdir(parents=True, exist_ok=True)
    with open(LAB / "template.lock", "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        stamp = TEMPLATE / ".varlindo-template"
        if stamp.exists() and stamp.read_text() == TEMPLATE_VERSION:
            return
        log("Preparing the Wine prefix with three virtual sound cards (once, about 30 s) ...")
        shutil.rmtree(TEMPLATE, ignore_errors=True)
        _write_home()
        display = Display()
        try:
            env = base_env(TEMPLATE, display.name)
            run = lambda *a: subprocess.run(list(a), env=env, stdout=subprocess.DEVNULL,
                                            stderr=subprocess.DEVNULL, timeout=300)
            run("wineboot", "-i")
            reg = lambda *a: run("wine", "reg", "add", *a, "/f")
            reg(r"HKCU\Software\Wine\Drivers", "/v", "Audio", "/d", "alsa")
            # The same null PCMs serve for playback and for recording.
            for kind in ("ALSAOutputDevices", "ALSAInputDevices"):
                reg(WINE_AUDIO_KEY, "/v", kind, "/t", "REG_MULTI_SZ", "/d", "\\0".join(CARDS))
            # Fixed endpoint ids give a fixed order: default first, then ascending id. Render
            # endpoints ("0,<name>") get {00000001-...} to {00000003-...}, capture ("1,<name>")
            # {00000011-...} to {00000013-...}.
            for i, card in enumerate(CARDS + ["default"], start=1):
                for flow in (0, 1):
                    reg(rf"{WINE_AUDIO_KEY}\devices\{flow},{card}", "/v", "guid", "/t", "REG_BINARY",
                        "/d", f"{flow}{i}" + "0" * 30)
            # No window manager: do not wait for windows to unmap.
            reg(r"HKCU\Software\Wine\X11 Driver", "/v", "Managed", "/d", "N")
            run("wine", str(BUILD / "vtool.exe"), "devices")
            run("wineserver", "-w")
            for folder in ("Desktop", "Documents", "Downloads"):
                for p in (TEMPLATE / "drive_c" / "users").glob(f"*/{folder}"):
                    if p.is_symlink():
                        p.unlink()
                        p.mkdir()
        finally:
            display.close()
        stamp.write_text(TEMPLATE_VERSION)


class Session:
    """A copy of the template prefix, its own display and a persistent wineserver."""

    def __init__(self, name, keep=False, fresh=True, dpi=None, program=None):
        ensure_template()
        self.name = name
        self.prefix = LAB / f"pfx-{name}"
        self.keep = keep
        if fresh or not self.prefix.exists():
            remove_prefix(self.prefix)
            subprocess.run(["cp", "-a", str(TEMPLATE), str(self.prefix)], check=True)
        self.display = Display() if not (keep and os.environ.get("DISPLAY")) else None
        self.env = base_env(self.prefix, self.display.name if self.display else os.environ["DISPLAY"])
        self.procs = []
        self.log_path.unlink(missing_ok=True)
        # The server and the services it starts must not hold our output pipes open.
        quiet = dict(env=self.env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        subprocess.run(["wineserver", "-p"], **quiet)
        subprocess.run(["wine", "wineboot"], timeout=120, **quiet)
        self.install_program(program or BUILD / "Varlindo.exe")
        if dpi:
            self.set_dpi(dpi)

    # ---------------------------------------------------------------- running things
    def wine(self, *args, timeout=60, check=False):
        return subprocess.run(["wine", *map(str, args)], env=self.env, capture_output=True, text=True,
                              stdin=subprocess.DEVNULL, timeout=timeout, check=check)

    def vtool(self, *args, timeout=30):
        return self.wine(BUILD / "vtool.exe", *args, timeout=timeout)

    def start_vtool(self, *args):
        """Starts vtool in the background (for instance the stand-in tray program); ended with the session."""
        proc = subprocess.Popen(["wine", str(BUILD / "vtool.exe"), *map(str, args)], env=self.env,
                                stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.procs.append(proc)
        return proc

    def install_program(self, program):
        target = self.prefix / "drive_c" / "Program Files" / "Varlindo"
        target.mkdir(parents=True, exist_ok=True)
        shutil.copy2(program, target / "Varlindo.exe")

    def start(self, *args, trace=None):
        """Starts Varlindo.exe with this command line, without waiting for it. `trace` names Wine
        debug channels ("winmm") whose output goes to the session log (see trace_log)."""
        env = dict(self.env, WINEDEBUG=f"-all,+{trace}") if trace else self.env
        with open(self.log_path, "ab") as log:
            proc = subprocess.Popen(["wine", PROGRAM_IN_PREFIX, *args], env=env, stdin=subprocess.DEVNULL,
                                    stdout=log, stderr=log)
        self.procs.append(proc)
        return proc

    def start_line(self, line, trace=None):
        """Starts Varlindo.exe with this exact command line (Wine joins its arguments with blanks)."""
        return self.start(*line.split(" "), trace=trace)

    @property
    def log_path(self):
        return LAB / f"{self.name}.log"

    def trace_log(self):
        return self.log_path.read_text(errors="replace") if self.log_path.exists() else ""

    def show_main_window(self):
        """The program lives in the notification area: a double-click brings its window back."""
        self.click_tray(double=True)
        return self.wait_window()

    def set_dpi(self, dpi):
        self.reg_add(r"HKCU\Control Panel\Desktop", "LogPixels", "REG_DWORD", str(dpi))
        self.reg_add(r"HKCC\Software\Fonts", "LogPixels", "REG_DWORD", str(dpi))

    # ---------------------------------------------------------------- registry
    def reg_add(self, key, name, kind, data):
        """Writes a value (name None: the key's default value)."""
        # On a loaded machine Wine's reg.exe now and then fails to start while the prefix's
        # services still come up (exit status 1, nothing written): it is tried again; a write
        # that never succeeds still fails the test, with Wine's output.
        which = ["/ve"] if name is None else ["/v", name]
        for attempt in range(3):
            out = self.wine("reg", "add", key, *which, "/t", kind, "/d", data, "/f")
            if out.returncode == 0:
                return
            time.sleep(1 + attempt)
        raise RuntimeError(f"wine reg add {key} {name} failed: {out.returncode} {out.stdout} {out.stderr}")

    def reg_delete(self, key, name):
        self.wine("reg", "delete", key, "/v", name, "/f")

    def reg_query(self, key, name):
        """(type, data) of a value, or None when it is missing. DWORDs come back as int."""
        out = self.wine("reg", "query", key, "/v", name)
        if out.returncode != 0:
            return None
        for line in out.stdout.replace("\r", "").splitlines():
            parts = line.strip().split("    ")
            if len(parts) >= 2 and parts[0].lower() == name.lower():
                kind = parts[1]
                data = parts[2] if len(parts) > 2 else ""
                if kind == "REG_DWORD":
                    return kind, int(data, 16)
                return kind, data
        return None

    def mapper(self, name):
        value = self.reg_query(MAPPER_KEY, name)
        return value[1] if value else None

    # ---------------------------------------------------------------- audio endpoints
    def endpoints(self):
        """What the multimedia device API says now, read by another process (vtool endpoints): "out" and
        "in" map each wave device's name to the endpoint id its driver gives (DRV_QUERYFUNCTIONINSTANCEID),
        "render" and "capture" list the endpoints (id, state, name, adapter), "default" maps (flow, role) to
        the id of the default endpoint. Wine lists the default endpoint as wave device 0, so the numbers
        of the wave devices change with the default: go by names."""
        out = self.vtool("endpoints")
        if out.returncode != 0:
            raise AssertionError(f"vtool endpoints failed ({out.returncode}): {out.stderr.strip()}")
        found = {"out": {}, "in": {}, "render": [], "capture": [], "default": {}}
        for line in out.stdout.splitlines():
            if not line.strip():
                continue
            row = json.loads(line)
            if "wave" in row:
                found[row["wave"]][row["name"]] = row["id"]
            elif "endpoint" in row:
                found[row["endpoint"]].append(row)
            else:
                found["default"][(row["default"], row["role"])] = row["id"]
        return found

    def install_policy_server(self, refuse=None):
        """Registers policyrec.dll in this prefix as the policy object that sets the default audio
        endpoint (Wine 8 finds in-process servers only under HKLM). Each call is then noted in
        C:\\policy-calls.txt (see policy_calls) and Wine's default endpoint follows it. With `refuse`
        (an HRESULT) every call fails with it instead."""
        shutil.copy2(BUILD / "policyrec.dll", self.prefix / "drive_c" / "windows" / "system32" / "policyrec.dll")
        key = rf"HKLM\Software\Classes\CLSID\{POLICY_CLASS}"
        self.reg_add(key + r"\InprocServer32", None, "REG_SZ", r"C:\windows\system32\policyrec.dll")
        self.reg_add(key + r"\InprocServer32", "ThreadingModel", "REG_SZ", "Both")
        if refuse is not None:
            self.reg_add(key, "Refuse", "REG_DWORD", f"0x{refuse & 0xFFFFFFFF:08X}")

    @property
    def policy_calls_path(self):
        return self.prefix / "drive_c" / "policy-calls.txt"

    def policy_calls(self):
        """The calls of SetDefaultEndpoint the policy server has seen so far, as (id, role) pairs."""
        if not self.policy_calls_path.exists():
            return []
        calls = []
        for line in self.policy_calls_path.read_text(encoding="utf-8").splitlines():
            endpoint, _, role = line.rpartition(" ")
            calls.append((endpoint, int(role)))
        return calls

    def clear_policy_calls(self):
        self.policy_calls_path.unlink(missing_ok=True)

    def wait_for(self, what, check, timeout=15, step=0.2):
        deadline = time.time() + timeout
        last = None
        while time.time() < deadline:
            last = check()
            if last:
                return last
            time.sleep(step)
        raise AssertionError(f"timed out waiting for {what}; last: {last!r}")

    # ---------------------------------------------------------------- windows
    def dump(self, title=WINDOW_TITLE):
        out = self.vtool("dump", title)
        if out.returncode != 0:
            return None
        rows = [json.loads(line) for line in out.stdout.splitlines() if line.strip()]
        return {"window": rows[0], "controls": rows[1:]}

    def wait_window(self, title=WINDOW_TITLE, timeout=20):
        def shown():
            d = self.dump(title)
            return d if d and d["window"]["visible"] else None
        return self.wait_for(f"window {title!r}", shown, timeout)

    def stays_above_others(self, title=WINDOW_TITLE):
        """Whether the window stays above another window that the user brings to the front (a
        window kept on top does). Under Wine another process cannot read WS_EX_TOPMOST, so this
        asks the z-order: a probe window comes to the front and the windows are listed top down."""
        out = self.vtool("zorder")
        titles = [json.loads(line) for line in out.stdout.splitlines() if line.strip()]
        if title not in titles or "vtool probe" not in titles:
            raise AssertionError(f"z-order without {title!r} or the probe: {titles}")
        return titles.index(title) < titles.index("vtool probe")

    def drop_files(self, files, at, title=WINDOW_TITLE):
        """Drops files (Windows paths) on the window with this title (or this window handle): `at` is a
        control from dump, dropped on in its middle, or an (x, y) point on the screen. The window under the
        point that takes files gets the shell's drop message, built inside the program by vtool's hook; the
        mouse drag itself is not exercised (it cannot be scripted under Wine here). Returns when the message
        is posted, before the program has handled it."""
        x, y = (at["x"] + at["w"] // 2, at["y"] + at["h"] // 2) if isinstance(at, dict) else at
        out = self.vtool("drop", title, x, y, *files)
        if out.returncode != 0:
            raise AssertionError(f"vtool drop at ({x}, {y}) failed ({out.returncode}): "
                                 f"{(out.stdout + out.stderr).strip()}")

    def box_text(self, title):
        out = self.vtool("box", title)
        return out.stdout.replace("\r", "") if out.returncode == 0 else None

    @staticmethod
    def control(dump, cls=None, text=None, index=0):
        found = [c for c in dump["controls"]
                 if (cls is None or c["class"].lower() == cls.lower()) and (text is None or c["text"] == text)]
        return found[index] if len(found) > index else None

    @staticmethod
    def visible_list(dump):
        """The list the user sees: the topmost visible list box."""
        lists = [c for c in dump["controls"] if c["class"].lower() == "listbox" and c["visible"]]
        return lists[0]

    def xdotool(self, *args):
        subprocess.run(["xdotool", *map(str, args)], env=self.env, check=True, timeout=20)

    def move_mouse(self, x, y):
        # "mousemove --sync" waits for the pointer to move, which takes its whole 15 s timeout when it is
        # already there (a second click on the tray icon).
        where = subprocess.run(["xdotool", "getmouselocation", "--shell"], env=self.env, capture_output=True,
                               text=True).stdout
        if f"X={x}\nY={y}\n" not in where:
            self.xdotool("mousemove", "--sync", x, y)

    def click(self, x, y, double=False):
        self.move_mouse(x, y)
        if double:
            self.xdotool("click", "--repeat", 2, "--delay", 80, 1)
        else:
            self.xdotool("click", 1)

    def click_control(self, control, double=False):
        self.click(control["x"] + control["w"] // 2, control["y"] + control["h"] // 2, double)

    def click_list_item(self, lst, index, double=False):
        y = lst["y"] + 2 + (index - lst["top_index"]) * lst["item_height"] + lst["item_height"] // 2
        self.click(lst["x"] + lst["w"] // 3, y, double)

    # ---------------------------------------------------------------- scroll bars
    # A scroll bar control in a dump has "pos", "min" and "max" in the control's own units: 0 at
    # the top, whatever the program's slider calls that end; and "arrow" and "thumb", how tall its
    # arrow buttons and its thumb are drawn.

    def set_scroll(self, title, control, pos):
        """Moves the thumb of this scroll bar (a control of the window with this title, from dump)
        to `pos` as the end of a user's drag does: the window hears the thumb track there, its
        release there and the end of the scroll."""
        out = self.vtool("scroll", title, control["id"], pos)
        if out.returncode != 0:
            raise AssertionError(f"vtool scroll {title!r} {control['id']} {pos} failed ({out.returncode})")

    def drag_scroll(self, control, pos):
        """Drags the thumb of this scroll bar (from dump) with the mouse from where it is to `pos`:
        press on the thumb, move, release. The drag reaches every position when the track has a
        pixel for each step."""
        span = control["max"] - control["min"]
        movable = control["h"] - 2 * control["arrow"] - control["thumb"]
        if span <= 0 or movable <= 0 or control.get("page"):
            raise AssertionError(f"no thumb to drag in {control}")
        offset = lambda p: int(movable * (p - control["min"]) / span + 0.5)  # where the system puts the thumb
        x = control["x"] + control["w"] // 2
        start = control["y"] + control["arrow"] + offset(control["pos"]) + control["thumb"] // 2
        end = start + offset(pos) - offset(control["pos"])
        self.move_mouse(x, start)
        self.xdotool("mousedown", 1)
        self.xdotool("mousemove", x, (start + end) // 2)
        self.xdotool("mousemove", x, end)
        self.xdotool("mouseup", 1)

    # ---------------------------------------------------------------- notification area
    def tray_window(self):
        """Geometry (x, y, w, h) of Wine's notification area while it shows icons, else None."""
        out = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "Wine System Tray"], env=self.env,
                             capture_output=True, text=True)
        for wid in out.stdout.split():
            geo = subprocess.run(["xdotool", "getwindowgeometry", "--shell", wid], env=self.env,
                                 capture_output=True, text=True).stdout
            g = dict(line.split("=", 1) for line in geo.splitlines() if "=" in line)
            return int(g["X"]), int(g["Y"]), int(g["WIDTH"]), int(g["HEIGHT"])
        return None

    def tray_icon_point(self):
        x, y, w, h = self.wait_for("the tray icon", self.tray_window)
        return x + 12, y + h - 14

    def tray_tooltip(self, timeout=10):
        """The tooltip the notification area shows while the mouse rests on the icon."""
        x, y = self.tray_icon_point()
        self.move_mouse(x + 40, y)  # away, so that resting on the icon shows the tooltip anew
        self.move_mouse(x, y)

        def shown():
            out = self.vtool("tooltips")
            texts = [json.loads(line) for line in out.stdout.splitlines() if line.strip()]
            return [t for t in texts if t]
        return self.wait_for("the tray tooltip", shown, timeout, step=0.3)[0]

    def click_tray(self, double=False, button=1):
        x, y = self.tray_icon_point()
        self.move_mouse(x, y)
        if double:
            self.xdotool("click", "--repeat", 2, "--delay", 80, button)
        else:
            self.xdotool("click", button)

    # ---------------------------------------------------------------- the popup menu
    # Wine keeps menus per process, so the open menu is read from inside the program: vtool sets the
    # hook in menuhook.dll on the thread that shows the menu and asks it for the items. `owner` is the
    # class of a top-level window of the process whose menu is meant ("*": any process).

    def open_menu_items(self, owner=TRAY_CLASS, wait=5):
        """The items of the open popup menu, in menu order, or None when no menu is open within `wait`
        seconds. Each item is a dict: pos, id, text (UTF-8, "&" and tabs as they are; "" for a separator),
        separator, checked, grayed (grayed or disabled; never set for a separator), highlighted, submenu,
        and x, y, w, h (the item's rectangle on the screen)."""
        out = self.vtool("menu", "--owner", owner, "--wait", int(wait * 1000))
        if out.returncode == 1:
            return None
        if out.returncode != 0:
            raise AssertionError(f"vtool menu failed ({out.returncode}): {out.stderr.strip()}")
        return [json.loads(line) for line in out.stdout.splitlines() if line.strip()]

    def open_tray_menu(self, attempts=3, wait=6):
        """Clicks the tray icon and returns the items of the menu it opens. The menu waits out the
        double-click time and a loaded machine may take seconds; a click is repeated only after
        that, so that two clicks never make a double click. (After a switch the program takes its
        icon away and adds it again, so a click may fall between the two.)"""
        for _ in range(attempts):
            self.click_tray()
            items = self.open_menu_items(wait=wait)
            if items:
                return items
        raise AssertionError("the tray menu did not open")

    def menu_is_open(self, owner=TRAY_CLASS):
        return self.vtool("menukey", "--owner", owner).returncode == 0  # no keys: only looks for the menu

    def wait_menu_closed(self, owner=TRAY_CLASS, timeout=5):
        self.wait_for("the menu to close", lambda: not self.menu_is_open(owner), timeout, step=0.1)

    def close_menu(self, owner=TRAY_CLASS):
        """Escape, as the user presses it (X key events do not reach a Wine popup menu, so it is posted)."""
        out = self.vtool("menukey", "--owner", owner, "escape")
        if out.returncode != 0:
            raise AssertionError(f"no menu to close: {out.stderr.strip()}")
        self.wait_menu_closed(owner)

    def pick_menu(self, text, owner=TRAY_CLASS, mouse=False):
        """Chooses the item with exactly this text in the open menu and waits until the menu has closed.
        By keys (default): Home, Down to the item, Return, posted to the menu window. With mouse=True:
        a click in the middle of the item's rectangle. Returns the item that was chosen."""
        items = self.open_menu_items(owner, wait=0)
        if items is None:
            raise AssertionError("no menu is open")
        found = [i for i in items if not i["separator"] and i["text"] == text]
        if not found:
            raise AssertionError(f"no item {text!r} in the menu: {[i['text'] for i in items]}")
        item = found[0]
        if mouse:
            self.click(item["x"] + item["w"] // 2, item["y"] + item["h"] // 2)
        else:
            # Home selects the first item; Down steps over separators, not over grayed items.
            steps = sum(1 for i in items if i["pos"] < item["pos"] and not i["separator"])
            self.vtool("menukey", "--owner", owner, "home", *["down"] * steps, "return")
        self.wait_menu_closed(owner)
        return item

    def menu_shot(self, name, items):
        """A screenshot of the open menu whose items these are (with the menu's 3-pixel frame)."""
        first, last = items[0], items[-1]
        return self.screenshot(name, (first["x"] - 3, first["y"] - 3, first["w"] + 6,
                                      last["y"] + last["h"] - first["y"] + 6))

    def keys(self, title, *keys):
        """Types keys into the window with this title, then makes sure no key stays pressed."""
        wid = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", f"^{title}$"], env=self.env,
                             capture_output=True, text=True).stdout.split()[0]
        self.xdotool("key", "--window", wid, *keys)
        self.xdotool("keyup", "alt", "ctrl", "shift")

    def screenshot(self, name, rect=None):
        SCREENS.mkdir(parents=True, exist_ok=True)
        path = SCREENS / f"{name}.png"
        subprocess.run(["import", "-window", "root", str(path)], env=self.env, check=True, timeout=30)
        if rect:
            x, y, w, h = rect
            subprocess.run(["convert", str(path), "-crop", f"{w}x{h}+{max(0, x)}+{max(0, y)}", "+repage", str(path)],
                           check=True, timeout=30)
        return path

    @staticmethod
    def colours(path):
        out = subprocess.run(["convert", str(path), "-format", "%k", "info:"], capture_output=True, text=True)
        return int(out.stdout.strip() or 0)

    def window_shot(self, name, dump):
        w = dump["window"]
        return self.screenshot(name, (w["x"], w["y"], w["w"], w["h"]))

    # ---------------------------------------------------------------- ending
    def close_program(self, title=WINDOW_TITLE, timeout=15):
        self.vtool("close", title)
        for proc in self.procs:
            try:
                proc.wait(timeout)
            except subprocess.TimeoutExpired:
                pass

    def close(self):
        for proc in self.procs:
            if proc.poll() is None:
                proc.send_signal(signal.SIGTERM)
        quiet = dict(env=self.env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        subprocess.run(["wineserver", "-k"], **quiet)
        subprocess.run(["wineserver", "-w"], **quiet)
        for proc in self.procs:
            try:
                proc.wait(5)
            except subprocess.TimeoutExpired:
                proc.kill()
        if self.display:
            self.display.close()
        if not self.keep:
            remove_prefix(self.prefix)

    # ---------------------------------------------------------------- shortcuts and keys that close
    def press(self, title, *keys):
        """Presses keys in the window with this title where a key may close it (Escape, Return): keys()
        would leave such a key held in the X server, because its key-up goes to a window that is gone.
        Here the keys are let go again afterwards."""
        wid = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", f"^{re.escape(title)}$"],
                             env=self.env, capture_output=True, text=True).stdout.split()[0]
        self.xdotool("key", "--window", wid, *keys)
        self.xdotool("keyup", *keys)
        self.xdotool("keyup", "alt", "ctrl", "shift")

    def user_folder(self, name):
        """A folder of the Wine user (Desktop, AppData ...) in the prefix, as a Linux path."""
        users = self.prefix / "drive_c" / "users"
        for p in sorted(users.glob(f"*/{name}")):
            if p.relative_to(users).parts[0] != "Public":
                return p
        raise AssertionError(f"no user folder {name!r} in the prefix")

    def unix_path(self, windows_path):
        return subprocess.run(["winepath", "-u", windows_path], env=self.env, capture_output=True, text=True,
                              stdin=subprocess.DEVNULL, timeout=30, check=True).stdout.strip()

    def short_path(self, windows_path):
        return subprocess.run(["winepath", "-s", windows_path], env=self.env, capture_output=True, text=True,
                              stdin=subprocess.DEVNULL, timeout=30, check=True).stdout.strip()

    @staticmethod
    def shortcut(path):
        """What a .lnk file holds, as lnkinfo reads it: "Local path", "Command line arguments", "Icon
        location", "Icon index", "Working directory" ... (only the fields the file has), and "Show
        command" read from the file itself (lnkinfo always prints 0 for it)."""
        out = subprocess.run(["lnkinfo", str(path)], capture_output=True, text=True, timeout=30)
        if out.returncode != 0:
            raise AssertionError(f"lnkinfo cannot read {path}: {out.stderr.strip()}")
        fields = {}
        for line in out.stdout.splitlines():
            if ":" in line and line.startswith("\t") and not line.startswith("\t\t"):
                key, value = line.split(":", 1)
                fields.setdefault(key.strip(), value[1:] if value.startswith(" ") else value)  # as written
        fields["Show command"] = struct.unpack_from("<I", Path(path).read_bytes(), 0x3C)[0]
        return fields

    def start_shortcut(self, path, trace=None):
        """Starts a .lnk file (a Linux path) as a double-click on it does, through the shell. `trace`
        names Wine debug channels; their output, and that of what the shortcut starts, goes to the
        session log."""
        env = dict(self.env, WINEDEBUG=f"-all,+{trace}") if trace else self.env
        with open(self.log_path, "ab") as log:
            subprocess.run(["wine", "start", "/unix", str(path)], env=env, stdin=subprocess.DEVNULL, stdout=log,
                           stderr=log, timeout=60, check=True)

    # ---------------------------------------------------------------- the program's folder, other start folders
    @property
    def program_folder(self):
        """The folder the program is installed in (C:\\Program Files\\Varlindo), as a Linux path."""
        return self.prefix / "drive_c" / "Program Files" / "Varlindo"

    def install_beside_program(self, source, name):
        """Copies a file into the program's folder under this name; returns its Linux path."""
        target = self.program_folder / name
        shutil.copy2(source, target)
        return target

    def start_in(self, folder, *args):
        """Starts Varlindo.exe by its full path, as start() does, but with `folder` (a Linux path in
        the prefix, for instance the user's folder) as its current folder."""
        with open(self.log_path, "ab") as log:
            proc = subprocess.Popen(["wine", PROGRAM_IN_PREFIX, *args], env=self.env, cwd=str(folder),
                                    stdin=subprocess.DEVNULL, stdout=log, stderr=log)
        self.procs.append(proc)
        return proc

    def program_running(self):
        """Whether a program with the main window's title runs (its window may be hidden)."""
        return self.dump() is not None

    def answer_box(self, title, button, timeout=15):
        """Clicks a button of the message box with this title ("&Yes", "&No", "OK") and waits until the box
        has closed. Returns the box as dump saw it."""
        box = self.wait_window(title)
        found = self.control(box, "Button", button)
        if found is None:
            raise AssertionError(f"no button {button!r} in {title!r}: "
                                 f"{[c['text'] for c in box['controls'] if c['class'] == 'Button']}")
        self.click_control(found)
        self.wait_for(f"{title!r} to close",
                      lambda: not (self.dump(title) or {}).get("window", {}).get("visible"), timeout)
        return box
