#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Tarvenloft window benchmark: the real program in a private Xvfb display.

Runs build/tarvenloft in a scratch copy of runtime/ (PATH without xmessage, so
that a failure prints instead of waiting in a message box), through the window
tests' harness (tests/window/harness.py), and reports, for the
language screen, the editor with an empty map, the editor with a 20 x 15 area of
layer 0 painted through the mouse, and the editor's menu:

- processor use, as a percentage of one core, over a window of 20 s (utime +
  stime of the whole process, all threads, from /proc/PID/stat);
- resident memory: the peak so far (VmHWM) and the current size (VmRSS);
- the frame rate, read from outside: in a second run with "DebugMode ON" the
  overlay's "FPS:" box is read from a screenshot, against every number drawn
  here from the shipped 8 x 8 font; also with a map file, while Ctrl+S saves
  four times a second, and at 2x while a held D key scrolls a map full of tiles,
  while the bucket fill fills a whole layer four times a second and with the
  overview of a full map shown;
- the time from launch to the first presented frame, measured by
  build/bench/first_frame_probe (polls the X server every millisecond for the
  mapped window and for the first non-black pixel in a small area that the
  first frame draws, on a black-rooted screen).

Each figure is the median of --repeats runs. Exits 1 when a budget is missed,
2 when the run itself failed.

With --compare OLD_PROGRAM it measures instead the idle editor ("Language EN",
empty map, pointer still) of an older and a newer program side by side on a
1920 x 1080 display, launches of the two taking turns: the new one at 1x and at
2x ("DisplayScale 2"), both with their window focused, with the focus on another
client's window (xclock) and unmapped (as minimising does). It prints the
medians, the ratios new / old against their targets, and exits 1 when one is
missed. bench/idle_window, when built, gives the library's own floor.

