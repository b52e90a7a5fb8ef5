#!/usr/bin/python3
"""Writes the reader benchmark's workbooks: bench.xls (python3-xlwt) and
bench.xlsx (python3-openpyxl) with the same 65,536 rows x 20 columns of mixed
text, numbers and dates.

Usage: make_bench_workbooks.py FOLDER [ROWS]
"""
import datetime
import os
import random
import sys

COLUMNS = 20
SURNAMES = "王李张刘陈杨黄赵吴周徐孙马朱胡郭何高林罗"
GIVEN = "伟芳娜敏静丽强磊军洋勇艳杰娟涛明超秀霞平刚桂英华"
UNITS = ["财政局", "教育局", "卫生局", "人事局", "统计局"]


def row_values(rnd, r):
    """Column kinds repeat every five columns: a name, a repeated code text,
    a whole number, a decimal and a date."""
    values = []
    for c in range(COLUMNS):
        kind = c % 5
        if kind == 0:
            values.append(SURNAMES[rnd.randrange(20)] + GIVEN[rnd.randrange(24)] + str(r))
        elif kind == 1:
            values.append(UNITS[rnd.randrange(len(UNITS))])
        elif kind == 2:
            values.append(rnd.randrange(100000))
        elif kind == 3:
            values.append(rnd.randrange(10**6) / 100)
        else:
            values.append(datetime.date(1950, 1, 1) + datetime.timedelta(days=rnd.randrange(25000)))
    return values


def write_xls(path, rows):
    import xlwt
    book = xlwt.Workbook(encoding="utf-8")
    sheet = book.add_sheet("数据")
    date_style = xlwt.easyxf(num_format_str="yyyy-mm-dd")
    rnd = random.Random(7)
    for r in range(rows):
        for c, v in enumerate(row_values(rnd, r)):
            if isinstance(v, datetime.date):
                sheet.write(r, c, v, date_style)
            else:
                sheet.write(r, c, v)
        if r % 1000 == 999:
            sheet.flush_row_data()
    book.save(path)


def write_xlsx(path, rows):
    import openpyxl
    from openpyxl.cell import WriteOnlyCell
    book = openpyxl.Workbook(write_only=True)
    sheet = book.create_sheet("数据")
    rnd = random.Random(7)
    for r in range(rows):
        cells = []
        for v in row_values(rnd, r):
            cell = WriteOnlyCell(sheet, value=v)
            if isinstance(v, datetime.date):
                cell.number_format = "yyyy-mm-dd"
            cells.append(cell)
        sheet.append(cells)
    book.save(path)


def main():
    folder = sys.argv[1]
    rows = int(sys.argv[2]) if len(sys.argv) > 2 else 65536
    os.makedirs(folder, exist_ok=True)
    write_xls(os.path.join(folder, "bench.xls"), rows)
    write_xlsx(os.path.join(folder, "bench.xlsx"), rows)


if __name__ == "__main__":
    main()
