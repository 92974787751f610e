#!/bin/sh
# Regenerates the committed PNG icons. Needs, at development time only:
#   apt-get install tango-icon-theme librsvg2-bin imagemagick fonts-wqy-microhei fonts-ukij-uyghur
set -eu

here=$(cd "$(dirname "$0")" && pwd)
tango=/usr/share/icons/Tango/scalable
convert=/usr/bin/convert
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# render <svg> <size> <png>
render() {
    rsvg-convert -w "$2" -h "$2" "$1" -o "$work/raw.png"
    "$convert" "$work/raw.png" -strip "PNG32:$3"
}

tango() {
    render "$tango/$1.svg" "${3:-48}" "$2"
}

# Tango's media symbols leave a wide margin; enlarge them to the weight of the other icons.
media() {
    rsvg-convert -w "${3:-62}" -h "${3:-62}" "$1" -o "$work/raw.png"
    "$convert" "$work/raw.png" -gravity center -crop 48x48+0+0 +repage -strip "PNG32:$2"
}

# The toolbar swaps Run/Run1 and Stop/Stop1 to show what can be pressed, so the
# disabled look must read as such next to the active one.
disabled() {
    "$convert" "$1" -modulate 115,0 -channel A -evaluate multiply 0.5 +channel -strip "PNG32:$2"
}

tango actions/document-new "$here/New.png"
tango actions/document-open "$here/Open.png"
tango actions/document-save "$here/Save.png"
tango actions/edit-cut "$here/cut.png"
tango actions/edit-copy "$here/copy.png"
tango actions/edit-paste "$here/paste.png"
tango actions/edit-delete "$here/Delete.png"
tango actions/go-next "$here/Right.png"
tango status/audio-volume-high "$here/Speak.png"

media "$tango/actions/media-record.svg" "$here/Run.png"
disabled "$here/Run.png" "$here/Run1.png"

# Tango's stop and play are white; blue keeps the active stop apart from the greyed one.
sed -e 's/#f7f7f7/#8fb3dc/g; s/#ccd0c7/#3465a4/g; s/#babdb6/#3465a4/g; s/#555753/#204a87/g' \
    "$tango/actions/media-playback-stop.svg" >"$work/stop.svg"
media "$work/stop.svg" "$here/Stop.png" 70
disabled "$here/Stop.png" "$here/Stop1.png"
sed -e '/id="stop2693"/,/style=/ s/#ffffff/#8fb3dc/' \
    -e 's/#d3d7cf/#3465a4/g; s/#adb0a8/#3465a4/g; s/#464744/#204a87/g' \
    "$tango/actions/media-playback-start.svg" >"$work/play.svg"
media "$work/play.svg" "$here/play.png"

# "translate all": the single arrow of "translate selection", doubled.
tango actions/go-next "$work/next36.png" 36
"$convert" -size 48x48 xc:none "$work/next36.png" -geometry +0+6 -composite \
    "$work/next36.png" -geometry +12+6 -composite -strip "PNG32:$here/Pause.png"

# Insert above / below: a plus with an arrow pointing where the new row goes.
tango actions/list-add "$work/add.png" 44
tango actions/go-up "$work/up.png" 30
tango actions/go-down "$work/down.png" 30
"$convert" -size 48x48 xc:none "$work/add.png" -geometry -6+6 -composite \
    "$work/up.png" -geometry +18+0 -composite -strip "PNG32:$here/AddUp.png"
"$convert" -size 48x48 xc:none "$work/add.png" -geometry -6-4 -composite \
    "$work/down.png" -geometry +18+18 -composite -strip "PNG32:$here/AddDown.png"

render "$here/src/ico001.svg" 48 "$here/ico001.png"
render "$here/src/ico002.svg" 48 "$here/ico002.png"
render "$here/src/application.svg" 48 "$here/Application.png"
render "$here/src/application.svg" 256 "$here/tolvane.png"
