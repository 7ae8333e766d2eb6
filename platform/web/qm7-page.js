// qm7-page.js — the page around the demo: the canvas and its 4:3 layout, the
// Play button that starts the program (and with it the sound), the overlay
// for messages, the browser events turned into window messages, and the
// audio output the music is played through.
//
// The program (qm7.js/qm7.wasm) calls back through the global `qm7Page`:
// present, showMessage, setCursor, hasFocus, startAudio, stopAudio,
// heardFrames, ended. `qm7Stats` holds counters for tests and the curious.
// URL flags: ?autoplay=1 presses Play once everything is loaded;
// ?testframe=checker shows the still test frame (host/test_frame.h).
'use strict';

const WM_ACTIVATEAPP = 0x001C, WM_KEYDOWN = 0x0100, VK_ESCAPE = 27;
const kWidth = 320, kHeight = 240;
const kChunkFrames = 2048, kLowWater = 6144, kTargetQueued = 12288;

const qm7Stats = {
  loadedMs: -1, playMs: -1, firstFrameMs: -1, frames: 0,
  audioKind: '', audioChunks: 0, audioPlayed: 0, audioRendered: 0,
  status: null, messages: [],
};

const qm7Page = (() => {
  const $ = (id) => document.getElementById(id);
  const screen = $('screen');
  const screenCtx = screen.getContext('2d');
  const frame = document.createElement('canvas');
  frame.width = kWidth;
  frame.height = kHeight;
  const frameCtx = frame.getContext('2d');
  const image = frameCtx.createImageData(kWidth, kHeight);

  let program = null;        // the emscripten module instance
  let files = null;          // {name: Uint8Array or null}
  let running = false;
  let started = false;       // main has returned: presents come from the main loop
  let pageActive = true;
  let audio = null;          // {ctx, node, rate, report, fallbackPlayed}

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
    return document.visibilityState === 'visible' && document.activeElement === screen;
  }

  function updateActive() {
    const active = activeNow();
    if (active === pageActive) return;
    pageActive = active;
    post(WM_ACTIVATEAPP, active ? 1 : 0);
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

  function latencyFrames() {
    const ctx = audio.ctx;
    return ((ctx.outputLatency || 0) + (ctx.baseLatency || 0)) * audio.rate;
  }

  // ---- what the program calls
  const api = {
    present(pointer, width, height) {
      image.data.set(program.HEAPU8.subarray(pointer, pointer + width * height * 4));
      frameCtx.putImageData(image, 0, 0);
      paint();
      qm7Stats.frames++;
      // The first picture of the main loop (start-up shows two black frames).
      if (started && qm7Stats.firstFrameMs < 0) qm7Stats.firstFrameMs = performance.now() - qm7Stats.playMs;
    },
    showMessage(text) {
      qm7Stats.messages.push(text);
      $('message').textContent = text;
      $('message-box').hidden = false;
      $('message-ok').focus();
    },
    setCursor(visible) { screen.classList.toggle('nocursor', !visible); },
    hasFocus() { return activeNow(); },
    startAudio(rate) {
      if (!audio) return false;
      audio.rate = audio.ctx.sampleRate;
      if (audio.rate !== rate) console.warn('qm7: audio runs at ' + audio.rate + ' Hz');
      const ctx = audio.ctx;
      if (ctx.audioWorklet && audio.workletReady) {
        audio.node = new AudioWorkletNode(ctx, 'qm7-feed', {
          numberOfInputs: 0, numberOfOutputs: 1, outputChannelCount: [2],
          processorOptions: {lowWater: kLowWater},
        });
        audio.node.port.onmessage = (e) => feed(e.data);
        qm7Stats.audioKind = 'worklet';
      } else {
        // No worklet: the main thread fills each buffer as it is asked for.
        audio.node = ctx.createScriptProcessor(kChunkFrames, 0, 2);
        audio.fallbackPlayed = 0;
        audio.node.onaudioprocess = (e) => {
          const c = running ? renderChunk(kChunkFrames) : null;
          const out = e.outputBuffer;
          if (c) { out.copyToChannel(c.left, 0); out.copyToChannel(c.right, 1); }
          audio.fallbackPlayed += kChunkFrames;
          audio.report = {played: audio.fallbackPlayed - kChunkFrames, frame: 0, queued: 0};
          qm7Stats.audioPlayed = audio.report.played;
        };
        qm7Stats.audioKind = 'script-processor';
      }
      audio.node.connect(ctx.destination);
      audio.report = {played: 0, frame: ctx.currentTime * audio.rate, queued: 0};
      return true;
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
      if (!audio || !audio.report) return 0;
      const r = audio.report;
      // Frames played since the last report, up to what was queued then.
      const since = Math.min(Math.max(0, audio.ctx.currentTime * audio.rate - r.frame), r.queued);
      return Math.max(0, r.played + since - latencyFrames());
    },
    ended(status) {
      running = false;
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
    if (!program || !files) return;
    qm7Stats.loadedMs = performance.now();
    $('loading').hidden = true;
    const play = $('play');
    play.disabled = false;
    play.focus();
    if (new URLSearchParams(location.search).get('autoplay') === '1') play.click();
  }

  async function play() {
    const button = $('play');
    if (button.disabled || running) return;
    button.disabled = true;
    qm7Stats.playMs = performance.now();
    // Made inside the click, so the browser lets it sound.
    let ctx = null;
    try {
      ctx = new AudioContext({sampleRate: 44100, latencyHint: 'interactive'});
    } catch (e) {
      try { ctx = new AudioContext(); } catch (e2) { ctx = null; }
    }
    if (ctx) {
      audio = {ctx, node: null, rate: ctx.sampleRate, report: null, workletReady: false};
      if (ctx.audioWorklet) {
        try {
          await ctx.audioWorklet.addModule('qm7-audio.js');
          audio.workletReady = true;
        } catch (e) {
          console.warn('qm7: no audio worklet, using a script processor: ' + e);
        }
      }
    }
    for (const [name, bytes] of Object.entries(files)) {
      if (bytes) program.FS.writeFile(name, bytes);
    }
    $('start').hidden = true;
    screen.focus();
    pageActive = activeNow();
    running = true;
    showControls();
    program.callMain([]);
    started = true;
  }

  function boot(factory) {
    layout();
    blank();
    window.addEventListener('resize', layout);
    document.addEventListener('visibilitychange', updateActive);
    screen.addEventListener('focus', updateActive);
    screen.addEventListener('blur', updateActive);
    document.addEventListener('keydown', (e) => {
      if (!running || e.ctrlKey || e.altKey || e.metaKey) return;
      if (e.key === 'f' || e.key === 'F') fullScreen();
      post(WM_KEYDOWN, keyCode(e));
      if (e.key === 'Escape') e.preventDefault();
    });
    $('play').addEventListener('click', play);
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
