// What the page keeps and hands out, in Debian's headless chromium: F12's picture as a PNG
// download, the player's own settings across a reload, and a full storage quota said plainly
// while the game plays on.
import assert from 'node:assert/strict';
import { mkdtempSync, readdirSync, readFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { describe, test } from 'node:test';

import { canvasStage, launchBrowser, servedBrowser, waitForState } from './support.mjs';

const demoUrl = '?game=games/demo/';

async function waitFor(condition, timeoutMs, what) {
  for (const until = Date.now() + timeoutMs; Date.now() < until;) {
    const value = await condition();
    if (value) return value;
    await new Promise((r) => setTimeout(r, 100));
  }
  throw new Error('timed out waiting for ' + what);
}

// The settings file in the page's stored folder, or null.
function settingsText(page) {
  return page.evaluate(() => {
    const fs = window.orvaneModule && window.orvaneModule.FS;
    if (!fs || !fs.analyzePath('/persist/orvane.toml').exists) return null;
    return fs.readFile('/persist/orvane.toml', { encoding: 'utf8' });
  });
}

describe('what the page keeps', () => {
  const site = servedBrowser();

  test('F12 downloads the stage as a PNG with the canvas\'s pixels', async () => {
    const downloads = mkdtempSync(join(tmpdir(), 'orvane-downloads-'));
    const page = await site.browser.newPage();
    const cdp = await page.createCDPSession();
    await cdp.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: downloads });
    await page.goto(site.server.url + demoUrl);
    await waitForState(page, 'running');
    // Once the first page's text has typed, the stage holds still.
    await page.waitForFunction(() => document.querySelectorAll('#game-text p').length >= 1, { timeout: 20000 });
    const stage = await canvasStage(page);
    await page.focus('#canvas');
    await page.keyboard.press('F12');
    const name = await waitFor(() => readdirSync(downloads).find((f) => f.endsWith('.png')), 15000, 'the download');
    const png = readFileSync(join(downloads, name));
    assert.match(name, /^demo_\d{4}-\d\d-\d\d_\d\d-\d\d-\d\d(-\d+)?\.png$/);
    // Decoded by the browser itself, pixel for pixel what the canvas showed.
    const shot = await page.evaluate(async (base64) => {
      const bytes = Uint8Array.from(atob(base64), (c) => c.charCodeAt(0));
      const picture = await createImageBitmap(new Blob([bytes], { type: 'image/png' }));
      const canvas = new OffscreenCanvas(picture.width, picture.height);
      const context = canvas.getContext('2d');
      context.drawImage(picture, 0, 0);
      const data = context.getImageData(0, 0, picture.width, picture.height).data;
      let binary = '';
      for (let i = 0; i < data.length; i += 4) binary += String.fromCharCode(data[i], data[i + 1], data[i + 2]);
      return { width: picture.width, height: picture.height, rgb: btoa(binary) };
    }, png.toString('base64'));
    assert.deepEqual([shot.width, shot.height], [640, 480]);
    assert.ok(Buffer.from(shot.rgb, 'base64').equals(stage), 'the PNG shows what the canvas shows');
    // The picture left the tab's memory once handed over.
    assert.deepEqual(await page.evaluate(() => window.orvaneModule.FS.readdir('/shots').filter((n) => n[0] !== '.')), []);
    await page.close();
  });

  test('a setting changed while playing survives a reload right after', async () => {
    const page = await site.browser.newPage();
    await page.goto(site.server.url + demoUrl);
    await waitForState(page, 'running');
    await page.waitForFunction(() => document.querySelectorAll('#game-text p').length >= 1, { timeout: 20000 });
    assert.equal(await page.evaluate(() => window.orvaneStatus.spoken), 0, 'speech starts off');
    await page.focus('#canvas');
    // V turns speech on; the page reloads the moment the settings file is in the tab's memory.
    await page.keyboard.press('v');
    await waitFor(async () => /enabled = true/.test(await settingsText(page) || ''), 10000, 'the settings file');
    await page.reload();
    await waitForState(page, 'running');
    // Back with speech on, without a key: the next line is read aloud.
    assert.match(await settingsText(page), /\[speech\]\nenabled = true/);
    await page.focus('#canvas');
    await page.keyboard.press('Enter');
    await page.waitForFunction(() => window.orvaneStatus.spoken > 0, { timeout: 15000 });
    await page.close();
  });

  test('a full storage quota is said on the page, and the game plays on', async () => {
    // A browser of its own: the quota is the origin's, and the other tests' saves fill it.
    const ownBrowser = await launchBrowser();
    try {
      const page = await ownBrowser.newPage();
      const cdp = await page.createCDPSession();
      const origin = new URL(site.server.url).origin;
      // Room for the empty database and no more: the demo's first write (its play count, as it
      // starts) cannot be stored. Chromium aborts the store's transaction at commit.
      await cdp.send('Storage.overrideQuotaForOrigin', { origin, quotaSize: 2000 });
      await page.goto(site.server.url + demoUrl);
      await page.waitForFunction(() => {
        const m = document.getElementById('message');
        return !m.hidden && m.className === 'storage';
      }, { timeout: 20000 });
      const message = await page.$eval('#message', (m) => m.textContent);
      assert.match(message, /could not be stored in this browser: the storage this browser allows the page is full/);
      assert.match(message, /export your saves/);
      // The game did not stop at the failed store: its text types, and a key moves it on.
      await waitForState(page, 'running');
      await page.waitForFunction(() => document.querySelectorAll('#game-text p').length >= 1, { timeout: 20000 });
      const lines = await page.$$eval('#game-text p', (p) => p.length);
      await page.focus('#canvas');
      await page.keyboard.press('Enter');
      await page.waitForFunction((n) => document.querySelectorAll('#game-text p').length > n, { timeout: 15000 }, lines);
      assert.equal(await page.evaluate(() => window.orvaneStatus.savesStored), 0);
      // The message stays until a store succeeds.
      assert.equal(await page.$eval('#message', (m) => m.className), 'storage');
    } finally {
      await ownBrowser.close();
    }
  });
});
