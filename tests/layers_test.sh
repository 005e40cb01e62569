#!/usr/bin/env bash
# Includes in src/ only run down the layers: a file includes from its own folder and the folders
# before it in the list the build gives (the bottom layer first), never from one after it.
# Usage: layers_test.sh SRC_DIR LAYER...
set -uo pipefail
src=$1
shift
cd "$src" || exit 1
grep -rHo --include='*.h' --include='*.cpp' '^#include "[^"]*/[^"]*"' . |
  awk -v layers="$*" '
    BEGIN { n = split(layers, names, " "); for (i = 1; i <= n; i++) rank[names[i]] = i }
    {
      split($0, parts, ":"); file = substr(parts[1], 3); included = parts[2]
      gsub(/^#include "|"$/, "", included)
      split(file, f, "/"); split(included, t, "/")
      if (!(f[1] in rank)) { print file ": folder " f[1] " is no layer"; bad = 1; next }
      if ((t[1] in rank) && rank[t[1]] > rank[f[1]]) { print file " includes " included ", a layer above its own"; bad = 1 }
    }
    END { exit bad }'
