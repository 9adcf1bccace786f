// The page's service worker, written into each build by tools/web-offline.py with the build's
// files and their digests. A build's files are cached together under the build's own name and
// served only from there, so a page never mixes an old player with a new page; a new build
// installs beside the old one and takes over only once every file of it is cached and checked.
// Games fetched beside the page go to the network first and fall back to what the page kept.
'use strict';

const kBuild = self.ORVANE_BUILD;  // {version, files: [{path, sha256}]}, set by the generated head
const kScope = self.registration.scope;
const kPlayerCache = 'orvane-player ' + kScope + ' ' + kBuild.version;
const kPlayerPrefix = 'orvane-player ' + kScope + ' ';
const kGamesCache = 'orvane-games ' + kScope;

function urlOf(path) {
  return new URL(path, kScope).href;
}

async function sha256(buffer) {
  const digest = new Uint8Array(await crypto.subtle.digest('SHA-256', buffer));
  return Array.from(digest, (b) => b.toString(16).padStart(2, '0')).join('');
}

// Every file, checked against its digest: a server half-way through replacing the build fails
// the install, and the build before goes on whole.
async function cacheBuild() {
  const cache = await caches.open(kPlayerCache);
  for (const file of kBuild.files) {
    const response = await fetch(urlOf(file.path), { cache: 'no-cache' });
    if (!response.ok) throw new Error(file.path + ': ' + response.status);
    const bytes = await response.clone().arrayBuffer();
    if (await sha256(bytes) !== file.sha256) throw new Error(file.path + ' is not the file this build lists');
    await cache.put(urlOf(file.path), response);
  }
}

self.addEventListener('install', (event) => {
  // A failed install leaves no half-filled cache behind for anyone to read.
  event.waitUntil(cacheBuild().then(() => self.skipWaiting(), async (error) => {
    await caches.delete(kPlayerCache);
    throw error;
  }));
});

self.addEventListener('activate', (event) => {
  event.waitUntil((async () => {
    for (const name of await caches.keys()) {
      if (name.startsWith(kPlayerPrefix) && name !== kPlayerCache) await caches.delete(name);
    }
    await self.clients.claim();
  })());
});

const kBuildUrls = new Set(kBuild.files.map((f) => urlOf(f.path)));

async function fromBuild(url) {
  const cache = await caches.open(kPlayerCache);
  const cached = await cache.match(url);
  return cached || fetch(url);
}

async function networkThenKept(request) {
  try {
    return await fetch(request);
  } catch (error) {
    const cache = await caches.open(kGamesCache);
    const kept = await cache.match(request, { ignoreSearch: true });
    if (kept) return kept;
    throw error;
  }
}

self.addEventListener('fetch', (event) => {
  const request = event.request;
  if (request.method !== 'GET' || !request.url.startsWith(kScope)) return;
  const url = new URL(request.url);
  url.search = '';
  url.hash = '';
  // The page itself, whatever its query (?game=…, ?pick).
  if (request.mode === 'navigate' && (url.href === kScope || url.href === urlOf('index.html'))) {
    event.respondWith(fromBuild(urlOf('index.html')));
  } else if (kBuildUrls.has(url.href)) {
    event.respondWith(fromBuild(url.href));
  } else {
    event.respondWith(networkThenKept(request));
  }
});
