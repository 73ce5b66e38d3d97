#!/usr/bin/env bash
# The fuzz command: builds the libFuzzer targets of the platform-free core (fuzz preset) and runs
# each one in turn, from its committed corpus, for 10 million executions or 10 minutes, whichever
# comes first. Executions, coverage and findings per target go into docs/reliability.md, between
# its fuzz markers. Exits non-zero when a target found something; its input is kept under
# build/fuzz/findings/TARGET/.
# Usage: scripts/fuzz.sh [TARGET...]   (default: every target; FUZZ_RUNS, FUZZ_SECONDS override
# the limits for a shorter try)
set -euo pipefail
cd "$(dirname "$0")/.."
command=$(echo "scripts/fuzz.sh $*" | sed "s/ *$//")
runs=${FUZZ_RUNS:-10000000}
seconds=${FUZZ_SECONDS:-600}
[ -n "${FUZZ_RUNS:-}${FUZZ_SECONDS:-}" ] && command="FUZZ_RUNS=$runs FUZZ_SECONDS=$seconds $command"

scripts/install-deps.sh
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz >/dev/null

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for source in tests/fuzz/*.cpp; do targets+=("$(basename "$source" .cpp)"); done
fi

rows=""
found=0
for target in "${targets[@]}"; do
  work=build/fuzz/work/$target       # what this run adds; the committed corpus stays as it is
  findings=build/fuzz/findings/$target
  log=build/fuzz/logs/$target.log
  rm -rf "$work" "$findings"
  mkdir -p "$work" "$findings" "$(dirname "$log")"
  echo "Fuzzing $target ($runs runs or $seconds s)"
  status=0
  build/fuzz/fuzz_"$target" -runs="$runs" -max_total_time="$seconds" -print_final_stats=1 \
    -artifact_prefix="$findings/" "$work" "tests/fuzz/corpus/$target" >"$log" 2>&1 || status=$?
  # A target that stops at once prints no coverage line: a missing number is shown as "?".
  executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
  coverage=$(grep -o 'cov: [0-9]* ft: [0-9]*' "$log" | tail -1 | sed 's/cov: \([0-9]*\) ft: \([0-9]*\)/\1 | \2/' || true)
  seconds_used=$(sed -n 's/^Done [0-9]* runs in \([0-9]*\) second.*/\1/p' "$log" | tail -1)
  inputs=$(ls "$findings")
  if [ "$status" -ne 0 ] || [ -n "$inputs" ]; then
    found=1
    summary=$(grep -m1 -E 'ERROR: (AddressSanitizer|libFuzzer)|runtime error' "$log" | sed 's/^==[0-9]*== *//; s/|/\\|/g' || true)
    # The first frame in the project's own code says which check or which line failed.
    frame=$(grep -m1 -oE 'in [^ ]+ [^ ]*/(tests/fuzz|src)/[^ ]+' "$log" | sed 's|in \([^ ]*\) .*/\([^/]*\)$|\1 at \2|' || true)
    finding="exit $status: ${summary:-see log}${frame:+ in $frame}; input ${inputs:-none} in $findings"
  else
    finding="none"
  fi
  echo "  ${executions:-?} executions, cov | ft ${coverage:-? | ?}, findings: $finding"
  rows+="| $target | ${executions:-?} | ${seconds_used:-?} | ${speed:-?} | ${coverage:-? | ?} | $finding |"$'\n'
done

section="<!-- fuzz:begin -->
## Fuzzing

$(date -u '+%Y-%m-%d %H:%M UTC'), on $(nproc) cores, $(clang++-14 --version | head -1), command
\`$command\`: each target in turn, from its committed corpus under \`tests/fuzz/corpus/\`, for
$runs executions or $seconds seconds, whichever came first. cov and ft are libFuzzer's counts of
covered edges and features at the end of the run.

| target | executions | seconds | executions/s | cov | ft | findings |
| --- | ---: | ---: | ---: | ---: | ---: | --- |
$rows<!-- fuzz:end -->"

report=docs/reliability.md
mkdir -p docs
[ -f "$report" ] || printf '# Reliability\n\n<!-- fuzz:begin -->\n<!-- fuzz:end -->\n' >"$report"
if ! grep -q '^<!-- fuzz:begin -->$' "$report" || ! grep -q '^<!-- fuzz:end -->$' "$report"; then
  printf '\n<!-- fuzz:begin -->\n<!-- fuzz:end -->\n' >>"$report"
fi
SECTION="$section" python3 - "$report" <<'PY'
import os, sys
path = sys.argv[1]
text = open(path, encoding="utf-8").read()
begin = text.index("<!-- fuzz:begin -->")
end = text.index("<!-- fuzz:end -->", begin) + len("<!-- fuzz:end -->")
open(path, "w", encoding="utf-8").write(text[:begin] + os.environ["SECTION"] + text[end:])
PY
echo "Written to $report"
exit $found
