// The web build in Debian's headless chromium: the demo plays from the page with the very
// pixels of the native headless player, its saves outlive a reload, and bad games say why.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { mkdtempSync, readFileSync, writeFileSync, mkdirSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { after, before, describe, test } from 'node:test';

import {
  clickStage, headlessShots, launchBrowser, readBmp, serve, waitForStage, waitForState, webBuild,
} from './support.mjs';

const demoDir = join(webBuild, 'games/demo');
const demoUrl = '?game=games/demo/';

describe('the demo in the browser', () => {
  let server;
  before(async () => { server = await serve(); });
  after(() => server.close());

  test('plays from the page with the headless player\'s pixels at each stop', async () => {
    // A click moves the text on a line: the first three stops of the demo's first page, and
    // the first line of the next page (its first picture, typed text and the message box).
    const events = ['shot s0.bmp'];
    for (let i = 1; i <= 4; i++) events.push('click 320 240', `shot s${i}.bmp`);
    const shots = headlessShots(demoDir, events, mkdtempSync(join(tmpdir(), 'orvane-saves-')));
    const browser = await launchBrowser();
    try {
      const page = await browser.newPage();
      await page.goto(server.url + demoUrl);
      await waitForState(page, 'running');
      const stops = [];
      for (let i = 0; i <= 4; i++) {
        stops.push(await waitForStage(page, readBmp(join(shots, `s${i}.bmp`))));
        if (i < 4) await clickStage(page, 320, 240);
      }
      const report = stops.map((s, i) => `stop ${i}: ${s.differing} pixels differ, by ${s.maxDelta} at most`).join('; ');
      for (const stop of stops) assert.equal(stop.differing, 0, report);
      // The lines completed so far stand beside the canvas as text, as the native player sent them.
      const sent = readFileSync(join(shots, 'text.txt'), 'utf8').split('\n').filter(Boolean)
        .map((line) => line.slice(line.indexOf(' ') + 1));
      assert.ok(sent.length >= 3, sent.join(' / '));
      await page.click('#show-text');
      const shown = await page.$$eval('#game-text p', (lines) => lines.map((p) => p.textContent));
      assert.deepEqual(shown, sent);
      assert.equal(await page.$eval('#game-text', (e) => e.hidden), false);
    } finally {
      await browser.close();
    }
  });

  test('keeps a save when the page reloads the moment it is written', async () => {
    // The demo counts its plays in a variable file at start: after a reload it must say 2,
    // byte for byte as the native player's file after two runs.
    const nativeSaves = mkdtempSync(join(tmpdir(), 'orvane-saves-'));
    headlessShots(demoDir, [], nativeSaves);
    headlessShots(demoDir, [], nativeSaves);
    const expected = readFileSync(join(nativeSaves, 'demo_flags.dat'));

    const browser = await launchBrowser();
    try {
      const page = await browser.newPage();
      await page.goto(server.url + demoUrl);
      // Reload the moment the file is in place in the page's memory: the game has stored the
      // new file under its temporary name, and the rename may not be stored yet.
      await page.waitForFunction(() => {
        const status = window.orvaneStatus;
        if (!status.gameId || !window.orvaneModule) return false;
        return window.orvaneModule.FS.analyzePath('/persist/saves/' + status.gameId + '/demo_flags.dat').exists;
      }, { polling: 5, timeout: 30000 });
      await page.reload();
      await waitForState(page, 'running');
      // The second start counts on from the first: wait for its write, then compare.
      const read = () => page.evaluate(() => {
        const path = '/persist/saves/' + window.orvaneStatus.gameId + '/demo_flags.dat';
        return window.orvaneModule.FS.analyzePath(path).exists ? Array.from(window.orvaneModule.FS.readFile(path)) : [];
      });
      let stored = await read();
      for (const until = Date.now() + 15000; Date.now() < until && !expected.equals(Buffer.from(stored));) {
        await new Promise((r) => setTimeout(r, 100));
        stored = await read();
      }
      assert.deepEqual(Buffer.from(stored), expected);
    } finally {
      await browser.close();
    }
  });
});

