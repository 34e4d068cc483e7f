#!/bin/sh
# Takes docs/control-states.png: four bitmap drop controls in their states,
# shown on a virtual screen. Run from the top folder after a build:
#   tests/control/screenshot_control_states.sh [build folder] [picture]
set -eu
build=${1:-build/default}
picture=${2:-docs/control-states.png}
# A registry of its own, so the user's is left alone.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export XDG_DATA_HOME="$scratch" XDG_CONFIG_HOME="$scratch" XDG_RUNTIME_DIR="$scratch"
"$build/bin/regsvr" "$build/bin/Tavlet.ocx"
xvfb-run -a -s "-screen 0 600x260x24" sh -c \
  "\"$build/bin/tavlet_states_preview\" 4000 & sleep 2; import -window root \"$picture\"; wait"
echo "wrote $picture"
