#!/usr/bin/env bash
# Builds the project and runs the demo on Debian's /usr/bin/python3.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/setup.sh" "$root/build"
PYTHONPATH="$root/build/lib" exec /usr/bin/python3 "$root/examples/demo.py" "$@"
