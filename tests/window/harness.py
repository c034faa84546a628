# SPDX-License-Identifier: MIT
"""Real-window test harness for Tarvenloft.

Runs the built program in a private Xvfb display, in a scratch copy of the
runtime directory, and drives it the way a user would: xdotool moves the
pointer, presses and releases mouse buttons and keys, and ImageMagick's
`import` reads the window's pixels (xwd those of the whole screen), which are
parsed here in pure Python.

Every Xvfb server and every program started here is stopped again: by the
test's cleanup, by an exit handler, and (should the test runner itself be
killed, e.g. on a CTest timeout) by the kernel through PR_SET_PDEATHSIG.

Environment:
  TARVENLOFT_BINARY         the built program (default: build/tarvenloft of the repo)
  TARVENLOFT_RUNTIME        the runtime directory to copy (default: runtime/ of the repo)
  TARVENLOFT_CLOSE_REQUEST  the helper that sends the window manager's close request
                            (default: build/tests/close_request of the repo)
"""

import atexit
import ctypes
import os
import re
import select
import shutil
import signal
import struct
import subprocess
import tempfile
import time
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.dirname(os.path.dirname(HERE))
BINARY = os.environ.get("TARVENLOFT_BINARY") or os.path.join(REPO, "build", "tarvenloft")
RUNTIME = os.environ.get("TARVENLOFT_RUNTIME") or os.path.join(REPO, "runtime")
CLOSE_REQUEST = (os.environ.get("TARVENLOFT_CLOSE_REQUEST")
                 or os.path.join(REPO, "build", "tests", "close_request"))

# The program's window title; message boxes under Wine carry it too.
WINDOW_NAME = "Tarvenloft"
# The title of the program's window: with a map file, the file's name comes first.
TITLE_PATTERN = "^(.+ - )?%s$" % WINDOW_NAME
SCREEN_W, SCREEN_H = 640, 480

# Mouse and key events are held this long, so that several 60 fps frames see them.
HOLD = 0.1
# Pause after a release, so that the frame which acts on it has run.
SETTLE = 0.05

XVFB_GEOMETRY = "1024x768x24"

_live_processes = []


def _die_with_parent():
    """preexec_fn: have the kernel kill the child when the test runner dies."""
    try:
        libc = ctypes.CDLL("libc.so.6", use_errno=True)
        libc.prctl(1, signal.SIGKILL)  # PR_SET_PDEATHSIG
    except OSError:
        pass


def _stop_process(proc, grace=3.0):
    """Terminates a child politely, then by force; always reaps it."""
    if proc.poll() is None:
        try:
            proc.terminate()
            proc.wait(timeout=grace)
        except subprocess.TimeoutExpired:
            proc.kill()
            proc.wait()
    if proc in _live_processes:
        _live_processes.remove(proc)


def _stop_all():
    for proc in list(_live_processes):
        _stop_process(proc, grace=1.0)


atexit.register(_stop_all)


def _sigterm(signum, frame):
    # Turn SIGTERM into a normal exit so that the exit handler stops our children.
    raise SystemExit(128 + signum)


signal.signal(signal.SIGTERM, _sigterm)


def _spawn(args, **kwargs):
    proc = subprocess.Popen(args, preexec_fn=_die_with_parent, **kwargs)
    _live_processes.append(proc)
    return proc


class Image:
    """An RGB picture: width, height and row-major bytes, three per pixel."""

    def __init__(self, width, height, data):
        self.width = width
        self.height = height
        self.data = data

    def pixel(self, x, y):
        o = (y * self.width + x) * 3
        return tuple(self.data[o:o + 3])

    def crop(self, x0, y0, x1, y1):
        """Bytes of the box x0 <= x < x1, y0 <= y < y1, row by row."""
        rows = []
        for y in range(y0, y1):
            o = (y * self.width + x0) * 3
            rows.append(self.data[o:o + (x1 - x0) * 3])
        return b"".join(rows)

    def pixels(self, x0, y0, x1, y1):
        """Every (r, g, b) of the box x0 <= x < x1, y0 <= y < y1."""
        raw = self.crop(x0, y0, x1, y1)
        return [tuple(raw[i:i + 3]) for i in range(0, len(raw), 3)]

    def count(self, box, predicate):
        return sum(1 for p in self.pixels(*box) if predicate(p))

    def lit(self, box, threshold=24):
        """Number of pixels in the box brighter than near-black."""
        return self.count(box, lambda p: max(p) > threshold)

    def brightness(self, box):
        """Sum of all channel values in the box."""
        return sum(self.crop(*box))


