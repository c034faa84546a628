#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Tarvenloft's map files against Tiled itself (Debian's tiled, headless).

Our writer's files must open in Tiled with every cell as written, and the
files Tiled writes (CSV, base64 plain, zlib and gzip, an external tileset)
must read in our reader with every cell as Tiled holds it; a file that Tiled
wrote and our writer changed in place must open in Tiled again, each layer in
its encoding. tmx_tool (TMX_TOOL) drives our reader and writer; Tiled's
command line reads a map and writes it again (--export-map), as TMX or as
JSON, which is read here.

Two patterns of terrain values: OURS is the one tmx_tool writes,
(7l + 3x + 5y) % 26 for layer l, column x, row y; THEIRS, (11l + x + 2y) % 26,
is put into the sources that Tiled rewrites. Terrain value v is tile id
firstgid + 2v + 1, 0 an empty cell.
"""
import base64
import gzip
import json
import os
import re
import shutil
import struct
import subprocess
import tempfile
import unittest
import zlib

TOOL = os.environ.get("TMX_TOOL", "")
RUNTIME = os.environ.get("TARVENLOFT_RUNTIME", "")
SIDE = 120
LAYERS = 4


def ours(l, x, y):
    return (7 * l + 3 * x + 5 * y) % 26


def theirs(l, x, y):
    return (11 * l + x + 2 * y) % 26


def gid(v, firstgid=1):
    return 0 if v == 0 else firstgid + 2 * v + 1


def csv_data(gids):
    """CSV as Tiled writes it."""
    rows = [",".join(str(g) for g in gids[y * SIDE:(y + 1) * SIDE]) for y in range(SIDE)]
    return "\n" + ",\n".join(rows) + "\n"


def base64_data(gids, compression):
    raw = struct.pack("<%dI" % len(gids), *gids)
    if compression == "zlib":
        raw = zlib.compress(raw)
    elif compression == "gzip":
        raw = gzip.compress(raw)
    return "\n   " + base64.b64encode(raw).decode() + "\n  "


def layer_gids(pattern, l, firstgid=1):
    return [gid(pattern(l, x, y), firstgid) for y in range(SIDE) for x in range(SIDE)]


def source_map(encoding, compression="", tileset=None, firstgid=1):
    """A TMX source with the pattern THEIRS in four layers, in one encoding."""
    if tileset is None:
        tileset = (' <tileset firstgid="%d" name="001" tilewidth="32" tileheight="48" '
                   'tilecount="52" columns="2">\n'
                   '  <image source="001.png" trans="ff00ff" width="64" height="1248"/>\n'
                   ' </tileset>\n' % firstgid)
    attributes = ' encoding="%s"' % encoding
    if compression:
        attributes += ' compression="%s"' % compression
    layers = ""
    for l in range(LAYERS):
        gids = layer_gids(theirs, l, firstgid)
        data = csv_data(gids) if encoding == "csv" else base64_data(gids, compression)
        layers += (' <layer id="%d" name="Ground %d" width="120" height="120">\n'
                   '  <data%s>%s</data>\n </layer>\n' % (l + 1, l + 1, attributes, data))
    return ('<?xml version="1.0" encoding="UTF-8"?>\n'
            '<map version="1.8" tiledversion="1.8.2" orientation="orthogonal" '
            'renderorder="right-down" width="120" height="120" tilewidth="32" tileheight="32" '
            'infinite="0" nextlayerid="5" nextobjectid="1">\n' + tileset + layers + '</map>\n')


def decode_json_layer(layer):
    """The tile ids of a layer of Tiled's JSON export, in whatever encoding it holds them."""
    data = layer["data"]
    if layer.get("encoding", "csv") == "csv":
        return data
    raw = base64.b64decode(data)
    compression = layer.get("compression", "")
    if compression == "zlib":
        raw = zlib.decompress(raw)
    elif compression == "gzip":
        raw = gzip.decompress(raw)
    return list(struct.unpack("<%dI" % (len(raw) // 4), raw))


class TiledInterop(unittest.TestCase):
    def setUp(self):
        self.assertTrue(TOOL and os.access(TOOL, os.X_OK), "TMX_TOOL names no program")
        self.assertTrue(shutil.which("tiled"), "tiled is not installed (./install-deps.sh tests)")
        self.dir = tempfile.mkdtemp(prefix="tarvenloft-tiled-")
        self.addCleanup(shutil.rmtree, self.dir, True)
        xdg = os.path.join(self.dir, "xdg")
        os.mkdir(xdg, 0o700)
        self.env = dict(os.environ, QT_QPA_PLATFORM="offscreen", XDG_RUNTIME_DIR=xdg,
                        HOME=self.dir)

    def path(self, name):
        return os.path.join(self.dir, name)

    def read(self, path):
        with open(path, newline="") as f:
            return f.read()

    def write(self, name, text):
        with open(self.path(name), "w", newline="") as f:
            f.write(text)

    def tiled_export(self, source, target):
        done = subprocess.run(["tiled", "--export-map", source, target], env=self.env,
                              capture_output=True, text=True, timeout=60)
        self.assertEqual(done.returncode, 0, "Tiled could not export %s: %s%s"
                         % (source, done.stdout, done.stderr))

    def tool(self, command, tmx, cwd=None, more=()):
        done = subprocess.run([TOOL, command, tmx] + list(more), cwd=cwd or self.dir,
                              capture_output=True, text=True, timeout=60)
        self.assertEqual(done.returncode, 0, "tmx_tool %s: %s" % (command, done.stderr))
        return done.stdout

    def assert_tiled_holds(self, tmx, pattern):
        """Tiled opens tmx with the pattern in all four layers; returns the JSON layers."""
        target = os.path.splitext(tmx)[0] + "-export.json"
        self.tiled_export(tmx, target)
        with open(target) as f:
            exported = json.load(f)
        (tileset,) = exported["tilesets"]
        layers = [layer for layer in exported["layers"] if layer["type"] == "tilelayer"]
        self.assertEqual(len(layers), LAYERS)
        for l, layer in enumerate(layers):
            want = layer_gids(pattern, l, tileset["firstgid"])
            self.assertEqual(decode_json_layer(layer), want, "layer %d of %s" % (l + 1, tmx))
        return exported

    def assert_we_read(self, tmx, pattern):
        lines = self.tool("read", tmx).splitlines()
        self.assertEqual(len(lines), LAYERS * SIDE)
        for line in lines:
            l, y, values = line.split(" ")
            l, y = int(l), int(y)
            want = [pattern(l, x, y) for x in range(SIDE)]
            self.assertEqual([int(v) for v in values.split(",")], want, "layer %d row %d" % (l, y))

    def test_a_new_map_from_our_writer_opens_in_tiled(self):
        os.mkdir(self.path("maps"))
        tmx = self.path("maps/new.tmx")
        self.tool("write", tmx, cwd=RUNTIME)
        exported = self.assert_tiled_holds(tmx, ours)
        (tileset,) = exported["tilesets"]
        self.assertEqual((tileset["name"], tileset["columns"], tileset["tilecount"]), ("001", 2, 52))
        self.assertEqual((tileset["tilewidth"], tileset["tileheight"]), (32, 48))
        # The image is named relative to the map's directory, and is the tileset the editor loads.
        image = os.path.normpath(os.path.join(self.path("maps"), tileset["image"]))
        self.assertFalse(os.path.isabs(tileset["image"]))
        self.assertEqual(image, os.path.join(RUNTIME, "system/images/tilesets/001.png"))

    def tiled_written(self, name, source_text):
        """A map that Tiled wrote: source_text exported by Tiled as TMX."""
        self.write(name + "-source.tmx", source_text)
        tmx = self.path(name + ".tmx")
        self.tiled_export(self.path(name + "-source.tmx"), tmx)
        return tmx

    def test_maps_tiled_wrote_read_and_write_back_in_each_encoding(self):
        for encoding, compression in (("csv", ""), ("base64", ""), ("base64", "zlib"),
                                      ("base64", "gzip")):
            with self.subTest(encoding=encoding, compression=compression):
                name = "tiled-%s%s" % (encoding, compression)
                tmx = self.tiled_written(name, source_map(encoding, compression))
                tag = '<data encoding="%s"%s>' % (
                    encoding, ' compression="%s"' % compression if compression else "")
                self.assertTrue(tag in self.read(tmx), "Tiled did not write " + tag)
                self.assert_we_read(tmx, theirs)
                self.tool("rewrite", tmx)
                for layer in self.assert_tiled_holds(tmx, ours)["layers"]:
                    self.assertEqual(layer.get("encoding", "csv"), encoding)
                    self.assertEqual(layer.get("compression", ""), compression)

    def test_a_map_tiled_wrote_with_an_external_tileset(self):
        self.write("terrain-source.tsx",
                   '<?xml version="1.0" encoding="UTF-8"?>\n'
                   '<tileset version="1.8" tiledversion="1.8.2" name="001" tilewidth="32" '
                   'tileheight="48" tilecount="52" columns="2">\n'
                   ' <image source="001.png" trans="ff00ff" width="64" height="1248"/>\n'
                   '</tileset>\n')
        done = subprocess.run(["tiled", "--export-tileset", self.path("terrain-source.tsx"),
                               self.path("terrain.tsx")], env=self.env, capture_output=True,
                              text=True, timeout=60)
        self.assertEqual(done.returncode, 0, done.stderr)
        # Tiled renumbers a lone tileset from firstgid 1 as it writes the map; ours starts at 7.
        tileset = ' <tileset firstgid="7" source="terrain.tsx"/>\n'
        tmx = self.tiled_written("external", source_map("csv", tileset=tileset, firstgid=7))
        self.assertTrue(re.search(r'<tileset firstgid="\d+" source="terrain.tsx"/>', self.read(tmx)),
                        "Tiled did not keep the tileset external")
        self.assert_we_read(tmx, theirs)
        self.tool("rewrite", tmx)
        self.assert_tiled_holds(tmx, ours)

    def rasterize(self, tmx):
        """The map as Tiled's tmxrasterizer draws it, PNG bytes."""
        png = os.path.splitext(tmx)[0] + "-raster.png"
        done = subprocess.run(["tmxrasterizer", tmx, png], env=self.env, capture_output=True,
                              text=True, timeout=60)
        self.assertEqual(done.returncode, 0, "tmxrasterizer %s: %s" % (tmx, done.stderr))
        with open(png, "rb") as f:
            return f.read()

    def test_a_map_saved_into_another_folder_still_finds_its_files(self):
        # An external tileset and an image layer in art/, a map in maps/ that Tiled wrote.
        os.makedirs(self.path("art"))
        os.makedirs(self.path("maps"))
        shutil.copy(os.path.join(RUNTIME, "system/images/tilesets/001.png"), self.path("art"))
        self.write("art/terrain.tsx",
                   '<?xml version="1.0" encoding="UTF-8"?>\n'
                   '<tileset version="1.8" tiledversion="1.8.2" name="001" tilewidth="32" '
                   'tileheight="48" tilecount="52" columns="2">\n'
                   ' <image source="001.png" trans="ff00ff" width="64" height="1248"/>\n'
                   '</tileset>\n')
        source = source_map("csv", tileset=' <tileset firstgid="1" source="../art/terrain.tsx"/>\n')
        source = source.replace("</map>", ' <imagelayer id="9" name="Sky" offsetx="700" '
                                          'offsety="40">\n  <image source="../art/001.png" '
                                          'width="64" height="1248"/>\n </imagelayer>\n</map>')
        tmx = self.tiled_written("maps/m", source)
        self.tool("rewrite", tmx)
        saved = self.path("elsewhere/deeper/copy.tmx")
        os.makedirs(os.path.dirname(saved))
        self.tool("saveas", tmx, more=[saved])
        text = self.read(saved)
        for reference in ('source="../../art/terrain.tsx"', '<image source="../../art/001.png"'):
            self.assertTrue(reference in text, "no %s in the file saved elsewhere" % reference)
        self.assertTrue(text.replace("../../art/", "../art/") == self.read(tmx),
                        "more than the references changed")
        # Tiled finds the tileset and the image from the new folder: the same picture, which
        # the old references, leading nowhere from there, would not give.
        picture = self.rasterize(saved)
        self.assertEqual(picture, self.rasterize(tmx))
        self.write("elsewhere/deeper/unmoved.tmx", self.read(tmx))
        self.assertNotEqual(self.rasterize(self.path("elsewhere/deeper/unmoved.tmx")), picture)
        self.assert_tiled_holds(saved, ours)


if __name__ == "__main__":
    unittest.main()
