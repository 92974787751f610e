#!/usr/bin/env bash
# Records the Chinese demo transcript in the real program on a virtual display,
# with the demo translation server answering in Uyghur, and saves screenshots
# of both display modes into docs/. Needs a build (scripts/run.sh or test.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
command -v xdotool >/dev/null || apt-get install -y -qq xdotool >/dev/null
cmake --build build -j"$(nproc)" --target tolvane tolvane_demo_server >/dev/null
mkdir -p docs

shoot() { # shoot <text mode> <output>
    local stage
    stage=$(mktemp -d)
    cp -r build/bin/tolvane build/bin/libhci_*.so build/bin/data build/bin/tolvane_demo_server "$stage/"
    printf '[action]\nsetTextMode=%s\nautoSave=30\n' "$1" > "$stage/Tolvane.ini"
    HOME="$stage/home" XDG_CONFIG_HOME="$stage/home/.config" TOLVANE_SDK_PACE_MS=40 TOLVANE_SDK_AUDIO=none \
    xvfb-run -a -s "-screen 0 1024x600x24" bash -c '
        stage=$1; out=$2
        "$stage/tolvane_demo_server" 8888 >/dev/null &
        server=$!
        "$stage/tolvane" &
        app=$!
        sleep 3
        xdotool mousemove 210 60 click 1   # Record
        sleep 14
        xdotool mousemove 268 60 click 1   # Stop
        sleep 3
        import -window root "$out"
        kill $app $server 2>/dev/null || true
        wait 2>/dev/null || true
    ' bash "$stage" "$2"
    rm -rf "$stage"
}

# Interpreter mode: the shot is taken while the queue speaks, before Stop empties it.
shoot_interpreter() { # shoot_interpreter <output>
    local stage
    stage=$(mktemp -d)
    cp -r build/bin/tolvane build/bin/libhci_*.so build/bin/data build/bin/tolvane_demo_server "$stage/"
    printf '[action]\nsetTextMode=1\nautoSave=30\nspeakTranslations=1\nlistenWhileSpeaking=1\n' > "$stage/Tolvane.ini"
    HOME="$stage/home" XDG_CONFIG_HOME="$stage/home/.config" TOLVANE_SDK_PACE_MS=40 TOLVANE_SDK_AUDIO=none \
    xvfb-run -a -s "-screen 0 1024x600x24" bash -c '
        stage=$1; out=$2
        "$stage/tolvane_demo_server" 8888 >/dev/null &
        server=$!
        "$stage/tolvane" &
        app=$!
        sleep 3
        xdotool mousemove 210 60 click 1   # Record
        sleep 9
        xdotool mousemove 600 300          # away from the buttons
        import -window root "$out"
        kill $app $server 2>/dev/null || true
        wait 2>/dev/null || true
    ' bash "$stage" "$1"
    rm -rf "$stage"
}

shoot 1 docs/screenshot-lists.png
shoot 0 docs/screenshot-comma.png
shoot_interpreter docs/screenshot-interpreter.png
echo "Saved docs/screenshot-lists.png, docs/screenshot-comma.png and docs/screenshot-interpreter.png"
