#!/bin/sh
# Fails if a weak (shared, COMDAT) function in the given objects or archives
# uses a processor extension (SHA, SSSE3/SSE4.1 shuffles, AVX, BMI): the
# linker keeps one such copy for every caller, including callers on
# processors without the extension. Only functions chosen at run time may
# use them, and those are never weak.
# Usage: check_extension_copies.sh NM OBJDUMP FILE...
nm_tool=$1
objdump_tool=$2
shift 2
status=0
for file in "$@"; do
  for sym in $("$nm_tool" "$file" | awk '$2 == "W" || $2 == "V" { print $3 }' | sort -u); do
    if "$objdump_tool" -d --no-show-raw-insn --disassemble="$sym" "$file" 2>/dev/null |
        awk -F'\t' 'NF > 1 { print $2 }' |
        grep -Eq '^(sha1|sha256)|%[yz]mm|^(rorx|andn|shlx|shrx|sarx|pdep|pext|pshufb|palignr|pblend|pinsr|pextr|v[a-z])'; then
      echo "$file: $sym uses a processor extension"
      status=1
    fi
  done
  # COFF (Windows) marks no symbol weak: a shared copy is a COMDAT section
  # of its own, named .text$ and the function's name.
  for sect in $("$objdump_tool" -h "$file" 2>/dev/null | awk '$2 ~ /^\.text\$/ { print $2 }' | sort -u); do
    if "$objdump_tool" -d --no-show-raw-insn -j "$sect" "$file" 2>/dev/null |
        awk -F'\t' 'NF > 1 { print $2 }' |
        grep -Eq '^(sha1|sha256)|%[yz]mm|^(rorx|andn|shlx|shrx|sarx|pdep|pext|pshufb|palignr|pblend|pinsr|pextr|v[a-z])'; then
      echo "$file: $sect uses a processor extension"
      status=1
    fi
  done
done
exit $status
