// The real page as a user meets it in headless Chromium: the dialog and its loading, the show
// started with OK and its keys, the quiet page after Exit or Escape, the end of the show,
// files that are missing or damaged, and a frame on request.
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

// The page with its dialog, loaded.
async function openDialog(url = served.url) {
  const page = await newPage(browser);
  await page.goto(url);
  return page;
}

// The page with the show started by Enter in the dialog.
async function startShow() {
  const page = await openDialog();
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
