#!/usr/bin/python3
"""Writes the workbooks in other forms that the reader tests read, and the
listings they are checked against (python3-openpyxl, python3-xlrd and
LibreOffice Calc, all from Debian).

Usage: make_form_samples.py SAMPLES   (SAMPLES: the shared sample collection)

1. A personnel workbook is written with openpyxl (two sheets, the second
   active) and saved by LibreOffice in each form: .ods, .fods, XML
   Spreadsheet 2003, a web page and CSV / tab-separated text (the last two
   of the personnel sheet alone). LibreOffice without a window saves no
   active sheet; it is written in as the desktop programs write it. Some
   copies are re-encoded as other programs write them (GB 18030, UTF-16);
   see the ORIGINS.md files.
2. Files of other programs are copied unchanged from SAMPLES.
3. Each file's listing (expected/<file>.txt: the sheet name, then every
   non-empty cell) is what LibreOffice reads from it, saved as .xls and read
   by xlrd; Excel 2.x to 4.0 files are read by xlrd directly.

The files are committed; run this again only to change them. It needs
LibreOffice Calc (Debian libreoffice-calc), which nothing else uses and
scripts/setup.sh therefore does not install.
"""
import csv as csv_module
import datetime
import io
import os
import re
import shutil
import subprocess
import sys
import tempfile
import zipfile

import openpyxl
import xlrd
from openpyxl.styles import Alignment

HERE = os.path.dirname(os.path.abspath(__file__))
DATA = os.path.join(HERE, "..", "testdata", "sheet")


def people_workbook(path):
    wb = openpyxl.Workbook()
    notes = wb.active
    notes.title = "说明"
    notes["A1"] = "本工作簿不是要导入的工作表"
    ws = wb.create_sheet("人员信息")
    ws.append(["序号", "姓名", "性别", "民族", "出生年月", "参加工作时间", "身份证号", "个人身份", "学历",
               "工龄调整(月)", "备注"])
    d = datetime.datetime
    rows = [
        [1, "张三", "1", "汉族", d(1965, 3, 1), d(1985, 8, 1), "110105196503011234", "干部", "大学\n硕士", 6, 3.06],
        [2, "王䶮", "2", "01", 1965.03, 1965.1, "11010519650301123X", "工人", "高中", -3, 0.1 + 0.2],
        [3, "李𬌗", "1", "回族", "1965.3.1", "1965年3月", None, "干部", "大专\n本科\n研究生", None, 123456789012345],
        [4, "欧阳娜娜", "2", "汉族", 19650301, 196503, "440301196512310021", "职员", None, 0, -1234.5],
        [5, "Æsa O'Brien", "1", "", d(2020, 2, 29, 13, 45, 30), "1985-08", None, "", None, None, 0.000123],
    ]
    for r in rows:
        ws.append(r)
    ws["E2"].number_format = "yyyy-mm-dd"
    ws["F2"].number_format = 'yyyy"年"m"月"'
    ws["E6"].number_format = "yyyy-mm-dd hh:mm:ss"
    for c in ("I2", "I4"):
        ws[c].alignment = Alignment(wrap_text=True)
    ws["A8"] = 6
    ws["B8"] = "合并单元格"
    ws.merge_cells("B8:D8")
    ws["F8"] = True
    ws["G8"] = False
    ws["H8"] = "=NA()"
    ws["I8"] = datetime.time(8, 30)
    ws["I8"].number_format = "h:mm"
    ws["J8"] = 0.5
    ws["J8"].number_format = "0%"
    ws["K8"] = 1e20
    ws["M10"] = "远处的单元格"
    wb.active = 1
    wb.save(path)


