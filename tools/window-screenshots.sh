#!/bin/bash
# Starts the built program on a virtual X display and photographs its secondary windows:
# the function of the day (a "-d" run, closed again with Escape: the run must end with
# status 0 and store nothing), the about window (F1), and the two help pages. The PNGs
# go to the folder given (default build/screenshots) for a person to look at.
#
#   tools/window-screenshots.sh [build dir] [output dir]
#
# Needs xvfb-run, xdotool and ImageMagick's import.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$here/build}" && pwd)
out=${2:-$build/screenshots}
mkdir -p "$out"
out=$(cd "$out" && pwd)

if [[ -z "${VORN_ON_XVFB:-}" ]]; then
    for tool in xvfb-run xdotool import; do
        command -v "$tool" >/dev/null || { echo "missing: $tool" >&2; exit 2; }
    done
    VORN_ON_XVFB=1 exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$build" "$out"
fi

vorn=$build/bin/vorn
config=$(mktemp -d)
trap 'rm -rf "$config"' EXIT
export XDG_CONFIG_HOME=$config XDG_RUNTIME_DIR=$config
failed=0

windowNamed() { # waits for a window whose title is $1, prints its id
    for _ in $(seq 50); do
        if id=$(xdotool search --name "$1" 2>/dev/null | head -1) && [[ -n "$id" ]]; then
            echo "$id"; return 0
        fi
        sleep 0.2
    done
    import -window root "$out/failure.png"
    echo "no window named $1 (the screen is in $out/failure.png)" >&2; return 1
}

shoot() { # photographs the window $1 into $2.png
    sleep 0.5
    import -window root -crop "$(xdotool getwindowgeometry --shell "$1" | awk -F= '
        /^X=/{x=$2} /^Y=/{y=$2} /^WIDTH=/{w=$2} /^HEIGHT=/{h=$2} END{printf "%dx%d+%d+%d", w, h, x, y}')" \
        +repage "$out/$2.png"
    echo "$out/$2.png"
}

waitEnd() { # waits up to 5 s for process $1 to end; prints its status
    for _ in $(seq 25); do kill -0 "$1" 2>/dev/null || break; sleep 0.2; done
    if kill -0 "$1" 2>/dev/null; then kill "$1"; echo "still running" >&2; return 1; fi
    wait "$1"
}

# The "-d" run: only the day window; Escape closes it and the process ends, storing nothing.
"$vorn" -d & pid=$!
day=$(windowNamed "تابع روز")
shoot "$day" day
xdotool windowfocus --sync "$day" key Escape
if waitEnd "$pid"; then echo "-d run ended with status 0"; else echo "-d run did not end well" >&2; failed=1; fi
if [[ -n "$(find "$config" -mindepth 1 -not -name 'vorn*' -print -quit)" ]]; then
    echo "-d run stored something:" >&2; find "$config" >&2; failed=1
fi

# The normal run: about with F1, then each help page through the Help menu (the last
# menu; from the first one, the key towards the start of a right-to-left bar wraps to it).
"$vorn" & pid=$!
main=$(windowNamed "Vorn - Zentrix")
xdotool windowfocus --sync "$main" key F1
about=$(windowNamed "درباره Vorn")
shoot "$about" about
xdotool windowfocus --sync "$about" key Return # Back has the focus
sleep 0.5
for entry in 1 2; do
    eval "$(xdotool getwindowgeometry --shell "$main")"
    xdotool windowfocus --sync "$main" mousemove $((X + WIDTH - 20)) $((Y + 9)) click 1
    sleep 0.4
    xdotool key Right
    sleep 0.4
    # Reached by the keyboard, the menu opens with its first entry chosen.
    for _ in $(seq 2 "$entry"); do xdotool key Down; done
    xdotool key Return
    help=$(windowNamed "Vorn - کمک")
    shoot "$help" "help-$([[ $entry == 1 ]] && echo WAPI || echo DECLARE)"
    xdotool windowfocus --sync "$help" key Escape
    sleep 0.5
done
kill "$pid"; wait "$pid" || true
exit $failed
