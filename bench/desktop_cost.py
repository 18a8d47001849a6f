#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""What the program costs while it does nothing, against a bare QWebEngineView on the same page.

Each program runs on its own Xvfb display (with openbox and trayer, as on a user's desktop)
and loads the same loopback page. Measures:
  mapped   time from exec until the window is viewable (xdotool, polled every 10 ms)
  PSS      sum of Pss in /proc/<pid>/smaps_rollup over the whole process tree (and the
           private part, Private_Clean + Private_Dirty, which other programs do not move)
  CPU      run time of every thread of the tree (/proc/<pid>/task/<tid>/schedstat, ns),
           as a percentage of one core over the idle window (a thread that ends within the
           window loses its share)
  wake-ups voluntary + nonvoluntary context switches of the main thread
           (/proc/<pid>/task/<pid>/status), per second
The program is measured shown (locked, the clock running) and then hidden in the tray.

With --banner, the settings window's banner instead: the program hidden in the tray, then in
the same run with its settings window open (from the tray menu, as a user opens it; the main
window goes to the tray), so the window's own share is the difference; against a QMovie in a
plain label of the banner's size (bench/movie_banner), turning the same banners every 5 s as
the window does (102.gif first, then 101, 102, 103, ...), and playing 102.gif alone.

  desktop_cost.py [--build DIR] [--settle S] [--idle S]     the idle table
  desktop_cost.py --banner [--build DIR] [--settle S] [--idle S]
                                                            the banner table
  desktop_cost.py --soak N [--build DIR]                    N reloads through the program's own
                                                            browser and through the bare view
"""

import argparse
import http.server
import os
import re
import shutil
import subprocess
import sys
import tempfile
import threading
import time

HERE = os.path.dirname(os.path.abspath(__file__))
FORUM_HOST = "bbs.loomhaven.example"
SETTINGS_TITLE = "软件设置"
ASSETS = os.path.join(HERE, "..", "assets")
BANNER_SETTLE = 5  # seconds after a window is up before its banner is measured

PAGE = b"""<!doctype html>
<html><head><meta charset="utf-8"><title>forum</title></head>
<body style="background:#fafaf0;font-family:sans-serif">
<h1>Forum home</h1><p>Nothing moves on this page.</p><input style="width:300px">
</body></html>
"""


class Server:
    def __init__(self):
        outer = self
        self.hits = 0

        class Handler(http.server.BaseHTTPRequestHandler):
            def do_GET(self):
                outer.hits += 1
                self.send_response(200)
                self.send_header("Content-Type", "text/html; charset=utf-8")
                self.send_header("Content-Length", str(len(PAGE)))
                self.send_header("Cache-Control", "no-store")
                self.end_headers()
                try:
                    self.wfile.write(PAGE)
                except OSError:
                    pass  # a reload that overtook its own load closes the connection

            def log_message(self, *args):
                pass

        self.httpd = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
        self.port = self.httpd.server_address[1]
        threading.Thread(target=self.httpd.serve_forever, daemon=True).start()

    def close(self):
        self.httpd.shutdown()
        self.httpd.server_close()


def wait_for(predicate, timeout, interval=0.1, what="condition"):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        value = predicate()
        if value:
            return value
        time.sleep(interval)
    raise RuntimeError(f"timed out after {timeout}s waiting for {what}")


class Desktop:
    def __init__(self):
        r, w = os.pipe()
        self.procs = []
        self.procs.append(subprocess.Popen(
            ["Xvfb", "-displayfd", str(w), "-screen", "0", "1280x800x24", "-nolisten", "tcp"],
            pass_fds=(w,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
        os.close(w)
        with os.fdopen(r) as f:
            self.display = ":" + f.readline().strip()
        self.env = dict(os.environ, DISPLAY=self.display)
        self.env.pop("QT_QPA_PLATFORM", None)
        self.procs.append(subprocess.Popen(["openbox", "--sm-disable"], env=self.env,
                                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
        wait_for(lambda: "_NET_SUPPORTING_WM_CHECK(WINDOW)" in subprocess.run(
            ["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], env=self.env, capture_output=True,
            text=True).stdout, 10, what="openbox")
        self.procs.append(subprocess.Popen(
            ["trayer", "--edge", "top", "--align", "right", "--widthtype", "pixel", "--width", "120",
             "--height", "24", "--SetDockType", "true"],
            env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
        wait_for(lambda: self.xdotool("search", "--classname", "trayer").strip(), 10, what="trayer")

    def xdotool(self, *args):
        return subprocess.run(["xdotool", *args], env=self.env, capture_output=True,
                              text=True).stdout

    def visible(self, title):
        return self.xdotool("search", "--onlyvisible", "--name", f"^{re.escape(title)}$").split()

    def tray_icon(self, classname):
        for wid in self.xdotool("search", "--classname", classname).split():
            values = dict(line.split("=", 1) for line in
                          self.xdotool("getwindowgeometry", "--shell", wid).split() if "=" in line)
            try:
                x, y, w, h = (int(values[k]) for k in ("X", "Y", "WIDTH", "HEIGHT"))
            except KeyError:
                continue
            if 0 < w <= 48 and 0 < h <= 48 and y < 40:
                return x + w // 2, y + h // 2
        return None

    def close(self):
        for p in reversed(self.procs):
            p.terminate()
            try:
                p.wait(5)
            except subprocess.TimeoutExpired:
                p.kill()


def tree(root):
    parents = {}
    for entry in os.listdir("/proc"):
        if entry.isdigit():
            try:
                with open(f"/proc/{entry}/stat") as f:
                    stat = f.read()
            except OSError:
                continue
            parents[int(entry)] = int(stat[stat.rindex(")") + 2:].split()[1])
    found, frontier = {root}, {root}
    while frontier:
        frontier = {pid for pid, ppid in parents.items() if ppid in frontier and pid not in found}
        found |= frontier
    return found


def read(path):
    try:
        with open(path) as f:
            return f.read()
    except OSError:
        return ""


def thread_ns(pid):
    """Run time of each live thread of a process, by thread id."""
    times = {}
    try:
        tids = os.listdir(f"/proc/{pid}/task")
    except OSError:
        return times
    for tid in tids:
        fields = read(f"/proc/{pid}/task/{tid}/schedstat").split()
        if fields:
            times[int(tid)] = int(fields[0])
    return times


def run_ns(before, after):
    """The run time between two thread samples: a thread that started in between counts from
    zero; one that ended in between is lost (its last moments are not known)."""
    return sum(ns - before.get(tid, 0) for tid, ns in after.items())


def switches(pid):
    status = read(f"/proc/{pid}/task/{pid}/status")
    return sum(int(v) for v in re.findall(r"^(?:non)?voluntary_ctxt_switches:\s*(\d+)", status, re.M))


def memory_mb(pids):
    """PSS and private memory (Private_Clean + Private_Dirty) of the processes, in MB. PSS
    shares each library page among every process that maps it, other programs' included, so
    it moves with what else runs on the machine; the private part does not."""
    pss = private = 0
    for pid in pids:
        rollup = read(f"/proc/{pid}/smaps_rollup")
        values = dict(re.findall(r"^(\w+):\s*(\d+) kB", rollup, re.M))
        pss += int(values.get("Pss", 0))
        private += int(values.get("Private_Clean", 0)) + int(values.get("Private_Dirty", 0))
    return pss / 1024, private / 1024


def pss_mb(pids):
    return memory_mb(pids)[0]


def idle(pid, seconds):
    """CPU (% of a core) of the tree and of the main process, main-thread wake-ups per second
    and the tree's PSS over `seconds` of doing nothing."""
    pids = tree(pid)
    t0 = time.monotonic()
    before = {p: thread_ns(p) for p in pids}
    sw0 = switches(pid)
    time.sleep(seconds)
    elapsed = time.monotonic() - t0
    pids |= tree(pid)
    after = {p: thread_ns(p) for p in pids}
    tree1 = sum(run_ns(before.get(p, {}), after[p]) for p in pids)
    main1 = run_ns(before.get(pid, {}), after.get(pid, {}))
    sw1 = switches(pid) - sw0
    ns = elapsed * 1e9
    pss, private = memory_mb(pids)
    return {"cpu": 100 * tree1 / ns, "cpu_main": 100 * main1 / ns, "wakeups": sw1 / elapsed,
            "pss": pss, "private": private, "processes": len([p for p in pids if read(f"/proc/{p}/stat")])}


class Subject:
    """One program on its own desktop, with its own home, profile and settings."""

    def __init__(self, cmd, server, title, stdout=subprocess.DEVNULL):
        self.desktop = Desktop()
        self.home = tempfile.mkdtemp(prefix="loomhaven-bench-")
        env = dict(self.desktop.env,
                   XDG_CONFIG_HOME=os.path.join(self.home, "config"),
                   XDG_DATA_HOME=os.path.join(self.home, "data"),
                   XDG_CACHE_HOME=os.path.join(self.home, "cache"),
                   XDG_RUNTIME_DIR=self.home,
                   QTWEBENGINE_CHROMIUM_FLAGS=(
                       f'--host-resolver-rules="MAP {FORUM_HOST} 127.0.0.1:{server.port}" '
                       "--disable-background-networking --disable-component-update"))
        os.makedirs(env["XDG_CONFIG_HOME"])
        self.title = title
        self.started = time.monotonic()
        self.process = subprocess.Popen(cmd, env=env, stdout=stdout, stderr=subprocess.DEVNULL,
                                        start_new_session=True, text=True)
        self.mapped = None
        if title:
            try:
                wait_for(lambda: self.desktop.visible(title), 30, interval=0.01, what=title)
            except RuntimeError:
                self.close()
                raise
            self.mapped = time.monotonic() - self.started

    def hide_to_tray(self, classname):
        x, y = wait_for(lambda: self.desktop.tray_icon(classname), 10, what="the tray icon")
        self.desktop.xdotool("mousemove", "--sync", str(x), str(y))
        time.sleep(0.2)
        self.desktop.xdotool("click", "1")
        wait_for(lambda: not self.desktop.visible(self.title), 10, what="the window to hide")

    def open_settings(self, classname):
        """The settings window from the tray icon's menu (its key S); the main window goes to
        the tray."""
        x, y = wait_for(lambda: self.desktop.tray_icon(classname), 10, what="the tray icon")
        self.desktop.xdotool("mousemove", "--sync", str(x), str(y))
        time.sleep(0.2)
        self.desktop.xdotool("click", "3")
        time.sleep(1)
        self.desktop.xdotool("key", "s")
        wait_for(lambda: self.desktop.visible(SETTINGS_TITLE), 15, what="the settings window")
        wait_for(lambda: not self.desktop.visible(self.title), 10, what="the main window to hide")

    def close(self):
        if self.process.poll() is None:
            os.killpg(self.process.pid, 15)
            try:
                self.process.wait(10)
            except subprocess.TimeoutExpired:
                os.killpg(self.process.pid, 9)
                self.process.wait()
        self.desktop.close()
        shutil.rmtree(self.home, ignore_errors=True)


def ratio(a, b):
    return f"{a / b:.2f}" if b else "-"


def idle_table(args, build):
    server = Server()
    url = f"http://{FORUM_HOST}/"
    figures = {}
    try:
        bare = Subject([os.path.join(build, "bench", "bare_view"), url], server, "bare_view")
        try:
            time.sleep(args.settle)
            figures["bare"] = dict(idle(bare.process.pid, args.idle), mapped=bare.mapped)
        finally:
            bare.close()
        ours = Subject([os.path.join(build, "src", "loomhaven")], server, "Quillmere")
        try:
            time.sleep(args.settle)
            shown = dict(idle(ours.process.pid, args.idle), mapped=ours.mapped)
            ours.hide_to_tray("loomhaven")
            time.sleep(3)
            hidden = idle(ours.process.pid, args.idle)
            figures["shown"], figures["hidden"] = shown, hidden
        finally:
            ours.close()
    finally:
        server.close()
    b, s, h = figures["bare"], figures["shown"], figures["hidden"]
    rows = [
        ("window mapped after exec (ms)", b["mapped"] * 1000, s["mapped"] * 1000, "ratio"),
        ("PSS of the process tree, shown (MB)", b["pss"], s["pss"], "ratio"),
        ("private memory of the tree, shown (MB)", b["private"], s["private"], "ratio"),
        ("processes in the tree, shown", b["processes"], s["processes"], "ratio"),
        ("CPU of the tree, shown idle (% core)", b["cpu"], s["cpu"], "ratio"),
        ("CPU of the main process, shown (% core)", b["cpu_main"], s["cpu_main"], "ratio"),
        ("main-thread wake-ups, shown (/s)", b["wakeups"], s["wakeups"], "ratio"),
        ("CPU of the tree, hidden (% core)", b["cpu"], h["cpu"], "vs bare shown"),
        ("CPU of the main process, hidden (% core)", b["cpu"], h["cpu_main"], "vs bare shown"),
        ("main-thread wake-ups, hidden (/s)", None, h["wakeups"], ""),
        ("PSS of the process tree, hidden (MB)", b["pss"], h["pss"], "ratio"),
    ]
    print(f"settle {args.settle} s, idle {args.idle} s, {os.cpu_count()} cores")
    print(f"| {'figure':44} | {'bare view':>9} | {'loomhaven':>9} | {'ratio':>6} |")
    print(f"|{'-' * 46}|{'-' * 11}|{'-' * 11}|{'-' * 8}|")
    for name, peer, value, kind in rows:
        shown_peer = f"{peer:9.3f}" if peer is not None else f"{'-':>9}"
        r = ratio(value, peer) if peer is not None else "-"
        print(f"| {name:44} | {shown_peer} | {value:9.3f} | {r:>6} |")


def banner_table(args, build):
    server = Server()
    figures = {}
    try:
        ours = Subject([os.path.join(build, "src", "loomhaven")], server, "Quillmere")
        try:
            time.sleep(args.settle)
            ours.hide_to_tray("loomhaven")
            time.sleep(3)
            figures["hidden"] = idle(ours.process.pid, args.idle)
            ours.open_settings("loomhaven")
            time.sleep(BANNER_SETTLE)
            figures["open"] = idle(ours.process.pid, args.idle)
            if ours.process.poll() is not None or not ours.desktop.visible(SETTINGS_TITLE):
                raise RuntimeError("the settings window did not stay open")
        finally:
            ours.close()
        movie = os.path.join(build, "bench", "movie_banner")
        turning = ("102.gif", "101.gif", "102.gif", "103.gif")
        for name, files in (("turning", turning), ("102", ("102.gif",))):
            peer = Subject([movie, *(os.path.join(ASSETS, f) for f in files)], server,
                           "movie_banner")
            try:
                time.sleep(BANNER_SETTLE)
                figures[name] = idle(peer.process.pid, args.idle)
            finally:
                peer.close()
    finally:
        server.close()
    h, o, t, one = figures["hidden"], figures["open"], figures["turning"], figures["102"]
    share = {k: o[k] - h[k] for k in ("cpu", "cpu_main", "wakeups")}
    rows = [
        ("CPU of the main process, hidden (% core)", None, h["cpu_main"]),
        ("CPU of the main process, settings open", t["cpu_main"], o["cpu_main"]),
        ("  the same, against 102.gif alone", one["cpu_main"], o["cpu_main"]),
        ("settings window's share: open - hidden", t["cpu_main"], share["cpu_main"]),
        ("  the same, against 102.gif alone", one["cpu_main"], share["cpu_main"]),
        ("CPU of the tree, hidden (% core)", None, h["cpu"]),
        ("CPU of the tree, settings open (% core)", t["cpu"], o["cpu"]),
        ("tree's share: open - hidden (% core)", t["cpu"], share["cpu"]),
        ("main-thread wake-ups, hidden (/s)", None, h["wakeups"]),
        ("main-thread wake-ups, settings open (/s)", t["wakeups"], o["wakeups"]),
        ("wake-ups' share: open - hidden (/s)", t["wakeups"], share["wakeups"]),
    ]
    print(f"settle {args.settle} s (banners {BANNER_SETTLE} s), idle {args.idle} s, "
          f"{os.cpu_count()} cores; CPU in % of a core; QMovie: the banners turning every 5 s, "
          "unless said")
    print(f"| {'figure':46} | {'QMovie':>9} | {'loomhaven':>9} | {'ratio':>6} |")
    print(f"|{'-' * 48}|{'-' * 11}|{'-' * 11}|{'-' * 8}|")
    for name, peer, value in rows:
        shown_peer = f"{peer:9.3f}" if peer is not None else f"{'-':>9}"
        r = ratio(value, peer) if peer is not None else "-"
        print(f"| {name:46} | {shown_peer} | {value:9.3f} | {r:>6} |")


def soak(args, build):
    server = Server()
    url = f"http://{FORUM_HOST}/"
    results = {}
    try:
        for name, cmd in (
                ("program's browser", [os.path.join(build, "bench", "browser_soak"), url,
                                       str(args.soak)]),
                ("bare view", [os.path.join(build, "bench", "bare_view"), url, "--soak",
                               str(args.soak)])):
            subject = Subject(cmd, server, None, stdout=subprocess.PIPE)
            try:
                marks = {}
                started = time.monotonic()
                for line in subject.process.stdout:
                    word = line.strip()
                    if word in ("baseline", "half", "done"):
                        time.sleep(1)
                        marks[word] = memory_mb(tree(subject.process.pid))
                        marks[word + "_t"] = time.monotonic()
                    if word == "done":
                        break
                if "done" not in marks:
                    raise RuntimeError(f"{name}: the soak did not finish")
                results[name] = (marks["baseline"], marks["half"], marks["done"],
                                 marks["done_t"] - marks["baseline_t"])
            finally:
                subject.close()
    finally:
        server.close()
    print(f"{args.soak} reloads of a loopback page, memory of the process tree (MB) after the "
          f"first load, after {args.soak // 2} reloads and after the last")
    print(f"| {'browser':18} | {'PSS':>23} | {'growth':>7} | {'private':>23} | {'growth':>7} "
          f"| {'2nd half':>8} | {'time (s)':>8} |")
    print(f"|{'-' * 20}|{'-' * 25}|{'-' * 9}|{'-' * 25}|{'-' * 9}|{'-' * 10}|{'-' * 10}|")
    for name, (first, half, last, seconds) in results.items():
        pss = f"{first[0]:.1f} / {half[0]:.1f} / {last[0]:.1f}"
        private = f"{first[1]:.1f} / {half[1]:.1f} / {last[1]:.1f}"
        print(f"| {name:18} | {pss:>23} | {100 * (last[0] / first[0] - 1):6.1f}% | {private:>23} "
              f"| {100 * (last[1] / first[1] - 1):6.1f}% | {100 * (last[1] / half[1] - 1):7.1f}% "
              f"| {seconds:8.1f} |")


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", default=os.path.join(HERE, "..", "build", "dev"),
                        help="the build directory holding src/loomhaven and bench/")
    parser.add_argument("--settle", type=float, default=15, help="seconds after start before measuring")
    parser.add_argument("--idle", type=float, default=20, help="seconds of each idle measure")
    parser.add_argument("--soak", type=int, default=0, help="run the reload soak with N reloads")
    parser.add_argument("--banner", action="store_true",
                        help="the settings window's banner against a QMovie in a plain label")
    args = parser.parse_args()
    build = os.path.abspath(args.build)
    if args.soak:
        soak(args, build)
    elif args.banner:
        banner_table(args, build)
    else:
        idle_table(args, build)


if __name__ == "__main__":
    sys.exit(main())
