#!/usr/bin/env bash
# Writes the workbooks and CSV files of the access table tests with gnumeric's
# ssconvert (Debian gnumeric), as a spreadsheet user's program saves them. Its
# .xlsx files hold their texts as inline strings, which FreeXL reads as empty
# cells; like the files of the common spreadsheet programs, the .xlsx fixtures
# hold shared strings: ssconvert's workbook read with openpyxl and written
# again with XlsxWriter (Debian python3-openpyxl, python3-xlsxwriter). The tests read the committed files, so they need no
# writer. Run from anywhere.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
shared_strings() {  # from to
    # openpyxl reads the inline strings; XlsxWriter writes texts as shared strings.
    /usr/bin/python3 -W ignore -c '
import sys, openpyxl, xlsxwriter
book = xlsxwriter.Workbook(sys.argv[2])
for sheet in openpyxl.load_workbook(sys.argv[1]):
    copy = book.add_worksheet(sheet.title)
    for r, row in enumerate(sheet.iter_rows(values_only=True)):
        for c, value in enumerate(row):
            if value is not None:
                copy.write(r, c, value)
book.close()' "$1" "$2"
}
header='Address Register,Address ProfiBus High,Address ProfiBus Low,Mnemonic'
printf '%s\r\n' "$header" '100,0,1,Température moteur' '0x1A,2,3,"Speed, actual"' '65535,20,19,"He said ""go"""' \
    '$FF,4,5,' '7,6,7,Pump 2' >"$work/in.csv"
printf '%s\r\n' "$header" '200,0,1,Setpoint' '201,10,9,Mode' >"$work/out.csv"
{
    printf '%s\r\n' "$header"
    for i in $(seq 0 243); do printf '%s\r\n' "$((1000 + i)),$((i % 244)),$(((i + 1) % 244)),Register $((i + 1))"; done
} >"$work/rows-244.csv"
for table in in out; do
    ssconvert -T Gnumeric_Excel:xlsx2 "$work/$table.csv" "$work/$table.xlsx"
    shared_strings "$work/$table.xlsx" "$here/table-$table.xlsx"
    ssconvert -T Gnumeric_OpenCalc:odf "$work/$table.csv" "$here/table-$table.ods"
    ssconvert -T Gnumeric_Excel:excel_biff8 "$work/$table.csv" "$here/table-$table.xls"
    ssconvert -T Gnumeric_stf:stf_csv "$work/$table.csv" "$here/table-$table.csv"
done
ssconvert -T Gnumeric_Excel:xlsx2 "$work/rows-244.csv" "$work/rows-244.xlsx"
shared_strings "$work/rows-244.xlsx" "$here/rows-244.xlsx"
