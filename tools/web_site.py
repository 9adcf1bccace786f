#!/usr/bin/env python3
"""The browser player's files as a site: which files make the player, the service worker that
keeps them for offline play, and a game's file list. tools/web.sh runs `offline BUILD_DIR` after
each build; tools/orvane-web-pack imports it to publish a game.

    web_site.py offline SITE_DIR     writes SITE_DIR/sw.js for the player's files in SITE_DIR
"""
import hashlib
import json
import os
import sys

REPO = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
PAGE_SOURCES = os.path.join(REPO, "web", "page")
WORKER_SOURCE = os.path.join(REPO, "web", "offline", "sw.js")
PLAYER = ("orvane.js", "orvane.wasm")
# Whole folders the page loads from: the substitute fonts, and the synthesizer with its
# SoundFont (their licences travel with them).
SUPPORT_FOLDERS = ("fonts", "synth")


def _walk(root, folder=""):
    """Files under root/folder as relative paths with forward slashes, sorted."""
    out = []
    top = os.path.join(root, folder)
    for current, dirs, names in os.walk(top):
        dirs.sort()
        for name in sorted(names):
            out.append(os.path.relpath(os.path.join(current, name), root).replace(os.sep, "/"))
    return out


def player_files(build_dir):
    """The files of build_dir that make the player and its page (relative paths): the page's
    files, the player, the substitute fonts, and the music synthesizer with its SoundFont and
    their licences."""
    files = [name for name in sorted(os.listdir(PAGE_SOURCES)) if os.path.isfile(os.path.join(build_dir, name))]
    missing = [name for name in PLAYER if not os.path.isfile(os.path.join(build_dir, name))]
    if missing:
        raise FileNotFoundError(f"{build_dir} holds no {', '.join(missing)}: build the player first (tools/web.sh build)")
    files += PLAYER
    for folder in SUPPORT_FOLDERS:
        if os.path.isdir(os.path.join(build_dir, folder)):
            files += _walk(build_dir, folder)
    return files


def _sha256(path):
    digest = hashlib.sha256()
    with open(path, "rb") as f:
        for block in iter(lambda: f.read(1 << 20), b""):
            digest.update(block)
    return digest.hexdigest()


def write_service_worker(site_dir, files):
    """Writes site_dir/sw.js caching `files` (relative paths) as one build, named by their
    digests: any changed byte makes a new build that replaces the old one whole."""
    listed = [{"path": path, "sha256": _sha256(os.path.join(site_dir, path))} for path in files]
    version = hashlib.sha256(json.dumps(listed, sort_keys=True).encode()).hexdigest()[:16]
    with open(WORKER_SOURCE, encoding="utf-8") as f:
        worker = f.read()
    head = "self.ORVANE_BUILD = " + json.dumps({"version": version, "files": listed}, ensure_ascii=False) + ";\n"
    temporary = os.path.join(site_dir, "sw.js.tmp")
    with open(temporary, "w", encoding="utf-8") as f:
        f.write(head + worker)
    os.replace(temporary, os.path.join(site_dir, "sw.js"))
    return version


def write_game_manifest(game_dir):
    """Writes game_dir/manifest.json: the game's files with their sizes, as the page reads it."""
    files = [{"path": path, "size": os.path.getsize(os.path.join(game_dir, path))}
             for path in _walk(game_dir) if path != "manifest.json"]
    with open(os.path.join(game_dir, "manifest.json"), "w", encoding="utf-8") as out:
        json.dump({"files": files}, out, ensure_ascii=False, indent=1)
    return [entry["path"] for entry in files]


def main(argv):
    if len(argv) != 3 or argv[1] != "offline":
        print(__doc__.strip().splitlines()[-1].strip(), file=sys.stderr)
        return 2
    site = argv[2]
    try:
        version = write_service_worker(site, player_files(site))
    except (FileNotFoundError, OSError) as error:
        print(f"web_site.py: {error}", file=sys.stderr)
        return 1
    print(f"{site}/sw.js: build {version}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
