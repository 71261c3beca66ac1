#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds every libFuzzer target with clang in a build tree of its own, then runs each
# one for a while on a scratch copy of its seeds. Not part of CI: what a run finds
# depends on time and luck, and a run takes minutes.
#
#   scripts/fuzz.sh [-j N] [SECONDS [TARGET...]]
#
# SECONDS (default 60) is each target's running time; TARGETs (e.g. fuzz-strtbl) pick
# a few instead of all; -j N runs N targets at once. Environment:
#   FUZZ_BUILD_DIR  build tree (default <repo>/fuzz-build)
#   FUZZ_OUT_DIR    where each target's log and failing inputs go (default <repo>/fuzz-out)
#   FUZZ_WORK_DIR   where the working corpora grow; kept when given, else a temporary
#                   folder removed at the end
#   FUZZ_MAX_LEN    one -max_len for every target instead of the per-target choice
#   FUZZ_TIMEOUT    seconds one input may take before it counts as a hang (default 25)
#   FUZZ_CMAKE_ARGS more arguments for configuring, split at blanks
# Exits 1 when any target crashed, hung or ran out of memory.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

usage() {
    sed -n '6,17s/^# \{0,1\}//p' "${BASH_SOURCE[0]}" >&2
    exit 2
}

parallel=1
while getopts "j:h" option; do
    case $option in
    j) parallel=$OPTARG ;;
    *) usage ;;
    esac
done
shift $((OPTIND - 1))
seconds=${1:-60}
[[ $# -gt 0 ]] && shift
wanted=("$@")
[[ $seconds =~ ^[1-9][0-9]*$ ]] || { echo "SECONDS must be a whole number above 0, not '$seconds'" >&2; usage; }
[[ $parallel =~ ^[1-9][0-9]*$ ]] || { echo "-j needs a whole number above 0, not '$parallel'" >&2; usage; }

build_dir=${FUZZ_BUILD_DIR:-$root/fuzz-build}
out_dir=${FUZZ_OUT_DIR:-$root/fuzz-out}
timeout=${FUZZ_TIMEOUT:-25}
read -r -a extra_cmake_args <<<"${FUZZ_CMAKE_ARGS:-}"
# The other build trees belong to the ordinary and the sanitizer builds; configuring one
# of them with clang and the fuzz switch would throw their caches away.
case $(realpath -m "$build_dir") in
"$root/build" | "$root/build-asan")
    echo "FUZZ_BUILD_DIR must not be $build_dir: that tree is the ordinary build's" >&2
    exit 2
    ;;
esac

# --- The toolchain: clang with its libFuzzer and sanitizer runtimes. -----------------
missing=()
command -v cmake >/dev/null || missing+=(cmake)
command -v ninja >/dev/null || missing+=(ninja-build)
if ! command -v clang >/dev/null || ! command -v clang++ >/dev/null; then
    missing+=(clang "libclang-rt-<version>-dev (the version of clang, e.g. libclang-rt-14-dev)")
else
    # Compiling is the one sure test: the runtimes live in a package of their own.
    probe_dir=$(mktemp -d)
    echo 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }' \
        >"$probe_dir/probe.cpp"
    if ! clang++ -fsanitize=fuzzer,address,undefined "$probe_dir/probe.cpp" -o "$probe_dir/probe" \
        >"$probe_dir/log" 2>&1; then
        version=$(clang -dumpversion | cut -d. -f1)
        echo "clang cannot link a libFuzzer program:" >&2
        sed 's/^/  /' "$probe_dir/log" >&2
        missing+=("libclang-rt-$version-dev")
    fi
    rm -rf "$probe_dir"
