#!/usr/bin/python3
"""browser_test.py — the web build in headless Chromium.

  tests/web/browser_test.py ROOT OUT [--port 8180] [--no-trace]

ROOT is the source tree (build/web, build/web-cmake and build/release are
used from it); OUT receives the screenshots, the browser's trace and a
summary (figures.txt). Serves the page on 127.0.0.1, drives Chromium over
its debugging protocol and checks:
  page     loads without console errors; Play starts it; the picture is a
           centred 4:3 rectangle, black around it, and changes between two
           shots; F and Escape work without a click on the picture, and
           Escape ends it with the "played" notice;
  audio    the worklet receives and plays frames in real time, and the
           position the timeline reads is where the module is heard; the
           same through the script processor (no worklet) and at 48000 Hz
           (a browser that refuses 44100); the pictures pause without the
           focus while the music plays on;
  no sound an audio context whose clock never runs ends the program with
           "Can't initialize device" (status 1) instead of a silent page;
  focus    ?autoplay=1 in a background tab starts inactive and runs once
           the tab comes to the front;
  start-up five loads: the first main-loop frame after Play (the page's
           qm7Stats.firstFrameMs) and where the time went;
  look     at 1920x1080 the checkerboard test frame (?testframe=checker)
           shows every source pixel 4.5 screen pixels wide and tall, within
           a quarter pixel (tests/support/footprint.py);
  bad data a missing qm7.dat and a truncated qm7.it show the message overlay;
  trace    the capture tool's frame-exact run, built for the browser, keeps
           the timeline of the golden trace exactly; frame hashes are
           compared and sampled frames that differ stay within 2 per channel.
Exit status 0 when every check passes. Needs python3-websocket and python3-pil.
"""
import argparse
import http.server
import io
import json
import os
import shutil
import subprocess
import sys
import tempfile
import threading
import time
import urllib.parse
import urllib.request

import websocket
from PIL import Image

sys.path.insert(0, os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), 'support'))
import trace_compare  # noqa: E402  (the golden runs and the rule a trace is held to)

FAILURES = []
FIGURES = []


def check(ok, what):
    print(('ok    ' if ok else 'FAIL  ') + what, flush=True)
    if not ok:
        FAILURES.append(what)
    return ok


def figure(text):
    print('      ' + text, flush=True)
    FIGURES.append(text)


# ---- the server: the page, a bad-data twin of it, the trace page, reports
class Server:
    def __init__(self, root, port):
        self.root = root
        self.requests = []  # (time.time(), path) of every GET
        self.reports = {}
        self.cond = threading.Condition()
        server = self

        class Handler(http.server.BaseHTTPRequestHandler):
            def log_message(self, *args):
                pass

            def do_GET(self):
                server.requests.append((time.time(), self.path))
                body, kind = server.serve(self.path.split('?')[0])
                if body is None:
                    self.send_error(404)
                    return
                self.send_response(200)
                self.send_header('Content-Type', kind)
                self.send_header('Content-Length', str(len(body)))
                self.send_header('Cache-Control', 'no-store')
                self.end_headers()
                self.wfile.write(body)

            def do_POST(self):
                length = int(self.headers.get('Content-Length', '0'))
                body = self.rfile.read(length)
                name = self.path.rsplit('/', 1)[-1]
                with server.cond:
                    server.reports[name] = body
                    server.cond.notify_all()
                self.send_response(204)
                self.end_headers()

        self.httpd = http.server.ThreadingHTTPServer(('127.0.0.1', port), Handler)
        threading.Thread(target=self.httpd.serve_forever, daemon=True).start()

    TYPES = {'.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm'}

    def serve(self, path):
        web = os.path.join(self.root, 'build', 'web')
        folders = {
            'web': web, 'missing-dat': web, 'truncated-it': web,
            'capture': os.path.join(self.root, 'build', 'web-cmake', 'tools', 'capture'),
            'tests': os.path.join(self.root, 'tests', 'web'),
        }
        parts = path.strip('/').split('/')
        if len(parts) != 2 or parts[0] not in folders or parts[1] in ('', '..', '.'):
            return None, None
        variant, name = parts
        if variant == 'missing-dat' and name == 'qm7.dat':
            return None, None
        file = os.path.join(folders[variant], name)
        if not os.path.isfile(file):
            return None, None
        with open(file, 'rb') as f:
            body = f.read()
        if variant == 'truncated-it' and name == 'qm7.it':
            body = body[:1500]
        return body, self.TYPES.get(os.path.splitext(name)[1], 'application/octet-stream')

    def wait_report(self, name, timeout):
        with self.cond:
            self.cond.wait_for(lambda: name in self.reports, timeout)
            return self.reports.get(name)

    def close(self):
        self.httpd.shutdown()


