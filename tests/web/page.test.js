// The real page as a user meets it in headless Chromium: the dialog and its loading, the show
// started with OK and its keys, the viewer's controls, the quiet page after Exit or Escape, the
// end of the show, files that are missing or damaged, and a frame on request.
'use strict';
const assert = require('node:assert/strict');
const fs = require('node:fs');
const path = require('node:path');
const {after, before, test} = require('node:test');
const {repository, site, serveSite, launchBrowser, newPage, addComparison, runNative} =
    require('./support');

const kFiles = ['data/music/track.mp3', 'data/3d/torus.obj'].concat(
    fs.readdirSync(path.join(repository, 'data/textures')).map((f) => `data/textures/${f}`));
const kDataBytes = kFiles.reduce((sum, f) => sum + fs.statSync(path.join(repository, f)).size, 0);
const shots = path.join(site, 'tests', 'screenshots');

let served;
let browser;

before(async () => {
  served = await serveSite();
  browser = await launchBrowser(1024, 768);
  fs.mkdirSync(shots, {recursive: true});
});

after(async () => {
  await browser?.close();
  served?.close();
});

const state = (page) => page.evaluate(() => document.documentElement.dataset.state);
const visible = (page, selector) => page.$eval(selector, (e) => !e.hidden && e.offsetWidth > 0);
const clock = (page) => page.evaluate(() => window.vellomireClock());
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

async function waitForState(page, wanted, timeout = 30000) {
  await page.waitForFunction((wanted) => document.documentElement.dataset.state === wanted,
      {timeout}, wanted);
}

// The page with its dialog, loaded (in a viewport of its own when `viewport` is given).
async function openDialog(url = served.url, viewport = null) {
  const page = await newPage(browser);
  if (viewport !== null) {
    await page.setViewport(viewport);
  }
  await page.goto(url);
  return page;
}

// The page with the show started by Enter in the dialog.
async function startShow(viewport = null) {
  const page = await openDialog(served.url, viewport);
  await waitForState(page, 'dialog');
  await page.keyboard.press('Enter');
  await waitForState(page, 'playing');
  return page;
}

test('the dialog shows its picture and controls while the files load; Exit quiets the page',
    async () => {
      const page = await openDialog();
      assert.ok(await visible(page, '#dialog'));
      await waitForState(page, 'dialog');
      const dialog = await page.evaluate(() => ({
        picture: document.getElementById('dialog-picture').naturalWidth > 0,
        box: document.querySelector('label').textContent.trim(),
        boxType: document.getElementById('fullscreen').type,
        buttons: [...document.querySelectorAll('#dialog button')].map((b) => b.textContent),
        ok: !document.getElementById('ok').disabled,
        focused: document.activeElement.id,
        progress: ['value', 'max'].map((key) => document.getElementById('progress')[key]),
        text: document.getElementById('progress-text').textContent.split(' bytes')[0],
      }));
      await page.screenshot({path: path.join(shots, 'dialog.png')});
      const total = kDataBytes.toLocaleString('en');
      assert.deepEqual(dialog, {picture: true, box: 'FullScreen', boxType: 'checkbox',
        buttons: ['OK', 'Exit'], ok: true, focused: 'ok', progress: [kDataBytes, kDataBytes],
        text: `${total} of ${total}`});
      // Exit leaves a quiet page with a way back to the dialog.
      await page.click('#exit');
      assert.equal(await state(page), 'exited');
      assert.ok(await visible(page, '#quiet'));
      assert.equal(await page.evaluate(() => document.querySelector('#dialog').hidden), true);
      await page.click('#again');
      assert.ok(await visible(page, '#dialog'));
      await page.close();
    });

test('OK starts the show: the clock runs with the wall clock, Up held seeks, a hidden page',
    async () => {
      const page = await startShow();
      await sleep(500);
      const first = [await clock(page), Date.now()];
      await sleep(2000);
      const second = [await clock(page), Date.now()];
      const rate = (second[0] - first[0]) / ((second[1] - first[1]) / 1000);
      assert.ok(rate > 0.85 && rate < 1.15, `the clock ran at ${rate.toFixed(2)}x the wall clock`);
      assert.equal(await page.evaluate(() => document.querySelector('#canvas').hidden), false);
      await page.screenshot({path: path.join(shots, 'playing.png')});

      // Up held for a few frames moves the music 5 s a frame.
      const before = await clock(page);
      await page.keyboard.down('ArrowUp');
      await sleep(300);
      await page.keyboard.up('ArrowUp');
      await sleep(200);
      const moved = (await clock(page)) - before;
      assert.ok(moved >= 5.5, `Up held moved the clock by ${moved.toFixed(2)} s`);
      // And a release clears: the clock runs on in real time again.
      const settled = await clock(page);
      await sleep(1000);
      const after = (await clock(page)) - settled;
      assert.ok(after > 0.8 && after < 1.5, `after the release the clock moved ${after} s a second`);

      // Hidden behind another page the music goes on, and the clock catches up once it shows.
      const hiddenAt = await clock(page);
      const other = await browser.newPage();
      await other.bringToFront();
      await sleep(2000);
      assert.equal(await page.evaluate(() => document.visibilityState), 'hidden');
      await page.bringToFront();
      await sleep(500);
      const caughtUp = (await clock(page)) - hiddenAt;
      assert.ok(caughtUp > 2.2 && caughtUp < 3.5,
          `2.5 s after the page was hidden the clock moved ${caughtUp.toFixed(2)} s`);
      await other.close();
      // The canvas follows the page's size in device pixels.
      await page.setViewport({width: 640, height: 400, deviceScaleFactor: 2});
      await sleep(500);
      assert.deepEqual(await page.$eval('#canvas', (c) => [c.width, c.height]), [1280, 800]);

      // A tapped Escape ends the show; the quiet page reopens the dialog.
      await page.keyboard.press('Escape');
      await waitForState(page, 'stopped', 5000);
      assert.ok(await visible(page, '#quiet'));
      assert.equal(await page.evaluate(() => document.querySelector('#canvas').hidden), true);
      await page.click('#again');
      assert.ok(await visible(page, '#dialog'));
      assert.equal(await state(page), 'dialog');
      await page.close();
    });

