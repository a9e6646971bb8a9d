# Shell helpers shared by the demo and the screenshot scripts; sourced, not run.

# start_content_server BINARY LOG LISTEN [ARGS...]
# Starts the content server with its log in LOG and waits until it listens;
# sets server_pid and server_port. Fails with the log on stderr.
start_content_server() {
    _bin=$1 _log=$2 _listen=$3
    shift 3
    "$_bin" --listen "$_listen" "$@" >"$_log" 2>&1 &
    server_pid=$!
    for _i in $(seq 1 50); do
        grep -q "listening on" "$_log" && break
        kill -0 "$server_pid" 2>/dev/null || break
        sleep 0.1
    done
    server_port=$(sed -n 's/.*listening on 127\.0\.0\.1:\([0-9]*\).*/\1/p' "$_log")
    [ -n "$server_port" ] || { cat "$_log" >&2; return 1; }
}

# wait_for_headlines HOME: until the pager has stored headlines (20 s at most).
wait_for_headlines() {
    for _i in $(seq 1 40); do
        grep -q "<headline>" "$1/.ovpager/article.dat" 2>/dev/null && return 0
        sleep 0.5
    done
    return 1
}

# press_in NAME-PATTERN KEY...: finds the window, focuses it, presses the keys.
# Prints the window id; fails when there is no such window.
press_in() {
    _id=$(xdotool search --name "$1" 2>/dev/null | head -1)
    [ -n "$_id" ] || return 1
    shift
    xdotool windowfocus --sync "$_id" key "$@"
    echo "$_id"
}

# open_categories NAME-PATTERN: opens every category of the headline list.
open_categories() {
    press_in "$1" End >/dev/null || return 1
    for _i in $(seq 1 12); do xdotool key Right Up; done
}
