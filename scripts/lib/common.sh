# Shared by the scripts in scripts/: package installation and the build.
# Sourced, not run.

KESTROW_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"

# Debian packages the build, the tests and the editor need.
KESTROW_PACKAGES=(
  g++ cmake ninja-build pkg-config git ccache python3
  qt6-base-dev qt6-qpa-plugins libgl-dev libx11-dev
  libgtest-dev libgmock-dev libbenchmark-dev nlohmann-json3-dev
  libpng-dev libjpeg62-turbo-dev libgif-dev libwebp-dev libtiff-dev
  liblzma-dev
  fonts-dejavu-core fonts-dejavu-extra
  help2man
  xvfb libxcb1-dev libxtst-dev
  qt6-wayland weston
)

# What only the checks of scripts/test need besides: the formatter, the Debian
# package's tools, and the freedesktop and Debian checkers of what is installed.
KESTROW_CHECK_PACKAGES=(
  clang-format
  dpkg-dev file binutils
  desktop-file-utils appstream shared-mime-info lintian
  xdelta3 time
)

kestrow_log() { printf '[kestrow] %s\n' "$*" >&2; }

# Installs whatever of the named packages is missing: one apt-get update, then
# one install, through sudo when not root. Nothing happens when all are there.
kestrow_ensure_packages() {
  local missing=() p
  for p in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$p")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  kestrow_log "installing Debian packages: ${missing[*]}"
  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null 2>&1; then
      sudo=(sudo)
    else
      kestrow_log "not root and no sudo: install these packages first: ${missing[*]}"
      return 1
    fi
  fi
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
}

# Every compile goes through ccache, so a second build on the same machine
# (a repeat CI run, another clone or worktree) rebuilds only what changed.
# Paths are taken relative to the tree, and the build folder is left out of
# the hash, so clones at different places share one cache.
kestrow_use_ccache() {
  command -v ccache >/dev/null 2>&1 || return 0
  export CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache
  export CCACHE_BASEDIR="$KESTROW_ROOT" CCACHE_NOHASHDIR=true
  export CCACHE_MAXSIZE="${CCACHE_MAXSIZE:-10G}"
}

# Configures and builds one CMake preset: every target, or only the targets
# named after it. The preset is configured once, or every time when
# KESTROW_CMAKE_OPTIONS (an array of cmake options) is set.
kestrow_build() {
  local preset="$1"
  shift
  cd "$KESTROW_ROOT"
  kestrow_use_ccache
  local options=("${KESTROW_CMAKE_OPTIONS[@]+"${KESTROW_CMAKE_OPTIONS[@]}"}")
  if [ ! -f "build/$preset/CMakeCache.txt" ] || [ ${#options[@]} -gt 0 ]; then
    cmake --preset "$preset" "${options[@]+"${options[@]}"}" >&2
  fi
  local targets=() target
  for target in "$@"; do targets+=(--target "$target"); done
  cmake --build --preset "$preset" -j "$(nproc)" "${targets[@]+"${targets[@]}"}" >&2
}
