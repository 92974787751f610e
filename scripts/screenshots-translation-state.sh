#!/usr/bin/env bash
# Records the Chinese demo transcript in the real program on a virtual display
# against a slow demo server that fails every other request, and shoots the
# window while translations are still coming in: failed rows marked, queued
# rows with a placeholder, the progress bar in the status bar and a failed
# row's tool tip. One screenshot per interface language, into docs/. Needs a
# build.
set -euo pipefail
cd "$(dirname "$0")/.."
command -v xdotool >/dev/null || apt-get install -y -qq xdotool >/dev/null
cmake --build build -j2 --target tolvane tolvane_demo_server >/dev/null
mkdir -p docs

shoot() { # shoot <uilang: 0 Chinese, 1 English> <output>
    local stage
    stage=$(mktemp -d)
    cp -r build/bin/tolvane build/bin/libhci_*.so build/bin/data build/bin/tolvane_demo_server "$stage/"
    HOME="$stage/home" XDG_CONFIG_HOME="$stage/home/.config" TOLVANE_SDK_PACE_MS=40 TOLVANE_SDK_AUDIO=none \
    xvfb-run -a -s "-screen 0 1024x600x24" bash -c '
        stage=$1; uilang=$2; out=$3
        # A free port: the server takes one and says which.
        "$stage/tolvane_demo_server" 0 --fail-every 2 --delay 1200 > "$stage/server.log" &
        server=$!
        for _ in $(seq 50); do grep -q http "$stage/server.log" && break; sleep 0.1; done
        url=$(grep -o "http://[0-9.:]*" "$stage/server.log")
        for ini in Tolvane.ini Tolvaneen.ini; do
            printf "[action]\nsetTextMode=1\nautoSave=30\nuilang=%s\nTranslateHostWW=%s\nTranslateHostCN=%s\n" \
                "$uilang" "$url" "$url" > "$stage/$ini"
        done
        "$stage/tolvane" &
        app=$!
        sleep 3
        xdotool mousemove 210 52 click 1   # Record
        sleep 14
        xdotool mousemove 268 52 click 1   # Stop
        sleep 0.3
        xdotool mousemove 530 190          # over the fourth translation row, which failed
        sleep 1.5
        import -window root "$out"
        kill $app $server 2>/dev/null || true
        wait 2>/dev/null || true
    ' bash "$stage" "$1" "$2"
    rm -rf "$stage"
}

shoot 0 docs/screenshot-translation-state-zh.png
shoot 1 docs/screenshot-translation-state-en.png
echo "Saved docs/screenshot-translation-state-zh.png and docs/screenshot-translation-state-en.png"
