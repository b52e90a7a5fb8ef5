#!/usr/bin/python3
"""End-to-end tests of rosters as departments send them: a header below row 1,
over two rows or under other names, and totals and signatures below the people.

Usage: roster_test.py GZIMPORT_BINARY REPO_DIR
"""
import os
import subprocess
import sys
import unittest

import cli_test
from cli_test import DemoDatabase, run

SHAPES = {
    "roster_banner": "第3行",
    "roster_two_rows": "第2至3行",
    "roster_other_names": "第1行",
}
EXTENSIONS = [".xls", ".xlsx"]  # .ods only where LibreOffice converts them, see setUp


def roster_tool():
    sys.path.insert(0, os.path.join(cli_test.REPO, "tools"))
    import make_roster_workbooks
    return make_roster_workbooks


class RosterFiles(DemoDatabase):
    """The demo database and the rosters of tools/make_roster_workbooks.py."""
    def setUp(self):
        super().setUp()
        subprocess.run(["/usr/bin/python3", os.path.join(cli_test.REPO, "tools/make_roster_workbooks.py"), self.dir],
                       check=True)

    def stored(self, code="0102"):
        """What the department holds: its people and their history rows, by
        name, without the ids the database gave them."""
        out = []
        with self.db() as c:
            cur = c.execute("select * from ryjbxx where bm = ?", (code,))
            names = [d[0] for d in cur.description]
            out += sorted(tuple(v for n, v in zip(names, row) if n != "id") for row in cur.fetchall())
            for table in ("ryxl", "ryrz", "rykh"):
                cur = c.execute("select p.xm, t.* from %s t join ryjbxx p on p.id = t.mid where p.bm = ?" % table,
                                (code,))
                names = [d[0] for d in cur.description]
                out += sorted((table,) + tuple(v for n, v in zip(names, row) if n not in ("id", "mid"))
                              for row in cur.fetchall())
        return out


