#!/usr/bin/env bash
# Sets up, builds and starts Tolvane. Without a display the program is started
# on a virtual display instead and a screenshot of it is saved.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)"

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    exec build/bin/tolvane "$@"
fi

shot="$PWD/build/screenshots/startup.png"
mkdir -p "$(dirname "$shot")"
echo "No display found: starting Tolvane on a virtual display (Xvfb)."
xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
    build/bin/tolvane "$@" &
    pid=$!
    sleep "${TOLVANE_SHOT_DELAY:-6}"
    import -window root "'"$shot"'"
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
' bash "$@"
echo "Screenshot of the program after start-up: $shot"
