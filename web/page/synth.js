// Music in the page: the player's MIDI messages into FluidSynth (js-synthesizer, compiled to
// WebAssembly) on an AudioWorklet, so synthesis never takes the game's thread, with the
// General MIDI SoundFont served beside the page.
//
// The synthesizer can only start after the first click or key, and its SoundFont takes a
// moment to load; the game does not wait for either. Until it is ready the channels' set-up
// (programs, controllers, pitch bends, system-exclusive messages) since the last reset is held
// and handed over when it is: a song that began silently goes on with the right instruments.
// Notes from before are not: they are over by then.
//
// The sequencer runs on the game's thread, which pauses now and then (while a save is stored
// in IndexedDB, say); the notes of the pause then come all at once. Those are dropped rather
// than played as a cluster: a note is as late as its message came after the song's most
// punctual one, by the sound's clock.
'use strict';

const kSynthFiles = {
  fluidsynth: 'synth/libfluidsynth-2.4.6.js',
  main: 'synth/js-synthesizer.min.js',
  worklet: 'synth/js-synthesizer.worklet.min.js',
  soundFont: 'synth/TimGM6mb.sf2',
};
// Set-up messages held at most while the synthesizer starts; a song sends a few dozen.
const kMostHeld = 4096;
// A note starting later than this is not played.
const kLatestNoteMs = 150;

function hexOf(bytes) {
  let text = '';
  for (const byte of bytes) text += ' ' + byte.toString(16).padStart(2, '0');
  return text;
}

function loadScript(source) {
  return new Promise((resolve, reject) => {
    const script = document.createElement('script');
    script.src = source;
    script.onload = resolve;
    script.onerror = () => reject(new Error(source + ' could not be loaded'));
    document.head.append(script);
  });
}

class PageMusic {
  // `log`: an array that gets one line per message as the desktop's --midi-log writes it
  // ("<ms> 90 3c 64", "<ms> open"), or null. `arrivals` gets the page's time of each.
  constructor(log, arrivals, now = () => performance.now()) {
    this.log = log;
    this.arrivals = arrivals;
    this.now = now;
    this.punctual = Infinity;
    this.notesDropped = 0;
    this.synth = null;
    this.held = [];
    this.starting = null;
    this.failure = null;
  }

  // Called for every MIDI operation of the player: a state word or the message's bytes.
  receive(ms, message) {
    const arrival = this.now();
    if (this.log) {
      this.log.push(ms + (typeof message === 'string' ? ' ' + message : hexOf(message)));
      this.arrivals.push(arrival);
    }
    if (message === 'open') this.punctual = Infinity;
    this.punctual = Math.min(this.punctual, arrival - ms);
    if (this.synth) {
      if (PageMusic.isNoteOn(message) && arrival - ms - this.punctual > kLatestNoteMs) {
        this.notesDropped++;
        return;
      }
      this.send(message);
      return;
    }
    if (message === 'reset' || message === 'close') {
      this.held.length = 0;
    } else if (typeof message !== 'string' && !PageMusic.isNote(message) && this.held.length < kMostHeld) {
      this.held.push(message);
    }
  }

  static isNoteOn(message) {
    return typeof message !== 'string' && (message[0] & 0xf0) === 0x90 && message[2] !== 0;
  }

  static isNote(message) {
    const kind = message[0] & 0xf0;
    return kind === 0x80 || kind === 0x90 || kind === 0xa0;
  }

  send(message) {
    const synth = this.synth;
    if (message === 'reset') { synth.midiSystemReset(); return; }
    if (message === 'close') { synth.midiAllSoundsOff(); return; }
    if (typeof message === 'string') return;
    if (message[0] === 0xf0) {
      // FluidSynth takes the message without its framing bytes.
      const end = message[message.length - 1] === 0xf7 ? message.length - 1 : message.length;
      synth.midiSysEx(message.slice(1, end));
      return;
    }
    const [status, data1, data2] = message;
    const channel = status & 0x0f;
    switch (status & 0xf0) {
      case 0x80: synth.midiNoteOff(channel, data1); break;
      case 0x90: data2 === 0 ? synth.midiNoteOff(channel, data1) : synth.midiNoteOn(channel, data1, data2); break;
      case 0xa0: synth.midiKeyPressure(channel, data1, data2); break;
      case 0xb0: synth.midiControl(channel, data1, data2); break;
      case 0xc0: synth.midiProgramChange(channel, data1); break;
      case 0xd0: synth.midiChannelPressure(channel, data1); break;
      case 0xe0: synth.midiPitchBend(channel, (data2 << 7) | data1); break;
      default: break;
    }
  }

  // Starts the synthesizer on `context`, its sound into `output`; once. A page that cannot
  // (no AudioWorklet, a file missing) plays on without music and says why in `failure`.
  start(context, output) {
    if (!this.starting) {
      this.starting = this.load(context, output).catch((error) => {
        this.failure = String(error && error.message || error);
        console.warn('music is off: ' + this.failure);
      });
    }
    return this.starting;
  }

  async load(context, output) {
    if (!context.audioWorklet) throw new Error('this browser has no AudioWorklet');
    const soundFont = fetch(kSynthFiles.soundFont).then((response) => {
      if (!response.ok) throw new Error('the SoundFont is missing beside the page (' + response.status + ')');
      return response.arrayBuffer();
    });
    await loadScript(kSynthFiles.main);
    await context.audioWorklet.addModule(kSynthFiles.fluidsynth);
    await context.audioWorklet.addModule(kSynthFiles.worklet);
    const synth = new JSSynth.AudioWorkletNodeSynthesizer();
    synth.init(context.sampleRate);
    const node = synth.createAudioNode(context);
    node.connect(output);
    await synth.loadSFont(await soundFont);
    this.synth = synth;
    for (const message of this.held) this.send(message);
    this.held.length = 0;
  }
}

window.PageMusic = PageMusic;
