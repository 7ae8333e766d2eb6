// qm7-audio.js — the AudioWorklet that plays the demo's music.
//
// The page renders the module on its main thread and posts chunks here
// ({left, right} Float32Arrays). This processor plays them in order and
// tells the page, through its port, how many frames it has played and when
// its queue runs low: {played, frame, queued, need}. Silence fills any gap.
class Qm7Feed extends AudioWorkletProcessor {
  constructor(options) {
    super();
    this.chunks = [];
    this.offset = 0;       // frames already taken from chunks[0]
    this.queued = 0;       // frames waiting in chunks
    this.played = 0;       // module frames played so far
    this.lowWater = options.processorOptions.lowWater;
    this.asked = false;    // a request for more is on its way
    this.calls = 0;
    this.stopped = false;
    this.port.onmessage = (e) => {
      const m = e.data;
      if (m.stop) { this.stopped = true; return; }
      this.chunks.push(m);
      this.queued += m.left.length;
      this.asked = false;
    };
  }

  process(inputs, outputs) {
    if (this.stopped) return false;
    const out = outputs[0];
    const left = out[0], right = out[1] || out[0];
    let i = 0;
    while (i < left.length && this.chunks.length > 0) {
      const c = this.chunks[0];
      const n = Math.min(left.length - i, c.left.length - this.offset);
      left.set(c.left.subarray(this.offset, this.offset + n), i);
      right.set(c.right.subarray(this.offset, this.offset + n), i);
      i += n;
      this.offset += n;
      if (this.offset === c.left.length) { this.chunks.shift(); this.offset = 0; }
    }
    left.fill(0, i);
    right.fill(0, i);
    this.played += i;
    this.queued -= i;
    const need = !this.asked && this.queued < this.lowWater;
    if (need) this.asked = true;
    if (need || ++this.calls % 8 === 0)
      this.port.postMessage({played: this.played, frame: currentFrame, queued: this.queued, need});
    return true;
  }
}
registerProcessor('qm7-feed', Qm7Feed);
