#!/usr/bin/env bash
# Sets up a Debian machine, builds Enigo and runs the demo quiz or every test tier.
#   ./enigo.sh run [QUIZ]   build and open a quiz under Wine (default: enigo-images)
#   ./enigo.sh test         build and run the host, sanitizer/fuzz, Windows and end-to-end tests
#   ./enigo.sh build        set up and build only
#   ./enigo.sh dist         build build/dist/enigo-VERSION.zip, the download for quiz authors
#   ./enigo.sh fuzz [MINUTES] [TARGET...]   fuzz each target (lzw quiz_resource code_resource progress_lines png)
#                           for MINUTES (default 10) under ASan and UBSan, one after another, merging new inputs
#                           into the committed corpora
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
cd "$root"

packages=(cmake ninja-build g++ clang libclang-rt-14-dev googletest libgtest-dev libbenchmark-dev
  zlib1g-dev libpng-dev g++-mingw-w64-x86-64-posix wine wine64 xvfb x11-utils xdotool imagemagick
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good
  python3)

setup() {
  local missing=()
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "enigo: installing ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo apt-get update -q
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
  fi
}

build() {
  cmake --preset native >/dev/null
  cmake --build --preset native
  cmake --preset mingw >/dev/null
  cmake --build --preset mingw
}

# shellcheck source=tests/windows/wine-env.sh
source "$root/tests/windows/wine-env.sh"


stop_wine() {
  wineserver -k 2>/dev/null || true
}

# The authors' download, build/dist/enigo-VERSION.zip (./enigo.sh dist), made twice to make sure the same
# sources give the same bytes.
dist() {
  local version zip
  version=$(sed -n 's/^#define ENIGO_VERSION_STRING *"\(.*\)"/\1/p' resources/resource.h)
  zip="$root/build/dist/enigo-$version.zip"
  mkdir -p "$root/build/dist"
  python3 tools/make_dist.py "$version" "$root/build/mingw/bin" "$zip"
  python3 tools/make_dist.py "$version" "$root/build/mingw/bin" "$zip.again"
  if ! cmp -s "$zip" "$zip.again"; then
    rm -f "$zip.again"
    echo "enigo: two runs gave different zips" >&2
    exit 1
  fi
  rm -f "$zip.again"
  echo "enigo: $zip ($(stat -c %s "$zip") bytes, sha256 $(sha256sum "$zip" | cut -d' ' -f1)); a second run gave the same bytes"
}

