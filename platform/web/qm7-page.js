// qm7-page.js — the page around the demo: the canvas and its 4:3 layout, the
// Play button that starts the program (and with it the sound), the overlay
// for messages, the browser events turned into window messages, and the
// audio output the music is played through.
//
// Everything that is not the program's own start-up happens while the page
// shows Play: the program is fetched and compiled, the data files are put in
// its file system, the audio context is made (suspended until the click lets
// it sound) and its worklet loaded. Play resumes the context and, once its
// clock runs, starts the program; an output whose clock does not run within
// kAudioStartMs fails the program's first start-up step ("Can't initialize
// device", status 1) instead of leaving a silent page on its first scene.
//
// The program (qm7.js/qm7.wasm) calls back through the global `qm7Page`:
// present, showMessage, setCursor, hasFocus, startAudio, stopAudio,
// heardFrames, startupStep, ended. `qm7Stats` holds counters for tests and
// the curious; qm7Stats.startup lists [step, ms after Play] for the start-up.
// URL flags: ?autoplay=1 presses Play once everything is loaded (where the
// browser starts sound only after a click, Play stays offered);
// ?testframe=checker shows the still test frame (host/test_frame.h).
// Test flags, ?testaudio= with any of (comma separated):
//   stuck      an audio context whose clock never runs (no output)
//   slowMS     an output whose clock starts MS milliseconds after Play
//   script     no AudioWorklet: the ScriptProcessorNode path
//   rate48000  a browser that refuses 44100 Hz and runs at 48000 by default
'use strict';

const WM_ACTIVATEAPP = 0x001C, WM_KEYDOWN = 0x0100, VK_ESCAPE = 27;
const kWidth = 320, kHeight = 240;
const kChunkFrames = 2048, kLowWater = 6144, kTargetQueued = 12288;
const kMusicRate = 44100;
// How long an output's clock may take to run after Play before the page says
// so, and before it counts as no output at all. Firefox ESR with PulseAudio
// took up to 2.4 s on a busy two-core machine, WebKitGTK up to 1 s; devices
// that wake on demand (Bluetooth headphones) take seconds more.
const kSoundNoticeMs = 500, kSoundLimitMs = 8000;
// ?autoplay=1 where the browser cannot say whether sound may start without a
// click: how long a clock resumed without one may take to show that it runs.
const kAutoplayProbeMs = 1000;

const qm7Stats = {
  loadedMs: -1, playMs: -1, firstFrameMs: -1, frames: 0, startup: [],
  audioKind: '', audioRate: 0, audioStartMs: -1, audioChunks: 0, audioPlayed: 0,
  audioRendered: 0, activeAtStart: null, status: null, messages: [], errors: [],
};

// Uncaught errors, for tests whose browser has no console to read.
window.addEventListener('error', (e) => qm7Stats.errors.push(String(e.message)));
window.addEventListener('unhandledrejection', (e) => qm7Stats.errors.push(String(e.reason)));

