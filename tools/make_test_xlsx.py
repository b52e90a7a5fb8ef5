#!/usr/bin/env python3
"""Writes the generated .xlsx test workbooks into testdata/sheet/xlsx/.

Run with the system Python that has python3-openpyxl (Debian package):
    /usr/bin/python3 tools/make_test_xlsx.py
The outputs are committed; the tests never run this script. Each workbook
holds one case per row: column A names the case, column B holds the cell.
"""
import datetime
import os

from openpyxl import Workbook
from openpyxl.chart import BarChart, Reference
from openpyxl.utils.datetime import CALENDAR_MAC_1904

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "testdata", "sheet", "xlsx")

# (case, value, number format or None). The order is the row order the tests rely on.
CELL_FORMS = [
    ("whole", 1, None),
    ("decimal", 3.06, None),
    ("negative", -12, None),
    ("sum", 0.1 + 0.2, None),
    ("date", datetime.datetime(1965, 3, 1), "yyyy-mm-dd"),
    ("datetime", datetime.datetime(1965, 3, 1, 8, 5, 9), "yyyy-mm-dd h:mm:ss"),
    ("cjk date", datetime.datetime(1993, 7, 1), 'yyyy"年"m"月"d"日"'),
    ("builtin 14", datetime.datetime(2000, 2, 29), "mm-dd-yy"),
    ("elapsed", 10.632, "[h]:mm:ss"),
    ("dbnum", 12345.5, "[DBNum2][$-804]General"),
    ("yuan", 12345.5, '#,##0.00"元"'),
    ("true", True, None),
    ("false", False, None),
    ("text", "张三丰", None),
    ("multiline", "第一行\n第二行", None),
    ("date text", "1965-3-1", None),
    ("error", "#N/A", None),
    ("formula", "=1+1", None),  # openpyxl stores no cached result: the cell reads as empty
    ("outside gbk", "A\U0001F600B", None),
    ("leading zero", "0102", None),
]


def cell_forms():
    wb = Workbook()
    first = wb.active
    first.title = "其它"
    first["A1"] = "not the active sheet"
    ws = wb.create_sheet("人员")
    for row, (case, value, fmt) in enumerate(CELL_FORMS, start=1):
        ws.cell(row=row, column=1, value=case)
        c = ws.cell(row=row, column=2, value=value)
        if fmt:
            c.number_format = fmt
    wb.active = 1
    wb.save(os.path.join(OUT, "gen_cell_forms.xlsx"))


def date1904():
    wb = Workbook()
    wb.epoch = CALENDAR_MAC_1904
    ws = wb.active
    ws.title = "Sheet1"
    ws["A1"] = "date"
    ws["B1"] = datetime.datetime(1965, 3, 1, 12, 0, 0)
    ws["B1"].number_format = "yyyy-mm-dd h:mm"
    ws["A2"] = "plain"
    ws["B2"] = 100
    wb.save(os.path.join(OUT, "gen_date1904.xlsx"))


def chartsheet_active():
    wb = Workbook()
    ws = wb.active
    ws.title = "数据"
    for i in range(1, 4):
        ws.append([i, i * 10])
    chart = BarChart()
    chart.add_data(Reference(ws, min_col=2, min_row=1, max_row=3))
    cs = wb.create_chartsheet("图表", 0)
    cs.add_chart(chart)
    wb.active = 0
    wb.save(os.path.join(OUT, "gen_chartsheet_active.xlsx"))


if __name__ == "__main__":
    os.makedirs(OUT, exist_ok=True)
    cell_forms()
    date1904()
    chartsheet_active()