test('F1 enters and leaves full screen; Escape in full screen only leaves it', async () => {
  const page = await startShow();
  // The first Escape leaves full screen; the show goes on until the next one.
  for (const [key, full] of [['F1', true], ['F1', false], ['F1', true], ['Escape', false]]) {
    await page.keyboard.press(key);
    await page.waitForFunction((full) => (document.fullscreenElement !== null) === full,
        {timeout: 5000}, full);
  }
  await sleep(300);
  assert.equal(await page.evaluate(() => document.fullscreenElement), null);
  assert.equal(await state(page), 'playing');
  await sleep(300);
  await page.keyboard.press('Escape');
  await waitForState(page, 'stopped', 5000);
  await page.close();
});

test('seeking past 287 s ends the show, and the page offers to play it again', async () => {
  const page = await startShow();
  await page.keyboard.down('ArrowUp');
  await page.waitForFunction(() => document.documentElement.dataset.state === 'ended',
      {timeout: 30000});
  await page.keyboard.up('ArrowUp');
  assert.equal(await page.$eval('#again', (b) => b.textContent), 'Play it again');
  await page.click('#again');
  await waitForState(page, 'playing');
  await sleep(500);
  assert.ok((await clock(page)) < 2, 'playing again starts from the beginning');
  assert.deepEqual(browser.pageErrors, []);
  await page.close();
});

test('a missing or damaged file is named on the page and the show does not start', async () => {
  const png = fs.readFileSync(path.join(repository, 'data/textures/font.png'));
  const faults = [
    ['data/textures/butterfly-2x.png', 'missing'],
    ['data/textures/font.png', Uint8Array.from(png.subarray(0, 200))],
    ['data/music/track.mp3', Uint8Array.from({length: 5000}, (_, i) => (i * 7919) % 251)],
  ];
  for (const [file, fault] of faults) {
    const faulty = await serveSite({[file]: fault});
    const page = await openDialog(faulty.url);
    await waitForState(page, 'error');
    const failure = await page.$eval('#failure', (e) => (e.hidden ? '(hidden)' : e.textContent));
    assert.ok(failure.includes(file), `"${failure}" does not name ${file}`);
    assert.ok(await page.$eval('#ok', (b) => b.disabled), 'OK can start an incomplete show');
    await page.evaluate(() => document.getElementById('dialog').requestSubmit());
    await sleep(200);
    assert.equal(await state(page), 'error');
    await page.close();
    faulty.close();
  }
  assert.deepEqual(browser.pageErrors, []);
});

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

// Space holds the picture, `.` steps on the 30-a-second grid, Page Down lands on a cut with the
// frame the render tool draws there, H shows the heads-up line in the bottom bar only, and a
// click or a finger's drag on its strip seeks there.
test('pause, steps, cuts, the heads-up line and the strip, by keys, mouse and touch', async () => {
  const page = await startShow({width: 800, height: 600, deviceScaleFactor: 1, hasTouch: true});
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
  const png = path.join(shots, 'cut-native.png');
  runNative('render_tool/vellomire-render', ['--at', '90.001', '--out', png]);
  const native = fs.readFileSync(png).toString('base64');
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

test('index.html?at=T shows the frame vellomire-render --at T draws, alone at the top-left',
    async () => {
      const page = await newPage(browser); // the browser's 1024 x 768 viewport at scale 1
      await page.goto(`${served.url}index.html?at=148.5`);
      await waitForState(page, 'frame-ready', 60000);
      const screenshot = await page.screenshot({clip: {x: 0, y: 0, width: 1024, height: 768}});
      fs.writeFileSync(path.join(shots, 'frame-148.5.png'), screenshot);
      const nativeFile = path.join(shots, 'native-148.5.png');
      runNative('render_tool/vellomire-render', ['--at', '148.5', '--out', nativeFile]);
      await addComparison(page);
      const compared = await page.evaluate(async (shot, native) => {
        const bytes = Uint8Array.from(atob(shot), (c) => c.charCodeAt(0));
        const web = await VellomirePage.decodePicture(bytes, 'screenshot');
        const {mean, outside} = await window.comparePictures(web, native);
        return {mean, outside, error: document.body.innerText.trim()};
      }, screenshot.toString('base64'), fs.readFileSync(nativeFile).toString('base64'));
      assert.ok(compared.mean < 0.25, `the frame differs by ${compared.mean} levels on average`);
      assert.equal(compared.outside, 0, 'something besides the frame shows on the page');
      assert.equal(compared.error, '');

      await page.goto(`${served.url}index.html?at=10&size=640x480`);
      await waitForState(page, 'frame-ready', 60000);
      assert.deepEqual(await page.$eval('#canvas', (c) => [c.width, c.height, c.offsetWidth]),
          [640, 480, 640]);

      await page.goto(`${served.url}index.html?at=soon`);
      await waitForState(page, 'error', 30000);
      assert.match(await page.evaluate(() => document.documentElement.dataset.message), /at=soon/);
      await page.close();
    });
