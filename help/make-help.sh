#!/usr/bin/env bash
# Builds the help file from the topics in topics/ and the help tables in
# tables/ (see README.md):
#   OUT_DIR/project/        what the help compiler reads: the topics, one small
#                           page per help id (ctx/hXXXXXXXX.htm), the popup texts
#                           (cshelp.txt with cshelp.h) and Dervane.hhp
#   OUT_DIR/include/help/HelpTables.h
#                           the program's help tables, for its dialogs
#   CHM                     the compiled help file
# Stops with a message when a table is malformed or names an anchor that its
# topic does not have.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
out=${1:?usage: make-help.sh OUT_DIR CHM}
chm=${2:?usage: make-help.sh OUT_DIR CHM}
project=$out/project
header=$out/include/help/HelpTables.h
rm -rf "$project"
mkdir -p "$project/ctx" "$(dirname "$header")" "$(dirname "$chm")"

cp "$here"/topics/*.htm "$here"/topics/help.css "$here/Dervane.hhc" "$here/Dervane.hhk" "$project/"

# Every row of every table, checked, as: dialog, topic, control, kind,
# anchor, label, text (tab-separated; "?" for ids not known yet).
rows=$project/rows.tsv
awk -F '\t' '
  function fail(msg) { printf "make-help: %s:%d: %s\n", FILENAME, FNR, msg > "/dev/stderr"; bad = 1; exit 1 }
  FNR == 1 { dialog = ""; delete seen }
  /^[[:space:]]*(#|$)/ { next }
  $1 == "dialog" {
    if (dialog != "") fail("a second dialog line")
    if (NF != 4) fail("dialog line: dialog, id, topic, title")
    if ($2 != "?" && ($2 !~ /^[0-9]+$/ || $2 + 0 > 32767)) fail("dialog id " $2)
    dialog = $2; topic = $3
    next
  }
  {
    if (dialog == "") fail("rows before the dialog line")
    if ($1 != "?" && ($1 !~ /^[0-9]+$/ || $1 + 0 > 65535)) fail("control id " $1)
    if ($2 == "own") {
      if (NF != 5 || $3 == "" || $4 == "" || $5 == "") fail("own row: control, own, anchor, label, text")
    } else if ($2 == "ok" || $2 == "cancel" || $2 == "apply") {
      if (NF != 2) fail("shared row: control and ok, cancel or apply only")
    } else fail("kind " $2 " (own, ok, cancel or apply)")
    if ($1 != "?" && ($1 in seen)) fail("control " $1 " twice")
    seen[$1] = 1
    print dialog "\t" topic "\t" $1 "\t" $2 "\t" $3 "\t" $4 "\t" $5
  }
' "$here"/tables/*.txt >"$rows"

# Every own row's anchor stands in its topic.
while IFS=$'\t' read -r dialog topic control kind anchor label text; do
  [ "$kind" = own ] || continue
  [ -f "$project/$topic" ] || { echo "make-help: no topic $topic (dialog $dialog)" >&2; exit 1; }
  grep -q "name=\"$anchor\"" "$project/$topic" ||
    { echo "make-help: $topic has no anchor \"$anchor\" (dialog $dialog, control $control)" >&2; exit 1; }
done <"$rows"

# Help ids, popups, per-id pages and the C++ tables.
awk -F '\t' -v project="$project" -v header="$header" '
  function hex(d, c) { return sprintf("%04X%04X", 32768 + d, c) }
  function html(s) { gsub(/&/, "\\&amp;", s); gsub(/</, "\\&lt;", s); gsub(/>/, "\\&gt;", s); gsub(/"/, "\\&quot;", s); return s }
  {
    n++; dlg[n] = $1; top[n] = $2; ctl[n] = $3; kind[n] = $4; anc[n] = $5; lab[n] = $6; txt[n] = $7
    if ($4 == "own" && $1 != "?" && $3 != "?") owner[$1 "/" $3] = n
  }
  END {
    shared["ok"] = "103/1038"; shared["cancel"] = "102/1034"; shared["apply"] = "102/1033"
    for (s in shared) {
      if (!(shared[s] in owner)) { print "make-help: no own row for the shared " s " (" shared[s] ")" > "/dev/stderr"; exit 1 }
      split(shared[s], p, "/"); sharedId[s] = hex(p[1], p[2])
    }
    popups = project "/cshelp.txt"; defines = project "/cshelp.h"
    print "/* Help ids of the popup texts in cshelp.txt. */" > defines
    for (i = 1; i <= n; i++) {
      if (dlg[i] == "?" || ctl[i] == "?" || kind[i] != "own") continue
      id = hex(dlg[i], ctl[i])
      if (id in written) continue
      written[id] = 1
      printf ".topic IDH_%s\n%s\n\n", id, txt[i] > popups
      printf "#define IDH_%s 0x%s\n", id, id > defines
      page = project "/ctx/h" id ".htm"
      printf "<html>\n<head><title>%s</title><link rel=\"stylesheet\" type=\"text/css\" href=\"../help.css\"></head>\n", html(lab[i]) > page
      printf "<body class=\"popup\">\n<p><b>%s</b></p>\n<p>%s</p>\n", html(lab[i]), html(txt[i]) > page
      printf "<p class=\"more\"><a href=\"../%s#%s\">More about this</a></p>\n</body>\n</html>\n", top[i], anc[i] > page
      close(page)
      pages[++npages] = "ctx/h" id ".htm"
    }
    print "// The program'"'"'s help ids, made by help/make-help.sh from help/tables/*.txt:" > header
    print "// change those tables, not this file." > header
    print "#pragma once\n" > header
    print "// A control'"'"'s help id is 0x80000000 + dialog id * 0x10000 + control id;" > header
    print "// every OK, Cancel and Apply button shares the id of one of them." > header
    printf "inline constexpr unsigned long kHelpIdOk = 0x%sUL;\n", sharedId["ok"] > header
    printf "inline constexpr unsigned long kHelpIdCancel = 0x%sUL;\n", sharedId["cancel"] > header
    printf "inline constexpr unsigned long kHelpIdApply = 0x%sUL;\n\n", sharedId["apply"] > header
    print "// In the help file: the page of a help id (printf format), and the popup" > header
    print "// texts with the file that gives their names their ids." > header
    print "inline constexpr char kHelpPageFormat[] = \"ctx/h%08lX.htm\";" > header
    print "inline constexpr char kHelpPopupFile[] = \"cshelp.txt\";" > header
    print "inline constexpr char kHelpPopupIdFile[] = \"cshelp.h\";\n" > header
    ntables = 0
    for (i = 1; i <= n; i++) {
      if (dlg[i] == "?" || ctl[i] == "?") continue
      if (!(dlg[i] in opened)) {
        if (ntables) print "    0, 0};\n" > header
        opened[dlg[i]] = 1; tables[++ntables] = dlg[i]; tableTopic[dlg[i]] = top[i]
        printf "// Dialog %s (%s): control id, help id, ..., 0, 0.\n", dlg[i], top[i] > header
        printf "inline constexpr unsigned long kHelpTable%s[] = {\n", dlg[i] > header
      }
      id = kind[i] == "own" ? hex(dlg[i], ctl[i]) : sharedId[kind[i]]
      printf "    %s, 0x%sUL,\n", ctl[i], id > header
    }
    if (ntables) print "    0, 0};\n" > header
    print "struct HelpTable {\n    unsigned dialog;\n    const unsigned long* pairs;\n    const char* topic;\n};\n" > header
    print "// Every dialog whose id is known, with its table and topic." > header
    print "inline constexpr HelpTable kHelpTables[] = {" > header
    for (t = 1; t <= ntables; t++)
      printf "    {%s, kHelpTable%s, \"%s\"},\n", tables[t], tables[t], tableTopic[tables[t]] > header
    print "};" > header
    for (k = 1; k <= npages; k++) print pages[k] > (project "/pages.txt")
  }
' "$rows"

# The project file. The context-sensitive help goes through the per-id pages
# rather than [ALIAS]/[MAP] sections, whose topic names this compiler writes
# as absolute paths of the build machine.
{
  cat <<'EOF'
[OPTIONS]
Compatibility=1.1 or later
Compiled file=Dervane.chm
Contents file=Dervane.hhc
Index file=Dervane.hhk
Default topic=index.htm
Display compile progress=No
Full-text search=Yes
Language=0x409 English (United States)
Title=Dervane Help

[FILES]
EOF
  (cd "$project" && ls ./*.htm | sed 's|^\./||')
  cat "$project/pages.txt"
  echo help.css
  echo cshelp.txt
  echo cshelp.h
} >"$project/Dervane.hhp"

(cd "$project" && chmcmd --no-html-scan Dervane.hhp >"$project/chmcmd.log" 2>&1) ||
  { cat "$project/chmcmd.log" >&2; echo "make-help: chmcmd failed" >&2; exit 1; }
[ -s "$project/Dervane.chm" ] || { cat "$project/chmcmd.log" >&2; echo "make-help: no Dervane.chm" >&2; exit 1; }
cp "$project/Dervane.chm" "$chm"
