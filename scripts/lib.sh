# Shared by the scripts in this folder: Debian packages and build helpers.

# The Debian packages that building and testing Tarnwick on Linux needs.
TARNWICK_PACKAGES=(
  cmake g++ make pkg-config
  libicu-dev libgtest-dev libgmock-dev
  libcurl4-openssl-dev
  python3 openssl
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
