#!/usr/bin/python3
"""Writes the .xls workbooks of the CANopen tests with xlwt (Debian python3-xlwt).

Run from anywhere; the workbooks land beside this script, in workbooks/ and in
the case folders' input/ (as workbook.xls). The tests read the committed files,
so they need no writer. A cell given as None stays empty; int and float become
numbers, str becomes text.
"""
import os

import xlwt

HERE = os.path.dirname(os.path.abspath(__file__))


def book(relative, sheets):
    path = os.path.join(HERE, relative)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    workbook = xlwt.Workbook(encoding="utf-8")
    for name, rows in sheets:
        sheet = workbook.add_sheet(name)
        for r, row in enumerate(rows):
            for c, value in enumerate(row):
                if value is not None:
                    sheet.write(r, c, value)
    workbook.save(path)


def case(name, sheets):
    book(os.path.join("cases", name, "input", "workbook.xls"), sheets)


RPDODEF_HEADER = ["cobid", "id_dev_orig", "en_bypass", "posind", "n_tpdo"]

# The spreadsheet service itself.
book("workbooks/values.xls", [
    ("Values", [["number", "fraction", "text", "empty"],
                [4096, 1.5, "0x1000", None],
                [0.1, -3, 1e20, "Temp\u00e9rature"],
                [None, None, None, 2.0]]),
    ("HeaderOnly", [["a", "b"]]),
])

# Translate PDO.
case("rpdodef-import-capitals", [
    ("Notes", [["not", "this"], [1, 2]]),
    ("RPDODEF", [RPDODEF_HEADER,
                 ["0x181", 1, "01", 4, 5],
                 [385, 2, 0, None, 6],
                 [512, 3, 11, 7, 8],
                 ["$2A0", None, 10, 1, 2],
                 [100, 4, 1, "x,y", "text"]]),
])
case("rpdodef-import-nosheet", [("Sheet1", [RPDODEF_HEADER, [1, 2, 0, 3, 4]]),
                                ("rpdodef_old", [RPDODEF_HEADER, [1, 2, 0, 3, 4]])])
# A control character in a text cell of row 4: no document could hold it, so
# the sheet is refused whole, rows 2 and 3 included.
case("rpdodef-import-control", [("rpdodef", [RPDODEF_HEADER,
                                             [1, 1, 1, 1, 1],
                                             [2, 2, 0, 2, "Tank level"],
                                             [3, 3, 0, 3, "Tank\u0001level"]])])
case("rpdodef-import-fewcolumns", [("rpdodef", [RPDODEF_HEADER[:4], [1, 2, 0, 3]])])
case("rpdodef-import-badcode", [("rpdodef", [RPDODEF_HEADER,
                                             [1, 1, 1, 1, 1],
                                             [2, 2, 10, 2, 2],
                                             [3, 3, "yes", 3, 3],
                                             [4, 4, 0, 4, 4]])])
case("rpdodef-import-badkey", [("rpdodef", [RPDODEF_HEADER, [1, 1, 1, 1, 1], ["abc", 2, 1, 2, 2]])])
case("rpdodef-import-overflow", [("rpdodef", [RPDODEF_HEADER] + [[100 + i, i, 0, i, i] for i in range(12)]
                                  + [[900, 9, 10, 9, 9]])])

# Set SDO Access.
case("sdo-import-directions", [("Sdo", [
    ["conf", "IndexA", "SubindexA", "devIDB", "IndexB", "SubindexB", "nbyteB", "mnemonico"],
    [16, "0x2000", 1, 5, "0x1000", 0, 2, "speed"],
    [17, 8192, 2, 6, 4096, 1, 4, None],
    [0, 1, 2, 3, 4, 5, 6, "a, b"],
    [33, 9, 9, 9, 9, 9, 9, "second, RW clear"],
    [None, 7, 7, 7, 7, 7, 7, "ends the import"],
    [0, 8, 8, 8, 8, 8, 8, "not imported"]])])
book("workbooks/sdo-1500.xls", [("sdo", [["conf", "IndexA", "SubindexA", "devIDB", "IndexB", "SubindexB", "nbyteB",
                                          "mnemonico"]]
                                 + [[(i % 2) + 16 * (i % 3 == 0), 0x2000 + i // 2, i % 256, 1 + i % 127,
                                     "0x%04X" % (0x1000 + i), i % 8, 1 + i % 4, "entry %d" % i]
                                    for i in range(1500)])])

# Store PDO: the project of the case holds rpdodef.xml with three PDOs of CanA
# (en_bypass bit 1 clear) and two of CanB.
SDOPDO_ROWS = [["index", "subindex", "nrpdo", "poscomp"],
               ["0x2000", 1, 1, 35],
               [8192, 2, 129, 18],
               [3000, 1, 9, 0],
               [3001, 0, 2, None],
               [3002, 0, 130, 1],
               [5, 5, 0, 0],
               [6, 6, 1, 1]]
case("sdopdo-import-entries", [("SDOPDO", SDOPDO_ROWS)])
# The records of each import case before the one that ends it: what tessaro-cli
# imports without a failure.
book("workbooks/sdopdo.xls", [("sdopdo", SDOPDO_ROWS[:6])])

# Translate EMCY.
EMCY_HEADER = ["id_dev", "mask_eq_ec", "mask_eq_er", "mask_eq_m1", "mask_eq_m2", "mask_eq_m3", "enmask_eq_ec",
               "enmask_eq_er", "enmask_eq_m1", "enmask_eq_m2", "enmask_eq_m3", "bypass_set"]
EMCY_ROWS = [EMCY_HEADER,
             [5, "0xFF00", 255, None, 1, 2, 3, 4, 5, 6, 7, 0],
             ["0x10", 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 35],
             [3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 17],
             [4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 32],
             [9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, None],
             [8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 0]]
case("emcydef-import-pages", [("emcydef", EMCY_ROWS)])
book("workbooks/emcydef.xls", [("emcydef", EMCY_ROWS[:5])])

# EMCY word: 52 columns.
def word(index, subindex, extdata, devid, seed):
    row = [index, subindex, extdata, devid]
    for k in range(16):
        row += [seed + k, None if k == 1 else "0x%02X" % k, 16 * (k % 9) + (k % 5)]
    return row


EMCYWORD_HEADER = ["index_addrm", "subindex", "extdata", "devid"] + \
    [name % k for k in range(16) for name in ("bit%d_b0", "bit%d_b1", "bit%d_poscomp")]
EMCYWORD_ROWS = [EMCYWORD_HEADER,
                 word("0x3000", 1, 0, 2, 10),
                 word(12288, 1, 1, 3, 20),
                 word(12289, 0, 2, 4, 30),
                 word(12290, 2, 0, 1, 40),
                 word(1, 1, "x", 1, 50),
                 word(2, 2, 0, 2, 60)]
case("emcyword-import-pages", [("EmcyWord", EMCYWORD_ROWS)])
book("workbooks/emcyword.xls", [("emcyword", EMCYWORD_ROWS[:5])])


def text_file(relative, text):
    path = os.path.join(HERE, relative)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", newline="") as out:
        out.write(text)


# A file named like a workbook that is text.
text_file("cases/rpdodef-import-notworkbook/input/workbook.xls", "cobid,id_dev_orig\r\n0x181,1\r\n")
