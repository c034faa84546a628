#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Tarvenloft fuzz targets - writes the seed corpora under corpus/<target>/.

Small valid inputs of every kind each reader takes (the shipped settings and
language files, tiny fonts, tilesets and buttons as BMP and PNG in several
pixel formats, map files in each layer encoding), a few broken ones, and some
of the image and map regression files.
Run it again after changing it; the files are committed.
"""
import base64
import gzip
import os
import shutil
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.normpath(os.path.join(HERE, "..", ".."))
CORPUS = os.path.join(HERE, "corpus")
REPRO = os.path.join(ROOT, "tests", "data", "image-repro")
MAP_REPRO = os.path.join(ROOT, "tests", "data", "map-repro")

PINK = (255, 128, 255)  # turned into the mask colour on loading
MASK = (255, 0, 255)
BLUE = (0, 0, 255)  # width marker of a font glyph


def rle8_rows(rows, width):
    """RLE8 data as ImageMagick writes it: runs, a run over each row's padding, end of line."""
    out = bytearray()
    for row in rows:
        x = 0
        while x < width:
            n = 1
            while x + n < width and n < 255 and row[x + n] == row[x]:
                n += 1
            out += bytes((n, row[x]))
            x += n
        if len(row) > width:
            out += bytes((len(row) - width, 0))
        out += b"\0\0"
    return bytes(out + b"\0\1")


def bmp(width, height, pixel, bits=24, header=40, top_down=False, rle=False):
    """A BMP; pixel(x, y) gives (r, g, b). 8 bits: a palette, and RLE8 rows when rle. 32 bits:
    bit fields in blue-green-red order. Headers longer than 40 bytes end in zeros."""
    palette = []
    rows = []
    for y in (range(height) if top_down else reversed(range(height))):
        row = bytearray()
        for x in range(width):
            rgb = pixel(x, y)
            if bits == 8:
                if rgb not in palette:
                    palette.append(rgb)
                row.append(palette.index(rgb))
            elif bits == 32:
                row += bytes((rgb[0], rgb[1], rgb[2], 0))
            else:
                row += bytes((rgb[2], rgb[1], rgb[0]))
        while len(row) % 4:
            row.append(0)
        rows.append(bytes(row))
    compression = 1 if rle else 3 if bits == 32 else 0
    masks = struct.pack("<III", 0xFF, 0xFF00, 0xFF0000) if bits == 32 else b""
    pal = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    data = rle8_rows(rows, width) if rle else b"".join(rows)
    info = struct.pack("<IiiHHIIiiII", header, width, -height if top_down else height, 1, bits,
                       compression, len(data), 2835, 2835, len(palette), 0) + masks
    info += bytes(max(0, header - len(info)))
    offset = 14 + len(info) + len(pal)
    head = b"BM" + struct.pack("<IHHI", offset + len(data), 0, 0, offset)
    return head + info + pal + data


def chunk(kind, body):
    return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))


def png(width, height, pixel, colour_type=2):
    """A PNG; colour type 2 RGB, 6 RGBA, 3 palette, 0 grey (the red channel)."""
    palette = []
    raw = bytearray()
    for y in range(height):
        raw.append(0)
        for x in range(width):
            r, g, b = pixel(x, y)
            if colour_type == 2:
                raw += bytes((r, g, b))
            elif colour_type == 6:
                raw += bytes((r, g, b, 255))
            elif colour_type == 0:
                raw.append(r)
            else:
                if (r, g, b) not in palette:
                    palette.append((r, g, b))
                raw.append(palette.index((r, g, b)))
    out = b"\x89PNG\r\n\x1a\n"
    out += chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, colour_type, 0, 0, 0))
    if colour_type == 3:
        out += chunk(b"PLTE", b"".join(bytes(c) for c in palette))
    out += chunk(b"IDAT", zlib.compress(bytes(raw), 9))
    return out + chunk(b"IEND", b"")


def font_pixel(w, h):
    """Glyph cells with a marker row above each glyph row: blue at a varying advance."""
    def pixel(x, y):
        col, row = x // w, y // (h + 1)
        cx, cy = x % w, y % (h + 1)
        if cy == h:  # the marker row below glyph row `row` belongs to the next row of glyphs
            return BLUE if cx == (col + row) % w else PINK
        if col == 0:
            return PINK
        return (255, 255, 255) if (cx + cy + col) % 3 == 0 else PINK
    return pixel


