#!/usr/bin/env bash
# The whole program at scale, with rhash beside it on the same input:
#   1. a folder of COUNT files of 1 KiB added on the command line, hashed,
#      the log shown, copied and saved (bench/scale/sorvik_scale.cpp);
#   2. the same with all ten types: peak memory, and what Clear Log leaves,
#      against the empty program's;
#   3. COUNT files that fail, each reported in the message list;
#   4. one sparse 5 GiB file hashed through the program, its digests
#      checked against sha256sum and md5sum.
# Usage: bench/scale.sh [COUNT]      (from the repository's root)
# Figures go to stdout; bench/README.md keeps a recorded run.
set -euo pipefail

COUNT=${1:-100000}
BUILD=${BUILD:-build-scale}
WORK=${WORK:-/tmp/sorvik-scale}
RUNS=${RUNS:-3}
# The eight types rhash knows as well (it has no MD2 and no RIPEMD-128).
TYPES=CRC32,MD4,MD5,SHA1,SHA256,SHA512,RipeMD160,ED2K
RHASH_TYPES=(--crc32 --md4 --md5 --sha1 --sha256 --sha512 --ripemd160 --ed2k)

bash scripts/bootstrap
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$BUILD" -j "${JOBS:-4}" --target sorvik_scale >/dev/null
SCALE="$BUILD/bench/sorvik_scale"
program() { xvfb-run -a -s "-screen 0 1280x1024x24" env QT_QPA_PLATFORM=xcb "$SCALE" "$@" 2>/dev/null; }

mkdir -p "$WORK"
FOLDER="$WORK/files-$COUNT"
if [ ! -d "$FOLDER" ]; then
  echo "making $COUNT files of 1 KiB in $FOLDER"
  "$SCALE" make-folder "$FOLDER" "$COUNT" 1024
fi

echo "== $COUNT files of 1 KiB, types $TYPES"
# Both read from the page cache: one warm-up pass first.
rhash -r "${RHASH_TYPES[@]}" "$FOLDER" >/dev/null
for i in $(seq "$RUNS"); do
  /usr/bin/time -f "rhash -r: %e s wall, %U s user, %S s system, %M KiB peak" \
    rhash -r "${RHASH_TYPES[@]}" "$FOLDER" >/dev/null
done
for i in $(seq "$RUNS"); do
  echo "-- program run $i"
  program folder "$FOLDER" "$TYPES" | tee "$WORK/run.txt"
done
SUM=$(sed -n 's/^SUM file *//p' "$WORK/run.txt")
if [ -n "$SUM" ] && [ -f "$SUM" ]; then
  if sha256sum -c --quiet "$SUM"; then echo "saved SUM file: sha256sum accepts every line"; fi
  rm -rf "$(dirname "$SUM")"
fi
ALL=CRC32,MD2,MD4,MD5,SHA1,SHA256,SHA512,RipeMD128,RipeMD160,ED2K
echo "-- program, all ten types: memory, and Clear Log"
program empty - "$ALL" | grep -E "resident" | sed 's/^/empty program: /'
program memory "$FOLDER" "$ALL" | grep -E "wall|per second|resident|Clear Log"

echo "== $COUNT files that fail (queued, then gone: each is reported with two message lines)"
program failing "$COUNT" "$TYPES" | grep -E "wall|per second|UI thread|stall|message lines"

echo "== one sparse file of 5 GiB"
BIG="$WORK/sparse-5g.bin"
rm -f "$BIG"
truncate -s 5G "$BIG"
# Marks at the start, past 4 GiB and at the very end, so that a truncated
# size or offset gives other digests.
printf 'start' | dd of="$BIG" conv=notrunc status=none
printf 'past4GiB' | dd of="$BIG" bs=1 seek=$((4 * 1024 * 1024 * 1024 + 12345)) conv=notrunc status=none
printf 'end' | dd of="$BIG" bs=1 seek=$((5 * 1024 * 1024 * 1024 - 3)) conv=notrunc status=none
SHA=$(sha256sum "$BIG" | cut -d' ' -f1)
MD5=$(md5sum "$BIG" | cut -d' ' -f1)
OUT=$(program file "$BIG" "CRC32,MD5,SHA256")
echo "$OUT"
ok=1
grep -q "^SHA256 *$SHA$" <<<"$OUT" || { echo "SHA256 differs from sha256sum ($SHA)"; ok=0; }
grep -q "^MD5 *$MD5$" <<<"$OUT" || { echo "MD5 differs from md5sum ($MD5)"; ok=0; }
grep -q "^size cell *5,368,709,120$" <<<"$OUT" || { echo "size cell is not 5,368,709,120"; ok=0; }
[ $ok = 1 ] && echo "5 GiB: the digests sha256sum and md5sum give, the full size"
rm -f "$BIG"
[ $ok = 1 ]