class Rosters(RosterFiles):
    def test_every_shape_stores_what_the_plain_sheet_stores(self):
        r = run(["import", "--dept", "0102", "--overwrite", "staff.xls"], self.dir)
        self.assertEqual(r.returncode, 0, r.stdout + r.stderr)
        plain = self.stored()
        self.assertEqual(len([row for row in plain if not isinstance(row[0], str) or row[0] not in
                              ("ryxl", "ryrz", "rykh")]), 6)
        for shape in SHAPES:
            for ext in EXTENSIONS:
                with self.subTest(workbook=shape + ext):
                    r = run(["import", "--dept", "0102", "--overwrite", "--find-titles", shape + ext], self.dir)
                    self.assertEqual(r.returncode, 0, r.stdout + r.stderr)
                    self.assertEqual(self.stored(), plain)

    def test_without_find_titles_the_sheet_is_refused_saying_where_the_titles_are(self):
        for shape, rows in SHAPES.items():
            for ext in EXTENSIONS:
                with self.subTest(workbook=shape + ext):
                    r = run(["import", "--dept", "0102", "--overwrite", shape + ext], self.dir)
                    self.assertEqual(r.returncode, 1, r.stdout + r.stderr)
                    self.assertEqual(r.stdout.splitlines(),
                                     ["XLS数据格式不配置!不能导入", rows + "有所需的标题: 用 --find-titles 按此导入"])
                    self.assertEqual(self.people("0102"), 3)

    def test_find_titles_prints_what_it_found_and_where_the_data_ends(self):
        r = run(["import", "--dept", "0201", "--find-titles", "roster_banner.xls"], self.dir)
        self.assertEqual(r.returncode, 0, r.stdout + r.stderr)
        self.assertEqual(r.stdout.splitlines()[:6], [
            "工作表: 人员", "标题在第3行", "数据行: 第4行至第9行", "XLS相配置!准备导入",
            "数据到第9行为止: 第10行\"合计: 6人\"不是人员", "张伟"])
        r = run(["import", "--dept", "0201", "--find-titles", "--allow-duplicates", "roster_other_names.xlsx"],
                self.dir)
        self.assertEqual(r.returncode, 0, r.stdout + r.stderr)
        out = r.stdout.splitlines()
        for line in ['第1行第2列"姓 名"作为姓名', '第1行第3列"性\u3000别"作为性别', '第1行第4列"民\u00a0族"作为民族',
                     '第1行第5列"出生日期"作为出生年月', '第1行第6列"参加工作\\n时间"作为参加工作时间',
                     '第1行第8列"公民身份号码"作为身份证号', "数据行: 第2行至第7行"]:
            self.assertIn(line, out)
        r = run(["import", "--dept", "0202", "--find-titles", "roster_two_rows.xls"], self.dir)
        self.assertIn('第3行第5列"出生年月"', r.stdout.splitlines())
        self.assertIn("标题在第2至3行", r.stdout.splitlines())

    def test_a_totals_line_below_row_one_titles_is_never_stored(self):
        tool = roster_tool()
        rows = [list(tool.demo.TITLES)] + tool.all_rows([], tool.footer_rows())
        tool.write_xls(os.path.join(self.dir, "totals.xls"), rows, [])
        r = run(["import", "--dept", "0102", "--overwrite", "totals.xls"], self.dir)
        self.assertEqual(r.returncode, 0, r.stdout + r.stderr)
        self.assertIn("数据到第7行为止: 第8行\"合计: 6人\"不是人员", r.stdout.splitlines())
        self.assertEqual(self.people("0102"), 6)
        with self.db() as c:
            self.assertEqual(c.execute("select count(*) from ryjbxx where xm like '合计%' or xm like '制表%'")
                             .fetchone()[0], 0)

    def test_a_refused_sheet_names_the_titles_it_lacks(self):
        r = run(["import", "--dept", "0102", os.path.join(cli_test.REPO, "testdata/import/layout_rejected.xls")],
                self.dir)
        self.assertEqual(r.returncode, 1)
        self.assertEqual(r.stdout.splitlines(), ["XLS数据格式不配置!不能导入", "第1行缺少所需的标题: 个人身份"])

    def test_sheet_shows_where_the_titles_are(self):
        r = run(["sheet", "--rows", "1", "roster_two_rows.xlsx"], self.dir)
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertEqual(r.stdout.splitlines(), ["人员", "市财政局预算科人员花名册"])
        self.assertIn("标题在第2至3行", r.stderr.splitlines())
        self.assertIn("数据行: 第4行至第9行", r.stderr.splitlines())
        r = run(["sheet", "staff.xls"], self.dir)
        self.assertEqual(r.stderr.splitlines(), ["标题在第1行", "数据行: 第2行至第7行"])

    def test_the_operators_other_names_lie_beside_the_code_file(self):
        tool = roster_tool()
        titles = ["职工类别" if t == "个人身份" else t for t in tool.demo.TITLES]
        tool.write_xls(os.path.join(self.dir, "own.xls"), [titles] + tool.all_rows([], []), [])
        r = run(["import", "--dept", "0102", "--find-titles", "--allow-duplicates", "own.xls"], self.dir)
        self.assertEqual(r.returncode, 1, r.stdout + r.stderr)
        with open(os.path.join(self.dir, "titles.txt"), "wb") as f:
            f.write("个人身份=职工类别\r\n".encode("gb18030"))
        r = run(["import", "--dept", "0102", "--find-titles", "--allow-duplicates", "own.xls"], self.dir)
        self.assertEqual(r.returncode, 0, r.stdout + r.stderr)
        self.assertIn('第1行第7列"职工类别"作为个人身份', r.stdout.splitlines())

    def test_start_row_and_rejects_count_the_rows_of_the_sheet(self):
        import openpyxl
        tool = roster_tool()
        people = list(tool.demo.PEOPLE)
        rows = tool.all_rows([], [])
        rows[1][4] = "19x2"  # 王芳, sheet row 5 below the banner, the line and the header
        top = tool.shapes()["roster_banner"][0]
        tool.write_xls(os.path.join(self.dir, "bad.xls"), top + rows, [])
        self.assertEqual(len(people), 6)
        r = run(["import", "--dept", "0102", "--overwrite", "--find-titles", "--rejects", "rejects.xlsx", "bad.xls"],
                self.dir)
        self.assertEqual(r.returncode, 3, r.stdout + r.stderr)
        sheet = list(openpyxl.load_workbook(os.path.join(self.dir, "rejects.xlsx")).active.iter_rows(values_only=True))
        self.assertEqual(list(sheet[0][:-1]), list(tool.demo.TITLES))  # the titles as read
        self.assertEqual(sheet[1][1], "王芳")

        r = run(["import", "--dept", "0102", "--find-titles", "--start-row", "3", "bad.xls"], self.dir)
        self.assertEqual(r.returncode, 2, r.stdout + r.stderr)
        self.assertIn("起始行3不是数据行,数据行为第4行至第9行", r.stdout.splitlines())
        before = self.people("0201")
        r = run(["import", "--dept", "0201", "--find-titles", "--start-row", "6", "bad.xls"], self.dir)
        self.assertEqual(r.returncode, 0, r.stdout + r.stderr)
        self.assertEqual(self.people("0201"), before + 4)


