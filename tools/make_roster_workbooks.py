#!/usr/bin/python3
"""Writes personnel rosters as departments send them, in .xls and .xlsx, with
the demo's people (scripts/make_demo_workbook.py), so an import of any of them
stores what an import of the demo's staff.xls stores:

    roster_banner      a title banner merged across the columns and a line
                       "填报单位: …" above the header in row 3; a totals line
                       合计 and a signature line 制表人 below the people
    roster_two_rows    a header over rows 2 and 3: 基本情况 merged over 出生年月,
                       参加工作时间 and 个人身份, the other titles merged over both rows
    roster_other_names the header in row 1 with other names (出生日期, 公民身份号码,
                       人员身份, 编号) and titles written with blanks, a full-width
                       blank, a no-break space and a line break
    roster_own_names   the header in row 1 with names the tool does not know
                       (生日, 入职时间 written over two lines, 职工身份): the
                       operator maps them to the titles the import reads
    roster_second_sheet  the active first sheet 说明 holds a note only; the
                       roster (titles in row 1) is the second sheet 人员
    roster_hidden      the roster with sheet rows 3 and 5 hidden (in the .ods
                       file one hidden by hand, one filtered out)

The last two are also written as .ods: a package written here by hand, as
no office suite is needed to make them.

    tools/make_roster_workbooks.py FOLDER

Needs python3-xlwt and python3-openpyxl.
"""
import datetime
import os
import sys
import zipfile
from xml.sax.saxutils import escape, quoteattr

import openpyxl
import xlwt

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "scripts"))
import make_demo_workbook as demo  # noqa: E402

GROUP = "基本情况"
GROUPED = ["出生年月", "参加工作时间", "个人身份"]  # under the group title, columns 5 to 7
OTHER_NAMES = {
    "序号": "编号", "姓名": "姓 名", "性别": "性\u3000别", "民族": "民\u00a0族", "出生年月": "出生日期",
    "参加工作时间": "参加工作\n时间", "个人身份": "人员身份", "身份证号": "公民身份号码",
}

# Names no roster convention gives these titles: only the operator can say what they are.
OWN_NAMES = {"出生年月": "生日", "参加工作时间": "入职\n时间", "个人身份": "职工身份"}


def person_cells(number, person):
    name, sex, ethnic, born, started, status, idcard, adj, deduct, college, edu, pos, kh = person
    return [number, name, sex, ethnic, datetime.date(*born), datetime.date(*started), status, idcard, adj, deduct,
            college, edu, pos, kh]


def footer_rows():
    total = [None] * len(demo.TITLES)
    total[1] = "合计: %d人" % len(demo.PEOPLE)
    signed = [None] * len(demo.TITLES)
    signed[1] = "制表人: 王会计"
    signed[6] = "审核人: 李科长"
    return [total, signed]


def shapes():
    """name -> (rows above the people as (cells, merges), footer rows); a
    merge is (first row, last row, first column, last column), from 0."""
    width = len(demo.TITLES)
    banner = ["市财政局预算科人员花名册"] + [None] * (width - 1)
    filled = ["填报单位: 预算科"] + [None] * 5 + ["填报日期: 2024-01-05"] + [None] * (width - 7)
    upper = [t if t not in GROUPED else None for t in demo.TITLES]
    upper[4] = GROUP
    lower = [t if t in GROUPED else None for t in demo.TITLES]
    two_row_merges = [(0, 0, 0, width - 1), (1, 1, 4, 6)] + [(1, 2, c, c) for c in range(width) if c not in (4, 5, 6)]
    other = [OTHER_NAMES.get(t, t) for t in demo.TITLES]
    return {
        "roster_banner": ([banner, filled, list(demo.TITLES)], [(0, 0, 0, width - 1)], footer_rows()),
        "roster_two_rows": ([banner, upper, lower], two_row_merges, []),
        "roster_other_names": ([other], [], []),
        "roster_own_names": ([[OWN_NAMES.get(t, t) for t in demo.TITLES]], [], []),
    }


def all_rows(top, footer):
    people = [person_cells(n, p) for n, p in enumerate(demo.PEOPLE, start=1)]
    return top + people + footer


NOTE_SHEET = ("说明", [["本表为预算科人员花名册"], ["人员见第2个工作表"]])
HIDDEN_ROWS = {2: "collapsed", 4: "filter"}  # from 0: sheet rows 3 and 5, how the .ods file hides each


def write_xls(path, rows, merges, hidden=(), before=None):
    book = xlwt.Workbook(encoding="utf-8")
    if before:
        note = book.add_sheet(before[0])
        for r, row in enumerate(before[1]):
            for c, v in enumerate(row):
                note.write(r, c, v)
    sheet = book.add_sheet("人员")
    for r in hidden:
        sheet.row(r).hidden = True
    date_style = xlwt.easyxf(num_format_str="yyyy-mm-dd")
    merged = {(r1, c1): (r1, r2, c1, c2) for r1, r2, c1, c2 in merges}
    covered = {(r, c) for r1, r2, c1, c2 in merges for r in range(r1, r2 + 1) for c in range(c1, c2 + 1)}
    for r, row in enumerate(rows):
        for c, v in enumerate(row):
            if (r, c) in merged:
                r1, r2, c1, c2 = merged[(r, c)]
                sheet.write_merge(r1, r2, c1, c2, v)
            elif (r, c) in covered or v is None or v == "":
                continue
            elif isinstance(v, datetime.date):
                sheet.write(r, c, v, date_style)
            else:
                sheet.write(r, c, v)
    book.save(path)


