#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Instructions of one idle editor frame, counted by valgrind's callgrind: the same for the
same program and case whatever else the machine does, so two programs compare to the last
percent where processor time, on a shared machine, spreads by a third.

Each program runs in a private Xvfb under callgrind, in a scratch copy of runtime/ with
"Language EN" (and a new map file with --map), the pointer resting over the map. After a few
seconds of warm-up the counters are dumped and zeroed, and after --seconds more dumped again:
that second dump holds the instructions of every thread of the process over whole frames only,
and the calls of displayAll count the frames. The figure is instructions per frame.

With --paint the left button is held over the measured seconds while the pointer crosses the
view's cells one every 0.03 s, row by row, over tile 1, so that most frames paint a cell.

Usage: bench/frame-instructions.py OLD_PROGRAM NEW_PROGRAM [--scale 1 2] [--map none new]
                                   [--paint]
"""

import argparse
import glob
import os
import re
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "window"))
import harness  # noqa: E402


def dump(pid):
    subprocess.run(["callgrind_control", "--dump", str(pid)], check=True,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=120)


def per_frame(out_dir, pid):
    """Instructions and frames of the last dump of process pid."""
    files = sorted(glob.glob(os.path.join(out_dir, "callgrind.out.%d.*" % pid)),
                   key=lambda f: int(f.rsplit(".", 1)[1]))
    text = open(files[-1]).read()
    total = int(re.search(r"^summary: (\d+)", text, re.M).group(1))
    ids = set(re.findall(r"^c?fn=\((\d+)\) displayAll\(\)", text, re.M))
    frames = 0
    for fn_id, calls in re.findall(r"^cfn=\((\d+)\)[^\n]*\ncalls=(\d+)", text, re.M):
        frames += int(calls) if fn_id in ids else 0
    return total, frames


def paint(xserver, scale, seconds):
    """Holds the left button while the pointer crosses the view's cells for about `seconds`."""
    moves = ["key", "Right", "mousemove", 16 * scale, 16 * scale, "mousedown", "1"]
    for i in range(int(seconds / 0.03)):
        col, row = i % 20, (i // 20) % 15
        moves += ["mousemove", (20 + 32 * col) * scale, (20 + 32 * row) * scale, "sleep", "0.03"]
    return harness._spawn(["xdotool"] + [str(m) for m in moves + ["mouseup", "1"]],
                          env=xserver.env())


def measure(binary, scale, map_file, seconds, warmup, painting):
    xserver = harness.XServer("2560x1920x24", black_root=True).start()
    out_dir = tempfile.mkdtemp(prefix="tarvenloft-callgrind-")
    program = harness.Program(xserver, runtime=harness.RUNTIME, binary=os.path.abspath(binary))
    extra = "DisplayScale %d\n" % scale
    program.write_settings(windowed=True, language="EN", extra=extra)
    args = (os.path.join(program.tmp, "bench.tmx"),) if map_file else ()
    env = xserver.env()
    env["HOME"] = program.tmp
    env["PATH"] = program.bindir  # no xmessage: a fatal message ends the run, not waits
    proc = harness._spawn(["/usr/bin/valgrind", "--tool=callgrind", "--dump-instr=no",
                           "--callgrind-out-file=%s/callgrind.out.%%p" % out_dir,
                           program.binary] + list(args),
                          cwd=program.root, env=env, stdout=subprocess.DEVNULL,
                          stderr=subprocess.DEVNULL)
    try:
        time.sleep(warmup)
        harness.xdotool(xserver, "mousemove", 300 * scale, 200 * scale)
        time.sleep(2)
        painter = paint(xserver, scale, seconds + 2) if painting else None
        time.sleep(1)
        dump(proc.pid)
        time.sleep(seconds)
        dump(proc.pid)
        if painter:
            harness._stop_process(painter)
        return per_frame(out_dir, proc.pid)
    finally:
        harness._stop_process(proc)
        xserver.stop()
        subprocess.run(["rm", "-rf", out_dir, program.tmp])


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("old")
    parser.add_argument("new")
    parser.add_argument("--scale", type=int, nargs="+", default=[1, 2])
    parser.add_argument("--map", nargs="+", default=["none", "new"], choices=["none", "new"])
    parser.add_argument("--seconds", type=float, default=20.0)
    parser.add_argument("--warmup", type=float, default=25.0)
    parser.add_argument("--paint", action="store_true")
    args = parser.parse_args()
    print("%-22s %14s %14s %7s  %s" % ("case", "old Ir/frame", "new Ir/frame", "ratio", "frames"))
    for map_case in args.map:
        for scale in args.scale:
            figures, counts = [], []
            for binary in (args.old, args.new):
                total, frames = measure(binary, scale, map_case == "new", args.seconds,
                                        args.warmup, args.paint)
                figures.append(total / max(frames, 1))
                counts.append(frames)
            what = "%dx, map %s%s" % (scale, map_case, ", paint" if args.paint else "")
            print("%-22s %14.0f %14.0f %7.3f  %d, %d" % (what,
                                                       figures[0], figures[1],
                                                       figures[1] / figures[0], *counts),
                  flush=True)


if __name__ == "__main__":
    main()
