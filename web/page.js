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
    if (scratch === null) {
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
  async function createShow(factory, loaded, audioContext, onShowEnded) {
    const module = await factory({
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