def soffice(src, target, outdir, infilter=None):
    cmd = ["soffice", "--headless"]
    if infilter:
        cmd.append("--infilter=" + infilter)
    cmd += ["--convert-to", target, "--outdir", outdir, src]
    subprocess.run(cmd, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def trimmed_fods(text):
    """LibreOffice's view of an .xlsx gives every column and row of the sheet a
    style; its XML Spreadsheet export then writes a million rows. Those empty
    definitions are dropped."""
    text = re.sub(r'<table:table-column [^>]*number-columns-repeated="\d+"[^>]*/>', "", text)
    return re.sub(r'<table:table-row [^>]*number-rows-repeated="\d{4,}"[^>]*>.*?</table:table-row>', "", text,
                  flags=re.S)


VIEW_SETTINGS = '<config:config-item-set config:name="ooo:view-settings">'
ACTIVE_VIEW = ('<config:config-item-map-indexed config:name="Views"><config:config-item-map-entry>'
               '<config:config-item config:name="ViewId" config:type="string">view1</config:config-item>'
               '<config:config-item config:name="ActiveTable" config:type="string">人员信息</config:config-item>'
               '</config:config-item-map-entry></config:config-item-map-indexed>')


def with_active_table(settings):
    """LibreOffice without a window saves no view, so the active table is
    written in as the desktop program writes it."""
    return settings.replace(VIEW_SETTINGS, VIEW_SETTINGS + ACTIVE_VIEW, 1)


def set_ods_active_table(path):
    copy = path + ".tmp"
    with zipfile.ZipFile(path) as src, zipfile.ZipFile(copy, "w") as dst:
        for item in src.infolist():
            data = src.read(item.filename)
            if item.filename == "settings.xml":
                data = with_active_table(data.decode("utf-8")).encode("utf-8")
            dst.writestr(item, data)
    os.replace(copy, path)


def escaped(s):
    return s.replace("\\", "\\\\").replace("\n", "\\n").replace("\r", "\\r").replace("\t", "\\t")


def listing(xls_path, sheet_name=None):
    book = xlrd.open_workbook(xls_path)
    index = 0
    for i in range(book.nsheets):
        if book.sheet_by_index(i).sheet_selected:
            index = i
            break
    sheet = book.sheet_by_index(index)
    lines = ["SHEET " + escaped(sheet_name if sheet_name is not None else sheet.name)]
    for r in range(sheet.nrows):
        for c in range(sheet.ncols):
            cell = sheet.cell(r, c)
            t, v = cell.ctype, cell.value
            if t in (xlrd.XL_CELL_EMPTY, xlrd.XL_CELL_BLANK):
                continue
            if t == xlrd.XL_CELL_TEXT:
                value = "T " + escaped(v)
            elif t == xlrd.XL_CELL_NUMBER:
                value = "N %.15g" % v
            elif t == xlrd.XL_CELL_DATE:
                value = "D %.15g" % (v + (1462 if book.datemode else 0))
            elif t == xlrd.XL_CELL_BOOLEAN:
                value = "B %.15g" % v
            else:
                value = "E %.15g" % v
            lines.append("%d,%d %s" % (r + 1, c + 1, value))
    return "\n".join(lines) + "\n"


def write_listing(folder, name, text):
    os.makedirs(os.path.join(folder, "expected"), exist_ok=True)
    with open(os.path.join(folder, "expected", name + ".txt"), "w", encoding="utf-8") as f:
        f.write(text)


def list_through_libreoffice(folder, name, tmp, infilter=None, source=None, sheet_name=None):
    """The listing of `name` in `folder`: what LibreOffice reads from `source`
    (the file itself unless given)."""
    out = os.path.join(tmp, "listing")
    os.makedirs(out, exist_ok=True)
    src = source or os.path.join(folder, name)
    soffice(src, "xls:MS Excel 97", out, infilter)
    xls = os.path.join(out, os.path.splitext(os.path.basename(src))[0] + ".xls")
    write_listing(folder, name, listing(xls, sheet_name))
    os.remove(xls)


def main():
    samples = sys.argv[1]
    forms = os.path.join(samples, "forms")
    tmp = tempfile.mkdtemp()
    os.environ["HOME"] = tmp  # LibreOffice keeps its profile there
    source = os.path.join(tmp, "gen_people.xlsx")
    people_workbook(source)
    soffice(source, "fods", tmp)
    with open(os.path.join(tmp, "gen_people.fods"), encoding="utf-8") as f:
        fods = trimmed_fods(f.read())
    both = os.path.join(tmp, "both")
    single = os.path.join(tmp, "single")
    os.makedirs(both)
    os.makedirs(single)
    with open(os.path.join(both, "gen_people.fods"), "w", encoding="utf-8") as f:
        f.write(fods)
    start = fods.index('<table:table table:name="说明"')
    end = fods.index("</table:table>", start) + len("</table:table>")
    with open(os.path.join(single, "gen_people.fods"), "w", encoding="utf-8") as f:
        f.write(fods[:start] + fods[end:])

    folders = {k: os.path.join(DATA, k) for k in ("ods", "fods", "xmlss", "html", "csv", "oldxls", "et")}
    for path in folders.values():
        os.makedirs(path, exist_ok=True)
    src = os.path.join(both, "gen_people.fods")
    soffice(src, "ods", folders["ods"])
    set_ods_active_table(os.path.join(folders["ods"], "gen_people.ods"))
    soffice(src, "fods", folders["fods"])
    fods_path = os.path.join(folders["fods"], "gen_people.fods")
    with open(fods_path, encoding="utf-8") as f:
        resaved = with_active_table(f.read())
    with open(fods_path, "w", encoding="utf-8") as f:
        f.write(resaved)
    soffice(src, "xml:MS Excel 2003 XML", folders["xmlss"])
    # LibreOffice writes no ActiveSheet; Excel does for any sheet but the first.
    xml_path = os.path.join(folders["xmlss"], "gen_people.xml")
    with open(xml_path, encoding="utf-8") as f:
        xml = f.read()
    xml = xml.replace("<ProtectStructure>", "<ActiveSheet>1</ActiveSheet><ProtectStructure>", 1)
    with open(xml_path, "w", encoding="utf-8") as f:
        f.write(xml)

    one = os.path.join(single, "gen_people.fods")
    soffice(one, "html", folders["html"])
    html_path = os.path.join(folders["html"], "gen_people.html")
    with open(html_path, encoding="utf-8") as f:
        html = f.read()
    with open(os.path.join(folders["html"], "gen_people_gb18030.html"), "wb") as f:
        f.write(re.sub(r"charset=utf-8", "charset=gb18030", html, flags=re.I).encode("gb18030"))
    soffice(one, "csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,false,false,false", folders["csv"])
    csv_path = os.path.join(folders["csv"], "gen_people.csv")
    with open(csv_path, encoding="utf-8") as f:
        csv = f.read()
    with open(os.path.join(folders["csv"], "gen_people_gb18030.csv"), "wb") as f:
        f.write(csv.encode("gb18030"))
    soffice(one, "txt:Text - txt - csv (StarCalc):9,34,76,1,,0,false,true,false,false,false", tmp)
    with open(os.path.join(tmp, "gen_people.txt"), encoding="utf-8", newline="") as f:
        tab = f.read()
    # As a sheet program writes "Unicode text": UTF-16 with its byte order
    # mark, CR LF after each row, a line break inside a cell a bare LF.
    rows = io.StringIO()
    csv_module.writer(rows, delimiter="\t", lineterminator="\r\n").writerows(
        csv_module.reader(io.StringIO(tab, newline=""), delimiter="\t"))
    with open(os.path.join(folders["csv"], "gen_people_utf16.txt"), "wb") as f:
        f.write(b"\xff\xfe" + rows.getvalue().encode("utf-16-le"))

    copies = {
        "ods": ["sheetjs_crlf_crlf.ods", "sheetjs_sheet_visibility.ods", "calamine_date.ods"],
        "fods": ["sheetjs_crlf_crlf.fods"],
        "xmlss": ["sheetjs_2011_AutoFilter.xls.xml", "sheetjs_2011_apachepoi_45492.xls.xml"],
        "html": ["sheetjs_crlf_crlf.htm"],
        "oldxls": ["poi_testEXCEL_3.xls", "sheetjs_crlf_CRLFX5_4.XLS"],
        "et": ["sheetjs_artifacts_wps_write.et"],
    }
    for form, names in copies.items():
        for name in names:
            shutil.copyfile(os.path.join(forms, name), os.path.join(folders[form], name))

    for form in ("ods", "fods", "xmlss", "et"):
        for name in sorted(os.listdir(folders[form])):
            if os.path.isfile(os.path.join(folders[form], name)) and not name.startswith("gen_people."):
                list_through_libreoffice(folders[form], name, tmp)
    # LibreOffice without a window opens every workbook on its first sheet, so
    # the listing of the active personnel sheet is that of the one-sheet copy.
    for form, name in (("ods", "gen_people.ods"), ("fods", "gen_people.fods"), ("xmlss", "gen_people.xml")):
        list_through_libreoffice(folders[form], name, tmp, source=one, sheet_name="人员信息")
    # Pages and CSV files name no sheet; a sheet program names it after the file.
    for name in sorted(os.listdir(folders["html"])):
        if os.path.isfile(os.path.join(folders["html"], name)) and not name.endswith(".md"):
            list_through_libreoffice(folders["html"], name, tmp, "HTML (StarCalc)", sheet_name=os.path.splitext(name)[0])
    csv_filter = "Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,true"
    list_through_libreoffice(folders["csv"], "gen_people.csv", tmp, csv_filter, sheet_name="gen_people")
    for name in copies["oldxls"]:
        write_listing(folders["oldxls"], name, listing(os.path.join(folders["oldxls"], name),
                                                       os.path.splitext(name)[0]))
    shutil.rmtree(tmp)


if __name__ == "__main__":
    main()
