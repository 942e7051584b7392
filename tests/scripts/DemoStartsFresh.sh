#!/usr/bin/env bash
# scripts/run --demo starts every time from the demo's own settings: what the program wrote
# into its settings folder during one run is gone at the next. The script runs in a copy of
# the tree whose setup, build, simulator and program are stand-ins.
#   DemoStartsFresh.sh <repository root>
set -euo pipefail
root=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

mkdir -p "$work/scripts" "$work/bin" "$work/build/tools/daxsim" "$work/build/src/app"
cp "$root/scripts/run" "$work/scripts/run"
printf '#!/bin/sh\nexit 0\n' >"$work/scripts/setup-deps"
printf '#!/bin/sh\nexit 0\n' >"$work/bin/cmake"
# The simulator writes the channel settings and says where it listens, then waits.
cat >"$work/build/tools/daxsim/dax-sim" <<'SIM'
#!/bin/sh
while [ $# -gt 0 ]; do
  if [ "$1" = --configurator-settings ]; then home=$2; fi
  shift
done
printf '{"channel": "to the simulator"}\n' >"$home/registry.json"
echo "dax-sim demo on tcp 127.0.0.1:4001"
exec sleep 30
SIM
# The program reports what it found in its settings folder, then changes a setting.
cat >"$work/build/src/app/daxconfig" <<'PROGRAM'
#!/bin/sh
ls "$DAXCONFIG_HOME"
echo "auto request off" >"$DAXCONFIG_HOME/changed-by-the-user"
PROGRAM
chmod +x "$work/scripts/"* "$work/bin/cmake" "$work/build/tools/daxsim/dax-sim" "$work/build/src/app/daxconfig"

run() { (cd "$work" && PATH="$work/bin:$PATH" QT_QPA_PLATFORM=offscreen scripts/run --demo 2>&1); }
first=$(run)
second=$(run)
if ! grep -qx registry.json <<<"$second"; then
  echo "the demo's own settings are missing:"; echo "$second"; exit 1
fi
if grep -q changed-by-the-user <<<"$second"; then
  echo "the second demo run found what the first one changed:"; echo "$second"; exit 1
fi
test -f "$work/build/demo-home/changed-by-the-user"
echo "both runs started from the demo's own settings"
