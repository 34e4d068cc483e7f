#!/bin/sh
# Takes docs/about-box.png and docs/image-finder.png: the About box once its
# animation has played, and the Image Finder after Get values from header
# and Load of header 17, image 0 of a sample shapes file, each on a virtual
# screen. Run from the top folder after a build:
#   editor/ui/tests/screenshot_dialogs.sh [build folder] [docs folder]
set -eu
build=${1:-build/default}
docs=${2:-docs}
# A registry and a shapes file of its own, so the user's are left alone.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export XDG_DATA_HOME="$scratch" XDG_CONFIG_HOME="$scratch" XDG_RUNTIME_DIR="$scratch"
"$build/bin/regsvr" "$build/bin/Tavlet.ocx"
"$build/bin/kestrow-sample-shapes" "$scratch/shapes.shp2"

# Shoots the window captioned $1 while the preview runs with $2...
shoot() {
  caption=$1 picture=$2
  shift 2
  xvfb-run -a -s "-screen 0 1280x1024x24" sh -c \
    "\"$build/bin/dialogs_preview\" $* & sleep 3; import -window \"$caption\" \"$picture\"; wait"
  echo "wrote $picture"
}
shoot "About Kestrow" "$docs/about-box.png" about 5000
shoot "Image Finder" "$docs/image-finder.png" finder 5000 "$scratch/shapes.shp2"
