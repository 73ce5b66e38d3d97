#!/bin/sh
# Replays a fuzz target's committed corpus, then makes a fixed 20,000 runs from it. New inputs
# go to the scratch folder, emptied first, so the corpus stays as committed.
# Usage: replay.sh TARGET_BINARY CORPUS_FOLDER SCRATCH_FOLDER
set -e
rm -rf "$3"
mkdir -p "$3"
exec "$1" -runs=20000 -seed=1 -max_len=4096 -artifact_prefix="$3/" "$3" "$2"
