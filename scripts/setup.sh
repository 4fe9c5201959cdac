#!/bin/sh
# Install what the build needs on a Debian machine (idempotent); packages
# given as arguments are installed too (scripts/fuzz.sh adds clang).
set -e
PKGS="cmake g++ make pkg-config libblas-dev libgtest-dev zlib1g-dev $*"
missing=""
for p in $PKGS; do
  dpkg -s "$p" >/dev/null 2>&1 || missing="$missing $p"
done
if [ -n "$missing" ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  echo "setup: installing$missing"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq $missing
fi