With --compare and --pairs it measures instead old and new each at 1x and at 2x,
focused, and takes each ratio new / old against --limit (default 1.10, which is
about the noise of this machine kind): the check that a change costs nothing.
--paint measures them while the left button is held and the pointer crosses a
row of cells back and forth, 50 moves a second; --map new (or both) starts the
new program (or both) with a map file, a new one in its scratch directory.
"""

import argparse
import os
import statistics
import struct
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.dirname(HERE)
RUNTIME = os.path.join(REPO, "runtime")

sys.path.insert(0, os.path.join(REPO, "tests", "window"))
import harness  # noqa: E402  (the window tests' Xvfb, programs and screenshots)

BUDGET_EDITOR_EMPTY_CPU = 5.0  # % of one core
BUDGET_EDITOR_PAINTED_CPU = 12.0
BUDGET_FPS = (59, 61)
BUDGET_LAUNCH_MS = 150.0
BUDGET_EDITOR_RSS_MIB = 32.0

BUDGET_SCREEN = "640x480x24"

# What a run that fails raises (the harness raises RuntimeError, a damaged screenshot ValueError,
# a tool that hangs subprocess.TimeoutExpired): the benchmark then ends with status 2.
RUN_FAILURES = (RuntimeError, ValueError, subprocess.SubprocessError, OSError)

EN_BUTTON = (16 + 48, 250 + 32)  # centre of the English button of the language screen
REST_POINTER = (400, 300)  # away from the overlay box and the menu's buttons
TILE_SELECTION = 3  # Right presses before painting: the brush becomes tile 3


def log(text):
    print(text, flush=True)


# ---------------------------------------------------------------- the 8x8 font


def load_bmp24(path):
    """A 24-bit uncompressed BMP as rows of (r, g, b), top row first."""
    with open(path, "rb") as f:
        data = f.read()
    offset = struct.unpack("<I", data[10:14])[0]
    width, height = struct.unpack("<ii", data[18:26])
    bits = struct.unpack("<H", data[28:30])[0]
    if bits != 24:
        raise RuntimeError("%s: expected a 24-bit BMP" % path)
    stride = (width * 3 + 3) & ~3
    rows = []
    for y in range(abs(height)):
        src = abs(height) - 1 - y if height > 0 else y
        line = data[offset + src * stride: offset + src * stride + width * 3]
        rows.append([(line[3 * x + 2], line[3 * x + 1], line[3 * x]) for x in range(width)])
    return rows


class Font:
    """The shipped bitmap font: glyph k at ((k%16+1)W, (k/16+1)(H+1)), marker row above,
    advance = offset of the first blue marker pixel (else W), (255,0,255) and
    (255,128,255) transparent."""

    MASKS = {(255, 0, 255), (255, 128, 255)}

    def __init__(self, path, w, h):
        self.rows = load_bmp24(path)
        self.w, self.h = w, h
        self.advance = []
        for k in range(256):
            x0 = (k % 16 + 1) * w
            marker_y = h + (k // 16) * (h + 1)
            width = w
            for j in range(w):
                if self.rows[marker_y][x0 + j] == (0, 0, 255):
                    width = j
                    break
            self.advance.append(width)

    def text_width(self, text):
        return sum(self.advance[ord(c)] for c in text)

    def opaque_pixels(self, text, centre_x, top_y):
        """{(x, y): colour} of the glyph pixels drawn by txtCenter(font, centre_x, top_y, text)."""
        x = centre_x - self.text_width(text) // 2
        pixels = {}
        for c in text:
            k = ord(c)
            sx, sy = (k % 16 + 1) * self.w, (k // 16 + 1) * (self.h + 1)
            for dy in range(self.h):
                for dx in range(self.w):
                    colour = self.rows[sy + dy][sx + dx]
                    if colour not in self.MASKS:
                        pixels[(x + dx, top_y + dy)] = colour
            x += self.advance[k]
        return pixels


def read_fps(xserver, font, scale=1):
    """The number in the overlay box: the candidate whose glyph pixels all match the screen,
    in a window at the top-left that shows the picture scale times enlarged."""
    screen = harness.root_screenshot(xserver)
    best = None
    for fps in range(100):
        pixels = font.opaque_pixels("FPS: %d" % fps, 28, 461)
        if all(screen.pixel(x * scale, y * scale) == colour
               for (x, y), colour in pixels.items()):
            if best is None or len(pixels) > best[1]:
                best = (fps, len(pixels))
    return best[0] if best else None


# ---------------------------------------------------------------- the program


def proc_stat_ticks(pid):
    with open("/proc/%d/stat" % pid) as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return int(fields[11]) + int(fields[12])  # utime, stime (fields 14 and 15)


def proc_memory_kib(pid):
    values = {}
    with open("/proc/%d/status" % pid) as f:
        for line in f:
            if line.startswith(("VmHWM:", "VmRSS:")):
                key, value = line.split(":")
                values[key] = int(value.split()[0])
    if "VmHWM" not in values:
        raise RuntimeError("the program ended while it was measured")
    return values["VmHWM"], values["VmRSS"]


def measure(pid, seconds):
    """Processor use in % of one core over `seconds`, then VmHWM and VmRSS in MiB."""
    hz = os.sysconf("SC_CLK_TCK")
    t0, c0 = time.monotonic(), proc_stat_ticks(pid)
    time.sleep(seconds)
    t1, c1 = time.monotonic(), proc_stat_ticks(pid)
    hwm, rss = proc_memory_kib(pid)
    return {"cpu": 100.0 * (c1 - c0) / hz / (t1 - t0), "hwm": hwm / 1024.0, "rss": rss / 1024.0}


# What the program keeps of this process's environment: the display, and PATH and HOME, which
# name directories of the scratch copy (PATH an empty one: no xmessage).
PROGRAM_ENV = ("DISPLAY", "PATH", "HOME")


def scratch_program(xserver, binary, extra="", **settings):
    """binary, not yet started, in a scratch copy of runtime/ with the settings (as
    harness.Program.write_settings takes them). Its stop() removes the copy."""
    program = harness.Program(xserver, runtime=RUNTIME, binary=os.path.abspath(binary))
    program.write_settings(extra=extra, **settings)
    return program


def start_program(program, args=()):
    """Starts the program in an environment of PROGRAM_ENV alone."""
    program.start(env_overrides={"HOME": program.tmp}, args=args,
                  unset=[name for name in os.environ if name not in PROGRAM_ENV])


def press(xserver, key_name):
    harness.xdotool(xserver, "keydown", key_name)
    time.sleep(0.1)
    harness.xdotool(xserver, "keyup", key_name)
    time.sleep(0.1)


def click(xserver, x, y):
    harness.xdotool(xserver, "mousemove", x, y)
    time.sleep(0.1)
    harness.xdotool(xserver, "mousedown", 1)
    time.sleep(0.1)
    harness.xdotool(xserver, "mouseup", 1)


def paint_view(xserver):
    """Selects a tile with Right presses, then drags over all 300 cells row by row. On a busy
    machine an input event can go astray; the drag (which paints the same tile again) is then
    repeated, at most twice."""
    for _ in range(TILE_SELECTION):
        press(xserver, "Right")
    for _ in range(3):
        drag_over_view(xserver)
        if painted_cells(xserver) == 300:
            return


def drag_over_view(xserver):
    harness.xdotool(xserver, "mousemove", 16, 16)
    time.sleep(0.1)
    harness.xdotool(xserver, "mousedown", 1)
    moves = []
    for row in range(15):
        for col in range(20):
            moves += ["mousemove", 20 + 32 * col, 20 + 32 * row, "sleep", "0.03"]
    harness.xdotool(xserver, *moves, timeout=120.0)  # 300 moves 0.03 s apart: about 10 s
    harness.xdotool(xserver, "mouseup", 1)
    harness.xdotool(xserver, "mousemove", *REST_POINTER)
    time.sleep(0.5)


def painted_cells(xserver):
    """Cells whose lower-left pixel is not black (the cursor and the pointer are elsewhere)."""
    screen = harness.root_screenshot(xserver)
    return sum(1 for row in range(15) for col in range(20)
               if screen.pixel(32 * col + 3, 32 * row + 28) != (0, 0, 0))


# ---------------------------------------------------------------- runs


def chain_run(args, xserver, seconds):
    """One run through all four screens, measuring each."""
    figures = {}
    program = scratch_program(xserver, args.binary, windowed=True, debug=False)
    try:
        start_program(program)
        harness.xdotool(xserver, "mousemove", *REST_POINTER)
        time.sleep(2.0)
        figures["language screen"] = measure(program.proc.pid, seconds)
        click(xserver, *EN_BUTTON)
        harness.xdotool(xserver, "mousemove", *REST_POINTER)
        time.sleep(2.0)
        if not program.running():
            raise RuntimeError("the program ended on the language screen")
        figures["editor, empty map"] = measure(program.proc.pid, seconds)
        paint_view(xserver)
        cells = painted_cells(xserver)
        if cells < 290:
            raise RuntimeError("painting reached only %d of 300 cells" % cells)
        figures["editor, view painted"] = measure(program.proc.pid, seconds)
        press(xserver, "Escape")
        time.sleep(1.0)
        figures["menu open"] = measure(program.proc.pid, seconds)
        if not program.running():
            raise RuntimeError("the program ended early")
    finally:
        program.stop()
    return figures


def fps_run(args, xserver, font):
    """With DebugMode ON: the overlay's number on the empty editor, the painted one, the menu."""
    readings = {}
    program = scratch_program(xserver, args.binary, windowed=True, debug=True, language="EN")
    try:
        start_program(program)
        harness.xdotool(xserver, "mousemove", *REST_POINTER)
        time.sleep(3.0)
        readings["editor, empty map"] = [read_fps(xserver, font) for _ in range(3)]
        paint_view(xserver)
        time.sleep(2.5)
        readings["editor, view painted"] = [read_fps(xserver, font) for _ in range(3)]
        press(xserver, "Escape")
        time.sleep(2.5)
        readings["menu open"] = [read_fps(xserver, font) for _ in range(3)]
    finally:
        program.stop()
    return readings


