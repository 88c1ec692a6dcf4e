#!/usr/bin/env bash
# Writes input/workbook.xlsx and input/workbook.ods beside the workbook.xls of
# every import case (make_workbooks.py), as other spreadsheet formats of the
# same workbook: the .ods with gnumeric's ssconvert (Debian gnumeric), the .xlsx
# with shared strings as the common spreadsheet programs write them
# (ssconvert's .xlsx, whose inline strings FreeXL reads as empty cells, read
# with openpyxl and written again with XlsxWriter: Debian python3-openpyxl,
# python3-xlsxwriter). The case of a file that is no workbook gets no copies,
# nor the case of a control character, which ssconvert drops on reading (and
# an .ods file cannot hold).
# The tests read the committed files, so they need no writer.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for workbook in "$here"/cases/*/input/workbook.xls; do
    input=$(dirname "$workbook")
    case $(basename "$(dirname "$input")") in rpdodef-import-notworkbook | rpdodef-import-control) continue ;; esac
    ssconvert -T Gnumeric_OpenCalc:odf "$workbook" "$input/workbook.ods"
    ssconvert -T Gnumeric_Excel:xlsx2 "$workbook" "$work/inline.xlsx"
    /usr/bin/python3 -W ignore -c '
import sys, openpyxl, xlsxwriter
book = xlsxwriter.Workbook(sys.argv[2])
for sheet in openpyxl.load_workbook(sys.argv[1]):
    copy = book.add_worksheet(sheet.title)
    for r, row in enumerate(sheet.iter_rows(values_only=True)):
        for c, value in enumerate(row):
            if value is not None:
                copy.write(r, c, value)
book.close()' "$work/inline.xlsx" "$input/workbook.xlsx"
done
