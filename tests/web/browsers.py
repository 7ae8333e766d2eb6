"""browsers.py — the three browser engines behind one small interface, for
tests/web/browser_test.py.

  browser = start_browser(engine, port, profile)   # 'chromium', 'firefox', 'webkit'
  browser.open(url); browser.js(expression); browser.click(selector)
  browser.key('Escape'); browser.screenshot(path); browser.pump(seconds)
  browser.errors; browser.main_thread_seconds(); browser.close()

One adapter per protocol, each only what its protocol needs:
  DevTools    Chromium, headless, over its debugging protocol; the pointer and
              keys are the protocol's own input events, which Chromium treats
              as real ones;
  Bidi        Firefox ESR over WebDriver BiDi;
  Classic     WebKitGTK's MiniBrowser through WebKitWebDriver (classic
              WebDriver over HTTP).
Firefox and WebKit run as real windows, full screen on the X server in
DISPLAY (tests/support/x_session.sh, with a window manager) and beside the
sound server in PULSE_SERVER (tests/support/sound_server.sh): their pointer
and keys are xdotool's, since a page whose window never had real input has
no focus (document.hasFocus() stays false and the demo rightly pauses), and
their screenshots are grabs of the screen, what a viewer sees.

js() hands every value back through JSON, so all three return the same
Python values. errors collects uncaught exceptions and console errors where
the protocol reports them, and always the page's own list (qm7Stats.errors).
"""
import base64
import io
import json
import os
import subprocess
import time
import urllib.request

import websocket
from PIL import Image

MINIBROWSER = '/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser'


def wrap(expression):
    """The expression, awaited, as a JSON string (undefined as null)."""
    return (f'Promise.resolve(({expression})).then((v) => JSON.stringify(v === undefined ? null : v))')


def descendants(pid):
    """pid and every process below it (children of any of a process's
    threads: Firefox starts its content processes from another thread)."""
    found, todo = [], [pid]
    while todo:
        p = todo.pop()
        found.append(p)
        try:
            tasks = os.listdir(f'/proc/{p}/task')
        except OSError:
            continue
        for t in tasks:
            try:
                with open(f'/proc/{p}/task/{t}/children') as f:
                    todo += [int(c) for c in f.read().split()]
            except OSError:
                pass
    return found


def cpu_seconds(stat):
    """Seconds of CPU (user + system) in a /proc stat file: the process's
    /proc/PID/stat, its main thread's /proc/PID/task/PID/stat."""
    try:
        with open(stat) as f:
            fields = f.read().rsplit(')', 1)[1].split()
        return (int(fields[11]) + int(fields[12])) / os.sysconf('SC_CLK_TCK')
    except OSError:
        return 0.0


class Browser:
    """What every adapter shares: waiting, pumping, the page's own errors,
    the main thread's busy time."""
    name = ''
    real_window = False

    def wait_for(self, expression, timeout):
        end = time.time() + timeout
        while time.time() < end:
            if self.js(expression):
                return True
            self.pump(0.1)
        return False

    def pump(self, seconds):
        time.sleep(seconds)

    def exit_fullscreen(self):
        self.js('document.exitFullscreen()')
        return self.wait_for('document.fullscreenElement === null', 5)

    def page_errors(self):
        try:
            return self.js("typeof qm7Stats === 'undefined' ? [] : qm7Stats.errors") or []
        except Exception:
            return []

    def all_errors(self):
        return self.errors + ['page: ' + e for e in self.page_errors()]

    def main_thread_seconds(self):
        """CPU seconds of each of the browser's processes, (main thread,
        all threads): compare two readings with busy_share and all_share."""
        return {p: (cpu_seconds(f'/proc/{p}/task/{p}/stat'), cpu_seconds(f'/proc/{p}/stat'))
                for p in descendants(self.proc.pid)}

    @staticmethod
    def busy_share(before, after, seconds):
        """The busiest main thread's share of one core (the page's renderer)."""
        return max(after[p][0] - before.get(p, (0, 0))[0] for p in after) / seconds

    @staticmethod
    def all_share(before, after, seconds):
        """All the browser's threads, in cores (compositing and audio too)."""
        return sum(after[p][1] - before.get(p, (0, 0))[1] for p in after) / seconds

    def close(self):
        if getattr(self, 'proc', None) is None:
            return
        self.proc.terminate()
        try:
            self.proc.wait(10)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            self.proc.wait()


