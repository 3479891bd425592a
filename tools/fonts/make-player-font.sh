#!/usr/bin/env bash
# Makes the font the player gives Ruffle for Chinese device text: Debian's Droid Sans
# Fallback (fonts-droid-fallback) cut down to GB2312, ASCII, CJK punctuation and the
# full-width forms. Ruffle keeps every glyph of a font it is given in memory, and the whole
# face (about 23,000 glyphs) costs the player's page tens of megabytes more than this cut
# (about 7,700). Needs python3-fonttools; the result is committed, the build only embeds it.
#
# Usage: tools/fonts/make-player-font.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
source=/usr/share/fonts/truetype/droid/DroidSansFallbackFull.ttf
output=$root/assets/fonts/DroidSansFallbackGB2312.ttf
codes=$(mktemp)
trap 'rm -f "$codes"' EXIT

/usr/bin/python3 - "$codes" <<'PY'
import sys
codes = set(range(0x20, 0x7F))
for high in range(0xA1, 0xF8):
    for low in range(0xA1, 0xFF):
        try:
            codes.add(ord(bytes([high, low]).decode("gb2312")))
        except UnicodeDecodeError:
            pass
codes.update(range(0x3000, 0x3040))
codes.update(range(0xFF00, 0xFFF0))
with open(sys.argv[1], "w") as out:
    out.write("\n".join("U+%04X" % code for code in sorted(codes)))
PY

/usr/bin/python3 -m fontTools.subset "$source" --unicodes-file="$codes" --no-hinting \
    --output-file="$output"
echo "$output: $(stat -c %s "$output") bytes"
