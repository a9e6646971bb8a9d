#!/bin/sh
# Runs the pager against the bundled content server on 127.0.0.1:8080.
# With a display the pager opens there; without one both run under a private
# X server and a screenshot of the pager is saved. Ending the pager ends the
# server.
#   server/run-demo.sh [build-dir]
set -u
build=${1:-build}
here=$(cd "$(dirname "$0")" && pwd)
server="$build/server/ovpager-server"
pager="$build/app/ovpager"
shot=${OVPAGER_SCREENSHOT:-$PWD/ovpager-screenshot.png}
log=${TMPDIR:-/tmp}/ovpager-server.log
. "$here/demo-lib.sh"

if [ "${1:-}" = "--under-xvfb" ]; then
    # Inside the private X server: let the first poll arrive, close the
    # new-content box, open every category and take the picture.
    "$OVPAGER_DEMO_PAGER" &
    pid=$!
    wait_for_headlines "$HOME"
    sleep 2
    press_in "^Orvelle Pager\$" Return >/dev/null
    sleep 0.5
    open_categories "Orvelle Pager V3.0"
    sleep 1
    import -window root "$OVPAGER_SCREENSHOT"
    echo "screenshot of the pager saved to $OVPAGER_SCREENSHOT"
    kill "$pid"
    wait "$pid"
    exit 0
fi

for f in "$server" "$pager"; do
    [ -x "$f" ] || { echo "run-demo: $f is missing; build first" >&2; exit 1; }
done
start_content_server "$server" "$log" 127.0.0.1:8080 || exit 1
trap 'kill $server_pid 2>/dev/null' EXIT INT TERM
echo "content server running on 127.0.0.1:8080 (log: $log)"

export OVPAGER_SERVER=127.0.0.1:8080
if [ -n "${DISPLAY:-}" ]; then
    "$pager"
else
    export OVPAGER_SCREENSHOT="$shot" OVPAGER_DEMO_PAGER="$pager"
    xvfb-run -a -s "-screen 0 800x600x24" sh "$here/run-demo.sh" --under-xvfb
fi
