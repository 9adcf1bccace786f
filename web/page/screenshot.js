// F12 in the browser: the player writes its PNG into a folder of the page's memory, as it would
// into the pictures folder on the desktop; each one that lands there is handed to the browser
// as a download and removed, so shots never pile up in the tab.
'use strict';

// Watches `folder` in the player's file system; `onShot(name, bytes)` gets each finished
// picture. The player writes under a temporary name and renames into place, so a rename into
// the folder is the moment a shot is complete.
function watchScreenshots(fs, folder, onShot) {
  const rename = fs.rename;
  fs.rename = function (from, to) {
    const result = rename.apply(this, arguments);
    if (typeof to === 'string' && to.startsWith(folder + '/') && to.toLowerCase().endsWith('.png')) {
      const bytes = fs.readFile(to);
      fs.unlink(to);
      onShot(to.slice(folder.length + 1), bytes);
    }
    return result;
  };
}

function downloadPicture(name, bytes) {
  const link = document.createElement('a');
  link.href = URL.createObjectURL(new Blob([bytes], { type: 'image/png' }));
  link.download = name;
  document.body.append(link);
  link.click();
  link.remove();
  setTimeout(() => URL.revokeObjectURL(link.href), 10000);
}

window.watchScreenshots = watchScreenshots;
window.downloadPicture = downloadPicture;
