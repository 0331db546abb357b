#!/usr/bin/env bash
# Installs every Debian package the project needs to build, test, benchmark
# and fuzz. Idempotent; prints nothing when all is present. Run as root (or
# with sudo available) on Debian 12.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git ca-certificates
  clang libclang-rt-14-dev
  zlib1g-dev libminizip-dev libcurl4-openssl-dev libssl-dev
  nlohmann-json3-dev libplist-dev
  libgif-dev libpng-dev libjpeg62-turbo-dev libexif-dev libwebp-dev
  libcairo2-dev libpango1.0-dev fonts-wqy-microhei
  libutf8proc-dev libcli11-dev libcpp-httplib-dev
  libgtest-dev libgmock-dev libbenchmark-dev libre2-dev
  python3 zip unzip curl
  libgtk-4-dev xvfb xdotool
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "setup: run as root to install: ${missing[*]}" >&2; exit 1; }
  sudo="sudo"
fi
echo "setup: installing ${missing[*]}" >&2
export DEBIAN_FRONTEND=noninteractive
# apt's chatter (debconf's notes included) is shown only when it fails.
log="$(mktemp)"
trap 'rm -f "$log"' EXIT
{ $sudo apt-get update -qq && $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"; } >"$log" 2>&1 ||
  { cat "$log" >&2; exit 1; }
