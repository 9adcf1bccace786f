// The page around the browser build: it opens a game (served beside the page, picked as a
// folder, or a .zip), puts it into the player's in-memory file system, keeps saves and the
// player's settings in IndexedDB (stored after every write, before the game goes on), and
// answers the player's calls for sound and speech.
'use strict';

const kGameRoot = '/game';
const kPersistRoot = '/persist';
// Screenshots land here and leave again as downloads.
const kShotsRoot = '/shots';
const kFontFolders = {
  'ipam.ttf': '/usr/share/fonts/opentype/ipafont-mincho',
  'ipamp.ttf': '/usr/share/fonts/opentype/ipafont-mincho',
  'ipag.ttf': '/usr/share/fonts/opentype/ipafont-gothic',
  'ipagp.ttf': '/usr/share/fonts/opentype/ipafont-gothic',
};
// All four are fetched before the game starts: the player reads files synchronously, and a
// face that is missing when first asked for stays replaced for the whole session.
const kFontsUpFront = Object.keys(kFontFolders);

// What tests and curious people can read: the game's state and what it printed.
const orvaneStatus = { state: 'idle', output: [], savesStored: 0, firstFrameMs: null, gameId: null,
  sounds: [], spoken: 0, screenshots: [] };
window.orvaneStatus = orvaneStatus;

const elements = {
  message: document.getElementById('message'),
  canvas: document.getElementById('canvas'),
  openers: document.getElementById('openers'),
  gameTools: document.getElementById('game-tools'),
  gameText: document.getElementById('game-text'),
  showText: document.getElementById('show-text'),
};

// The game's texts as they complete, the newest last; a few dozen are kept, the page's worth
// and the ones before it.
const kTextsKept = 40;

function addGameText(text) {
  const line = document.createElement('p');
  line.textContent = text;
  elements.gameText.append(line);
  while (elements.gameText.childElementCount > kTextsKept) elements.gameText.firstElementChild.remove();
  if (!elements.gameText.hidden) line.scrollIntoView({ block: 'nearest' });
}

function showGameText(show) {
  elements.gameText.hidden = !show;
  elements.showText.setAttribute('aria-pressed', String(show));
  try { localStorage.setItem('orvane.showText', show ? '1' : '0'); } catch (e) { /* private mode */ }
}

elements.showText.addEventListener('click', () => showGameText(elements.gameText.hidden));

function showMessage(text, kind) {
  elements.message.textContent = text;
  elements.message.className = kind || '';
  elements.message.hidden = !text;
}

// --- sound and speech -------------------------------------------------------------------

// The sounds that started, newest last ("wave <bytes>", "track <bytes>"), a few dozen kept.
const kSoundsKept = 50;

function noteSound(what) {
  orvaneStatus.sounds.push(what);
  if (orvaneStatus.sounds.length > kSoundsKept) orvaneStatus.sounds.shift();
}

class PageSound {
  constructor(music) {
    this.context = null;
    this.gains = [1, 1, 1];
    this.lines = [];
    this.wave = null;
    this.track = null;
    this.music = music;
    // Browsers start audio only after a gesture: the first click or key makes the context.
    const start = () => this.ensureContext();
    window.addEventListener('pointerdown', start, { capture: true });
    window.addEventListener('keydown', start, { capture: true });
  }

  ensureContext() {
    if (!this.context) {
      const AudioContextClass = window.AudioContext || window.webkitAudioContext;
      if (!AudioContextClass) return null;
      this.context = new AudioContextClass();
      // One gain for each of the game's volume lines: effects, music, tracks.
      this.lines = this.gains.map((gain) => {
        const node = this.context.createGain();
        node.gain.value = gain;
        node.connect(this.context.destination);
        return node;
      });
      this.waveGain = this.lines[0];
      this.music.start(this.context, this.lines[1]);
    }
    if (this.context.state === 'suspended') this.context.resume();
    return this.context;
  }

  // Decodes a file and plays it on a volume line; `slot` names what it replaces ('wave' or
  // 'track'). Before the first gesture there is no context: the game goes on silently, as it
  // would muted. A file the browser cannot decode stays silent too, and is noted.
  play(slot, line, bytes, loop) {
    this.stop(slot);
    const context = this.context;
    if (!context) return;
    const token = {};
    this[slot] = token;
    const size = bytes.length;  // decoding takes the buffer away
    context.decodeAudioData(bytes.buffer).then((buffer) => {
      if (this[slot] !== token) return;  // stopped or replaced while it decoded
      const source = context.createBufferSource();
      source.buffer = buffer;
      source.loop = loop;
      source.connect(this.lines[line]);
      source.start();
      token.source = source;
      noteSound(slot + ' ' + size);
    }, () => noteSound(slot + ' undecodable ' + size));
  }

