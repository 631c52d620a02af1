# Shared helpers of the project's scripts. Source it; do not run it.

KLXR_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

# Packages the build needs on Debian 12.
KLXR_BUILD_PACKAGES=(cmake ninja-build g++ pkg-config libgtest-dev libgmock-dev libbenchmark-dev
                     qt6-base-dev libgl-dev ccache libsqlite3-dev libpq-dev)
# The open-source driver back end (libftdi1 over libusb), the driver of a real meter on Linux.
KLXR_OPEN_DRIVER_PACKAGES=(libftdi1-dev libusb-1.0-0-dev)
# The open driver and its emulated-adapter tests (umockdev).
KLXR_BUILD_PACKAGES+=("${KLXR_OPEN_DRIVER_PACKAGES[@]}" umockdev libumockdev-dev)
# Packages the tests need besides the build's: the PDF tools that read the reports back.
# PostgreSQL: the team archive's tests start a server of their own.
KLXR_TEST_PACKAGES=(poppler-utils postgresql)

# The Windows cross builds: optimised, without debugging information (the installer ships the
# programs stripped; the debugging information would double the build's time and size).
KLXR_WINDOWS_BUILD_OPTIONS=(-DCMAKE_BUILD_TYPE=Release "-DCMAKE_CXX_FLAGS_RELEASE=-O2 -DNDEBUG"
                            "-DCMAKE_C_FLAGS_RELEASE=-O2 -DNDEBUG" -DKLXR_WERROR=ON)

# klxr_add_windows_sqlite: fetches SQLite's source once (scripts/fetch-sqlite.sh) and adds its
# folder to KLXR_WINDOWS_BUILD_OPTIONS, so that the Windows programs carry the survey archive.
klxr_add_windows_sqlite() {
  local folder
  folder=$("$KLXR_ROOT/scripts/fetch-sqlite.sh") || return 1
  KLXR_WINDOWS_BUILD_OPTIONS+=("-DKLXR_SQLITE_AMALGAMATION=$folder")
}

klxr_say() { printf '\033[1m== %s\033[0m\n' "$*"; }

# Installs the Debian packages that are missing (apt-get update once, then install).
klxr_ensure_packages() {
  local missing=()
  local package
  for package in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$package")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null; then sudo=(sudo); else
      echo "These Debian packages are missing and I am not root: ${missing[*]}" >&2
      return 1
    fi
  fi
  klxr_say "Installing Debian packages: ${missing[*]}"
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
    "${missing[@]}"
}

# klxr_configure <build-dir> [cmake options...]: configures the build, through ccache when it is
# installed.
klxr_configure() {
  local dir="$1"
  shift
  local launcher=()
  if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
  fi
  cmake -S "$KLXR_ROOT" -B "$dir" -G Ninja "${launcher[@]}" "$@" >/dev/null
}

# klxr_build <build-dir> [cmake options...]: configures and builds everything.
klxr_build() {
  klxr_configure "$@"
  cmake --build "$1"
}
