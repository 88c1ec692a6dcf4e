#!/usr/bin/env bash
# The Wine part of scripts/test-windows.sh: runs the core tests and the
# tessaro-cli.exe round trip of the Windows build in BUILD_FOLDER under Wine,
# with the Wine prefix BUILD_FOLDER/wine. Fails when anything fails.
set -euo pipefail
cd "$(dirname "$0")/../.."
build=$(realpath "$1")
step() { printf '\n== %s\n' "$*"; }

# first_command, shared with the window tests' Wine scripts.
source scripts/windows/wine-prefix.sh

export WINEPREFIX=$build/wine WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine=$(first_command /usr/lib/wine/wine64 wine64 wine)
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    step "Wine prefix (once)"
    "$wine" wineboot --init
fi

windows_path() {  # the host path as Wine shows it to a program: drive Z:
    local path
    path=$(realpath -m "$1")
    printf 'Z:%s' "${path//\//\\}"
}

# Two COM ports for the serial tests, one below 10 and one above 9 (which
# opens only in the device form \\.\COM12): Wine's links to pseudo-terminals
# that a small holder keeps open for the run.
holder=$build/pty-holder
cc -O1 -o "$holder" scripts/windows/pty-holder.c
coproc ptys { exec "$holder" 2; }
trap 'kill "$ptys_PID" 2>/dev/null || true' EXIT
read -r first_pty <&"${ptys[0]}"
read -r second_pty <&"${ptys[0]}"
ln -sfn "$first_pty" "$WINEPREFIX/dosdevices/com5"
ln -sfn "$second_pty" "$WINEPREFIX/dosdevices/com12"
export TESSARO_TEST_COM_PORTS="COM5 COM12"

step "Core tests under Wine"
core_tests=0
(cd "$build" && "$wine" "$build/tests/tessaro_core_tests.exe" --gtest_brief=1) || core_tests=$?

step "tessaro-cli.exe round trip under Wine"
cli=$build/bin/tessaro-cli.exe
trip=$build/round-trip
rm -rf "$trip"
mkdir -p "$trip"
failures=0
check_same() {  # name produced expected
    if cmp -s "$2" "$3"; then
        echo "ok    $1"
    else
        echo "FAIL  $1: $2 differs from $3"
        failures=$((failures + 1))
    fi
}
run_cli() {  # name expected-exit-code arguments...
    local name=$1 expected=$2 code=0
    shift 2
    "$wine" "$cli" "$@" >"$trip/$name.out" 2>"$trip/$name.err" || code=$?
    if [ "$code" -ne "$expected" ]; then
        echo "FAIL  $name: exit code $code, not $expected"
        cat "$trip/$name.err"
        failures=$((failures + 1))
        return 1
    fi
}

# A project folder whose name is not ASCII: it reaches the program through
# the wide-character command line and the system as UTF-16.
project=$trip/"Anlage Süd °1"
for case_dir in tests/data/image/*/; do
    name=$(basename "$case_dir")
    rm -rf "$project" && mkdir -p "$project/bin"
    find "$case_dir" -maxdepth 1 -name '*.xml' -exec cp {} "$project/" \;
    if run_cli "image-$name" 0 image "$(windows_path "$project")"; then
        check_same "image $name" "$project/bin/bank.bin" "$case_dir/bank.bin"
    fi
done
for case_dir in tests/data/gsd/*/; do
    name=$(basename "$case_dir")
    rm -rf "$project" && mkdir -p "$project/bin"
    find "$case_dir" -maxdepth 1 -name '*.xml' -exec cp {} "$project/" \;
    if run_cli "gsd-$name" 0 gsd "$(windows_path "$project")" "$(windows_path "$project/device.gsd")"; then
        check_same "gsd $name" "$project/device.gsd" "$case_dir/expected.gsd"
    fi
done
rm -rf "$project" && mkdir -p "$project/bin"
cp tests/data/image/worked-example/*.xml "$project/"
run_cli check-worked-example 0 check "$(windows_path "$project")" && echo "ok    check worked-example"

# The address map's first line names the project as given on the command
# line; the expected texts name it by the case folder.
for case_dir in tests/data/addressmap/*/; do
    name=$(basename "$case_dir")
    rm -rf "$project" && mkdir -p "$project"
    find "$case_dir" -maxdepth 1 -name '*.xml' -exec cp {} "$project/" \;
    if run_cli "map-$name" 0 map "$(windows_path "$project")"; then
        {
            printf 'Address map of %s\n' "$(windows_path "$project")"
            tail -n +2 "$case_dir/expected.txt"
        } >"$trip/map-$name.expected"
        check_same "map $name" "$trip/map-$name.out" "$trip/map-$name.expected"
    fi
done

