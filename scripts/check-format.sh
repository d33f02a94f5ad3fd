#!/usr/bin/env bash
# Fails when a C++ file of the repository is not as .clang-format formats it,
# naming each such file and the first lines that differ.
# Usage: scripts/check-format.sh            (every tracked .cpp and .h)
#        scripts/check-format.sh FILE...    (those files only)
# To mend: clang-format -i FILE...
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$here"
if ! command -v clang-format >/dev/null; then
  echo "check-format: clang-format is missing (scripts/setup.sh installs it)" >&2
  exit 1
fi
if [ $# -gt 0 ]; then
  files=("$@")
else
  mapfile -t files < <(git ls-files --cached --others --exclude-standard '*.cpp' '*.h')
fi
bad=0
for f in "${files[@]}"; do
  if ! diff -q "$f" <(clang-format --style=file --assume-filename="$f" < "$f") >/dev/null; then
    echo "check-format: $f is not formatted as .clang-format says (clang-format -i $f):"
    diff -u "$f" <(clang-format --style=file --assume-filename="$f" < "$f") | sed -n '3,12p' | sed 's/^/    /'
    bad=1
  fi
done
[ "$bad" -eq 0 ] && echo "check-format: ${#files[@]} files formatted"
exit "$bad"
