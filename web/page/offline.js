// Offline play and saves that last. The service worker (sw.js, written by the build) keeps the
// player; the game files a served game fetches are kept here as they arrive, so a game opened
// once starts with the network gone. Saves live in IndexedDB, which a browser may clear when
// space runs low unless the site has lasting storage: the page asks for it once a game runs
// and says so when the browser refuses.
'use strict';

const OrvaneOffline = (() => {
  const scope = new URL('./', location.href).href;
  const gamesCache = 'orvane-games ' + scope;
  const status = { worker: 'none', persisted: null };

  if ('serviceWorker' in navigator && window.isSecureContext) {
    status.worker = 'registering';
    navigator.serviceWorker.register('sw.js').then((registration) => {
      // An install that fails (a file that is not the one the build lists) leaves the page
      // online only, as if there were no worker.
      const installing = registration.installing;
      if (installing) {
        installing.addEventListener('statechange', () => {
          if (installing.state === 'redundant' && !registration.active) status.worker = 'failed: the install did not finish';
        });
      }
      return navigator.serviceWorker.ready;
    }).then(() => {
      status.worker = 'ready';
    }, (error) => {
      // A build without sw.js, or a browser that refuses: the page plays online as before.
      status.worker = 'failed: ' + error;
    });
  }

  // A served game's file as it was fetched, kept for offline visits.
  function keep(url, response) {
    if (!window.caches || !response.ok) return;
    caches.open(gamesCache).then((cache) => cache.put(new URL(url, location.href).href, response)).catch((error) => {
      console.warn('a game file could not be kept for offline play: ' + error);
    });
  }

  function note(text) {
    let element = document.getElementById('storage-note');
    if (!element) {
      element = document.createElement('p');
      element.id = 'storage-note';
      element.setAttribute('role', 'status');
      const dismiss = document.createElement('button');
      dismiss.type = 'button';
      dismiss.textContent = 'OK';
      dismiss.addEventListener('click', () => element.remove());
      element.append(document.createElement('span'), dismiss);
      document.getElementById('message').after(element);
    }
    element.firstChild.textContent = text;
  }

  async function askForLastingStorage() {
    if (!navigator.storage || !navigator.storage.persist) {
      status.persisted = false;
      note('This browser cannot promise to keep saves: export them now and then (menu, "Export saves").');
      return;
    }
    let granted = false;
    try {
      granted = (await navigator.storage.persisted()) || (await navigator.storage.persist());
    } catch (error) {
      granted = false;
    }
    status.persisted = granted;
    if (!granted) {
      note('The browser did not grant lasting storage to this page: it may clear the saves when space runs low. ' +
        'Export them now and then to keep them; adding the page to the home screen usually grants it.');
    }
  }

  let asked = false;
  document.addEventListener('orvane-state', (event) => {
    if (event.detail !== 'running' || asked) return;
    asked = true;
    askForLastingStorage();
  });

  return { keep, status };
})();
