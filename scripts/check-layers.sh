#!/usr/bin/env bash
# Fails when a file includes a header of a layer it may not use, naming the
# file, the line and the rule (ARCHITECTURE.md, "Layers"). A layer uses only
# the layers below it:
#
#   db  <-  ui  <-  controls  <-  core  <-  catalogue, circulation  <-  app
#
# core may use db directly (the connection helpers); ui reaches db in one
# place only, the grid that shows a result set (ui/Grid.h); catalogue and
# circulation never use each other; tools/ use db/ and themselves alone;
# tests/ and bench/ use whatever they measure. That db/ itself uses no Qt Gui
# or Widgets header the build proves: it is compiled with Qt Core's include
# paths alone.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$here"

# The folders each layer may include from, besides its own.
declare -A may=(
  [db]=""
  [ui]="db"
  [controls]="ui"
  [core]="controls ui db"
  [catalogue]="core controls ui db"
  [circulation]="core controls ui db"
  [app]="catalogue circulation core controls ui db"
  [tools]="db"
)
# The one file of ui/ that may include db/.
ui_db_gate="ui/Grid.h"

bad=0
checked=0
for layer in "${!may[@]}"; do
  while IFS= read -r f; do
    checked=$((checked + 1))
    while IFS=: read -r line target; do
      dir="${target%%/*}"
      rule=""
      if [ "$dir" = "$target" ]; then
        rule="includes by a path from the repository's root (\"$layer/...\"), never beside itself"
      elif [ "$dir" != "$layer" ] && [[ " ${may[$layer]} " != *" $dir "* ]]; then
        rule="$layer/ may include only from: $(echo $layer ${may[$layer]})"
      elif [ "$layer" = ui ] && [ "$dir" = db ] && [ "$f" != "$ui_db_gate" ]; then
        rule="ui/ includes db/ in $ui_db_gate alone"
      fi
      if [ -n "$rule" ]; then
        echo "check-layers: $f:$line includes \"$target\": $rule"
        bad=1
      fi
    done < <(grep -n '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$f" \
               | sed 's/^\([0-9]*\):[^"]*"\([^"]*\)".*/\1:\2/')
  done < <(git ls-files --cached --others --exclude-standard "$layer/*.cpp" "$layer/*.h")
done
[ "$bad" -eq 0 ] && echo "check-layers: $checked files keep to their layers"
exit "$bad"
