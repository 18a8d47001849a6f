# SPDX-License-Identifier: MIT
"""The keep-alive against a forum that behaves like one: it names the forum by "HomePage"
alone, gives a session cookie, takes a posted reply, has an editor that asks before a draft is
left, and pages that call alert(). Every request is counted by method, path and cookie."""

import http.server
import threading
import time
import unittest
import urllib.parse
import uuid

from harness import E2ETest, wait_for
from test_lock import LOGIN, PASSWORD, USER_NAME

HOME = """<!doctype html><html><head><meta charset="utf-8"><title>home</title></head>
<body style="background:#f0f4fa;font:16px sans-serif">
<h1>Forum home</h1>
<p><a id="editor" href="/editor" style="font-size:40px">write a reply</a></p>
</body></html>"""

# A reply form that the page sends itself once, as a user pressing "send" would.
POST_FORM = """<!doctype html><html><head><meta charset="utf-8"><title>post</title></head>
<body><form id="f" method="post" action="/reply"><input name="msg" value="my reply"></form>
<script>document.getElementById('f').submit();</script></body></html>"""

# The page a posted reply lands on. It calls alert(): nobody is there to answer it.
REPLY = """<!doctype html><html><head><meta charset="utf-8"><title>reply</title></head>
<body><h1>Reply posted</h1><script>alert('secret text of the page');</script></body></html>"""

# An editor with a leave-page handler; every two seconds it tells the server who it is (an id
# made at load) and what its text area holds.
EDITOR = """<!doctype html><html><head><meta charset="utf-8"><title>editor</title></head>
<body style="background:#fff">
<textarea id="draft" style="position:absolute;left:20px;top:20px;width:600px;height:300px;
font-size:20px"></textarea>
<script>
  const id = Math.random().toString(36).slice(2);
  const draft = document.getElementById('draft');
  window.addEventListener('beforeunload', e => {
    if (draft.value) { e.preventDefault(); e.returnValue = ''; }
  });
  setInterval(() => fetch('/state?id=' + id + '&text=' + encodeURIComponent(draft.value)), 2000);
</script></body></html>"""

PAGES = {"/": HOME, "/post": POST_FORM, "/reply": REPLY, "/editor": EDITOR}

# Where the home page's link lies in the main window (the page starts 50 px down), and the
# editor's text area.
EDITOR_LINK = (120, 50 + 110)
DRAFT = (200, 50 + 120)


class SessionForum:
    """A loopback forum that gives a session cookie with its first answer and records every
    request as (seconds since start, method, path, session)."""

    def __init__(self):
        self.requests = []
        self.lock = threading.Lock()
        self.started = time.monotonic()
        outer = self

        class Handler(http.server.BaseHTTPRequestHandler):
            def _answer(self, method):
                cookies = dict(c.strip().split("=", 1) for c in self.headers.get("Cookie", "").split(";")
                               if "=" in c)
                session = cookies.get("sid")
                if method == "POST":
                    self.rfile.read(int(self.headers.get("Content-Length", "0")))
                with outer.lock:
                    outer.requests.append((time.monotonic() - outer.started, method, self.path, session))
                path = urllib.parse.urlparse(self.path).path
                body = PAGES.get(path, "ok").encode()
                self.send_response(200)
                if session is None:
                    self.send_header("Set-Cookie", f"sid={uuid.uuid4().hex}; Path=/; HttpOnly")
                self.send_header("Content-Type", "text/html; charset=utf-8")
                self.send_header("Content-Length", str(len(body)))
                self.send_header("Cache-Control", "no-store")
                self.end_headers()
                self.wfile.write(body)

            def do_GET(self):
                self._answer("GET")

            def do_POST(self):
                self._answer("POST")

            def log_message(self, *args):
                pass

        self.httpd = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
        self.port = self.httpd.server_address[1]
        threading.Thread(target=self.httpd.serve_forever, daemon=True).start()

    def reset_clock(self):
        with self.lock:
            self.started = time.monotonic()

    def seen(self, method=None, path=None, after=0.0):
        with self.lock:
            return [r for r in self.requests
                    if r[0] >= after and (method is None or r[1] == method)
                    and (path is None or urllib.parse.urlparse(r[2]).path == path)]

    def states(self):
        """The editor's reports: (time, page id, text)."""
        out = []
        for t, _, p, _ in self.seen("GET", "/state"):
            q = urllib.parse.parse_qs(urllib.parse.urlparse(p).query, keep_blank_values=True)
            out.append((t, q["id"][0], q["text"][0]))
        return out

    def close(self):
        self.httpd.shutdown()
        self.httpd.server_close()


