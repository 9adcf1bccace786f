#!/usr/bin/env python3
"""Writes GAME_DIR/manifest.json: the game's files with their sizes, which the browser page
reads to fetch a game served next to it (?game=GAME_DIR/)."""
import json
import os
import sys


def main() -> int:
    if len(sys.argv) != 2:
        print("usage: web-manifest.py GAME_DIR", file=sys.stderr)
        return 2
    root = sys.argv[1]
    files = []
    for folder, dirs, names in os.walk(root):
        dirs.sort()
        for name in sorted(names):
            path = os.path.join(folder, name)
            relative = os.path.relpath(path, root).replace(os.sep, "/")
            if relative == "manifest.json":
                continue
            files.append({"path": relative, "size": os.path.getsize(path)})
    with open(os.path.join(root, "manifest.json"), "w", encoding="utf-8") as out:
        json.dump({"files": files}, out, ensure_ascii=False, indent=1)
    return 0


if __name__ == "__main__":
    sys.exit(main())
