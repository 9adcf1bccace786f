#!/usr/bin/env bash
# CI: builds the .deb (tools/package.sh), checks it has no lintian errors, installs it with
# dpkg as a user's machine would, plays the demo headless from the installed files only, and
# removes the package again. Needs root (dpkg -i).
set -euo pipefail
cd "$(dirname "$0")/.."
deb=$(./tools/package.sh | tail -1)
echo "=== $deb"
lintian --fail-on error "$deb"
dpkg -i "$deb"
scratch=$(mktemp -d)
trap 'dpkg -r orvane >/dev/null || true; rm -rf "$scratch"' EXIT
test "$(command -v orvane)" = /usr/bin/orvane
for program in orvane orvpack orvarc1; do
  if readelf -S --wide "/usr/bin/$program" | grep -q '\.symtab'; then
    echo "check-package: /usr/bin/$program is not stripped" >&2
    exit 1
  fi
done
# A user's first run: no settings, no saves, the demo read from /usr/share only. Root may
# write into the installed folder, which the package would then leave behind: saves go aside.
HOME="$scratch/home" XDG_DATA_HOME="$scratch/data" XDG_CONFIG_HOME="$scratch/config" \
  orvane --headless --events demo/play-through.events --until-exit 400 --save-dir "$scratch/saves" \
  /usr/share/orvane/demo >"$scratch/out" 2>&1 ||
  { cat "$scratch/out"; exit 1; }
if ! grep -q "caption: 体験版　おわり" "$scratch/out"; then
  cat "$scratch/out"
  echo "check-package: the installed demo did not play to its end" >&2
  exit 1
fi
# The installed files are as the package put them, and nothing was added beside them.
dpkg --verify orvane
extra=$(comm -23 <(find /usr/share/orvane -type f | sort) <(dpkg -L orvane | sort))
if [ -n "$extra" ]; then
  echo "check-package: the run wrote into the installed demo: $extra" >&2
  exit 1
fi
echo "check-package: the package installs, is lintian-clean of errors and plays the demo"
