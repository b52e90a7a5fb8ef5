#!/usr/bin/python3
"""Writes the import benchmark's workbook: N people (default 60,000), each with
3 education, 3 position and 5 assessment lines, plus the matching dm.txt.
With --line-without-code each person's first education line names an
education that dm.txt has no code for, so every row reports one line.

Usage: make_bench_workbook.py [--line-without-code] FOLDER [N]
"""
import datetime
import os
import random
import sys

import xlwt

TITLES = ["序号", "姓名", "性别", "民族", "出生年月", "参加工作时间", "个人身份", "身份证号",
          "工龄调整(月)", "不计算工龄的大专以上学龄（年）", "学历", "执行基本工资对应职务",
          "从2006年开始的考核情况"]
SURNAMES = "王李张刘陈杨黄赵吴周徐孙马朱胡郭何高林罗"
GIVEN = "伟芳娜敏静丽强磊军洋勇艳杰娟涛明超秀霞平刚桂英华"
ETHNIC = ["汉族", "回族", "满族", "蒙古族"]
EDU = ["高中", "中专", "大专", "大学", "研究生"]
POS = ["办事员", "科员", "副科", "正科"]
KH = ["优秀", "合格", "基本合格"]
UNCODED = "技校"  # an education without a code in dm.txt


def id_number(r, born, sex):
    """A valid identity number, one of its own for each row, that agrees
    with the row's birth date and sex (1 male: an odd sex digit)."""
    digits = f"11{r % 10000:04d}{born:%Y%m%d}{(r // 10000) * 2 + (1 if sex == 1 else 0):03d}"
    weights = [7, 9, 10, 5, 8, 4, 2, 1, 6, 3, 7, 9, 10, 5, 8, 4, 2]
    return digits + "10X98765432"[sum(int(d) * w for d, w in zip(digits, weights)) % 11]


def main(folder, n, uncoded=False):
    os.makedirs(folder, exist_ok=True)
    rnd = random.Random(1)
    book = xlwt.Workbook(encoding="utf-8")
    sheet = book.add_sheet("人员")
    date_style = xlwt.easyxf(num_format_str="yyyy-mm-dd")
    for c, t in enumerate(TITLES):
        sheet.write(0, c, t)
    for r in range(1, n + 1):
        born = datetime.date(1960 + rnd.randrange(30), 1 + rnd.randrange(12), 1 + rnd.randrange(28))
        start_year = born.year + 20 + rnd.randrange(5)
        started = datetime.date(start_year, 1 + rnd.randrange(12), 1)
        edu = "\n".join(f"{start_year - 6 + 2 * i}.{1 + rnd.randrange(12):02d}"
                        f"{UNCODED if uncoded and i == 0 else EDU[i + rnd.randrange(3)]}" for i in range(3))
        pos = "\n".join(f"{start_year + 4 * i}.{1 + rnd.randrange(12):02d} {POS[i]}" for i in range(3))
        kh = "\n".join(f"{2006 + i}{KH[rnd.randrange(3)]}" for i in range(5))
        name = SURNAMES[rnd.randrange(20)] + GIVEN[rnd.randrange(24)] + GIVEN[rnd.randrange(24)]
        sex = 1 + rnd.randrange(2)
        row = [r, name, sex, ETHNIC[rnd.randrange(4)], None, None, "干部", id_number(r, born, sex),
               rnd.randrange(13), f"{rnd.randrange(5)}.{rnd.randrange(12):02d}", edu, pos, kh]
        for c, v in enumerate(row):
            if v is not None:
                sheet.write(r, c, v)
        sheet.write(r, 4, born, date_style)
        sheet.write(r, 5, started, date_style)
    book.save(os.path.join(folder, "bench.xls"))
    codes = [("1", "1"), ("2", "2"), ("汉族", "01"), ("回族", "03"), ("满族", "11"), ("蒙古族", "02"),
             ("研究生", "11"), ("大学", "21"), ("大专", "31"), ("中专", "41"), ("高中", "61"),
             ("正科", "21"), ("副科", "22"), ("科员", "31"), ("办事员", "32"),
             ("优秀", "1"), ("合格", "2"), ("基本合格", "3")]
    with open(os.path.join(folder, "dm.txt"), "wb") as f:
        for k, v in codes:
            f.write(f"{k}={v}\r\n".encode("gbk"))


if __name__ == "__main__":
    args = sys.argv[1:]
    uncoded = "--line-without-code" in args
    args = [a for a in args if a != "--line-without-code"]
    main(args[0], int(args[1]) if len(args) > 1 else 60000, uncoded)
