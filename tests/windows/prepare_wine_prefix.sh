#!/usr/bin/env bash
# Prepares the Wine prefix the Wine checks run in: made once (wineboot is slow) and kept
# while it matches this Wine and these settings.
#   prepare_wine_prefix.sh PREFIX
set -euo pipefail
prefix=$1
export WINEPREFIX=$prefix WINEDEBUG=-all
# No Mono or Gecko: the programs need neither, and their installers would ask.
export WINEDLLOVERRIDES="mscoree,mshtml="

# The non-client metrics of Windows 10 at 96 dpi (8-pixel sizing frame of 4 border and 4
# padding, 23-pixel caption) that the platform layer gives its windows too, so an 800 x 600
# window has the same 784 x 561 client area, and so the same back buffer, in both.
metrics_key='HKCU\Control Panel\Desktop\WindowMetrics'
settings="$(wine --version 2>/dev/null) PaddedBorderWidth=4 CaptionHeight=22"
stamp=$prefix/.prepared-for-checks

if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$settings" ]; then
  exit 0
fi
wineserver -k >/dev/null 2>&1 || true
rm -rf "$prefix"
mkdir -p "$(dirname "$prefix")"
echo "Preparing the Wine prefix $prefix"
if ! timeout 300 wine wineboot --init >"$prefix.log" 2>&1; then
  echo "wineboot failed; see $prefix.log" >&2
  exit 1
fi
wine reg add "$metrics_key" /v PaddedBorderWidth /d 4 /f >>"$prefix.log" 2>&1
wine reg add "$metrics_key" /v CaptionHeight /d 22 /f >>"$prefix.log" 2>&1
timeout 60 wineserver -w
echo "$settings" >"$stamp"
