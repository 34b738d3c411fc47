#!/usr/bin/env bash
# Serves the browser build's site (scripts/build-web.sh) on 127.0.0.1 and prints its address.
#   scripts/serve-web.sh [PORT]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
site="$top/build-web/site"
port=${1:-8000}
if [ ! -f "$site/index.html" ]; then
  echo "no site in $site yet: run scripts/build-web.sh first" >&2
  exit 1
fi
echo "Serving the demo suite at http://127.0.0.1:$port/ (Ctrl+C stops it)"
exec python3 -m http.server "$port" --bind 127.0.0.1 --directory "$site"
