#!/usr/bin/env bash
# bench/table.awk's verdicts, one named case a line: a figure against a limit or
# a peer, PASS or MISS by the target, NOISY when the peer's repetitions varied
# too much to compare with, and the exit status that scripts/bench passes on.
set -euo pipefail
table="$(cd "$(dirname "$0")/../.." && pwd)/bench/table.awk"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

# name | figures ("NAME=VALUE[:UNIT]", spaces between) | target row | verdict | exit status
while IFS='|' read -r name figures target verdict status; do
  : >"$work/figures"
  for figure in $figures; do
    value=${figure#*=} unit=s
    [[ $value == *:* ]] && unit=${value#*:} value=${value%%:*}
    printf '%s\t%s\t%s\n' "${figure%%=*}" "$value" "$unit" >>"$work/figures"
  done
  printf '%s\n' "$target" | tr '~' '\t' >"$work/targets"
  set +e
  out=$(awk -f "$table" "$work/figures" "$work/targets")
  got_status=$?
  set -e
  got=$(awk -F'|' 'NR == 3 { gsub(/ /, "", $7); print $7 }' <<<"$out")
  if [[ $got != "$verdict" || $got_status != "$status" ]]; then
    echo "FAIL $name: verdict $got (want $verdict), exit $got_status (want $status)"
    echo "$out"
    failures=$((failures + 1))
  else
    echo "ok   $name"
  fi
done <<'CASES'
steady peer, within the target|ours=0.00014 peer=0.0001 cv/peer=0.1:ratio|f~ours~peer~peer~1.5|PASS|0
steady peer, over the target|ours=0.00016 peer=0.0001 cv/peer=0.1:ratio|f~ours~peer~peer~1.5|MISS|1
unsteady peer, within the target|ours=0.00014 peer=0.0001 cv/peer=0.5:ratio|f~ours~peer~peer~1.5|NOISY|1
unsteady peer, over the target|ours=0.00016 peer=0.0001 cv/peer=0.5:ratio|f~ours~peer~peer~1.5|NOISY|1
peer at the steadiness limit|ours=0.00014 peer=0.0001 cv/peer=0.3:ratio|f~ours~peer~peer~1.5|PASS|0
unsteady ours, steady peer, over the target|ours=0.00016 cv/ours=0.9:ratio peer=0.0001 cv/peer=0.1:ratio|f~ours~peer~peer~1.5|MISS|1
peer without repetitions|ours=0.00014 peer=0.0001|f~ours~peer~peer~1.5|PASS|0
unsteady peer, for information|ours=0.00016 peer=0.0001 cv/peer=0.5:ratio|f~ours~peer~peer~-|info|0
limit|ours=0.0002|f~ours~limit~=0.001~1|PASS|0
peer not measured|ours=0.0002|f~ours~peer~peer~1.5|MISS|1
CASES

[[ $failures == 0 ]] || { echo "$failures case(s) failed"; exit 1; }