fi
if [[ ${#missing[@]} -gt 0 ]]; then
    echo "Missing; install these Debian packages and run again:" >&2
    printf '  %s\n' "${missing[@]}" >&2
    exit 1
fi

# --- Build. ---------------------------------------------------------------------------
# The targets are the ones fuzz/CMakeLists.txt declares, so a new one is picked up here
# without a change to this script.
mapfile -t targets < <(grep -oE '^[[:space:]]*(tolmere_fuzz_target|add_executable)\([[:space:]]*fuzz-[A-Za-z0-9_.+-]+' \
    "$root/fuzz/CMakeLists.txt" | sed -E 's/.*\([[:space:]]*//' | sort -u)
if [[ ${#targets[@]} -eq 0 ]]; then
    echo "no fuzz-* target found in fuzz/CMakeLists.txt" >&2
    exit 1
fi
if [[ ${#wanted[@]} -gt 0 ]]; then
    for name in "${wanted[@]}"; do
        if ! printf '%s\n' "${targets[@]}" | grep -qxF -- "$name"; then
            echo "unknown target '$name'; the targets are: ${targets[*]}" >&2
            exit 2
        fi
    done
    targets=("${wanted[@]}")
fi

echo "==> configuring $build_dir"
mkdir -p "$build_dir"
if ! CC=clang CXX=clang++ cmake -S "$root" -B "$build_dir" -G Ninja \
    -DTOLMERE_FUZZ=ON -DTOLMERE_TESTS=OFF -DTOLMERE_BENCH=OFF "${extra_cmake_args[@]}" \
    >"$build_dir/configure.log" 2>&1; then
    cat "$build_dir/configure.log" >&2
    echo "configuring failed; scripts/install-deps.sh installs what the project needs" >&2
    exit 1
fi
echo "==> building ${targets[*]}"
# Only the fuzz targets and what they link: the app and the tools are not needed.
cmake --build "$build_dir" --target "${targets[@]}"
bin_dir=$build_dir/bin

# --- Run. -----------------------------------------------------------------------------
if [[ -n ${FUZZ_WORK_DIR:-} ]]; then
    work_dir=$FUZZ_WORK_DIR
    mkdir -p "$work_dir"
else
    work_dir=$(mktemp -d "${TMPDIR:-/tmp}/tolmere-fuzz.XXXXXX")
    trap 'rm -rf "$work_dir"' EXIT
fi
mkdir -p "$out_dir"

# Inputs longer than this are never tried. The table readers see whole files, and a
# table needs a header, several rows and the odd long cell before the interesting code
# runs, so they get more room than libFuzzer's usual 4096; the binary formats reach
# their checks within a few kilobytes, and a longer input only slows every run down.
max_len_of() {
    case $1 in
    fuzz-txttable | fuzz-settree | fuzz-gamedescribe) echo 16384 ;;
    fuzz-strtbl | fuzz-winereg | fuzz-tga | fuzz-dc6 | fuzz-resource) echo 8192 ;;
    *) echo 4096 ;;
    esac
}

# A target whose code prints a line for an expected outcome (the resource target's
# "fatal error" on every container that will not uncompress) would fill its log with
# hundreds of thousands of copies; one line and a count keeps the log readable.
collapse_repeats() {
    awk 'NR > 1 && $0 == last { ++repeats; next }
        { if (repeats) print "    (the line above repeated " repeats " more times)"; repeats = 0; last = $0; print }
        END { if (repeats) print "    (the line above repeated " repeats " more times)" }'
}

seeds_of() {
    echo "$root/fuzz/corpus/${1#fuzz-}"
}

run_one() {
    local name=$1
    local seeds corpus art log max_len largest rc=0
    seeds=$(seeds_of "$name")
    corpus=$work_dir/$name
    art=$out_dir/$name
    log=$art/fuzz.log
    # libFuzzer writes what it finds into its first corpus folder: that is a copy, never
    # the checked-in seeds.
    mkdir -p "$corpus" "$art"
    rm -f "$work_dir/$name.rc"
    if [[ -d $seeds ]]; then
        find "$seeds" -maxdepth 1 -type f -exec cp -t "$corpus" -- {} +
    fi
    max_len=${FUZZ_MAX_LEN:-$(max_len_of "$name")}
    # A seed longer than -max_len would be cut short and lose what made it a seed.
    largest=$(find "$corpus" -type f -printf '%s\n' | sort -n | tail -n 1)
    if [[ -n $largest && $largest -gt $max_len ]]; then
        max_len=$largest
    fi
    # Undefined behaviour reports then show where it happened, not only what.
    UBSAN_OPTIONS=print_stacktrace=1:${UBSAN_OPTIONS:-} \
        "$bin_dir/$name" -max_total_time="$seconds" -print_final_stats=1 \
        -max_len="$max_len" -timeout="$timeout" -artifact_prefix="$art/" "$corpus" \
        2>&1 | collapse_repeats >"$log" || rc=${PIPESTATUS[0]}
    echo "$rc" >"$work_dir/$name.rc"
}

summarize() {
    local name=$1
    local log=$out_dir/$name/fuzz.log rc runs cov ft corp speed artifact status
    rc=$(cat "$work_dir/$name.rc" 2>/dev/null || echo "?")
    # A log cut short (a target that died at start) lacks some of these; "?" stands in.
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -n 1)
    # The last status line holds the coverage reached.
    cov=$(grep -oE 'cov: [0-9]+' "$log" | tail -n 1 | cut -d' ' -f2 || true)
    ft=$(grep -oE 'ft: [0-9]+' "$log" | tail -n 1 | cut -d' ' -f2 || true)
    corp=$(grep -oE 'corp: [0-9]+' "$log" | tail -n 1 | cut -d' ' -f2 || true)
    # libFuzzer also writes the slowest input it met; that one is no failure.
    artifact=$(sed -n 's/.*Test unit written to //p' "$log" | grep -v '/slow-unit-' | tail -n 1 || true)
    if [[ $rc == 0 ]]; then
        status=ok
    else
        status=CRASH
        crashed+=("$name")
    fi
    printf '%-22s %-6s runs %-10s cov %-6s ft %-7s corpus %-6s exec/s %-7s' \
        "$name" "$status" "${runs:-?}" "${cov:-?}" "${ft:-?}" "${corp:-?}" "${speed:-?}"
    if [[ $status != ok ]]; then
        printf ' exit %s -> %s' "$rc" "${artifact:-no input saved, see $log}"
    fi
    printf '\n'
}

echo "==> fuzzing ${#targets[@]} target(s) for $seconds s each, $parallel at a time"
for name in "${targets[@]}"; do
    while [[ $(jobs -rp | wc -l) -ge $parallel ]]; do
        wait -n || true
    done
    seeds=$(seeds_of "$name")
    if [[ -d $seeds ]]; then
        echo "    $name: seeds from fuzz/corpus/${name#fuzz-}/"
    else
        echo "    $name: no seeds, starting from nothing"
    fi
    run_one "$name" &
done
wait || true

echo
echo "==> summary"
crashed=()
for name in "${targets[@]}"; do
    summarize "$name"
done
echo
echo "Logs and failing inputs: $out_dir/<target>/ (fuzz.log, crash-*, leak-*, timeout-*, oom-*)."
echo "Replay one input:        $bin_dir/<target> $out_dir/<target>/crash-<sha1>"
if [[ ${#crashed[@]} -gt 0 ]]; then
    echo "Failed: ${crashed[*]}" >&2
    exit 1
fi