class TitlesChosen(RosterFiles):
    """--title: the operator names the sheet's column for a title, for one run."""
    def own_roster(self, name, banner=False):
        tool = roster_tool()
        titles = [tool.OWN_NAMES.get(t, t) for t in tool.demo.TITLES]
        top = [["市财政局预算科人员花名册"]] if banner else []
        tool.write_xls(os.path.join(self.dir, name), top + [titles] + tool.all_rows([], []), [])

    def test_titles_chosen_import_what_the_plain_sheet_stores(self):
        r = run(["import", "--dept", "0102", "--overwrite", "staff.xls"], self.dir)
        self.assertEqual(r.returncode, 0, r.stdout + r.stderr)
        plain = self.stored()
        self.own_roster("own_banner.xls", banner=True)
        chosen = ["--title", "出生年月=生日", "--title", "参加工作时间=入职时间", "--title", "个人身份 = 职工身份"]
        for workbook, rows in (("roster_own_names.xlsx", "第1行"), ("own_banner.xls", "第2行")):
            with self.subTest(workbook=workbook):
                r = run(["import", "--dept", "0102", "--overwrite", workbook], self.dir)
                self.assertEqual(r.returncode, 1, r.stdout + r.stderr)
                r = run(["import", "--dept", "0102", "--overwrite"] + chosen + [workbook], self.dir)
                self.assertEqual(r.returncode, 0, r.stdout + r.stderr)
                self.assertEqual(self.stored(), plain)
                out = r.stdout.splitlines()
                self.assertIn("标题在" + rows, out)
                self.assertIn(rows + '第5列"生日"作为出生年月', out)
                self.assertIn(rows + '第6列"入职\\n时间"作为参加工作时间', out)
        self.assertFalse(os.path.exists(os.path.join(self.dir, "titles.txt")))  # for one run only

    def test_a_title_chosen_takes_a_found_header_without_find_titles(self):
        for workbook in ("roster_other_names.xlsx", "roster_banner.xls"):
            with self.subTest(workbook=workbook):
                r = run(["import", "--dept", "0201", "--allow-duplicates", "--title", "出生年月=出生日期"
                         if "other" in workbook else "出生年月=出生年月", workbook], self.dir)
                self.assertEqual(r.returncode, 0, r.stdout + r.stderr)
                self.assertIn("XLS相配置!准备导入", r.stdout.splitlines())

    def test_a_wrong_title_is_named_in_one_line(self):
        for args, status, line in (
                (["--title", "生日=生日"], 2, "--title: the import reads no title 生日; it reads 姓名, 出生年月, "),
                (["--title", "出生年月"], 2, "--title takes TITLE=SHEET_TITLE, such as --title 出生年月=生日"),
                (["--title", "出生年月="], 2, "--title takes TITLE=SHEET_TITLE"),
                (["--title", "出生年月=生辰", "--title", "个人身份=职工身份"], 1, '第1行没有标题"生辰",不能用作出生年月')):
            with self.subTest(args=args):
                r = run(["import", "--dept", "0102", "--overwrite"] + args + ["roster_own_names.xls"], self.dir)
                self.assertEqual(r.returncode, status, r.stdout + r.stderr)
                if status == 2:
                    self.assertTrue(r.stderr.splitlines()[0].startswith("gzimport: " + line), r.stderr)
                else:
                    self.assertEqual(r.stdout.splitlines(), [line])
                self.assertEqual(self.people("0102"), 3)


