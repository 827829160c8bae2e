#!/usr/bin/env bash
# The problem files' MIME description and desktop entry, installed into a temporary data folder
# as a user's own: the description is well-formed and accepted by update-mime-database, and
# the desktop's type look-up names the right type for every shipped example.
set -euo pipefail
packaging=$1
examples=$2
data=$(mktemp -d)
trap 'rm -rf "$data"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

python3 -c 'import sys, xml.dom.minidom; xml.dom.minidom.parse(sys.argv[1])' \
  "$packaging/davrenta-mime.xml" || fail "davrenta-mime.xml is not well-formed XML"

mkdir -p "$data/mime/packages" "$data/applications"
cp "$packaging/davrenta-mime.xml" "$data/mime/packages/davrenta.xml"
export XDG_DATA_HOME=$data
errors=$(update-mime-database "$data/mime" 2>&1 >/dev/null) || fail "update-mime-database failed"
[ -z "$errors" ] || fail "update-mime-database complained: $errors"

desktop="$packaging/invalid.davrenta.Davrenta.desktop"
desktop-file-validate --no-hints "$desktop" || fail "the desktop entry does not validate"
grep -qx 'Exec=davrenta %f' "$desktop" || fail "the desktop entry takes no file"

# Which type each example must be taken for, by its ending.
declare -A expected=(
  [fl]=application/x-davrenta-population-map
  [sf]=application/x-davrenta-single-facility
  [sm]=application/x-davrenta-site-matching
  [mh]=application/x-davrenta-material-handling
  [mhs]=application/x-davrenta-handling-simulation
)
# The entry must offer every type, and every type must come from the description.
for type in "${expected[@]}"; do
  grep -q "^MimeType=.*$type;" "$desktop" || fail "the desktop entry does not list $type"
  grep -q "type=\"$type\"" "$packaging/davrenta-mime.xml" || fail "no description of $type"
  grep -q "<mediatype>$type</mediatype>" "$packaging/invalid.davrenta.Davrenta.metainfo.xml" ||
    fail "the AppStream metadata does not provide $type"
done

# gio reads the user's data folder first, as a desktop's file manager does.
export XDG_CURRENT_DESKTOP=GNOME
checked=0
for file in "$examples"/*; do
  ext=${file##*.}
  want=${expected[$ext]:-}
  [ -n "$want" ] || { fail "$(basename "$file"): an example of no study"; continue; }
  got=$(xdg-mime query filetype "$file")
  [ "$got" = "$want" ] || fail "$(basename "$file"): taken for '$got', not $want"
  checked=$((checked + 1))
done
[ "$checked" -ge 5 ] || fail "only $checked examples found in $examples"

# The desktop entry, with a stub in place of the program, is what opening a problem file
# starts, with that file as its argument.
stub="$data/stub"
printf '#!/bin/sh\nprintf "%%s\\n" "$@" >"%s/opened"\n' "$data" >"$stub"
chmod +x "$stub"
sed "s|^Exec=davrenta %f|Exec=$stub %f|" "$desktop" >"$data/applications/invalid.davrenta.Davrenta.desktop"
update-desktop-database "$data/applications"
for type in "${expected[@]}"; do
  opener=$(xdg-mime query default "$type")
  [ "$opener" = invalid.davrenta.Davrenta.desktop ] || fail "$type opens with '$opener'"
done
for file in "$examples"/*; do
  rm -f "$data/opened"
  timeout 20 xdg-open "$file" || fail "xdg-open $(basename "$file") failed"
  for _ in 1 2 3 4 5 6 7 8 9 10; do [ -s "$data/opened" ] && break; sleep 0.2; done
  opened=$(cat "$data/opened" 2>/dev/null || true)
  [ "$opened" = "$file" ] || fail "xdg-open $(basename "$file") started '$opened'"
done

echo "$checked examples typed; $failures failures"
[ "$failures" -eq 0 ]
