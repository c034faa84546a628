#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Tarvenloft window benchmark: the real program in a private Xvfb display.

Runs build/tarvenloft in a scratch copy of runtime/ (PATH without xmessage, so
that a failure prints instead of waiting in a message box) and reports, for the
language screen, the editor with an empty map, the editor with a 20 x 15 area of
layer 0 painted through the mouse, and the editor's menu:

- processor use, as a percentage of one core, over a window of 20 s (utime +
  stime of the whole process, all threads, from /proc/PID/stat);
- resident memory: the peak so far (VmHWM) and the current size (VmRSS);
- the frame rate, read from outside: in a second run with "DebugMode ON" the
  overlay's "FPS:" box is read from a screenshot and compared with "FPS: 59",
  "FPS: 60" and "FPS: 61" drawn here from the shipped 8 x 8 font;
- the time from launch to the first presented frame, measured by
  build/bench/first_frame_probe (polls the X server every millisecond for the
  mapped window and for the first non-black pixel in a small area that the
  first frame draws, on a black-rooted screen).

Each figure is the median of --repeats runs. Exits 1 when a budget is missed,
2 when the run itself failed.
"""

import argparse
import os
import shutil
import signal
import statistics
import struct
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.dirname(HERE)

BUDGET_EDITOR_EMPTY_CPU = 5.0  # % of one core
BUDGET_EDITOR_PAINTED_CPU = 12.0
BUDGET_FPS = (59, 61)
BUDGET_LAUNCH_MS = 150.0
BUDGET_EDITOR_RSS_MIB = 32.0

EN_BUTTON = (16 + 48, 250 + 32)  # centre of the English button of the language screen
REST_POINTER = (400, 300)  # away from the overlay box and the menu's buttons
TILE_SELECTION = 3  # Right presses before painting: the brush becomes tile 3


def log(text):
    print(text, flush=True)


# ---------------------------------------------------------------- X display


class Xvfb:
    """A private X server on a display number of its own choosing."""

    def __init__(self):
        read_fd, write_fd = os.pipe()
        self.proc = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", "640x480x24",
             "-br", "-nolisten", "tcp", "-noreset"],
            pass_fds=(write_fd,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_fd)
        number = b""
        with os.fdopen(read_fd, "rb") as pipe:
            while not number.endswith(b"\n"):
                chunk = pipe.read(1)
                if not chunk:
                    raise RuntimeError("Xvfb did not start")
                number += chunk
        self.display = ":" + number.decode().strip()

    def close(self):
        self.proc.terminate()
        self.proc.wait(timeout=10)


def xdotool(env, *args):
    subprocess.run(["xdotool"] + [str(a) for a in args], env=env, check=True,
                   stdout=subprocess.DEVNULL)


def screenshot(env):
    """The screen as (width, height, rows of (r, g, b) tuples), read from xwd."""
    data = subprocess.run(["xwd", "-root", "-silent"], env=env, check=True,
                          stdout=subprocess.PIPE).stdout
    fields = struct.unpack(">25I", data[:100])
    header_size, width, height = fields[0], fields[4], fields[5]
    byte_order, bits_per_pixel, bytes_per_line = fields[7], fields[11], fields[12]
    red_mask, green_mask, blue_mask, ncolors = fields[14], fields[15], fields[16], fields[19]
    if bits_per_pixel != 32:
        raise RuntimeError("unexpected screenshot format: %d bits per pixel" % bits_per_pixel)
    start = header_size + ncolors * 12
    order = "<" if byte_order == 0 else ">"

    def shift(mask):
        return (mask & -mask).bit_length() - 1

    rs, gs, bs = shift(red_mask), shift(green_mask), shift(blue_mask)
    rows = []
    for y in range(height):
        line = data[start + y * bytes_per_line: start + y * bytes_per_line + width * 4]
        values = struct.unpack(order + "%dI" % width, line)
        rows.append([((v & red_mask) >> rs, (v & green_mask) >> gs, (v & blue_mask) >> bs)
                     for v in values])
    return width, height, rows


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


def read_fps(env, font):
    """The number in the overlay box: the candidate whose glyph pixels all match the screen."""
    _, _, rows = screenshot(env)
    best = None
    for fps in (59, 60, 61):
        pixels = font.opaque_pixels("FPS: %d" % fps, 28, 461)
        if all(rows[y][x] == colour for (x, y), colour in pixels.items()):
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
    return values["VmHWM"], values["VmRSS"]


def measure(pid, seconds):
    """Processor use in % of one core over `seconds`, then VmHWM and VmRSS in MiB."""
    hz = os.sysconf("SC_CLK_TCK")
    t0, c0 = time.monotonic(), proc_stat_ticks(pid)
    time.sleep(seconds)
    t1, c1 = time.monotonic(), proc_stat_ticks(pid)
    hwm, rss = proc_memory_kib(pid)
    return {"cpu": 100.0 * (c1 - c0) / hz / (t1 - t0), "hwm": hwm / 1024.0, "rss": rss / 1024.0}


def scratch_runtime(root, settings):
    path = os.path.join(root, "runtime")
    shutil.copytree(os.path.join(REPO, "runtime"), path)
    with open(os.path.join(path, "data", "settings.ini"), "w") as f:
        f.write(settings)
    return path


def program_env(display, empty_bin):
    env = {"DISPLAY": display, "PATH": empty_bin, "HOME": os.path.dirname(empty_bin)}
    return env


def tool_env(display):
    env = dict(os.environ)
    env["DISPLAY"] = display
    return env


class Program:
    def __init__(self, binary, cwd, env):
        self.proc = subprocess.Popen([binary], cwd=cwd, env=env, stdout=subprocess.DEVNULL,
                                     stderr=subprocess.DEVNULL)

    def alive(self):
        return self.proc.poll() is None

    def close(self):
        if self.alive():
            self.proc.send_signal(signal.SIGTERM)
        try:
            self.proc.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            self.proc.wait()


def press(env, key_name):
    xdotool(env, "keydown", key_name)
    time.sleep(0.1)
    xdotool(env, "keyup", key_name)
    time.sleep(0.1)


def click(env, x, y):
    xdotool(env, "mousemove", x, y)
    time.sleep(0.1)
    xdotool(env, "mousedown", 1)
    time.sleep(0.1)
    xdotool(env, "mouseup", 1)


def paint_view(env):
    """Selects a tile with Right presses, then drags over all 300 cells row by row. On a busy
    machine an input event can go astray; the drag (which paints the same tile again) is then
    repeated, at most twice."""
    for _ in range(TILE_SELECTION):
        press(env, "Right")
    for _ in range(3):
        drag_over_view(env)
        if painted_cells(env) == 300:
            return


def drag_over_view(env):
    xdotool(env, "mousemove", 16, 16)
    time.sleep(0.1)
    xdotool(env, "mousedown", 1)
    moves = []
    for row in range(15):
        for col in range(20):
            moves += ["mousemove", 20 + 32 * col, 20 + 32 * row, "sleep", "0.03"]
    xdotool(env, *moves)
    xdotool(env, "mouseup", 1)
    xdotool(env, "mousemove", *REST_POINTER)
    time.sleep(0.5)


def painted_cells(env):
    """Cells whose lower-left pixel is not black (the cursor and the pointer are elsewhere)."""
    _, _, rows = screenshot(env)
    return sum(1 for row in range(15) for col in range(20)
               if rows[32 * row + 28][32 * col + 3] != (0, 0, 0))


# ---------------------------------------------------------------- runs


def chain_run(args, xvfb, empty_bin, seconds):
    """One run through all four screens, measuring each."""
    figures = {}
    with tempfile.TemporaryDirectory(prefix="tarvenloft-wbench-") as root:
        cwd = scratch_runtime(root, "WindowedMode ON\nDebugMode OFF\n")
        env = tool_env(xvfb.display)
        program = Program(args.binary, cwd, program_env(xvfb.display, empty_bin))
        try:
            xdotool(env, "mousemove", *REST_POINTER)
            time.sleep(2.0)
            figures["language screen"] = measure(program.proc.pid, seconds)
            click(env, *EN_BUTTON)
            xdotool(env, "mousemove", *REST_POINTER)
            time.sleep(2.0)
            if not program.alive():
                raise RuntimeError("the program ended on the language screen")
            figures["editor, empty map"] = measure(program.proc.pid, seconds)
            paint_view(env)
            cells = painted_cells(env)
            if cells < 290:
                raise RuntimeError("painting reached only %d of 300 cells" % cells)
            figures["editor, view painted"] = measure(program.proc.pid, seconds)
            press(env, "Escape")
            time.sleep(1.0)
            figures["menu open"] = measure(program.proc.pid, seconds)
            if not program.alive():
                raise RuntimeError("the program ended early")
        finally:
            program.close()
    return figures


def fps_run(args, xvfb, empty_bin, font):
    """With DebugMode ON: the overlay's number on the empty editor, the painted one, the menu."""
    readings = {}
    with tempfile.TemporaryDirectory(prefix="tarvenloft-wbench-") as root:
        cwd = scratch_runtime(root, "WindowedMode ON\nDebugMode ON\nLanguage EN\n")
        env = tool_env(xvfb.display)
        program = Program(args.binary, cwd, program_env(xvfb.display, empty_bin))
        try:
            xdotool(env, "mousemove", *REST_POINTER)
            time.sleep(3.0)
            readings["editor, empty map"] = [read_fps(env, font) for _ in range(3)]
            paint_view(env)
            time.sleep(2.5)
            readings["editor, view painted"] = [read_fps(env, font) for _ in range(3)]
            press(env, "Escape")
            time.sleep(2.5)
            readings["menu open"] = [read_fps(env, font) for _ in range(3)]
        finally:
            program.close()
    return readings


