#!/usr/bin/env bash
# Runs occasion-tallies on the bundled survey and shows the result.
#
#   bash examples/run-demo.sh PATH/TO/occasion-tallies        (`make demo` does this)
#
# The survey is copied to a scratch folder first (build/demo/ next to the program's build when
# that is writable, else a fresh temporary folder), because the program creates and removes
# SpeciesPics.txt and temp.txt and writes OccasionTallies.txt in the folder it runs in. The
# answers are 30 (independence period in minutes) and 7 (days per occasion), then Enter. The
# same survey is then run once more with `run ... --report` for its visual report, whose path
# is the last line printed.
set -euo pipefail

if [[ $# -ne 1 ]]; then
  echo "usage: bash examples/run-demo.sh PATH/TO/occasion-tallies" >&2
  exit 2
fi
program=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
if [[ ! -x $program ]]; then
  echo "run-demo: $1 is not an executable; build first (make build)" >&2
  exit 1
fi
survey=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/survey

scratch=$(dirname "$program")/demo
if ! { rm -rf "$scratch" && mkdir -p "$scratch"; } 2>/dev/null; then
  scratch=$(mktemp -d)
fi
cp "$survey/Input.txt" "$survey/AllPictures.txt" "$scratch/"

echo "== occasion-tallies in $scratch (answers: 30, 7, Enter)"
status=0
(cd "$scratch" && printf '30\n7\n\n' | "$program") || status=$?
if [[ $status -ne 0 ]]; then
  echo "run-demo: occasion-tallies ended with status $status" >&2
  exit "$status"
fi
echo
echo "== $scratch/OccasionTallies.txt"
cat "$scratch/OccasionTallies.txt"

# The visual report of the same survey and answers, by the run without questions.
echo
echo "== visual report (occasion-tallies run -p 30 -d 7 --report report.html)"
"$program" run -p 30 -d 7 -C "$scratch" --report report.html >/dev/null 2>&1 || status=$?
if [[ $status -ne 0 ]]; then
  echo "run-demo: occasion-tallies run --report ended with status $status" >&2
  exit "$status"
fi
echo "Open it in a browser: $scratch/report.html"