class RealWindow:
    """Input and screenshots through the X server (xdotool, ffmpeg)."""
    real_window = True

    def content_origin(self):
        raise NotImplementedError

    def click(self, selector):
        x, y = self.js(f"(() => {{ const r = document.querySelector('{selector}').getBoundingClientRect();"
                       " return [r.left + r.width / 2, r.top + r.height / 2]; })()")
        ox, oy = self.content_origin()
        # No --sync: it waits for the pointer to move, 15 s when it is
        # already there (the same button on the next load). The server takes
        # the move before the click all the same.
        subprocess.run(['xdotool', 'mousemove', str(round(ox + x)), str(round(oy + y)),
                        'click', '1'], check=True)

    def key(self, key):
        subprocess.run(['xdotool', 'key', {'Escape': 'Escape'}.get(key, key)], check=True)

    def screenshot(self, path):
        # After two of the page's frames (or half a second, for a page that
        # is not drawing), so the screen shows what the page now holds: at
        # ten frames a second WebKit's screen was seen a frame behind it.
        self.js('new Promise((done) => { setTimeout(done, 500);'
                ' requestAnimationFrame(() => requestAnimationFrame(done)); })')
        ox, oy = self.content_origin()
        w, h = self.js('[window.innerWidth, window.innerHeight]')
        subprocess.run(['ffmpeg', '-loglevel', 'error', '-f', 'x11grab', '-draw_mouse', '0', '-video_size', f'{w}x{h}',
                        '-i', f"{os.environ['DISPLAY']}+{round(ox)},{round(oy)}", '-frames:v', '1',
                        '-y', path], check=True)
        return Image.open(path).convert('RGB')


# ---- Chromium: the DevTools protocol
class Socket(Browser):
    """An adapter that speaks JSON messages over a WebSocket (the DevTools
    protocol, WebDriver BiDi): a command and its answer by id, the page's
    events collected meanwhile. Each protocol says what an error looks like
    (_error) and which events it keeps (_event)."""

    def send(self, method, **params):
        self.next_id += 1
        my_id = self.next_id
        self.ws.send(json.dumps({'id': my_id, 'method': method, 'params': params}))
        while True:
            message = json.loads(self.ws.recv())
            if message.get('id') == my_id:
                error = self._error(message)
                if error is not None:
                    raise RuntimeError(f'{method}: {error}')
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

    def close(self):
        try:
            self.ws.close()
        except Exception:
            pass
        Browser.close(self)


class DevTools(Socket):
    name = 'chromium'

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
        for domain in ('Page', 'Runtime', 'Log'):
            self.send(domain + '.enable')

    def open_background_tab(self, url):
        """A second tab behind this one, driven through its own connection
        (a DevTools sharing this one's process)."""
        target = self.send('Target.createTarget', url=url, background=True)['targetId']
        with urllib.request.urlopen(f'http://127.0.0.1:{self.port}/json/list', timeout=5) as r:
            found = [t for t in json.load(r) if t.get('id') == target]
        tab = DevTools.__new__(DevTools)
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

    def _error(self, message):
        return message['error'] if 'error' in message else None

    def js(self, expression):
        result = self.send('Runtime.evaluate', expression=wrap(expression), awaitPromise=True)
        if 'exceptionDetails' in result:
            raise RuntimeError(f'{expression}: {result["exceptionDetails"]}')
        return json.loads(result['result']['value'])

    def open(self, url):
        self.errors = []
        self.send('Page.navigate', url=url)
        return self.wait_for(f"location.href === {json.dumps(url)} && document.readyState === 'complete'", 30)

    def set_size(self, width, height):
        """The page's size (None: the window's own)."""
        if width is None:
            self.send('Emulation.clearDeviceMetricsOverride')
        else:
            self.send('Emulation.setDeviceMetricsOverride', width=width, height=height,
                      deviceScaleFactor=1, mobile=False)

    def screenshot(self, path):
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

    KEYS = {'Escape': ('Escape', 'Escape', 27), 'f': ('f', 'KeyF', 70)}

    def key(self, key):
        name, code, keycode = self.KEYS[key]
        for kind in ('keyDown', 'keyUp'):
            self.send('Input.dispatchKeyEvent', type=kind, key=name, code=code,
                      windowsVirtualKeyCode=keycode)



