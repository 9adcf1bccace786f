// Imported saves and the ones already in the browser: a slot saved here after the archive was
// made is newer than the archive's copy, and replacing it loses play, so the player is asked
// first. Saves with no time in the archive count as older: nothing says they are not.
'use strict';

const OrvaneSaveImport = (() => {
  // Archives keep times to two seconds; a file exported and brought straight back is no newer.
  const kTimeSlackMs = 2000;

  function safePath(path) {
    return path.split('/').filter((p) => p !== '' && p !== '.' && p !== '..').join('/');
  }

  // The files of `files` that would replace a newer file under `saveDir`.
  function newerHere(fs, saveDir, files) {
    const newer = [];
    for (const file of files) {
      const path = saveDir + '/' + safePath(file.path);
      const here = fs.analyzePath(path);
      if (!here.exists || fs.isDir(here.object.mode)) continue;
      const hereMs = fs.stat(path).mtime.getTime();
      const archiveMs = file.modified ? file.modified.getTime() : -Infinity;
      if (hereMs > archiveMs + kTimeSlackMs) newer.push(file);
    }
    return newer;
  }

  // The files to write: all of them, or without the ones that would replace newer saves when
  // `ask` (the player's yes or no) says no.
  async function keepNewer(fs, saveDir, files, ask) {
    const newer = newerHere(fs, saveDir, files);
    if (newer.length === 0) return files;
    const names = newer.map((f) => '  ' + f.path).join('\n');
    const replace = await ask('These saves in this browser are newer than the ones in the .zip:\n' + names +
      '\n\nReplace them with the older ones from the .zip? (Cancel keeps the newer ones and imports the rest.)');
    if (replace) return files;
    const skipped = new Set(newer);
    return files.filter((f) => !skipped.has(f));
  }

  // Imported files keep the archive's times, so that a later import compares with when they
  // were saved, not when they were brought in.
  function stampTimes(fs, saveDir, files) {
    for (const file of files) {
      if (!file.modified) continue;
      const ms = file.modified.getTime();
      fs.utime(saveDir + '/' + safePath(file.path), ms, ms);
    }
  }

  return { keepNewer, stampTimes, newerHere };
})();
