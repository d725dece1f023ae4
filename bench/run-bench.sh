#!/usr/bin/env bash
# Benchmark: occasion-tallies against the reading floor on a large generated survey.
#
#   bash bench/run-bench.sh [BUILD_DIR]        (default: build; `make bench` builds first)
#
# The survey (250 locations, 50 species, 2,000,000 pictures, fixed seed) is generated once and
# kept in BUILD_DIR/bench-survey/. The program then runs in a scratch copy of it,
# BUILD_DIR/bench-run/, with the answers 30 and 7, alternating with `read-floor AllPictures.txt 50`
# (one large-read pass over the picture log per species, the least any program scanning the log
# once per species must do), five times each. Printed: every run, the median wall times, their
# ratio, the program's peak resident memory (largest of the runs) and the SHA-256 of
# OccasionTallies.txt. The last line is `bench: ratio R, peak M MiB`.
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

program=$build/occasion-tallies
generator=$build/bench/survey-generator
floor=$build/bench/read-floor
peak_wrapper=$build/bench/peak-rss
for tool in "$program" "$generator" "$floor"; do
  [[ -x $tool ]] || die "$tool is missing; build first (make build)"
done

runs=5
passes=50 # one per species
survey_args=(--locations 250 --species 50 --pictures 2000000 --seed 20240601)
survey=$build/bench-survey
work=$build/bench-run

# The cached survey is reused while the arguments and the generator's source stay the same.
stamp="${survey_args[*]} $(sha256sum "$root/bench/survey_generator.cpp" | cut -d' ' -f1)"
if [[ ! -f $survey/stamp || $(cat "$survey/stamp") != "$stamp" ||
  ! -f $survey/Input.txt || ! -f $survey/AllPictures.txt ]]; then
  echo "bench: generating the survey into $survey"
  rm -rf "$survey" "$survey.tmp"
  "$generator" "${survey_args[@]}" --out "$survey.tmp"
  echo "$stamp" >"$survey.tmp/stamp"
  mv "$survey.tmp" "$survey"
fi

rm -rf "$work"
mkdir -p "$work"
cp "$survey/Input.txt" "$survey/AllPictures.txt" "$work/"
printf '30\n7\n\n' >"$work/answers.txt"

bytes=$(wc -c <"$work/AllPictures.txt")
lines=$(wc -l <"$work/AllPictures.txt")
echo "bench: survey ${survey_args[*]}: AllPictures.txt $lines lines, $bytes bytes"

# Peak memory: GNU time where installed, else the project's own wrapper.
if [[ -x /usr/bin/time && -z ${BENCH_NO_GNU_TIME:-} ]]; then
  measure=(/usr/bin/time -f %M -o "$work/peak-kib.txt")
else
  [[ -x $peak_wrapper ]] || die "$peak_wrapper is missing; build first (make build)"
  measure=("$peak_wrapper" "$work/peak-kib.txt")
fi

now_ns() { date +%s%N; }
seconds() { awk -v ns="$1" 'BEGIN { printf "%.3f", ns / 1e9 }'; }

program_times=()
floor_times=()
peak_kib=0
sha=""
cd "$work"
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

  t2=$(now_ns)
  counted=$("$floor" AllPictures.txt "$passes")
  t3=$(now_ns)
  [[ $counted == "$lines" ]] || die "read-floor counted $counted lines, wc counted $lines"

  program_times+=($((t1 - t0)))
  floor_times+=($((t3 - t2)))
  echo "run $i: program $(seconds $((t1 - t0))) s, $((kib / 1024)) MiB peak; floor $(seconds $((t3 - t2))) s"
done

median() { printf '%s\n' "$@" | sort -n | sed -n "$((($# + 1) / 2))p"; }
program_median=$(median "${program_times[@]}")
floor_median=$(median "${floor_times[@]}")
ratio=$(awk -v p="$program_median" -v f="$floor_median" 'BEGIN { printf "%.2f", p / f }')
peak_mib=$(awk -v k="$peak_kib" 'BEGIN { printf "%.1f", k / 1024 }')

echo "program median:       $(seconds "$program_median") s  (occasion-tallies, answers 30 and 7)"
echo "floor median:         $(seconds "$floor_median") s  (read-floor AllPictures.txt $passes)"
echo "ratio program/floor:  $ratio"
echo "peak resident memory: $peak_mib MiB  (largest of $runs runs)"
echo "OccasionTallies.txt:  SHA-256 $sha"
echo "bench: ratio $ratio, peak $peak_mib MiB"
