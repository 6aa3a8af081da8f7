#!/usr/bin/env bash
# Installs every Debian package that building, running and testing Corvale needs.
# Safe to run again: it only calls apt-get when something is missing.
set -euo pipefail

PACKAGES=(
    build-essential
    cmake
    pkg-config
    clang
    libgtest-dev
    libgmock-dev
    libbenchmark-dev
    qt6-base-dev
    qt6-image-formats-plugins
    libgl-dev
    libgif-dev
    libmozjs-102-dev
    unixodbc-dev
    odbcinst
    libsqliteodbc
    libsqlite3-dev
    locales
)

# What only the test command needs (scripts/setup.sh --tests): a virtual X
# server, a window manager and a way to press keys for the smoke test of the
# program, and the peers the benchmarks measure the program against (Boost,
# SQLite, shapelib, GDAL, PROJ, GEOS). Running the program needs none of them.
TEST_PACKAGES=(
    xvfb
    openbox
    xdotool
    libboost-dev
    libboost-graph-dev
    libsqlite3-dev
    libshp-dev
    libgdal-dev
    libproj-dev
    libgeos-dev
)
if [ "${1:-}" = "--tests" ]; then
    PACKAGES+=("${TEST_PACKAGES[@]}")
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
    SUDO="sudo"
fi

missing=()
for pkg in "${PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$pkg")
    fi
done

if [ "${#missing[@]}" -gt 0 ]; then
    echo "setup: installing ${missing[*]}"
    $SUDO apt-get update -q
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# The tests check that numbers are written with a point under a locale whose
# decimal separator is a comma, so that locale has to exist.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
    echo "setup: generating the de_DE.UTF-8 locale"
    if [ -f /etc/locale.gen ] && grep -q '^# *de_DE.UTF-8 UTF-8' /etc/locale.gen; then
        $SUDO sed -i 's/^# *de_DE.UTF-8 UTF-8/de_DE.UTF-8 UTF-8/' /etc/locale.gen
    elif ! grep -q '^de_DE.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null; then
        echo 'de_DE.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
    fi
    $SUDO locale-gen >/dev/null
fi
