#!/usr/bin/python3
"""browser_test.py — the web build in a browser engine.

  tests/web/browser_test.py ROOT OUT [--engine chromium|firefox|webkit]
                            [--port 8180] [--no-trace] [--loads N]

ROOT is the source tree (build/web, build/web-cmake and build/release are
used from it); OUT receives the screenshots, the browser's trace and a
summary (figures.txt). Serves the page on 127.0.0.1 and drives the engine
through its adapter (tests/web/browsers.py): Chromium headless, Firefox and
WebKit as real full-screen windows on the X server in DISPLAY beside the
sound server in PULSE_SERVER (run them under tests/support/x_session.sh with
openbox and tests/support/sound_server.sh). Checks:
  page     loads without console errors; Play starts it; the picture is a
           centred 4:3 rectangle, black around it, and changes between two
           shots; F and Escape work without a click on the picture, and
           Escape ends it with the "played" notice; frames per second and
           the page's main thread's busy share while playing;
  audio    the worklet receives and plays frames in real time, and the
           position the timeline reads is where the module is heard; the
           same through the script processor (no worklet) and at 48000 Hz
           (a browser that refuses 44100); the pictures pause without the
           focus while the music plays on;
  slow     an output whose clock starts 2.5 s after Play: pictures before
           it, the music waiting at its start, "Starting sound…", then it
           plays and is heard where the timeline reads it;
  no sound an audio context whose clock never runs: "Starting sound…", then
           "Can't initialize device" (status 1) once the limit has passed;
           the same in Firefox started with no sound server to reach;
  focus    (Chromium) ?autoplay=1 in a background tab starts inactive and
           runs once the tab comes to the front;
  start-up five loads: every one plays; the first main-loop frame after
           Play (qm7Stats.firstFrameMs), the audio clock, and where the time
           went (figures);
  look     at 1920x1080 the checkerboard test frame (?testframe=checker)
           shows every source pixel 4.5 screen pixels wide and tall, within
           a quarter pixel (tests/support/footprint.py);
  bad data a missing qm7.dat and a truncated qm7.it show the message overlay;
  trace    the capture tool's frame-exact run, built for the browser, keeps
           the timeline of the golden trace exactly; frame hashes are
           compared and sampled frames that differ stay within 2 per channel.
--loads N measures only: N loads of the page (how many play, first frames)
and N of the folder without qm7.dat (how often the message names it).
Exit status 0 when every check passes. Needs python3-websocket and python3-pil.
"""
import argparse
import http.server
import json
import os
import shutil
import subprocess
import sys
import tempfile
import threading
import time
import urllib.parse


sys.path.insert(0, os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), 'support'))
import trace_compare  # noqa: E402  (the golden runs and the rule a trace is held to)
from browsers import DevTools, start_browser  # noqa: E402  (one adapter per protocol)

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
    errors = browser.all_errors()
    check(not errors, 'no console errors: ' + '; '.join(errors[:5]))
    browser.key('Escape')
    check(browser.wait_for('qm7Stats.status === 0', 10), 'Escape ends the demo (status 0)')
    check(browser.js("!document.getElementById('ended').hidden"), 'the page says it was played')
    browser.screenshot(os.path.join(out, name))


def playing_figures(browser, seconds, counter='qm7Stats.frames'):
    """Frames per second and the page's main thread's busy share over `seconds`."""
    cpu0, wall0, frames0 = browser.main_thread_seconds(), time.time(), browser.js(counter)
    browser.pump(seconds)
    cpu1, wall1, frames1 = browser.main_thread_seconds(), time.time(), browser.js(counter)
    fps = (frames1 - frames0) / (wall1 - wall0)
    busy = browser.busy_share(cpu0, cpu1, wall1 - wall0)
    figure(f'frames per second while playing: {fps:.1f}')
    figure(f'page main thread busy: {100 * busy:.0f}% of one core (its CPU time, /proc); the browser'"'"'s threads in all:'
           f' {100 * browser.all_share(cpu0, cpu1, wall1 - wall0):.0f}% of one core')
    return fps, busy


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
    check(browser.wait_for('qm7Stats.audioStartMs >= 0', 10), 'the audio clock runs')
    figure(f"first load, Play to the audio clock running: {browser.js('qm7Stats.audioStartMs'):.0f} ms")
    # The keyboard reaches the demo without a click on the picture.
    browser.key('f')
    check(browser.wait_for('document.fullscreenElement !== null', 5), 'F goes full screen')
    check(browser.exit_fullscreen(), 'and back to the window')
    browser.pump(4)
    sample0 = browser.js(HEARD)
    width, height = browser.js('[window.innerWidth, window.innerHeight]')
    rect = canvas_rect(browser)
    shot_a = browser.screenshot(os.path.join(out, 'web-playing-1.png'))
    browser.pump(3)
    shot_b = browser.screenshot(os.path.join(out, 'web-playing-2.png'))
    a = picture_checks(shot_a, rect, width, height)
    b = picture_checks(shot_b, rect, width, height)
    check(list(a.getdata()) != list(b.getdata()), 'the picture changes between two shots')
    audio_checks(browser, golden, 'worklet', 44100, sample0)
    playing_figures(browser, 3)
    pause_checks(browser, 44100)
    escape_checks(browser, out, 'web-after-escape.png')


