#!/usr/bin/env bash
# Builds the fuzz targets with clang's libFuzzer and runs each for a bounded
# time on a seed corpus drawn from the tests and the example survey.
# Usage: fuzz/run-fuzz.sh SECONDS_PER_TARGET
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-60}"
build="$root/build-fuzz"
CXX=clang++ cmake -S "$root/fuzz" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j 2

seeds="$build/seeds"
rm -rf "$seeds"
mkdir -p "$seeds/free_form_fuzz" "$seeds/fixed_width_fuzz" "$seeds/whole_run_fuzz" "$seeds/import_csv_fuzz" \
  "$seeds/check_fuzz" "$seeds/picture_record_fuzz"
i=0
for line in '  42   remark' '2021 4 1' '2021, 4, 1' '3*0' '5,,7' '1/4/2021' '12abc' 'abc' \
            '7.5 -7.9 1e3 2d1' '.t true F' ', 5' '2* 9' '2147483648' '-2147483648' '+' '.'; do
  printf '\005%s\n%s\n' "$line" "$line" > "$seeds/free_form_fuzz/seed$((i++))"
done
printf '\005' | cat - "$root/examples/survey/Input.txt" > "$seeds/free_form_fuzz/input"
head -c 2000 "$root/examples/survey/AllPictures.txt" > "$seeds/fixed_width_fuzz/pictures"
printf '\003\002%s' '  7 07 7    -12 1 2 7a' > "$seeds/fixed_width_fuzz/fields"
head -c 2000 "$root/examples/survey/AllPictures.txt" > "$seeds/picture_record_fuzz/pictures"
printf '%-25s %-25s %s\n' A fox '20,9 -1 +2  6 1  0  x' A fox '2019 11 2 - 10 0  1' A fox ', 1' \
  > "$seeds/picture_record_fuzz/fields"
printf ' 256 ' > "$seeds/picture_record_fuzz/memory"
{
  cat "$root/examples/survey/Input.txt"; printf '@@@\n'
  head -n 60 "$root/examples/survey/AllPictures.txt"; printf '@@@\n30\n7\n\n'
} > "$seeds/whole_run_fuzz/survey"
printf 'title\n1\nA\n1\n2020 1 1 2020 1 20\n1\nfox\n@@@\n%-25s %-25s 2020  1  5 10 10 00  3\n@@@\n0\n7\n\n' A fox \
  > "$seeds/whole_run_fuzz/tiny"

# Import seeds: a delimiter byte, a chunk byte, then a table.
package="$root/tests/import/data/camtrap-dp-small"
for table in deployments observations media; do
  { printf '\000\003'; cat "$package/$table.csv"; } > "$seeds/import_csv_fuzz/$table"
done
printf '\003\001%s\n%s\n' '%d/%m/%Y %H:%M;b' '"21/03/2023 23:40";"x ""y"" z"' \
  > "$seeds/import_csv_fuzz/format"
printf '\002\005\357\273\277a\tb\r\n2023:03:20 19:05:12\t150\r\n' > "$seeds/import_csv_fuzz/tabs"

for survey in survey broken-survey; do
  { cat "$root/examples/$survey/Input.txt"; printf '@@@\n'; head -n 60 "$root/examples/$survey/AllPictures.txt"; } \
    > "$seeds/check_fuzz/$survey"
done

# A whole run may legally build a study near the 256 MiB matrix cap and write
# a result of hundreds of megabytes, which takes this build (sanitizers and
# coverage at -O1) a minute or more; only a run beyond that counts as a hang.
timeout_for() { [[ $1 == whole_run_fuzz ]] && echo 300 || echo 25; }

rm -f "$build"/crash-*
status=0
for target in free_form_fuzz fixed_width_fuzz whole_run_fuzz import_csv_fuzz check_fuzz picture_record_fuzz; do
  corpus="$build/corpus/$target"
  mkdir -p "$corpus"
  echo "== $target: $seconds s"
  (cd "$build" && ASAN_OPTIONS=allocator_may_return_null=1:detect_leaks=1 \
    "./$target" -max_total_time="$seconds" -timeout="$(timeout_for "$target")" -rss_limit_mb=3072 \
    -print_final_stats=1 -artifact_prefix="$build/crash-$target-" "$corpus" "$seeds/$target" \
    2>&1 | grep -E "^(stat::number_of_executed_units|stat::average_exec_per_sec|==.*ERROR|SUMMARY|invariant|INFO: Done)" ) \
    || true
  # Slow units are large but legal studies (a matrix near the cap); only
  # crashes, timeouts, leaks and memory blow-ups fail the run.
  failing=$(ls "$build"/crash-$target-* 2>/dev/null | grep -v -- '-slow-unit-' || true)
  if [[ -n $failing ]]; then
    echo "fuzz: $target found a failing input:"; echo "$failing"
    status=1
  fi
done
exit $status
