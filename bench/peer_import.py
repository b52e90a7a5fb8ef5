#!/usr/bin/python3
"""The script an IT person would write instead of the tool: xlrd + sqlite3,
the same mapping of one workbook into the personnel tables, in one transaction.
Used as the benchmark's peer. Usage: peer_import.py WORKBOOK DB DM_TXT DEPT
"""
import datetime
import sqlite3
import sys

import xlrd


def load_codes(path):
    codes = {}
    with open(path, "rb") as f:
        for raw in f.read().decode("gbk").splitlines():
            line = raw.strip()
            if "=" not in line:
                continue
            k, v = line.split("=", 1)
            if k.strip():
                codes[k.strip()] = v[:20].strip()
    return codes


def text(v):
    if isinstance(v, float):
        return str(int(v)) if v.is_integer() else repr(v)
    return str(v)


def iso(book, v):
    if isinstance(v, float):
        return datetime.datetime(*xlrd.xldate_as_tuple(v, book.datemode)).strftime("%Y-%m-%d")
    return str(v)


def clamp(s, lo, hi):
    return hi if max(s, lo) > hi else max(s, lo)


def main(wb, db, dm, dept):
    codes = load_codes(dm)
    book = xlrd.open_workbook(wb)
    sh = book.sheet_by_index(0)
    col = {str(sh.cell_value(0, c)): c for c in range(sh.ncols)}
    con = sqlite3.connect(db)
    cur = con.cursor()
    for r in range(1, sh.nrows):
        row = sh.row_values(r)
        name = text(row[col["姓名"]])
        if not name:
            break
        start = iso(book, row[col["参加工作时间"]])
        years = row[col["不计算工龄的大专以上学龄（年）"]]
        y = float(years) if years != "" else 0.0
        months = 12 * int(y) + int(round(y * 100)) % 100
        cur.execute("insert into ryjbxx (bm,jxqyf,xm,jkzk,bh,sfzh,kjgl,xb,mz,csny,gzsj,grsf,dzysxl)"
                    " values (?,?,?,?,?,?,?,?,?,?,?,?,?)",
                    (dept, 12, name, "10", int(row[col["序号"]]), row[col["身份证号"]],
                     -int(row[col["工龄调整(月)"]]), codes.get(text(row[col["性别"]]), ""),
                     codes.get(row[col["民族"]], ""), iso(book, row[col["出生年月"]]), start,
                     row[col["个人身份"]], months))
        pid = cur.lastrowid
        last_full = ""
        for line in str(row[col["学历"]]).splitlines():
            if len(line) < 5 or line[4] != ".":
                continue
            d = clamp(line[:4], "1900", "2100") + "-" + clamp(line[5:7], "01", "12") + "-01"
            full = d <= start
            if full:
                last_full = d
            code = codes.get(line[7:], "")
            if code:
                cur.execute("insert into ryxl (mid,xxxs,xlrq,xldm) values (?,?,?,?)",
                            (pid, "全日制" if full else "在职", d, code))
        if last_full and int(y):
            cur.execute("update ryxl set dzysxl=? where mid=? and xlrq=?", (int(y), pid, last_full))
        for line in str(row[col["执行基本工资对应职务"]]).splitlines():
            line = line.strip()
            if len(line) < 5 or line[4] != ".":
                continue
            d = clamp(line[:4], "1900", "2100") + "-" + clamp(line[5:7], "01", "12") + "-01"
            code = codes.get(line[7:].strip(), "")
            if code:
                cur.execute("insert into ryrz (mid,rzrq,rzzwdm,gzzwdm) values (?,?,?,?)", (pid, d, code, code))
        for line in str(row[col["从2006年开始的考核情况"]]).splitlines():
            line = line.strip()
            if not line[:4].isdigit() or not 1900 <= int(line[:4]) <= 2100:
                continue
            code = codes.get(line[4:].strip(), "")
            if code:
                cur.execute("insert into rykh (mid,khnd,khjg) values (?,?,?)", (pid, int(line[:4]), int(code)))
    con.commit()
    con.close()


if __name__ == "__main__":
    main(*sys.argv[1:5])
