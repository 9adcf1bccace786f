// The page's bridge from the player's MIDI to the synthesizer, with a recording stand-in for
// FluidSynth: what reaches the synthesizer before and after it can play, and when.
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { join } from 'node:path';
import { test } from 'node:test';
import vm from 'node:vm';

import { repo } from './support.mjs';

function loadPageMusic() {
  const context = { window: {}, console, performance };
  vm.runInNewContext(readFileSync(join(repo, 'web/page/synth.js'), 'utf8'), context);
  return context.window.PageMusic;
}

// Records each call as "name args".
function recordingSynth() {
  const calls = [];
  return new Proxy({ calls }, {
    get: (target, name) => (name === 'calls' ? calls : (...args) => calls.push(name + ' ' + args.map((a) =>
      (a instanceof Uint8Array ? Array.from(a, (b) => b.toString(16)).join(':') : a)).join(' '))),
  });
}

test('set-up from before the synthesizer is ready reaches it; notes from before do not', () => {
  const PageMusic = loadPageMusic();
  let now = 0;
  const log = [];
  const music = new PageMusic(log, [], () => now);
  music.receive(0, 'open');
  music.receive(0, [0xc0, 0x49, 0]);
  music.receive(0, [0x90, 0x48, 0x5a]);
  music.receive(0, Uint8Array.of(0xf0, 0x7e, 0x7f, 0x09, 0x01, 0xf7));
  music.receive(5, 'reset');
  // Only what came after the reset counts.
  music.receive(6, [0xb1, 0x07, 0x5a]);
  music.receive(6, [0xe1, 0x00, 0x48]);
  music.receive(6, [0x91, 0x30, 0x50]);
  music.synth = recordingSynth();
  for (const message of music.held) music.send(message);
  assert.deepEqual(music.synth.calls, ['midiControl 1 7 90', 'midiPitchBend 1 9216']);
  // The log is the desktop's format, everything in the order received.
  assert.deepEqual(log, ['0 open', '0 c0 49 00', '0 90 48 5a', '0 f0 7e 7f 09 01 f7', '5 reset', '6 b1 07 5a',
    '6 e1 00 48', '6 91 30 50']);
  now = 10;
  music.receive(10, Uint8Array.of(0xf0, 0x41, 0x10, 0x42, 0xf7));
  music.receive(10, [0x90, 0x3c, 0x00]);
  assert.deepEqual(music.synth.calls.slice(2), ['midiSysEx 41:10:42', 'midiNoteOff 0 60']);
});

test('after a pause of the game, its late notes are dropped but their ends and set-up are not', () => {
  const PageMusic = loadPageMusic();
  let now = 1000;
  const music = new PageMusic(null, null, () => now);
  music.synth = recordingSynth();
  music.receive(0, 'open');
  music.receive(0, [0x90, 60, 100]);
  // The game's thread stops for two seconds: the song's next second comes at once.
  now = 3000;
  music.receive(500, [0x80, 60, 0]);
  music.receive(500, [0xc0, 5, 0]);
  music.receive(600, [0x90, 62, 100]);
  music.receive(1950, [0x90, 64, 100]);
  // Back in time with the song: punctual again, and a frame late is not late.
  now = 3020;
  music.receive(2000, [0x90, 65, 100]);
  assert.deepEqual(music.synth.calls, ['midiNoteOn 0 60 100', 'midiNoteOff 0 60', 'midiProgramChange 0 5',
    'midiNoteOn 0 64 100', 'midiNoteOn 0 65 100']);
  assert.equal(music.notesDropped, 1);
  // A new song starts a new reckoning: its first note is on time by definition.
  now = 9000;
  music.receive(2100, 'open');
  music.receive(2100, [0x90, 67, 100]);
  assert.equal(music.synth.calls.at(-1), 'midiNoteOn 0 67 100');
});
