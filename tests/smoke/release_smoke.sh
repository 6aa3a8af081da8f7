#!/usr/bin/env bash
# Starts the built program as a user would, on a virtual X server with a
# window manager: it opens the sample workspace, opens the console (whose
# start-up script runs a one-line JavaScript), and is closed through its
# window's close box. The program must have run the script and must end with
# exit status 0.
#   tests/smoke/release_smoke.sh BUILD_DIR
set -euo pipefail
top="$(cd "$(dirname "$0")/../.." && pwd)"
build="$(cd "${1:?usage: release_smoke.sh BUILD_DIR}" && pwd)"
program="$build/bin/corvale"

for tool in Xvfb openbox xdotool; do
    command -v "$tool" >/dev/null || { echo "smoke: $tool is missing (scripts/setup.sh installs it)"; exit 1; }
done

work="$(mktemp -d)"
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

# A workspace of its own, so nothing in the checkout can change.
mkdir -p "$work/data" "$work/config/Corvale"
cp "$top"/samples/sample.cvw "$top"/samples/world.* "$work/data/"
marker="$work/ran.txt"
printf "var f = new File('%s', 'w'); f.write('ran'); f.close();\n" "$marker" > "$work/startup.js"
printf '[Settings]\nConsoleAutoRun=%s\n' "$work/startup.js" > "$work/config/Corvale/Corvale2.ini"

# A display of our own: Xvfb writes the number it took.
exec 3> "$work/display"
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
exec 3>&-
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "smoke: Xvfb did not start"; cat "$work/xvfb.log"; exit 1; }
export DISPLAY=":$(cat "$work/display")"
openbox >/dev/null 2>&1 &
pids+=($!)

export XDG_CONFIG_HOME="$work/config"
export XDG_RUNTIME_DIR="$work"
unset QT_QPA_PLATFORM
(cd "$work/data" && exec ${SMOKE_WRAP:-} "$program" sample.cvw) >"$work/program.log" 2>&1 &
program_pid=$!

fail() {
    echo "smoke: $1"
    kill "$program_pid" 2>/dev/null || true
    echo "--- program output"; cat "$work/program.log"
    exit 1
}

window=""
for _ in $(seq 300); do
    window="$(xdotool search --name ' - Corvale$' 2>/dev/null | head -n 1 || true)"
    [ -n "$window" ] && break
    kill -0 "$program_pid" 2>/dev/null || fail "the program ended before its window showed"
    sleep 0.1
done
[ -n "$window" ] || fail "no main window within 30 s"
sleep 1

# View > Console...: the menu's "C" picks Center Map first, then Console.
xdotool windowactivate --sync "$window"
xdotool key --clearmodifiers alt+v
sleep 0.5
xdotool key c
sleep 0.2
xdotool key c
sleep 0.2
xdotool key Return
for _ in $(seq 300); do [ -s "$marker" ] && break; sleep 0.1; done
[ "$(cat "$marker" 2>/dev/null)" = "ran" ] || fail "the console's start-up script did not run"

# The main window's close box, as the window manager gives it.
xdotool windowactivate --sync "$window"
xdotool key --clearmodifiers alt+F4
status=""
for _ in $(seq 300); do
    if ! kill -0 "$program_pid" 2>/dev/null; then
        set +e
        wait "$program_pid"
        status=$?
        set -e
        break
    fi
    sleep 0.1
done
[ -n "$status" ] || fail "the program did not end within 30 s of closing its window"
if [ "$status" -ne 0 ]; then
    echo "--- program output"; cat "$work/program.log"
    echo "smoke: the program ended with status $status"
    exit 1
fi
echo "smoke: the program ran a script and exited with status 0"