# ---- Chromium over its debugging protocol
class Browser:
    def __init__(self, port, profile, width=1280, height=800, flags=()):
        self.port = port
        self.proc = subprocess.Popen(
            ['chromium', '--headless=new', '--no-sandbox', '--disable-gpu',
             '--no-first-run', '--no-default-browser-check', '--mute-audio',
             '--remote-debugging-address=127.0.0.1', f'--remote-debugging-port={port}',
             f'--user-data-dir={profile}', f'--window-size={width},{height}',
             *flags, 'about:blank'],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        deadline = time.time() + 30
        target = None
        while time.time() < deadline and target is None:
            try:
                with urllib.request.urlopen(f'http://127.0.0.1:{port}/json/list', timeout=2) as r:
                    pages = [t for t in json.load(r) if t.get('type') == 'page']
                    target = pages[0] if pages else None
            except OSError:
                time.sleep(0.3)
        if target is None:
            self.close()
            raise RuntimeError('Chromium did not come up')
        self.attach(target['webSocketDebuggerUrl'])

    def attach(self, url):
        self.ws = websocket.create_connection(url, timeout=60, suppress_origin=True)
        self.next_id = 0
        self.errors = []
        for domain in ('Page', 'Runtime', 'Log', 'Performance'):
            self.send(domain + '.enable')

    def open_background_tab(self, url):
        """A second tab behind this one, driven through its own connection
        (a Browser sharing this one's process)."""
        target = self.send('Target.createTarget', url=url, background=True)['targetId']
        with urllib.request.urlopen(f'http://127.0.0.1:{self.port}/json/list', timeout=5) as r:
            found = [t for t in json.load(r) if t.get('id') == target]
        tab = Browser.__new__(Browser)
        tab.port, tab.proc = self.port, None
        tab.attach(found[0]['webSocketDebuggerUrl'])
        return tab, target

    def _event(self, message):
        method, params = message.get('method'), message.get('params', {})
        if method == 'Runtime.exceptionThrown':
            d = params['exceptionDetails']
            self.errors.append('exception: ' + d.get('exception', {}).get('description', d.get('text', '')))
        elif method == 'Runtime.consoleAPICalled' and params.get('type') == 'error':
            self.errors.append('console.error: ' + ' '.join(str(a.get('value', a.get('description')))
                                                            for a in params.get('args', [])))
        elif method == 'Log.entryAdded' and params['entry'].get('level') == 'error':
            self.errors.append('log: ' + params['entry'].get('text', ''))

    def send(self, method, **params):
        self.next_id += 1
        my_id = self.next_id
        self.ws.send(json.dumps({'id': my_id, 'method': method, 'params': params}))
        while True:
            message = json.loads(self.ws.recv())
            if message.get('id') == my_id:
                if 'error' in message:
                    raise RuntimeError(f'{method}: {message["error"]}')
                return message.get('result', {})
            self._event(message)

    def pump(self, seconds):
        """Lets the page run for a while, still collecting its events."""
        end = time.time() + seconds
        while time.time() < end:
            self.ws.settimeout(max(0.05, end - time.time()))
            try:
                self._event(json.loads(self.ws.recv()))
            except websocket.WebSocketTimeoutException:
                pass
        self.ws.settimeout(60)

    def js(self, expression):
        result = self.send('Runtime.evaluate', expression=expression, returnByValue=True,
                           awaitPromise=True)
        if 'exceptionDetails' in result:
            raise RuntimeError(f'{expression}: {result["exceptionDetails"]}')
        return result['result'].get('value')

    def wait_for(self, expression, timeout):
        end = time.time() + timeout
        while time.time() < end:
            if self.js(expression):
                return True
            self.pump(0.1)
        return False

    def open(self, url):
        self.errors = []
        self.send('Page.navigate', url=url)
        return self.wait_for("document.readyState === 'complete'", 30)

    def screenshot(self, path):
        import base64
        data = base64.b64decode(self.send('Page.captureScreenshot', format='png')['data'])
        with open(path, 'wb') as f:
            f.write(data)
        return Image.open(io.BytesIO(data)).convert('RGB')

    def click(self, selector):
        r = self.js(f"(() => {{ const r = document.querySelector('{selector}').getBoundingClientRect();"
                    " return [r.left + r.width / 2, r.top + r.height / 2]; })()")
        for kind in ('mousePressed', 'mouseReleased'):
            self.send('Input.dispatchMouseEvent', type=kind, x=r[0], y=r[1], button='left',
                      clickCount=1)

    def key(self, key, code, keycode):
        for kind in ('keyDown', 'keyUp'):
            self.send('Input.dispatchKeyEvent', type=kind, key=key, code=code,
                      windowsVirtualKeyCode=keycode)

    def task_seconds(self):
        metrics = self.send('Performance.getMetrics')['metrics']
        return {m['name']: m['value'] for m in metrics}.get('TaskDuration', 0.0)

    def close(self):
        try:
            self.ws.close()
        except Exception:
            pass
        if self.proc is None:
            return
        self.proc.terminate()
        try:
            self.proc.wait(10)
        except subprocess.TimeoutExpired:
            self.proc.kill()


# ---- golden trace
GOLDEN_RUN = 'steady-60fps'
GOLDEN_ARGS = dict(trace_compare.golden_runs())[GOLDEN_RUN]  # its qm7-capture arguments


def golden_rows():
    """The golden run's lines after the header, each a list of its fields."""
    return trace_compare.trace_lines(trace_compare.golden_trace(GOLDEN_RUN))[1:]


def golden_time_of(rows, order, row):
    """Seconds of module time at which the 60 fps golden run first polled this position."""
    for r in rows:
        if int(r[1]) == order and int(r[2]) == row:
            return (int(r[0]) + 1) / 60.0
    return None


# ---- the checks
def picture_checks(shot, rect, width, height):
    """The canvas is a centred 4:3 rectangle; around it black, inside a picture."""
    left, top, w, h = (round(v) for v in rect)
    check(abs(w * 3 - h * 4) <= 4, f'picture is 4:3 ({w}x{h})')
    check(abs(left - (width - w) // 2) <= 1 and abs(top - (height - h) // 2) <= 1,
          f'picture centred (at {left},{top} in {width}x{height})')
    check(w == width or h == height, 'picture as large as the window allows')
    px = shot.load()
    outside = [(x, y) for x in range(0, width, 7) for y in range(0, height, 7)
               if not (left - 1 <= x <= left + w and top - 1 <= y <= top + h)]
    check(all(px[p] == (0, 0, 0) for p in outside), 'black around the picture')
    inside = shot.crop((left, top, left + w, top + h))
    check(inside.getbbox() is not None, 'the picture is not blank')
    return inside


def canvas_rect(browser):
    return browser.js("(() => { const r = document.getElementById('screen').getBoundingClientRect();"
                      " return [r.left, r.top, r.width, r.height]; })()")


def open_and_play(browser, url):
    """Opens the page, presses Play, waits for the main loop's first frame."""
    browser.open(url)
    check(browser.wait_for("!document.getElementById('play').disabled", 60), f'{url}: Play is offered')
    browser.click('#play')
    return check(browser.wait_for('qm7Stats.firstFrameMs >= 0', 20), f'{url}: Play starts the demo')


HEARD = ('({heard: qm7Page.heardFrames(), position: qm7Page.position(),'
         ' played: qm7Stats.audioPlayed, t: performance.now()})')


def audio_checks(browser, golden, kind, rate, first, seconds=3):
    """The output plays in real time at `rate` through `kind`, and the position
    the timeline reads is where the module is heard (by the golden run's
    timing of that position). `first` is a sample taken `seconds` before."""
    later = browser.js(HEARD)
    stats = browser.js('qm7Stats')
    check(stats['audioKind'] == kind and stats['audioRate'] == rate,
          f"music through the {kind} at {rate} Hz ({stats['audioKind']}, {stats['audioRate']} Hz)")
    check(stats['audioChunks'] > 0 and later['played'] > first['played'],
          f"the output received {stats['audioChunks']} chunks and plays them")
    speed = (later['played'] - first['played']) / rate / ((later['t'] - first['t']) / 1000)
    check(0.8 < speed < 1.2, f'audio plays in real time ({speed:.2f}x)')
    for s in (first, later):
        order, row = s['position'] & 0xFFFF, s['position'] >> 16
        heard = s['heard'] / rate
        at = golden_time_of(golden, order, row)
        check(at is not None and abs(at - heard) < 0.3,
              f'position order {order} row {row} heard at {heard:.2f} s of music '
              f'(the golden run reaches it at {at if at is None else round(at, 2)} s)')


def pause_checks(browser, rate):
    """Focus away: the pictures stop, the music goes on; focus back: both run."""
    browser.js("document.getElementById('screen').blur()")
    browser.pump(0.5)
    away = browser.js('[qm7Stats.frames, qm7Stats.audioPlayed]')
    browser.pump(1.5)
    later = browser.js('[qm7Stats.frames, qm7Stats.audioPlayed]')
    check(later[0] == away[0] and later[1] > away[1] + rate,
          f'canvas without focus: pictures pause ({later[0] - away[0]} frames), music plays on')
    browser.js("document.getElementById('screen').focus()")
    browser.pump(1)
    check(browser.js('qm7Stats.frames') > later[0], 'focus back: the pictures run again')


def escape_checks(browser, out, name):
    check(not browser.errors, 'no console errors: ' + '; '.join(browser.errors[:5]))
    browser.key('Escape', 'Escape', 27)
    check(browser.wait_for('qm7Stats.status === 0', 10), 'Escape ends the demo (status 0)')
    check(browser.js("!document.getElementById('ended').hidden"), 'the page says it was played')
    browser.screenshot(os.path.join(out, name))


def test_page(browser, server, base, out, golden):
    browser.open(base + '/web/index.html')
    check(browser.wait_for("!document.getElementById('play').disabled", 60), 'Play is offered')
    start = browser.screenshot(os.path.join(out, 'web-before-play.png'))
    left, top, w, h = (round(v) for v in canvas_rect(browser))
    frame = start.crop((left, top, left + w, top + h))
    check(sum(1 for p in frame.getdata() if p != (0, 0, 0)) < w * h // 4,
          'before Play: a black frame with the Play button')

    browser.click('#play')
    check(browser.wait_for('qm7Stats.firstFrameMs >= 0', 20), 'Play starts the demo')
    figure('first load in a fresh browser, Play to the first main-loop frame: '
           f"{browser.js('qm7Stats.firstFrameMs'):.0f} ms")
    # The keyboard reaches the demo without a click on the picture.
    browser.key('f', 'KeyF', 70)
    check(browser.wait_for('document.fullscreenElement !== null', 5), 'F goes full screen')
    browser.js('document.exitFullscreen()')
    browser.wait_for('document.fullscreenElement === null', 5)
    browser.pump(4)
    cpu0, wall0, frames0 = browser.task_seconds(), time.time(), browser.js('qm7Stats.frames')
    sample0 = browser.js(HEARD)
    width, height = browser.js('[window.innerWidth, window.innerHeight]')
    rect = canvas_rect(browser)
    shot_a = browser.screenshot(os.path.join(out, 'web-playing-1.png'))
    browser.pump(3)
    shot_b = browser.screenshot(os.path.join(out, 'web-playing-2.png'))
    cpu1, wall1, frames1 = browser.task_seconds(), time.time(), browser.js('qm7Stats.frames')
    a = picture_checks(shot_a, rect, width, height)
    b = picture_checks(shot_b, rect, width, height)
    check(list(a.getdata()) != list(b.getdata()), 'the picture changes between two shots')
    figure(f'frames per second while playing: {(frames1 - frames0) / (wall1 - wall0):.1f}')
    figure(f'tab main thread busy: {100 * (cpu1 - cpu0) / (wall1 - wall0):.0f}% of one core '
           '(Performance.getMetrics TaskDuration)')
    audio_checks(browser, golden, 'worklet', 44100, sample0)
    pause_checks(browser, 44100)
    escape_checks(browser, out, 'web-after-escape.png')


def test_fallbacks(browser, base, out, golden):
    """The script processor (no worklet), and a browser that refuses 44100 Hz."""
    for flag, kind, rate, pause in (('script', 'script-processor', 44100, True),
                                    ('rate48000', 'worklet', 48000, False)):
        print(f'-- ?testaudio={flag}', flush=True)
        if not open_and_play(browser, f'{base}/web/index.html?testaudio={flag}'):
            continue
        browser.pump(3)
        first = browser.js(HEARD)
        browser.pump(3)
        audio_checks(browser, golden, kind, rate, first)
        browser.screenshot(os.path.join(out, f'web-playing-{flag}.png'))
        if pause:
            pause_checks(browser, rate)
        escape_checks(browser, out, f'web-after-escape-{flag}.png')


def test_no_audio(browser, base, out):
    """An output whose clock never runs: the program's own message, status 1."""
    browser.open(base + '/web/index.html?testaudio=stuck')
    check(browser.wait_for("!document.getElementById('play').disabled", 60), 'no sound: Play is offered')
    browser.click('#play')
    ended = browser.wait_for('qm7Stats.status !== null', 5)
    stats = browser.js('qm7Stats')
    text = browser.js("document.getElementById('message').textContent")
    shown = browser.js("!document.getElementById('message-box').hidden")
    check(ended and stats['status'] == 1, f"no sound: the program ends with status {stats['status']}")
    check(shown and text == "Can't initialize device", f'no sound: the overlay says "{text}"')
    steps = [name for name, _ in stats['startup']]
    check(stats['firstFrameMs'] < 0 and 'OpenPack' not in steps,
          f'no sound: start-up stopped at its first step ({steps})')
    check(900 <= stats['audioStartMs'] <= 2000,
          f"no sound: given up {stats['audioStartMs']:.0f} ms after Play")
    browser.screenshot(os.path.join(out, 'web-no-audio.png'))


def test_background_tab(port, base):
    """?autoplay=1 in a tab behind another, in a browser that lets sound start
    without a click: inactive from the start (no main-loop frames), running
    once the tab comes to the front, paused again when the picture loses the
    focus."""
    profile = tempfile.mkdtemp(prefix='qm7-chromium-')
    browser = Browser(port, profile, flags=['--autoplay-policy=no-user-gesture-required'])
    tab = None
    try:
        tab, _ = browser.open_background_tab(base + '/web/index.html?autoplay=1')
        started = tab.wait_for("typeof qm7Stats !== 'undefined' && qm7Stats.activeAtStart !== null", 30)
        tab.pump(1)
        stats = tab.js('qm7Stats')
        check(started and stats['activeAtStart'] is False and stats['status'] is None,
              f"background tab: starts inactive (active {stats['activeAtStart']}, "
              f"status {stats['status']})")
        check(stats['firstFrameMs'] < 0, f"background tab: no frames while hidden ({stats['frames']})")
        tab.send('Page.bringToFront')
        check(tab.wait_for('qm7Stats.firstFrameMs >= 0', 10), 'background tab: runs in front')
        tab.js("document.getElementById('screen').blur()")
        tab.pump(0.5)
        away = tab.js('qm7Stats.frames')
        tab.pump(1)
        check(tab.js('qm7Stats.frames') == away, 'background tab: then pauses on the next blur')
        check(not tab.errors, 'background tab: no console errors: ' + '; '.join(tab.errors[:5]))
    finally:
        if tab:
            tab.close()
        browser.close()
        shutil.rmtree(profile, ignore_errors=True)


def test_startup(browser, server, base):
    """Five loads: Play to the main loop's first frame, and where it went.
    Play fetches nothing: the page loads it all while it shows Play."""
    firsts = []
    for _ in range(5):
        browser.open(base + '/web/index.html')
        check(browser.wait_for("!document.getElementById('play').disabled", 60), 'Play is offered')
        clicked = time.time()
        browser.click('#play')
        if not check(browser.wait_for('qm7Stats.firstFrameMs >= 0', 20), 'Play starts the demo'):
            return
        stats = browser.js('qm7Stats')
        firsts.append(stats['firstFrameMs'])
        late = [path for at, path in server.requests if at > clicked]
        check(not late, f'everything is fetched before Play (after it: {late})')
    figure('Play to the first main-loop frame (qm7Stats.firstFrameMs), five loads: ' +
           ', '.join(f'{ms:.0f}' for ms in firsts) + f' ms; median {sorted(firsts)[2]:.0f} ms')
    figure('start-up of the last load, ms after Play: ' +
           ', '.join(f'{name} {ms:.1f}' for name, ms in stats['startup']))


def test_look(browser, base, out, root):
    """The checkerboard test frame on a 1920x1080 page: every source pixel
    the same size (4.5 screen pixels) after the page's last scaling step."""
    browser.send('Emulation.setDeviceMetricsOverride', width=1920, height=1080,
                 deviceScaleFactor=1, mobile=False)
    try:
        open_and_play(browser, base + '/web/index.html?testframe=checker')
        # The full-screen button leaves the picture's corner after 3 s.
        browser.wait_for("document.getElementById('fullscreen').hidden", 10)
        browser.pump(0.5)
        path = os.path.join(out, 'web-look-checker.png')
        browser.screenshot(path)
        measured = subprocess.run(
            ['/usr/bin/python3', os.path.join(root, 'tests', 'support', 'footprint.py'), 'check',
             path], capture_output=True, text=True)
        for line in measured.stdout.splitlines():
            figure('look: ' + line)
        check(measured.returncode == 0 and 'picture 1440x1080 at 240,0 ' in measured.stdout,
              'look: 1440x1080 at 240,0, every source pixel 4.5 screen pixels within 0.25')
        browser.key('Escape', 'Escape', 27)
        check(browser.wait_for('qm7Stats.status === 0', 10), 'look: Escape ends it (status 0)')
    finally:
        browser.send('Emulation.clearDeviceMetricsOverride')


def test_bad_data(browser, base, out):
    """Bad data ends start-up with its message. Opened with ?autoplay=1: this
    browser starts sound only after a click, so Play stays offered first."""
    for variant, expected in (('missing-dat', "Can't load the data file"),
                              ('truncated-it', "Can't play the file")):
        browser.open(f'{base}/{variant}/index.html?autoplay=1')
        offered = browser.wait_for("qm7Stats.loadedMs >= 0 && !document.getElementById('play').disabled"
                                   " && !document.getElementById('start').hidden", 30)
        check(offered and browser.js('qm7Stats.status === null'),
              f'{variant}: autoplay without a click offers Play again')
        browser.click('#play')
        shown = browser.wait_for("!document.getElementById('message-box').hidden", 30)
        text = browser.js("document.getElementById('message').textContent") if shown else ''
        check(shown and expected in text, f'{variant}: the overlay says "{text}"')
        shot = browser.screenshot(os.path.join(out, f'web-{variant}.png'))
        box = browser.js("(() => { const r = document.getElementById('message-box')"
                         ".getBoundingClientRect(); return [r.left, r.top, r.right, r.bottom]; })()")
        check(shot.crop(tuple(round(v) for v in box)).getbbox() is not None,
              f'{variant}: the message is on screen, not a blank page')


def run_trace_page(browser, server, base, dump):
    """One frame-exact run in the browser; the parsed 'done' report, or None."""
    with server.cond:
        server.reports.clear()
    started = time.time()
    args = urllib.parse.quote(' '.join(GOLDEN_ARGS))
    browser.open(f'{base}/tests/trace.html?dump={dump}&args={args}')
    done = None
    while done is None and time.time() - started < 1500:
        done = server.wait_report('done', 5)
        browser.pump(0.01)
    return json.loads(done) if done is not None else None


def compare_dumps(server, root, dump):
    """The browser's dumps of the passes in `dump` against the native
    build's (trace_compare.Frames)."""
    native = tempfile.mkdtemp(prefix='qm7-native-dumps-')
    try:
        subprocess.run([os.path.join(root, 'build', 'release', 'tools', 'capture', 'qm7-capture'),
                        '--data', os.path.join(root, 'build', 'release', 'data'), *GOLDEN_ARGS,
                        '--dump-frames', dump, '--dump-dir', native], check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        pairs = []
        for name in sorted(os.listdir(native)):
            web = server.reports.get(name)
            if web is None:
                continue
            with open(os.path.join(native, name), 'rb') as f:
                pairs.append((f.read(), web))
        return trace_compare.Frames(pairs)
    finally:
        shutil.rmtree(native, ignore_errors=True)


def test_trace(browser, server, base, out, root, golden):
    every = 100
    dump = ','.join(str(p) for p in range(0, len(golden), every))
    result = run_trace_page(browser, server, base, dump)
    if not check(result is not None, 'the browser finished the frame-exact run'):
        return
    check(result['status'] == 0, f"the capture run ended with status 0 ({result['status']})")
    figure(f"browser frame-exact run: {result.get('seconds', 0):.0f} s for the whole demo")
    trace = server.reports.get('trace', b'').decode()
    with open(os.path.join(out, 'web-steady-60fps.trace'), 'w') as f:
        f.write(trace)
    rows = trace_compare.trace_lines(trace)[1:]
    check(len(rows) == len(golden), f'{len(rows)} frames, the golden run has {len(golden)}')
    timeline = trace_compare.Timeline(trace_compare.golden_trace(GOLDEN_RUN), trace)
    check(timeline.ok, f'timeline (position, scene, event, ticks) identical on '
          f'{timeline.same_timeline} of {len(golden)} frames')
    differ, same = timeline.differing, timeline.same
    figure(f'identical frame hashes: {same} of {len(golden)} ({100 * same / max(1, len(golden)):.2f}%)')

    frames = compare_dumps(server, root, dump)
    check(frames.compared == len(range(0, len(golden), every)), f'{frames.compared} sampled frames compared')
    figure(f'sampled frames (every {every}th): {frames.differing} of {frames.compared} differ, '
           f'largest difference {frames.worst} per channel')
    check(frames.ok, f'sampled frames within {trace_compare.FRAME_TOLERANCE} per channel (largest {frames.worst})')
    if differ:
        # A second run dumps frames whose hash differs (up to 60 of them, spread out).
        picked = ','.join(str(p) for p in trace_compare.spread(differ, 60))
        if run_trace_page(browser, server, base, picked) is None:
            check(False, 'the second browser run (dumps of differing frames) finished')
            return
        frames = compare_dumps(server, root, picked)
        figure(f'frames whose hash differs: {frames.differing} of {frames.compared} dumped, largest '
               f'difference {frames.worst} per channel, at most {frames.pixels} of 76800 pixels in one frame')
        # The effects take sine, cosine and arc tangent from kit/trig, so the
        # browser's maths library has no say: a differing frame is a fault,
        # tolerated only within 2 per channel.
        check(frames.compared > 0 and frames.ok, f'frames whose hash differs stay within 2 per channel '
              f'(largest {frames.worst}, at most {frames.pixels} pixels in one frame)')
    check(same >= 0.99 * len(golden), 'at least 99% of the frame hashes identical')


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('root')
    parser.add_argument('out')
    parser.add_argument('--port', type=int, default=8180)
    parser.add_argument('--no-trace', action='store_true')
    args = parser.parse_args()
    root = os.path.abspath(args.root)
    os.makedirs(args.out, exist_ok=True)
    golden = golden_rows()
    server = Server(root, args.port)
    base = f'http://127.0.0.1:{args.port}'
    profile = tempfile.mkdtemp(prefix='qm7-chromium-')
    browser = Browser(args.port + 1, profile)
    try:
        sizes = sum(os.path.getsize(os.path.join(root, 'build', 'web', n))
                    for n in os.listdir(os.path.join(root, 'build', 'web')))
        figure(f'download size: {sizes} bytes ({sizes / 1048576:.2f} MiB)')
        check(sizes <= 2.5 * 1048576, 'the page downloads at most 2.5 MiB')
        test_page(browser, server, base, args.out, golden)
        test_look(browser, base, args.out, root)
        test_fallbacks(browser, base, args.out, golden)
        test_no_audio(browser, base, args.out)
        test_background_tab(args.port + 2, base)
        test_startup(browser, server, base)
        test_bad_data(browser, base, args.out)
        if not args.no_trace:
            test_trace(browser, server, base, args.out, root, golden)
    finally:
        browser.close()
        server.close()
        shutil.rmtree(profile, ignore_errors=True)
    with open(os.path.join(args.out, 'figures.txt'), 'w') as f:
        f.write('\n'.join(FIGURES) + '\n')
    if FAILURES:
        print(f'{len(FAILURES)} web checks failed')
        return 1
    print('all web checks passed')
    return 0


if __name__ == '__main__':
    sys.exit(main())
