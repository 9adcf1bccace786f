// A game published with tools/orvane-web-pack: served by a plain static file server it plays
// with the native headless player's pixels, and once opened it plays with the server gone.
// The player's own build keeps a served game for offline visits too, and a new build replaces
// the cached one whole.
import assert from 'node:assert/strict';
import { execFileSync, spawn } from 'node:child_process';
import { cpSync, mkdtempSync, readFileSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { after, before, describe, test } from 'node:test';

import {
  clickStage, headlessShots, launchBrowser, readBmp, repo, serve, waitForStage, waitForState, webBuild,
} from './support.mjs';

const demoDir = join(webBuild, 'games/demo');
const pack = join(repo, 'tools/orvane-web-pack');

// Python's own static server on a free port; stop() ends it.
async function pythonServer(folder) {
  const child = spawn('python3', ['-m', 'http.server', '--bind', '127.0.0.1', '0', '--directory', folder],
    { stdio: ['ignore', 'pipe', 'pipe'] });
  const port = await new Promise((resolve, reject) => {
    let seen = '';
    child.stdout.on('data', (chunk) => {
      seen += chunk;
      const match = /port (\d+)/.exec(seen);
      if (match) resolve(Number(match[1]));
    });
    child.on('exit', (code) => reject(new Error('http.server ended: ' + code)));
  });
  return {
    url: `http://127.0.0.1:${port}/`,
    stop: () => new Promise((resolve) => { child.once('exit', resolve); child.kill(); }),
  };
}

function workerReady(page) {
  return page.waitForFunction(() => OrvaneOffline.status.worker === 'ready' && navigator.serviceWorker.controller !== null,
    { timeout: 60000 });
}

// Clicks through `stops` stops of the demo and compares each with the headless player's shot.
async function playsLikeHeadless(page, shots, stops, what) {
  for (let i = 0; i < stops; i++) {
    const stop = await waitForStage(page, readBmp(join(shots, `s${i}.bmp`)));
    assert.equal(stop.differing, 0, `${what}, stop ${i}: ${stop.differing} pixels differ, by ${stop.maxDelta} at most`);
    if (i + 1 < stops) await clickStage(page, 320, 240);
  }
}

function demoShots(stops) {
  const events = ['shot s0.bmp'];
  for (let i = 1; i < stops; i++) events.push('click 320 240', `shot s${i}.bmp`);
  return headlessShots(demoDir, events, mkdtempSync(join(tmpdir(), 'orvane-saves-')));
}

describe('a published game', () => {
  test('plays from a plain static server, and again with the server gone', async () => {
    const site = join(mkdtempSync(join(tmpdir(), 'orvane-site-')), 'site');
    execFileSync(pack, [demoDir, site, '--title', 'デモ of the kit', '--no-export']);
    // The game's files as they were, names and all.
    for (const name of ['init.def', 'scenario.dat', 'pictures.dat']) {
      assert.deepEqual(readFileSync(join(site, 'game', name)), readFileSync(join(demoDir, name)), name);
    }
    // A folder that is not a game, or a site folder already in use, is refused.
    assert.throws(() => execFileSync(pack, [join(demoDir, 'cd'), join(site, '..', 'other')], { stdio: 'pipe' }), /holds no init\.def/);
    assert.throws(() => execFileSync(pack, [demoDir, site], { stdio: 'pipe' }), /not an empty folder/);

    const shots = demoShots(4);
    let server = await pythonServer(site);
    const browser = await launchBrowser();
    try {
      const page = await browser.newPage();
      await page.goto(server.url);
      await waitForState(page, 'running');
      assert.equal(await page.title(), 'デモ of the kit');
      assert.equal(await page.$eval('#export-saves', (b) => b.hidden), true);
      await playsLikeHeadless(page, shots, 4, 'served');
      await workerReady(page);
      await server.stop();
      server = null;
      await page.reload();
      await waitForState(page, 'running');
      await playsLikeHeadless(page, shots, 4, 'offline');
    } finally {
      await browser.close();
      if (server) await server.stop();
    }
  });
});

describe('the player offline', () => {
  let build;
  let server;
  before(async () => {
    // A copy of the build, which the second test changes.
    build = mkdtempSync(join(tmpdir(), 'orvane-build-'));
    cpSync(webBuild, build, { recursive: true, filter: (source) => !/CMakeFiles|\.a$|layer-includes|web-headers/.test(source) });
    server = await serve({ '/': build });
  });
  after(() => server.close());

  test('a game opened once starts and plays with the network cut', async () => {
    const shots = demoShots(3);
    const browser = await launchBrowser();
    try {
      const page = await browser.newPage();
      await page.goto(server.url + '?game=games/demo/');
      await waitForState(page, 'running');
      await workerReady(page);
      await page.emulateNetworkConditions({ offline: true, download: 0, upload: 0, latency: 0 });
      await page.reload();
      await waitForState(page, 'running');
      await playsLikeHeadless(page, shots, 3, 'offline');
    } finally {
      await browser.close();
    }
  });

  test('a new build replaces the cached one whole', async () => {
    const browser = await launchBrowser();
    try {
      const page = await browser.newPage();
      await page.goto(server.url + '?game=games/demo/');
      await workerReady(page);
      const cached = () => page.evaluate(async () => (await caches.keys()).filter((k) => k.startsWith('orvane-player')));
      const before = await cached();
      assert.equal(before.length, 1);
      // A new build: one page file changed, the worker written anew.
      writeFileSync(join(build, 'page.css'), readFileSync(join(build, 'page.css'), 'utf8') + '\n/* build two */\n');
      execFileSync('python3', [join(repo, 'tools/web_site.py'), 'offline', build]);
      await page.evaluate(() => navigator.serviceWorker.getRegistration().then((r) => r.update()));
      await page.waitForFunction(async (old) => {
        const keys = (await caches.keys()).filter((k) => k.startsWith('orvane-player'));
        return keys.length === 1 && keys[0] !== old;
      }, { timeout: 60000, polling: 200 }, before[0]);
      await page.reload();
      const css = await page.evaluate(() => fetch('page.css').then((r) => r.text()));
      assert.match(css, /build two/);
      // Offline, the new build's file still, from its own cache.
      await page.emulateNetworkConditions({ offline: true, download: 0, upload: 0, latency: 0 });
      assert.match(await page.evaluate(() => fetch('page.css').then((r) => r.text())), /build two/);
    } finally {
      await browser.close();
    }
  });
});