class SheetsAndHiddenRows(RosterFiles):
    """The roster on a sheet other than the active one, and rows the file hides."""
    FORMS = [".xls", ".xlsx", ".ods"]

    def plain(self):
        r = run(["import", "--dept", "0102", "--overwrite", "staff.xls"], self.dir)
        self.assertEqual(r.returncode, 0, r.stdout + r.stderr)
        return self.stored()

    def test_a_refused_sheet_names_the_sheet_that_has_the_titles_and_sheet_reads_it(self):
        plain = self.plain()
        for ext in self.FORMS:
            workbook = "roster_second_sheet" + ext
            with self.subTest(workbook=workbook):
                r = run(["import", "--dept", "0102", "--overwrite", workbook], self.dir)
                self.assertEqual(r.returncode, 1, r.stdout + r.stderr)
                self.assertEqual(r.stdout.splitlines(), [
                    "XLS数据格式不配置!不能导入", "第1行缺少所需的标题: 姓名、出生年月、参加工作时间、个人身份",
                    '第2个工作表"人员"有所需的标题: 用 --sheet 2 按此导入'])
                self.assertEqual(self.stored(), plain)  # refused before anything was deleted
                for choice in ("2", "人员"):
                    r = run(["import", "--dept", "0102", "--overwrite", "--sheet", choice, workbook], self.dir)
                    self.assertEqual(r.returncode, 0, r.stdout + r.stderr)
                    self.assertEqual(self.stored(), plain)
                r = run(["sheet", "--sheet", "人员", "--rows", "1", workbook], self.dir)
                self.assertEqual(r.stdout.splitlines()[0], "人员")
                r = run(["sheet", workbook], self.dir)
                self.assertIn('第2个工作表"人员"有所需的标题: 用 --sheet 2 读取', r.stderr.splitlines())

    def test_a_sheet_the_workbook_lacks_is_refused_by_name(self):
        for choice, reason in (("3", "工作簿中没有第3个工作表(共2个)"), ("名单", "工作簿中没有名为“名单”的工作表")):
            with self.subTest(sheet=choice):
                r = run(["import", "--dept", "0102", "--sheet", choice, "roster_second_sheet.xlsx"], self.dir)
                self.assertEqual(r.returncode, 1, r.stdout + r.stderr)
                self.assertIn(reason, r.stdout)
                self.assertEqual(self.people("0102"), 3)
        r = run(["sheet", "--sheet", "2", "staff.xls"], self.dir)
        self.assertNotEqual(r.returncode, 0)
        self.assertIn("工作簿中没有第2个工作表(共1个)", r.stderr)

    def test_hidden_rows_are_imported_and_named(self):
        plain = self.plain()
        for ext in self.FORMS:
            workbook = "roster_hidden" + ext
            with self.subTest(workbook=workbook):
                r = run(["import", "--dept", "0102", "--overwrite", workbook], self.dir)
                self.assertEqual(r.returncode, 0, r.stdout + r.stderr)
                self.assertIn("隐藏行: 第3、5行,已导入", r.stdout.splitlines())
                self.assertEqual(self.stored(), plain)
                r = run(["sheet", workbook], self.dir)
                self.assertIn("隐藏行: 第3、5行", r.stderr.splitlines())
        r = run(["import", "--dept", "0102", "--overwrite", "staff.xls"], self.dir)
        self.assertFalse([line for line in r.stdout.splitlines() if line.startswith("隐藏行")])

    def test_start_row_and_rejects_count_the_rows_of_the_chosen_sheet(self):
        import openpyxl
        tool = roster_tool()
        rows = [list(tool.demo.TITLES)] + tool.all_rows([], [])
        rows[2][4] = "19x2"  # 王芳, sheet row 3 of the second sheet
        tool.write_xls(os.path.join(self.dir, "bad.xls"), rows, [], hidden={2: "collapsed"}, before=tool.NOTE_SHEET)
        r = run(["import", "--dept", "0102", "--overwrite", "--sheet", "2", "--rejects", "rejects.xlsx", "bad.xls"],
                self.dir)
        self.assertEqual(r.returncode, 3, r.stdout + r.stderr)
        self.assertIn("隐藏行: 第3行,已导入", r.stdout.splitlines())
        sheet = list(openpyxl.load_workbook(os.path.join(self.dir, "rejects.xlsx")).active.iter_rows(values_only=True))
        self.assertEqual(list(sheet[0][:-1]), list(tool.demo.TITLES))
        self.assertEqual([row[1] for row in sheet[1:]], ["王芳"])
        before = self.people("0201")
        r = run(["import", "--dept", "0201", "--sheet", "人员", "--start-row", "4", "bad.xls"], self.dir)
        self.assertEqual(r.returncode, 0, r.stdout + r.stderr)
        self.assertEqual(self.people("0201"), before + 4)
        self.assertFalse([line for line in r.stdout.splitlines() if line.startswith("隐藏行")])


if __name__ == "__main__":
    cli_test.GZIMPORT, cli_test.REPO = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    unittest.main(argv=sys.argv[:1], verbosity=2)
