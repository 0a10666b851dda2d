#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only those that are missing.
set -euo pipefail

packages=(
  cmake
  # The presets' generator ("Unix Makefiles"): cmake only recommends it, and
  # recommends are not installed below.
  make
  g++
  gcc-mingw-w64-x86-64-posix
  g++-mingw-w64-x86-64-posix
  binutils-mingw-w64-x86-64
  mingw-w64-x86-64-dev
  wine
  wine64
  googletest
  # The JSON library of the tests and the simulated machine (header only).
  nlohmann-json3-dev
  libxml2-utils
  libxml2-dev
  clang
  libclang-rt-14-dev
  clang-tidy
  clang-format
  cppcheck
  zip
  unzip
  jq
  wixl
  msitools
  osslsigncode
  openssl
  # Signing with a key on a PKCS#11 token, and the signing test's token and
  # time-stamp server.
  libengine-pkcs11-openssl
  softhsm2
  python3
  # The release test reads the winget manifest back.
  python3-yaml
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
