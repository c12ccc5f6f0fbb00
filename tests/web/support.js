// What the web tests share: the built site served on 127.0.0.1 (with files that can be made
// missing or damaged), headless Chromium from Debian driven by puppeteer-core, and the native
// build's programs.
'use strict';
const fs = require('node:fs');
const http = require('node:http');
const path = require('node:path');
const {execFileSync} = require('node:child_process');
const puppeteer = require('puppeteer-core');

const repository = path.resolve(__dirname, '..', '..');
const site = process.env.VELLOMIRE_SITE || path.join(repository, 'build', 'web');
const nativeBuild = process.env.VELLOMIRE_NATIVE || path.join(repository, 'build', 'release');

const kTypes = {
  '.html': 'text/html', '.js': 'text/javascript', '.css': 'text/css',
  '.wasm': 'application/wasm', '.bmp': 'image/bmp', '.png': 'image/png',
  '.mp3': 'audio/mpeg', '.obj': 'text/plain',
};

// Serves the site. `faults` maps a path below it ('data/textures/font.png') to 'missing'
// (404) or to bytes served in the file's place.
async function serveSite(faults = {}) {
  const server = http.createServer((request, response) => {
    const relative = decodeURIComponent(new URL(request.url, 'http://x').pathname).slice(1) ||
                     'index.html';
    const file = path.join(site, relative);
    const fault = faults[relative];
    if (fault === 'missing' || !file.startsWith(site) || !fs.existsSync(file) ||
        fs.statSync(file).isDirectory()) {
      response.writeHead(404, {'Content-Type': 'text/plain'});
      response.end('not found');
      return;
    }
    const body = fault instanceof Uint8Array ? fault : fs.readFileSync(file);
    response.writeHead(200, {
      'Content-Type': kTypes[path.extname(file)] || 'application/octet-stream',
      'Content-Length': body.length,
      'Cache-Control': 'no-store',
    });
    response.end(body);
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  return {
    url: `http://127.0.0.1:${server.address().port}/`,
    // Stops serving, dropping the connections the browser keeps open.
    close() {
      server.close();
      server.closeAllConnections();
    },
  };
}

// Headless Chromium on SwiftShader's WebGL 2. Every uncaught exception of a page opened with
// newPage is collected in browser.pageErrors.
async function launchBrowser(width = 800, height = 600) {
  const browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    headless: true,
    args: ['--no-sandbox', '--use-angle=swiftshader', '--enable-unsafe-swiftshader',
      `--window-size=${width},${height}`, '--force-device-scale-factor=1'],
    defaultViewport: {width, height, deviceScaleFactor: 1},
  });
  browser.pageErrors = [];
  return browser;
}

function watchPage(browser, page) {
  page.on('pageerror', (error) => browser.pageErrors.push(String(error)));
}

async function newPage(browser) {
  const page = await browser.newPage();
  watchPage(browser, page);
  return page;
}

// Defines window.comparePictures(web, nativeBase64) in the page (again after each navigation):
// the picture `web` ({rgba, width, height}) against the PNG `nativeBase64` at its top-left, as
// the mean absolute difference of their colour values over the PNG, the worst 16 x 16 block's
// {mean, x, y}, the largest colour value of `web` beside the PNG, and the difference (16 times,
// opaque) as RGBA of the PNG's size.
function addComparison(page) {
  return page.evaluate(() => {
    window.comparePictures = async (web, nativeBase64) => {
      const bytes = Uint8Array.from(atob(nativeBase64), (c) => c.charCodeAt(0));
      const {rgba, width, height} = await VellomirePage.decodePicture(bytes, 'native');
      const difference = new Uint8ClampedArray(width * height * 4);
      let total = 0;
      let outside = 0;
      let worstBlock = {mean: 0, x: 0, y: 0};
      for (let by = 0; by < web.height; by += 16) {
        for (let bx = 0; bx < web.width; bx += 16) {
          let sum = 0;
          let count = 0;
          for (let y = by; y < Math.min(by + 16, web.height); ++y) {
            for (let x = bx; x < Math.min(bx + 16, web.width); ++x) {
              for (let c = 0; c < 4; ++c) {
                const value = web.rgba[(y * web.width + x) * 4 + c];
                const i = (y * width + x) * 4 + c;
                if (x >= width || y >= height) {
                  outside = c < 3 ? Math.max(outside, value) : outside;
                } else if (c === 3) {
                  difference[i] = 255;
                } else {
                  const d = Math.abs(value - rgba[i]);
                  difference[i] = Math.min(255, d * 16);
                  sum += d;
                  ++count;
                }
              }
            }
          }
          total += sum;
          if (count > 0 && sum / count > worstBlock.mean) {
            worstBlock = {mean: sum / count, x: bx, y: by};
          }
        }
      }
      return {mean: total / (width * height * 3), worstBlock, outside, difference};
    };
  });
}

// A program of the native build, by its path below the build folder.
function nativeProgram(relativePath) {
  const program = path.join(nativeBuild, relativePath);
  if (!fs.existsSync(program)) {
    throw new Error(`${program} is missing: build the native release preset first`);
  }
  return program;
}

function runNative(relativePath, args, options = {}) {
  return execFileSync(nativeProgram(relativePath), args,
      {cwd: repository, maxBuffer: 1 << 28, ...options});
}

module.exports = {repository, site, serveSite, launchBrowser, newPage, addComparison, runNative};