# The tree of a document, or the reader's message for a broken one.
for case_dir in tests/data/tree/*/; do
    name=$(basename "$case_dir")
    cp "$case_dir/input.xml" "$project/input.xml"
    if [ -f "$case_dir/expected-error.txt" ]; then
        run_cli "tree-$name" 1 tree "$(windows_path "$project/input.xml")" &&
            check_same "tree $name" "$trip/tree-$name.err" "$case_dir/expected-error.txt"
    elif run_cli "tree-$name" 0 tree "$(windows_path "$project/input.xml")"; then
        check_same "tree $name" "$trip/tree-$name.out" "$case_dir/expected.txt"
    fi
done

# The firmware generator on the firmware cases: bank files and the expected
# result as the core tests make them, the messages on standard error.
for case_dir in tests/data/firmware/*/; do
    name=$(basename "$case_dir")
    rm -rf "$project" && mkdir -p "$project/out"
    cp "$case_dir/sx31570.sx" "$project/"
    python3 scripts/windows/firmware-case.py "$case_dir" "$project/bin" "$trip/firmware-$name.expected"
    if [ ! -f "$case_dir/expected.sx" ]; then
        # A run that writes no result leaves the one of an earlier run.
        printf 'earlier' >"$trip/firmware-$name.expected"
        cp "$trip/firmware-$name.expected" "$project/out/New_sx31570.sx"
    fi
    expected_exit=1
    [ "$(head -n 1 "$case_dir/outcome")" = "results 1 1 1 1 1" ] && expected_exit=0
    if run_cli "firmware-$name" "$expected_exit" firmware "$(windows_path "$project/sx31570.sx")" \
        "$(windows_path "$project/bin")" "$(windows_path "$project/out")"; then
        tail -n +2 "$case_dir/outcome" >"$trip/firmware-$name.messages"
        check_same "firmware $name" "$project/out/New_sx31570.sx" "$trip/firmware-$name.expected"
        check_same "firmware $name messages" "$trip/firmware-$name.err" "$trip/firmware-$name.messages"
        check_same "firmware $name keeps the firmware" "$project/sx31570.sx" "$case_dir/sx31570.sx"
        # No intermediate stays behind.
        ls "$project/out" >"$trip/firmware-$name.entries"
        check_same "firmware $name cleans up" "$trip/firmware-$name.entries" <(echo New_sx31570.sx)
    fi
done

# The CANopen editors' import and export on the editor cases
# (tests/data/canopen/cases/<document>-<import|load>-<name>): input/ is the
# project folder, expected/ holds what was read (content.txt), the document
# the import writes and the CSV file of the export. A failure in content.txt
# is the command's message; the messages about sdo.xml, and entries left out,
# are warnings. The CSV files are written in Windows-1252, the golden ones are
# kept in UTF-8.
shopt -u patsub_replacement 2>/dev/null || true
expected_messages() {  # content.txt windows-project-folder: the expected standard error
    local line text
    while IFS= read -r line; do
        case $line in
            "failure: "* | "message: "*)
                text=${line#*: }
                text=${text//<project>\//$2\\}
                if [[ $line == "message: "* && $text == *" SDO XML"* ]]; then echo "warning: $text"; else echo "$text"; fi
                ;;
            "left out: 1") echo "warning: 1 entry beyond the rows of the tables could not be placed and were left out" ;;
            "left out: "*) echo "warning: ${line#left out: } entries beyond the rows of the tables could not be placed and were left out" ;;
        esac
    done <"$1"
}
for case_dir in tests/data/canopen/cases/*/; do
    name=$(basename "$case_dir")
    document=${name%%-*}
    kind=${name#*-}
    kind=${kind%%-*}
    # The SDO and the PROFIBUS-to-PDO tables have no command.
    case $document in rpdodef | sdopdo | emcydef | emcyword) ;; *) continue ;; esac
    rm -rf "$project" && mkdir -p "$project"
    cp -r "$case_dir/input/." "$project/"
    wproject=$(windows_path "$project")
    expected_messages "$case_dir/expected/content.txt" "$wproject" >"$trip/$name.messages"
    # The import's "OK" may refuse what was read.
    if [ "$kind" = import ] && [ -f "$case_dir/expected/save-failure.txt" ]; then
        cat "$case_dir/expected/save-failure.txt" >>"$trip/$name.messages"
    fi
    # A message that is no warning fails the command, which then writes nothing.
    expected_exit=0
    grep -qv '^warning: ' "$trip/$name.messages" && expected_exit=1
    if [ "$kind" = import ]; then
        output=$document.xml
        run_cli "$name" "$expected_exit" import "$wproject" "$document" "$wproject\\workbook.xls" || continue
    else
        output=$document.csv
        run_cli "$name" "$expected_exit" export "$wproject" "$document" || continue
        iconv -f UTF-8 -t CP1252 "$case_dir/expected/$output" >"$trip/$name.csv"
    fi
    check_same "$kind $name messages" "$trip/$name.err" "$trip/$name.messages"
    if [ "$expected_exit" -ne 0 ]; then
        if [ -e "$project/$output" ] && ! cmp -s "$project/$output" "$case_dir/input/$output"; then
            echo "FAIL  $kind $name: wrote $output"
            failures=$((failures + 1))
        else
            echo "ok    $kind $name writes nothing"
        fi
    elif [ "$kind" = import ]; then
        check_same "import $name" "$project/$output" "$case_dir/expected/$output"
    else
        check_same "export $name" "$project/$output" "$trip/$name.csv"
    fi
    # The workbook of the document holds the case's records before the one
    # that ends the import, so importing it writes the case's document.
    workbook=tests/data/canopen/workbooks/$document.xls
    if [ "$kind" = import ] && [ "$expected_exit" -ne 0 ] && [ -f "$workbook" ] &&
        [ -f "$case_dir/expected/$output" ]; then
        rm -rf "$project" && mkdir -p "$project"
        cp -r "$case_dir/input/." "$project/"
        if run_cli "$name-workbook" 0 import "$wproject" "$document" "$(windows_path "$workbook")"; then
            check_same "import $name from $document.xls" "$project/$output" "$case_dir/expected/$output"
        fi
    fi
done

if [ "$failures" -ne 0 ]; then
    echo "tessaro-cli.exe round trip: $failures failed"
else
    echo "tessaro-cli.exe round trip: all passed"
fi
if [ "$core_tests" -ne 0 ]; then echo "Core tests under Wine: failed (exit code $core_tests)"; fi
[ "$failures" -eq 0 ] && [ "$core_tests" -eq 0 ]
