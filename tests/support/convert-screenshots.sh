#!/usr/bin/env bash
# Turns the screenshots the tests wrote (BMP) into PNG files beside them, when ImageMagick's
# convert is there; without it the BMP files stay. Never fails a run for a picture.
#   convert-screenshots.sh FOLDER
set -uo pipefail
folder=$1
[ -d "$folder" ] || exit 0
if ! command -v convert >/dev/null 2>&1; then
  echo "convert (ImageMagick) is missing: screenshots stay BMP files in $folder"
  exit 0
fi
shopt -s nullglob
for bmp in "$folder"/*.bmp; do
  png=${bmp%.bmp}.png
  if convert "$bmp" "$png" </dev/null >/dev/null 2>&1; then
    rm -f "$bmp"
    echo "screenshot: $png"
  else
    echo "screenshot: could not convert $bmp"
  fi
done
exit 0
