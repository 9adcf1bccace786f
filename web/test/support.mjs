// What the browser tests share: a static server for the web build, Debian's chromium driven
// through puppeteer-core, the native player's headless shots to compare with, and canvas
// pixels read back from the page.
import { execFileSync } from 'node:child_process';
import { createReadStream, existsSync, mkdtempSync, readFileSync, statSync, writeFileSync } from 'node:fs';
import { createServer } from 'node:http';
import { tmpdir } from 'node:os';
import { extname, join, normalize, resolve } from 'node:path';
import { after, before } from 'node:test';
import puppeteer from 'puppeteer-core';

export const repo = resolve(import.meta.dirname, '..', '..');
export const webBuild = resolve(repo, process.env.WEB_BUILD_DIR || 'build-web');

// The native player that makes the reference shots: the test build's, else play-demo's.
export function nativePlayer() {
  for (const candidate of [process.env.ORVANE_NATIVE, join(repo, 'build-test/orvane'), join(repo, 'build/orvane')]) {
    if (candidate && existsSync(candidate)) return candidate;
  }
  throw new Error('no native player: build build-test/orvane (tools/test.sh) or set ORVANE_NATIVE');
}

const kTypes = {
  '.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.wasm': 'application/wasm',
  '.css': 'text/css', '.json': 'application/json', '.zip': 'application/zip',
  '.svg': 'image/svg+xml', '.webmanifest': 'application/manifest+json',
};

// Serves the web build (and `extra` folders under their prefixes) on 127.0.0.1.
export async function serve(extra = {}) {
  const server = createServer((request, response) => {
    const path = decodeURIComponent(new URL(request.url, 'http://x').pathname);
    let root = webBuild;
    let relative = path;
    for (const [prefix, folder] of Object.entries(extra)) {
      if (path.startsWith(prefix)) { root = folder; relative = path.slice(prefix.length); }
    }
    let file = normalize(join(root, relative));
    if (!file.startsWith(root)) { response.writeHead(403).end(); return; }
    if (existsSync(file) && statSync(file).isDirectory()) file = join(file, 'index.html');
    if (!existsSync(file)) { response.writeHead(404).end(); return; }
    response.writeHead(200, { 'Content-Type': kTypes[extname(file)] || 'application/octet-stream' });
    createReadStream(file).pipe(response);
  });
  await new Promise((ready) => server.listen(0, '127.0.0.1', ready));
  return { url: `http://127.0.0.1:${server.address().port}/`, close: () => server.close() };
}

// A static server and a browser shared by the tests of one describe block: opened before its
// first test, closed after its last.
export function servedBrowser() {
  const shared = { server: null, browser: null };
  before(async () => {
    shared.server = await serve();
    shared.browser = await launchBrowser();
  });
  after(async () => {
    await shared.browser.close();
    shared.server.close();
  });
  return shared;
}

export async function launchBrowser() {
  const profile = mkdtempSync(join(tmpdir(), 'orvane-chromium-'));
  return puppeteer.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    headless: true,
    userDataDir: profile,
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync',
      '--autoplay-policy=no-user-gesture-required'],
  });
}

// Runs the native player headless over `events` and returns the folder its shots went to.
export function headlessShots(gameDir, events, saveDir) {
  const folder = mkdtempSync(join(tmpdir(), 'orvane-shots-'));
  const eventsFile = join(folder, 'events.txt');
  // Relative shot names land in the game folder; absolute ones where the test wants them.
  writeFileSync(eventsFile, events.map((line) => line.replace(/^shot (\S+)/, (_, name) => `shot ${join(folder, name)}`)).join('\n') + '\n');
  // The texts it sends to reading tools go to text.txt beside the shots.
  execFileSync(nativePlayer(), ['--headless', '--events', eventsFile, '--save-dir', saveDir,
    '--text-log', join(folder, 'text.txt'), gameDir],
    { stdio: ['ignore', 'pipe', 'pipe'] });
  return folder;
}

// A 24-bit bottom-up BMP as {width, height, rgb} with rows top-down.
export function readBmp(file) {
  const bytes = readFileSync(file);
  const dataAt = bytes.readUInt32LE(10);
  const width = bytes.readInt32LE(18);
  const height = Math.abs(bytes.readInt32LE(22));
  const bottomUp = bytes.readInt32LE(22) > 0;
  const stride = (width * 3 + 3) & ~3;
  const rgb = Buffer.alloc(width * height * 3);
  for (let y = 0; y < height; y++) {
    const row = dataAt + (bottomUp ? height - 1 - y : y) * stride;
    for (let x = 0; x < width; x++) {
      rgb[(y * width + x) * 3] = bytes[row + x * 3 + 2];
      rgb[(y * width + x) * 3 + 1] = bytes[row + x * 3 + 1];
      rgb[(y * width + x) * 3 + 2] = bytes[row + x * 3];
    }
  }
  return { width, height, rgb };
}

// The 640 × 480 stage as the canvas shows it now: the bottom of the canvas, centred (the menu
// bar sits above it at scale 1).
export async function canvasStage(page) {
  const pixels = await page.evaluate(() => {
    const canvas = document.getElementById('canvas');
    const context = canvas.getContext('2d');
    const left = Math.floor((canvas.width - 640) / 2);
    const top = canvas.height - 480;
    const data = context.getImageData(left, top, 640, 480).data;
    let binary = '';
    for (let i = 0; i < data.length; i += 4) binary += String.fromCharCode(data[i], data[i + 1], data[i + 2]);
    return btoa(binary);
  });
  return Buffer.from(pixels, 'base64');
}

// Polls the canvas until it shows exactly the expected stage (a blinking mark shows it every
// other phase), or the time is up; returns the closest look: how many pixels differed and by
// how much at most in one channel.
export async function waitForStage(page, expected, timeoutMs = 15000) {
  const deadline = Date.now() + timeoutMs;
  let closest = { differing: Infinity, maxDelta: Infinity };
  while (Date.now() < deadline) {
    const actual = await canvasStage(page);
    let differing = 0;
    let maxDelta = 0;
    for (let i = 0; i < actual.length; i += 3) {
      const delta = Math.max(Math.abs(actual[i] - expected.rgb[i]), Math.abs(actual[i + 1] - expected.rgb[i + 1]),
        Math.abs(actual[i + 2] - expected.rgb[i + 2]));
      if (delta > 0) differing++;
      maxDelta = Math.max(maxDelta, delta);
    }
    if (differing < closest.differing) closest = { differing, maxDelta };
    if (differing === 0) break;
    await new Promise((r) => setTimeout(r, 50));
  }
  return closest;
}

// Clicks the stage at (x, y) in 640 × 480 stage pixels.
export async function clickStage(page, x, y) {
  const box = await page.evaluate(() => {
    const canvas = document.getElementById('canvas');
    const rect = canvas.getBoundingClientRect();
    return { left: rect.left, top: rect.top, width: canvas.width, height: canvas.height, shownWidth: rect.width };
  });
  const scale = box.shownWidth / box.width;
  const px = box.left + (Math.floor((box.width - 640) / 2) + x) * scale;
  const py = box.top + (box.height - 480 + y) * scale;
  await page.mouse.click(px, py);
}

export async function waitForState(page, state, timeoutMs = 30000) {
  await page.waitForFunction((s) => window.orvaneStatus && window.orvaneStatus.state === s, { timeout: timeoutMs }, state);
}
