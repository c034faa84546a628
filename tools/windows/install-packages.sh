#!/bin/sh
# Installs the Debian packages named as arguments that are not installed yet, for the Windows
# build and its tests under Wine. With --sources it first makes sure that apt knows Debian's
# source packages: when no deb-src entry exists it adds one for each deb entry of
# /etc/apt/sources.list.d/*.sources and /etc/apt/sources.list (same archive, suites and
# components), in /etc/apt/sources.list.d/tarvenloft-deb-src.sources (or .list).
# Runs apt-get update only when something is missing. Other sessions may use apt at the same
# time, so every apt-get call waits for the lock.
set -eu

if [ "$(id -u)" -eq 0 ]; then
    SUDO=""
else
    SUDO="sudo"
fi
APT="$SUDO env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=900"
DEB_SRC=/etc/apt/sources.list.d/tarvenloft-deb-src

sources=false
if [ "${1:-}" = "--sources" ]; then
    sources=true
    shift
fi

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

has_deb_src() {
    grep -Eqs '^[[:space:]]*(Types:.*[[:space:]]deb-src([[:space:]]|$)|deb-src[[:space:]])' \
        /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources
}

update=false
if $sources && ! has_deb_src; then
    echo "Adding deb-src entries for the archives of the deb entries"
    entries=$(deb822_src_entries)
    [ -z "$entries" ] || printf '%s\n' "$entries" | $SUDO tee "$DEB_SRC.sources" >/dev/null
    entries=$(one_line_src_entries)
    [ -z "$entries" ] || printf '%s\n' "$entries" | $SUDO tee "$DEB_SRC.list" >/dev/null
    update=true
fi

missing=""
for p in "$@"; do
    case "$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)" in
        *"install ok installed"*) ;;
        *) missing="$missing $p" ;;
    esac
done
[ -n "$missing" ] && update=true

if $update; then
    $APT update
fi
if [ -n "$missing" ]; then
    echo "Installing:$missing"
    $APT install -y --no-install-recommends $missing
fi
