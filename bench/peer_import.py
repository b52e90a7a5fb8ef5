#!/usr/bin/python3
"""The script an IT person would write instead of the tool: xlrd + sqlite3,
the same mapping of one workbook into the personnel tables, in one transaction,
with the years put onto the education rows as they are inserted (no search).
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


def read_people(wb, dm, dept):
    """Each data row as (person values, education, positions, assessments):
    the person in the column order of the insert below, the history lines as
    value tuples without the person id. The years go onto the education rows
    of the last full-time date."""
    codes = load_codes(dm)
    book = xlrd.open_workbook(wb)
    sh = book.sheet_by_index(0)
    col = {str(sh.cell_value(0, c)): c for c in range(sh.ncols)}
    for r in range(1, sh.nrows):
        row = sh.row_values(r)
        name = text(row[col["姓名"]])
        if not name:
            break
        start = iso(book, row[col["参加工作时间"]])
        years = row[col["不计算工龄的大专以上学龄（年）"]]
        y = float(years) if years != "" else 0.0
        months = 12 * int(y) + int(round(y * 100)) % 100
        person = (dept, 12, name, "10", int(row[col["序号"]]), row[col["身份证号"]],
                  -int(row[col["工龄调整(月)"]]), codes.get(text(row[col["性别"]]), ""),
                  codes.get(row[col["民族"]], ""), iso(book, row[col["出生年月"]]), start,
                  row[col["个人身份"]], months)
        lines = []
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
                lines.append(("全日制" if full else "在职", d, code))
        education = [(m, d, c, int(y) if d == last_full and int(y) else None) for m, d, c in lines]
        positions = []
        for line in str(row[col["执行基本工资对应职务"]]).splitlines():
            line = line.strip()
            if len(line) < 5 or line[4] != ".":
                continue
            d = clamp(line[:4], "1900", "2100") + "-" + clamp(line[5:7], "01", "12") + "-01"
            code = codes.get(line[7:].strip(), "")
            if code:
                positions.append((d, code, code))
        assessments = []
        for line in str(row[col["从2006年开始的考核情况"]]).splitlines():
            line = line.strip()
            if not line[:4].isdigit() or not 1900 <= int(line[:4]) <= 2100:
                continue
            code = codes.get(line[4:].strip(), "")
            if code:
                assessments.append((int(line[:4]), int(code)))
        yield person, education, positions, assessments


def main(wb, db, dm, dept):
    con = sqlite3.connect(db)
    cur = con.cursor()
    for person, education, positions, assessments in read_people(wb, dm, dept):
        cur.execute("insert into ryjbxx (bm,jxqyf,xm,jkzk,bh,sfzh,kjgl,xb,mz,csny,gzsj,grsf,dzysxl)"
                    " values (?,?,?,?,?,?,?,?,?,?,?,?,?)", person)
        pid = cur.lastrowid
        cur.executemany("insert into ryxl (mid,xxxs,xlrq,xldm,dzysxl) values (?,?,?,?,?)",
                        [(pid,) + e for e in education])
        cur.executemany("insert into ryrz (mid,rzrq,rzzwdm,gzzwdm) values (?,?,?,?)", [(pid,) + p for p in positions])
        cur.executemany("insert into rykh (mid,khnd,khjg) values (?,?,?)", [(pid,) + a for a in assessments])
    con.commit()
    con.close()


if __name__ == "__main__":
    main(*sys.argv[1:5])
