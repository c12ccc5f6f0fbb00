// The page of the show: the start-up dialog, the loading of the show's files (with the
// browser decoding the track and the pictures), and the start and end of the show.
// index.html?at=T[&size=WxH] shows the one frame the render tool draws at T instead, and sets
// document.documentElement.dataset.state to "frame-ready" (or "error") when it is there.
'use strict';

const VellomirePage = (() => {
  const kRate = 44100;
  const kTrack = 'data/music/track.mp3';
  const kFiles = [
    kTrack,
    'data/3d/torus.obj',
    'data/textures/particle.png', 'data/textures/particle-2x.png', 'data/textures/particle-4x.png',
    'data/textures/butterfly.png', 'data/textures/butterfly-2x.png',
    'data/textures/butterfly-4x.png',
    'data/textures/font.png', 'data/textures/font-2x.png', 'data/textures/font-4x.png',
  ];

  // Fetches every file at `base` (a folder URL), reporting (received, total) bytes as they
  // arrive. Resolves to {path: Uint8Array}; rejects naming the first file that failed.
  async function fetchFiles(base, files, onProgress) {
    const responses = await Promise.all(files.map(async (path) => {
      let response;
      try {
        response = await fetch(new URL(path, base));
      } catch (error) {
        throw new Error(`${path} could not be loaded (${error.message})`);
      }
      if (!response.ok) {
        throw new Error(`${path} could not be loaded (${response.status} ${response.statusText})`);
      }
      return response;
    }));
    const sizes = responses.map((r) => Number(r.headers.get('Content-Length')) || 0);
    const total = sizes.reduce((a, b) => a + b, 0);
    let received = 0;
    onProgress(received, total);
    const bodies = await Promise.all(responses.map(async (response, i) => {
      const reader = response.body.getReader();
      const chunks = [];
      let length = 0;
      for (;;) {
        const {done, value} = await reader.read();
        if (done) {
          break;
        }
        chunks.push(value);
        length += value.length;
        received += value.length;
        onProgress(received, Math.max(total, received));
      }
      if (sizes[i] !== 0 && length !== sizes[i]) {
        throw new Error(`${files[i]} could not be loaded (${length} of ${sizes[i]} bytes)`);
      }
      const bytes = new Uint8Array(length);
      let at = 0;
      for (const chunk of chunks) {
        bytes.set(chunk, at);
        at += chunk.length;
      }
      return bytes;
    }));
    const loaded = {};
    files.forEach((path, i) => { loaded[path] = bodies[i]; });
    return loaded;
  }

  let scratch = null; // a WebGL 2 context that reads decoded pictures back

  // Decodes PNG bytes with the browser's decoder, colour conversion and premultiplication
  // off, to {width, height, depth, alpha, rgba}: 8-bit RGBA rows, top row first.
  async function decodePicture(bytes, path) {
    const signature = [137, 80, 78, 71, 13, 10, 26, 10];
    if (bytes.length < 33 || signature.some((b, i) => bytes[i] !== b)) {
      throw new Error(`${path} is not a PNG picture`);
    }
    let bitmap;
    try {
      bitmap = await createImageBitmap(new Blob([bytes], {type: 'image/png'}),
          {premultiplyAlpha: 'none', colorSpaceConversion: 'none'});
    } catch (error) {
      throw new Error(`${path} could not be decoded`);
    }
    // A page that has made many contexts may have lost this one (browsers keep a dozen or so).
    if (scratch === null || scratch.isContextLost()) {
      scratch = document.createElement('canvas').getContext('webgl2');
      if (scratch === null) {
        throw new Error('this browser offers no WebGL 2');
      }
    }
    const gl = scratch;
    const texture = gl.createTexture();
    gl.bindTexture(gl.TEXTURE_2D, texture);
    gl.pixelStorei(gl.UNPACK_FLIP_Y_WEBGL, false);
    gl.pixelStorei(gl.UNPACK_PREMULTIPLY_ALPHA_WEBGL, false);
    gl.pixelStorei(gl.UNPACK_COLORSPACE_CONVERSION_WEBGL, gl.NONE);
    gl.texImage2D(gl.TEXTURE_2D, 0, gl.RGBA8, gl.RGBA, gl.UNSIGNED_BYTE, bitmap);
    const framebuffer = gl.createFramebuffer();
    gl.bindFramebuffer(gl.FRAMEBUFFER, framebuffer);
    gl.framebufferTexture2D(gl.FRAMEBUFFER, gl.COLOR_ATTACHMENT0, gl.TEXTURE_2D, texture, 0);
    const {width, height} = bitmap;
    const rgba = new Uint8Array(width * height * 4);
    gl.pixelStorei(gl.PACK_ALIGNMENT, 1);
    gl.readPixels(0, 0, width, height, gl.RGBA, gl.UNSIGNED_BYTE, rgba);
    gl.bindFramebuffer(gl.FRAMEBUFFER, null);
    gl.deleteFramebuffer(framebuffer);
    gl.deleteTexture(texture);
    bitmap.close();
    // Bits per pixel and of alpha, from the header's colour type.
    const colourType = bytes[25];
    const channels = {0: 1, 2: 3, 3: 3, 4: 2, 6: 4}[colourType] || 4;
    return {
      width,
      height,
      depth: channels * 8,
      alpha: colourType === 4 || colourType === 6 ? 8 : 0,
      rgba,
    };
  }

  // Decodes the track with the browser's decoder at 44100 Hz.
  async function decodeTrack(bytes, path) {
    const context = new OfflineAudioContext(2, 1, kRate);
    try {
      return await context.decodeAudioData(bytes.slice().buffer);
    } catch (error) {
      throw new Error(`${path} could not be decoded`);
    }
  }

  // Loads and decodes everything the show needs: {files, images, track}.
  async function loadShow(base, onProgress) {
    const files = await fetchFiles(base, kFiles, onProgress);
    const images = {};
    for (const path of kFiles.filter((p) => p.endsWith('.png'))) {
      images[path] = await decodePicture(files[path], path);
    }
    const track = await decodeTrack(files[kTrack], kTrack);
    return {files, images, track};
  }

  // The show's module with the loaded files in its file system.
  async function createShow(factory, loaded, audioContext, onShowEnded, options = {}) {
    const module = await factory({
      ...options,
      canvas: document.getElementById('canvas'),
      images: loaded.images,
      audio: {context: audioContext, track: loaded.track},
      onShowEnded,
      print: (text) => console.log(text),
      printErr: (text) => console.warn(text),
    });
    for (const [path, bytes] of Object.entries(loaded.files)) {
      module.FS.mkdirTree('/' + path.slice(0, path.lastIndexOf('/')));
      module.FS.writeFile('/' + path, bytes);
    }
    return module;
  }

  return {kFiles, fetchFiles, decodePicture, decodeTrack, loadShow, createShow};
})();

