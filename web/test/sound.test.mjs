// The page's sound in Debian's headless chromium: the music the synthesizer receives is the
// desktop's, message for message, and the demo's effect and CD track start through Web Audio.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { mkdtempSync, readFileSync, statSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { describe, test } from 'node:test';

import { nativePlayer, servedBrowser, waitForState, webBuild } from './support.mjs';

const demoDir = join(webBuild, 'games/demo');
// The span of the song compared: several bars of the demo's theme, with its set-up.
const kComparedMs = 10000;
// From here on the song must reach the page in time (see below).
const kSettledMs = 4000;
// Both players run the sequencer once per millisecond of the sound's clock, so a message's time
// from the song's start is the same on both. The browser ticks a frame's milliseconds at once
// (about 17 ms), but each tick keeps its own millisecond; 1 ms allows for a frame that ends
// between two ticks of the same millisecond.
const kStampToleranceMs = 1;

// "<ms> rest" lines, each as its time from the first "open" and its text; nothing before it.
function fromSongStart(lines) {
  const parsed = lines.map((line) => {
    const space = line.indexOf(' ');
    return { ms: Number(line.slice(0, space)), text: line.slice(space + 1) };
  });
  const start = parsed.findIndex((entry) => entry.text === 'open');
  assert.ok(start >= 0, 'the song opened its output: ' + lines.slice(0, 5).join(' / '));
  return parsed.slice(start).map((entry) => ({ ms: entry.ms - parsed[start].ms, text: entry.text }));
}

describe('sound in the browser', () => {
  const site = servedBrowser();

  test('the synthesizer receives the desktop\'s MIDI messages for the demo\'s song', async () => {
    const work = mkdtempSync(join(tmpdir(), 'orvane-midi-'));
    const eventsFile = join(work, 'events.txt');
    writeFileSync(eventsFile, `wait ${kComparedMs + 2000}\n`);
    execFileSync(nativePlayer(), ['--headless', '--events', eventsFile, '--save-dir', join(work, 'saves'),
      '--midi-log', join(work, 'midi.log'), demoDir], { stdio: ['ignore', 'pipe', 'pipe'] });
    const native = fromSongStart(readFileSync(join(work, 'midi.log'), 'utf8').split('\n').filter(Boolean));

    const page = await site.browser.newPage();
    await page.goto(site.server.url + '?game=games/demo/&midi-log');
    await waitForState(page, 'running');
    // The first click anywhere starts audio; the page's header is not the game's.
    await page.mouse.click(5, 5);
    await page.waitForFunction((span) => {
      const log = window.orvaneStatus.midiLog;
      const open = log.findIndex((line) => line.endsWith(' open'));
      return open >= 0 && parseInt(log[log.length - 1], 10) - parseInt(log[open], 10) > span;
    }, { timeout: kComparedMs + 20000, polling: 100 }, kComparedMs + 500);
    const { lines, arrivals, music } = await page.evaluate(() => ({
      lines: window.orvaneStatus.midiLog.slice(), arrivals: window.orvaneStatus.midiArrivals.slice(),
      music: window.orvaneStatus.music(),
    }));
    await page.close();

    const webStart = lines.findIndex((line) => line.endsWith(' open'));
    const web = fromSongStart(lines);
    const compared = native.filter((entry) => entry.ms < kComparedMs - kStampToleranceMs);
    assert.ok(compared.length >= 40 && compared.some((e) => e.text.startsWith('9')), 'the song plays notes: ' +
      compared.length + ' messages');
    assert.deepEqual(web.slice(0, compared.length).map((e) => e.text), compared.map((e) => e.text));
    for (let i = 0; i < compared.length; i++) {
      assert.ok(Math.abs(web[i].ms - compared[i].ms) <= kStampToleranceMs,
        `message ${i} (${compared[i].text}) at ${web[i].ms} ms in the page, ${compared[i].ms} ms on the desktop`);
    }
    // They reached the page as the song went, not all at once or at another speed. A message
    // can only be late (the game's thread ticks the sound's milliseconds once a frame), so each
    // one's lateness counts from the most punctual one. The demo stores its play count as it
    // starts, and the game waits until IndexedDB has it (a second or two on a loaded machine):
    // the song's first notes come in a burst then (the page drops their starts). From
    // kSettledMs on, a frame or two late at most, with room for a loaded machine.
    const offsets = web.slice(0, compared.length).map((entry, i) => arrivals[webStart + i] - entry.ms);
    const punctual = Math.min(...offsets);
    const late = offsets.map((offset) => Math.round(offset - punctual));
    const settled = late.filter((_, i) => web[i].ms >= kSettledMs);
    assert.ok(settled.length >= 20 && settled.every((ms) => ms <= 150), 'lateness in ms: ' + late.join(' '));
    // And the synthesizer itself came up with its SoundFont.
    assert.deepEqual(music, { ready: true, failure: null });
  });

  test('the demo\'s sound effect and CD track start through Web Audio', async () => {
    const trackBytes = statSync(join(demoDir, 'cd', 'track02.wav')).size;
    const page = await site.browser.newPage();
    await page.goto(site.server.url + '?game=games/demo/');
    await waitForState(page, 'running');
    await page.focus('#canvas');
    // Ctrl held skips the text: past the chime's page and the sixteen transitions to the track.
    await page.keyboard.down('Control');
    try {
      await page.waitForFunction((bytes) => window.orvaneStatus.sounds.includes('track ' + bytes),
        { timeout: 120000, polling: 100 }, trackBytes);
    } finally {
      await page.keyboard.up('Control');
    }
    const sounds = await page.evaluate(() => window.orvaneStatus.sounds);
    assert.ok(sounds.some((s) => /^wave \d+$/.test(s)), 'an effect started: ' + sounds.join(', '));
    assert.ok(!sounds.some((s) => s.includes('undecodable')), sounds.join(', '));
    await page.close();
  });
});