class KeepAliveTest(E2ETest):
    def setUp(self):
        super().setUp()
        self.forum = SessionForum()
        self.addCleanup(self.forum.close)

    def start_at(self, path):
        # "HomePage" alone names the forum: no host-resolver rule.
        program = self.start(f"[Setting]\nLockTime=0\nHomePage=127.0.0.1:{self.forum.port}{path}\n",
                             server=self.forum, resolver=False)
        self.forum.reset_clock()
        return program

    def no_other_window(self, program, main):
        self.assertEqual(program.window_ids(), [main], "a window other than the main one appeared")
        self.assertEqual(self.desktop.xdotool("search", "--onlyvisible", "--name", "secret|leave|离开",
                                              check=False).strip(), "")

    def test_a_posted_reply_is_never_sent_again_and_an_alert_never_stops_the_reloads(self):
        program = self.start_at("/post")
        main = program.window()
        first = wait_for(lambda: self.forum.seen("GET", "/post"), 30, what="the forum's page")[0][0]
        print(f"first request {first:.1f} s after start")
        self.assertGreaterEqual(first, 4.5)
        self.assertLess(first, 12)
        post = wait_for(lambda: self.forum.seen("POST", "/reply"), 15, what="the reply posted")
        session = post[0][3]
        self.assertIsNotNone(session, "the post carried the session cookie")

        # The result page called alert() while the window was locked: no window for it, and
        # the next two reloads come as GETs of the result page.
        reloads = wait_for(lambda: (lambda r: r if len(r) >= 2 else None)(
            self.forum.seen("GET", "/reply", after=post[0][0])), 150, interval=1,
            what="two reloads of the result page")
        print("reloads of the result page at " + ", ".join(f"{t:.1f} s" for t, *_ in reloads))
        self.assertEqual(len(self.forum.seen("POST")), 1, "the reply was posted again")
        self.assertTrue(all(r[3] == session for r in reloads), "the reloads carried the session")
        self.assertGreater(reloads[1][0] - reloads[0][0], 50, "one reload per period")
        self.no_other_window(program, main)
        self.assertIsNone(program.process.poll())

    def test_a_draft_stays_and_the_session_is_kept_alive_beside_it(self):
        program = self.start_at("/")
        main = program.window()
        wait_for(lambda: self.forum.seen("GET", "/"), 30, what="the forum's home page")
        time.sleep(3)  # the lock panel has slid in
        self.desktop.click(*self.at(main, USER_NAME))
        self.desktop.type_text("58263")
        self.desktop.click(*self.at(main, PASSWORD))
        self.desktop.type_text("58263")
        self.desktop.click(*self.at(main, LOGIN))
        time.sleep(2.5)  # the slide out

        self.desktop.click(*self.at(main, EDITOR_LINK))
        wait_for(lambda: self.forum.seen("GET", "/editor"), 15, what="the editor")
        time.sleep(1)
        self.desktop.click(*self.at(main, DRAFT))
        self.desktop.type_text("half a reply")
        states = wait_for(lambda: [s for s in self.forum.states() if s[2] == "half a reply"], 15,
                          what="the draft reported by the editor")
        editor_id = states[0][1]
        typed_at = states[0][0]
        self.desktop.screenshot("keepalive-draft.png", crop=self.desktop.geometry(main))

        # Two reload periods after the draft was typed.
        session = self.forum.seen("GET", "/editor")[0][3]
        periods_end = (int(typed_at // 60) + 2) * 60 + 8
        wait_for(lambda: time.monotonic() - self.forum.started > periods_end, periods_end + 10,
                 interval=1, what="two reload periods")

        latest = self.forum.states()[-1]
        self.assertEqual(latest[1], editor_id, "the editor page was replaced")
        self.assertEqual(latest[2], "half a reply", "the draft was lost")
        self.assertEqual(len(self.forum.seen("GET", "/editor")), 1, "the editor was reloaded")
        keep_alives = self.forum.seen("GET", "/", after=typed_at)
        print("keep-alive requests at " + ", ".join(f"{t:.1f} s" for t, *_ in keep_alives))
        minutes = sorted({int(t // 60) for t, *_ in keep_alives})
        self.assertGreaterEqual(len(minutes), 2, "a keep-alive request in each period")
        self.assertTrue(all(r[3] == session for r in keep_alives), "keep-alives carried the session")
        self.no_other_window(program, main)
        self.desktop.screenshot("keepalive-after.png", crop=self.desktop.geometry(main))


if __name__ == "__main__":
    unittest.main()
