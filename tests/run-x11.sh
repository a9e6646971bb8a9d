#!/bin/sh
# Runs one test program against a real X server: the current display when
# there is one, else a private Xvfb.
if [ -n "$DISPLAY" ]; then
    exec "$@"
fi
exec xvfb-run -a -s "-screen 0 1280x1024x24" "$@"
