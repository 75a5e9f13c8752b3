#!/usr/bin/env bash
# Fuzzes the plugin's pure text rules natively: every target of
# tests/fuzz/targets/ is built with clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer as a 32-bit program (-m32, so the records keep
# the layout they have in the DLL) and run for SECONDS each (default 60),
# starting from the seed corpus in tests/fuzz/corpus/<target>/.
#
#   scripts/fuzz.sh [SECONDS] [TARGET...]
#   scripts/fuzz.sh --check [TARGET...]
#
# Prints executions and findings per target. A finding (a crash, a sanitizer
# report, or output that breaks the target's model of the rule) is kept in
# build-fuzz/findings/<target>/; copy it into tests/fuzz/corpus/<target>/ once
# fixed, so that the unit tests replay it for good. Exits 1 when any target
# found something. Installs what it needs itself (Debian packages).
#
# --check builds every target the same way but without libFuzzer and the
# sanitizers, each with a small main that feeds it its seed inputs once, into
# build/fuzz-check/, and exits 1 when one does not compile, link or run. The
# test command runs it (ctest case fuzz_targets_build); it installs nothing:
# scripts/setup.sh installs clang and the 32-bit libraries.
#
# The plugin's sources linked with the targets come from the build's own
# list, tests/fuzz/fuzzSources.cmake.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
check=0
if [ "${1:-}" = "--check" ]; then
  check=1
  shift
  out="$here/build/fuzz-check"
else
  seconds="${1:-60}"
  shift || true
  out="$here/build-fuzz"
fi

# ---- Packages: clang with its runtimes, and the 32-bit C and C++ libraries.
have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }
install() {
  local need=()
  for p in "$@"; do have "$p" || need+=("$p"); done
  [ ${#need[@]} -eq 0 ] && return 0
  local sudo=""; [ "$(id -u)" = 0 ] || sudo="sudo"
  echo "fuzz.sh: installing ${need[*]}" >&2
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
}
if [ "$check" = 1 ]; then
  for p in clang libc6-dev-i386 lib32stdc++-12-dev; do
    have "$p" || { echo "fuzz.sh: $p is missing: run scripts/setup.sh" >&2; exit 1; }
  done
else
  install clang libc6-dev-i386 lib32stdc++-12-dev
  clangMajor="$(clang --version | sed -n 's/.*clang version \([0-9]*\).*/\1/p' | head -n1)"
  install "libclang-rt-$clangMajor-dev"
fi

# ---- Build: the rules' sources once, then one program per target.
# With -m32 clang does not look in the multiarch folder of the 64-bit kernel
# headers (asm/errno.h); they are the same for both widths.
flags=(-m32 -std=c++17 -g -O1 -Wall
       -idirafter /usr/include/x86_64-linux-gnu
       -I"$here/tests/fuzz/native" -I"$here/src" -I"$here/tests/fuzz"
       -DVANTOREL_LIBFUZZER)
# Without libFuzzer (--check) the sanitizers' runtimes are not needed either.
[ "$check" = 1 ] || flags+=(-fsanitize=address,undefined -fno-sanitize-recover=all)
fuzzerNoLink=(); [ "$check" = 1 ] || fuzzerNoLink=(-fsanitize=fuzzer-no-link)
mapfile -t rules < <(cmake -P "$here/tests/fuzz/fuzzSources.cmake")
[ ${#rules[@]} -gt 0 ] || { echo "fuzz.sh: no sources in tests/fuzz/fuzzSources.cmake" >&2; exit 2; }
mkdir -p "$out/obj"
headers=("$here"/src/*/*.h "$here"/tests/fuzz/*.h "$here"/tests/fuzz/native/*.h)
compile() {   # source object extra-flags...
  local src="$1" obj="$2"; shift 2
  local newest=1
  if [ -f "$obj" ]; then
    newest=0
    for f in "$src" "${headers[@]}"; do [ "$f" -nt "$obj" ] && { newest=1; break; }; done
  fi
  if [ "$newest" = 1 ]; then clang++ "${flags[@]}" "$@" -c "$src" -o "$obj" || { rm -f "$obj"; return 1; }; fi
  return 0
}
objects=()
for src in "${rules[@]}"; do
  obj="$out/obj/$(echo "$src" | tr / _).o"
  compile "$here/$src" "$obj" "${fuzzerNoLink[@]}" || exit 1
  objects+=("$obj")
done

targets=()
if [ $# -gt 0 ]; then
  targets=("$@")
else
  for f in "$here"/tests/fuzz/targets/*Fuzz.cpp; do
    n="$(basename "$f" Fuzz.cpp)"; targets+=("$n")
  done
fi
if [ "$check" = 1 ]; then
  compile "$here/tests/fuzz/native/seedRunner.cpp" "$out/obj/seedRunner.o" || exit 1
fi
status=0
for t in "${targets[@]}"; do
  src="$here/tests/fuzz/targets/${t}Fuzz.cpp"
  [ -f "$src" ] || { echo "fuzz.sh: no target $t" >&2; exit 2; }
  if [ "$check" = 1 ]; then
    # Compiles, links and runs over its seeds: a target that no longer
    # builds natively fails here, without a fuzzing run.
    if compile "$src" "$out/obj/target_$t.o" &&
       clang++ "${flags[@]}" "$out/obj/target_$t.o" "$out/obj/seedRunner.o" "${objects[@]}" -o "$out/check_$t" &&
       "$out/check_$t" "$here/tests/fuzz/corpus/$t"/*; then
      echo "fuzz.sh: $t builds and runs"
    else
      echo "fuzz.sh: $t FAILED" >&2
      status=1
    fi
    continue
  fi
  compile "$src" "$out/obj/target_$t.o" -fsanitize=fuzzer-no-link
  clang++ "${flags[@]}" -fsanitize=fuzzer "$out/obj/target_$t.o" "${objects[@]}" -o "$out/fuzz_$t"
done
[ "$check" = 1 ] && exit $status

# ---- Run each target; its working corpus grows in build-fuzz/corpus/.
printf '%-12s %14s %9s\n' target executions findings
for t in "${targets[@]}"; do
  seeds="$here/tests/fuzz/corpus/$t"
  work="$out/corpus/$t"
  findings="$out/findings/$t"
  mkdir -p "$work" "$findings" "$seeds"
  before="$(ls "$findings" | wc -l)"
  log="$out/fuzz_$t.log"
  ASAN_OPTIONS=detect_leaks=1 "$out/fuzz_$t" -max_total_time="$seconds" -print_final_stats=1 \
    -artifact_prefix="$findings/" -max_len=8192 -timeout=10 -rss_limit_mb=2048 \
    "$work" "$seeds" >"$log" 2>&1 || true
  execs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n1)"
  found=$(( $(ls "$findings" | wc -l) - before ))
  printf '%-12s %14s %9s\n' "$t" "${execs:-?}" "$found"
  if [ "$found" -gt 0 ] || [ -z "$execs" ]; then
    status=1
    grep -m3 -E 'ERROR|runtime error|breaks the rule' "$log" | sed 's/^/    /' || true
    echo "    log: $log; inputs: $findings" >&2
  fi
done
exit $status