run() {
  local quiz=${1:-enigo-images}
  local exe="$root/build/mingw/bin/$quiz.exe"
  [ -f "$exe" ] || { echo "enigo: no quiz named $quiz (see build/mingw/bin)" >&2; exit 2; }
  local had_display=0
  enigo_display_alive && had_display=1
  enigo_wine_ready
  mkdir -p "$root/build/run"
  cd "$root/build/run"
  if [ "$had_display" = 1 ] && [ -z "${CI:-}" ]; then
    echo "enigo: starting $quiz on $DISPLAY (answers are saved in build/run)"
    wine "$exe"
  else
    # No screen to show it on: run it on our Xvfb, photograph it, close it.
    wine "$exe" &
    local pid=$! shot="$root/build/screenshots/$quiz.png"
    mkdir -p "$root/build/screenshots"
    for _ in $(seq 1 100); do
      xdotool search --name . >/dev/null 2>&1 && [ -n "$(xdotool search --class WindowsApp 2>/dev/null)" ] && break
      sleep 0.2
    done
    sleep 2
    import -display "$DISPLAY" -window root "$shot"
    xdotool key --clearmodifiers alt+F4 2>/dev/null || true
    for _ in $(seq 1 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.2; done
    kill "$pid" 2>/dev/null || true
    echo "enigo: no display here; $quiz ran on Xvfb $DISPLAY and its screenshot is $shot"
  fi
}

# Tests stay a quarter to a third of the code: non-blank lines of tracked sources, scripts and CMake
# files under tests/ and fuzz/ against the sources and scripts under src/ and tools/.
test_ratio() {
  count() { git ls-files -- "${@:2}" | grep -E "$1" | grep -v /corpus/ | xargs -r cat | grep -c -v -E '^\s*$'; }
  local code tests
  code=$(count '\.(c|cc|cpp|cxx|h|hpp|sh|py)$' src tools)
  tests=$(count '(\.(c|cc|cpp|cxx|h|hpp|sh|py|cmake)|CMakeLists\.txt)$' tests fuzz)
  echo "enigo: test lines $tests, code lines $code, ratio $(awk "BEGIN { printf \"%.2f\", $tests / $code }") (rule: at most 0.33)"
}

# Runs one CTest preset, keeping its summary line for the grand total. Extra CTest options follow.
ctest_tier() {
  local preset=$1 log="$root/build/ctest-$1.log" status=0
  shift
  ctest --preset "$preset" -j2 "$@" 2>&1 | tee "$log" || status=1
  grep -q '100% tests passed' "$log" || status=1
  summaries+=("$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$log" | tail -n 1)")
  return $status
}

run_tests() {
  local failed=0 started=$SECONDS
  summaries=()
  echo "== host tests (native)"
  ctest_tier native || failed=1
  local host_done=$SECONDS

  echo "== host tests under ASan/UBSan, fuzzers (clang)"
  cmake --preset sanitize >/dev/null
  cmake --build --preset sanitize
  ctest_tier sanitize || failed=1
  local sanitize_done=$SECONDS

  echo "== Windows and end-to-end tests (MinGW build under Wine)"
  enigo_wine_ready "$root/build/mingw/tests/wine_keeper.exe"
  # Under load Wine now and then fails to start a program at all (no output, a few ms); such a
  # test gets one more run. A test that fails twice fails the tier.
  ctest_tier mingw --repeat until-pass:2 || failed=1
  stop_wine
  local wine_done=$SECONDS

  echo "enigo: tier times: host $((host_done - started))s, sanitize+fuzz $((sanitize_done - host_done))s," \
    "windows+e2e $((wine_done - sanitize_done))s"
  local total=0 bad=0 line
  for line in "${summaries[@]}"; do
    [[ $line =~ ([0-9]+)\ tests\ failed\ out\ of\ ([0-9]+) ]] || continue
    bad=$((bad + BASH_REMATCH[1]))
    total=$((total + BASH_REMATCH[2]))
  done
  test_ratio
  echo "total: $((total - bad)) passed, $bad failed"
  [ "$bad" -eq 0 ] || failed=1
  return $failed
}

fuzz_targets=(lzw quiz_resource code_resource progress_lines png)

# Each target in turn on one core, at low priority, from its committed corpus (and dictionary, if any). Inputs
# that reach new coverage are merged, minimised, into the corpus; findings stay in build/fuzz/findings. Every run
# is added to build/fuzz/runs.tsv, so the totals count executions over all runs.
fuzz() {
  local minutes=${1:-10} targets=("${@:2}") failed=0 target
  [ ${#targets[@]} -gt 0 ] || targets=("${fuzz_targets[@]}")
  cmake --preset sanitize >/dev/null
  cmake --build --preset sanitize
  mkdir -p build/fuzz/findings
  for target in "${targets[@]}"; do
    local exe=build/sanitize/fuzz/fuzz_$target corpus=fuzz/corpus/$target log=build/fuzz/$target.log new
    [ -x "$exe" ] || { echo "enigo: no fuzz target $target (${fuzz_targets[*]})" >&2; return 2; }
    new=$(mktemp -d)
    local options=(-max_total_time=$((minutes * 60)) -print_final_stats=1 -artifact_prefix=build/fuzz/findings/$target-)
    [ -f "fuzz/$target.dict" ] && options+=(-dict="fuzz/$target.dict")
    echo "== fuzz_$target for $minutes min"
    nice "$exe" "${options[@]}" "$new" "$corpus" >"$log" 2>&1 || { failed=1; echo "enigo: fuzz_$target FOUND A FAULT: see $log"; }
    local before execs cov
    execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | head -n 1)
    cov=$(grep -o 'cov: [0-9]* ft: [0-9]*' "$log" | tail -n 1)
    before=$(find "$corpus" -type f | wc -l)
    nice "$exe" -merge=1 "$corpus" "$new" >"build/fuzz/$target.merge.log" 2>&1
    rm -rf "$new"
    printf '%s\t%s\t%s\t%s\n' "$(date +%F.%H:%M)" "$target" "${execs:-0}" "$cov" >>build/fuzz/runs.tsv
    echo "fuzz_$target: ${execs:-0} executions, $cov, corpus $before -> $(find "$corpus" -type f | wc -l) inputs"
  done
  awk -F'\t' '{ total[$2] += $3 } END { for (t in total) printf "total fuzz_%s: %d executions over all runs\n", t, total[t] }' \
    build/fuzz/runs.tsv | sort
  return $failed
}

case "${1:-}" in
  run) setup; build; run "${2:-}" ;;
  test) setup; build; run_tests ;;
  build) setup; build ;;
  dist) setup; build; dist ;;
  fuzz) setup; fuzz "${@:2}" ;;
  *) echo "usage: $0 run [QUIZ] | test | build | dist | fuzz [MINUTES] [TARGET...]" >&2; exit 2 ;;
esac
