#!/usr/bin/env bash
# The same scenarios through the native timingcalc-cli and a cross-built one:
# standard output, standard error, exit status and every file written must be
# the same bytes.
#
#   tests/cross/parity.sh NATIVE_CLI -- TARGET_COMMAND...
#
# TARGET_COMMAND runs the cross-built program, e.g. "qemu-aarch64
# build-arm64/timingcalc-cli". Each scenario runs in a
# folder of its own with the source as CDI.asm, named relative to it, so that
# no path differs between the two.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
top=$(cd "$here/../.." && pwd)
native=$(realpath "$1")
shift
[ "$1" = -- ] && shift
target=()
for word in "$@"; do  # the scenarios run elsewhere: files named relative to here become absolute
    if [ -f "$word" ]; then target+=("$(realpath "$word")"); else target+=("$word"); fi
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

passed=0
failed=0

# scenario NAME SOURCE ARGUMENTS... (CDI.asm is the file to name)
scenario() {
    local name=$1 source=$2
    shift 2
    local side
    for side in native target; do
        local dir="$work/$name/$side"
        mkdir -p "$dir"
        cp "$source" "$dir/CDI.asm"
        local status=0
        if [ $side = native ]; then
            (cd "$dir" && "$native" "$@" >stdout 2>stderr) || status=$?
        else
            (cd "$dir" && "${target[@]}" "$@" >stdout 2>stderr) || status=$?
        fi
        echo "$status" >"$dir/status"
    done
    if diff -r "$work/$name/native" "$work/$name/target" >"$work/$name.diff"; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        echo "parity: $name differs:" >&2
        head -20 "$work/$name.diff" >&2
    fi
}

sample="$top/examples/CDI.asm"
angles() { # 32 copies of the first argument, the rest replacing rows 1, 2, ...
    local list=() i
    for i in $(seq 1 32); do list+=("$1"); done
    shift
    i=0
    for a in "$@"; do list[$i]=$a; i=$((i + 1)); done
    (IFS=,; echo "${list[*]}")
}
rpm() { # the sample's speeds with some replaced: ROW=SPEED...
    local list=(600 800 1000 1200 1400 1610 1800 1990 2250 2490 2730 3000 3260 3550 4040 4340 4880 5100 5580
                5860 6510 6890 7320 7810 9010 9770 10650 13020 14650 16740 19530) pair
    for pair in "$@"; do list[$((${pair%%=*} - 2))]=${pair#*=}; done
    (IFS=,; echo "${list[*]}")
}

for table in 1 2 3; do
    for sensor in 0 15 20 25 35 40 99; do
        scenario "show_t${table}_s${sensor}" "$sample" show CDI.asm --table $table --sensor $sensor
        scenario "json_t${table}_s${sensor}" "$sample" show CDI.asm --table $table --sensor $sensor --json
    done
done
# Angles on the rounding edges: halves of a step, the range limits, "-".
scenario set_edges "$sample" set CDI.asm --angles "$(angles 20 19.65 20.2 20.3 20.35 20.4 -105.3 -105.6 71.8 72.1 - 0.4 8.1)"
scenario set_edges_s35_t3 "$sample" set CDI.asm --sensor 35 --table 3 --angles "$(angles 35 0 -90.6 86.9 35.35 34.65)"
scenario set_below_range "$sample" set CDI.asm --angles "$(angles 20 19 18 -105.65)"
scenario set_above_range "$sample" set CDI.asm --angles "$(angles 20 72.15)"
for spark in 0 50 63 65 69 75 100 200 1999; do
    scenario "set_spark_$spark" "$sample" set CDI.asm --spark $spark
done
scenario set_rpm_halves "$sample" set CDI.asm --rpm "$(rpm 2=1875 3=1876 16=3125 32=20000)"
scenario set_rpm_low "$sample" set CDI.asm --rpm "$(rpm 2=459)"
scenario set_rpm_high "$sample" set CDI.asm --rpm "$(rpm 32=20001)"
scenario set_to_out "$sample" set CDI.asm --table 2 --angles "$(angles 10 11.1 12.2 13.3)" -o out.asm
# Odd sources, each opened and saved.
for source in "$top"/tests/fuzz/corpus/reader/*; do
    base=$(basename "$source")
    scenario "show_${base}" "$source" show CDI.asm --json
    scenario "set_${base}" "$source" set CDI.asm --spark 72
done

echo "parity: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