def parse_ppm(raw):
    """Parses a binary PPM (P6) with maxval 255 or 65535 into an Image."""
    fields = []
    pos = 0
    while len(fields) < 4:
        while raw[pos:pos + 1].isspace():
            pos += 1
        if raw[pos:pos + 1] == b"#":
            pos = raw.index(b"\n", pos) + 1
            continue
        end = pos
        while not raw[end:end + 1].isspace():
            end += 1
        fields.append(raw[pos:end])
        pos = end
    if fields[0] != b"P6":
        raise ValueError("not a binary PPM: %r" % fields[0])
    width, height, maxval = int(fields[1]), int(fields[2]), int(fields[3])
    body = raw[pos + 1:]
    if maxval > 255:
        body = body[0::2]  # keep the high byte of each 16-bit sample
    if len(body) < width * height * 3:
        raise ValueError("short PPM body")
    return Image(width, height, bytes(body[:width * height * 3]))


class XServer:
    """A private Xvfb display; a context manager that always stops the server."""

    def __init__(self, geometry=XVFB_GEOMETRY, black_root=False):
        self.geometry = geometry
        self.black_root = black_root  # -br: a black root window instead of the grey pattern
        self.proc = None
        self.display = None

    def start(self, timeout=10.0):
        rfd, wfd = os.pipe()
        try:
            # -displayfd: the server picks a free display number and writes it once it
            # accepts connections, so parallel tests never share a display. -noreset: the
            # server would otherwise reset whenever its last client leaves (between two
            # runs of the program, or after each xdotool call) and refuse connections
            # meanwhile.
            self.proc = _spawn(
                ["Xvfb", "-displayfd", str(wfd), "-screen", "0", self.geometry]
                + (["-br"] if self.black_root else []) + ["-nolisten", "tcp", "-noreset"],
                pass_fds=(wfd,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        finally:
            os.close(wfd)
        buf = b""
        deadline = time.monotonic() + timeout
        try:
            while not buf.endswith(b"\n"):
                left = deadline - time.monotonic()
                ready, _, _ = select.select([rfd], [], [], max(left, 0))
                if not ready:
                    raise RuntimeError("Xvfb did not report a display within %.0f s" % timeout)
                chunk = os.read(rfd, 64)
                if not chunk:
                    raise RuntimeError("Xvfb exited before reporting a display")
                buf += chunk
        except BaseException:
            self.stop()
            raise
        finally:
            os.close(rfd)
        self.display = ":" + buf.decode().strip()
        return self

    def stop(self):
        if self.proc is not None:
            _stop_process(self.proc)
            self.proc = None

    def env(self):
        env = dict(os.environ)
        env["DISPLAY"] = self.display
        return env

    def __enter__(self):
        return self.start()

    def __exit__(self, *exc):
        self.stop()
        return False


# --- the whole screen, outside any one program ----------------------------------------------


def xdotool(xserver, *args, check=True, timeout=10.0):
    """Runs xdotool on the display with the arguments (numbers are turned into text)."""
    res = subprocess.run(["xdotool"] + [str(a) for a in args], env=xserver.env(),
                         capture_output=True, text=True, timeout=timeout)
    if check and res.returncode != 0:
        raise RuntimeError("xdotool %s failed: %s"
                           % (" ".join(str(a) for a in args), res.stderr.strip()))
    return res


def parse_xwd(raw):
    """Parses an xwd dump of a 24-bit Xvfb (pixels of 32 or of 24 bits) into an Image."""
    fields = struct.unpack(">25I", raw[:100])
    header_size, width, height = fields[0], fields[4], fields[5]
    byte_order, bits_per_pixel, bytes_per_line = fields[7], fields[11], fields[12]
    masks, ncolors = fields[14:17], fields[19]
    if bits_per_pixel not in (24, 32):
        raise ValueError("unexpected xwd format: %d bits per pixel" % bits_per_pixel)
    size = bits_per_pixel // 8
    order = "little" if byte_order == 0 else "big"
    start = header_size + ncolors * 12
    shifts = [(mask & -mask).bit_length() - 1 for mask in masks]
    data = bytearray(width * height * 3)
    for y in range(height):
        line = raw[start + y * bytes_per_line:start + y * bytes_per_line + width * size]
        values = [int.from_bytes(line[i:i + size], order) for i in range(0, len(line), size)]
        row = y * width * 3
        for c in range(3):
            data[row + c:row + width * 3:3] = bytes((v & masks[c]) >> shifts[c] for v in values)
    return Image(width, height, bytes(data))


def root_screenshot(xserver):
    """The whole screen (the root window and all on it), read with xwd."""
    res = subprocess.run(["xwd", "-root", "-silent"], env=xserver.env(), capture_output=True,
                         timeout=10.0)
    if res.returncode != 0 or not res.stdout:
        raise RuntimeError("screenshot failed: %s" % res.stderr.decode(errors="replace"))
    return parse_xwd(res.stdout)


def top_windows(xserver):
    """The root's children as {id: (width, height)}, mapped or not."""
    out = subprocess.run(["xwininfo", "-root", "-children"], env=xserver.env(), check=True,
                         capture_output=True, timeout=10.0).stdout.decode(errors="replace")
    pattern = re.compile(
        r"\s*(0x[0-9a-fA-F]+) .*\s(\d+)x(\d+)[+-]-?\d+[+-]-?\d+\s+[+-]-?\d+[+-]-?\d+\s*$")
    windows = {}
    for line in out.splitlines():
        match = pattern.match(line)
        if match:
            windows[int(match.group(1), 16)] = (int(match.group(2)), int(match.group(3)))
    return windows


def is_viewable(xserver, window):
    """True when the window and all its ancestors are mapped."""
    out = subprocess.run(["xwininfo", "-id", str(window)], env=xserver.env(), check=True,
                         capture_output=True, timeout=10.0).stdout.decode(errors="replace")
    return "IsViewable" in out


def focused_window(xserver):
    """The id of the window that has the input focus, or None."""
    out = xdotool(xserver, "getwindowfocus", check=False).stdout.strip()
    return int(out) if out.isdigit() else None


class OtherClient:
    """A small window of another X client (xclock), to take the focus away from the program:
    xdotool("windowfocus", other.window). Started with the display, stopped by close()."""

    def __init__(self, xserver, geometry="100x100+0+0", timeout=10.0):
        before = top_windows(xserver)
        self.proc = _spawn(["xclock", "-geometry", geometry], env=xserver.env(),
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        deadline = time.monotonic() + timeout
        self.window = None
        while self.window is None and time.monotonic() < deadline:
            fresh = [wid for wid in top_windows(xserver) if wid not in before]
            self.window = fresh[0] if fresh else None
            time.sleep(0.1)
        if self.window is None:
            self.close()
            raise RuntimeError("xclock's window did not appear")

    def close(self):
        _stop_process(self.proc)


class Program:
    """The program under test, run in a scratch copy of the runtime directory."""

    def __init__(self, xserver=None, runtime=RUNTIME, binary=BINARY):
        self.xserver = xserver
        self.binary = binary
        self.tmp = tempfile.mkdtemp(prefix="tarvenloft-window-")
        self.root = os.path.join(self.tmp, "run")
        if os.path.isdir(runtime):
            shutil.copytree(runtime, self.root)
        else:
            os.makedirs(self.root)
        os.makedirs(os.path.join(self.root, "data"), exist_ok=True)
        # An empty PATH directory: without xmessage, allegro_message writes its text to the
        # console instead of waiting for someone to close a message box.
        self.bindir = os.path.join(self.tmp, "bin")
        os.makedirs(self.bindir)
        # A home of its own, so that what the program keeps for its user (the last map, the
        # maps folder) stays in the scratch directory.
        self.home = os.path.join(self.tmp, "home")
        os.makedirs(self.home)
        self.proc = None
        self.window = None
        self.returncode = None
        self._held_keys = set()
        self._held_buttons = set()

    # --- scratch runtime -------------------------------------------------------------------

    def path(self, relpath):
        return os.path.join(self.root, relpath)

    def write_settings(self, windowed=True, debug=None, language=None, extra=""):
        """Writes data/settings.ini; None leaves a setting out of the file."""
        lines = []
        if windowed is not None:
            lines.append("WindowedMode %s" % ("ON" if windowed else "OFF"))
        if debug is not None:
            lines.append("DebugMode %s" % ("ON" if debug else "OFF"))
        if language is not None:
            lines.append("Language %s" % language)
        text = "\n".join(lines) + "\n" + extra
        with open(self.path("data/settings.ini"), "w") as f:
            f.write(text)

    def remove(self, relpath):
        p = self.path(relpath)
        if os.path.exists(p):
            os.remove(p)

    # --- running ---------------------------------------------------------------------------

    def start(self, env_overrides=None, unset=(), cwd=None, args=()):
        """Starts the program in the scratch runtime, or in cwd if given, with the
        command-line arguments args."""
        env = self.xserver.env() if self.xserver else dict(os.environ)
        env["PATH"] = self.bindir
        env["HOME"] = self.home
        for name in ("XDG_STATE_HOME", "XDG_CONFIG_HOME", "XDG_DOCUMENTS_DIR"):
            env.pop(name, None)
        env.update(env_overrides or {})
        for name in unset:
            env.pop(name, None)
        for f in (getattr(self, "_out", None), getattr(self, "_err", None)):
            if f is not None:
                f.close()  # of an earlier run
        self._out = open(os.path.join(self.tmp, "stdout"), "wb")
        self._err = open(os.path.join(self.tmp, "stderr"), "wb")
        self.proc = _spawn([self.binary] + list(args), cwd=cwd or self.root, env=env,
                           stdin=subprocess.DEVNULL, stdout=self._out, stderr=self._err)
        return self

    def running(self):
        return self.proc is not None and self.proc.poll() is None

    def wait_exit(self, timeout=10.0):
        """Waits for the program to end and returns its exit status (None on timeout)."""
        try:
            self.returncode = self.proc.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            return None
        return self.returncode

    def _read(self, name):
        try:
            with open(os.path.join(self.tmp, name), "rb") as f:
                return f.read().decode("latin-1")
        except OSError:
            return ""

    @property
    def stdout(self):
        return self._read("stdout")

    @property
    def stderr(self):
        return self._read("stderr")

    def describe(self):
        """Exit state and output, for failure messages."""
        state = "running" if self.running() else "exited with %r" % self.proc.poll()
        if self.running():
            try:
                state += " (the menu %s on screen)" % ("is" if menu_shown(self.screenshot())
                                                        else "is not")
            except Exception as e:  # the failure message matters more than this detail
                state += " (no screenshot: %s)" % e
        return "program %s; stdout=%r; stderr=%r" % (state, self.stdout[-500:],
                                                      self.stderr[-500:])

    def stop(self):
        """Lets go of held input, stops the program and removes the scratch copy."""
        if self.proc is not None:
            if self.xserver and self.xserver.proc and self.running():
                for k in list(self._held_keys):
                    self._xdo("keyup", k, check=False)
                for b in list(self._held_buttons):
                    self._xdo("mouseup", str(b), check=False)
            _stop_process(self.proc, grace=1.0)
            for f in (self._out, self._err):
                f.close()
        shutil.rmtree(self.tmp, ignore_errors=True)

    # --- the window ------------------------------------------------------------------------

    def _xdo(self, *args, check=True, timeout=10.0):
        res = subprocess.run(["xdotool"] + list(args), env=self.xserver.env(),
                             capture_output=True, text=True, timeout=timeout)
        if check and res.returncode != 0:
            raise RuntimeError("xdotool %s failed: %s" % (" ".join(args), res.stderr.strip()))
        return res

    def find_window(self, timeout=10.0):
        """Waits for the program's visible window and returns its id, or None if the
        program ended first."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            res = self._xdo("search", "--onlyvisible", "--name", TITLE_PATTERN, check=False)
            ids = res.stdout.split()
            if ids:
                self.window = ids[-1]
                self._xdo("windowfocus", self.window, check=False)
                return self.window
            if not self.running():
                return None
            time.sleep(0.05)
        raise AssertionError("no window named %r within %.0f s; %s"
                             % (WINDOW_NAME, timeout, self.describe()))

    def request_close(self):
        """Sends the window what a window manager sends for its close button (or Alt+F4)."""
        res = subprocess.run([CLOSE_REQUEST, self.window], env=self.xserver.env(),
                             capture_output=True, text=True, timeout=10.0)
        if res.returncode != 0:
            raise RuntimeError("close_request failed: %s" % res.stderr.strip())

    def properties(self):
        """The window's X properties as xprop shows them: {name: value text}."""
        out = subprocess.run(["xprop", "-id", self.window], env=self.xserver.env(),
                             capture_output=True, text=True, timeout=10.0).stdout
        props = {}
        for line in out.splitlines():
            if " = " in line and "(" in line.split(" = ", 1)[0]:
                name, value = line.split(" = ", 1)
                props[name.split("(", 1)[0]] = value
        return props

    def geometry(self):
        """(x, y, width, height) of the window."""
        out = self._xdo("getwindowgeometry", "--shell", self.window).stdout
        vals = dict(line.split("=", 1) for line in out.split() if "=" in line)
        return int(vals["X"]), int(vals["Y"]), int(vals["WIDTH"]), int(vals["HEIGHT"])

    def screenshot(self):
        res = subprocess.run(["import", "-silent", "-window", self.window, "-depth", "8",
                              "ppm:-"], env=self.xserver.env(), capture_output=True,
                             timeout=10.0)
        if res.returncode != 0 or not res.stdout:
            raise RuntimeError("screenshot failed: %s" % res.stderr.decode(errors="replace"))
        return parse_ppm(res.stdout)

    def wait_for(self, predicate, timeout=5.0, what="condition", retry=None):
        """Polls screenshots until predicate(image) holds; returns that image. retry, if
        given, is called before every poll after the first (e.g. to repeat a pointer move
        that a program still starting up may have missed)."""
        deadline = time.monotonic() + timeout
        last_error = None
        first = True
        while True:
            if retry is not None and not first:
                retry()
            first = False
            if not self.running():
                raise AssertionError("waiting for %s: %s" % (what, self.describe()))
            try:
                img = self.screenshot()
                if predicate(img):
                    return img
            except RuntimeError as e:  # window not yet mapped or just gone
                last_error = e
            if time.monotonic() > deadline:
                raise AssertionError("timed out after %.1f s waiting for %s (%s); %s"
                                     % (timeout, what, last_error, self.describe()))
            time.sleep(0.05)

    def settled_screenshot(self, box=None, timeout=3.0):
        """A screenshot taken once two in a row agree (on the box, if given), so that it
        does not show a frame half-way through a change."""
        last = self.screenshot()
        deadline = time.monotonic() + timeout
        while True:
            time.sleep(0.05)
            img = self.screenshot()
            a = last.crop(*box) if box else last.data
            b = img.crop(*box) if box else img.data
            if a == b or time.monotonic() > deadline:
                return img
            last = img

    # --- input -----------------------------------------------------------------------------

    def move(self, x, y):
        """Moves the pointer to (x, y) of the window's client area."""
        self._xdo("mousemove", "--window", self.window, str(x), str(y))
        time.sleep(SETTLE)

    def mouse_down(self, button=1):
        self._xdo("mousedown", str(button))
        self._held_buttons.add(button)

    def mouse_up(self, button=1):
        self._xdo("mouseup", str(button))
        self._held_buttons.discard(button)

    def click(self, x, y, button=1):
        """Presses and releases a mouse button over (x, y), long enough for frames to see."""
        self.move(x, y)
        self.mouse_down(button)
        time.sleep(HOLD)
        self.mouse_up(button)
        time.sleep(SETTLE)

    def drag(self, points, button=1, dwell=HOLD):
        """Holds a button while the pointer visits each point, staying `dwell` s at each."""
        self.move(*points[0])
        self.mouse_down(button)
        try:
            for x, y in points:
                self._xdo("mousemove", "--window", self.window, str(x), str(y))
                time.sleep(dwell)
        finally:
            self.mouse_up(button)
        time.sleep(SETTLE)

    def tap(self, x, y, button=1):
        """Moves to (x, y), then presses and releases a mouse button back to back, as a
        touchpad's tap does: xdotool's click holds it some 12 ms, less than a frame."""
        self.move(x, y)
        self._xdo("click", str(button))

    def tap_key(self, name):
        """Presses and releases a key back to back, with no hold."""
        self._xdo("key", "--delay", "0", name)

    def key_down(self, name):
        """Presses a key and keeps it held until key_up (or the end of the test)."""
        self._xdo("keydown", name)
        self._held_keys.add(name)

    def key_up(self, name):
        self._xdo("keyup", name)
        self._held_keys.discard(name)

    def type(self, text):
        """Types the text, one short press a character."""
        self._xdo("type", "--delay", "20", text)
        time.sleep(SETTLE)

    def key(self, name):
        """Presses and releases a key (xdotool key name, e.g. Escape, Right)."""
        self.key_down(name)
        time.sleep(HOLD)
        self.key_up(name)
        time.sleep(SETTLE)


class WindowTestCase(unittest.TestCase):
    """Gives each test its own Xvfb display, of the class's XVFB geometry; programs started
    through self.launch are stopped when the test ends, pass or fail."""

    XVFB = XVFB_GEOMETRY

    def setUp(self):
        if not os.path.exists(BINARY):
            self.fail("program not built: %s" % BINARY)
        self.xserver = XServer(self.XVFB).start()
        self.addCleanup(self.xserver.stop)

    def program(self):
        """A not yet started program with its own scratch runtime."""
        prog = Program(self.xserver)
        self.addCleanup(prog.stop)
        return prog

    def launch(self, **settings):
        """Writes the settings, starts the program and waits for its window."""
        prog = self.program()
        prog.write_settings(**settings)
        prog.start()
        if prog.find_window() is None:
            self.fail("the program ended before its window appeared; %s" % prog.describe())
        return prog

    def assertExits(self, prog, code=0, timeout=10.0):
        rc = prog.wait_exit(timeout)
        self.assertIsNotNone(rc, "program did not end within %.0f s; %s"
                             % (timeout, prog.describe()))
        self.assertEqual(rc, code, prog.describe())


def fullscreen_window(prog, timeout=10.0):
    """In full-screen mode the library covers the X screen with an unnamed window that holds
    the 640 x 480 display as a child. Returns (child id, parent width, parent height)."""
    pattern = re.compile(r"^(\s*)(0x[0-9a-f]+) .*\s(\d+)x(\d+)\+-?\d+\+-?\d+")
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        out = subprocess.run(["xwininfo", "-root", "-tree"], env=prog.xserver.env(),
                             capture_output=True, text=True, timeout=10).stdout
        parents = []
        for line in out.splitlines():
            m = pattern.match(line)
            if not m:
                continue
            depth, wid, w, h = len(m.group(1)), m.group(2), int(m.group(3)), int(m.group(4))
            while parents and parents[-1][0] >= depth:
                parents.pop()
            if (w, h) == (SCREEN_W, SCREEN_H) and parents:
                return wid, parents[-1][2], parents[-1][3]
            parents.append((depth, wid, w, h))
        if not prog.running():
            break
        time.sleep(0.1)
    raise AssertionError("no full-screen display found; %s" % prog.describe())


# --- the program's screens ----------------------------------------------------------------

# Editor menu: buttons of image set "big_01" at x 192, labels centred on x 320, 10 px down.
MENU_X0, MENU_X1 = 192, 448
MENU_BUTTON_TOPS = [60, 100, 140, 180, 220, 260, 300, 380]  # prop_ed .. quit, continue
MENU_QUIT_TOP = 300
MENU_CONTINUE_TOP = 380
QUIT_CENTRE = (320, 318)
QUIT_BOX = (MENU_X0, 300, MENU_X1, 336)
MENU_PANEL = (164, 48, 476, 432)  # x0, y0, x1, y1 (exclusive)
# A place for the pointer that is clear of the menu, its labels and the cells tests use.
POINTER_PARK = (600, 440)


def label_band(top):
    """The 16-pixel-high band of the label on the menu button whose top is `top`."""
    return (MENU_X0, top + 10, MENU_X1, top + 26)


def menu_shown(img):
    """True when the quit button of the editor menu is on screen."""
    x0, y0, x1, y1 = QUIT_BOX
    return img.lit(QUIT_BOX) > (x1 - x0) * (y1 - y0) // 4


def open_menu(prog, timeout=5.0):
    """Escape in the editor; returns the first screenshot that shows the menu."""
    prog.key("Escape")
    return prog.wait_for(menu_shown, timeout, "the editor menu")


def wait_for_hover(prog, top, timeout=5.0):
    """Moves the pointer from its park onto the menu button whose top is `top` and waits until
    the button shows its hover image: a sign that the menu has taken everything sent before."""
    box = (MENU_X0, top, MENU_X1, top + 8)  # above the label
    prog.move(*POINTER_PARK)
    idle = prog.settled_screenshot(box).crop(*box)
    prog.move(320, top + 4)
    return prog.wait_for(lambda img: img.crop(*box) != idle, timeout,
                         "the hover image of the menu button at y %d" % top)


def quit_via_menu(prog, timeout=5.0):
    """Opens the menu and clicks its quit button."""
    open_menu(prog, timeout)
    prog.click(*QUIT_CENTRE)


# The file picker: its title, in the 16-pixel font, centred at the top of the picture.
PICKER_TITLE = (192, 22, 448, 40)


def picker_shown(img):
    """True when the file picker's title is on screen (where the editor and its menu show the
    map's first row of cells, which the tests that open the picker leave empty)."""
    return img.lit(PICKER_TITLE, threshold=160) > 60


# Language screen: four 96-pixel-wide buttons with their tops at y 250, left to right.
LANGUAGE_BUTTONS = [("EN", 16), ("DU", 120), ("SW", 224), ("SP", 328)]
LANGUAGE_TOP = 250
LANGUAGE_WIDTH = 96


def language_button_box(x, height=16):
    return (x, LANGUAGE_TOP, x + LANGUAGE_WIDTH, LANGUAGE_TOP + height)


def language_screen_shown(img):
    """True when all four language buttons are drawn and the 8-pixel gaps between them
    are empty."""
    for _, x in LANGUAGE_BUTTONS:
        if img.lit(language_button_box(x)) < LANGUAGE_WIDTH * 16 // 4:
            return False
    for (_, x), (_, nxt) in zip(LANGUAGE_BUTTONS, LANGUAGE_BUTTONS[1:]):
        if img.lit((x + LANGUAGE_WIDTH, LANGUAGE_TOP, nxt, LANGUAGE_TOP + 16)) > 0:
            return False
    return True


def wait_for_language_screen(prog, timeout=10.0):
    """Parks the pointer away from the buttons and waits for the language screen."""
    prog.move(*POINTER_PARK)
    return prog.wait_for(language_screen_shown, timeout, "the four language buttons")


def language_button_height(img, x, limit=100):
    """Height of the language button at x, measured from the screenshot: the last row
    below its top that still has a lit pixel in the button's columns."""
    height = 0
    for dy in range(limit):
        y = LANGUAGE_TOP + dy
        if img.lit((x, y, x + LANGUAGE_WIDTH, y + 1)) > 0:
            height = dy + 1
    return height


# Editor: 32 x 32 cells; tiles are 48 high and stand 16 pixels over the cell above.
CELL = 32


def cell_box(col, row):
    """The cell's own 32 x 32 square on screen."""
    return (col * CELL, row * CELL, col * CELL + CELL, row * CELL + CELL)


def cell_centre(col, row):
    return (col * CELL + CELL // 2, row * CELL + CELL // 2)


def is_cursor_grey(p):
    # The cell cursor: white at the translucency level 127 over black is about (126, 126, 126).
    return p[0] == p[1] == p[2] and 100 <= p[0] <= 160


def wait_for_editor(prog, cell=(9, 9), timeout=10.0):
    """Puts the pointer over an empty cell and waits until the editor's cell cursor shows."""
    x, y = cell_centre(*cell)
    prog.move(x, y)
    return prog.wait_for(lambda img: img.count(cell_box(*cell), is_cursor_grey) >= 200,
                         timeout, "the editor's cell cursor at cell %r" % (cell,))