const qm7Page = (() => {
  const $ = (id) => document.getElementById(id);
  const screen = $('screen');
  const screenCtx = screen.getContext('2d');
  const frame = document.createElement('canvas');
  frame.width = kWidth;
  frame.height = kHeight;
  const frameCtx = frame.getContext('2d');
  const image = frameCtx.createImageData(kWidth, kHeight);

  const testAudio = (new URLSearchParams(location.search).get('testaudio') || '').split(',');
  let program = null;        // the emscripten module instance
  let files = null;          // {name: Uint8Array or null}
  let audioPrepared = false;
  let running = false;
  let started = false;       // main has returned: presents come from the main loop
  let pageActive = true;
  let audio = null;          // {ctx, node, rate, running, workletReady, report}

  // ---- layout: the largest 4:3 rectangle that fits, centred. The canvas
  // holds the frame at the largest whole multiple of device pixels that fits
  // (drawn nearest-neighbour), and the browser's smooth scaling makes the one
  // small last step (index.html), so every frame pixel is the same size on
  // screen with at most a soft edge.
  function layout() {
    const w = window.innerWidth, h = window.innerHeight;
    let cw = w, ch = Math.round(w * 3 / 4);
    if (ch > h) { ch = h; cw = Math.round(h * 4 / 3); }
    const dpr = window.devicePixelRatio || 1;
    const factor = Math.max(1, Math.min(Math.floor(cw * dpr / kWidth),
                                        Math.floor(ch * dpr / kHeight)));
    if (screen.width !== kWidth * factor) {
      screen.width = kWidth * factor;
      screen.height = kHeight * factor;
      paint();
    }
    screen.style.width = cw + 'px';
    screen.style.height = ch + 'px';
    screen.style.left = Math.floor((w - cw) / 2) + 'px';
    screen.style.top = Math.floor((h - ch) / 2) + 'px';
  }

  function paint() {
    screenCtx.imageSmoothingEnabled = false;
    screenCtx.drawImage(frame, 0, 0, screen.width, screen.height);
  }

  function blank() {
    frameCtx.fillStyle = '#000';
    frameCtx.fillRect(0, 0, kWidth, kHeight);
    paint();
  }

  // ---- messages to the program
  function post(message, wParam) {
    if (running) program._qm7_web_post_message(message, wParam);
  }

  function activeNow() {
    return document.visibilityState === 'visible' && document.hasFocus() &&
           document.activeElement === screen;
  }

  function updateActive() {
    const active = activeNow();
    if (active === pageActive) return;
    pageActive = active;
    post(WM_ACTIVATEAPP, active ? 1 : 0);
  }

  // The tab or window back in front with nothing focused: the picture takes
  // the focus (a tab started in the background could not give it).
  function pageShown() {
    if (running && document.visibilityState === 'visible' && document.hasFocus() &&
        (!document.activeElement || document.activeElement === document.body))
      screen.focus();
    updateActive();
  }

  function keyCode(e) {
    if (e.key === 'Escape') return VK_ESCAPE;
    if (e.key.length === 1) {
      const c = e.key.toUpperCase().charCodeAt(0);
      if (c >= 32 && c < 127) return c;
    }
    return 0;
  }

  // The full-screen button shows for a few seconds after Play and whenever
  // the pointer moves, then gets out of the picture's way.
  let controlsTimer = 0;
  function showControls() {
    if (!running) return;
    $('fullscreen').hidden = false;
    clearTimeout(controlsTimer);
    controlsTimer = setTimeout(() => { $('fullscreen').hidden = true; }, 3000);
  }

  function fullScreen() {
    const stage = $('stage');
    if (!document.fullscreenElement && stage.requestFullscreen)
      stage.requestFullscreen().catch(() => {}).finally(() => screen.focus());
  }

  // ---- audio
  // The context, made while the page loads: at 44100 Hz where the browser
  // grants it, at its default rate otherwise (the module is rendered at
  // whichever rate it runs).
  function makeContext() {
    let Context = window.AudioContext || window.webkitAudioContext;
    if (!Context) return null;
    if (testAudio.includes('rate48000')) {
      const Real = Context;
      Context = function (options) {
        if (options && options.sampleRate === kMusicRate)
          throw new DOMException('44100 Hz is not supported', 'NotSupportedError');
        return new Real(Object.assign({}, options, {sampleRate: 48000}));
      };
    }
    let ctx = null;
    try {
      ctx = new Context({sampleRate: kMusicRate, latencyHint: 'interactive'});
    } catch (e) {
      try { ctx = new Context({latencyHint: 'interactive'}); } catch (e2) { return null; }
    }
    // A context whose clock never runs, like one without an output device;
    // or one whose clock starts that long after it was asked to.
    const slow = testAudio.map((f) => /^slow(\d+)$/.exec(f)).find((m) => m);
    if (testAudio.includes('stuck')) {
      ctx.suspend().catch(() => {});
      ctx.resume = () => new Promise(() => {});
    } else if (slow) {
      ctx.suspend().catch(() => {});
      const resume = ctx.resume.bind(ctx);
      ctx.resume = () => new Promise((done) => setTimeout(() => resume().then(done, done), +slow[1]));
    }
    return ctx;
  }

  async function prepareAudio() {
    const ctx = makeContext();
    if (ctx) {
      audio = {ctx, node: null, rate: ctx.sampleRate, running: false, workletReady: false, report: null};
      if (ctx.audioWorklet && !testAudio.includes('script')) {
        try {
          await ctx.audioWorklet.addModule('qm7-audio.js');
          audio.workletReady = true;
        } catch (e) {
          console.warn('qm7: no audio worklet, using a script processor: ' + e);
        }
      }
    }
    audioPrepared = true;
    ready();
  }

  // Inside the click: lets the context sound. Resolves true once its clock
  // runs, false when it has not within `limitMs`.
  function startClock(limitMs) {
    if (!audio) return Promise.resolve(false);
    const ctx = audio.ctx;
    const from = ctx.currentTime;
    const until = performance.now() + limitMs;
    try { ctx.resume().catch(() => {}); } catch (e) { /* stays suspended */ }
    return new Promise((resolve) => {
      const look = () => {
        if (ctx.currentTime > from) resolve(true);
        else if (performance.now() >= until) resolve(false);
        else setTimeout(look, 1);
      };
      look();
    });
  }

  // After Play: says "Starting sound…" while the clock is slow to run, and
  // ends the program when it never does.
  function watchClock(clock) {
    const notice = setTimeout(() => { if (running) $('notice').hidden = false; }, kSoundNoticeMs);
    clock.then((runs) => {
      clearTimeout(notice);
      $('notice').hidden = true;
      if (!audio) return;
      audio.running = runs;
      qm7Stats.audioStartMs = api.startupStep(runs ? 'audio clock runs' : 'no audio clock');
      if (!runs && running) program._qm7_web_no_sound();
    });
  }

  function renderChunk(frames) {
    const at = program._qm7_web_render_audio(frames) >> 1;
    const samples = program.HEAP16.subarray(at, at + frames * 2);
    const left = new Float32Array(frames), right = new Float32Array(frames);
    for (let i = 0; i < frames; ++i) {
      left[i] = samples[2 * i] / 32768;
      right[i] = samples[2 * i + 1] / 32768;
    }
    qm7Stats.audioRendered += frames;
    return {left, right};
  }

  function feed(report) {
    audio.report = {played: report.played, frame: report.frame, queued: report.queued};
    qm7Stats.audioPlayed = report.played;
    if (!report.need || !running) return;
    for (let queued = report.queued; queued < kTargetQueued; queued += kChunkFrames) {
      const c = renderChunk(kChunkFrames);
      audio.node.port.postMessage(c, [c.left.buffer, c.right.buffer]);
      qm7Stats.audioChunks++;
    }
  }

  // The main thread fills each buffer of a script processor as it is asked
  // for; the buffer starts at frame `given` of the stream and is heard from
  // its playbackTime.
  function scriptProcessor(ctx) {
    const node = ctx.createScriptProcessor(kChunkFrames, 0, 2);
    let given = 0;
    node.onaudioprocess = (e) => {
      const c = running ? renderChunk(kChunkFrames) : null;
      const out = e.outputBuffer;
      if (c) { out.copyToChannel(c.left, 0); out.copyToChannel(c.right, 1); }
      const at = Number.isFinite(e.playbackTime) ? e.playbackTime : ctx.currentTime;
      audio.report = {played: given, frame: at * audio.rate, queued: kChunkFrames};
      given += kChunkFrames;
      qm7Stats.audioPlayed = given;
      qm7Stats.audioChunks++;
    };
    return node;
  }

  // Firefox answers outputLatency with a call to its sound server made while
  // it holds its audio graph's lock; when that call meets the output's own
  // callback, neither ever returns and the page's thread waits for good (seen
  // with PulseAudio as the clock started, in about one load in three). There
  // the heard position goes without the output's latency (40-50 ms there).
  const outputLatencyMayHang = typeof window.mozInnerScreenX === 'number';

  function latencyFrames() {
    const ctx = audio.ctx;
    const output = outputLatencyMayHang ? 0 : ctx.outputLatency || 0;
    return (output + (ctx.baseLatency || 0)) * audio.rate;
  }

  // ---- what the program calls
  const api = {
    present(pointer, width, height) {
      image.data.set(program.HEAPU8.subarray(pointer, pointer + width * height * 4));
      frameCtx.putImageData(image, 0, 0);
      paint();
      qm7Stats.frames++;
      // The first picture of the main loop (start-up shows two black frames).
      if (!started) api.startupStep('start-up present');
      else if (qm7Stats.firstFrameMs < 0) qm7Stats.firstFrameMs = api.startupStep('first main-loop frame');
    },
    showMessage(text) {
      qm7Stats.messages.push(text);
      $('message').textContent = text;
      $('message-box').hidden = false;
      $('message-ok').focus();
    },
    setCursor(visible) { screen.classList.toggle('nocursor', !visible); },
    hasFocus() {
      const active = activeNow();
      if (qm7Stats.activeAtStart === null) qm7Stats.activeAtStart = active;
      return active;
    },
    // The output's rate, or 0 when there is none. Its clock may not run yet.
    startAudio(rate) {
      if (!audio || audio.ctx.state === 'closed') return 0;
      const ctx = audio.ctx;
      audio.rate = ctx.sampleRate;
      qm7Stats.audioRate = audio.rate;
      if (audio.rate !== rate) console.warn('qm7: audio runs at ' + audio.rate + ' Hz');
      if (audio.workletReady) {
        audio.node = new AudioWorkletNode(ctx, 'qm7-feed', {
          numberOfInputs: 0, numberOfOutputs: 1, outputChannelCount: [2],
          processorOptions: {lowWater: kLowWater},
        });
        audio.node.port.onmessage = (e) => feed(e.data);
        qm7Stats.audioKind = 'worklet';
      } else {
        audio.node = scriptProcessor(ctx);
        qm7Stats.audioKind = 'script-processor';
      }
      audio.node.connect(ctx.destination);
      // Nothing heard until the output plays what it is given.
      audio.report = {played: 0, frame: ctx.currentTime * audio.rate, queued: 0};
      return audio.rate;
    },
    stopAudio() {
      if (!audio) return;
      if (audio.node) {
        if (audio.node.port) audio.node.port.postMessage({stop: true});
        audio.node.disconnect();
      }
      audio.ctx.close().catch(() => {});
      audio = null;
    },
    // Order | row << 16 being heard (counters for tests).
    position() { return running ? program._qm7_web_music_position() : 0; },
    heardFrames() {
      if (!audio || !audio.report || !audio.running) return 0;
      const r = audio.report;
      // Frames played since the last report, up to what was queued then
      // (before it, for a buffer that starts later).
      const since = Math.min(audio.ctx.currentTime * audio.rate - r.frame, r.queued);
      return Math.max(0, r.played + since - latencyFrames());
    },
    // Milliseconds since Play, noted for `step`.
    startupStep(step) {
      const ms = performance.now() - qm7Stats.playMs;
      qm7Stats.startup.push([step, ms]);
      return ms;
    },
    ended(status) {
      running = false;
      $('notice').hidden = true;
      qm7Stats.status = status;
      clearTimeout(controlsTimer);
      $('fullscreen').hidden = true;
      screen.classList.remove('nocursor');
      if (status === 0) $('ended').hidden = false;
    },
  };

  // ---- start
  async function loadFile(name) {
    try {
      const response = await fetch(name);
      if (!response.ok) return null;
      return new Uint8Array(await response.arrayBuffer());
    } catch (e) {
      return null;
    }
  }

  function ready() {
    if (!program || !files || !audioPrepared || qm7Stats.loadedMs >= 0) return;
    // The files as the program will read them; the file system keeps these
    // arrays instead of copying them.
    for (const [name, bytes] of Object.entries(files)) {
      if (bytes) program.FS.writeFile(name, bytes, {canOwn: true});
    }
    // The music library's loader compiled now rather than in the click.
    if (files['qm7.it']) program._qm7_web_prepare_music();
    qm7Stats.loadedMs = performance.now();
    $('loading').hidden = true;
    const play = $('play');
    play.disabled = false;
    play.focus();
    if (new URLSearchParams(location.search).get('autoplay') === '1') autoplay();
  }

  function start() {
    const button = $('play');
    if (button.disabled || running) return;
    button.disabled = true;
    qm7Stats.playMs = performance.now();
    const clock = startClock(kSoundLimitMs);  // resumed inside the click, so it may sound
    $('start').hidden = true;
    screen.focus();                           // keys reach the demo without a click on it
    pageActive = activeNow();
    running = true;
    showControls();
    watchClock(clock);
    program.callMain([]);
    started = true;
    api.startupStep('main returned');
  }

  // ?autoplay=1: starts at once where the browser lets sound start without a
  // click (it says so, or a clock resumed without one runs); Play stays
  // offered otherwise. Nothing but a click or this starts the program.
  async function autoplay() {
    const policy = navigator.getAutoplayPolicy ? navigator.getAutoplayPolicy('audiocontext') : '';
    if (policy === 'allowed' || !audio || (!policy && await startClock(kAutoplayProbeMs))) start();
  }

  function boot(factory) {
    layout();
    blank();
    window.addEventListener('resize', layout);
    document.addEventListener('visibilitychange', pageShown);
    window.addEventListener('focus', pageShown);
    window.addEventListener('blur', updateActive);
    screen.addEventListener('focus', updateActive);
    screen.addEventListener('blur', updateActive);
    document.addEventListener('keydown', (e) => {
      if (!running || e.ctrlKey || e.altKey || e.metaKey) return;
      if (e.key === 'f' || e.key === 'F') fullScreen();
      post(WM_KEYDOWN, keyCode(e));
      if (e.key === 'Escape') e.preventDefault();
    });
    $('play').addEventListener('click', start);
    $('fullscreen').addEventListener('click', fullScreen);
    document.addEventListener('mousemove', showControls);
    $('message-ok').addEventListener('click', () => {
      $('message-box').hidden = true;
      if (running) screen.focus();
    });
    Promise.all([loadFile('qm7.dat'), loadFile('qm7.it')]).then(([dat, it]) => {
      files = {'qm7.dat': dat, 'qm7.it': it};
      ready();
    });
    prepareAudio();
    factory({
      noInitialRun: true,
      print: (text) => console.log(text),
      printErr: (text) => console.warn(text),
    }).then((instance) => {
      program = instance;
      ready();
    }, (error) => api.showMessage('The demo could not start in this browser: ' + error));
  }

  return Object.assign(api, {boot});
})();