  stop(slot) {
    if (this[slot] && this[slot].source) this[slot].source.stop();
    this[slot] = null;
  }

  playWave(bytes, loop) { this.play('wave', 0, bytes, loop); }
  stopWave() { this.stop('wave'); }
  playTrack(bytes) { this.play('track', 2, bytes, false); }
  stopTrack() { this.stop('track'); }

  setGain(line, gain) {
    this.gains[line] = gain;
    if (this.lines[line]) this.lines[line].gain.value = gain;
  }
}

function say(text, interrupt) {
  orvaneStatus.spoken++;
  if (!window.speechSynthesis) return;
  if (interrupt) window.speechSynthesis.cancel();
  const utterance = new SpeechSynthesisUtterance(text);
  utterance.lang = 'ja-JP';
  window.speechSynthesis.speak(utterance);
}

// --- saves in IndexedDB -------------------------------------------------------------------

// Stores the persistent folder whenever something under it was written. One store runs at a
// time; writes made meanwhile are stored by the next one. settle() resolves when all is stored.
class SaveStore {
  constructor(fs) {
    this.fs = fs;
    this.dirty = false;
    this.running = null;
  }

  written(path) {
    if (typeof path === 'string' && path.startsWith(kPersistRoot + '/')) {
      this.dirty = true;
      this.kick();
    }
  }

  pending() { return this.dirty || this.running !== null; }

  kick() {
    if (this.running || !this.dirty) return this.running;
    this.dirty = false;
    this.running = new Promise((resolve) => {
      this.fs.syncfs(false, (error) => {
        if (!error) {
          orvaneStatus.savesStored++;
          if (elements.message.className === 'storage') showMessage('');
        }
        resolve();
      });
    }).then(() => {
      this.running = null;
      return this.kick();
    });
    return this.running;
  }

  async settle() {
    while (this.pending()) await (this.running || this.kick());
  }

  // IDBFS never calls back when the browser aborts its transaction (a full quota does), and
  // takes a failed request for a success. Every store into `database` (IDBFS's connection),
  // the page's own and the player's fsync alike, is therefore also ended by its transaction's
  // outcome: none waits forever, and none fails unsaid.
  guard(idbfs, database) {
    const store = this;
    const active = new Set();
    const syncfs = idbfs.syncfs;
    idbfs.syncfs = function (mount, populate, callback) {
      let over = false;
      const finish = (error) => {
        if (over) return;
        over = true;
        active.delete(finish);
        if (error) store.failed(error);
        callback(error);
      };
      active.add(finish);
      syncfs.call(this, mount, populate, finish);
    };
    const transaction = database.transaction;
    database.transaction = function () {
      const opened = transaction.apply(this, arguments);
      let failed = null;
      const end = (error) => { if (error) for (const finish of [...active]) finish(error); };
      opened.addEventListener('error', (event) => { failed = failed || event.target.error; });
      opened.addEventListener('abort', () => end(opened.error || failed || new Error('the browser gave up storing')));
      opened.addEventListener('complete', () => end(failed));
      return opened;
    };
  }

  // Nothing is lost yet: the files stay in the tab, and the next store takes them all.
  failed(error) {
    orvaneStatus.storeFailures = (orvaneStatus.storeFailures || 0) + 1;
    showMessage('Your latest save could not be stored in this browser: ' + describeStorageError(error) +
      '. The game goes on, but what it saved is lost when this tab closes: export your saves ' +
      '(Export saves) or free some space for this site, and save again.', 'storage');
  }

  // Every write that reaches the persistent folder: files closed after writing, renames into
  // place (how the player writes), removals.
  watch() {
    const fs = this.fs;
    const store = this;
    const rename = fs.rename;
    fs.rename = function (from, to) {
      const result = rename.apply(this, arguments);
      store.written(to);
      return result;
    };
    const close = fs.close;
    fs.close = function (stream) {
      const path = stream && stream.path;
      const wrote = stream && (stream.flags & 3) !== 0;
      const result = close.apply(this, arguments);
      if (wrote) store.written(path);
      return result;
    };
    const unlink = fs.unlink;
    fs.unlink = function (path) {
      const result = unlink.apply(this, arguments);
      store.written(path);
      return result;
    };
  }
}

