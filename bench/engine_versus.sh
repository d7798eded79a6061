#!/bin/bash
# Get Tree's engine work, an earlier revision's engine against this tree's, in
# one process: each engine built as the release build makes it (this tree's
# with its profile-guided build), in a namespace of its own, and the two run
# alternately on the same list. Prints each pair and the median ratio; fails
# if the two build different node tables.
#
#   bench/engine_versus.sh REVISION [COUNT] [ORDER] [PAIRS]
#   e.g. bench/engine_versus.sh 3271947 32767 descending 7
#
# ORDER is random, ascending or descending (the lists of engine_bench).
set -euo pipefail

if [ $# -lt 1 ]; then
  sed -n '2,11p' "$0" | sed 's/^# \{0,1\}//'
  exit 2
fi
revision=$1
count=${2:-32767}
order=${3:-descending}
pairs=${4:-7}
case $order in
  random | ascending | descending) ;;
  *)
    echo "engine_versus: ORDER is random, ascending or descending" >&2
    exit 2
    ;;
esac

root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

mkdir "$work/before-src"
git -C "$root" archive "$revision" | tar -x -C "$work/before-src"

# side SOURCE NAME FUNCTION: the engine library of SOURCE with its namespace
# renamed TreeCore_NAME, and the side of the program that calls it.
side() {
  local src=$1 name=$2 function=$3 build=$work/build-$2
  echo "building the $name engine" >&2
  if ! { cmake -S "$src" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
           -DCMAKE_CXX_FLAGS="-DTreeCore=TreeCore_$name" -DTREETEST_BUILD_UI=OFF \
           -DTREETEST_BUILD_TESTS=OFF -DTREETEST_BUILD_BENCH=OFF &&
         cmake --build "$build" --target treecore; } >"$work/$name.log" 2>&1; then
    cat "$work/$name.log" >&2
    echo "engine_versus: the $name engine did not build" >&2
    exit 1
  fi
  g++ -std=c++20 -O2 -DNDEBUG -DTreeCore="TreeCore_$name" -DVERSUS_SIDE="$function" \
    -I"$src/engine" -I"$root/bench" -c "$root/bench/EngineVersusSide.cpp" -o "$work/$name.o"
}

side "$work/before-src" before RunBefore
side "$root" after RunAfter
g++ -std=c++20 -O2 -I"$root/bench" "$root/bench/EngineVersusMain.cpp" \
  "$work/before.o" "$work/build-before/engine/libtreecore.a" \
  "$work/after.o" "$work/build-after/engine/libtreecore.a" -o "$work/engine_versus"
echo "before: $(git -C "$root" rev-parse --short "$revision"); after: this tree" \
  "($(git -C "$root" rev-parse --short HEAD)$(git -C "$root" diff --quiet HEAD -- engine || echo ', engine changed'))"
"$work/engine_versus" "$count" "$order" "$pairs"