def tile_pixel(x, y):
    if x < 32:
        return MASK
    return ((y // 8) * 40 % 256, (x // 8) * 30 % 256, 120) if (x + y) % 5 else PINK


def button_pixel(x, y):
    return (40, 90, 200) if 1 <= x % 15 and 1 <= y % 7 else (255, 255, 255)


TMX_TILESET = (' <tileset firstgid="1" name="001" tilewidth="32" tileheight="48" tilecount="52" '
               'columns="2">\n  <image source="001.png" trans="ff00ff" width="64" '
               'height="1248"/>\n </tileset>\n')


def tmx_ids(layer):
    """A layer's tile ids, row by row: a few terrain values (tile id 2v + 2) among empty cells."""
    return [2 * ((x + layer) % 25 + 1) + 2 if (x * 7 + y * 3 + layer) % 11 == 0 else 0
            for y in range(120) for x in range(120)]


def tmx_data(ids, encoding, compression=""):
    """A <data> element as Tiled writes it; no encoding is the old one-<tile>-per-cell form."""
    if encoding == "csv":
        rows = [",".join(str(i) for i in ids[y * 120:(y + 1) * 120]) for y in range(120)]
        return '<data encoding="csv">\n' + ",\n".join(rows) + "\n</data>"
    if encoding == "":
        return "<data>\n" + "".join('<tile gid="%d"/>' % i if i else "<tile/>" for i in ids) + "\n</data>"
    raw = struct.pack("<14400I", *ids)
    raw = {"zlib": zlib.compress, "gzip": lambda b: gzip.compress(b, mtime=0)}.get(
        compression, lambda b: b)(raw)
    attributes = ' encoding="base64"' + (' compression="%s"' % compression if compression else "")
    return "<data%s>\n   %s\n  </data>" % (attributes, base64.b64encode(raw).decode())


def tmx(layers, tileset=TMX_TILESET, orientation="orthogonal", extra=""):
    """A map as Tiled writes it, with the layers given as (encoding, compression)."""
    body = ""
    for n, (encoding, compression) in enumerate(layers):
        body += (' <layer id="%d" name="Layer %d" width="120" height="120">\n  %s\n </layer>\n'
                 % (n + 1, n + 1, tmx_data(tmx_ids(n), encoding, compression)))
    return ('<?xml version="1.0" encoding="UTF-8"?>\n<map version="1.8" tiledversion="1.8.2" '
            'orientation="%s" renderorder="right-down" width="120" height="120" '
            'tilewidth="32" tileheight="32" infinite="0" nextlayerid="%d" nextobjectid="1">\n'
            % (orientation, len(layers) + 1) + tileset + body + extra + "</map>\n").encode()


def write(target, name, data):
    folder = os.path.join(CORPUS, target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def repro(name, folder=REPRO):
    with open(os.path.join(folder, name), "rb") as f:
        return f.read()


def main():
    shutil.rmtree(CORPUS, ignore_errors=True)
    runtime = os.path.join(ROOT, "runtime")

    with open(os.path.join(runtime, "data", "settings.ini"), "rb") as f:
        write("settings", "shipped.ini", f.read())
    write("settings", "all_keys.ini", b"WindowedMode ON\nDebugMode ON\nLanguage SW\n")
    write("settings", "crlf_comment.ini", b"# note\r\nWindowedMode OFF\r\n#\tLanguage DU\r\n")
    write("settings", "key_at_end.ini", b"DebugMode OFF Language")
    write("settings", "long_token.ini", b"Language " + b"X" * 1300 + b"DebugMode ON\n")

    for code in ("EN", "SW", "DU", "SP"):
        with open(os.path.join(runtime, "system", "text", code, "map_editor.txt"), "rb") as f:
            text = f.read()
        write("language", code.lower() + ".txt", text)
    write("language", "crlf.txt", text.replace(b"\n", b"\r\n"))
    write("language", "open_entry.txt", b"[quit] Quit^\n[save] Save\nMap")
    write("language", "open_key.txt", b"# c\r[help Help^")
    write("language", "empty_key.txt", b"[] nothing^[x]^\n\n[y]   two\nlines^")

    for w, h in ((2, 2), (4, 4), (3, 2)):
        size = (17 * w, 17 * (h + 1) - 1)
        layout = bytes(((w - 1) | ((h - 1) << 3),))
        name = "%dx%d" % (w, h)
        write("font", name + "_rgb.png", layout + png(*size, font_pixel(w, h), 2))
        write("font", name + "_8bit.bmp", layout + bmp(*size, font_pixel(w, h), 8))
    write("font", "2x2_palette.png", b"\x09" + png(34, 50, font_pixel(2, 2), 3))
    write("font", "2x2_24bit.bmp", b"\x09" + bmp(34, 50, font_pixel(2, 2), 24))
    write("font", "2x2_rle8.bmp", b"\x09" + bmp(34, 50, font_pixel(2, 2), 8, rle=True))
    write("font", "too_small.png", b"\x1b" + png(34, 50, font_pixel(2, 2), 2))
    write("font", "truncated.png", b"\x09" + png(34, 50, font_pixel(2, 2), 2)[:-30])
    write("font", "repro_rle8.bmp", b"\x09" + repro("bmp_rle8_run_past_width_heap_corruption.bmp"))

    write("tileset", "64x96_rgb.png", png(64, 96, tile_pixel, 2))
    write("tileset", "64x144_rgba.png", png(64, 144, tile_pixel, 6))
    write("tileset", "64x96_palette.png", png(64, 96, tile_pixel, 3))
    write("tileset", "64x96_8bit.bmp", bmp(64, 96, tile_pixel, 8))
    write("tileset", "63x96_rle8.bmp", bmp(63, 96, tile_pixel, 8, rle=True))
    write("tileset", "64x96_v5_top_down.bmp", bmp(64, 96, tile_pixel, 24, 124, top_down=True))
    write("tileset", "40x60_grey.png", png(40, 60, tile_pixel, 0))
    write("tileset", "bad_crc.png", png(64, 96, tile_pixel, 2)[:40] + b"\0\0\0\0"
          + png(64, 96, tile_pixel, 2)[44:])
    write("tileset", "repro_negative_height.bmp", repro("bmp_negative_height_segv_in_load_bmp_pf.bmp"))
    write("tileset", "repro_exif.png", repro("png_46_bytes_eXIf_malloc_1.9GB.png"))

    write("button", "16x8_rgb.png", png(16, 8, button_pixel, 2))
    write("button", "30x14_palette.png", png(30, 14, button_pixel, 3))
    write("button", "24x12_24bit.bmp", bmp(24, 12, button_pixel, 24))
    write("button", "24x12_v4_fields.bmp", bmp(24, 12, button_pixel, 32, 108))
    write("button", "1x1_8bit.bmp", bmp(1, 1, button_pixel, 8))
    write("button", "not_an_image.png", b"GIF89a\x01\x00\x01\x00")
    write("button", "repro_truncated_idat.png", repro("png_truncated_idat_bitmap_leak.png"))
    write("button", "repro_rle4.bmp", repro("bmp_rle4_heap_overflow.bmp"))

    write("map", "csv_1_layer.tmx", tmx([("csv", "")]))
    kept = tmx([("csv", "")], extra=' <objectgroup id="2" name="Things">\n  <object id="1" x="3" '
               'y="4"/>\n </objectgroup>\n').replace(b"<map ", b"<!-- kept -->\n<map odd='1' ")
    write("map", "csv_crlf_kept_parts.tmx", kept.replace(b"\n", b"\r\n"))
    write("map", "base64_1_layer.tmx", tmx([("base64", "")]))
    write("map", "zlib_4_layers.tmx", tmx([("base64", "zlib")] * 4))
    write("map", "gzip_2_layers.tmx", tmx([("base64", "gzip"), ("base64", "zlib")]))
    write("map", "tiles_1_layer.tmx", tmx([("", "")]))
    write("map", "external_tileset.tmx",
          tmx([("base64", "zlib")], tileset=' <tileset firstgid="1" source="shared.tsx"/>\n'))
    write("map", "broken_tileset.tmx",
          tmx([("base64", "zlib")], tileset=' <tileset firstgid="1" source="broken.tsx"/>\n'))
    write("map", "zstd.tmx", tmx([("base64", "zlib")]).replace(b"zlib", b"zstd"))
    write("map", "isometric.tmx", tmx([("base64", "gzip")], orientation="isometric"))
    write("map", "group.tmx", tmx([("base64", "zlib")]).replace(b" <layer", b" <group id=\"9\">\n <layer")
          .replace(b"</map>", b"</group>\n</map>"))
    write("map", "repro_firstgid_flag_bits.tmx", repro("firstgid_flag_bits.tmx", MAP_REPRO))


if __name__ == "__main__":
    main()