function describeStorageError(error) {
  const text = String(error && (error.name || error.message || error.errno) || error);
  if (/quota/i.test(text)) return 'the storage this browser allows the page is full (its quota)';
  return text;
}

// --- games in -----------------------------------------------------------------------------

// The folder in a list of files that holds init.def (the shallowest, whatever its letter case),
// or null.
function findGameRoot(paths) {
  let best = null;
  for (const path of paths) {
    const parts = path.split('/');
    if (parts[parts.length - 1].toLowerCase() !== 'init.def') continue;
    const root = parts.slice(0, -1).join('/');
    if (best === null || root.split('/').length < best.split('/').length) best = root;
  }
  return best;
}

// Keeps the files under the game's root, with paths relative to it; throws when none is there.
function gameFiles(files, what) {
  const root = findGameRoot(files.map((f) => f.path));
  if (root === null) {
    throw new ZipError(what + ' holds no init.def, so it is not an Orvane game.\n' +
      'Pick the game\'s own folder: the one with init.def in it.');
  }
  const prefix = root === '' ? '' : root + '/';
  return files.filter((f) => f.path.startsWith(prefix)).map((f) => ({ path: f.path.slice(prefix.length), data: f.data }));
}

async function filesFromManifest(base) {
  const response = await fetch(base + 'manifest.json');
  if (!response.ok) throw new ZipError('No game at ' + base + ' (its manifest.json: ' + response.status + ').');
  OrvaneOffline.keep(base + 'manifest.json', response.clone());
  const manifest = await response.json();
  return Promise.all(manifest.files.map(async (entry) => {
    const file = await fetch(base + entry.path.split('/').map(encodeURIComponent).join('/'));
    if (!file.ok) throw new ZipError('The game\'s file ' + entry.path + ' could not be fetched (' + file.status + ').');
    OrvaneOffline.keep(file.url, file.clone());
    return { path: entry.path, data: new Uint8Array(await file.arrayBuffer()) };
  }));
}

async function filesFromPicked(fileList) {
  return Promise.all(Array.from(fileList).map(async (file) => ({
    path: file.webkitRelativePath || file.name,
    data: new Uint8Array(await file.arrayBuffer()),
  })));
}

// A dropped folder's files, read through the entries API.
async function filesFromEntry(entry, prefix) {
  if (entry.isFile) {
    const file = await new Promise((resolve, reject) => entry.file(resolve, reject));
    return [{ path: prefix + entry.name, data: new Uint8Array(await file.arrayBuffer()) }];
  }
  const reader = entry.createReader();
  const children = [];
  for (;;) {
    const batch = await new Promise((resolve, reject) => reader.readEntries(resolve, reject));
    if (batch.length === 0) break;
    children.push(...batch);
  }
  const nested = await Promise.all(children.map((child) => filesFromEntry(child, prefix + entry.name + '/')));
  return nested.flat();
}

