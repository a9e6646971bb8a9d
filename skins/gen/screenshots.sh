#!/bin/sh
# Retakes doc/screenshots: the pager in its plain look and in each skin,
# against the bundled content server, under a private X server.
#   skins/gen/screenshots.sh [build-dir]
set -eu
build=$(cd "${1:-build}" && pwd)
src=$(cd "$(dirname "$0")/../.." && pwd)
. "$src/server/demo-lib.sh"
if [ "${OVPAGER_SHOTS_INNER:-}" != 1 ]; then
    OVPAGER_SHOTS_INNER=1 exec xvfb-run -a -s "-screen 0 800x600x24 -br" sh "$0" "$build"
fi

work=$(mktemp -d)
server_pid=
trap '[ -n "$server_pid" ] && kill $server_pid 2>/dev/null; rm -rf "$work"' EXIT
mkdir -p "$work/lib"
ln -s "$src/skins" "$work/lib/pagerskins"
start_content_server "$build/server/ovpager-server" "$work/server.log" 127.0.0.1:0 \
    --data "$src/server/data"
port=$server_port

for look in "No Skin:plain" "Max:max" "Slate:slate"; do
    name=${look%%:*}
    file=${look#*:}
    home="$work/home-$file"
    mkdir -p "$home/.ovpager"
    chmod 700 "$home/.ovpager"
    printf '<config>\n\t<numitems>5</numitems>\n\t<pollinterval>15</pollinterval>\n\t<browserpath></browserpath>\n\t<flashicon>0</flashicon>\n\t<popup>0</popup>\n\t<skin>%s</skin>\n\t<vulnpopup>0</vulnpopup>\n\t<verbosenotify>0</verbosenotify>\n\t<briefnotify>0</briefnotify>\n\t<configrestart>0</configrestart>\n\t<verboseemail></verboseemail>\n\t<briefemail></briefemail>\n\t<mailer></mailer>\n</config>\n' "$name" >"$home/.ovpager/ovpager.cfg"
    HOME="$home" OVPAGER_SERVER=127.0.0.1:$port OVPAGER_LIBDIR="$work/lib" "$build/app/ovpager" &
    pid=$!
    wait_for_headlines "$home" || true
    sleep 1
    # Open the categories and show one abstract.
    open_categories "Orvelle Pager V3.0"
    id=$(press_in "Orvelle Pager V3.0" Home Down)
    sleep 1
    eval "$(xdotool getwindowgeometry --shell "$id")"
    import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$src/doc/screenshots/shot-$file.png"
    echo "doc/screenshots/shot-$file.png (${WIDTH}x${HEIGHT})"
    kill $pid
    wait $pid || true
done
