#!/bin/sh
# The Debian package from end to end: makes it (tools/linux/make-deb.sh), checks it with
# lintian, installs it with apt-get, checks the installed menu entry, metainfo and type of the
# map files, and that the installed copyright file puts our files under the MIT (Expat) licence
# of LICENSE, starts the installed tarvenloft from /tmp under a private Xvfb (test_install.py:
# language screen, menu, exit status, the user's settings, a map file named relative to the
# user's directory), and removes the package again, also when a step fails.
# Installs packages, so it runs as root or with sudo.
#
# SPDX-License-Identifier: MIT
set -eu
cd "$(dirname "$0")/../.."
./install-deps.sh editor tests package
if [ "$(id -u)" -eq 0 ]; then
    SUDO=""
else
    SUDO="sudo"
fi
apt_get() {
    $SUDO env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=900 "$@"
}

deb=$(tools/linux/make-deb.sh)
echo "package: $deb, $(dpkg-deb -f "$deb" Installed-Size) KiB installed"
echo "depends: $(dpkg-deb -f "$deb" Depends)"
lintian --fail-on error "$deb"

mime=$(mktemp -d)
trap 'rm -rf "$mime"; apt_get remove -y --purge tarvenloft >/dev/null 2>&1 || true' EXIT
apt_get install -y --reinstall "$deb" >/dev/null
desktop-file-validate /usr/share/applications/tarvenloft.desktop
# The type of the map files as shared-mime-info reads it, from our definition alone in a scratch
# database: Tiled, where it is installed, defines the same type in the system's. The scratch
# directory is named as a data directory, or update-mime-database warns that nobody looks there.
mkdir -p "$mime/mime/packages"
cp /usr/share/mime/packages/tarvenloft.xml "$mime/mime/packages/"
XDG_DATA_DIRS="$mime" update-mime-database "$mime/mime"
if ! grep -qx '[0-9]*:application/x-tiled-tmx:\*\.tmx' "$mime/mime/globs2" ||
    ! grep -qx 'application/x-tiled-tmx application/xml' "$mime/mime/subclasses"; then
    echo "the installed type does not make *.tmx application/x-tiled-tmx, an XML type" >&2
    exit 1
fi
# The component id is the desktop file's name, not a reverse domain name: the project has no
# domain to name it by.
appstreamcli validate --no-net --override cid-desktopapp-is-not-rdns=info \
    /usr/share/metainfo/tarvenloft.metainfo.xml
# The package carries the licence in its copyright file: our files under Expat, whose text is
# LICENSE's, word for word.
copyright=/usr/share/doc/tarvenloft/copyright
awk -v RS= '/^Files: \*\n/ && /\nLicense: Expat(\n|$)/ { found = 1 } END { exit !found }' \
    "$copyright" || { echo "$copyright does not put Files: * under Expat" >&2; exit 1; }
expat=$(awk -v RS= '/^License: Expat\n/' "$copyright" | sed -e 1d -e 's/^ //' -e 's/^\.$//')
if [ "$expat" != "$(sed -n '/^Permission is hereby granted/,$p' LICENSE)" ]; then
    echo "the Expat text in $copyright is not the text of LICENSE" >&2
    exit 1
fi
launcher=$(command -v tarvenloft)
cd tests/package
TARVENLOFT_LAUNCHER="$launcher" TMPDIR=/tmp python3 -m unittest -v test_install

apt_get remove -y --purge tarvenloft >/dev/null
trap 'rm -rf "$mime"' EXIT
for left in /usr/bin/tarvenloft /usr/libexec/tarvenloft /usr/share/tarvenloft \
    /usr/share/mime/packages/tarvenloft.xml; do
    if [ -e "$left" ]; then
        echo "the package left $left behind" >&2
        exit 1
    fi
done
echo "package test passed"
