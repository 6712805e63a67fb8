# Shared by the scripts in this folder: Debian packages and build helpers.

# The Debian packages that building Tarnwick on Linux needs, with a font
# that has the Chinese characters of its window.
TARNWICK_PACKAGES=(
  cmake g++ make pkg-config
  libicu-dev libcurl4-openssl-dev qt6-base-dev
  fonts-droid-fallback python3
)

# What the tests need besides: GoogleTest, the loopback servers' tools, and a
# virtual X display driven like a user (xdotool, xclip, xprop, screenshots).
TARNWICK_TEST_PACKAGES=(
  libgtest-dev libgmock-dev openssl
  xvfb xdotool xclip x11-utils imagemagick
)

# ensure_packages PACKAGE...: installs whichever of the packages is missing,
# with apt-get (through sudo when not root). Runs `apt-get update` only when
# something is missing.
ensure_packages() {
  local missing=()
  local package
  for package in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$package")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  echo "Installing missing packages: ${missing[*]}"
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
}

# configure_and_build BUILD_DIR [CMAKE_ARGS...]
configure_and_build() {
  local dir=$1
  shift
  cmake -S . -B "$dir" "$@"
  cmake --build "$dir" -j "$(nproc)"
}

# build_program: builds the program alone, in Release, into build-run/.
build_program() {
  configure_and_build build-run -DCMAKE_BUILD_TYPE=Release -DTARNWICK_BUILD_TESTS=OFF
}

# require_desktop: stops with a message when there is no desktop to show a
# window on.
require_desktop() {
  if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No desktop found (DISPLAY and WAYLAND_DISPLAY are unset): Tarnwick needs one to open its window." >&2
    exit 1
  fi
}