def test_fallbacks(browser, base, out, golden):
    """The script processor (no worklet), and a browser that refuses 44100 Hz."""
    for flag, kind, rate, pause in (('script', 'script-processor', 44100, True),
                                    ('rate48000', 'worklet', 48000, False)):
        print(f'-- ?testaudio={flag}', flush=True)
        if not open_and_play(browser, f'{base}/web/index.html?testaudio={flag}'):
            continue
        browser.wait_for('qm7Stats.audioStartMs >= 0', 10)
        browser.pump(3)
        first = browser.js(HEARD)
        browser.pump(3)
        audio_checks(browser, golden, kind, rate, first)
        browser.screenshot(os.path.join(out, f'web-playing-{flag}.png'))
        if pause:
            pause_checks(browser, rate)
        escape_checks(browser, out, f'web-after-escape-{flag}.png')


NOTICE = "(() => { const n = document.getElementById('notice'); return n.hidden ? '' : n.textContent; })()"


def test_slow_audio(browser, base, out, golden):
    """An output whose clock starts 2.5 s after Play: the pictures start at
    once and the music waits at its start; "Starting sound…" shows meanwhile;
    then the music plays and is heard where the timeline reads it."""
    if not open_and_play(browser, f'{base}/web/index.html?testaudio=slow2500'):
        return
    browser.pump(1)
    # The stand-in's clock cannot run before 2.5 s: a first picture before
    # 2.4 s is the pictures starting ahead of the sound (WebKitGTK without a
    # GPU, on a busy machine, took up to 1.2 s for its first).
    browser.wait_for('qm7Stats.firstFrameMs >= 0', 1.4)
    stats = browser.js('qm7Stats')
    check(0 <= stats['firstFrameMs'] < 2400 and stats['audioStartMs'] < 0 and browser.js('qm7Page.position()') == 0,
          f"slow sound: pictures from {stats['firstFrameMs']:.0f} ms after Play, the music waits at its start")
    check(browser.js(NOTICE) == 'Starting sound…', f'slow sound: the page says "{browser.js(NOTICE)}"')
    browser.screenshot(os.path.join(out, 'web-slow-audio.png'))
    check(browser.wait_for('qm7Stats.audioStartMs >= 0', 10), 'slow sound: the clock runs')
    stats = browser.js('qm7Stats')
    # The engine's own clock start comes on top of the stand-in's 2.5 s
    # (Firefox's alone took up to 2.4 s): before the limit, it plays.
    check(2400 <= stats['audioStartMs'] < 8000 and stats['status'] is None and not browser.js(NOTICE),
          f"slow sound: it plays from {stats['audioStartMs']:.0f} ms after Play, the notice gone")
    browser.pump(3)
    first = browser.js(HEARD)
    browser.pump(2)
    audio_checks(browser, golden, 'worklet', 44100, first)
    escape_checks(browser, out, 'web-after-escape-slow.png')


def test_no_audio(browser, base, out, flag='testaudio=stuck', what='no sound', shot='web-no-audio.png'):
    """An output whose clock never runs: "Starting sound…", then the
    program's own message and status 1 once the limit has passed."""
    browser.open(f'{base}/web/index.html?{flag}')
    check(browser.wait_for("!document.getElementById('play').disabled", 60), f'{what}: Play is offered')
    browser.click('#play')
    browser.pump(1)
    check(browser.js(NOTICE) == 'Starting sound…', f'{what}: the page says "{browser.js(NOTICE)}"')
    ended = browser.wait_for('qm7Stats.status !== null', 15)
    stats = browser.js('qm7Stats')
    text = browser.js("document.getElementById('message').textContent")
    shown = browser.js("!document.getElementById('message-box').hidden")
    check(ended and stats['status'] == 1, f"{what}: the program ends with status {stats['status']}")
    check(shown and text == "Can't initialize device" and not browser.js(NOTICE),
          f'{what}: the overlay says "{text}"')
    check(7900 <= stats['audioStartMs'] <= 9500, f"{what}: given up {stats['audioStartMs']:.0f} ms after Play"
          f" ({stats['frames']} frames; last steps {stats['startup'][-3:]})")
    browser.screenshot(os.path.join(out, shot))