def full_map(path):
    """Writes a map file whose first layer holds a tile in every cell, as the editor writes
    one (terrain value v is tile id 2v + 2), so that scrolling changes the whole picture."""
    rows = []
    for y in range(120):
        rows.append(",".join(str(2 * (1 + (x * 7 + y * 3) % 25) + 2) for x in range(120)))
    empty = ",\n".join(",".join("0" for _ in range(120)) for _ in range(120))
    layers = [",\n".join(rows)] + [empty] * 3
    with open(path, "w") as f:
        f.write('<?xml version="1.0" encoding="UTF-8"?>\n<map version="1.8" '
                'orientation="orthogonal" renderorder="right-down" width="120" height="120" '
                'tilewidth="32" tileheight="32" infinite="0" nextlayerid="5" nextobjectid="1">\n'
                ' <tileset firstgid="1" name="001" tilewidth="32" tileheight="48" '
                'tilecount="52" columns="2">\n  <image source="system/images/tilesets/001.png" '
                'trans="ff00ff" width="64" height="1248"/>\n </tileset>\n')
        for i, data in enumerate(layers):
            f.write(' <layer id="%d" name="Layer %d" width="120" height="120">\n'
                    '  <data encoding="csv">\n%s\n</data>\n </layer>\n' % (i + 1, i + 1, data))
        f.write("</map>\n")


