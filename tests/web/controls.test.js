// The viewer's controls in the page, as a user meets them in headless Chromium: Space holds the
// picture, `.` steps on the 30-a-second grid, Page Down lands on a cut with the frame the render
// tool draws there, H shows the heads-up line in the bottom bar only, and a click or a finger's
// drag on its strip seeks there.
'use strict';
const assert = require('node:assert/strict');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const {after, before, test} = require('node:test');
const {serveSite, launchBrowser, newPage, addComparison, runNative} = require('./support');

let served;
let browser;

before(async () => {
  served = await serveSite();
  browser = await launchBrowser(800, 600);
});

after(async () => {
  await browser?.close();
  served?.close();
});

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));
const clockMs = (page) => page.evaluate(() => window.vellomireClockMs());
const shot = (page) => page.screenshot({encoding: 'base64'});

// The clock once it has left `from` (and reached `to`, when given; a busy machine may take a
// few frames for a key), or where it stands after 10 s.
async function clockChange(page, from, to) {
  await page.waitForFunction((from, to) => window.vellomireClockMs() !== from &&
      (to === undefined || window.vellomireClockMs() === to), {timeout: 10000}, from, to)
      .catch(() => {});
  return clockMs(page);
}

// Two screenshots compared in the page: the largest colour difference in rows [top, bottom)
// and the number of pixels of the second one that are not black there.
function compareRows(page, first, second, top, bottom) {
  return page.evaluate(async (first, second, top, bottom) => {
    const decode = (b64) => VellomirePage.decodePicture(
        Uint8Array.from(atob(b64), (c) => c.charCodeAt(0)), 'screenshot');
    const [a, b] = [await decode(first), await decode(second)];
    let largest = 0;
    let lit = 0;
    for (let i = top * a.width * 4; i < bottom * a.width * 4; i += 4) {
      for (let c = 0; c < 3; ++c) {
        largest = Math.max(largest, Math.abs(a.rgba[i + c] - b.rgba[i + c]));
      }
      lit += b.rgba[i] + b.rgba[i + 1] + b.rgba[i + 2] > 60 ? 1 : 0;
    }
    return {largest, lit};
  }, first, second, top, bottom);
}

test('pause, steps, cuts, the heads-up line and the strip, by keys, mouse and touch', async () => {
  const page = await newPage(browser);
  await page.setViewport({width: 800, height: 600, deviceScaleFactor: 1, hasTouch: true});
  await page.goto(served.url);
  await page.waitForFunction(() => document.documentElement.dataset.state === 'dialog');
  await page.keyboard.press('Enter');
  await page.waitForFunction(() => document.documentElement.dataset.state === 'playing');
  // Space in the drifting cloud (about 11 s), whose every frame drawn moves it: the picture
  // and the clock hold.
  await page.keyboard.press('ArrowUp');
  await page.keyboard.press('ArrowUp');
  await sleep(1000);
  await page.keyboard.press(' ');
  await sleep(300);
  const [held, heldAt] = [await shot(page), await clockMs(page)];
  await sleep(1000);
  assert.equal(await clockMs(page), heldAt, 'the paused clock moved');
  assert.equal((await compareRows(page, held, await shot(page), 0, 600)).largest, 0,
      'the paused picture changed');

  // Thirty taps of `.` are one second exactly, from a grid frame.
  await page.keyboard.press('.');
  const onGrid = await clockChange(page, heldAt);
  for (let i = 0; i < 30; ++i) {
    await page.keyboard.press('.');
  }
  await clockChange(page, onGrid, onGrid + 1000);
  assert.equal((await clockMs(page)) - onGrid, 1000);

  // Home, then Page Down from cut to cut up to the one at 90 s: its frame is the render tool's.
  await page.keyboard.press('Home');
  await page.waitForFunction(() => window.vellomireClockMs() === 0);
  for (let cuts = 0, at = 0; cuts < 20 && at < 90000; ++cuts) {
    await page.keyboard.press('PageDown');
    at = await clockChange(page, at);
  }
  assert.equal(await clockMs(page), 90001);
  await addComparison(page);
  const png = path.join(os.tmpdir(), `vellomire-cut-${process.pid}.png`);
  runNative('render_tool/vellomire-render', ['--at', '90.001', '--out', png]);
  const native = fs.readFileSync(png).toString('base64');
  fs.rmSync(png);
  const cut = await page.evaluate((png) => window.comparePictures(window.vellomirePicture(), png),
      native);
  assert.ok(cut.mean <= 0.25 && cut.worstBlock.mean <= 15,
      `the frame at the cut differs from the render tool's: ${JSON.stringify(cut.worstBlock)}`);

  // H: the line lights the bottom bar (the picture's bottom 175 rows) and nothing above it.
  const before = await shot(page);
  await page.keyboard.press('h');
  await sleep(300);
  assert.equal(await page.evaluate(() => window.vellomireHeadsUp()), true);
  const withLine = await shot(page);
  assert.equal((await compareRows(page, before, withLine, 0, 425)).largest, 0);
  assert.ok((await compareRows(page, before, withLine, 425, 600)).lit > 500, 'no line in the bar');
  await page.keyboard.press('h');

  // A click on the strip's middle seeks there; a finger dragged from there to the strip's first
  // quarter takes the clock along (the show stays paused).
  const stripY = 600 - Math.round(52 * 600 / 480);
  await page.mouse.click(400, stripY);
  await sleep(300);
  assert.ok(Math.abs((await clockMs(page)) - 143500) < 5000, `${await clockMs(page)} ms`);
  await page.touchscreen.touchStart(400, stripY);
  for (const x of [350, 300, 250, Math.round((24 + 592 / 4) * 800 / 640)]) {
    await page.touchscreen.touchMove(x, stripY);
    await sleep(50);
  }
  await page.touchscreen.touchEnd();
  await sleep(300);
  const touched = await clockMs(page);
  assert.ok(Math.abs(touched - 71750) < 5000, `the touch landed at ${touched} ms`);

  // Space again: the show plays on from there.
  await page.keyboard.press(' ');
  await sleep(1000);
  const ran = (await clockMs(page)) - touched;
  assert.ok(ran > 600 && ran < 1600, `a second after Space the clock moved ${ran} ms`);
  assert.deepEqual(browser.pageErrors, []);
  await page.close();
});
