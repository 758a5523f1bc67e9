// The JavaScript half of the Web Audio wave-out (web.cpp). The player's ring
// lives in the module's memory; this copies it, a little ahead of the audio
// clock, into an AudioWorklet (over its message port) or, where worklets are
// missing, into a script processor's buffers. The position it reports is what
// the audio clock says has reached the output: an anchor (song frames played
// by context frame C) taken from the worklet's reports or the processor's
// playback times, moved on by the context's output timestamp.
mergeInto(LibraryManager.library, {
  $QuillonAudio: {
    context: null,
    node: null,
    byCaller: false,
    paused: false,
    ring: 0,             // byte address of the ring in the module's memory
    ringFrames: 0,
    blockFrames: 1,
    fed: 0,              // song frames handed to the output so far
    workletPlayed: 0,    // song frames the worklet last said it had played
    heard: 0,            // song frames heard, as last reported to the player
    anchorSong: -1,      // song frames played ...
    anchorContext: 0,    // ... by this context frame
    generation: 0,       // worklet reports of an earlier ring are stale
    dryQuanta: 0,        // render quanta the worklet found its queue empty in
    // Frames kept in the worklet beyond what it played: enough to ride out
    // a main thread held up by a slow frame of a software renderer.
    queuedAhead: 32768,
    chunkFrames: 4096,
    scriptFrames: 4096,

    // The worklet: plays the chunks it is sent and says, every 1024 frames,
    // how many song frames it has played by which context frame, and in how
    // many render quanta it ran dry. Frames of silence in a gap are not
    // counted as played.
    workletSource: [
      'class QuillonFeed extends AudioWorkletProcessor {',
      '  constructor() {',
      '    super(); this.chunks = []; this.offset = 0; this.played = 0;',
      '    this.generation = 0; this.sinceReport = 0; this.dry = 0;',
      '    this.port.onmessage = (e) => {',
      '      const m = e.data;',
      '      if (m.generation !== this.generation) {',
      '        this.generation = m.generation; this.chunks = []; this.offset = 0; this.played = m.played;',
      '      }',
      '      if (m.samples) this.chunks.push(m.samples);',
      '    };',
      '  }',
      '  process(inputs, outputs) {',
      '    const left = outputs[0][0], right = outputs[0][1] || left, n = left.length;',
      '    let i = 0;',
      '    while (i < n && this.chunks.length) {',
      '      const c = this.chunks[0], take = Math.min(n - i, c.length / 2 - this.offset);',
      '      for (let k = 0, s = 2 * this.offset; k < take; ++k, s += 2) {',
      '        left[i + k] = c[s] / 32768; right[i + k] = c[s + 1] / 32768;',
      '      }',
      '      i += take; this.offset += take;',
      '      if (2 * this.offset >= c.length) { this.chunks.shift(); this.offset = 0; }',
      '    }',
      '    const playedNow = i;',
      '    if (i < n && this.played + i > 0) ++this.dry;',
      '    for (; i < n; ++i) { left[i] = 0; right[i] = 0; }',
      '    this.played += playedNow; this.sinceReport += n;',
      '    if (this.sinceReport >= 1024) {',
      '      this.sinceReport = 0;',
      '      this.port.postMessage({generation: this.generation, played: this.played, at: currentFrame + playedNow,',
      '                             dry: this.dry});',
      '    }',
      '    return true;',
      '  }',
      '}',
      'registerProcessor("quillon-feed", QuillonFeed);'
    ].join('\n'),

    // The context frame now at the output, as near as the browser tells; -1
    // while it cannot tell yet.
    outputFrame: function() {
      var c = QuillonAudio.context;
      // Where the output gives timestamps, nothing counts as heard until it
      // gives its first: the bare clock runs ahead of the sound by the
      // output's latency, and a heard position taken from it could not step
      // back. Elsewhere the clock less the latency the context states.
      if (c.getOutputTimestamp) {
        var s = c.getOutputTimestamp();
        if (!s || typeof s.contextTime !== 'number' || s.contextTime <= 0) return -1;
        return s.contextTime * c.sampleRate;
      }
      var t = c.currentTime - (c.outputLatency || 0) - (c.baseLatency || 0);
      return Math.max(0, t) * c.sampleRate;
    },

    // The heard position by the audio clock: never backwards, never past what
    // was handed to the output.
    updateHeard: function() {
      var a = QuillonAudio;
      if (a.byCaller || !a.context || a.anchorSong < 0) return;
      var at = a.outputFrame();
      if (at < 0) return;
      var h = Math.floor(a.anchorSong + (at - a.anchorContext));
      if (h > a.fed) h = a.fed;
      if (h > a.heard) a.heard = h;
    },

    // What of the ring holds music not yet played: the block under the
    // cursor and the ring after its start, once the player has caught up.
    ringLimit: function() {
      var a = QuillonAudio;
      return Math.floor(a.heard / a.blockFrames) * a.blockFrames + a.ringFrames;
    },

    // Copies `count` frames of the ring from song frame `from` into the two
    // channels or into one interleaved array.
    copyRing: function(from, count, left, right, interleaved) {
      var a = QuillonAudio;
      var base = a.ring >> 1;
      for (var k = 0; k < count; ++k) {
        var at = base + 2 * ((from + k) % a.ringFrames);
        if (interleaved) {
          interleaved[2 * k] = HEAP16[at];
          interleaved[2 * k + 1] = HEAP16[at + 1];
        } else {
          left[k] = HEAP16[at] / 32768;
          right[k] = HEAP16[at + 1] / 32768;
        }
      }
    },

    // One step of the worklet's feed: clock, catch-up, then the queue topped up.
    pump: function() {
      var a = QuillonAudio;
      if (!a.ring || !a.context) return;
      a.updateHeard();
      _quillon_web_audio_catch_up();
      if (!a.node || a.paused || !a.node.port) return;
      while (a.fed - a.workletPlayed < a.queuedAhead) {
        var n = Math.min(a.chunkFrames, a.ringLimit() - a.fed);
        if (n <= 0) break;
        var samples = new Int16Array(2 * n);
        a.copyRing(a.fed, n, null, null, samples);
        a.node.port.postMessage({generation: a.generation, played: a.fed, samples: samples}, [samples.buffer]);
        a.fed += n;
      }
    },

    // The script processor's buffer: the same steps, the copy straight into it.
    scriptProcess: function(e) {
      var a = QuillonAudio;
      var out = e.outputBuffer, left = out.getChannelData(0), right = out.getChannelData(1);
      var n = left.length;
      left.fill(0); right.fill(0);
      if (!a.ring) return;
      a.updateHeard();
      _quillon_web_audio_catch_up();
      if (a.paused || a.ringLimit() - a.fed < n) return;
      a.copyRing(a.fed, n, left, right, null);
      a.anchorSong = a.fed;
      a.anchorContext = e.playbackTime * a.context.sampleRate;
      a.fed += n;
    },

    connectWorklet: function(context) {
      var a = QuillonAudio;
      // A data: address loads from a file:// page too, where a blob: one may not.
      var url = 'data:text/javascript;base64,' + btoa(a.workletSource);
      return context.audioWorklet.addModule(url).then(function() {
        if (a.context !== context) return;
        var node = new AudioWorkletNode(context, 'quillon-feed', {numberOfInputs: 0, outputChannelCount: [2]});
        node.port.onmessage = function(e) {
          var m = e.data;
          if (m.generation !== a.generation) return;
          a.workletPlayed = m.played;
          a.dryQuanta = m.dry;
          a.anchorSong = m.played;
          a.anchorContext = m.at;
          a.pump();
        };
        node.connect(context.destination);
        a.node = node;
        a.pump();
      });
    },

    connectScript: function(context) {
      var a = QuillonAudio;
      var node = context.createScriptProcessor(a.scriptFrames, 0, 2);
      node.onaudioprocess = a.scriptProcess;
      node.connect(context.destination);
      a.node = node;
    },

    // Forgets the ring's progress; reports of the worklet still under way
    // belong to the old ring and are dropped.
    restart: function() {
      var a = QuillonAudio;
      a.generation++;
      a.fed = 0;
      a.workletPlayed = 0;
      a.heard = 0;
      a.anchorSong = -1;
      a.anchorContext = 0;
      if (a.node && a.node.port) a.node.port.postMessage({generation: a.generation, played: 0});
    }
  },

  quillon_web_audio_open__deps: ['$QuillonAudio'],
  quillon_web_audio_open: function(rate, byCaller) {
    var a = QuillonAudio;
    a.byCaller = !!byCaller;
    a.paused = false;
    a.ring = 0;
    a.restart();
    if (a.byCaller) return 1;
    var Context = typeof AudioContext !== 'undefined' ? AudioContext :
                  (typeof webkitAudioContext !== 'undefined' ? webkitAudioContext : null);
    if (!Context) return 0;
    var context;
    try {
      // Playback rather than interactive latency: the position reported is
      // what has reached the output, so a longer buffer only makes gaps rarer.
      context = new Context({sampleRate: rate, latencyHint: 'playback'});
    } catch (e) {
      return 0;
    }
    a.context = context;
    // Silent until the page's start, whatever the browser's autoplay rules.
    context.suspend();
    var forced = typeof Module !== 'undefined' && Module['quillonAudioPath'];
    if (forced !== 'script' && context.audioWorklet && typeof AudioWorkletNode !== 'undefined') {
      a.connectWorklet(context).catch(function() {
        if (a.context === context && !a.node) a.connectScript(context);
      });
    } else {
      a.connectScript(context);
    }
    return 1;
  },

  quillon_web_audio_write__deps: ['$QuillonAudio'],
  quillon_web_audio_write: function(ring, bytes, blockFrames) {
    var a = QuillonAudio;
    a.restart();
    a.ring = ring;
    a.ringFrames = bytes >>> 2;
    a.blockFrames = blockFrames > 0 ? blockFrames : 1;
    if (!a.ringFrames) a.ring = 0;
    a.pump();
  },

  quillon_web_audio_position__deps: ['$QuillonAudio'],
  quillon_web_audio_position: function() {
    return (QuillonAudio.heard * 4) >>> 0;
  },

  quillon_web_audio_set_position__deps: ['$QuillonAudio'],
  quillon_web_audio_set_position: function(bytes) {
    var a = QuillonAudio;
    a.heard = bytes >>> 2;
    a.fed = a.heard;
  },

  quillon_web_audio_reset__deps: ['$QuillonAudio'],
  quillon_web_audio_reset: function() {
    var a = QuillonAudio;
    a.ring = 0;
    a.paused = false;
    a.restart();
  },

  // A pause drops what the output holds; the position stays where it was
  // heard, and the feed goes on from there.
  quillon_web_audio_pause__deps: ['$QuillonAudio'],
  quillon_web_audio_pause: function(pause) {
    var a = QuillonAudio;
    if (!!pause === a.paused) return;
    if (pause) {
      a.updateHeard();
      a.generation++;
      a.fed = a.heard;
      a.workletPlayed = a.heard;
      a.anchorSong = -1;
      if (a.node && a.node.port) a.node.port.postMessage({generation: a.generation, played: a.heard});
    }
    a.paused = !!pause;
    if (!pause) a.pump();
  },

  // Once per animation frame: the heard position as fresh as the clock.
  quillon_web_audio_poll__deps: ['$QuillonAudio'],
  quillon_web_audio_poll: function() {
    QuillonAudio.pump();
  },

  quillon_web_audio_start__deps: ['$QuillonAudio'],
  quillon_web_audio_start: function() {
    var c = QuillonAudio.context;
    if (c && c.state !== 'closed') c.resume();
  },

  quillon_web_audio_close__deps: ['$QuillonAudio'],
  quillon_web_audio_close: function() {
    var a = QuillonAudio;
    if (a.node) {
      if (a.node.port) a.node.port.onmessage = null;
      else a.node.onaudioprocess = null;
      a.node.disconnect();
    }
    if (a.context) a.context.close();
    a.node = null;
    a.context = null;
    a.ring = 0;
    a.restart();
  }
});