def map_fps_run(args, font):
    """The overlay's number with a map file: at 1x while Ctrl+S saves four times a second; at 2x
    while a held D key scrolls a map full of tiles, on a screen where 2x fits; at 2x while the
    bucket fill fills the whole of a new map's first layer four times a second, with another
    tile each time; and at 2x with the overview of the full map shown."""
    readings = {}
    xserver = harness.XServer(COMPARE_SCREEN, black_root=True).start()
    try:
        for label, scale, action in (("saving 4 times a second", 1, "ctrl+s"),
                                     ("2x, scrolling a full map", 2, "d"),
                                     ("2x, filling a layer 4 times a second", 2, "fill"),
                                     ("2x, the overview of a full map shown", 2, "m")):
            extra = "DisplayScale %d\n" % scale if scale != 1 else ""
            program = scratch_program(xserver, args.binary, extra=extra, windowed=True,
                                      debug=True, language="EN")
            try:
                mapfile = os.path.join(program.tmp, "run", "full.tmx")
                if action != "fill":
                    full_map(mapfile)
                start_program(program, (mapfile,))
                harness.xdotool(xserver, "mousemove", *REST_POINTER)
                time.sleep(3.0)
                if action in ("fill", "m"):
                    press(xserver, "f" if action == "fill" else "m")
                    time.sleep(0.5)
                readings["map file, " + label] = fps_while(xserver, font, scale, action)
            finally:
                program.stop()
    finally:
        xserver.stop()
    return readings


def fps_while(xserver, font, scale, action):
    """Four readings of the overlay while `action` goes on: a key held down (it repeats), a
    combination pressed four times a second, "fill": a click of the bucket fill and the next
    tile four times a second, or "m": nothing (the overview stands)."""
    held = action not in ("fill", "m") and "+" not in action
    if held:
        harness.xdotool(xserver, "keydown", action)
    values = []
    try:
        for i in range(12):
            if "+" in action:
                harness.xdotool(xserver, "key", action)
            if action == "fill":
                harness.xdotool(xserver, "mousedown", 1, "sleep", "0.05", "mouseup", 1,
                                "key", "Right")
            time.sleep(0.25)
            if i >= 8:
                values.append(read_fps(xserver, font, scale))
    finally:
        if held:
            harness.xdotool(xserver, "keyup", action)
    return values


