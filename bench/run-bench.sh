#!/usr/bin/env bash
# Benchmark: occasion-tallies against two reading floors on two large generated surveys.
#
#   bash bench/run-bench.sh [BUILD_DIR]        (default: build; `make bench` builds first)
#
# The surveys share their pictures (250 locations, 2,000,000 pictures of 50 species, fixed seed);
# the first lists those 50 species in Input.txt, the second 500 (the 450 more are shown by no
# picture). Each is generated once and kept in BUILD_DIR/bench-survey-S/, and the program runs in
# a scratch copy of it, BUILD_DIR/bench-run/, with the answers 30 and 7. Five times each,
# alternating, three things are timed:
#   - the program;
#   - the per-species floor, `read-floor AllPictures.txt S`: the log read once per species with
#     large reads, the least a program scanning the log once per species must do;
#   - the one-read floor, `read-floor AllPictures.txt 1`: the log read once.
# Printed per survey: every run, the medians, the program's ratios to both floors, its peak
# resident memory (largest of the runs) and the SHA-256 of OccasionTallies.txt; then the goals
# (the 50-species program at most 0.25 x its per-species floor, the 500-species program at most
# 2 x the 50-species program, at most 64 MiB peak memory on 50 species), each met or missed.
# The last line is `bench: ratio R, peak M MiB` for the 50-species survey, R its ratio to the
# per-species floor.
#
# BENCH_PROGRAM=PATH times another build of the program (an older one, to compare).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_arg=${1:-build}
case $build_arg in
  /*) build=$build_arg ;;
  *) build=$root/$build_arg ;;
esac

die() {
  echo "bench: $*" >&2
  exit 1
}

program=${BENCH_PROGRAM:-$build/occasion-tallies}
generator=$build/bench/survey-generator
floor=$build/bench/read-floor
peak_wrapper=$build/bench/peak-rss
for tool in "$program" "$generator" "$floor"; do
  [[ -x $tool ]] || die "$tool is missing; build first (make build)"
done

runs=5
picture_args=(--locations 250 --species 50 --pictures 2000000 --seed 20240601)
work=$build/bench-run

# Peak memory: GNU time where installed, else the project's own wrapper.
if [[ -x /usr/bin/time && -z ${BENCH_NO_GNU_TIME:-} ]]; then
  measure=(/usr/bin/time -f %M -o "$work/peak-kib.txt")
else
  [[ -x $peak_wrapper ]] || die "$peak_wrapper is missing; build first (make build)"
  measure=("$peak_wrapper" "$work/peak-kib.txt")
fi

now_ns() { date +%s%N; }
seconds() { awk -v ns="$1" 'BEGIN { printf "%.3f", ns / 1e9 }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
median() { printf '%s\n' "$@" | sort -n | sed -n "$((($# + 1) / 2))p"; }

# Generates the survey listing $1 species into $build/bench-survey-$1, unless the cached one was
# made from the same arguments and generator source. Prints its folder.
survey_for() {
  local listed=$1
  local survey=$build/bench-survey-$listed
  local args=("${picture_args[@]}" --listed "$listed")
  local stamp
  stamp="${args[*]} $(sha256sum "$root/bench/survey_generator.cpp" | cut -d' ' -f1)"
  if [[ ! -f $survey/stamp || $(cat "$survey/stamp") != "$stamp" ||
    ! -f $survey/Input.txt || ! -f $survey/AllPictures.txt ]]; then
    echo "bench: generating the survey into $survey" >&2
    rm -rf "$survey" "$survey.tmp"
    "$generator" "${args[@]}" --out "$survey.tmp" >&2
    echo "$stamp" >"$survey.tmp/stamp"
    mv "$survey.tmp" "$survey"
  fi
  echo "$survey"
}

# Times the program and both floors on the survey listing $1 species. Sets program_median,
# per_species_median, one_read_median, peak_mib and sha.
bench_survey() {
  local listed=$1
  local survey
  survey=$(survey_for "$listed")
  rm -rf "$work"
  mkdir -p "$work"
  cp "$survey/Input.txt" "$survey/AllPictures.txt" "$work/"
  printf '30\n7\n\n' >"$work/answers.txt"
  local bytes lines
  bytes=$(wc -c <"$work/AllPictures.txt")
  lines=$(wc -l <"$work/AllPictures.txt")
  echo "bench: survey ${picture_args[*]}, $listed species listed: AllPictures.txt $lines lines, $bytes bytes"

  local program_times=() per_species_times=() one_read_times=()
  local peak_kib=0 i t0 t1 status run_sha kib counted scratch
  sha=""
  pushd "$work" >/dev/null
  for ((i = 1; i <= runs; i++)); do
    rm -f OccasionTallies.txt peak-kib.txt
    t0=$(now_ns)
    status=0
    "${measure[@]}" "$program" <answers.txt >console.txt 2>stderr.txt || status=$?
    t1=$(now_ns)
    if ((status != 0)); then
      cat stderr.txt >&2
      die "occasion-tallies ended with status $status"
    fi
    program_times+=($((t1 - t0)))
    run_sha=$(sha256sum OccasionTallies.txt | cut -d' ' -f1)
    if [[ -n $sha && $run_sha != "$sha" ]]; then
      die "OccasionTallies.txt differs between runs ($sha, then $run_sha)"
    fi
    sha=$run_sha
    for scratch in SpeciesPics.txt temp.txt; do
      [[ ! -e $scratch ]] || echo "bench: warning: $scratch left behind in $work" >&2
    done
    kib=$(tail -n 1 peak-kib.txt)
    if ((kib > peak_kib)); then peak_kib=$kib; fi

    t0=$(now_ns)
    counted=$("$floor" AllPictures.txt "$listed")
    t1=$(now_ns)
    [[ $counted == "$lines" ]] || die "read-floor counted $counted lines, wc counted $lines"
    per_species_times+=($((t1 - t0)))

    t0=$(now_ns)
    counted=$("$floor" AllPictures.txt 1)
    t1=$(now_ns)
    [[ $counted == "$lines" ]] || die "read-floor counted $counted lines, wc counted $lines"
    one_read_times+=($((t1 - t0)))

    echo "run $i: program $(seconds "${program_times[-1]}") s, $((kib / 1024)) MiB peak;" \
      "per-species floor $(seconds "${per_species_times[-1]}") s;" \
      "one-read floor $(seconds "${one_read_times[-1]}") s"
  done
  popd >/dev/null

  program_median=$(median "${program_times[@]}")
  per_species_median=$(median "${per_species_times[@]}")
  one_read_median=$(median "${one_read_times[@]}")
  peak_mib=$(awk -v k="$peak_kib" 'BEGIN { printf "%.1f", k / 1024 }')
  echo "program median:           $(seconds "$program_median") s  (occasion-tallies, answers 30 and 7)"
  echo "per-species floor median: $(seconds "$per_species_median") s  (read-floor AllPictures.txt $listed)"
  echo "one-read floor median:    $(seconds "$one_read_median") s  (read-floor AllPictures.txt 1)"
  echo "ratio to per-species floor: $(ratio "$program_median" "$per_species_median")"
  echo "ratio to one-read floor:    $(ratio "$program_median" "$one_read_median")"
  echo "peak resident memory:     $peak_mib MiB  (largest of $runs runs)"
  echo "OccasionTallies.txt:      SHA-256 $sha"
}

# Prints a goal's line: $1 the text, $2 the measured value, $3 the limit.
goal() {
  local verdict
  verdict=$(awk -v v="$2" -v l="$3" 'BEGIN { print (v <= l ? "met" : "missed") }')
  echo "goal: $1: $2 (at most $3): $verdict"
}

bench_survey 50
small_program=$program_median
small_ratio=$(ratio "$program_median" "$per_species_median")
small_peak=$peak_mib
echo
bench_survey 500
large_ratio=$(ratio "$program_median" "$small_program")
echo
goal "50-species program / its per-species floor" "$small_ratio" 0.25
goal "500-species program / 50-species program" "$large_ratio" 2
goal "peak memory on 50 species, MiB" "$small_peak" 64
echo "bench: ratio $small_ratio, peak $small_peak MiB"
