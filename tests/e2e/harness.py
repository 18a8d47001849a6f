# SPDX-License-Identifier: MIT
"""End-to-end harness: the real program on a virtual display with a notification area, a
loopback web server standing in for the forum, and xdotool for the user's hands."""

import http.server
import os
import re
import shutil
import signal
import subprocess
import tempfile
import threading
import time
import unittest
import urllib.parse

BINARY = os.environ.get("LOOMHAVEN_BINARY", "")
ARTIFACTS = os.environ.get("LOOMHAVEN_ARTIFACTS", os.path.join(tempfile.gettempdir(), "loomhaven-e2e"))

FORUM_HOST = "bbs.loomhaven.example"

# Seconds between two clicks on one spot that keep them apart (Qt's double-click time is 0.4 s).
DOUBLE_CLICK_GAP = 0.7

# The forum's pages: a text field that reports every key it receives back to the server, so a
# test can tell whether typing reached the page.
PAGE = """<!doctype html>
<html><head><meta charset="utf-8"><title>forum</title></head>
<body style="background:#fafaf0;font-family:sans-serif">
<h1 id="title">Forum home</h1>
<input id="field" autofocus style="width:300px">
<script>
  const f = document.getElementById('field');
  function report(kind, e) {
    fetch('/key?kind=' + kind + '&key=' + encodeURIComponent(e.key));
  }
  f.addEventListener('keydown', e => report('down', e));
  document.addEventListener('keydown', e => { if (e.target !== f) report('doc', e); });
  document.addEventListener('mousedown', () => fetch('/click'));
  document.addEventListener('wheel', () => fetch('/wheel'), {passive: true});
</script>
</body></html>
"""


class ForumServer:
    """A loopback HTTP server that records every request with the time it arrived."""

    def __init__(self):
        self.requests = []  # (seconds since start, path)
        self.cookie = None  # a Set-Cookie value the home page sends, when a test sets one
        self.lock = threading.Lock()
        self.started = time.monotonic()
        outer = self

        class Handler(http.server.BaseHTTPRequestHandler):
            def do_GET(self):
                with outer.lock:
                    outer.requests.append((time.monotonic() - outer.started, self.path))
                body = PAGE.encode() if urllib.parse.urlparse(self.path).path in ("/", "/forum-2-1.html") else b"ok"
                self.send_response(200)
                self.send_header("Content-Type", "text/html; charset=utf-8")
                self.send_header("Content-Length", str(len(body)))
                self.send_header("Cache-Control", "no-store")
                if outer.cookie and urllib.parse.urlparse(self.path).path == "/":
                    self.send_header("Set-Cookie", outer.cookie)
                self.end_headers()
                self.wfile.write(body)

            def log_message(self, *args):
                pass

        self.httpd = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
        self.port = self.httpd.server_address[1]
        self.thread = threading.Thread(target=self.httpd.serve_forever, daemon=True)
        self.thread.start()

    def reset_clock(self):
        with self.lock:
            self.started = time.monotonic()

    def paths(self, prefix):
        with self.lock:
            return [(t, p) for t, p in self.requests if p.startswith(prefix)]

    def page_loads(self):
        with self.lock:
            return [t for t, p in self.requests if p == "/"]

    def keys(self):
        with self.lock:
            return [urllib.parse.parse_qs(urllib.parse.urlparse(p).query) for _, p in self.requests
                    if p.startswith("/key?")]

    def close(self):
        self.httpd.shutdown()
        self.httpd.server_close()


def wait_for(predicate, timeout, interval=0.2, what="condition"):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        value = predicate()
        if value:
            return value
        time.sleep(interval)
    raise AssertionError(f"timed out after {timeout}s waiting for {what}")


