# Installs what the build and the tests need, when something is missing.
# Sourced by scripts/run and scripts/test.

TREETEST_PACKAGES=(cmake ninja-build g++ make pkg-config qt6-base-dev libgl-dev
                   qt6-charts-dev libqt6opengl6-dev qt6-svg-dev
                   libgtest-dev libgmock-dev libbenchmark-dev
                   librsvg2-bin dpkg-dev file desktop-file-utils appstream lintian man-db
                   at-spi2-core python3-pyatspi dbus poppler-utils xvfb)

ensure_packages() {
  local missing=()
  for p in "${TREETEST_PACKAGES[@]}" "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
  done
  if [ ${#missing[@]} -eq 0 ]; then
    return 0
  fi
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}
