#!/usr/bin/python3
"""The script an IT person would write instead of `gzimport export`: sqlite3
and openpyxl's write-only mode, the same query (a department's people in id
order, their education, position and assessment rows by person and date),
codes written as their first text in dm.txt, the rows as the import's lines.
Used as the export benchmark's peer. Usage: peer_export.py DB DM_TXT DEPT OUT.xlsx
"""
import datetime
import sqlite3
import sys

from openpyxl import Workbook

TITLES = ["序号", "姓名", "性别", "民族", "身份证号", "出生年月", "参加工作时间", "个人身份", "工龄调整(月)",
          "扣减从1993年到2006年除见习期外年度考订不计考核等不合格年限", "不计算工龄的大专以上学龄（年）",
          "学历", "执行基本工资对应职务", "从2006年开始的考核情况"]


def first_texts(path):
    """code -> the first text of the file whose code it is (the last line of a key wins)."""
    entries = []
    with open(path, "rb") as f:
        for raw in f.read().decode("gbk").splitlines():
            line = raw.strip()
            if "=" not in line:
                continue
            k, v = line.split("=", 1)
            if k.strip():
                entries.append((k.strip(), v[:20].strip()))
    final = dict(entries)
    texts = {}
    for k, v in entries:
        if v and final[k] == v:
            texts.setdefault(v, k)
    return texts


def text(v):
    if v is None:
        return ""
    if isinstance(v, float) and v.is_integer():
        return str(int(v))
    return str(v)


def day(v):
    return datetime.date.fromisoformat(v) if v else None


def rows_by_person(db, sql, dept):
    """(mid, row) in mid order, one pass over the table."""
    return db.execute(sql, (dept + "%",))


def main(db_path, dm_path, dept, out):
    codes = first_texts(dm_path)
    db = sqlite3.connect(db_path)
    people = db.execute("select * from ryjbxx where bm like ? order by id", (dept + "%",))
    cols = [d[0] for d in people.description]
    tables = {
        "ryxl": rows_by_person(db, "select mid,xlrq,xldm from ryxl where mid in (select id from ryjbxx where bm "
                                   "like ?) order by mid,xlrq", dept),
        "ryrz": rows_by_person(db, "select mid,rzrq,rzzwdm from ryrz where mid in (select id from ryjbxx where bm "
                                   "like ?) order by mid,rzrq", dept),
        "rykh": rows_by_person(db, "select mid,khnd,khjg from rykh where mid in (select id from ryjbxx where bm "
                                   "like ?) order by mid,khnd", dept),
    }
    pending = {t: next(c, None) for t, c in tables.items()}

    def lines(table, pid, form):
        out_lines = []
        while pending[table] is not None and pending[table][0] <= pid:
            r = pending[table]
            if r[0] == pid:
                out_lines.append(form(r))
            pending[table] = next(tables[table], None)
        return "\n".join(out_lines)

    book = Workbook(write_only=True)
    sheet = book.create_sheet("人员")
    sheet.append(TITLES)
    for p in people:
        p = dict(zip(cols, p))
        pid = p["id"]
        months = p["dzysxl"]
        college = "%s%d.%02d" % ("-" if months < 0 else "", abs(months) // 12, abs(months) % 12) if months else None
        dated = lambda r: r[1][:4] + "." + r[1][5:7] + codes.get(text(r[2]), text(r[2]))
        sheet.append([
            p["bh"], p["xm"], codes.get(text(p["xb"]), text(p["xb"])), codes.get(text(p["mz"]), text(p["mz"])),
            text(p["sfzh"]), day(p["csny"]), day(p["gzsj"]), p["grsf"], -p["kjgl"] if p["kjgl"] else None,
            p["kjtgnf"] or None, college,
            lines("ryxl", pid, dated), lines("ryrz", pid, dated),
            lines("rykh", pid, lambda r: str(r[1]) + codes.get(text(r[2]), text(r[2]))),
        ])
    book.save(out)


if __name__ == "__main__":
    main(*sys.argv[1:5])
