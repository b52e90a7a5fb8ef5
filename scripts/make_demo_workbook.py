#!/usr/bin/python3
"""Writes the demo workbook (staff.xls) and code file (dm.txt, GB 18030) into a folder.

The workbook has the column titles a payroll office uses, one person per row,
with multi-line education, position and assessment cells. A few cells are
deliberately imperfect (a name without a code, a bad line) so the demo shows
what the error pane reports, and one name holds a character GBK lacks (𪚥, of
CJK extension B), which the tool keeps as it is.
"""
import datetime
import os
import sys

import xlwt

TITLES = [
    "序号", "姓名", "性别", "民族", "出生年月", "参加工作时间", "个人身份", "身份证号",
    "工龄调整(月)", "扣减从1993年到2006年除见习期外年度考订不计考核等不合格年限",
    "不计算工龄的大专以上学龄（年）", "学历", "执行基本工资对应职务", "从2006年开始的考核情况",
]

PEOPLE = [
    # name, sex, ethnic, born, started, status, id card, adj, deduct, college, edu, positions, assessments
    ("张伟", 1, "汉族", (1968, 3, 1), (1990, 7, 15), "干部", "110101196803011235", 6, "", "3.06",
     "1986.07中专\n1990.07大学", "1990.07 科员\n1996.10副科\n2003.12正科", "2006优秀\n2007合格\n2008合格"),
    ("王芳", 2, "汉族", (1972, 11, 20), (1994, 8, 1), "干部", "110101197211204329", "", 1, "2",
     "1994.07大学\n2001.06研究生", "1994.08 科员\n2002.01副科", "2006合格\n2007 优秀\n2008基本合格"),
    ("李娜", 2, "回族", (1980, 5, 9), (2002, 9, 1), "工人", "110101198005091129", "", "", "",
     "1998.07高中\n2002.07大专", "2002.09 办事员", "2006合格\n2007合格"),
    ("刘洋", 1, "满族", (1975, 1, 30), (1996, 3, 1), "干部", "110101197501302234", -3, "", "4",
     "1996.01大学", "1996.03 科员\n2005.06副科", "2006优秀\n2007优秀\n2008优秀"),
    ("陈静", 2, "汉族", (1985, 8, 18), (2008, 7, 1), "工人", "110101198508183324", "", "", "",
     "2004.07中专\n2010.12大专", "2008.07 工勤", "2008合格\n2009年优秀"),
    ("杨𪚥", 1, "蒙古族", (1963, 12, 5), (1983, 10, 1), "干部", "11010119631205445X", 12, 2, "",
     "1983.07中专", "1983.10 科员\n1990.01副科\n1998.05正科", "2006合格\n2007合格\n2008合格"),
]


def main(folder):
    os.makedirs(folder, exist_ok=True)
    book = xlwt.Workbook(encoding="utf-8")
    sheet = book.add_sheet("人员")
    date_style = xlwt.easyxf(num_format_str="yyyy-mm-dd")
    for col, title in enumerate(TITLES):
        sheet.write(0, col, title)
    for r, p in enumerate(PEOPLE, start=1):
        name, sex, ethnic, born, started, status, idcard, adj, deduct, college, edu, pos, kh = p
        values = [r, name, sex, ethnic, None, None, status, idcard, adj, deduct, college, edu, pos, kh]
        for col, v in enumerate(values):
            if v is None or v == "":
                continue
            sheet.write(r, col, v)
        sheet.write(r, 4, datetime.date(*born), date_style)
        sheet.write(r, 5, datetime.date(*started), date_style)
    book.save(os.path.join(folder, "staff.xls"))

    codes = [
        ("1", "1"), ("2", "2"),
        ("汉族", "01"), ("蒙古族", "02"), ("回族", "03"), ("满族", "11"),
        ("研究生", "11"), ("大学", "21"), ("大专", "31"), ("中专", "41"), ("高中", "61"),
        ("正科", "21"), ("副科", "22"), ("科员", "31"), ("办事员", "32"),
        ("优秀", "1"), ("合格", "2"), ("基本合格", "3"), ("不合格", "4"),
    ]
    with open(os.path.join(folder, "dm.txt"), "wb") as f:
        for key, code in codes:
            f.write(f"{key}={code}\r\n".encode("gb18030"))


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "demo")
