# Sets each figure against its limit or peer as bench/targets.tsv says, and
# prints the table: the rows with a target first, then those for information.
# Exits 1 when a target is missed, a figure it needs is missing or failed, or
# its peer was too unsteady to compare with (NOISY): repetitions whose times
# vary by more than max_cv (their coefficient of variation, in "cv/NAME"
# figures) say that the machine was busy, not what the code costs.
#
#   awk -f bench/table.awk FIGURES bench/targets.tsv
#   -v measured_only=1   leaves out the rows none of whose figures were measured
#   -v max_cv=0.3        the peer's largest coefficient of variation for a verdict
#
# FIGURES has "NAME<tab>VALUE<tab>UNIT" lines (UNIT: s, instructions, bytes),
# or "NAME<tab>error<tab>WHY".
BEGIN {
    FS = "\t"
    if (max_cv == "") max_cv = 0.3
}

FILENAME == ARGV[1] {
    if ($2 == "error") failed[$1] = $3
    else { value[$1] = $2; unit[$1] = $3 }
    next
}

/^#/ || NF == 0 { next }

{
    if (NF != 5) { print "bench/table.awk: " FILENAME ":" FNR ": needs 5 fields" > "/dev/stderr"; broken = 1; next }
    if (measured_only && !measured($2) && !measured($4)) next
    line = row($1, $2, $3, $4, $5)
    if ($5 == "-") info[++infos] = line
    else targeted[++targets] = line
}

END {
    print "| figure | ours | limit or peer | ratio | target | |"
    print "| --- | --- | --- | --- | --- | --- |"
    for (i = 1; i <= targets; i++) print targeted[i]
    for (i = 1; i <= infos; i++) print info[i]
    print ""
    if (misses) print misses " target(s) missed (MISS)."
    if (noisy)
        printf "%d target(s) not judged (NOISY): the peer's repetitions varied by more than %d %%, too much to compare with; run again on a quieter machine.\n", noisy, max_cv * 100
    if (!misses && !noisy) print "Every target holds (" targets " PASS)."
    exit (misses > 0 || noisy > 0 || broken)
}

function measured(list,    names, n, i) {
    if (list ~ /^=/) return 0
    n = split(list, names, / \+ /)
    for (i = 1; i <= n; i++) if (names[i] in value || names[i] in failed) return 1
    return 0
}

# The sum of the figures in a " + " list; sets `problem` when one is missing or failed.
function total(list,    names, n, i, sum) {
    n = split(list, names, / \+ /)
    sum = 0
    for (i = 1; i <= n; i++) {
        if (names[i] in failed) problem = names[i] ": " failed[names[i]]
        else if (!(names[i] in value)) problem = names[i] ": not measured"
        else { sum += value[names[i]]; shown_unit = unit[names[i]] }
    }
    return sum
}

function show(v, u) {
    if (u == "instructions") return sprintf("%.1f M", v / 1e6)
    if (u == "bytes") return sprintf("%.1f MiB", v / 1048576)
    if (v >= 1) return sprintf("%.2f s", v)
    if (v >= 1e-3) return sprintf("%.3g ms", v * 1e3)
    return sprintf("%.3g µs", v * 1e6)
}

function row(figure, ours_list, peer_label, peer_list, target,    ours, ours_unit, peer, ratio, verdict, limit) {
    problem = ""
    shown_unit = "s"
    ours = total(ours_list)
    ours_unit = shown_unit
    if (peer_list ~ /^=/) peer = substr(peer_list, 2) + 0
    else peer = total(peer_list)
    if (problem == "" && peer <= 0) problem = peer_list ": zero"
    if (problem != "") {
        if (target != "-") misses++
        return "| " figure " | error: " problem " | | | " (target == "-" ? "—" : "≤ " target) " | " (target == "-" ? "info" : "MISS") " |"
    }
    ratio = ours / peer
    if (target == "-") verdict = "info"
    else if (("cv/" peer_list) in value && value["cv/" peer_list] > max_cv + 0) { verdict = "NOISY"; noisy++ }
    else if (ratio <= target + 0) verdict = "PASS"
    else { verdict = "MISS"; misses++ }
    return sprintf("| %s | %s | %s: %s | %s | %s | %s |", figure, show(ours, ours_unit), peer_label, show(peer, ours_unit),
                   sprintf(ratio < 0.01 ? "%.4f" : "%.2f", ratio), target == "-" ? "—" : "≤ " target, verdict)
}
