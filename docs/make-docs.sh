#!/bin/sh
# Regenerates the pictures of the user documentation from their sources:
#   geometry.svg    -> geometry.png     (the geometry figure)
#   field-sheet.svg -> field-sheet.pdf  (the printable field sheet, one A4 page;
#                                        it draws geometry.svg inside itself)
# Needs rsvg-convert (Debian: librsvg2-bin), the DejaVu fonts (fonts-dejavu-core)
# and, for the page count check, pdfinfo (poppler-utils); run as root, it
# installs what is missing.
set -eu
cd "$(dirname "$0")"

missing=""
command -v rsvg-convert >/dev/null 2>&1 || missing="$missing librsvg2-bin"
command -v pdfinfo >/dev/null 2>&1 || missing="$missing poppler-utils"
[ -e /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf ] || missing="$missing fonts-dejavu-core"
if [ -n "$missing" ]; then
  if [ "$(id -u)" -eq 0 ]; then
    apt-get update -qq
    # shellcheck disable=SC2086  # one word per package
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $missing >/dev/null
  else
    echo "make-docs.sh: please install:$missing" >&2
    exit 1
  fi
fi

# The same sources give the same bytes: the PDF's date is that of the sources'
# last commit.
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  SOURCE_DATE_EPOCH=$(git log -1 --format=%ct -- geometry.svg field-sheet.svg 2>/dev/null || true)
fi
[ -z "${SOURCE_DATE_EPOCH:-}" ] || export SOURCE_DATE_EPOCH

rsvg-convert --zoom 1.5 --background-color white geometry.svg --output geometry.png
rsvg-convert --format pdf field-sheet.svg --output field-sheet.pdf

pages=$(pdfinfo field-sheet.pdf | sed -n 's/^Pages: *//p')
if [ "$pages" != 1 ]; then
  echo "make-docs.sh: field-sheet.pdf has $pages pages, not 1" >&2
  exit 1
fi
echo "geometry.png and field-sheet.pdf (1 page, A4) written"
