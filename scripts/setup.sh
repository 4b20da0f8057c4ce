# Shared by scripts/run and scripts/test: installs what is missing, then
# configures and builds into build/. Sourced, not run.

TOP=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD="$TOP/build"

# need_packages PKG...: installs missing Debian packages as root, else says what to run.
need_packages() {
  local missing=()
  local pkg
  for pkg in "$@"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing+=("$pkg")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" -eq 0 ]; then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -q >/dev/null || { echo "apt-get update failed" >&2; return 1; }
    apt-get install -y -q --no-install-recommends "${missing[@]}" >/dev/null ||
      { echo "apt-get install failed for: ${missing[*]}" >&2; return 1; }
  else
    echo "Missing packages. Run this, then try again:" >&2
    echo "  sudo apt-get install -y ${missing[*]}" >&2
    return 1
  fi
}

# qt6-charts-dev needs the CMake files of libqt6opengl6-dev but does not depend on it.
BUILD_PACKAGES=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-charts-dev libqt6opengl6-dev libgl-dev libgtest-dev libboost-dev libcli11-dev nlohmann-json3-dev)

# Debian's arm64 Qt, for the arm64 window and its tests; it installs beside the
# machine's own once dpkg knows the architecture (need_arm64_architecture).
ARM64_QT_PACKAGES=(qt6-base-dev:arm64 qt6-charts-dev:arm64 libqt6opengl6-dev:arm64 libgl-dev:arm64)

need_arm64_architecture() {
  dpkg --print-foreign-architectures | grep -qx arm64 && return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "Run this, then try again:  sudo dpkg --add-architecture arm64 && sudo apt-get update" >&2
    return 1
  fi
  dpkg --add-architecture arm64
  apt-get update -q >/dev/null
}

# configure_and_build PRESET DIR [CMAKE OPTIONS...]
# Configures DIR with a preset of CMakePresets.json; DIR rather than the
# preset's folder, so that a folder named in the environment holds.
# Configures every time, so that options given now hold for a folder that
# another script configured otherwise (scripts/run leaves the tests out).
# TIMINGCALC_WERROR=ON in the environment turns warnings into errors.
configure_and_build() {
  local preset=$1 dir=$2
  shift 2
  cmake -S "$TOP" --preset "$preset" -B "$dir" -DTIMINGCALC_WERROR="${TIMINGCALC_WERROR:-OFF}" "$@" >/dev/null ||
    return 1
  cmake --build "$dir" -j "$(nproc)"
}
