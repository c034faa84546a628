#!/bin/sh
# Makes sure that apt knows Debian's source packages, which build-deps.sh fetches. When no
# deb-src entry exists, adds one for each deb entry of /etc/apt/sources.list.d/*.sources and
# /etc/apt/sources.list(.d/*.list), with the same archive, suites and components, in
# /etc/apt/sources.list.d/tarvenloft-deb-src.sources (or .list), and updates apt's lists.
#
# SPDX-License-Identifier: MIT
set -eu

if [ "$(id -u)" -eq 0 ]; then
    SUDO=""
else
    SUDO="sudo"
fi
NEW=/etc/apt/sources.list.d/tarvenloft-deb-src

# Every enabled deb stanza of the deb822 files, as deb-src.
deb822_src_entries() {
    for f in /etc/apt/sources.list.d/*.sources; do
        [ -f "$f" ] || continue
        awk 'BEGIN { RS = ""; ORS = "\n\n" }
             /(^|\n)Types:[^\n]*[ \t]deb([ \t]|\n|$)/ && !/(^|\n)Enabled:[ \t]*no/ {
                 sub(/(^|\n)Types:[^\n]*/, "\nTypes: deb-src"); sub(/^\n/, ""); print }' "$f"
    done
}

# Every one-line deb entry, as deb-src.
one_line_src_entries() {
    for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [ -f "$f" ] || continue
        sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' "$f"
    done
}

if grep -Eqs '^[[:space:]]*(Types:.*[[:space:]]deb-src([[:space:]]|$)|deb-src[[:space:]])' \
    /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources; then
    exit 0
fi
echo "Adding deb-src entries for the archives of the deb entries"
entries=$(deb822_src_entries)
[ -z "$entries" ] || printf '%s\n' "$entries" | $SUDO tee "$NEW.sources" >/dev/null
entries=$(one_line_src_entries)
[ -z "$entries" ] || printf '%s\n' "$entries" | $SUDO tee "$NEW.list" >/dev/null
# Other apt runs may hold the lock for a while; wait for it instead of failing.
$SUDO apt-get -o DPkg::Lock::Timeout=900 update
