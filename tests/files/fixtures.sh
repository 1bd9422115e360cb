#!/usr/bin/env bash
# Runs the files suite with what a Windows program under Wine cannot make for
# itself, made from the Linux side in the program's Wine prefix:
#   - links: Unix symbolic links, which Windows programs see as reparse-point
#     folders (and files), pointing at a decoy folder that must survive. They
#     are made in place, inside ready-made trees: Wine's MoveFile on a link
#     to a folder moves the folder it points at, not the link.
#   - a spare drive Q: mapped to a scratch folder, from which an empty path
#     can be tried without putting the drive that maps the Linux root at risk.
# The fixtures of one run are its own (several runs share the prefix), and
# are removed afterwards; rm never follows the links.
# Usage: fixtures.sh PREFIX RUNNER... PROGRAM [ARGS...]
set -uo pipefail
prefix=$1
shift

run=ny_fixtures_$$
dir="$prefix/drive_c/$run"
rm -rf "$dir"
mkdir -p "$dir/decoy/empty"
echo keep >"$dir/decoy/keep1.txt"
echo keep >"$dir/decoy/keep2.txt"

# trees\removal: files and folders around links to a folder with files and
# to an empty folder; trees\linkAsTree: a link itself. (No link to a file:
# Wine shows one as a plain file, and deleting it deletes the file it points
# at; no Windows program can tell it from a file there.)
mkdir -p "$dir/trees/removal/sub/deep"
echo a >"$dir/trees/removal/a.txt"
echo c >"$dir/trees/removal/sub/deep/c.txt"
ln -s "$dir/decoy" "$dir/trees/removal/sub/toDecoy"
ln -s "$dir/decoy/empty" "$dir/trees/removal/toEmpty"
ln -s "$dir/decoy/empty" "$dir/trees/linkAsTree"

# temproot: a temporary root whose unused process folders are a link and a
# folder holding one (no process id is 1 or 2 under Wine: ids are multiples
# of four).
mkdir -p "$dir/temproot/QND_TMP_FOLDER2/sub"
echo x >"$dir/temproot/QND_TMP_FOLDER2/x.txt"
ln -s "$dir/decoy" "$dir/temproot/QND_TMP_FOLDER1"
ln -s "$dir/decoy" "$dir/temproot/QND_TMP_FOLDER2/sub/toDecoy"

# The prefix must exist before its dosdevices folder is touched: Wine adds
# its own drives only to a prefix it creates from nothing, and its set-up
# hangs without them.
"$(dirname "$0")/../../scripts/wine-run.sh" --prefix "$prefix" --prepare

spare="$prefix/spare-drive"
mkdir -p "$spare/$run" "$prefix/dosdevices"
(
  flock 9
  [ -e "$prefix/dosdevices/q:" ] || ln -s "$spare" "$prefix/dosdevices/q:"
) 9>"$prefix.spare.lock"

export NY_TEST_FIXTURES="C:\\$run"
export NY_SPARE_FOLDER="Q:\\$run"
"$@"
rc=$?
rm -rf "$dir" "$spare/$run"
exit $rc
