// The page around the intro: the title and one line until a click or a key;
// that gesture enters full screen and starts the intro, whose sound browsers
// allow only after one. Escape, or leaving full screen, ends it, and the page
// offers to start again. The intro's module calls back through Module.
'use strict';
var Module = (function () {
  var body = document.body;
  var line = document.getElementById('line');
  var note = document.getElementById('note');
  var params = new URLSearchParams(location.search);
  var state = 'loading';  // ready, running, ending, ended, failed or hook
  var enteredFullscreen = false;
  var module = {
    print: function (text) { console.log(text); },
    printErr: function (text) { console.error(text); },
    // The audio path may be forced for tests: ?audio=script.
    quillonAudioPath: params.get('audio') || '',
    // Times in ms since the page's navigation began, for the tests.
    timings: {},
    onRuntimeInitialized: function () {
      if (params.has('hook')) {
        state = 'hook';
        line.textContent = 'Test hook ready.';
        return;
      }
      prepare();
    },
    onQuillonEnded: function () {
      state = 'ended';
      body.classList.remove('running');
      if (document.fullscreenElement && document.exitFullscreen) document.exitFullscreen().catch(function () {});
      freshCanvas();
      line.textContent = 'The end.';
      // Let the card paint before the next build holds the page.
      setTimeout(function () { prepare('Click or press a key to start again.'); }, 50);
    },
    onQuillonFirstFrame: function () {
      module.timings.firstFrame = performance.now();
    }
  };

  function canvas() { return document.getElementById('canvas'); }

  // Every GL object of the last run goes with its canvas.
  function freshCanvas() {
    var old = canvas();
    var gl = old.getContext('webgl');
    var lose = gl && gl.getExtension('WEBGL_lose_context');
    if (lose) lose.loseContext();
    var replacement = document.createElement('canvas');
    replacement.id = 'canvas';
    old.parentNode.replaceChild(replacement, old);
  }

  // Full screen at the display's resolution, in device pixels.
  function displayPixels() {
    var ratio = window.devicePixelRatio || 1;
    return [Math.round(screen.width * ratio), Math.round(screen.height * ratio)];
  }

  function prepare(prompt) {
    var size = displayPixels();
    if (!module._quillon_prepare(size[0], size[1])) {
      state = 'failed';
      line.textContent = 'This browser cannot show the intro: it offers no WebGL.';
      body.style.cursor = 'default';
      return;
    }
    module.timings.ready = performance.now();
    state = 'ready';
    line.textContent = prompt || 'Click or press a key to start. Escape ends it.';
    if (typeof AudioContext === 'undefined' && typeof webkitAudioContext === 'undefined') {
      note.textContent = 'This browser has no Web Audio: the intro runs silent.';
    }
  }

  function fitCanvas() {
    if (state !== 'running') return;
    var c = canvas(), ratio = window.devicePixelRatio || 1;
    module._quillon_resize(Math.round(c.clientWidth * ratio), Math.round(c.clientHeight * ratio));
  }

  function start() {
    state = 'running';
    enteredFullscreen = false;
    var root = document.documentElement;
    if (root.requestFullscreen) {
      root.requestFullscreen({navigationUI: 'hide'}).then(function () {
        enteredFullscreen = true;
      }, function () {});
    }
    body.classList.add('running');
    module.timings.start = performance.now();
    module._quillon_start();
    fitCanvas();
  }

  function end() {
    if (state !== 'running') return;
    state = 'ending';
    module._quillon_quit();
  }

  function gesture(event) {
    if (state === 'ready') {
      if (event.preventDefault) event.preventDefault();
      start();
    } else if (state === 'running' && event.type === 'keydown' && event.key === 'Escape') {
      end();
    }
  }

  document.addEventListener('keydown', gesture);
  document.addEventListener('click', gesture);
  // Escape leaves full screen before the page sees the key. Switching to
  // another tab leaves it too, just before or after the page is hidden; the
  // intro then plays on, heard if not seen. So full screen left while the
  // page stays in view, and not around a switch of tabs, is the viewer's Escape.
  var lastVisibilityChange = -1e9;
  document.addEventListener('visibilitychange', function () { lastVisibilityChange = performance.now(); });
  document.addEventListener('fullscreenchange', function () {
    fitCanvas();
    if (document.fullscreenElement || !enteredFullscreen) return;
    enteredFullscreen = false;
    var left = performance.now();
    setTimeout(function () {
      if (!document.hidden && Math.abs(lastVisibilityChange - left) > 1000) end();
    }, 250);
  });
  window.addEventListener('resize', fitCanvas);

  // The heard position and the frames, as the intro reports them.
  module.quillonStatus = function () {
    var p = module._malloc(7 * 8);
    module._quillon_status(p);
    var v = module.HEAPF64.subarray(p >> 3, (p >> 3) + 7);
    var s = {state: state, heardFrames: v[0], order: v[1], row: v[2], songMs: v[3], elapsedMs: v[4], frames: v[5],
             frameHeardFrames: v[6]};
    module._free(p);
    return s;
  };
  // The test hook: RGBA of the frame at a given time and size, as base64.
  module.quillonCapture = function (width, height, seconds, fps) {
    var p = module._quillon_capture_frame(width, height, seconds, fps);
    if (!p) return null;
    var bytes = module.HEAPU8.subarray(p, p + width * height * 4), text = '';
    for (var i = 0; i < bytes.length; i += 0x8000) {
      text += String.fromCharCode.apply(null, bytes.subarray(i, i + 0x8000));
    }
    return btoa(text);
  };
  return module;
})();
