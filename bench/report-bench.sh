#!/usr/bin/env bash
# Measures the visual report on a large generated survey: 250 locations, 50 species, 2,000,000
# pictures over three years, 11-day occasions (100 occasions).
#
#   bash bench/report-bench.sh [BUILD_DIR]      (default: build; needs occasion-tallies,
#                                                survey-generator, chromium and chromedriver)
#
# Prints the time of the run with and without --report, the report's size, and the time
# headless Chromium takes to load and draw it (tests/report/report_browser_test.py --measure).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-build}
[[ $build == /* ]] || build=$root/$build
program=$build/occasion-tallies
generator=$build/bench/survey-generator
for tool in "$program" "$generator"; do
  [[ -x $tool ]] || { echo "report-bench: $tool is missing; build first" >&2; exit 1; }
done

work=$build/report-bench
survey_args=(--locations 250 --species 50 --pictures 2000000 --seed 20240601 --days 1095)
if [[ ! -f $work/AllPictures.txt ]]; then
  rm -rf "$work"
  "$generator" "${survey_args[@]}" --out "$work"
fi
cd "$work"
rm -f report.html
seconds() { awk -v ns="$1" 'BEGIN { printf "%.2f", ns / 1e9 }'; }
t0=$(date +%s%N)
"$program" run -p 30 -d 11 >/dev/null 2>&1
t1=$(date +%s%N)
"$program" run -p 30 -d 11 --report report.html >/dev/null 2>&1
t2=$(date +%s%N)
echo "report-bench: survey ${survey_args[*]}, answers 30 and 11"
echo "run without --report: $(seconds $((t1 - t0))) s; with --report: $(seconds $((t2 - t1))) s"
python3 "$root/tests/report/report_browser_test.py" --measure "$work/report.html" --out "$work"
