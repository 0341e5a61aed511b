#!/bin/sh
# Installs the independent SWF parser for the checks into a folder of its own, once.
# Without npm or the network the checks skip; this step never fails the run.
dir="$1"
mkdir -p "$dir"
cp "$(dirname "$0")/swfsummary.mjs" "$dir/"
[ -d "$dir/node_modules/swf-parser" ] && exit 0
if ! command -v npm >/dev/null 2>&1; then
  echo "npm not found: swf-parser checks will skip"; exit 0
fi
npm install --prefix "$dir" --no-audit --no-fund --loglevel=error swf-parser@0.14.1 >"$dir/npm.log" 2>&1 ||
  echo "npm install failed (see $dir/npm.log): swf-parser checks will skip"
exit 0