def test_no_sound_server(engine, port, base, out):
    """The browser started without a sound server to reach (Firefox's clock
    then never runs, so the page can tell): the same as the stuck stand-in."""
    profile = tempfile.mkdtemp(prefix=f'qm7-{engine}-')
    env = dict(os.environ, PULSE_SERVER='unix:' + os.path.join(profile, 'no-server'))
    browser = start_browser(engine, port, profile, env=env)
    try:
        test_no_audio(browser, base, out, '', 'no sound server', 'web-no-sound-server.png')
    finally:
        browser.close()
        shutil.rmtree(profile, ignore_errors=True)


def test_background_tab(port, base):
    """?autoplay=1 in a tab behind another, in a browser that lets sound start
    without a click: inactive from the start (no main-loop frames), running
    once the tab comes to the front, paused again when the picture loses the
    focus."""
    profile = tempfile.mkdtemp(prefix='qm7-chromium-')
    browser = DevTools(port, profile, flags=['--autoplay-policy=no-user-gesture-required'])
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
        errors = tab.all_errors()
        check(not errors, 'background tab: no console errors: ' + '; '.join(errors[:5]))
    finally:
        if tab:
            tab.close()
        browser.close()
        shutil.rmtree(profile, ignore_errors=True)


def test_startup(browser, server, base, loads=5):
    """Loads in a row: Play to the main loop's first frame and to the audio
    clock, and where the time went. Play fetches nothing: the page loads it
    all while it shows Play. Returns (played, first frames)."""
    firsts, clocks, played = [], [], 0
    for _ in range(loads):
        browser.open(base + '/web/index.html')
        check(browser.wait_for("!document.getElementById('play').disabled", 60), 'Play is offered')
        clicked = time.time()
        browser.click('#play')
        if not check(browser.wait_for('qm7Stats.firstFrameMs >= 0', 20), 'Play starts the demo'):
            continue
        plays = browser.wait_for('qm7Stats.audioStartMs >= 0 && qm7Page.position() !== 0', 15)
        stats = browser.js('qm7Stats')
        check(plays and stats['status'] is None and not stats['messages'],
              f"the music plays (clock {stats['audioStartMs']:.0f} ms after Play, messages {stats['messages']})")
        played += plays and stats['status'] is None
        firsts.append(stats['firstFrameMs'])
        clocks.append(stats['audioStartMs'])
        late = [path for at, path in server.requests if at > clicked]
        check(not late, f'everything is fetched before Play (after it: {late})')
    if not firsts:
        return played, firsts
    median = sorted(firsts)[len(firsts) // 2]
    figure(f'Play to the first main-loop frame (qm7Stats.firstFrameMs), {loads} loads: ' +
           ', '.join(f'{ms:.0f}' for ms in firsts) + f' ms; median {median:.0f} ms')
    figure(f'Play to the audio clock running, {loads} loads: ' + ', '.join(f'{ms:.0f}' for ms in clocks) + ' ms')
    figure('start-up of the last load, ms after Play: ' +
           ', '.join(f'{name} {ms:.1f}' for name, ms in stats['startup']))
    return played, firsts


def test_look(browser, base, out, root):
    """The checkerboard test frame on a 1920x1080 page: every source pixel
    the same size (4.5 screen pixels) after the page's last scaling step."""
    if not browser.real_window:
        browser.set_size(1920, 1080)
    try:
        open_and_play(browser, base + '/web/index.html?testframe=checker')
        # The full-screen button leaves the picture's corner after 3 s.
        browser.wait_for("document.getElementById('fullscreen').hidden", 10)
        browser.pump(0.5)
        path = os.path.join(out, 'web-look-checker.png')
        browser.screenshot(path)
        # WebKitGTK, compositing through OpenGL as it does by default (Mesa's
        # software renderer without a GPU), scales a canvas that changes every
        # frame with its fastest filter (nearest), whatever the page asks:
        # there every source pixel is 4 or 5 whole screen pixels, held to that
        # (within 0.5). Without compositing (WEBKIT_DISABLE_COMPOSITING_MODE=1)
        # it scales smoothly, 4.435..4.565.
        tolerance = 0.5 if browser.name == 'webkit' else 0.25
        measured = subprocess.run(
            ['/usr/bin/python3', os.path.join(root, 'tests', 'support', 'footprint.py'), 'check',
             path, '--tolerance', str(tolerance)], capture_output=True, text=True)
        for line in measured.stdout.splitlines():
            figure('look: ' + line)
        check(measured.returncode == 0 and 'picture 1440x1080 at 240,0 ' in measured.stdout,
              f'look: 1440x1080 at 240,0, every source pixel 4.5 screen pixels within {tolerance}')
        browser.key('Escape')
        check(browser.wait_for('qm7Stats.status === 0', 10), 'look: Escape ends it (status 0)')
    finally:
        if not browser.real_window:
            browser.set_size(None, None)


def test_bad_data(browser, base, out, loads=1):
    """Bad data ends start-up with its message, every time. Opened with
    ?autoplay=1: this browser starts sound only after a click, so Play stays
    offered first."""
    for variant, expected in (('missing-dat', "Can't load the data file"),
                              ('truncated-it', "Can't play the file")):
        named = 0
        for _ in range(loads):
            browser.open(f'{base}/{variant}/index.html?autoplay=1')
            offered = browser.wait_for("qm7Stats.loadedMs >= 0 && !document.getElementById('play').disabled"
                                       " && !document.getElementById('start').hidden", 30)
            check(offered and browser.js('qm7Stats.status === null'),
                  f'{variant}: autoplay without a click offers Play again')
            browser.click('#play')
            shown = browser.wait_for("!document.getElementById('message-box').hidden", 30)
            text = browser.js("document.getElementById('message').textContent") if shown else ''
            named += check(shown and expected in text, f'{variant}: the overlay says "{text}"')
        if loads > 1:
            figure(f'{variant}: the message named the fault in {named} of {loads} loads')
        shot = browser.screenshot(os.path.join(out, f'web-{variant}.png'))
        box = browser.js("(() => { const r = document.getElementById('message-box')"
                         ".getBoundingClientRect(); return [r.left, r.top, r.right, r.bottom]; })()")
        check(shot.crop(tuple(round(v) for v in box)).getbbox() is not None,
              f'{variant}: the message is on screen, not a blank page')


def bench_present(browser, base, out, root, ways=('2d', 'bitmap', 'two', 'webgl', 'small')):
    """Measures only: the page's last step alone (tests/web/present.html), each
    way, on a 1920x1080 page: frames per second, the main thread's busy share,
    and the look of the checkerboard through it (footprint.py)."""
    if not browser.real_window:
        browser.set_size(1920, 1080)
    for way in ways:
        browser.open(f'{base}/tests/present.html?way={way}')
        browser.pump(2)
        fps, busy = playing_figures(browser, 5, 'bench.frames')
        path = os.path.join(out, f'present-{way}-checker.png')
        browser.open(f'{base}/tests/present.html?way={way}&frame=checker')
        browser.pump(1)
        browser.screenshot(path)
        measured = subprocess.run(
            ['/usr/bin/python3', os.path.join(root, 'tests', 'support', 'footprint.py'), 'check', path],
            capture_output=True, text=True)
        look = ' / '.join(measured.stdout.splitlines()[:3])
        figure(f'present {way}: {fps:.1f} fps, main thread {100 * busy:.0f}%, error {browser.js("bench.error")!r};'
               f' look {"ok" if measured.returncode == 0 else "FAILS"}: {look}')
    if not browser.real_window:
        browser.set_size(None, None)


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
    parser.add_argument('--engine', choices=('chromium', 'firefox', 'webkit'), default='chromium')
    parser.add_argument('--port', type=int, default=8180)
    parser.add_argument('--no-trace', action='store_true')
    parser.add_argument('--loads', type=int, default=0,
                        help='measure only: N loads of the page and of the folder without qm7.dat')
    parser.add_argument('--bench-present', action='store_true',
                        help='measure only: the ways of putting the frame on screen')
    args = parser.parse_args()
    root = os.path.abspath(args.root)
    os.makedirs(args.out, exist_ok=True)
    golden = golden_rows()
    server = Server(root, args.port)
    base = f'http://127.0.0.1:{args.port}'
    profile = tempfile.mkdtemp(prefix=f'qm7-{args.engine}-')
    print(f'== {args.engine}', flush=True)
    browser = start_browser(args.engine, args.port + 1, profile)
    try:
        if args.bench_present:
            bench_present(browser, base, args.out, root)
        elif args.loads:
            played, _ = test_startup(browser, server, base, args.loads)
            figure(f'loads that played: {played} of {args.loads}')
            test_bad_data(browser, base, args.out, args.loads)
        else:
            sizes = sum(os.path.getsize(os.path.join(root, 'build', 'web', n))
                        for n in os.listdir(os.path.join(root, 'build', 'web')))
            figure(f'download size: {sizes} bytes ({sizes / 1048576:.2f} MiB)')
            check(sizes <= 2.5 * 1048576, 'the page downloads at most 2.5 MiB')
            test_page(browser, server, base, args.out, golden)
            test_look(browser, base, args.out, root)
            test_fallbacks(browser, base, args.out, golden)
            test_slow_audio(browser, base, args.out, golden)
            test_no_audio(browser, base, args.out)
            if args.engine == 'firefox':
                test_no_sound_server(args.engine, args.port + 2, base, args.out)
            if args.engine == 'chromium':
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
        print(f'{len(FAILURES)} web checks failed in {args.engine}')
        return 1
    print(f'all web checks passed in {args.engine}')
    return 0


if __name__ == '__main__':
    sys.exit(main())
