#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need (idempotent, non-interactive).
# Needs root, or sudo; without either it names the missing packages and exits with 1.
# --xvfb also installs what scripts/xvfb-form.sh needs to try a form under a real X
# server (Xvfb, a window manager, xdotool, ImageMagick's import).
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config lld
  qt6-base-dev libgl-dev qt6-translations-l10n
  libsqlite3-dev unixodbc-dev odbc-postgresql tdsodbc libpq-dev
  libzip-dev zip unzip
  libgtest-dev clang-format
  postgresql
)
for arg in "$@"; do
  case "$arg" in
    --xvfb) packages+=(xvfb openbox xdotool imagemagick x11-utils) ;;
    *) echo "setup: unknown option $arg (known: --xvfb)" >&2; exit 64 ;;
  esac
done

if ! command -v dpkg-query >/dev/null 2>&1; then
  echo "setup: not a Debian system; install the equivalents of: ${packages[*]}" >&2
  exit 1
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  if ! command -v sudo >/dev/null 2>&1; then
    echo "setup: these Debian packages are missing: ${missing[*]}" >&2
    echo "setup: install them as root (no sudo here):  apt-get install ${missing[*]}" >&2
    exit 1
  fi
  SUDO="sudo"
fi
echo "setup: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
