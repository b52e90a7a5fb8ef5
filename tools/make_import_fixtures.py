#!/usr/bin/python3
"""Writes the workbooks the import tests read (testdata/import/*.xls, *.xlsx).

    tools/make_import_fixtures.py              # the committed fixtures
    tools/make_import_fixtures.py --large N F  # N people with 11 history lines each, into F

Needs python3-xlwt and python3-openpyxl. The fixtures are committed; run this again only to change them.
"""
import datetime
import os
import sys

import xlwt

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "..", "testdata", "import")

TITLES = ["序号", "姓名", "性别", "民族", "出生年月", "参加工作时间", "个人身份", "身份证号",
          "工龄调整(月)", "不计算工龄的大专以上学龄（年）", "学历", "执行基本工资对应职务",
          "从2006年开始的考核情况"]

DATE = xlwt.easyxf(num_format_str="yyyy-mm-dd")


def write_sheet(path, titles, rows):
    book = xlwt.Workbook(encoding="utf-8")
    sheet = book.add_sheet("人员")
    for c, t in enumerate(titles):
        sheet.write(0, c, t)
    for r, row in enumerate(rows, start=1):
        for c, v in enumerate(row):
            if v is None:
                continue
            if isinstance(v, datetime.date):
                sheet.write(r, c, v, DATE)
            else:
                sheet.write(r, c, v)
    book.save(path)


def people_rows():
    d = datetime.date
    return [
        [1, "张三", "1", "汉族", d(1965, 3, 1), d(1985, 8, 1), "干部", "110101196503010011", 6, 3.06,
         "1980.07中专\n1985.07大学\n1999.12研究生", "1985.08科员\n1995.01 科长", "2006优秀\n2007 合格\n2008基本合格"],
        [2, "李四", "2", "01", "19x3", d(1990, 7, 1), "工人", "", "", "",
         "1990.07大学", "1990.08科员", "2006优秀"],
        [3, "王五", 2, "苗族", d(1970, 12, 31), d(1992, 9, 1), "干部", 110101701231002, "", 0.11,
         "1992.07大学", "1992.09科员", "2006合格\n1899优秀"],
        [],
        [5, "赵六", "1", "汉族", d(1970, 1, 1), d(1990, 1, 1), "干部", "", "", "", "", "", ""],
    ]


def write_xlsx(path, titles, rows):
    import openpyxl
    book = openpyxl.Workbook()
    sheet = book.active
    sheet.title = "人员"
    sheet.append(titles)
    for row in rows:
        sheet.append(row)
        for cell in sheet[sheet.max_row]:
            if isinstance(cell.value, datetime.date):
                cell.number_format = "yyyy-mm-dd"
    book.save(path)


def rare_rows():
    """Names, history names and codes with characters GBK lacks: 䶮 (extension
    A, a two-byte GB 18030 code), 𪚥 (extension B), 𫖯 (extension C) and 𬌗
    (extension E)."""
    d = datetime.date
    return [
        [1, "王䶮", "1", "𬌗族", d(1965, 3, 1), d(1985, 8, 1), "干部", "110101196503010011", "", "",
         "1985.07𬌗学", "1995.01𫖯长", "2006𬌗优"],
        [2, "周𫖯", "2", "汉族", d(1970, 1, 1), d(1990, 1, 1), "干部", "", "", "",
         "1990.07大学", "1990.08𪚥员", "2006优秀"],
        [3, "李𬌗", "1", "汉族", d(1971, 1, 1), d(1991, 1, 1), "工人", "", "", "",
         "1991.07䶮学", "", ""],
    ]


def identity_rows():
    """Identity numbers as clerks type them: 18 digits in a number cell (the
    last digits lost), an old 15-digit number in a number cell, a number
    repeated further down with a blank after it, one with a wrong check digit
    and 性别 written as 男."""
    d = datetime.date
    return [
        [1, "张三", "1", "汉族", d(1965, 3, 1), d(1985, 8, 1), "干部", 110101196503010011, "", "",
         "1985.07大学", "1985.08科员", "2006优秀"],
        [2, "李四", "2", "汉族", d(1970, 12, 31), d(1992, 9, 1), "干部", 110101701231002, "", "",
         "1992.07大学", "1992.09科员", "2006合格"],
        [3, "王五", "1", "汉族", d(1965, 3, 1), d(1985, 8, 1), "干部", "110101196503010011", "", "",
         "1985.07大学", "1985.08科员", "2006优秀"],
        [4, "赵六", "1", "汉族", d(1965, 3, 1), d(1985, 8, 1), "干部", "110101196503010011 ", "", "",
         "1985.07大学", "1985.08科员", "2006优秀"],
        [5, "钱七", "男", "汉族", d(1965, 3, 1), d(1985, 8, 1), "干部", "11010119650301001X", "", "",
         "1985.07大学", "1985.08科员", "2006优秀"],
    ]


def make_fixtures():
    os.makedirs(OUT, exist_ok=True)
    write_sheet(os.path.join(OUT, "people.xls"), TITLES, people_rows())
    # 个人身份 missing: the layout is refused.
    write_sheet(os.path.join(OUT, "layout_rejected.xls"), TITLES[:6] + TITLES[7:],
                [row[:6] + row[7:] for row in people_rows()[:1]])
    # Row 2 has every cell but the name: the sheet has no data rows, though
    # a named person follows.
    no_name = people_rows()[0]
    no_name[1] = None
    write_sheet(os.path.join(OUT, "no_data_rows.xls"), TITLES, [no_name, people_rows()[2]])
    write_sheet(os.path.join(OUT, "rare_names.xls"), TITLES, rare_rows())
    write_xlsx(os.path.join(OUT, "rare_names.xlsx"), TITLES, rare_rows())
    write_sheet(os.path.join(OUT, "identity.xls"), TITLES, identity_rows())
    write_xlsx(os.path.join(OUT, "identity.xlsx"), TITLES, identity_rows())


def make_large(count, path):
    rows = []
    base = datetime.date(1960, 1, 1)
    for i in range(count):
        rows.append([i + 1, "人员%05d" % i, "1" if i % 2 else "2", "汉族",
                     base + datetime.timedelta(days=i % 9000), datetime.date(1985, 8, 1), "干部",
                     "11010119650301%04d" % (i % 10000), i % 7, 3.06,
                     "1980.07中专\n1985.07大学\n1999.12大学",
                     "1985.08科员\n1990.01科员\n1995.01 科长\n2000.01科长",
                     "2006优秀\n2007 合格\n2008优秀\n2009合格"])
    write_sheet(path, TITLES, rows)


if __name__ == "__main__":
    if len(sys.argv) == 4 and sys.argv[1] == "--large":
        make_large(int(sys.argv[2]), sys.argv[3])
    else:
        make_fixtures()