def launch_times(args, xserver, settings, area, count):
    """first_frame_probe run `count` times in one scratch runtime: (window ms, frame ms)."""
    probe = os.path.join(args.build, "bench", "first_frame_probe")
    probe_args = ["5000"] + [str(v) for v in area] + [os.path.abspath(args.binary)]
    frames, windows = [], []
    program = scratch_program(xserver, probe, **settings)
    try:
        for _ in range(count):
            start_program(program, probe_args)
            status = program.wait_exit(timeout=60.0)
            if status != 0:
                raise RuntimeError("first_frame_probe failed (%s): %s"
                                   % (status, program.stderr.strip()))
            parts = dict(p.split("=") for p in program.stdout.split())
            windows.append(float(parts["window_ms"]))
            frames.append(float(parts["frame_ms"]))
            time.sleep(0.3)
    finally:
        program.stop()
    return windows, frames


# ---------------------------------------------------------------- old and new side by side

COMPARE_SCREEN = "1920x1080x24"
COMPARE_SETTINGS = {"windowed": True, "debug": False, "language": "EN"}
OTHER_CLIENT_GEOMETRY = "100x100+1810+10"  # xclock, at the screen's right edge
FOCUSED, AWAY, UNMAPPED = "focused", "focus away", "unmapped"
# (name, new case, old case, highest ratio new / old); a case is (program, scale, state).
COMPARE_TARGETS = (
    ("A", ("new", 2, FOCUSED), ("old", 1, FOCUSED), 1.0),
    ("B", ("new", 1, FOCUSED), ("old", 1, FOCUSED), 0.6),
    ("C", ("new", 1, AWAY), ("old", 1, AWAY), 0.5),
    ("D", ("new", 1, UNMAPPED), ("old", 1, UNMAPPED), 0.5),
)
# One launch each: (program, scale, states measured in turn).
COMPARE_SESSIONS = (
    ("old", 1, (FOCUSED, AWAY, UNMAPPED)),
    ("new", 1, (FOCUSED, AWAY, UNMAPPED)),
    ("new", 2, (FOCUSED,)),
    ("floor", 1, (FOCUSED,)),
)


# --pairs: old and new at each scale, focused; a target per scale.
PAIR_SESSIONS = (
    ("old", 1, (FOCUSED,)),
    ("new", 1, (FOCUSED,)),
    ("old", 2, (FOCUSED,)),
    ("new", 2, (FOCUSED,)),
)
PAINT_ROW = 7  # the row of cells --paint crosses
PAINT_MOVES_PER_SECOND = 50


def pair_targets(limit):
    return tuple(("%dx" % scale, ("new", scale, FOCUSED), ("old", scale, FOCUSED), limit)
                 for scale in (1, 2))


