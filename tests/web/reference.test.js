// The reference clocks drawn in the browser against `vellomire-render --at T` of the same
// build: per frame a mean absolute difference of at most kMeanLimit levels, and no 16 x 16
// block differing by more than kBlockLimit levels on average (the rasterisers differ a
// little: Chromium's SwiftShader against Mesa's llvmpipe). The jump shots are left out (a single
// frame cannot show where a show jumped from). The native frames are drawn one after another.
// A failing frame leaves the browser's frame, the native one and their difference in
// build/web/tests/reference-failures/.
'use strict';
const assert = require('node:assert/strict');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const {after, before, test} = require('node:test');
const {repository, site, serveSite, launchBrowser, newPage, addComparison, runNative} =
    require('./support');

const kMeanLimit = 0.25;
// 12 levels would do for llvmpipe against itself; SwiftShader places the small sprites of the
// wave sheet, the lattice and the knot a little differently, and its worst block measured 14.1
// levels (31 s; the worst mean 0.194 levels at 278.5 s).
const kBlockLimit = 15;

// The clocks of the reference pictures that are not jumps.
function referenceClocks() {
  const text = fs.readFileSync(path.join(repository, 'tests/reference/reference_shots.h'), 'utf8');
  const shots = text.slice(text.indexOf('kShots[]'));
  return [...shots.matchAll(/\{(\d+(?:\.\d+)?)\}/g)].map((m) => Number(m[1]));
}

let served;
let browser;
let page;
const scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'vellomire-web-reference-'));

before(async () => {
  served = await serveSite();
  browser = await launchBrowser();
  page = await newPage(browser);
});

after(async () => {
  await browser?.close();
  served?.close();
  fs.rmSync(scratch, {recursive: true, force: true});
});

test('the reference clocks drawn in the browser match the native frames', async (t) => {
  const clocks = referenceClocks();
  assert.ok(clocks.length >= 90, `only ${clocks.length} reference clocks found`);
  for (const clock of clocks) {
    runNative('render_tool/vellomire-render',
        ['--at', String(clock), '--out', path.join(scratch, `${clock}.png`)]);
  }

  // One page session: the first clock by ?at=, the others through the page's frame function.
  await page.goto(`${served.url}index.html?at=${clocks[0]}`);
  await page.waitForFunction(() => ['frame-ready', 'error'].includes(
      document.documentElement.dataset.state), {timeout: 120000});
  assert.equal(await page.evaluate(() => document.documentElement.dataset.state), 'frame-ready');
  await addComparison(page);

  const results = [];
  for (const clock of clocks) {
    const nativePng = fs.readFileSync(path.join(scratch, `${clock}.png`)).toString('base64');
    const result = await page.evaluate(async (clock, nativePng, limits) => {
      const web = {rgba: await window.vellomireFrames.draw(clock), width: 800, height: 600};
      const {width, height} = web;
      const {mean, worstBlock, difference} = await window.comparePictures(web, nativePng);
      const result = {clock, mean, worstBlock};
      if (mean > limits.mean || worstBlock.mean > limits.block) {
        const toPng = (rgba) => {
          const canvas = document.createElement('canvas');
          canvas.width = width;
          canvas.height = height;
          canvas.getContext('2d').putImageData(
              new ImageData(new Uint8ClampedArray(rgba), width, height), 0, 0);
          return canvas.toDataURL('image/png').split(',')[1];
        };
        const opaque = Uint8ClampedArray.from(web.rgba, (v, i) => (i % 4 === 3 ? 255 : v));
        result.pictures = {web: toPng(opaque), difference: toPng(difference)};
      }
      return result;
    }, clock, nativePng, {mean: kMeanLimit, block: kBlockLimit});
    results.push(result);
    if (result.pictures) {
      const folder = path.join(site, 'tests', 'reference-failures');
      fs.mkdirSync(folder, {recursive: true});
      fs.writeFileSync(path.join(folder, `${clock}-web.png`), Buffer.from(result.pictures.web,
          'base64'));
      fs.writeFileSync(path.join(folder, `${clock}-difference.png`),
          Buffer.from(result.pictures.difference, 'base64'));
      fs.copyFileSync(path.join(scratch, `${clock}.png`), path.join(folder, `${clock}-native.png`));
    }
  }
  const worstMean = results.reduce((a, b) => (b.mean > a.mean ? b : a));
  const worstBlock = results.reduce((a, b) => (b.worstBlock.mean > a.worstBlock.mean ? b : a));
  t.diagnostic(`${results.length} clocks; worst mean ${worstMean.mean.toFixed(4)} levels at ` +
      `${worstMean.clock} s; worst 16x16 block ${worstBlock.worstBlock.mean.toFixed(2)} levels ` +
      `at ${worstBlock.clock} s (${worstBlock.worstBlock.x}, ${worstBlock.worstBlock.y})`);
  const failing = results.filter((r) => r.mean > kMeanLimit || r.worstBlock.mean > kBlockLimit);
  assert.deepEqual(failing.map((r) => `${r.clock} s: mean ${r.mean.toFixed(3)}, block ` +
      `${r.worstBlock.mean.toFixed(1)}`), []);
  assert.deepEqual(browser.pageErrors, []);
});
