#!/usr/bin/env bash
# Builds Delvix and starts it; arguments are passed to the program (a file to open).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/build.sh"
exec "$root/build/src/app/delvix" "$@"
