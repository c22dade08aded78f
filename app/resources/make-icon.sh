#!/usr/bin/env bash
# Draws the program's icon, QL-KORVANE-V1.ico (256, 48, 32 and 16 pixels), with ImageMagick:
# a green K over the red scanner light on a dark tile.
set -euo pipefail
cd "$(dirname "$0")"
convert -size 256x256 xc:none \
    -fill '#101828' -draw 'roundrectangle 8,8 247,247 40,40' \
    -fill '#00e000' -draw 'rectangle 60,36 100,180' \
    -stroke '#00e000' -strokewidth 38 -draw 'line 100,118 196,36' -draw 'line 112,106 204,180' \
    -stroke none -fill '#400000' \
    -draw 'rectangle 36,198 60,222' -draw 'rectangle 66,198 90,222' -draw 'rectangle 96,198 120,222' \
    -draw 'rectangle 156,198 180,222' -draw 'rectangle 186,198 210,222' \
    -fill '#ff2020' -draw 'rectangle 126,198 150,222' \
    -depth 8 -define icon:auto-resize=256,48,32,16 QL-KORVANE-V1.ico

# The same pictures as PNG files for the desktop's icon theme (hicolor), with Python's PIL.
/usr/bin/python3 - <<'PYTHON'
import os
from PIL import Image

for size in (16, 32, 48, 256):
    icon = Image.open("QL-KORVANE-V1.ico")
    icon.size = (size, size)
    os.makedirs(f"icons/{size}x{size}", exist_ok=True)
    icon.save(f"icons/{size}x{size}/ql-korvane.png")
PYTHON
