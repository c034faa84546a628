#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Fails when modules of src/ include each other, directly or round a longer circle.

A module is a source file and its header (foo.cpp and foo.h are module foo). Every
"#include "..."" line of a module makes an edge to the module it names. The chief header
header.h stands apart: every module includes it, and it includes the class declarations
that it makes visible everywhere, so its edges are left out. Prints each circle found and
exits 1; exits 0 when there is none.

Usage: tools/check/include_cycles.py [SRC_DIR]
"""

import glob
import os
import re
import sys

CHIEF = "header"
INCLUDE = re.compile(r'\s*#\s*include\s+"([^"]+)"')


def module_of(path):
    return os.path.splitext(os.path.basename(path))[0]


def include_graph(src):
    files = glob.glob(os.path.join(src, "*.cpp")) + glob.glob(os.path.join(src, "*.h"))
    modules = {module_of(f) for f in files}
    edges = {m: set() for m in modules}
    for path in files:
        here = module_of(path)
        if here == CHIEF:
            continue
        with open(path, errors="replace") as f:
            for line in f:
                m = INCLUDE.match(line)
                if not m:
                    continue
                there = module_of(m.group(1))
                if there in modules and there not in (here, CHIEF):
                    edges[here].add(there)
    return edges


def circles(edges):
    """Every elementary circle reached by a depth-first walk, each once, as a list of modules."""
    found = set()
    state = {}  # module -> 1 while on the walk's path, 2 when done

    def walk(module, path):
        state[module] = 1
        path.append(module)
        for nxt in sorted(edges[module]):
            if state.get(nxt) == 1:
                loop = path[path.index(nxt):]
                turn = loop.index(min(loop))  # one spelling per circle
                found.add(tuple(loop[turn:] + loop[:turn]))
            elif state.get(nxt) is None:
                walk(nxt, path)
        path.pop()
        state[module] = 2

    for module in sorted(edges):
        if state.get(module) is None:
            walk(module, [])
    return sorted(found)


def report(found, kind, count, noun, step=None):
    """Prints each circle, with a line for each of its steps where step(a, b) words one, and
    returns the exit status: 1 when there is a circle."""
    for loop in found:
        print("%s circle: %s" % (kind, " -> ".join(loop + (loop[0],))))
        for a, b in zip(loop, loop[1:] + (loop[0],)) if step else ():
            print("    " + step(a, b))
    if found:
        return 1
    print("no %s circle among %d %s" % (kind, count, noun))
    return 0


def main():
    src = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "..", "..", "src")
    edges = include_graph(src)
    return report(circles(edges), "include", len(edges), "modules")


if __name__ == "__main__":
    sys.exit(main())