describe('opening games', () => {
  let server;
  let work;
  before(async () => {
    work = mkdtempSync(join(tmpdir(), 'orvane-open-'));
    server = await serve();
  });
  after(() => server.close());

  async function openPage(browser) {
    const page = await browser.newPage();
    await page.goto(server.url);
    return page;
  }

  async function messageOf(page) {
    await page.waitForFunction(() => {
      const m = document.getElementById('message');
      return !m.hidden && m.className !== 'info';
    }, { timeout: 15000 });
    return page.$eval('#message', (m) => m.textContent);
  }

  test('a picked game folder starts, and starts again on the next visit until closed', async () => {
    const browser = await launchBrowser();
    try {
      const page = await openPage(browser);
      await (await page.$('#pick-folder')).uploadFile(demoDir);
      await waitForState(page, 'running');
      const gameOf = () => page.evaluate(() => ({
        files: window.orvaneModule.FS.readdir('/game'), saves: window.orvaneStatus.gameId }));
      const picked = await gameOf();
      assert.ok(picked.files.includes('init.def') && picked.files.includes('scenario.dat'));
      // A new visit: the same game, with the same saves, and no picking.
      await page.goto(server.url);
      await waitForState(page, 'running');
      assert.deepEqual(await gameOf(), picked);
      // "Close the game" forgets it: the next visit waits for a pick.
      await page.goto(server.url + '?pick');
      await page.waitForFunction(() => window.orvaneStatus.keptGameForgotten === true);
      await page.goto(server.url);
      await new Promise((r) => setTimeout(r, 1500));
      assert.equal(await page.evaluate(() => window.orvaneStatus.state), 'idle');
    } finally {
      await browser.close();
    }
  });

  test('a zip of the game in a folder of its own starts it', async () => {
    const archive = join(work, 'demo.zip');
    execFileSync('python3', ['-c', `
import os, sys, zipfile
root, out = sys.argv[1], sys.argv[2]
with zipfile.ZipFile(out, 'w', zipfile.ZIP_DEFLATED) as z:
    for folder, _, names in os.walk(root):
        for name in names:
            path = os.path.join(folder, name)
            z.write(path, os.path.join('Demo Game', os.path.relpath(path, root)))
`, demoDir, archive]);
    const browser = await launchBrowser();
    try {
      const page = await openPage(browser);
      const input = await page.$('#pick-zip');
      await input.uploadFile(archive);
      await waitForState(page, 'running');
      const files = await page.evaluate(() => window.orvaneModule.FS.readdir('/game'));
      assert.ok(files.includes('init.def'), 'the archive\'s top folder becomes the game folder');
    } finally {
      await browser.close();
    }
  });

  test('a broken zip and a folder without init.def say so on the page', async () => {
    const real = join(work, 'real.zip');
    execFileSync('python3', ['-c', `
import sys, zipfile
with zipfile.ZipFile(sys.argv[1], 'w', zipfile.ZIP_DEFLATED) as z:
    z.writestr('game/init.def', 'x' * 5000)
`, real]);
    const bytes = readFileSync(real);
    // Cut short: the directory at the end is gone.
    const cut = join(work, 'cut.zip');
    writeFileSync(cut, bytes.subarray(0, bytes.length - 40));
    // Damaged inside: the deflated data is overwritten, the directory intact.
    const damaged = join(work, 'damaged.zip');
    const copy = Buffer.from(bytes);
    copy.fill(0xff, 43, 60);
    writeFileSync(damaged, copy);
    const noGame = join(work, 'no-game');
    mkdirSync(join(noGame, 'pictures'), { recursive: true });
    writeFileSync(join(noGame, 'readme.txt'), 'not a game');
    // An init.def deeper down is another game's, not this folder's.
    writeFileSync(join(noGame, 'pictures', 'init.txt'), 'not a game either');

    const browser = await launchBrowser();
    try {
      for (const [file, words] of [[cut, /cannot be opened: .*not a \.zip archive, or it was cut short/],
        [damaged, /cannot be opened: .*game\/init\.def .*damaged/]]) {
        const page = await openPage(browser);
        await (await page.$('#pick-zip')).uploadFile(file);
        assert.match(await messageOf(page), words);
        assert.equal(await page.evaluate(() => window.orvaneStatus.state), 'idle');
      }
      const page = await openPage(browser);
      await (await page.$('#pick-folder')).uploadFile(noGame);
      assert.match(await messageOf(page), /holds no init\.def, so it is not an Orvane game/);
      assert.equal(await page.evaluate(() => window.orvaneStatus.state), 'idle');
    } finally {
      await browser.close();
    }
  });
});
