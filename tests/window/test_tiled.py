# SPDX-License-Identifier: MIT
"""The editor against Tiled, its peer for the map file, through the real window.

A map painted in the real program and saved with Ctrl+S opens in Tiled with every painted cell
in its layer and nothing else; Tiled's tmxrasterizer draws that map's top-left 640 x 480
pixels exactly as the editor shows them; and maps that Tiled wrote (layers in CSV, in base64
plain, zlib and gzip, and with an external tileset) open in the editor and look there as
tmxrasterizer draws them. Tiled runs headless (Debian's tiled package).

The editor's picture is read with the pointer off the window: the program then draws neither
the pointer nor the tile preview, and its cell cursor stays on the bottom-right cell (19, 14),
the one part of the picture that the comparisons leave out.

Every step of the driving is checked on screen before the next one, and made again when the
program missed it: under load a key press or a click can fall wholly between two frames.
"""

import base64
import gzip
import json
import os
import shutil
import subprocess
import tempfile
import time
import unittest
import zlib

import harness
from harness import (CELL, QUIT_CENTRE, SCREEN_H, SCREEN_W, WindowTestCase, cell_centre,
                     menu_shown, parse_ppm)

TILESET = os.path.join(harness.RUNTIME, "system", "images", "tilesets", "001.png")
SIDE = 120  # cells across and down a map
LAYERS = 4
TILE_W, TILE_H = 32, 48  # a tile stands 16 pixels over the cell above

