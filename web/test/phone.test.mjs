// The page on a phone: fingers drive the game as the mouse does on a desktop (checked against
// the native headless player's pixels), the finger menu saves to a slot, and saves imported
// from an older archive never replace newer ones unasked.
import assert from 'node:assert/strict';
import { mkdtempSync, readFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { after, before, describe, test } from 'node:test';

import { headlessShots, launchBrowser, readBmp, serve, waitForStage, waitForState, webBuild } from './support.mjs';

const demoDir = join(webBuild, 'games/demo');
const demoUrl = '?game=games/demo/';
// A phone held upright, three device pixels to a CSS pixel as most have: the canvas must still
// hold the stage one pixel per pixel for its pixels to equal the headless player's.
const kPhone = { viewport: { width: 390, height: 800, deviceScaleFactor: 3, isMobile: true, hasTouch: true },
  userAgent: 'Mozilla/5.0 (Linux; Android 14; Pixel 8) AppleWebKit/537.36 (KHTML, like Gecko) Chrome/120 Mobile Safari/537.36' };

// Fingers through the DevTools protocol: each call is one touch event with all fingers down.
async function fingers(page) {
  const client = await page.createCDPSession();
  const send = (type, points) => client.send('Input.dispatchTouchEvent', { type, touchPoints: points.map(([x, y], id) => ({ x, y, id })) });
  const pause = (ms) => new Promise((r) => setTimeout(r, ms));
  return {
    async tap(x, y) { await send('touchStart', [[x, y]]); await pause(60); await send('touchEnd', []); },
    async hold(x, y, ms) { await send('touchStart', [[x, y]]); await pause(ms); await send('touchEnd', []); },
    // From each start point to each end point in a few moves.
    async swipe(from, to) {
      await send('touchStart', from);
      for (let step = 1; step <= 5; step++) {
        await pause(16);
        await send('touchMove', from.map(([x, y], i) => [x + (to[i][0] - x) * step / 5, y + (to[i][1] - y) * step / 5]));
      }
      await send('touchEnd', []);
    },
  };
}

// Where the stage is shown on the page, in CSS pixels.
function stageBox(page) {
  return page.$eval('main', (frame) => {
    const r = frame.getBoundingClientRect();
    return { left: r.left, top: r.top, width: r.width, height: r.height };
  });
}

describe('the demo on a phone', () => {
  let server;
  before(async () => { server = await serve(); });
  // A page of the browser made to look like a phone, with the demo running in it.
  const demoOnAPhone = async (browser) => {
    const page = await browser.newPage();
    await page.emulate(kPhone);
    await page.goto(server.url + demoUrl);
    await waitForState(page, 'running');
    return page;
  };
  after(() => server.close());

  test('a tap advances, a long press hides the window, swipes open and close the history', async () => {
    const events = ['shot p0.bmp', 'click 320 240', 'shot p1.bmp', 'rclick 320 240', 'shot p2.bmp', 'click 320 240',
      'shot p3.bmp', 'wheel up', 'shot p4.bmp', 'wheel down', 'shot p5.bmp', 'click 320 240', 'wheel up', 'shot p6.bmp'];
    const shots = headlessShots(demoDir, events, mkdtempSync(join(tmpdir(), 'orvane-saves-')));
    const expect = async (page, name, what) => {
      const stop = await waitForStage(page, readBmp(join(shots, name)));
      assert.equal(stop.differing, 0, `${what}: ${stop.differing} pixels differ, by ${stop.maxDelta} at most`);
    };
    const browser = await launchBrowser();
    try {
      const page = await demoOnAPhone(browser);
      const box = await stageBox(page);
      // Upright, the stage spans the width at 4:3, in the middle of the screen.
      assert.equal(Math.round(box.width), 390);
      assert.equal(Math.round(box.height), Math.round(390 * 3 / 4));
      assert.equal(Math.round(box.top), Math.round((800 - 390 * 3 / 4) / 2));
      const finger = await fingers(page);
      const mid = [box.left + box.width / 2, box.top + box.height / 2];
      await expect(page, 'p0.bmp', 'the start');
      await finger.tap(...mid);
      await expect(page, 'p1.bmp', 'a tap');
      await finger.hold(...mid, 800);
      await expect(page, 'p2.bmp', 'a long press');
      await finger.tap(...mid);
      await expect(page, 'p3.bmp', 'a tap that brings the window back');
      // From the left edge: the history.
      await finger.swipe([[box.left + 4, mid[1]]], [[box.left + 200, mid[1] + 10]]);
      await expect(page, 'p4.bmp', 'a swipe from the left edge');
      await finger.swipe([[mid[0], mid[1] + 80]], [[mid[0], mid[1] - 60]]);
      await expect(page, 'p5.bmp', 'a swipe up');
      await finger.tap(...mid);
      await finger.swipe([[mid[0] - 40, mid[1] - 80], [mid[0] + 40, mid[1] - 80]], [[mid[0] - 40, mid[1] + 40], [mid[0] + 40, mid[1] + 40]]);
      await expect(page, 'p6.bmp', 'two fingers down');
      // The page itself never scrolled nor zoomed under all that.
      assert.deepEqual(await page.evaluate(() => [window.scrollX, window.scrollY, window.visualViewport.scale]), [0, 0, 1]);

      // Turned sideways: the stage fills the height at 4:3.
      await page.setViewport({ ...kPhone.viewport, width: 800, height: 390 });
      await page.waitForFunction(() => Math.round(document.querySelector('main').getBoundingClientRect().height) === 390);
      const turned = await stageBox(page);
      assert.equal(Math.round(turned.width), Math.round(390 * 4 / 3));
      assert.equal(Math.round(turned.left), Math.round((800 - 390 * 4 / 3) / 2));
    } finally {
      await browser.close();
    }
  });

  test('the menu button saves to a slot and skips to the name box, a real text field', async () => {
    const browser = await launchBrowser();
    try {
      const page = await demoOnAPhone(browser);
      const finger = await fingers(page);
      const tapOn = async (selector) => {
        const r = await page.$eval(selector, (e) => { const b = e.getBoundingClientRect(); return [b.left + b.width / 2, b.top + b.height / 2, b.width, b.height]; });
        assert.ok(r[2] >= 44 && r[3] >= 44, `${selector} is ${r[2]} × ${r[3]}: too small for a finger`);
        await finger.tap(r[0], r[1]);
      };
      const slotFile = () => page.evaluate(() => {
        const path = '/persist/saves/' + window.orvaneStatus.gameId + '/Data_3.dat';
        return window.orvaneModule.FS.analyzePath(path).exists;
      });
      assert.equal(await slotFile(), false);
      await tapOn('#touch-menu-button');
      // The save item sits in its menu's groups: open each, outermost first, then the item.
      const groups = await page.$eval('#touch-menu button[data-name="SaveDat3"]', (b) => {
        const names = [];
        for (let group = b.closest('details'); group; group = group.parentElement.closest('details')) {
          const summary = group.querySelector(':scope > summary');
          summary.id = 'group-' + names.length;
          names.unshift(summary.id);
        }
        return names;
      });
      for (const id of groups) await tapOn('#' + id);
      const group = await page.$eval('#' + groups[groups.length - 1], (s) => s.textContent);
      const caption = await page.$eval('#touch-menu button[data-name="SaveDat3"]', (b) => b.textContent);
      await tapOn('#touch-menu button[data-name="SaveDat3"]');
      await page.waitForFunction(() => window.orvaneModule.FS.analyzePath(
        '/persist/saves/' + window.orvaneStatus.gameId + '/Data_3.dat').exists, { timeout: 10000 });
      // The sheet closed and the slot's caption changed to the save's.
      assert.equal(await page.$eval('#touch-menu', (s) => s.hidden), true);
      await tapOn('#touch-menu-button');
      const after = await page.$eval('#touch-menu button[data-name="SaveDat3"]', (b) => b.textContent);
      assert.notEqual(after, caption, `${group}: the slot's caption is still ${caption}`);

      // The menu's skip item runs to the demo's name box, which is the page's own text field:
      // focused for the phone's keyboard, and its answer is the name the game goes on with.
      await page.$eval('#touch-menu .close', (b) => b.click());
      await tapOn('#touch-menu-button');
      await tapOn('#touch-menu button[data-name="SKIP"]');
      // Skipping runs the transitions on the way at their own pace: half a minute here.
      await page.waitForSelector('#touch-text-box input', { timeout: 120000 });
      const box = await page.$eval('#touch-text-box', (b) => ({ text: b.textContent,
        value: b.querySelector('input').value, focused: document.activeElement === b.querySelector('input') }));
      assert.match(box.text, /お名前/);
      assert.deepEqual([box.value, box.focused], ['名無し', true]);
      await page.$eval('#touch-text-box input', (i) => { i.value = '花子'; });
      await tapOn('#touch-text-box button[type=submit]');
      // The game asks whether the name is right: a yes-or-no box of the page's too.
      await page.waitForFunction(() => /花子/.test(document.querySelector('#touch-text-box .question')?.textContent));
      await tapOn('#touch-text-box button:first-of-type');
      await page.waitForFunction(() => Array.from(document.querySelectorAll('#game-text p'))
        .some((p) => p.textContent.includes('ようこそ、花子さん。')), { timeout: 30000 });
      assert.equal(await page.$('#touch-text-box'), null);
    } finally {
      await browser.close();
    }
  });
});

describe('saves on a phone', () => {
  let server;
  before(async () => { server = await serve(); });
  after(() => server.close());

  test('lasting storage refused is said; an older archive asks before replacing a newer slot', async () => {
    const browser = await launchBrowser();
    try {
      const page = await browser.newPage();
      await page.evaluateOnNewDocument(() => {
        navigator.storage.persisted = async () => false;
        navigator.storage.persist = async () => false;
      });
      await page.goto(server.url + demoUrl);
      await waitForState(page, 'running');
      await page.waitForSelector('#storage-note');
      assert.match(await page.$eval('#storage-note', (n) => n.textContent), /did not grant lasting storage.*Export/s);

      const file = 'demo_flags.dat';
      await page.waitForFunction((f) => window.orvaneModule.FS.analyzePath('/persist/saves/' + window.orvaneStatus.gameId + '/' + f).exists, {}, file);
      const questions = [];
      let answer = false;
      page.on('dialog', (dialog) => { questions.push(dialog.message()); answer ? dialog.accept() : dialog.dismiss(); });
      // Imports an archive of `file` (and a slot that is not here yet) made `ageMs` ago; returns
      // the stored file's first byte afterwards.
      const importAged = (ageMs, marker) => page.evaluate(async (f, age, m) => {
        const data = new Uint8Array(64).fill(m);
        const when = new Date(Date.now() - age);
        const archive = await OrvaneZip.write([{ path: f, data, modified: when }, { path: 'Data_9.dat', data, modified: when }]).arrayBuffer();
        await window.orvanePage.importSaves(archive);
        const dir = '/persist/saves/' + window.orvaneStatus.gameId + '/';
        return [window.orvaneModule.FS.readFile(dir + f)[0], window.orvaneModule.FS.readFile(dir + 'Data_9.dat')[0]];
      }, file, ageMs, marker);
      const original = await page.evaluate((f) => window.orvaneModule.FS.readFile('/persist/saves/' + window.orvaneStatus.gameId + '/' + f)[0], file);
      assert.notEqual(original, 7);

      // An hour older than the slot here: asked, and "no" keeps the newer one (the rest comes in).
      assert.deepEqual(await importAged(3600e3, 7), [original, 7]);
      assert.equal(questions.length, 1);
      assert.match(questions[0], new RegExp(file));
      assert.doesNotMatch(questions[0], /Data_9/);
      // Asked again, "yes" replaces it.
      answer = true;
      assert.deepEqual(await importAged(3600e3, 8), [8, 8]);
      assert.equal(questions.length, 2);
      // An archive newer than what is here replaces it unasked; the time it carries is kept, so
      // the same archive brought back again is not "older" than itself.
      assert.deepEqual(await importAged(-3600e3, 9), [9, 9]);
      assert.deepEqual(await importAged(-3600e3, 10), [10, 10]);
      assert.equal(questions.length, 2);
      // Exported saves carry their times: brought straight back, nothing is newer here.
      const roundTrip = await page.evaluate(async () => {
        const dir = '/persist/saves/' + window.orvaneStatus.gameId;
        const fs = window.orvaneModule.FS;
        const files = fs.readdir(dir).filter((n) => n !== '.' && n !== '..')
          .map((n) => ({ path: n, data: fs.readFile(dir + '/' + n), modified: fs.stat(dir + '/' + n).mtime }));
        const back = await OrvaneZip.read(await OrvaneZip.write(files).arrayBuffer());
        return OrvaneSaveImport.newerHere(fs, dir, back).length;
      });
      assert.equal(roundTrip, 0);
      assert.equal(questions.length, 2);
    } finally {
      await browser.close();
    }
  });
});
