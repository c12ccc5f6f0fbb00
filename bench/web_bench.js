// The web bench: index.html?bench=N in headless Chromium (SwiftShader), printing the median
// milliseconds per scene of the timeline at 800 x 600, and beside them the native figures of
// `vellomire-render --bench --csv` when the native build is there.
//   node bench/web_bench.js [FRAMES]
'use strict';
const {serveSite, launchBrowser, newPage, runNative} = require('../tests/web/support.js');

async function main() {
  const frames = Number(process.argv[2]) || 30;
  const server = await serveSite();
  const browser = await launchBrowser(1100, 600);
  try {
    const page = await newPage(browser);
    await page.goto(`${server.url}index.html?bench=${frames}`);
    await page.waitForFunction(
        () => ['bench-done', 'error'].includes(document.documentElement.dataset.state),
        {timeout: 0, polling: 500});
    const rows = await page.evaluate(() => window.vellomireBench ||
        document.documentElement.dataset.message);
    if (!Array.isArray(rows)) {
      throw new Error(`the bench failed: ${rows}`);
    }
    const native = new Map();
    try {
      const csv = runNative('render_tool/vellomire-render',
          ['--bench', '--csv', '--bench-frames', String(frames)]).toString();
      for (const line of csv.trim().split('\n').slice(1)) {
        const [scene, ms] = line.split(',');
        native.set(Number(scene), Number(ms));
      }
    } catch (error) {
      console.error(`no native figures: ${error.message.split('\n')[0]}`);
    }
    console.log('scene  web ms  native ms  ratio');
    for (const row of rows) {
      const ms = native.get(row.scene);
      console.log(`${String(row.scene).padStart(5)} ${row.medianMs.toFixed(1).padStart(7)}` +
          (ms ? ` ${ms.toFixed(1).padStart(10)} ${(row.medianMs / ms).toFixed(1).padStart(6)}` : ''));
    }
  } finally {
    await browser.close();
    server.close();
  }
}

main().catch((error) => {
  console.error(error);
  process.exit(1);
});
