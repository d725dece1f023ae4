#!/usr/bin/env bash
# Makes sure the Debian packages a make target needs are installed.
#
#   bash tools/install-deps.sh demo|test|bench|fuzz
#
# As root, missing packages are installed with apt-get; otherwise the one
# apt-get command to run is printed and the script fails.
set -euo pipefail

build=(cmake make g++ libcli11-dev nlohmann-json3-dev libhowardhinnant-date-dev libcsv-dev zlib1g-dev
  libnlopt-dev libeigen3-dev)
case "${1:-}" in
  demo) wanted=("${build[@]}") ;;
  test) wanted=("${build[@]}" libgtest-dev chromium chromium-driver python3 python3-numpy python3-scipy) ;;
  bench) wanted=("${build[@]}") ;;
  fuzz) wanted=("${build[@]}" clang-14 libclang-rt-14-dev) ;;
  *)
    echo "usage: bash tools/install-deps.sh demo|test|bench|fuzz" >&2
    exit 2
    ;;
esac

missing=()
for package in "${wanted[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [[ $status == "install ok installed" ]] || missing+=("$package")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

if [[ $(id -u) -ne 0 ]]; then
  echo "Missing Debian packages. Install them with:" >&2
  echo "  sudo apt-get update && sudo apt-get install -y ${missing[*]}" >&2
  exit 1
fi
echo "Installing Debian packages: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -q
apt-get install -y -q "${missing[@]}"