class Painter:
    """The left button held while the pointer crosses a row of cells back and forth, at the
    window's scale, for `seconds`: an xdotool of its own, stopped by stop()."""

    def __init__(self, xserver, scale, seconds):
        self.xserver = xserver
        y = (PAINT_ROW * 32 + 16) * scale
        row = [(x * 32 + 16) * scale for x in range(20)]
        path = row + row[::-1]
        steps = int(seconds * PAINT_MOVES_PER_SECOND) + PAINT_MOVES_PER_SECOND
        moves = ["mousedown", "1"]
        for i in range(steps):
            moves += ["mousemove", str(path[i % len(path)]), str(y),
                      "sleep", "%.3f" % (1.0 / PAINT_MOVES_PER_SECOND)]
        self.proc = harness._spawn(["xdotool"] + moves, env=xserver.env(),
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def stop(self):
        harness._stop_process(self.proc)
        harness.xdotool(self.xserver, "mouseup", 1, check=False)


def new_window(xserver, before, proc, timeout=10.0):
    """The first top-level window at least 640 x 480 that was not in `before`, as (id, w, h)."""
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        if proc.poll() is not None:
            raise RuntimeError("the program ended (status %d) before opening its window"
                               % proc.returncode)
        for wid, (w, h) in harness.top_windows(xserver).items():
            if wid not in before and w >= 640 and h >= 480:
                return wid, w, h
        time.sleep(0.1)
    raise RuntimeError("no window appeared within %.0f s" % timeout)


def enter_state(xserver, state, window, other):
    """Focused: the program's window has the focus. Focus away: the other client's window has
    it. Unmapped: the program's window had it and was then unmapped, as minimising does."""
    if state == AWAY:
        harness.xdotool(xserver, "windowfocus", other.window)
        time.sleep(1.0)
        if harness.focused_window(xserver) != other.window:
            raise RuntimeError("the other window did not take the focus")
        return
    harness.xdotool(xserver, "windowfocus", window)
    time.sleep(1.0)
    if harness.focused_window(xserver) != window:
        raise RuntimeError("the program's window did not take the focus")
    if state == UNMAPPED:
        harness.xdotool(xserver, "windowunmap", window)
        time.sleep(1.0)


def compare_session(args, xserver, other, session):
    """Launches one program, then measures each of its states in turn: {state: (cpu, w, h)}."""
    role, scale, states = session
    extra = "DisplayScale %d\n" % scale if scale != 1 else ""
    figures = {}
    program = scratch_program(xserver, args.programs[role], extra=extra, **COMPARE_SETTINGS)
    with_map = args.map == "both" or (args.map == "new" and role == "new")
    try:
        before = harness.top_windows(xserver)
        start_program(program, (os.path.join(program.tmp, "bench.tmx"),) if with_map else ())
        window, width, height = new_window(xserver, before, program.proc)
        harness.xdotool(xserver, "mousemove", *REST_POINTER)
        time.sleep(args.settle)
        for _ in range(TILE_SELECTION if args.paint else 0):
            press(xserver, "Right")
        for state in states:
            enter_state(xserver, state, window, other)
            painter = Painter(xserver, scale, args.seconds) if args.paint else None
            try:
                cpu = measure(program.proc.pid, args.seconds)["cpu"]
            finally:
                if painter is not None:
                    painter.stop()
            if not program.running():
                raise RuntimeError("%s program ended while %s" % (role, state))
            if state == UNMAPPED and harness.is_viewable(xserver, window):
                raise RuntimeError("%s program mapped its window again" % role)
            figures[state] = (cpu, width, height)
    finally:
        program.stop()
    return figures


def compare_runs(args, xserver, other):
    """args.repeats rounds of every session; the order is reversed every other round, so
    that old and new take turns at each place in the round. {case: [(cpu, w, h), ...]}."""
    sessions = [s for s in args.sessions if s[0] in args.programs]
    results = {}
    for i in range(args.repeats):
        order = sessions if i % 2 == 0 else sessions[::-1]
        for session in order:
            figures = compare_session(args, xserver, other, session)
            for state, value in figures.items():
                results.setdefault((session[0], session[1], state), []).append(value)
            log("round %d, %s %dx: %s" % (i + 1, session[0], session[1], "; ".join(
                "%s %.2f%%" % (state, value[0]) for state, value in figures.items())))
    return results


def case_label(case):
    role, scale, state = case
    if role == "floor":
        return "library floor, %s" % state
    return "%s %dx, %s" % (role, scale, state)


def compare_report(args, results):
    """Prints the figures and the targets; returns the list of targets missed."""
    median = {case: statistics.median(v[0] for v in values) for case, values in results.items()}
    log("\nProcessor use, %% of one core (median of %d runs of %.0f s):" % (args.repeats, args.seconds))
    log("  %-26s %8s %11s  %s" % ("case", "median", "window", "runs"))
    for case, values in results.items():
        w, h = values[0][1], values[0][2]
        log("  %-26s %8.2f %11s  %s" % (case_label(case), median[case], "%dx%d" % (w, h),
                                          " ".join("%.2f" % v[0] for v in values)))
    log("\nTargets (new / old, ratio of the medians):")
    missed = []
    for name, new, old, limit in args.targets:
        ratio = median[new] / median[old] if median[old] > 0 else float("inf")
        verdict = "ok" if ratio <= limit else "MISSED"
        note = scale_note(results, new)
        if note and not args.self_check:
            verdict = "MISSED"
        log("  %s  %-24s %6.2f / %-6.2f = %5.2f  (at most %.2f)  %s%s" % (
            name, case_label(new), median[new], median[old], ratio, limit, verdict,
            "; " + note if note else ""))
        if verdict != "ok":
            missed.append("%s %.2f" % (name, ratio))
    return missed


def scale_note(results, case):
    """Says so when the program's window is not 640s x 480s for the case's scale s."""
    w, h = results[case][0][1], results[case][0][2]
    want = (640 * case[1], 480 * case[1])
    if (w, h) == want:
        return ""
    return "window %dx%d, not %dx%d" % (w, h, want[0], want[1])


def compare_main(args):
    """Old and new program side by side on a 1920 x 1080 display; 1 when a target is missed."""
    args.programs = {"old": args.compare, "new": args.new}
    floor = os.path.join(args.build, "bench", "idle_window")
    if os.path.exists(floor):
        args.programs["floor"] = floor
    for role in ("old", "new"):
        if not os.path.exists(args.programs[role]):
            log("missing %s program %s" % (role, args.programs[role]))
            return 2
    args.self_check = os.path.samefile(args.compare, args.new)
    xserver = harness.XServer(COMPARE_SCREEN, black_root=True).start()
    other = None
    try:
        log("display %s (%s); old %s, new %s%s; %d rounds of %.0f s per case" % (
            xserver.display, COMPARE_SCREEN, args.compare, args.new,
            " (the same file: a check of the benchmark itself)" if args.self_check else "",
            args.repeats, args.seconds))
        if "floor" not in args.programs:
            log("(no %s: the library's floor is not measured)" % floor)
        other = harness.OtherClient(xserver, OTHER_CLIENT_GEOMETRY)
        missed = compare_report(args, compare_runs(args, xserver, other))
    except RUN_FAILURES as error:
        log("window benchmark failed: %s" % error)
        return 2
    finally:
        if other is not None:
            other.close()
        xserver.stop()
    return final_status(missed, "Targets", "targets")


def final_status(missed, what, lower):
    """Prints what was missed, or that all was met; the exit status to end with."""
    if missed:
        log("\n%s missed: %s" % (what, "; ".join(missed)))
        return 1
    log("\nAll %s met." % lower)
    return 0


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--build", default=os.path.join(REPO, "build"))
    parser.add_argument("--repeats", type=int, help="runs per figure (median; 3, compared 5)")
    parser.add_argument("--seconds", type=float, help="measuring window (20 s, compared 15 s)")
    parser.add_argument("--launches", type=int, default=9, help="launches timed per start")
    parser.add_argument("--compare", metavar="OLD_PROGRAM",
                        help="compare the new program with this one instead of the budgets")
    parser.add_argument("--new", metavar="NEW_PROGRAM",
                        help="the new program of --compare (default: BUILD/tarvenloft)")
    parser.add_argument("--settle", type=float, default=3.0,
                        help="seconds between a compared program's window and its first case")
    parser.add_argument("--pairs", action="store_true",
                        help="compare old and new at 1x and at 2x, each against --limit")
    parser.add_argument("--limit", type=float, default=1.10,
                        help="the highest ratio new / old of --pairs")
    parser.add_argument("--paint", action="store_true",
                        help="measure while the left button paints across a row of cells")
    parser.add_argument("--map", choices=("none", "new", "both"), default="none",
                        help="which compared programs keep a map file")
    args = parser.parse_args()
    args.sessions = PAIR_SESSIONS if args.pairs else COMPARE_SESSIONS
    args.targets = pair_targets(args.limit) if args.pairs else COMPARE_TARGETS
    args.binary = os.path.join(args.build, "tarvenloft")
    if args.compare:
        args.new = args.new or args.binary
        args.repeats = args.repeats or 5
        args.seconds = args.seconds or 15.0
        return compare_main(args)
    args.repeats = args.repeats or 3
    args.seconds = args.seconds or 20.0
    return budget_main(args)


def budget_main(args):
    """The figures of one build against the budgets; 1 when a budget is missed."""
    for needed in (args.binary, os.path.join(args.build, "bench", "first_frame_probe")):
        if not os.path.exists(needed):
            log("missing %s: build with cmake --build build --target bench" % needed)
            return 2

    font = Font(os.path.join(REPO, "runtime", "system", "images", "fonts", "standard.bmp"), 8, 8)
    xserver = harness.XServer(BUDGET_SCREEN, black_root=True).start()
    missed = []
    try:
        log("display %s; %d runs of %.0f s per screen" % (xserver.display, args.repeats, args.seconds))
        runs = []
        for i in range(args.repeats):
            runs.append(chain_run(args, xserver, args.seconds))
            log("run %d: " % (i + 1) + "; ".join(
                "%s %.2f%% %.1f/%.1f MiB" % (k, v["cpu"], v["hwm"], v["rss"])
                for k, v in runs[-1].items()))

        log("\nProcessor use and memory (median of %d runs):" % args.repeats)
        log("  %-22s %8s %12s %12s" % ("screen", "cpu %", "VmHWM MiB", "VmRSS MiB"))
        for screen in runs[0]:
            cpu = statistics.median(r[screen]["cpu"] for r in runs)
            hwm = statistics.median(r[screen]["hwm"] for r in runs)
            rss = statistics.median(r[screen]["rss"] for r in runs)
            verdict = ""
            budget = {"editor, empty map": BUDGET_EDITOR_EMPTY_CPU,
                      "editor, view painted": BUDGET_EDITOR_PAINTED_CPU}.get(screen)
            if budget is not None:
                ok = cpu <= budget
                verdict = "cpu %s (budget %.0f%%)" % ("ok" if ok else "MISSED", budget)
                if not ok:
                    missed.append("%s: cpu %.2f%%" % (screen, cpu))
            if screen.startswith("editor") or screen == "menu open":
                ok = max(hwm, rss) < BUDGET_EDITOR_RSS_MIB
                verdict += "%smemory %s (budget %.0f MiB)" % (
                    ", " if verdict else "", "ok" if ok else "MISSED", BUDGET_EDITOR_RSS_MIB)
                if not ok:
                    missed.append("%s: memory %.1f MiB" % (screen, max(hwm, rss)))
            log("  %-22s %8.2f %12.1f %12.1f  %s" % (screen, cpu, hwm, rss, verdict))

        log("\nFrame rate read from the overlay (DebugMode ON), three screenshots each:")
        readings = fps_run(args, xserver, font)
        readings.update(map_fps_run(args, font))
        for screen, values in readings.items():
            ok = all(v is not None and BUDGET_FPS[0] <= v <= BUDGET_FPS[1] for v in values)
            log("  %-22s %s  %s" % (screen, " ".join("?" if v is None else str(v) for v in values),
                                    "ok (59-61)" if ok else "MISSED (59-61)"))
            if not ok:
                missed.append("%s: fps %s" % (screen, values))

        log("\nLaunch to first presented frame (median of %d launches):" % args.launches)
        # Each start is watched in an area its first frame surely draws: the overlay box of the
        # editor (DebugMode ON, since an empty map is black), the heading of the language screen.
        for label, settings, area in (
                ("editor (language set)", {"windowed": True, "debug": True, "language": "EN"},
                 (8, 457, 39, 16)),
                ("language screen (first run)", {"windowed": True, "debug": False},
                 (120, 100, 400, 16))):
            windows, frames = launch_times(args, xserver, settings, area, args.launches)
            frame = statistics.median(frames)
            ok = frame < BUDGET_LAUNCH_MS
            log("  %-28s window mapped %6.1f ms, first frame %6.1f ms (min %.1f, max %.1f)  %s"
                % (label, statistics.median(windows), frame, min(frames), max(frames),
                   "ok (budget 150 ms)" if ok else "MISSED (budget 150 ms)"))
            if not ok:
                missed.append("%s: launch %.1f ms" % (label, frame))
    except RUN_FAILURES as error:
        log("window benchmark failed: %s" % error)
        return 2
    finally:
        xserver.stop()
    return final_status(missed, "Budgets", "budgets")


if __name__ == "__main__":
    sys.exit(main())