# Off the window, bottom right: the program keeps the pointer's last place on its screen,
# (639, 479), so the cursor marks cell (19, 14).
OFF_WINDOW = (SCREEN_W + 60, SCREEN_H + 40)
CURSOR_CELL = (SCREEN_W // CELL - 1, SCREEN_H // CELL - 1)

# Where the pointer waits while the selection changes, and the part of the preview read there:
# the preview's lower 24 rows, right of the pointer's arrow. Both bodies (tile rows 16..47) are
# opaque in every tile of the tileset, so this shows the selected tile's own pixels.
SELECT_AT = (560, 40)
PREVIEW_READ = (SELECT_AT[0] + 16, SELECT_AT[1] + 16, SELECT_AT[0] + 40, SELECT_AT[1] + 40)

# The box in which the editor shows the working layer and the view's place after a change; its
# left end depends on the text, and the cursor's cell is left out.
WHERE_BOX = (416, 457, CURSOR_CELL[0] * CELL, 473)

STEP_TIMEOUT = 2.0  # how long a step may take to show before it is made again
ATTEMPTS = 4


def gid(v, firstgid=1):
    """Terrain value v as a tile id; 0 is an empty cell."""
    return 0 if v == 0 else firstgid + 2 * v + 1


def poll(prog, predicate, timeout=STEP_TIMEOUT):
    """Screenshots until predicate(image) holds; (True, image), or (False, the last one)."""
    deadline = time.monotonic() + timeout
    while True:
        if not prog.running():
            raise AssertionError("the program ended: %s" % prog.describe())
        img = prog.screenshot()
        if predicate(img):
            return True, img
        if time.monotonic() > deadline:
            return False, img
        time.sleep(0.05)


def read_image(path):
    """A picture file, read through ImageMagick."""
    res = subprocess.run(["convert", path, "-depth", "8", "ppm:-"], capture_output=True,
                         timeout=30)
    if res.returncode != 0:
        raise RuntimeError("cannot read %s: %s" % (path, res.stderr.decode(errors="replace")))
    return parse_ppm(res.stdout)


class Tileset:
    """The editor's tileset, to tell on screen which tile a cell or the preview shows."""

    def __init__(self):
        img = read_image(TILESET)
        # Terrain value v is the tile in column 1 of row v; nothing is drawn over the top half of
        # a cell (tile rows 16..31) but the cell's own tiles.
        self.cell_tops = {img.crop(TILE_W, TILE_H * v + 16, 2 * TILE_W, TILE_H * v + 32): v
                          for v in range(1, 26)}
        self.previews = {img.crop(TILE_W + 8, TILE_H * v + 24, 2 * TILE_W, TILE_H * v + 48): v
                         for v in range(1, 26)}

    def in_cell(self, img, col, row):
        """The topmost tile in the cell, 0 for an empty one, None for neither."""
        top = img.crop(col * CELL, row * CELL, col * CELL + CELL, row * CELL + 16)
        return 0 if not any(top) else self.cell_tops.get(top)

    def selected(self, img):
        """The selection, from the preview beside a pointer at SELECT_AT (none drawn for 0)."""
        return self.previews.get(img.crop(*PREVIEW_READ), 0)


class Tiled:
    """Tiled's command-line tools, headless, in a scratch directory of their own."""

    def __init__(self, workdir):
        xdg = os.path.join(workdir, "xdg")
        os.mkdir(xdg, 0o700)
        self.env = dict(os.environ, QT_QPA_PLATFORM="offscreen", XDG_RUNTIME_DIR=xdg,
                        HOME=workdir)

    def run(self, *args):
        res = subprocess.run(args, env=self.env, capture_output=True, text=True, timeout=60)
        if res.returncode != 0:
            raise AssertionError("%s failed (%d): %s%s" % (" ".join(args), res.returncode,
                                                           res.stdout, res.stderr))

    def export_map(self, source, target):
        self.run("tiled", "--export-map", source, target)

    def export_tileset(self, source, target):
        self.run("tiled", "--export-tileset", source, target)

    def start_view(self, tmx):
        """Starts tmxrasterizer on tmx; view() gives its picture."""
        # A PPM is written from Qt's premultiplied pixels, so the transparent background comes
        # out black: the picture laid over black, as the editor clears its screen, and much
        # quicker to write than a PNG of 3840 x 3840.
        out = os.path.splitext(tmx)[0] + "-raster.ppm"
        proc = harness._spawn(["tmxrasterizer", tmx, out], env=self.env,
                              stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        return proc, tmx, out

    def view(self, started):
        """The top-left 640 x 480 of what tmxrasterizer drew of the map."""
        proc, tmx, out = started
        try:
            text = proc.communicate(timeout=60)[0].decode(errors="replace")
        finally:
            harness._stop_process(proc)
        if proc.returncode != 0:
            raise AssertionError("tmxrasterizer %s failed (%d): %s" % (tmx, proc.returncode, text))
        with open(out, "rb") as f:
            whole = parse_ppm(f.read())
        if (whole.width, whole.height) != (SIDE * CELL, SIDE * CELL):
            raise AssertionError("tmxrasterizer drew %d x %d" % (whole.width, whole.height))
        return harness.Image(SCREEN_W, SCREEN_H, whole.crop(0, 0, SCREEN_W, SCREEN_H))


def differences(shown, want):
    """Where the editor's picture differs from Tiled's, outside the cursor's cell:
    {(col, row): [count, lowest y, highest y, first (x, y), editor's pixel there, Tiled's]}."""
    found = {}
    a, b = shown.crop(0, 0, SCREEN_W, SCREEN_H), want.data
    if a == b:
        return found
    for y in range(SCREEN_H):
        o = y * SCREEN_W * 3
        if a[o:o + SCREEN_W * 3] == b[o:o + SCREEN_W * 3]:
            continue
        for x in range(SCREEN_W):
            p = o + 3 * x
            cell = (x // CELL, y // CELL)
            if cell == CURSOR_CELL or a[p:p + 3] == b[p:p + 3]:
                continue
            if cell not in found:
                found[cell] = [0, y, y, (x, y), tuple(a[p:p + 3]), tuple(b[p:p + 3])]
            found[cell][0] += 1
            found[cell][2] = y
    return found


def describe_differences(found, limit=20):
    lines = ["cell %r: %d pixels in y %d..%d, first at %r: editor %r, Tiled %r"
             % ((cell,) + tuple(found[cell]))
             for cell in sorted(found, key=lambda c: (c[1], c[0]))[:limit]]
    if len(found) > limit:
        lines.append("... and %d cells more" % (len(found) - limit))
    return "\n".join(lines)


class MapEditor:
    """The program with a map file open, driven as a user would."""

    def __init__(self, test, tmx):
        self.test = test
        self.tmx = tmx
        self.tiles = test.tiles
        self.selection = 0  # as far as the last look at the preview tells
        prog = self.prog = test.program()
        prog.write_settings(windowed=True, language="EN")
        prog.start(args=(tmx,))
        if prog.find_window() is None:
            test.fail("no window for %s; %s" % (tmx, prog.describe()))

    def title(self):
        return self.prog._xdo("getwindowname", self.prog.window).stdout.strip()

    def look(self):
        """Takes the pointer off the window; the picture once two screenshots agree."""
        self.prog.move(*OFF_WINDOW)
        return self.prog.settled_screenshot()

    def select(self, v):
        """Steps the selection to v with the arrow keys, checked on the preview."""
        self.prog.move(*SELECT_AT)
        for _ in range(ATTEMPTS):
            steps = v - self.selection
            for _ in range(abs(steps)):
                self.prog.key("Right" if steps > 0 else "Left")
            shown, img = poll(self.prog, lambda i: self.tiles.selected(i) == v)
            self.selection = self.tiles.selected(img)
            if shown:
                return
        self.test.fail("the preview shows tile %d, not %d" % (self.selection, v))

    def paint(self, cells, v):
        """Paints v into the screen cells in one stroke, and again into any the program missed;
        with nothing else there, each cell must then show tile v on top."""
        self.select(v)
        todo = list(cells)
        for _ in range(ATTEMPTS):
            self.prog.drag([cell_centre(*c) for c in todo])
            self.prog.move(*OFF_WINDOW)
            _, img = poll(self.prog, lambda i: all(self.tiles.in_cell(i, *c) == v for c in todo))
            todo = [c for c in todo if self.tiles.in_cell(img, *c) != v]
            if not todo:
                return
        self.test.fail("cells %r do not show tile %d but %r" % (
            todo, v, [self.tiles.in_cell(img, *c) for c in todo]))

    def press_until(self, key, shown, what):
        """Presses key (an xdotool name) until shown(image) holds; lost presses leave no trace,
        so pressing again is safe."""
        for _ in range(ATTEMPTS):
            self.prog.key(key)
            done, _ = poll(self.prog, shown, timeout=3.0)
            if done:
                return
        self.test.fail("%s did not happen" % what)

    def layer(self, n):
        """Key n makes layer n the working layer: the box with the layer and the place shows
        again, with other text than before."""
        self.prog.move(*OFF_WINDOW)
        before = self.prog.settled_screenshot().crop(*WHERE_BOX)
        self.press_until(str(n), lambda i: i.lit(WHERE_BOX) and i.crop(*WHERE_BOX) != before,
                         "key %d" % n)

    def scroll_right(self, rows):
        """D moves the view one cell right: the picture of the screen rows given moves one
        cell left."""
        before = self.look()
        moved = (CELL, 0, SCREEN_W - CELL, rows * CELL)
        self.test.assertNotEqual(before.crop(*moved), before.crop(0, 0, SCREEN_W - 2 * CELL,
                                                                rows * CELL),
                                 "nothing to see the view move by")
        self.press_until("d", lambda i: i.crop(0, 0, SCREEN_W - 2 * CELL, rows * CELL)
                         == before.crop(*moved), "the view's move with D")

    def save(self):
        """Ctrl+S, until the file exists and the title no longer marks unsaved changes."""
        name = os.path.basename(self.tmx)
        # The title follows the map a frame after the change.
        deadline = time.monotonic() + 3.0
        while self.title() != name + "* - Tarvenloft" and time.monotonic() < deadline:
            time.sleep(0.05)
        self.test.assertEqual(self.title(), name + "* - Tarvenloft", "nothing to save")
        for _ in range(ATTEMPTS):
            self.prog.key_down("ctrl")
            self.prog.key("s")
            self.prog.key_up("ctrl")
            deadline = time.monotonic() + 3.0
            while time.monotonic() < deadline:
                if os.path.exists(self.tmx) and self.title() == name + " - Tarvenloft":
                    return
                time.sleep(0.05)
        self.test.fail("Ctrl+S did not save %s; title %r" % (self.tmx, self.title()))

    def quit(self):
        """Quit in the editor's menu; with the map saved the program ends at once, status 0."""
        self.press_until("Escape", menu_shown, "the menu on Escape")
        for _ in range(ATTEMPTS):
            try:
                self.prog.click(*QUIT_CENTRE)
            except RuntimeError:
                if self.prog.running():
                    raise
            if self.prog.wait_exit(3.0) is not None:
                break
        self.test.assertExits(self.prog, 0)

    def assert_looks_like(self, want, what, timeout=10.0):
        """The editor's picture, once the notices of the last steps are gone (they show for two
        seconds), is want's."""
        self.prog.move(*OFF_WINDOW)
        same, img = poll(self.prog, lambda i: not differences(i, want), timeout)
        if not same:
            self.test.fail("the editor's picture of %s differs from tmxrasterizer's:\n%s"
                           % (what, describe_differences(differences(img, want))))


class TiledPeerTest(WindowTestCase):
    @classmethod
    def setUpClass(cls):
        for tool in ("tiled", "tmxrasterizer"):
            if not shutil.which(tool):
                raise AssertionError("%s is not installed (./install-deps.sh tests)" % tool)
        cls.tiles = Tileset()

    def setUp(self):
        super().setUp()
        self.dir = tempfile.mkdtemp(prefix="tarvenloft-tiled-window-")
        self.addCleanup(shutil.rmtree, self.dir, True)
        self.tiled = Tiled(self.dir)

    def path(self, name):
        return os.path.join(self.dir, name)

    def tiled_layers(self, tmx):
        """The map as Tiled reads it: its tile layers' ids by name, and the first gid."""
        target = self.path("export.json")
        self.tiled.export_map(tmx, target)
        with open(target) as f:
            exported = json.load(f)
        (tileset,) = exported["tilesets"]
        return ({layer["name"]: layer["data"] for layer in exported["layers"]
                 if layer["type"] == "tilelayer"}, tileset["firstgid"])

    def test_a_map_saved_by_the_editor_opens_in_tiled_with_the_painted_cells(self):
        tmx = self.path("m.tmx")
        editor = MapEditor(self, tmx)
        painted = {}  # (layer, map column, map row): terrain value

        def paint(layer, cells, v, offset=0):
            editor.paint(cells, v)
            for col, row in cells:
                painted[(layer, col + offset, row)] = v

        paint(1, [(2, 3)], 2)
        paint(1, [(4, 9)], 3)
        editor.layer(2)
        paint(2, [(2, 3)], 5)  # over layer 1's tile in the same cell
        paint(2, [(11, 6)], 6)
        editor.scroll_right(rows=12)
        paint(2, [(19, 4)], 7, offset=1)  # map column 20, out of the view before
        editor.layer(1)
        paint(1, [(19, 11), (15, 2)], 8, offset=1)
        editor.save()
        editor.quit()

        layers, firstgid = self.tiled_layers(tmx)
        self.assertEqual(sorted(layers), ["Layer %d" % n for n in range(1, LAYERS + 1)])
        for n in range(1, LAYERS + 1):
            got = layers["Layer %d" % n]
            self.assertEqual(len(got), SIDE * SIDE)
            want = [0] * (SIDE * SIDE)
            for (layer, col, row), v in painted.items():
                if layer == n:
                    want[row * SIDE + col] = gid(v, firstgid)
            wrong = [(i % SIDE, i // SIDE, want[i], got[i]) for i in range(SIDE * SIDE)
                     if got[i] != want[i]]
            self.assertEqual(wrong, [], "Layer %d: cells (column, row, painted gid, Tiled's)" % n)

    def test_tmxrasterizer_draws_the_saved_map_as_the_editor_shows_it(self):
        tmx = self.path("m.tmx")
        editor = MapEditor(self, tmx)
        # Runs of tiles whose tops (partly transparent in tiles 11-14, 19 and 20, opaque in 15
        # and 21) cover the feet of the tiles above them, in one layer and across the two.
        editor.paint([(c, 2) for c in range(1, 6)], 11)
        editor.paint([(c, 3) for c in range(2, 6)], 12)
        editor.paint([(c, 4) for c in range(1, 5)], 13)
        editor.paint([(c, 5) for c in range(3, 7)], 15)
        editor.layer(2)
        # Over layer 1's row 3, and over the tops of its row 4, which layer 1 drew later.
        editor.paint([(c, 3) for c in range(3, 5)], 19)
        editor.paint([(c, 5) for c in range(1, 4)], 20)
        editor.paint([(c, 6) for c in range(4, 7)], 21)
        editor.save()
        tiled = self.tiled.start_view(tmx)
        editor.assert_looks_like(self.tiled.view(tiled), "the saved map")
        editor.quit()

    def tiled_map(self, k, name, encoding, compression="", external=False):
        """A map in Tarvenloft's measures, as Tiled writes it from a source in the encoding,
        with pattern k of tiles in all four layers and the runtime's tileset."""

        def terrain(l, x, y):
            if (x + y + l + k) % 4 >= 2:
                return 0
            return (7 * l + 3 * x + 5 * y + 11 * k) % 25 + 1

        tileset = ('name="001" tilewidth="32" tileheight="48" tilecount="52" columns="2">\n'
                   '  <image source="%s" trans="ff00ff" width="64" height="1248"/>\n'
                   ' </tileset>\n' % TILESET)
        if external:
            self.write(name + "-source.tsx",
                       '<?xml version="1.0" encoding="UTF-8"?>\n<tileset version="1.8" '
                       + tileset.replace(" </tileset>", "</tileset>"))
            self.tiled.export_tileset(self.path(name + "-source.tsx"), self.path(name + ".tsx"))
            tileset = ' <tileset firstgid="1" source="%s.tsx"/>\n' % name
        else:
            tileset = ' <tileset firstgid="1" ' + tileset
        layers = ""
        for l in range(LAYERS):
            gids = [gid(terrain(l, x, y)) for y in range(SIDE) for x in range(SIDE)]
            if encoding == "csv":
                data = "\n" + ",\n".join(",".join(str(g) for g in gids[y * SIDE:(y + 1) * SIDE])
                                         for y in range(SIDE)) + "\n"
            else:
                raw = b"".join(g.to_bytes(4, "little") for g in gids)
                if compression == "zlib":
                    raw = zlib.compress(raw)
                elif compression == "gzip":
                    raw = gzip.compress(raw)
                data = "\n   " + base64.b64encode(raw).decode() + "\n  "
            layers += (' <layer id="%d" name="Ground %d" width="120" height="120">\n'
                       '  <data encoding="%s"%s>%s</data>\n </layer>\n'
                       % (l + 1, l + 1, encoding,
                          ' compression="%s"' % compression if compression else "", data))
        self.write(name + "-source.tmx",
                   '<?xml version="1.0" encoding="UTF-8"?>\n'
                   '<map version="1.8" tiledversion="1.8.2" orientation="orthogonal" '
                   'renderorder="right-down" width="120" height="120" tilewidth="32" '
                   'tileheight="32" infinite="0" nextlayerid="5" nextobjectid="1">\n'
                   + tileset + layers + '</map>\n')
        tmx = self.path(name + ".tmx")
        self.tiled.export_map(self.path(name + "-source.tmx"), tmx)
        with open(tmx) as f:
            text = f.read()
        tag = '<data encoding="%s"%s>' % (encoding, ' compression="%s"' % compression
                                          if compression else "")
        self.assertIn(tag, text, "Tiled did not keep the layers' encoding")
        self.assertEqual('source="%s.tsx"' % name in text, external)
        return tmx

    def write(self, name, text):
        with open(self.path(name), "w") as f:
            f.write(text)

    def test_maps_tiled_wrote_look_in_the_editor_as_tiled_draws_them(self):
        maps = [self.tiled_map(0, "csv", "csv"),
                self.tiled_map(1, "base64", "base64"),
                self.tiled_map(2, "zlib", "base64", "zlib"),
                self.tiled_map(3, "gzip", "base64", "gzip"),
                self.tiled_map(4, "external", "csv", external=True)]
        started = self.tiled.start_view(maps[0])
        for i, tmx in enumerate(maps):
            want = self.tiled.view(started)
            if i + 1 < len(maps):
                started = self.tiled.start_view(maps[i + 1])  # drawn while the editor runs
            with self.subTest(map=os.path.basename(tmx)):
                editor = MapEditor(self, tmx)
                try:
                    editor.assert_looks_like(want, os.path.basename(tmx), timeout=5.0)
                finally:
                    editor.prog.stop()  # one program at a time on the display


if __name__ == "__main__":
    unittest.main()
