#!/bin/sh
# Gathers the TARGET lines of the benchmarks' output (file $1) into one table:
#   TARGET|<work>|<median>|<min>|<max>|<target>|<met: yes/no>
out="${1:?output file}"
echo
echo "Benchmark targets (median, min-max of this run)"
grep -a '^TARGET|' "$out" | awk -F'|' '
    { n++; work[n]=$2; med[n]=$3; lo[n]=$4; hi[n]=$5; tgt[n]=$6; met[n]=$7
      if (length($2) > w) w = length($2); if ($7 != "yes") missed++ }
    END {
        if (n == 0) { print "  (no TARGET lines)"; exit 1 }
        printf "%-" w "s  %10s  %21s  %10s  %s\n", "Work", "Median", "Range", "Target", "Met"
        for (i = 1; i <= n; i++)
            printf "%-" w "s  %10s  %21s  %10s  %s\n", work[i], med[i], lo[i] " - " hi[i], tgt[i], met[i]
        printf "\n%d of %d targets met\n", n - missed, n
    }'
