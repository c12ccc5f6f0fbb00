// The web build's platform stand-ins against the native ones, through the show's own music and
// texture code (probe.html): the spectrum at the clock, the loaded texels, and the clock of the
// music playing through Web Audio (the silent clock is the sound library's own, the same code
// as natively, and tested there).
'use strict';
const assert = require('node:assert/strict');
const fs = require('node:fs');
const path = require('node:path');
const {after, before, test} = require('node:test');
const {repository, serveSite, launchBrowser, newPage, runNative} = require('./support');

let served;
let browser;
let page;

before(async () => {
  served = await serveSite();
  browser = await launchBrowser();
  page = await newPage(browser);
  await page.goto(served.url + 'tests/probe.html');
  await page.evaluate(async () => {
    await probe.load();
  });
});

after(async () => {
  await browser?.close();
  served?.close();
});

test('the spectrum at a clock equals the native analysis of the track there', async (t) => {
  // In the track, on whole and odd milliseconds, at its first frame and past its end.
  const clocks = [0, 0.01, 1.5, 10, 37.251, 100, 148.5, 200.123, 254.9, 286.999, 291, 300];
  const native = runNative('tests/web/web_native_values', ['spectrum', ...clocks.map(String)])
      .toString().trim().split('\n').map((line) => line.trim().split(/\s+/).map(Number));
  const web = await page.evaluate(async (clocks) => {
    const module = await probe.module(null);
    module._probeOpenStepped();
    return clocks.map((clock) => {
      const values = module._probeSpectrumAt(clock) >> 2;
      return Array.from(module.HEAPF32.subarray(values, values + 64));
    });
  }, clocks);
  let worst = {difference: 0};
  clocks.forEach((clock, i) => {
    assert.equal(web[i].length, 64);
    web[i].forEach((value, bin) => {
      const difference = Math.abs(value - native[i][bin]);
      if (difference > worst.difference) {
        worst = {difference, clock, bin, web: value, native: native[i][bin]};
      }
    });
  });
  t.diagnostic(`worst spectrum difference: ${JSON.stringify(worst)}`);
  assert.ok(worst.difference <= 1e-4, `worst spectrum difference: ${JSON.stringify(worst)}`);
  // The music is there: the values are not all zero inside the track, and are zero past it.
  assert.ok(native[3].some((v) => v > 0.01));
  assert.ok(web[clocks.indexOf(300)].every((v) => v === 0));
});

test('every picture loads as the same texels as the native loader gives', async () => {
  const folder = path.join(repository, 'data', 'textures');
  for (const name of fs.readdirSync(folder).filter((f) => f.endsWith('.png')).sort()) {
    const file = `data/textures/${name}`;
    const native = runNative('tests/web/web_native_values', ['texels', file]);
    const web = await page.evaluate(async (file) => {
      if (!window.textureModule) {
        window.textureModule = await probe.module(null);
      }
      const module = window.textureModule;
      const sizes = module._malloc(8);
      const name = module._malloc(file.length + 1);
      module.stringToUTF8(file, name, file.length + 1);
      const texels = module._probeTexels(name, sizes, sizes + 4);
      const width = module.HEAP32[sizes >> 2];
      const height = module.HEAP32[(sizes >> 2) + 1];
      module._free(name);
      module._free(sizes);
      return texels === 0 ? null : {width, height,
        bytes: Array.from(module.HEAPU8.subarray(texels, texels + width * height * 4))};
    }, file);
    assert.ok(web !== null, `${file}: the loader made no texture`);
    assert.equal(web.bytes.length, native.length, `${file}: ${web.width} x ${web.height}`);
    const first = web.bytes.findIndex((byte, i) => byte !== native[i]);
    assert.equal(first, -1, `${file}: texel ${Math.floor(first / 4)} differs ` +
        `(${web.bytes[first]} instead of ${native[first]})`);
  }
});

// Reads the clock every `step` ms for `duration` ms: [{wall, clock}] in seconds.
async function sampleClock(duration, step) {
  return page.evaluate(async (duration, step) => {
    const samples = [];
    const start = performance.now();
    while (performance.now() - start < duration) {
      samples.push({wall: performance.now() / 1000, clock: window.clockModule._probeClock()});
      await new Promise((resolve) => setTimeout(resolve, step));
    }
    return samples;
  }, duration, step);
}

function assertRunsInRealTime(samples, what) {
  for (let i = 1; i < samples.length; ++i) {
    assert.ok(samples[i].clock >= samples[i - 1].clock,
        `${what}: the clock went back from ${samples[i - 1].clock} to ${samples[i].clock}`);
  }
  const first = samples[0];
  const last = samples[samples.length - 1];
  const rate = (last.clock - first.clock) / (last.wall - first.wall);
  assert.ok(rate > 0.9 && rate < 1.1, `${what}: the clock ran at ${rate.toFixed(3)}x real time`);
}

test('the music plays through Web Audio: its clock runs in real time, seeks move it', async () => {
  // A click is the gesture the browser wants before it plays sound.
  await page.evaluate(() => {
    document.getElementById('start').onclick = () => {
      window.audioContext = new AudioContext({sampleRate: 44100});
      window.audioContext.resume();
    };
  });
  await page.click('#start');
  const length = await page.evaluate(async () => {
    await window.audioContext.resume();
    window.clockModule = await probe.module(window.audioContext);
    return window.clockModule._probeStartMusic();
  });
  assert.ok(Math.abs(length - 292000) < 1000, `the track lasts ${length} ms`);
  assertRunsInRealTime(await sampleClock(1500, 50), 'playing');
  const playing = await page.evaluate(() => ({
    spectrum: window.clockModule._probeSpectrumSum(),
    sources: window.audioContext.state,
  }));
  assert.equal(playing.sources, 'running');
  assert.ok(playing.spectrum > 0, 'the spectrum of the music heard is silent');

  // A seek restarts the source there: the clock lands on the target and runs on from it.
  for (const [seek, label] of [[5000, 'on'], [-3000, 'back'], [300000, 'past the end']]) {
    const [before, after] = await page.evaluate((seek) => {
      const before = window.clockModule._probeClock();
      window.clockModule._probeSeek(seek);
      return [before, window.clockModule._probeClock()];
    }, seek);
    assert.ok(Math.abs(after - before - seek / 1000) < 0.05,
        `a seek ${label} by ${seek} ms moved the clock from ${before} to ${after}`);
    assertRunsInRealTime(await sampleClock(600, 50), `after the seek ${label}`);
  }
  assert.deepEqual(browser.pageErrors, []);
});