class Desktop:
    """Xvfb with a window manager (openbox) and trayer as the notification area, as on every
    desktop the program meets."""

    def __init__(self, width=1280, height=800):
        self.width, self.height = width, height
        self._last_click = (None, 0.0)
        r, w = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(w), "-screen", "0", f"{width}x{height}x24", "-nolisten", "tcp"],
            pass_fds=(w,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(w)
        with os.fdopen(r) as f:
            number = f.readline().strip()
        if not number:
            raise RuntimeError("Xvfb did not start")
        self.display = ":" + number
        self.env = dict(os.environ, DISPLAY=self.display)
        self.trayer = None
        self.window_manager = None

    def start_window_manager(self):
        """Openbox: it frames, maps, iconifies and moves windows the way a user's desktop does,
        so a window's state is what a user would see."""
        self.window_manager = subprocess.Popen(
            ["openbox", "--sm-disable"], env=self.env, stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL)
        # It is ready once it has put up its check window on the root window.
        wait_for(lambda: "_NET_SUPPORTING_WM_CHECK(WINDOW)" in subprocess.run(
            ["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], env=self.env, capture_output=True,
            text=True).stdout, 10, what="the window manager")

    def start_tray(self):
        self.trayer = subprocess.Popen(
            ["trayer", "--edge", "top", "--align", "right", "--widthtype", "pixel", "--width", "120",
             "--height", "24", "--SetDockType", "true"],
            env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_for(lambda: self.xdotool("search", "--classname", "trayer", check=False).strip(), 10,
                 what="trayer")

    def xdotool(self, *args, check=True):
        p = subprocess.run(["xdotool", *args], env=self.env, capture_output=True, text=True)
        if check and p.returncode != 0:
            raise RuntimeError(f"xdotool {' '.join(args)}: {p.stderr.strip()}")
        return p.stdout

    def geometry(self, window):
        out = self.xdotool("getwindowgeometry", "--shell", window)
        values = dict(line.split("=", 1) for line in out.split() if "=" in line)
        return int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"])

    def find_window(self, name):
        out = self.xdotool("search", "--onlyvisible", "--name", f"^{re.escape(name)}$", check=False)
        ids = out.split()
        return ids[0] if ids else None

    def map_state(self, window):
        """"IsViewable", "IsUnMapped" or "IsUnviewable" for a window that exists, else None."""
        p = subprocess.run(["xwininfo", "-id", window], env=self.env, capture_output=True, text=True)
        if p.returncode != 0:
            return None
        m = re.search(r"Map State:\s*(\w+)", p.stdout)
        return m.group(1) if m else None

    def on_screen(self, window):
        """Whether the window is mapped, viewable and lies on the screen: what a user can see."""
        if self.map_state(window) != "IsViewable":
            return False
        try:
            x, y, w, h = self.geometry(window)
        except (RuntimeError, KeyError):
            return False
        return w > 0 and h > 0 and x < self.width and y < self.height and x + w > 0 and y + h > 0

    def clients(self):
        """The top-level windows the window manager manages, in its own list, as decimal ids
        (as xdotool gives them)."""
        out = subprocess.run(["xprop", "-root", "_NET_CLIENT_LIST"], env=self.env,
                             capture_output=True, text=True).stdout
        if "#" not in out:
            return []
        return [str(int(h, 16)) for h in re.findall(r"0x[0-9a-f]+", out.split("#", 1)[1])]

    def pointer(self):
        out = self.xdotool("getmouselocation", "--shell")
        values = dict(line.split("=", 1) for line in out.split() if "=" in line)
        return int(values["X"]), int(values["Y"])

    def move_to(self, x, y):
        # A synchronous move to where the pointer already is waits for a motion that never
        # comes (some 15 s), so that one is left out.
        if self.pointer() != (x, y):
            self.xdotool("mousemove", "--sync", str(x), str(y))

    def click(self, x, y, button=1):
        # Two clicks on one spot closer than the double-click time are a double click; each
        # click here is meant as one click.
        since = time.monotonic() - self._last_click[1]
        if self._last_click[0] == (x, y) and since < DOUBLE_CLICK_GAP:
            time.sleep(DOUBLE_CLICK_GAP - since)
        self.move_to(x, y)
        time.sleep(0.15)
        self.xdotool("click", str(button))
        self._last_click = ((x, y), time.monotonic())

    def press(self, x, y, button=1):
        self.move_to(x, y)
        self.xdotool("mousedown", str(button))

    def type_text(self, text):
        self.xdotool("type", "--delay", "60", text)

    def key(self, *keys):
        self.xdotool("key", "--delay", "60", *keys)

    def screenshot(self, name, crop=None):
        os.makedirs(ARTIFACTS, exist_ok=True)
        path = os.path.join(ARTIFACTS, name)
        args = ["import", "-window", "root"]
        if crop:
            x, y, w, h = crop
            args += ["-crop", f"{w}x{h}+{x}+{y}", "+repage"]
        subprocess.run(args + [path], env=self.env, check=True)
        return path

    def pixel(self, path, x, y):
        out = subprocess.run(["convert", path, "-format", f"%[fx:int(255*p{{{x},{y}}}.r)],"
                              f"%[fx:int(255*p{{{x},{y}}}.g)],%[fx:int(255*p{{{x},{y}}}.b)]", "info:"],
                             capture_output=True, text=True, check=True).stdout
        return tuple(int(v) for v in out.split(","))

    def close(self):
        for p in (self.trayer, self.window_manager, self.xvfb):
            if p and p.poll() is None:
                p.terminate()
                try:
                    p.wait(5)
                except subprocess.TimeoutExpired:
                    p.kill()


class Program:
    """The loomhaven binary with its own settings, profile and data directories."""

    def __init__(self, desktop, server, settings=None, resolver=True, binary=None, prepare=None,
                 extra_env=None):
        """`resolver`: the compiled-in forum host goes to `server`; `binary`: another copy of the
        program (an installed one) instead of the build's; `prepare(program)`: runs once the
        directories are set up, before the program starts; `extra_env`: more environment."""
        if not BINARY:
            raise unittest.SkipTest("LOOMHAVEN_BINARY is not set")
        self.binary = binary or BINARY
        self.desktop = desktop
        self.home = tempfile.mkdtemp(prefix="loomhaven-e2e-")
        self.config = os.path.join(self.home, "config")
        os.makedirs(self.config)
        self.settings_file = os.path.join(self.config, "Windows.INI")
        if settings is not None:
            with open(self.settings_file, "w", encoding="utf-8") as f:
                f.write(settings)
        # The user's browser: a stand-in that notes what it was asked to open, one line each.
        bin_dir = os.path.join(self.home, "bin")
        os.makedirs(bin_dir)
        self.opened_log = os.path.join(self.home, "opened.txt")
        opener = os.path.join(bin_dir, "xdg-open")
        with open(opener, "w") as f:
            f.write(f'#!/bin/sh\nprintf "%s\\n" "$*" >> "{self.opened_log}"\n')
        os.chmod(opener, 0o755)
        self.data_home = os.path.join(self.home, "data")
        env = dict(desktop.env,
                   PATH=bin_dir + os.pathsep + os.environ.get("PATH", "/usr/bin:/bin"),
                   XDG_CONFIG_HOME=self.config,
                   XDG_DATA_HOME=self.data_home,
                   XDG_CACHE_HOME=os.path.join(self.home, "cache"),
                   XDG_RUNTIME_DIR=self.home,
                   QTWEBENGINE_CHROMIUM_FLAGS=(
                       (f'--host-resolver-rules="MAP {FORUM_HOST} 127.0.0.1:{server.port}" '
                        if resolver else "") +
                       "--disable-background-networking --disable-component-update"))
        env.pop("QT_QPA_PLATFORM", None)
        env.update(extra_env or {})
        self.env = env
        self.log_path = os.path.join(self.home, "program.log")
        self.log = open(self.log_path, "w")
        # Every window the window manager lists from here on is the program's.
        self._before = set(desktop.clients())
        self._seen = []
        self._watch_lock = threading.Lock()
        self._watch_stop = threading.Event()
        if prepare:
            prepare(self)
        self.process = subprocess.Popen([self.binary], env=env, stdout=self.log, stderr=subprocess.STDOUT,
                                        start_new_session=True)
        self.started = time.monotonic()
        self._watcher = threading.Thread(target=self._watch, daemon=True)
        self._watcher.start()

    def start_again(self):
        """Another start of the program by the same user, with the same environment: the
        process, its output captured."""
        return subprocess.Popen([BINARY], env=self.env, stdout=subprocess.PIPE,
                                stderr=subprocess.STDOUT, start_new_session=True)

    def window(self, name="Quillmere", timeout=30):
        """The id of the program's window of that title once it is really on screen (mapped,
        viewable, on the display): a step that acts on a window needs it there."""
        return wait_for(lambda: self._shown(name), timeout, what=f"window {name} on screen")

    def _shown(self, name):
        window = self.desktop.find_window(name)
        return window if window and self.desktop.on_screen(window) else None

    def window_ids(self):
        """Every top-level window id the window manager has listed for the program since it
        started, in the order they first appeared."""
        with self._watch_lock:
            return list(self._seen)

    def _watch(self):
        while not self._watch_stop.is_set():
            for wid in self.desktop.clients():
                with self._watch_lock:
                    if wid not in self._before and wid not in self._seen:
                        self._seen.append(wid)
            self._watch_stop.wait(0.03)

    def window_gone(self, name="Quillmere"):
        """No window of that title is viewable: hidden, withdrawn or iconified."""
        return self.desktop.find_window(name) is None

    def tray_icon(self):
        """The tray icon's window inside trayer, as its centre on the screen."""
        out = self.desktop.xdotool("search", "--classname", "loomhaven", check=False)
        for wid in out.split():
            try:
                x, y, w, h = self.desktop.geometry(wid)
            except (RuntimeError, KeyError):
                continue
            if 0 < w <= 48 and 0 < h <= 48 and y < 40:
                return x + w // 2, y + h // 2
        return None

    def descendants(self):
        """Process ids of everything the program started, with their command lines."""
        parents = {}
        for entry in os.listdir("/proc"):
            if not entry.isdigit():
                continue
            try:
                with open(f"/proc/{entry}/stat") as f:
                    stat = f.read()
                with open(f"/proc/{entry}/cmdline", "rb") as f:
                    cmdline = f.read().replace(b"\0", b" ").decode(errors="replace")
            except OSError:
                continue
            ppid = int(stat[stat.rindex(")") + 2:].split()[1])
            parents[int(entry)] = (ppid, cmdline)
        found, frontier = {}, {self.process.pid}
        while frontier:
            children = {pid for pid, (ppid, _) in parents.items() if ppid in frontier and pid not in found}
            for pid in children:
                found[pid] = parents[pid][1]
            frontier = children
        return found

    def renderer_pids(self):
        """The browser engine's page processes: those its zygote forked."""
        procs = self.descendants()
        zygotes = {pid for pid, cmd in procs.items() if "--type=zygote" in cmd}
        result = []
        for pid in procs:
            try:
                with open(f"/proc/{pid}/stat") as f:
                    stat = f.read()
            except OSError:
                continue
            ppid = int(stat[stat.rindex(")") + 2:].split()[1])
            if ppid in zygotes:
                result.append(pid)
        return result

    def opened(self):
        """What the program asked the user's browser to open, in order."""
        try:
            with open(self.opened_log, encoding="utf-8") as f:
                return f.read().splitlines()
        except FileNotFoundError:
            return []

    def data_file(self, name):
        """A file of the data directory beside the program."""
        return os.path.join(os.path.dirname(self.binary), "data", "image", name)

    def settings(self):
        try:
            with open(self.settings_file, encoding="utf-8") as f:
                return f.read()
        except FileNotFoundError:
            return None

    def output(self):
        self.log.flush()
        with open(self.log_path, errors="replace") as f:
            return f.read()

    def close(self):
        self._watch_stop.set()
        self._watcher.join(5)
        if self.process.poll() is None:
            os.killpg(self.process.pid, signal.SIGTERM)
            try:
                self.process.wait(10)
            except subprocess.TimeoutExpired:
                os.killpg(self.process.pid, signal.SIGKILL)
                self.process.wait()
        self.log.close()
        shutil.rmtree(self.home, ignore_errors=True)


class E2ETest(unittest.TestCase):
    """Starts a desktop (window manager and tray) and the forum server for each test; the test
    starts the program with the settings it needs. A test class with `tray = False` gets a
    desktop without a notification area."""

    tray = True

    def setUp(self):
        self.desktop = Desktop()
        self.addCleanup(self.desktop.close)
        self.desktop.start_window_manager()
        if self.tray:
            self.desktop.start_tray()
        self.server = ForumServer()
        self.addCleanup(self.server.close)

    def at(self, window, point):
        """A point of a window, from its top left corner, on the screen. The window must be on
        screen: a click aimed at a window that is not there would test nothing."""
        self.assertTrue(self.desktop.on_screen(window), f"window {window} is not on screen")
        x, y, _, _ = self.desktop.geometry(window)
        return x + point[0], y + point[1]

    def start(self, settings=None, server=None, **kw):
        """The program, with the compiled-in forum host sent to `server` (the test's forum
        server by default) unless resolver=False."""
        program = Program(self.desktop, server or self.server, settings, **kw)
        self.server.reset_clock()
        self.addCleanup(program.close)
        self.addCleanup(lambda: self._dump_log_on_failure(program))
        return program

    def _dump_log_on_failure(self, program):
        outcome = getattr(self, "_outcome", None)
        result = getattr(outcome, "result", None)
        if result is not None and (result.failures or result.errors):
            print("---- program output ----\n" + program.output()[-4000:])
