#!/usr/bin/env bash
# Installs the Debian packages Tolvane needs to build, test and run.
# Safe to run again: only missing packages are installed.
set -euo pipefail

packages=(
    build-essential cmake pkg-config ccache
    qtbase5-dev qtbase5-dev-tools qttools5-dev qttools5-dev-tools qttranslations5-l10n
    libespeak-ng-dev espeak-ng-data
    libasound2-dev
    fonts-wqy-microhei fonts-ukij-uyghur fonts-dejavu-core
    clang libclang-rt-14-dev
    xvfb xauth imagemagick
    dpkg-dev file lintian desktop-file-utils appstream
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "Installing: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
    sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