// What a screenshot is named after: the folder's or archive's name, or the last part of the
// path a served game was opened by.
function gameTitle(name) {
  const last = name.split('/').filter(Boolean).pop() || 'game';
  return last.replace(/\.zip$/i, '').replace(/[\\/:*?"<>|\x00-\x1f]+/g, '_') || 'game';
}

function gameIdFor(kind, name) {
  const label = name.replace(/[^A-Za-z0-9._\-\u3040-\u30ff\u4e00-\u9fff]+/g, '_').slice(0, 40) || 'game';
  const hash = OrvaneZip.crc32(new TextEncoder().encode(kind + ':' + name)).toString(16).padStart(8, '0');
  return label + '-' + hash;
}

// --- the player ---------------------------------------------------------------------------

let started = false;

function writeTree(fs, root, files) {
  for (const file of files) {
    const parts = file.path.split('/').filter((p) => p !== '' && p !== '.' && p !== '..');
    let folder = root;
    for (const part of parts.slice(0, -1)) {
      folder += '/' + part;
      if (!fs.analyzePath(folder).exists) fs.mkdir(folder);
    }
    fs.writeFile(folder + '/' + parts[parts.length - 1], file.data);
  }
}

function makeFolders(fs, path) {
  let folder = '';
  for (const part of path.split('/').filter(Boolean)) {
    folder += '/' + part;
    if (!fs.analyzePath(folder).exists) fs.mkdir(folder);
  }
}

async function startGame(files, gameId, title) {
  if (started) return;
  started = true;
  showMessage('Loading…', 'info');
  elements.openers.hidden = true;
  const fonts = await Promise.all(kFontsUpFront.map(async (name) => {
    const response = await fetch('fonts/' + name);
    if (!response.ok) throw new Error('the font ' + name + ' is missing beside the page (' + response.status + ')');
    return { name, data: new Uint8Array(await response.arrayBuffer()) };
  }));
  const logMidi = new URLSearchParams(location.search).has('midi-log');
  if (logMidi) { orvaneStatus.midiLog = []; orvaneStatus.midiArrivals = []; }
  const music = new PageMusic(orvaneStatus.midiLog || null, orvaneStatus.midiArrivals || null);
  orvaneStatus.music = () => ({ ready: music.synth !== null, failure: music.failure });
  const sound = new PageSound(music);
  let store = null;
  const page = {
    playWave: (bytes, loop) => sound.playWave(bytes, loop),
    stopWave: () => sound.stopWave(),
    playTrack: (bytes) => sound.playTrack(bytes),
    stopTrack: () => sound.stopTrack(),
    midi: (ms, message) => music.receive(ms, message),
    setGain: (line, gain) => sound.setGain(line, gain),
    say,
    silence: () => window.speechSynthesis && window.speechSynthesis.cancel(),
    savesPending: () => store !== null && store.pending(),
    settleSaves: () => store.settle(),
    gameText: addGameText,
    gameState: (state) => {
      orvaneStatus.state = state;
      document.dispatchEvent(new CustomEvent('orvane-state', { detail: state }));
      if (state === 'running') {
        orvaneStatus.firstFrameMs = performance.now();
        if (elements.message.className === 'info') showMessage('');
        elements.gameTools.hidden = false;
        let shown = false;
        try { shown = localStorage.getItem('orvane.showText') === '1'; } catch (e) { /* private mode */ }
        showGameText(shown);
        elements.canvas.focus();
      } else if (state === 'no-game') {
        showMessage('This game folder holds no init.def, so it is not an Orvane game.');
      } else if (state === 'failed') {
        showMessage('The game could not start: ' + orvaneStatus.output.slice(-3).join('\n'));
      }
    },
  };
  const print = (line) => { orvaneStatus.output.push(line); console.log(line); };
  const module = await createOrvane({
    canvas: elements.canvas,
    orvanePage: page,
    orvaneControls: window.orvaneControls,
    print,
    printErr: print,
    // SDL's software renderer draws with putImageData: exact pixels, readable back from the
    // canvas, and no WebGL needed.
    preRun: [(m) => { m.ENV.SDL_RENDER_DRIVER = 'software'; }],
  });
  window.orvaneModule = module;
  const fs = module.FS;
  for (const font of fonts) {
    makeFolders(fs, kFontFolders[font.name]);
    fs.writeFile(kFontFolders[font.name] + '/' + font.name, font.data);
  }
  makeFolders(fs, kGameRoot);
  writeTree(fs, kGameRoot, files);
  // The file system holds its own copies now: let the fetched bytes go.
  fonts.length = 0;
  files.length = 0;
  makeFolders(fs, kPersistRoot);
  fs.mount(module.IDBFS, {}, kPersistRoot);
  await new Promise((resolve) => fs.syncfs(true, (error) => {
    if (error) showMessage('Saves cannot be kept in this browser (' + describeStorageError(error) + '): the game plays, but its saves go when the tab closes.');
    resolve();
  }));
  const saveDir = kPersistRoot + '/saves/' + gameId;
  makeFolders(fs, saveDir);
  if (finishInterruptedWrites(fs, kPersistRoot) > 0) await new Promise((resolve) => fs.syncfs(false, resolve));
  store = new SaveStore(fs);
  store.watch();
  if (module.IDBFS.dbs && module.IDBFS.dbs[kPersistRoot]) store.guard(module.IDBFS, module.IDBFS.dbs[kPersistRoot]);
  makeFolders(fs, kShotsRoot);
  watchScreenshots(fs, kShotsRoot, (name, bytes) => {
    // The player names a shot after its game's folder, which is always /game here.
    const named = name.replace(/^game_/, title + '_');
    orvaneStatus.screenshots.push(named);
    downloadPicture(named, bytes);
  });
  orvaneStatus.gameId = gameId;
  page.exportSaves = () => exportSaves(fs, saveDir, gameId);
  page.importSaves = (archive) => importSaves(fs, saveDir, archive, store);
  window.orvanePage = page;
  orvaneStatus.state = 'starting';
  module.callMain(['--scale', '1', '--save-dir', saveDir, '--config', kPersistRoot + '/orvane.toml',
    '--screenshot-dir', kShotsRoot, kGameRoot]);
}

// The player writes a file under a temporary name beside it, stores it (fsync stores the whole
// folder in IndexedDB), renames it into place and stores again. A tab closed between the two
// stores leaves the complete new file under its temporary name: finish the rename, newest
// first, so the save the game reported done is the one found.
function finishInterruptedWrites(fs, folder) {
  let finished = 0;
  const temporaries = [];
  for (const name of fs.readdir(folder)) {
    if (name === '.' || name === '..') continue;
    const path = folder + '/' + name;
    const stat = fs.stat(path);
    if (fs.isDir(stat.mode)) {
      finished += finishInterruptedWrites(fs, path);
      continue;
    }
    const match = /^(.+)\.[0-9]+-[0-9a-f]+\.orvane-tmp$/.exec(name);
    if (match) temporaries.push({ path, target: folder + '/' + match[1], time: stat.mtime.getTime() });
  }
  temporaries.sort((a, b) => b.time - a.time);
  const done = new Set();
  for (const temporary of temporaries) {
    const target = fs.analyzePath(temporary.target);
    const older = target.exists && fs.stat(temporary.target).mtime.getTime() > temporary.time;
    if (done.has(temporary.target) || older) {
      fs.unlink(temporary.path);
      continue;
    }
    fs.rename(temporary.path, temporary.target);
    done.add(temporary.target);
    finished++;
  }
  return finished;
}

function listFiles(fs, folder, prefix) {
  const out = [];
  for (const name of fs.readdir(folder)) {
    if (name === '.' || name === '..') continue;
    const path = folder + '/' + name;
    if (fs.isDir(fs.stat(path).mode)) out.push(...listFiles(fs, path, prefix + name + '/'));
    else out.push({ path: prefix + name, data: fs.readFile(path), modified: fs.stat(path).mtime });
  }
  return out;
}

function exportSaves(fs, saveDir, gameId) {
  const blob = OrvaneZip.write(listFiles(fs, saveDir, ''));
  const link = document.createElement('a');
  link.href = URL.createObjectURL(blob);
  link.download = gameId + '-saves.zip';
  link.click();
  setTimeout(() => URL.revokeObjectURL(link.href), 10000);
}

async function importSaves(fs, saveDir, archive, store) {
  const files = await OrvaneSaveImport.keepNewer(fs, saveDir, await OrvaneZip.read(archive), window.confirm.bind(window));
  writeTree(fs, saveDir, files);
  OrvaneSaveImport.stampTimes(fs, saveDir, files);
  store.dirty = true;
  await store.settle();
  return files.length;
}

// --- wiring -------------------------------------------------------------------------------

// --- the last picked game, kept for the next visit ---------------------------------------

const kKeptGames = { database: 'orvane-games', store: 'kept', key: 'last' };

function keptGamesDatabase() {
  return new Promise((resolve, reject) => {
    const request = indexedDB.open(kKeptGames.database, 1);
    request.onupgradeneeded = () => request.result.createObjectStore(kKeptGames.store);
    request.onsuccess = () => resolve(request.result);
    request.onerror = () => reject(request.error);
  });
}

async function keptGame(action, value) {
  const database = await keptGamesDatabase();
  try {
    return await new Promise((resolve, reject) => {
      const transaction = database.transaction(kKeptGames.store, action === 'get' ? 'readonly' : 'readwrite');
      const store = transaction.objectStore(kKeptGames.store);
      const request = action === 'get' ? store.get(kKeptGames.key)
        : action === 'put' ? store.put(value, kKeptGames.key) : store.delete(kKeptGames.key);
      transaction.oncomplete = () => resolve(request.result);
      transaction.onerror = () => reject(transaction.error);
      transaction.onabort = () => reject(transaction.error);
    });
  } finally {
    database.close();
  }
}

// A picked game (folder or zip) is kept so that the next visit starts it at once; one served
// beside the page is fetched again anyway. A full quota only costs that convenience.
async function keepGame(kind, name, files) {
  try {
    await keptGame('put', { kind, name, files: files.map((f) => ({ path: f.path, data: f.data })) });
  } catch (error) {
    console.warn('the game could not be kept for the next visit: ' + describeStorageError(error));
  }
}

// `savesOf`: the kind of source whose saves the game uses (a kept game keeps its picked one's).
async function open(kind, name, loadFiles, savesOf = kind) {
  try {
    showMessage('Reading ' + name + '…', 'info');
    const files = gameFiles(await loadFiles(), kind === 'zip' ? 'The archive ' + name : 'The folder ' + name);
    if (kind !== 'url' && kind !== 'kept') await keepGame(kind, name, files);
    await startGame(files, gameIdFor(savesOf, name), gameTitle(name));
  } catch (error) {
    started = false;
    elements.openers.hidden = false;
    showMessage(error instanceof ZipError ? (kind === 'zip' ? 'This .zip cannot be opened: ' : '') + error.message
      : 'The game could not be opened: ' + error);
  }
}

function openZipFile(file) {
  open('zip', file.name, async () => OrvaneZip.read(await file.arrayBuffer()));
}

document.getElementById('pick-folder').addEventListener('change', (event) => {
  const list = event.target.files;
  if (!list.length) return;
  const top = (list[0].webkitRelativePath || list[0].name).split('/')[0];
  open('folder', top, () => filesFromPicked(list));
});
document.getElementById('pick-zip').addEventListener('change', (event) => {
  if (event.target.files.length) openZipFile(event.target.files[0]);
});
document.getElementById('export-saves').addEventListener('click', () => window.orvanePage && window.orvanePage.exportSaves());
document.getElementById('import-saves').addEventListener('change', async (event) => {
  if (!event.target.files.length || !window.orvanePage) return;
  try {
    const count = await window.orvanePage.importSaves(await event.target.files[0].arrayBuffer());
    showMessage(count + ' save files imported.', 'info');
  } catch (error) {
    showMessage('These saves cannot be imported: ' + error.message);
  }
});

window.addEventListener('dragover', (event) => { event.preventDefault(); document.body.classList.add('dragging'); });
window.addEventListener('dragleave', () => document.body.classList.remove('dragging'));
window.addEventListener('drop', (event) => {
  event.preventDefault();
  document.body.classList.remove('dragging');
  if (started) return;
  const item = event.dataTransfer.items[0];
  const entry = item && item.webkitGetAsEntry && item.webkitGetAsEntry();
  if (entry && entry.isDirectory) {
    open('folder', entry.name, () => filesFromEntry(entry, ''));
  } else if (event.dataTransfer.files.length) {
    openZipFile(event.dataTransfer.files[0]);
  }
});

// --- a published site (tools/orvane-web-pack): its game opens at once -------------------
const site = window.orvaneSite || {};
if (site.title) {
  // The game names its window as it likes; a published site keeps the name it was given.
  document.title = site.title;
  new MutationObserver(() => {
    if (document.title !== site.title) document.title = site.title;
  }).observe(document.head, { childList: true, subtree: true, characterData: true });
}
if (site.exportSaves === false) document.getElementById('export-saves').hidden = true;
// A published site is its one game: there is no other to pick.
if (site.game) document.querySelector('#game-tools a[href="./?pick"]').hidden = true;

const parameters = new URLSearchParams(location.search);
const gameParameter = parameters.get('game');
if (site.game && !gameParameter) {
  // Named by its full path: two games published on one host keep their saves apart.
  const base = new URL(site.game, location.href).pathname;
  open('url', base, () => filesFromManifest(base));
} else if (parameters.has('pick')) {
  // "Close the game": pick another, and forget the kept one.
  // Said when it is done: a visit right after must not find the game still kept.
  keptGame('delete').catch(() => {}).finally(() => { orvaneStatus.keptGameForgotten = true; });
} else if (!gameParameter) {
  keptGame('get').then((kept) => {
    if (!kept || started) return;
    open('kept', kept.name, async () => kept.files, kept.kind);
  }, () => {});
}
if (gameParameter) {
  const base = gameParameter.endsWith('/') ? gameParameter : gameParameter + '/';
  // Only games beside the page: a path, never another site.
  if (/^[a-z]+:|^\/\//i.test(base)) {
    showMessage('?game= takes a path beside this page, not an address of another site.');
  } else {
    open('url', base, () => filesFromManifest(base));
  }
}
