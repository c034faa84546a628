#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Fails when files of src/ call each other, directly or round a longer circle.

The include check cannot see a circle of calls whose declarations sit in a third header; the
object files can. nm lists, for each object of the core library, the symbols it defines and
those it uses. A file uses another when it uses a symbol that the other file's object alone
defines (a symbol that several objects define, such as an inline function or a template
instance, belongs to none). globals.cpp, the shared state every file reaches directly, stands
apart. Prints each circle found, with a symbol for each step, and exits 1; exits 0 when there
is none.

Usage: tools/check/call_cycles.py LIBRARY_OR_OBJECT...
(CTest passes the core library, libtarvenloft_core.a: its members are the objects.)
"""

import os
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from include_cycles import circles, report  # noqa: E402

EXEMPT = {"globals"}
NM = os.environ.get("NM", "nm")


def file_of(member):
    """The source file's module of an object: map_file.cpp.o -> map_file."""
    name = os.path.basename(member)
    for ending in (".o", ".obj"):
        if name.endswith(ending):
            name = name[: -len(ending)]
    return os.path.splitext(name)[0]


def symbols(paths):
    """{file: (defined, used)} from nm's listing, each a set of symbols."""
    out = subprocess.run([NM, "-A", "-P"] + paths, check=True, capture_output=True, text=True)
    table = {}
    for line in out.stdout.splitlines():
        # "lib.a[member.o]: symbol T value size" or "member.o: symbol U"
        where, _, rest = line.partition(": ")
        fields = rest.split()
        if len(fields) < 2:
            continue
        member = where[where.find("[") + 1 : -1] if where.endswith("]") else where
        defined, used = table.setdefault(file_of(member), (set(), set()))
        kind = fields[1]
        if kind == "U":
            used.add(fields[0])
        elif kind.isupper():
            defined.add(fields[0])
    return table


def call_graph(table):
    """{file: {file it uses: a symbol that shows it}}, globals left out."""
    owners = {}
    for f, (defined, _) in table.items():
        for s in defined:
            owners.setdefault(s, set()).add(f)
    edges = {f: {} for f in table if f not in EXEMPT}
    for f in edges:
        for s in sorted(table[f][1]):
            owner = owners.get(s)
            if owner and len(owner) == 1:
                there = next(iter(owner))
                if there != f and there not in EXEMPT:
                    edges[f].setdefault(there, s)
    return edges


def demangled(symbol):
    try:
        out = subprocess.run(["c++filt", "-p", symbol], check=True, capture_output=True,
                             text=True)
        return out.stdout.strip()
    except (OSError, subprocess.CalledProcessError):
        return symbol


def main():
    if len(sys.argv) < 2:
        print(__doc__.strip().splitlines()[-2], file=sys.stderr)
        return 2
    table = symbols(sys.argv[1:])
    edges = call_graph(table)
    found = circles({f: set(e) for f, e in edges.items()})
    return report(found, "call", len(edges), "files",
                  lambda a, b: "%s uses %s of %s" % (a, demangled(edges[a][b]), b))


if __name__ == "__main__":
    sys.exit(main())
