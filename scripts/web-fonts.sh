#!/bin/bash
# Writes the font files of the browser build into the folder given, cut down to what the
# programs can draw: AR PL UMing CN (the face fontconfig gives "宋体" and the CJK fallback
# natively) with every character of the string literals in the programs and the code they
# draw text from, plus printable ASCII; and DejaVu Sans (what it gives other names) with
# printable ASCII and Latin-1. The names written are the ones font_face_truetype.cpp opens;
# the page preloads the folder as /fonts/.
#
#   scripts/web-fonts.sh OUTPUT_FOLDER
#
# Needs python3-fonttools (Debian), and the faces from fonts-arphic-uming and fonts-dejavu-core.
set -euo pipefail

if [ $# -ne 1 ]; then
  echo "usage: $0 OUTPUT_FOLDER" >&2
  exit 2
fi
output=$1
root=$(cd "$(dirname "$0")/.." && pwd)

cjk_source=/usr/share/fonts/truetype/arphic/uming.ttc
cjk_face_index=0  # AR PL UMing CN; the collection's others are the TW and HK faces
latin_source=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf

# The folders whose string literals can reach the screen through the font.
text_folders=(programs framework terrain snow rain rope bsp scene md2)

# Debian's fontTools is for its own python3, which a python3 earlier on PATH may not see.
python=
for candidate in python3 /usr/bin/python3; do
  if "$candidate" -c 'import fontTools.subset' 2>/dev/null; then
    python=$candidate
    break
  fi
done
if [ -z "$python" ]; then
  echo "web-fonts: fontTools is missing (apt-get install python3-fonttools)" >&2
  exit 1
fi
for source in "$cjk_source" "$latin_source"; do
  if [ ! -r "$source" ]; then
    echo "web-fonts: $source is missing (fonts-arphic-uming, fonts-dejavu-core)" >&2
    exit 1
  fi
done
mkdir -p "$output"

# Every character other than ASCII in the string and character literals of the C++ sources,
# comments left out, as one UTF-8 line.
literal_characters() {
  "$python" - "$root" "${text_folders[@]}" <<'PYTHON'
import pathlib
import re
import sys

root = pathlib.Path(sys.argv[1])
# A comment, a raw string, or a quoted literal with its escapes; a prefix (L, u8, ...) is
# left outside, as it changes nothing of the characters.
token = re.compile(r'//[^\n]*|/\*.*?\*/|R"([^(\s]*)\((.*?)\)\1"|"((?:\\.|[^"\\\n])*)"|\'((?:\\.|[^\'\\\n])*)\'',
                   re.S)
universal = re.compile(r'\\u([0-9a-fA-F]{4})|\\U([0-9a-fA-F]{8})')
characters = set()
for folder in sys.argv[2:]:
    for path in sorted((root / folder).rglob('*')):
        if path.suffix not in ('.cpp', '.h'):
            continue
        for match in token.finditer(path.read_text(encoding='utf-8')):
            text = match.group(2) or match.group(3) or match.group(4) or ''
            if match.group(3) or match.group(4):
                text = universal.sub(lambda u: chr(int(u.group(1) or u.group(2), 16)), text)
            characters.update(c for c in text if ord(c) > 0x7e)
print(''.join(sorted(characters)))
PYTHON
}

subset() {
  local source=$1 target=$2
  shift 2
  # Outlines and horizontal metrics only: stb_truetype neither hints, nor draws embedded
  # bitmaps, nor lays out vertically or with OpenType features.
  "$python" -m fontTools.subset "$source" --output-file="$target" --no-hinting --layout-features='' \
    --drop-tables+=EBDT,EBLC,EBSC,BDF,FFTM,gasp,vhea,vmtx,VORG,GDEF,GPOS,GSUB,MATH "$@"
}

printable_ascii=U+0020-007E
characters=$(literal_characters)
subset "$cjk_source" "$output/uming-cn.ttf" --font-number="$cjk_face_index" \
  --unicodes="$printable_ascii" --text="$characters"
subset "$latin_source" "$output/DejaVuSans.ttf" --unicodes="$printable_ascii,U+00A0-00FF"

echo "web-fonts: ${#characters} characters beyond ASCII from the sources"
for pair in "$cjk_source:uming-cn.ttf" "$latin_source:DejaVuSans.ttf"; do
  echo "web-fonts: $(basename "${pair%%:*}") $(stat -c %s "${pair%%:*}") bytes -> ${pair##*:}" \
    "$(stat -c %s "$output/${pair##*:}") bytes"
done