// The page's own flow: the dialog (or, with ?at=T, one frame), the loading and the show.
(() => {
  if (document.getElementById('dialog') === null) {
    return; // a page that only uses the loader (the tests' probe)
  }
  const root = document.documentElement;
  const $ = (id) => document.getElementById(id);
  const parameters = new URLSearchParams(location.search);
  const site = new URL('./', location.href);

  function setState(state, message) {
    root.dataset.state = state;
    if (message !== undefined) {
      root.dataset.message = message;
    }
  }

  // A frame on request: the frame the render tool draws at T, alone at the top-left.
  async function showFrame(at) {
    root.classList.add('frames');
    setState('loading');
    try {
      const clock = Number(at);
      const size = (parameters.get('size') || '800x600').match(/^(\d{3,4})x(\d{3,4})$/);
      if (!Number.isFinite(clock) || clock < 0) {
        throw new Error(`at=${at} is not a time in seconds`);
      }
      if (size === null || Number(size[1]) * 3 !== Number(size[2]) * 4) {
        throw new Error(`size=${parameters.get('size')} is not a 4:3 size such as 800x600`);
      }
      const [width, height] = [Number(size[1]), Number(size[2])];
      const canvas = $('canvas');
      canvas.style.width = `${width}px`;
      canvas.style.height = `${height}px`;
      canvas.hidden = false;
      const loaded = await VellomirePage.loadShow(site, () => {});
      const wasmBinary = await (await fetch(new URL('vellomire.wasm', site))).arrayBuffer();
      let module = null;
      // Every frame comes from a fresh instance of the show on a fresh canvas, as every render
      // of one frame starts a fresh program: nothing of an earlier frame (the drifting clouds,
      // the random sequence) carries over. The files stay loaded.
      async function drawFrame(seconds) {
        if (module !== null) {
          module._webCloseFrames();
          // Let the old context go now rather than when it is collected: past a dozen or so
          // the browser takes the oldest ones, the picture decoder's among them.
          $('canvas').getContext('webgl2')?.getExtension('WEBGL_lose_context')?.loseContext();
        }
        const fresh = document.createElement('canvas');
        fresh.id = 'canvas';
        fresh.style.width = `${width}px`;
        fresh.style.height = `${height}px`;
        $('canvas').replaceWith(fresh);
        module = await VellomirePage.createShow(createVellomire, loaded, null, () => {},
            {wasmBinary});
        if (!module._webOpenFrames(width, height)) {
          throw new Error(`no WebGL 2 picture of ${width} x ${height} could be made`);
        }
        module._webDrawFrameAt(seconds);
      }
      // Tests draw more clocks in the same page: each gives the frame's RGBA, top row first.
      window.vellomireFrames = {
        async draw(seconds) {
          await drawFrame(seconds);
          const pixels = module._webReadPicture();
          return module.HEAPU8.slice(pixels, pixels + width * height * 4);
        },
      };
      await drawFrame(clock);
      // The frame is on the canvas once the browser has shown it.
      await new Promise((resolve) => requestAnimationFrame(() => requestAnimationFrame(resolve)));
      setState('frame-ready');
    } catch (error) {
      setState('error', error.message);
      document.body.append(Object.assign(document.createElement('p'), {textContent: error.message}));
    }
  }

  // The dialog, the loading behind it, and the show after "OK".
  function showDialogPage() {
    const dialog = $('dialog');
    const quiet = $('quiet');
    const canvas = $('canvas');
    const ok = $('ok');
    let loaded = null;
    let module = null;

    function openDialog() {
      quiet.hidden = true;
      canvas.hidden = true;
      dialog.hidden = false;
      (loaded ? ok : $('exit')).focus();
      setState(loaded ? 'dialog' : 'loading');
    }

    function quietPage(text, button) {
      dialog.hidden = true;
      canvas.hidden = true;
      quiet.hidden = false;
      $('quiet-text').textContent = text;
      $('again').textContent = button;
      $('again').focus();
    }

    function showEnded(how) {
      if (how === 'end') {
        quietPage('The show is over.', 'Play it again');
        setState('ended');
      } else {
        quietPage('The show has been stopped.', 'Open the dialog');
        setState('stopped');
      }
    }

    const progress = $('progress');
    const progressText = $('progress-text');
    VellomirePage.loadShow(site, (received, total) => {
      progress.max = Math.max(total, 1);
      progress.value = received;
      progressText.textContent = `${received.toLocaleString('en')} of ${total.toLocaleString('en')} bytes`;
    }).then((result) => {
      loaded = result;
      progressText.textContent += ' — ready';
      ok.disabled = false;
      if (!dialog.hidden) {
        ok.focus();
        setState('dialog');
      }
    }).catch((error) => {
      $('failure').textContent = `The show cannot start: ${error.message}.`;
      $('failure').hidden = false;
      progressText.textContent = 'failed';
      setState('error', error.message);
    });

    // "OK" (or Enter): the click is the gesture that lets the sound play and the page go full
    // screen.
    dialog.addEventListener('submit', async (event) => {
      event.preventDefault();
      if (loaded === null) {
        return;
      }
      // The track's own rate where the browser offers it (otherwise the context resamples);
      // no context at all leaves the show on its silent clock.
      let context = null;
      for (const options of [{sampleRate: 44100}, {}]) {
        try {
          context = context || new AudioContext(options);
        } catch (error) {
          console.warn(`no audio context (${error.message})`);
        }
      }
      const resumed = context ? context.resume().catch(() => {}) : Promise.resolve();
      dialog.hidden = true;
      canvas.hidden = false;
      if ($('fullscreen').checked) {
        canvas.requestFullscreen().catch(() => {});
      }
      canvas.focus();
      setState('starting');
      // A context that cannot run within a second leaves the show on its silent clock.
      await Promise.race([resumed, new Promise((resolve) => setTimeout(resolve, 1000))]);
      if (module === null) {
        module = await VellomirePage.createShow(createVellomire, loaded, context, showEnded);
        // The show's clock in seconds as the last frame read it, for anyone watching the page.
        window.vellomireClock = () => module._webMusicClock();
        // The clock in whole milliseconds now, and whether the heads-up line is shown.
        window.vellomireClockMs = () => module._webShowClockMs();
        window.vellomireHeadsUp = () => Boolean(module._webHeadsUpShown());
        // The picture of the last frame, RGBA with the top row first (without the heads-up line).
        window.vellomirePicture = () => {
          const [width, height] = [module._webPictureWidth(), module._webPictureWidth() * 3 / 4];
          const pixels = module._webReadPicture();
          return {rgba: module.HEAPU8.slice(pixels, pixels + width * height * 4), width, height};
        };
      } else {
        module.audio.context?.close();
        module.audio = {context, track: loaded.track};
      }
      if (!module._webStartShow(false)) {
        showEnded('quit');
        $('quiet-text').textContent = 'This browser offers no WebGL 2: the show cannot be drawn.';
        setState('error', 'no WebGL 2');
        return;
      }
      setState('playing');
    });
    $('exit').addEventListener('click', () => {
      quietPage('Goodbye.', 'Open the dialog');
      setState('exited');
    });
    $('again').addEventListener('click', () => {
      if ($('again').textContent === 'Play it again' && loaded !== null) {
        quiet.hidden = true;
        dialog.requestSubmit();
      } else {
        openDialog();
      }
    });
    openDialog();
  }

  // ?bench[=N]: N frames (30) of every scene of the timeline at 800 x 600, timed, as a table.
  async function runBench(frames) {
    root.classList.add('frames');
    setState('loading');
    try {
      const loaded = await VellomirePage.loadShow(site, () => {});
      const module = await VellomirePage.createShow(createVellomire, loaded, null, () => {});
      $('canvas').hidden = false;
      if (!module._webOpenFrames(800, 600)) {
        throw new Error('no WebGL 2 picture of 800 x 600 could be made');
      }
      const rows = [];
      for (let rule = 0; rule < module._webRuleCount(); ++rule) {
        rows.push({scene: module._webRuleScene(rule), medianMs: module._webBenchRule(rule, frames)});
      }
      window.vellomireBench = rows;
      const table = document.createElement('pre');
      table.style.cssText = 'position:absolute;left:810px;top:0;color:#ddd;margin:0';
      table.textContent = 'scene  median ms\n' +
          rows.map((r) => `${String(r.scene).padStart(5)} ${r.medianMs.toFixed(2).padStart(10)}`)
              .join('\n');
      document.body.append(table);
      setState('bench-done');
    } catch (error) {
      setState('error', error.message);
    }
  }

  const script = document.createElement('script');
  script.src = 'vellomire.js';
  script.onload = () => {
    if (parameters.has('at')) {
      showFrame(parameters.get('at'));
    } else if (parameters.has('bench')) {
      runBench(Number(parameters.get('bench')) || 30);
    } else {
      showDialogPage();
    }
  };
  script.onerror = () => {
    setState('error', 'vellomire.js could not be loaded');
    document.body.append('vellomire.js could not be loaded.');
  };
  document.head.append(script);
})();
