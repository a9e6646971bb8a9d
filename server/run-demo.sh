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

if [ "${1:-}" = "--under-xvfb" ]; then
    # Inside the private X server: let the first poll arrive, close the
    # new-content box, open every category and take the picture.
    "$OVPAGER_DEMO_PAGER" &
    pid=$!
    for i in $(seq 1 40); do
        grep -q "<headline>" "$HOME/.ovpager/article.dat" 2>/dev/null && break
        sleep 0.5
    done
    sleep 2
    box=$(xdotool search --name "^Orvelle Pager\$" 2>/dev/null | head -1)
    [ -n "$box" ] && xdotool windowfocus --sync "$box" key Return
    sleep 0.5
    main=$(xdotool search --name "Orvelle Pager V3.0" 2>/dev/null | head -1)
    if [ -n "$main" ]; then
        xdotool windowfocus --sync "$main" key End
        for i in $(seq 1 12); do xdotool key Right Up; done
    fi
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
"$server" --listen 127.0.0.1:8080 >"$log" 2>&1 &
server_pid=$!
trap 'kill $server_pid 2>/dev/null' EXIT INT TERM
for i in $(seq 1 50); do
    grep -q "listening on" "$log" && break
    kill -0 $server_pid 2>/dev/null || { cat "$log" >&2; exit 1; }
    sleep 0.1
done
echo "content server running on 127.0.0.1:8080 (log: $log)"

export OVPAGER_SERVER=127.0.0.1:8080
if [ -n "${DISPLAY:-}" ]; then
    "$pager"
else
    export OVPAGER_SCREENSHOT="$shot" OVPAGER_DEMO_PAGER="$pager"
    xvfb-run -a -s "-screen 0 800x600x24" sh "$here/run-demo.sh" --under-xvfb
fi