def write_xlsx(path, rows, merges, hidden=(), before=None):
    book = openpyxl.Workbook()
    sheet = book.active
    if before:
        sheet.title = before[0]
        for row in before[1]:
            sheet.append(row)
        sheet = book.create_sheet("人员")
    else:
        sheet.title = "人员"
    for r in hidden:
        sheet.row_dimensions[r + 1].hidden = True
    for r, row in enumerate(rows, start=1):
        for c, v in enumerate(row, start=1):
            if v is None or v == "":
                continue
            cell = sheet.cell(row=r, column=c, value=v)
            if isinstance(v, datetime.date):
                cell.number_format = "yyyy-mm-dd"
    for r1, r2, c1, c2 in merges:
        sheet.merge_cells(start_row=r1 + 1, end_row=r2 + 1, start_column=c1 + 1, end_column=c2 + 1)
    book.save(path)


ODS_NS = ('xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" '
          'xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0" '
          'xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"')


def ods_cell(v):
    if v is None or v == "":
        return "<table:table-cell/>"
    if isinstance(v, datetime.date):
        return '<table:table-cell office:value-type="date" office:date-value="%s"/>' % v.isoformat()
    if isinstance(v, (int, float)):
        return '<table:table-cell office:value-type="float" office:value="%s"/>' % v
    paragraphs = "".join("<text:p>%s</text:p>" % escape(line) for line in str(v).split("\n"))
    return '<table:table-cell office:value-type="string">%s</table:table-cell>' % paragraphs


def write_ods(path, sheets):
    """sheets: (name, rows, {row from 0: "collapsed" or "filter"}) in tab order."""
    tables = []
    for name, rows, hidden in sheets:
        body = []
        for r, row in enumerate(rows):
            visibility = ' table:visibility="%s"' % hidden[r] if r in hidden else ""
            body.append("<table:table-row%s>%s</table:table-row>" % (visibility, "".join(ods_cell(v) for v in row)))
        tables.append("<table:table table:name=%s>%s</table:table>" % (quoteattr(name), "".join(body)))
    content = ('<?xml version="1.0" encoding="UTF-8"?><office:document-content %s office:version="1.2">'
               "<office:body><office:spreadsheet>%s</office:spreadsheet></office:body></office:document-content>"
               % (ODS_NS, "".join(tables)))
    manifest = ('<?xml version="1.0" encoding="UTF-8"?><manifest:manifest '
                'xmlns:manifest="urn:oasis:names:tc:opendocument:xmlns:manifest:1.0" manifest:version="1.2">'
                '<manifest:file-entry manifest:full-path="/" '
                'manifest:media-type="application/vnd.oasis.opendocument.spreadsheet"/>'
                '<manifest:file-entry manifest:full-path="content.xml" manifest:media-type="text/xml"/>'
                "</manifest:manifest>")
    with zipfile.ZipFile(path, "w") as z:
        z.writestr(zipfile.ZipInfo("mimetype"), "application/vnd.oasis.opendocument.spreadsheet",
                   compress_type=zipfile.ZIP_STORED)
        z.writestr("META-INF/manifest.xml", manifest, compress_type=zipfile.ZIP_DEFLATED)
        z.writestr("content.xml", content, compress_type=zipfile.ZIP_DEFLATED)


def main(folder):
    os.makedirs(folder, exist_ok=True)
    for name, (top, merges, footer) in shapes().items():
        rows = all_rows(top, footer)
        write_xls(os.path.join(folder, name + ".xls"), rows, merges)
        write_xlsx(os.path.join(folder, name + ".xlsx"), rows, merges)
    plain = [list(demo.TITLES)] + all_rows([], [])
    write_xls(os.path.join(folder, "roster_second_sheet.xls"), plain, [], before=NOTE_SHEET)
    write_xlsx(os.path.join(folder, "roster_second_sheet.xlsx"), plain, [], before=NOTE_SHEET)
    write_ods(os.path.join(folder, "roster_second_sheet.ods"), [NOTE_SHEET + ({},), ("人员", plain, {})])
    write_xls(os.path.join(folder, "roster_hidden.xls"), plain, [], hidden=HIDDEN_ROWS)
    write_xlsx(os.path.join(folder, "roster_hidden.xlsx"), plain, [], hidden=HIDDEN_ROWS)
    write_ods(os.path.join(folder, "roster_hidden.ods"), [("人员", plain, HIDDEN_ROWS)])


if __name__ == "__main__":
    main(sys.argv[1])
