// Figures of the web build, measured in Debian's headless chromium on this machine (not a test:
// it prints, it does not judge):
//   - page load to the demo's first frame, from a cold and then a warm cache (median of runs);
//   - the player's wasm + JS, gzip-compressed, the page's own files and its synthesizer
//     (js-synthesizer with FluidSynth), without the SoundFont, which is counted apart;
//   - the tab's memory once the demo plays: the JS heap and the wasm memory;
//   - the main thread's busy share while the demo's first page fades in and types, with its
//     music playing (Chrome's TaskDuration over wall time): what is left of each 16.7 ms frame
//     for the browser.
// Run after tools/web.sh build:  node web/bench/page-figures.mjs [RUNS]
import { readFileSync, readdirSync } from 'node:fs';
import { join } from 'node:path';
import { gzipSync } from 'node:zlib';

import { launchBrowser, serve, waitForState, webBuild } from '../test/support.mjs';

const runs = Number(process.argv[2] || 5);

function gzipped(files) {
  return files.reduce((sum, file) => sum + gzipSync(readFileSync(join(webBuild, file)), { level: 9 }).length, 0);
}

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];

const server = await serve();
const browser = await launchBrowser();
try {
  const page = await browser.newPage();
  const firstFrame = async () => {
    await page.goto(server.url + '?game=games/demo/');
    await waitForState(page, 'running');
    return page.evaluate(() => window.orvaneStatus.firstFrameMs);
  };
  const session = await page.createCDPSession();
  await session.send('Performance.enable');
  const taskSeconds = async () =>
    (await session.send('Performance.getMetrics')).metrics.find((m) => m.name === 'TaskDuration').value;
  const cold = await firstFrame();
  // A click on the page's header starts audio (the synthesizer and its SoundFont), as a
  // player's first click would.
  await page.mouse.click(5, 5);
  // From the loop's start: the start timer, the background's 30-step fade and the first line
  // typing out all fall in these three seconds.
  const busyFrom = await taskSeconds();
  const wallFrom = Date.now();
  await new Promise((r) => setTimeout(r, 3000));
  const busy = (await taskSeconds() - busyFrom) / ((Date.now() - wallFrom) / 1000);
  const warm = [];
  for (let i = 0; i < runs; i++) warm.push(await firstFrame());
  await page.mouse.click(5, 5);
  await new Promise((r) => setTimeout(r, 3000));
  const memory = await page.evaluate(() => ({
    jsHeap: performance.memory ? performance.memory.usedJSHeapSize : null,
    wasm: window.orvaneModule.HEAPU8.length,
    music: window.orvaneStatus.music(),
  }));
  const pageFiles = readdirSync(webBuild).filter((f) => /\.(html|css|js)$/.test(f) && f !== 'orvane.js');
  const synthFiles = readdirSync(join(webBuild, 'synth')).filter((f) => f.endsWith('.js')).map((f) => 'synth/' + f);
  const mb = (bytes) => (bytes / 1048576).toFixed(2) + ' MB';
  console.log(`first frame, cold cache: ${cold.toFixed(0)} ms`);
  console.log(`first frame, warm cache: ${median(warm).toFixed(0)} ms (median of ${runs}: ${warm.map((v) => v.toFixed(0)).join(', ')})`);
  console.log(`wasm + JS gzip -9: ${mb(gzipped(['orvane.wasm', 'orvane.js']))} (page's own files: ${mb(gzipped(pageFiles))}, synthesizer: ${mb(gzipped(synthFiles))}, SoundFont: ${mb(gzipped(['synth/TimGM6mb.sf2']))}, fonts up front: ${mb(gzipped(['fonts/ipam.ttf', 'fonts/ipamp.ttf', 'fonts/ipag.ttf', 'fonts/ipagp.ttf']))})`);
  console.log(`main thread busy during the fade and typing: ${(busy * 100).toFixed(0)} % (${(busy * 16.7).toFixed(1)} ms of each 16.7 ms frame)`);
  console.log(`memory while the demo plays: JS heap ${mb(memory.jsHeap)}, wasm memory ${mb(memory.wasm)} (music ${JSON.stringify(memory.music)})`);
} finally {
  await browser.close();
  server.close();
}
