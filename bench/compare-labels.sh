#!/usr/bin/env bash
# Prints the same contacts as Avery 5160 labels to PDF with `postwick labels` and with gLabels'
# batch program, each timed as a whole process: the median of the runs, wall time and peak memory.
#
#   bench/compare-labels.sh [BUILD_DIR]      (default: build)
#
# COUNTS (default "3000 10000 100000") sets the label counts and RUNS (default 5) the runs of each.
# gLabels holds every label of a merge in memory (about a quarter of a megabyte each), so it runs
# only up to GLABELS_MAX labels (default 10000): 100,000 would take some 25 GB.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../build}
postwick=$(cd "$build" && pwd)/src/postwick
counts=${COUNTS:-"3000 10000 100000"}
runs=${RUNS:-5}
glabels_max=${GLABELS_MAX:-10000}

[[ -x $postwick ]] || { echo "no program at $postwick: build first" >&2; exit 1; }
command -v glabels-3-batch >/dev/null || { echo "needs gLabels: apt-get install glabels" >&2; exit 1; }
[[ -x /usr/bin/time ]] || { echo "needs GNU time: apt-get install time" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Postwick's application folder (the delivered margin corrections) lives under this home.
export HOME=$work

# N contacts in the layout of Postwick's own CSV export: unique names, an address each, every
# fifth with a second street line.
generate_csv() {
    awk -v n="$1" 'BEGIN {
        split("James Mary Robert Patricia John Jennifer Michael Linda David Elizabeth", first, " ")
        split("Smith Johnson Williams Brown Jones Garcia Miller Davis Rodriguez Martinez", last, " ")
        split("Springfield Riverside Franklin Greenville Bristol Clinton Fairview Salem Madison Georgetown", city, " ")
        split("IL CA TN SC VA MS OR MA WI KY", state, " ")
        print "First Name,MI,Last Name,Street1,Street2,City,State,Zip,Country,Company,Include Company in Address,Home Phone,Cell Phone,Work Phone,Email,Birthdate,Category,Notes"
        for (i = 1; i <= n; i++) {
            f = first[i % 10 + 1] i; l = last[int(i / 10) % 10 + 1]
            printf "%s,Q,%s,%d Northwest Evergreen Blvd,%s,%s,%s,%05d,USA,,0,,,,%s.%s@example.com,,,\n",
                   f, l, i % 9000 + 100, (i % 5 == 0 ? "Apt " i % 40 : ""), city[i % 10 + 1], state[i % 10 + 1],
                   (10000 + i * 7) % 100000, tolower(f), tolower(l)
        }
    }'
}

# The same label in gLabels: name, street and city lines from the CSV's columns, in Verdana 9.
write_glabels_document() {
    cat > "$1" <<DOC
<?xml version="1.0"?>
<Glabels-document xmlns="http://glabels.org/xmlns/3.0/">
  <Template brand="Avery" part="5160" size="US-Letter" description="Address Labels">
    <Meta category="label"/>
    <Label-rectangle id="0" width="2.625in" height="1in" round="0.0625in" x_waste="0in" y_waste="0in">
      <Markup-margin size="0.0625in"/>
      <Layout nx="3" ny="10" x0="0.15625in" y0="0.5in" dx="2.78125in" dy="1in"/>
    </Label-rectangle>
  </Template>
  <Objects id="0" rotate="False">
    <Object-text x="0.125in" y="0.125in" w="2.4in" h="0.75in" justify="Left" valign="Top" auto_shrink="False" a0="1" a1="0" a2="0" a3="1" a4="0" a5="0">
      <Span color="0x000000ff" font_family="Verdana" font_size="9" font_weight="Normal" font_italic="False" line_spacing="1">\${1} \${2} \${3}<NL/>\${4} \${5}<NL/>\${6}, \${7}  \${8}</Span>
    </Object-text>
  </Objects>
  <Merge type="Text/Comma" src="$2"/>
</Glabels-document>
DOC
}

# Runs the command `times` times; prints the median wall seconds and peak memory in MB.
measure() {
    local times=$1; shift
    local walls=() rss=()
    for ((r = 0; r < times; r++)); do
        /usr/bin/time -f '%e %M' -o "$work/time" "$@" >/dev/null 2>"$work/stderr" ||
            { echo "failed: $*" >&2; cat "$work/stderr" >&2; exit 1; }
        read -r wall kb < "$work/time"
        walls+=("$wall"); rss+=("$kb")
    done
    local mw mk
    mw=$(printf '%s\n' "${walls[@]}" | sort -g | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}')
    mk=$(printf '%s\n' "${rss[@]}" | sort -g | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}')
    echo "$mw $(awk -v k="$mk" 'BEGIN {printf "%.1f", k / 1024}')"
}

pages() { pdfinfo "$1" 2>/dev/null | awk '/^Pages:/ {print $2}'; }

echo "| labels | program | runs | wall time (median) | peak memory (median) | pages |"
echo "|---:|---|---:|---:|---:|---:|"
for n in $counts; do
    times=$runs
    generate_csv "$n" > "$work/contacts-$n.csv"
    "$postwick" import "$work/contacts-$n.dat" "$work/contacts-$n.csv" >/dev/null
    # gLabels merges every line, so it gets the rows without the heading.
    tail -n +2 "$work/contacts-$n.csv" > "$work/rows-$n.csv"
    write_glabels_document "$work/labels-$n.glabels" "$work/rows-$n.csv"

    read -r pw_wall pw_mb < <(measure "$times" "$postwick" labels "$work/contacts-$n.dat" -o "$work/postwick-$n.pdf")
    echo "| $n | postwick labels | $times | ${pw_wall} s | ${pw_mb} MB | $(pages "$work/postwick-$n.pdf") |"
    if (( n > glabels_max )); then
        echo "| $n | glabels-3-batch | | not run | | |"
        continue
    fi
    read -r gl_wall gl_mb < <(measure "$times" glabels-3-batch -o "$work/glabels-$n.pdf" "$work/labels-$n.glabels")
    echo "| $n | glabels-3-batch | $times | ${gl_wall} s | ${gl_mb} MB | $(pages "$work/glabels-$n.pdf") |"
    awk -v pw="$pw_wall" -v gw="$gl_wall" -v pm="$pw_mb" -v gm="$gl_mb" -v n="$n" 'BEGIN {
        printf "| %d | ratio | | %.1f times faster | %.2f of the memory | |\n", n, gw / (pw > 0 ? pw : 0.01), pm / gm }'
done
