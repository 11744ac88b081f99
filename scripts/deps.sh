# Sourced by run.sh and test.sh: installs the Debian packages the build needs
# when they are missing (as root), or names the one command to run.
KESTOVA_PACKAGES=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-svg-dev libgl-dev
  libgtest-dev libgmock-dev libboost-math-dev
  python3-dendropy python3-pil
  fonts-liberation2 fonts-dejavu-core fontconfig
  openssl
  python3 unzip
  libxcb1-dev libxcb-xfixes0-dev xvfb xauth x11-apps openbox pngcheck imagemagick
  xclip xdotool poppler-utils
  dos2unix
)
# Only the tests need these (test.sh): the office suite's converter checks
# that other programs read our RTF (ctest label rtf-interop); its install
# takes about 100 s. The debugger is what the crash reporter's stack walk is
# compared with. The MinGW binutils made the PE fixtures and read the
# modules the resource writer changes.
KESTOVA_TEST_PACKAGES=(
  libreoffice-writer-nogui
  gdb
  binutils-mingw-w64-x86-64
)

kestova_missing_packages() {
  local missing=() p
  for p in "${KESTOVA_PACKAGES[@]}" "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  echo "${missing[*]}"
}

kestova_ensure_packages() {
  local missing
  missing=$(kestova_missing_packages "$@")
  [ -z "$missing" ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages. Run once: sudo apt-get install -y $missing" >&2
    exit 1
  fi
  echo "Installing: $missing"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  # shellcheck disable=SC2086
  apt-get install -y -qq --no-install-recommends $missing >/dev/null
}