# ---- Firefox: WebDriver BiDi
class Bidi(RealWindow, Socket):
    name = 'firefox'

    def __init__(self, port, profile, env=None):
        # Sound only after a click, as a viewer's browser has it; no dialog
        # for the long-running trace page's script.
        with open(os.path.join(profile, 'user.js'), 'w') as f:
            f.write('user_pref("media.autoplay.default", 1);\n'
                    'user_pref("dom.max_script_run_time", 0);\n'
                    'user_pref("browser.shell.checkDefaultBrowser", false);\n')
        self.proc = subprocess.Popen(
            ['firefox-esr', '--kiosk', '--remote-debugging-port', str(port), '--profile', profile,
             '--no-remote', 'about:blank'], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        deadline = time.time() + 60
        self.ws = None
        while self.ws is None:
            try:
                self.ws = websocket.create_connection(f'ws://127.0.0.1:{port}/session', timeout=180,
                                                      suppress_origin=True)
            except OSError:
                if time.time() > deadline or self.proc.poll() is not None:
                    self.close()
                    raise RuntimeError('Firefox did not come up')
                time.sleep(0.3)
        self.next_id = 0
        self.errors = []
        self.send('session.new', capabilities={})
        self.context = self.send('browsingContext.getTree')['contexts'][0]['context']
        self.send('session.subscribe', events=['log.entryAdded'])

    def _event(self, message):
        if message.get('method') == 'log.entryAdded':
            entry = message['params']
            if entry.get('level') == 'error':
                self.errors.append(f"{entry.get('type')}: {entry.get('text')}")

    def _error(self, message):
        if message.get('type') != 'error':
            return None
        return f"{message.get('error')}: {message.get('message')}"

    def js(self, expression):
        result = self.send('script.evaluate', expression=wrap(expression), awaitPromise=True,
                           target={'context': self.context})
        if result.get('type') == 'exception':
            raise RuntimeError(f"{expression}: {result['exceptionDetails'].get('text')}")
        return json.loads(result['result']['value'])

    def open(self, url):
        self.errors = []
        self.send('browsingContext.navigate', context=self.context, url=url, wait='complete')
        return True

    def content_origin(self):
        return self.js('[window.mozInnerScreenX, window.mozInnerScreenY]')



# ---- WebKitGTK: classic WebDriver through WebKitWebDriver
class Classic(RealWindow, Browser):
    name = 'webkit'

    def __init__(self, port, profile):
        self.base = f'http://127.0.0.1:{port}'
        self.proc = subprocess.Popen(['WebKitWebDriver', f'--port={port}'],
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.errors = []
        deadline = time.time() + 30
        while True:
            try:
                self.request('GET', '/status')
                break
            except OSError:
                if time.time() > deadline:
                    self.close()
                    raise RuntimeError('WebKitWebDriver did not come up')
                time.sleep(0.2)
        options = {'binary': MINIBROWSER,
                   'args': ['--automation', '--full-screen', '--autoplay-policy=deny']}
        session = self.request('POST', '/session', {'capabilities': {'alwaysMatch': {
            'browserName': 'MiniBrowser', 'webkitgtk:browserOptions': options}}})
        self.session = '/session/' + session['sessionId']

    def request(self, method, path, body=None, timeout=120):
        data = None if body is None else json.dumps(body).encode()
        req = urllib.request.Request(self.base + path, data=data, method=method,
                                     headers={'Content-Type': 'application/json'})
        try:
            with urllib.request.urlopen(req, timeout=timeout) as r:
                return json.load(r)['value']
        except urllib.error.HTTPError as e:
            raise RuntimeError(f'{method} {path}: {e.read().decode(errors="replace")}')

    def js(self, expression):
        return json.loads(self.request('POST', self.session + '/execute/sync',
                                       {'script': 'return ' + wrap(expression) + ';', 'args': []}))

    def open(self, url):
        # Returns once the page has loaded (the session's page load strategy).
        self.errors = []
        self.request('POST', self.session + '/url', {'url': url})
        return True

    def content_origin(self):
        # The page sits at the bottom of the window, below MiniBrowser's
        # toolbar when that shows.
        x, y, dw, dh = self.js('[screenX, screenY, outerWidth - innerWidth, outerHeight - innerHeight]')
        return x + dw, y + dh

    def exit_fullscreen(self):
        # Leaving the page's full screen, MiniBrowser shows its toolbar in a
        # window it still counts as full screen: its F11 toggles that off and
        # on again, back to the page alone on the screen.
        left = Browser.exit_fullscreen(self)
        for _ in range(2):
            size = self.js('[innerWidth, innerHeight]')
            if size == self.js('[screen.width, screen.height]'):
                break
            subprocess.run(['xdotool', 'key', 'F11'], check=True)
            self.wait_for(f'innerWidth !== {size[0]} || innerHeight !== {size[1]}', 5)
        return left and self.js('innerWidth === screen.width && innerHeight === screen.height')

    def close(self):
        try:
            self.request('DELETE', self.session, timeout=10)
        except Exception:
            pass
        Browser.close(self)


ENGINES = {'chromium': DevTools, 'firefox': Bidi, 'webkit': Classic}


def start_browser(engine, port, profile, **options):
    return ENGINES[engine](port, profile, **options)
