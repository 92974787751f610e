#!/usr/bin/env bash
# Checks the Debian package that scripts/package.sh made: its file list, its
# dependencies, lintian, the desktop entry and AppStream data, and that the
# program in it starts for an ordinary user who cannot write to its folders.
# Usage: scripts/check-package.sh [package, default build/tolvane_<version>_amd64.deb]
set -euo pipefail
cd "$(dirname "$0")/.."

version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' build/CPackConfig.cmake)
deb=${1:-build/tolvane_${version}_amd64.deb}
fail() {
    echo "package check failed: $*" >&2
    exit 1
}
[ -f "$deb" ] || fail "$deb not found; run scripts/package.sh"

work=$(mktemp -d)
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
chmod 755 "$work"

echo "-- contents of $deb"
# Paths only; the top directory "./" is left out, as only some tools list it.
dpkg-deb --contents "$deb" | awk '$6 != "./" { print $6 }' | sort >"$work/contents.txt"
diff -u packaging/expected-contents.txt "$work/contents.txt" \
    || fail "the package's files differ from packaging/expected-contents.txt"

echo "-- dependencies"
depends=$(dpkg-deb -f "$deb" Depends)
echo "$depends"
# Qt and espeak-ng show that dpkg-shlibdeps read the program and the SDK libraries.
for package in libqt5widgets5 libespeak-ng1 fonts-wqy-microhei fonts-ukij-uyghur espeak-ng-data; do
    grep -Eq "(^|, )$package( |,|$)" <<<"$depends" || fail "Depends lacks $package"
done

echo "-- lintian"
lintian --fail-on error "$deb" || fail "lintian found errors"

root=$work/root
dpkg-deb -x "$deb" "$root"
usr=$root/usr
echo "-- desktop entry and AppStream data"
desktop-file-validate "$usr/share/applications/tolvane.desktop" || fail "desktop entry"
appstreamcli validate --no-net "$usr"/share/metainfo/*.metainfo.xml || fail "AppStream data"
changelog_version=$(zcat "$usr/share/doc/tolvane/changelog.gz" | sed -n '1s/^tolvane (\([^)]*\)).*/\1/p')
[ "$changelog_version" = "$version" ] || fail "packaging/changelog's latest entry is $changelog_version, not $version"
grep -q "<release version=\"$version\"" "$usr"/share/metainfo/*.metainfo.xml \
    || fail "the AppStream data names no release $version"

echo "-- the packaged program, started as the menu entry does, by a user who cannot write to it"
# Installed files are root's: root runs the program as nobody, anyone else
# takes away their own write permission.
chmod -R a-w "$root"
home=$work/home
cwd=$work/cwd
mkdir -p "$home/runtime" "$cwd"
chmod 700 "$home/runtime"
as_user=()
if [ "$(id -u)" -eq 0 ]; then
    chown -R 65534:65534 "$home" "$cwd"
    as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
fi
command=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$usr/share/applications/tolvane.desktop")

"${as_user[@]}" env -i -C "$cwd" PATH="$usr/bin:/usr/bin:/bin" HOME="$home" LANG=C.UTF-8 \
    XDG_RUNTIME_DIR="$home/runtime" QT_QPA_PLATFORM=offscreen TOLVANE_SDK_AUDIO=none \
    "$command" >"$work/program.log" 2>&1 &
pid=$!
# The SDK libraries must come from the package's own folder, not from a build tree.
mapped=0
for _ in $(seq 60); do
    mapped=$({ grep -o "$usr/lib/tolvane/libhci_[a-z_]*\.so$" "/proc/$pid/maps" 2>/dev/null || true; } | sort -u | wc -l)
    [ "$mapped" -ge 3 ] && break
    sleep 0.5
done
sleep 3
if ! kill -0 "$pid" 2>/dev/null; then
    cat "$work/program.log" >&2
    fail "the program exited on its own"
fi
kill "$pid"
wait "$pid" 2>/dev/null || true
[ "$mapped" -ge 3 ] || fail "the program did not load the three SDK libraries from $usr/lib/tolvane"

# Settings and the auto-save copy go to the per-user folder when the program's own is read-only.
[ -d "$home/.local/share/Merovaal/Tolvane" ] || fail "no per-user folder ~/.local/share/Merovaal/Tolvane"
[ -z "$(ls -A "$cwd")" ] || fail "the program wrote into its working directory: $(ls -A "$cwd")"
echo "package check passed: $deb ($(du -k "$deb" | cut -f1) KiB)"
