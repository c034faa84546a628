#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Tarvenloft - soak run of the map editor.

Runs the built program in a private Xvfb display with debug mode on and
drives the editor for a given time (default 600 s: 36,000 frames at 60 fps)
with painting, picking, tile changes and the menu opened and closed, then
quits through the menu. Every few seconds it samples the program's resident
memory (VmRSS) and CPU time, and compares the frame-rate box with a
reference picture of it: the one it shows most often while the editor
idles for a few seconds early in the run; the reference is saved as fps-reference.png,
and every other picture the box showed as fps-other-N.png, so that they can
be looked at.

Fails when resident memory grows by more than 1 MiB between the first
minute and the end, or the program does not end cleanly.

Usage: soak.py [SECONDS] [PROGRAM]
"""
import os
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "window"))
import harness  # noqa: E402

FPS_BOX = (4, 457, 64, 473)  # the frame-rate box of the debug overlay, with its text
SAMPLE_EVERY = 5.0
RSS_LIMIT_KIB = 1024
WARM_UP = 60.0


def rss_kib(pid):
    with open("/proc/%d/status" % pid) as f:
        for line in f:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    return None


def cpu_seconds(pid):
    with open("/proc/%d/stat" % pid) as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def log(text):
    print("[%s] %s" % (time.strftime("%H:%M:%S"), text), flush=True)


def save_png(img, box, path):
    x0, y0, x1, y1 = box
    raw = img.crop(*box)
    ppm = b"P6\n%d %d\n255\n" % (x1 - x0, y1 - y0) + raw
    subprocess.run(["convert", "ppm:-", "-scale", "800%", path], input=ppm, check=True)


def idle_reference(prog, shots=12):
    """The picture the frame-rate box shows most often while the editor is idle."""
    seen = {}
    for _ in range(shots):
        img = prog.screenshot()
        seen.setdefault(img.crop(*FPS_BOX), [img, 0])[1] += 1
        time.sleep(0.5)
    return max(seen.values(), key=lambda e: e[1])[0]


def work_round(prog, n):
    """One round of editing: change the tile, paint a short row, pick, open and close the menu."""
    prog.key("Right" if n % 3 else "Left")
    row = 1 + n % 11
    cols = [(n * 3 + k) % 18 + 1 for k in range(4)]
    prog.drag([harness.cell_centre(c, row) for c in cols], dwell=0.08)
    prog.click(*harness.cell_centre(cols[0], row), button=3)
    harness.open_menu(prog)
    if n % 2:
        prog.click(320, harness.MENU_CONTINUE_TOP + 18)
    else:
        prog.key("Escape")
    prog.move(*harness.POINTER_PARK)


def main():
    seconds = float(sys.argv[1]) if len(sys.argv) > 1 else 600.0
    binary = os.path.abspath(sys.argv[2]) if len(sys.argv) > 2 else harness.BINARY
    samples = []
    others = {}  # frame-rate box pictures that differ from the reference
    with harness.XServer() as xserver:
        prog = harness.Program(xserver, binary=binary)
        try:
            prog.write_settings(windowed=True, debug=True, language="EN")
            prog.start()
            prog.find_window()
            harness.wait_for_editor(prog, cell=(9, 9))
            prog.move(*harness.POINTER_PARK)
            time.sleep(3.0)  # a few full seconds of frames for the box to count
            reference = idle_reference(prog)
            save_png(reference, FPS_BOX, os.path.join(os.getcwd(), "fps-reference.png"))
            ref_box = reference.crop(*FPS_BOX)
            pid = prog.proc.pid
            start = time.monotonic()
            cpu0 = cpu_seconds(pid)
            next_sample = start
            n = 0
            while time.monotonic() - start < seconds:
                work_round(prog, n)
                n += 1
                now = time.monotonic()
                if now >= next_sample:
                    img = prog.screenshot()
                    box = img.crop(*FPS_BOX)
                    same = box == ref_box
                    if not same:
                        others.setdefault(box, [img, 0])[1] += 1
                    samples.append((now - start, rss_kib(pid), cpu_seconds(pid) - cpu0, same))
                    next_sample += SAMPLE_EVERY
                    if len(samples) % 12 == 1:
                        t, r, c, s = samples[-1]
                        log("t=%4.0f s  RSS %d KiB  CPU %.1f s  fps box as reference: %s"
                            % (t, r, c, s))
            elapsed = time.monotonic() - start
            cpu = cpu_seconds(pid) - cpu0
            harness.quit_via_menu(prog)
            rc = prog.wait_exit(10.0)
        finally:
            prog.stop()
    ranked = sorted(others.values(), key=lambda e: -e[1])[:10]
    for i, (img, _) in enumerate(ranked):
        save_png(img, FPS_BOX, os.path.join(os.getcwd(), "fps-other-%d.png" % i))
    late = [s for s in samples if s[0] >= WARM_UP]
    base = late[0][1] if late else samples[0][1]
    end = samples[-1][1]
    peak = max(s[1] for s in late or samples)
    same = sum(1 for s in samples if s[3])
    print("soak: %.0f s, %d editing rounds, exit code %r" % (elapsed, n, rc))
    print("RSS: %d KiB at 1 min, %d KiB at the end (%+d KiB), peak after 1 min %d KiB"
          % (base, end, end - base, peak))
    print("CPU: %.1f s in %.0f s (%.0f%% of one core)" % (cpu, elapsed, 100.0 * cpu / elapsed))
    print("frame-rate box equal to the reference in %d of %d samples; about %d frames at 60 fps"
          % (same, len(samples), int(elapsed * 60)))
    print("other pictures of the box, most seen first (fps-other-N.png): %s"
          % ", ".join("%d: %d samples" % (i, e[1]) for i, e in enumerate(ranked)))
    if rc != 0 or peak - base > RSS_LIMIT_KIB or end - base > RSS_LIMIT_KIB:
        print("SOAK FAILED", file=sys.stderr)
        return 1
    print("soak passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
