#!/usr/bin/python3
"""Writes the generated .xls workbooks of the reader tests (python3-xlwt).

Usage: make_test_xls.py [FOLDER]   (default: testdata/sheet/xls beside this script)

The files are committed; run this again only to change them, and update the
expected values in sheet/tests/xls_generated_tests.cpp with them.
"""
import datetime
import os
import sys

import xlwt

HERE = os.path.dirname(os.path.abspath(__file__))


def style(fmt):
    return xlwt.easyxf(num_format_str=fmt)


def cell_types(folder):
    """Two sheets, the second active: every kind of cell value and the formats
    that must and must not count as dates."""
    book = xlwt.Workbook(encoding="utf-8")
    cover = book.add_sheet("封面")
    cover.write(0, 0, "不应读取的工作表")
    data = book.add_sheet("人员数据")
    rows = [
        ("姓名", "张三丰", None),
        ("多行", "第一行\n第二行\r\n第三行", None),
        ("整数", 42, None),
        ("负小数", -3.06, None),
        ("大数", 123456789012345.0, None),
        ("日期", datetime.date(1965, 3, 1), "yyyy-mm-dd"),
        ("中文日期", datetime.date(2006, 12, 31), 'yyyy"年"m"月"d"日"'),
        ("日期时间", datetime.datetime(2020, 2, 29, 13, 45, 30), "yyyy-mm-dd hh:mm:ss"),
        ("时间", datetime.time(8, 30), "h:mm"),
        ("中文数字", 12345.5, "[DBNum1]0"),
        ("金额", 1234.5, '#,##0.00"元"'),
        ("百分比", 0.25, "0%"),
        ("真", True, None),
        ("假", False, None),
    ]
    for r, (title, value, fmt) in enumerate(rows):
        data.write(r, 0, title)
        if fmt:
            data.write(r, 1, value, style(fmt))
        else:
            data.write(r, 1, value)
    r = len(rows)
    data.write(r, 0, "错误")
    data.row(r).set_cell_error(1, 0x2A)  # #N/A
    data.write(r + 1, 0, "除零")
    data.row(r + 1).set_cell_error(1, 0x07)  # #DIV/0!
    data.write(r + 2, 0, "富文本")
    data.row(r + 2).set_cell_rich_text(1, (("红色", xlwt.easyfont("color_index red")), "与黑色"))
    # A string longer than one record: the shared string table continues
    # across CONTINUE records, and the characters are split between them.
    data.write(r + 3, 0, "长文本")
    data.write(r + 3, 1, "工资" * 3000 + "END")
    data.write(r + 4, 0, "长英文")
    data.write(r + 4, 1, "x" * 9000 + "工")
    # Column IV is the last one; row 65536 the last row.
    data.write(65535, 255, "角落")
    book.set_active_sheet(1)
    book.save(os.path.join(folder, "gen_cell_types.xls"))


def dates_1904(folder):
    """The same dates in the 1904 date system, next to numbers that are not dates."""
    book = xlwt.Workbook(encoding="utf-8")
    book.dates_1904 = True
    sheet = book.add_sheet("日期1904")
    sheet.write(0, 0, datetime.date(1965, 3, 1), style("yyyy-mm-dd"))
    sheet.write(0, 1, 100)
    sheet.write(1, 0, datetime.datetime(2020, 2, 29, 13, 45, 30), style("yyyy/m/d h:mm:ss"))
    sheet.write(1, 1, 1.5)
    book.save(os.path.join(folder, "gen_dates_1904.xls"))


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(HERE, "..", "testdata", "sheet", "xls")
    os.makedirs(folder, exist_ok=True)
    cell_types(folder)
    dates_1904(folder)


if __name__ == "__main__":
    main()
