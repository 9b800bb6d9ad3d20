#!/usr/bin/env bash
# The folder copy against Wine's xcopy and against cp -r, in one run: makes
# its own tree (10,000 files, about 850 MB: a few large files, many small
# ones) in a scratch folder outside the repository, copies it with each in
# turn, and prints the medians and the ratios. By hand only: it is slow, and
# a busy machine moves the numbers (say the load with them). RUNS sets the
# number of runs of each (5).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
runs=${RUNS:-5}
if [ "${1:-}" != --inner ]; then
  scripts/setup.sh >/dev/null
  scripts/build.sh win64 >/dev/null
  LANZHAN_XVFB=1 exec scripts/with-display.sh "$0" --inner
fi
bench=build/win64/bench/bench_copy.exe
# In memory where there is room: the disk's write-back, shared with whatever
# else the machine does, would otherwise swamp the per-file cost measured here.
# BENCH_DIR chooses another place.
place=${BENCH_DIR:-}
if [ -z "$place" ]; then
  place=${TMPDIR:-/tmp}
  free=$(df -Pk /dev/shm 2>/dev/null | awk 'NR==2 {print $4}')
  [ "${free:-0}" -gt 3000000 ] && place=/dev/shm
fi
scratch=$(mktemp -d "$place/lz-copy-bench.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
src=$scratch/src

# 8 files of 48 MB, 9,992 of 0 to 93 KB (about 46 KB each): ~850 MB.
python3 - "$src" <<'PY'
import os, random, sys
root = sys.argv[1]
rnd = random.Random(15)
block = bytes(rnd.randrange(256) for _ in range(1 << 20))
def put(path, size):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        while size > 0:
            n = min(size, len(block))
            f.write(block[:n])
            size -= n
for i in range(8):
    put(os.path.join(root, "big", "video%d.avi" % i), 48 << 20)
for i in range(9992):
    put(os.path.join(root, "dir%03d" % (i // 100), "sub%d" % (i % 3), "file%05d.dat" % i), rnd.randrange(0, 95000))
PY
total=$(du -sm "$src" | cut -f1)
echo "tree: $(find "$src" -type f | wc -l) files, $total MB, in $scratch"

winpath() { winepath -w "$1" 2>/dev/null; }
median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
wsrc=$(winpath "$src")
# One timing in seconds; a wrong copy ends the run.
lanzhan() { wine "$bench" copy "$wsrc" "$(winpath "$1")" | tr -d '\r' | head -1; }
xcopy() { wine "$bench" run xcopy /e /y /i /q "$wsrc" "$(winpath "$1")" | tr -d '\r' | head -1; }
cprun() { local a b; a=$(date +%s.%N); cp -r "$src" "$1"; b=$(date +%s.%N); awk -v a="$a" -v b="$b" 'BEGIN{printf "%.3f\n", b-a}'; }
check() {
  local n
  n=$(find "$1" -type f | wc -l)
  [ "$n" = 10000 ] || { echo "copy incomplete: $n files in $1" >&2; exit 1; }
}


lanzhan "$scratch/warm" >/dev/null; rm -rf "$scratch/warm"
for kind in lanzhan xcopy cprun; do : > "$scratch/$kind.times"; done
for i in $(seq "$runs"); do
  # Alternating, so that the machine's other work touches each alike.
  for kind in lanzhan xcopy cprun; do
    out=$scratch/out-$kind
    t=$($kind "$out")
    check "$out"
    rm -rf "$out"
    sync
    echo "$t" >> "$scratch/$kind.times"
    echo "run $i $kind: $t s"
  done
done
l=$(median < "$scratch/lanzhan.times"); x=$(median < "$scratch/xcopy.times"); c=$(median < "$scratch/cprun.times")
echo "load: $(cut -d' ' -f1-3 /proc/loadavg) on $(nproc) cores"
echo "medians of $runs: CopyFolder $l s, xcopy /e $x s, cp -r $c s"
echo "against xcopy: ratio $(awk -v a="$l" -v b="$x" 'BEGIN{printf "%.2f", a/b}')"
echo "against cp -r: ratio $(awk -v a="$l" -v b="$c" 'BEGIN{printf "%.2f", a/b}')"
