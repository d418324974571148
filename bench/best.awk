# The summary of a bench's "measure: seconds" lines: the best (least) time of
# each measure over the rounds in t[], a table of the measures a caller names,
# and one line per ratio it prints. The caller's own END block (a second -f
# program) calls measures() and ratio().
BEGIN { FS = ": " }
{ if (!($1 in t) || $2 < t[$1]) t[$1] = $2 }
# The named measures (separated by spaces), then the head of the ratios.
function measures(names,    n, k, i) {
  printf "%-14s %9s   (best of the rounds, seconds)\n", "measure", "time"
  n = split(names, k, " ")
  for (i = 1; i <= n; i++) printf "%-14s %9.4f\n", k[i], t[k[i]]
  printf "\n%-52s %8s\n", "comparison", "ratio"
}
function ratio(label, value) { printf "%-52s %8.2f\n", label, value }