def launch_times(args, xvfb, empty_bin, settings, area, count):
    probe = os.path.join(args.build, "bench", "first_frame_probe")
    frames, windows = [], []
    with tempfile.TemporaryDirectory(prefix="tarvenloft-wbench-") as root:
        cwd = scratch_runtime(root, settings)
        env = program_env(xvfb.display, empty_bin)
        for _ in range(count):
            out = subprocess.run([probe, "5000"] + [str(v) for v in area] + [args.binary], cwd=cwd, env=env, check=True,
                                 stdout=subprocess.PIPE, stderr=subprocess.DEVNULL).stdout
            parts = dict(p.split("=") for p in out.decode().split())
            windows.append(float(parts["window_ms"]))
            frames.append(float(parts["frame_ms"]))
            time.sleep(0.3)
    return windows, frames


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--build", default=os.path.join(REPO, "build"))
    parser.add_argument("--repeats", type=int, default=3, help="runs per figure (median)")
    parser.add_argument("--seconds", type=float, default=20.0, help="measuring window")
    parser.add_argument("--launches", type=int, default=9, help="launches timed per start")
    args = parser.parse_args()
    args.binary = os.path.join(args.build, "tarvenloft")
    for needed in (args.binary, os.path.join(args.build, "bench", "first_frame_probe")):
        if not os.path.exists(needed):
            log("missing %s: build with cmake --build build --target bench" % needed)
            return 2

    font = Font(os.path.join(REPO, "runtime", "system", "images", "fonts", "standard.bmp"), 8, 8)
    empty_bin = tempfile.mkdtemp(prefix="tarvenloft-nobin-")
    xvfb = Xvfb()
    missed = []
    try:
        log("display %s; %d runs of %.0f s per screen" % (xvfb.display, args.repeats, args.seconds))
        runs = []
        for i in range(args.repeats):
            runs.append(chain_run(args, xvfb, empty_bin, args.seconds))
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
        readings = fps_run(args, xvfb, empty_bin, font)
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
                ("editor (language set)", "WindowedMode ON\nDebugMode ON\nLanguage EN\n",
                 (8, 457, 39, 16)),
                ("language screen (first run)", "WindowedMode ON\nDebugMode OFF\n",
                 (120, 100, 400, 16))):
            windows, frames = launch_times(args, xvfb, empty_bin, settings, area, args.launches)
            frame = statistics.median(frames)
            ok = frame < BUDGET_LAUNCH_MS
            log("  %-28s window mapped %6.1f ms, first frame %6.1f ms (min %.1f, max %.1f)  %s"
                % (label, statistics.median(windows), frame, min(frames), max(frames),
                   "ok (budget 150 ms)" if ok else "MISSED (budget 150 ms)"))
            if not ok:
                missed.append("%s: launch %.1f ms" % (label, frame))
    except (RuntimeError, subprocess.CalledProcessError, OSError) as error:
        log("window benchmark failed: %s" % error)
        return 2
    finally:
        xvfb.close()
        shutil.rmtree(empty_bin, ignore_errors=True)

    if missed:
        log("\nBudgets missed: " + "; ".join(missed))
        return 1
    log("\nAll budgets met.")
    return 0


if __name__ == "__main__":
    sys.exit(main())
