#!/usr/bin/env bash
# Installs every build and test dependency from Debian's packages (idempotent), then
# configures and builds the project into build/ (or the directory given as $1, with
# any further arguments passed to cmake).
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  libspdlog-dev libfmt-dev
  pybind11-dev python3-dev python3-numpy python3-pytest python3-pil
  libopencv-core-dev
  clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  sudo_cmd=()
  if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -q
  "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}" </dev/null
fi

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
shift || true
cmake -S "$root" -B "$build" -G Ninja -DPython3_EXECUTABLE=/usr/bin/python3 "$@" >/dev/null
cmake --build "$build" -j "$(nproc)"
