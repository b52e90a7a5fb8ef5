#!/usr/bin/python3
"""End-to-end tests of the gzimport command line on a demo SQLite database.

Usage: cli_test.py GZIMPORT_BINARY REPO_DIR
"""
import os
import pty
import select
import shutil
import re
import signal
import sqlite3
import subprocess
import sys
import tempfile
import unicodedata
import time
import unittest

GZIMPORT = None
REPO = None


def locale_env(**settings):
    """The environment with only the given locale settings (LANG, LANGUAGE, LC_*)."""
    env = {k: v for k, v in os.environ.items() if not (k.startswith("LC_") or k in ("LANG", "LANGUAGE"))}
    env.update(settings)
    return env


def run(args, cwd, env=None, **kw):
    """Runs gzimport; in the C locale unless `env` says otherwise, so help and usage texts are English."""
    return subprocess.run([GZIMPORT] + args, cwd=cwd, capture_output=True, text=True, timeout=300,
                          env=env if env is not None else locale_env(LANG="C"), **kw)


def write_staff(folder, name, people):
    """Writes a workbook laid out like the demo's staff.xls with the given
    rows (the demo's PEOPLE tuples); a birth date given as text stays text."""
    sys.path.insert(0, os.path.join(REPO, "scripts"))
    import make_demo_workbook as demo
    import datetime
    import xlwt
    book = xlwt.Workbook(encoding="utf-8")
    sheet = book.add_sheet("人员")
    date_style = xlwt.easyxf(num_format_str="yyyy-mm-dd")
    for col, title in enumerate(demo.TITLES):
        sheet.write(0, col, title)
    for r, p in enumerate(people, start=1):
        name_, sex, ethnic, born, started, status, idcard, adj, deduct, college, edu, pos, kh = p
        values = [r, name_, sex, ethnic, None, None, status, idcard, adj, deduct, college, edu, pos, kh]
        for col, v in enumerate(values):
            if v is not None and v != "":
                sheet.write(r, col, v)
        for col, d in ((4, born), (5, started)):
            if isinstance(d, tuple):
                sheet.write(r, col, datetime.date(*d), date_style)
            else:
                sheet.write(r, col, d)
    book.save(os.path.join(folder, name))


def demo_people():
    sys.path.insert(0, os.path.join(REPO, "scripts"))
    import make_demo_workbook as demo
    return list(demo.PEOPLE)


def with_birth(person, birth):
    """The demo person with another birth-date cell (text for a bad one)."""
    return person[:3] + (birth,) + person[4:]


def with_id(person, idcard):
    return person[:6] + (idcard,) + person[7:]



def columns(text):
    """The columns a text takes on a terminal: two for a Chinese character."""
    return sum(2 if unicodedata.east_asian_width(c) in "WF" else 1 for c in text)

class DemoDatabase(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory()
        self.dir = self.tmp.name
        # The runs' journal goes into the test's folder, not the operator's.
        os.environ["XDG_DATA_HOME"] = os.path.join(self.dir, "data")
        r = run(["init-db", "--demo", "gzgl.mdb"], self.dir)
        self.assertEqual(r.returncode, 0, r.stderr)
        subprocess.run(["/usr/bin/python3", os.path.join(REPO, "scripts/make_demo_workbook.py"), self.dir],
                       check=True)

    def tearDown(self):
        self.tmp.cleanup()

    def db(self):
        return sqlite3.connect(os.path.join(self.dir, "gzgl.mdb"))

    def people(self, code):
        with self.db() as c:
            return c.execute("select count(*) from ryjbxx where bm like ?", (code + "%",)).fetchone()[0]


class Usage(DemoDatabase):
    def test_usage_errors_exit_2(self):
        self.assertEqual(run([], self.dir).returncode, 2)
        self.assertEqual(run(["nosuchcommand"], self.dir).returncode, 2)
        r = run(["import", "staff.xls"], self.dir)
        self.assertEqual(r.returncode, 2)
        self.assertIn("--dept", r.stderr)
        self.assertIn("Usage: gzimport import", r.stderr)

    def test_failures_exit_1_with_one_line(self):
        cases = [
            (["import", "--dept", "9999", "staff.xls"], "9999"),
            (["import", "--db", "missing.mdb", "--dept", "0102", "staff.xls"], "missing.mdb"),
            (["tree", "--db", "staff.xls"], "staff.xls"),
            (["people", "--dept", "77"], "77"),
        ]
        for args, named in cases:
            with self.subTest(args=args):
                r = run(args, self.dir)
                self.assertEqual(r.returncode, 1, r.stdout + r.stderr)
                self.assertIn(named, r.stderr)
                self.assertEqual(len(r.stderr.strip().splitlines()), 1, r.stderr)
        self.assertEqual(self.people("0102"), 3)

    def test_database_without_the_tables_is_refused(self):
        sqlite3.connect(os.path.join(self.dir, "empty.db")).execute("create table other (x)").connection.close()
        r = run(["import", "--db", "empty.db", "--dept", "0102", "staff.xls"], self.dir)
        self.assertEqual(r.returncode, 1)
        self.assertIn("ryjbxx", r.stderr)


CHINESE = re.compile("[\u4e00-\u9fff]")
COMMANDS = ["import", "init-db", "people", "runs", "sheet", "tree", "undo"]


class HelpAndVersion(DemoDatabase):
    def test_version_names_the_project_version(self):
        project = re.search(r"project\(gzimport VERSION ([0-9.]+)", open(os.path.join(REPO, "CMakeLists.txt")).read())
        r = run(["--version"], self.dir)
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertRegex(r.stdout.strip(), r"^gzimport " + re.escape(project.group(1)) +
                         r"( \(git [0-9a-f]{7,}(-dirty)?\))?$")
        if os.path.exists(os.path.join(REPO, ".git")):
            self.assertIn("(git ", r.stdout)

    def test_help_follows_the_locale(self):
        cases = [
            # (locale settings, a line the help must hold, one it must not)
            ({"LANG": "zh_CN.UTF-8"}, "用法：gzimport import [选项] WORKBOOK", "Usage:"),
            ({"LC_ALL": "zh_CN.UTF-8", "LANG": "C"}, "用法：gzimport import [选项] WORKBOOK", "Usage:"),
            ({"LANG": "C"}, "Usage: gzimport import [options] WORKBOOK", "用法"),
            ({"LANG": "en_US.UTF-8"}, "Usage: gzimport import [options] WORKBOOK", "用法"),
            ({"LANG": "zh_CN.UTF-8", "LANGUAGE": "en"}, "Usage: gzimport import [options] WORKBOOK", "用法"),
        ]
        for settings, expected, unexpected in cases:
            with self.subTest(settings=settings):
                r = run(["import", "--help"], self.dir, env=locale_env(**settings))
                self.assertEqual(r.returncode, 0, r.stderr)
                self.assertIn(expected, r.stdout.splitlines())
                self.assertNotIn(unexpected, r.stdout)

    def test_every_chinese_help_line_is_translated(self):
        zh = locale_env(LANG="zh_CN.UTF-8")
        for args in [["--help"]] + [[c, "--help"] for c in COMMANDS]:
            with self.subTest(args=args):
                r = run(args, self.dir, env=zh)
                self.assertEqual(r.returncode, 0, r.stderr)
                # Every line that describes something (the usage line, the
                # description, each heading, command, option and argument) is
                # Chinese; only continuations, indented further, are left out.
                described = [line for line in r.stdout.splitlines() if line.strip() and not line.startswith("   ")]
                self.assertTrue(described, r.stdout)
                for line in described:
                    self.assertRegex(line, CHINESE, r.stdout)

    def test_option_texts_break_only_where_a_line_is_full(self):
        # Qt wraps the text of each option and argument to 79 columns; a line
        # break of the text's own would end a line early, in mid-sentence,
        # with room left for the next word.
        for args in [[c, "--help"] for c in COMMANDS]:
            with self.subTest(args=args):
                r = run(args, self.dir)
                self.assertEqual(r.returncode, 0, r.stderr)
                lines = r.stdout.splitlines()
                for line, following in zip(lines, lines[1:]):
                    if not line.strip() or not following.startswith("     "):
                        continue  # `following` continues the text of an option or argument
                    width = columns(line) + 1 + columns(following.split()[0])
                    self.assertGreater(width, 79, f"{line!r} / {following!r}")

    def test_chinese_option_texts_fit_the_terminal(self):
        # A Chinese character takes two columns: the texts are wrapped by the
        # columns they take, and a line starts with no closing mark.
        zh = locale_env(LANG="zh_CN.UTF-8")
        for args in [[c, "--help"] for c in COMMANDS]:
            with self.subTest(args=args):
                r = run(args, self.dir, env=zh)
                self.assertEqual(r.returncode, 0, r.stderr)
                for line in r.stdout.splitlines():
                    self.assertLessEqual(columns(line), 79, line)
                    self.assertNotRegex(line, r"^ +[，。、；：）]", line)

    def test_usage_errors_follow_the_locale(self):
        cases = [
            (["import"], "缺少参数", "missing argument"),
            (["import", "staff.xls"], "必须给出 --dept CODE", "--dept CODE is required"),
            (["nosuchcommand"], "未知命令 'nosuchcommand'", "unknown command 'nosuchcommand'"),
        ]
        for args, chinese, english in cases:
            with self.subTest(args=args):
                zh = run(args, self.dir, env=locale_env(LANG="zh_CN.UTF-8"))
                self.assertEqual(zh.returncode, 2)
                self.assertIn(chinese, zh.stderr)
                en = run(args, self.dir)
                self.assertEqual(en.returncode, 2)
                self.assertIn(english, en.stderr)

    def test_the_tools_own_messages_are_the_same_in_every_locale(self):
        args = ["import", "--dept", "0102", "--dry-run", "staff.xls"]
        en = run(args, self.dir)
        zh = run(args, self.dir, env=locale_env(LANG="zh_CN.UTF-8"))
        self.assertEqual(en.returncode, 0, en.stderr)
        self.assertEqual((zh.returncode, zh.stdout, zh.stderr), (en.returncode, en.stdout, en.stderr))
        self.assertIn("数据导入成功!", en.stdout)


class Commands(DemoDatabase):
    def test_init_db_never_overwrites_a_file(self):
        path = os.path.join(self.dir, "gzgl.mdb")
        before = open(path, "rb").read()
        r = run(["init-db", "gzgl.mdb"], self.dir)
        self.assertEqual(r.returncode, 1)
        self.assertEqual(len(r.stderr.strip().splitlines()), 1, r.stderr)
        self.assertEqual(open(path, "rb").read(), before)

    def test_tree_is_indented_by_level(self):
        r = run(["tree"], self.dir)
        self.assertEqual(r.returncode, 0, r.stderr)
        lines = r.stdout.splitlines()
        self.assertIn("市财政局_01", lines)
        self.assertIn("  预算科_0102", lines)
        self.assertIn("    预算一股_010201", lines)

    def test_sheet_shows_what_the_import_reads(self):
        r = run(["sheet", "--rows", "2", "staff.xls"], self.dir)
        self.assertEqual(r.returncode, 0, r.stderr)
        lines = r.stdout.splitlines()
        self.assertEqual(lines[0], "人员")
        self.assertEqual(len(lines), 3)  # the sheet name, then two rows
        cells = lines[2].split("\t")
        self.assertEqual(cells[1:6], ["张伟", "1", "汉族", "1968-3-1", "1990-7-15"])
        self.assertEqual(cells[11], "1986.07中专\\n1990.07大学")  # a line break inside a cell shows as \n

    def test_sheet_refuses_what_is_not_a_workbook(self):
        r = run(["sheet", "dm.txt"], self.dir)
        self.assertEqual(r.returncode, 1)
        self.assertEqual(len(r.stderr.strip().splitlines()), 1, r.stderr)
        self.assertIn("dm.txt", r.stderr)


class Import(DemoDatabase):
    def test_append_prints_the_run_and_stores_the_people(self):
        r = run(["import", "--dept", "0102", "staff.xls"], self.dir)
        self.assertEqual(r.returncode, 0, r.stderr)
        out = r.stdout.splitlines()
        self.assertEqual(out[0], "XLS相配置!准备导入")
        self.assertEqual(out[1:7], ["张伟", "王芳", "李娜", "刘洋", "陈静", "杨𪚥"])
        self.assertIn("数据导入成功!", out)
        self.assertIn("职务:陈静:工勤", r.stderr.splitlines())
        self.assertEqual(self.people("0102"), 3 + 6)
        listed = run(["people", "--dept", "0102"], self.dir)
        self.assertIn("杨𪚥", listed.stdout)

    def test_overwrite_replaces_the_department(self):
        r = run(["import", "--dept", "0102", "--overwrite", "staff.xls"], self.dir)
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertEqual(r.stdout.splitlines()[:2], ["正在删除旧数据!", "XLS相配置!准备导入"])
        self.assertEqual(self.people("0102"), 6)

    def test_dry_run_leaves_nothing(self):
        with self.db() as c:
            before = [c.execute(f"select count(*) from {t}").fetchone()[0] for t in ("ryjbxx", "ryxl", "ryrz", "rykh")]
        r = run(["import", "--dept", "01", "--overwrite", "--dry-run", "staff.xls"], self.dir)
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertIn("数据导入成功!", r.stdout)
        with self.db() as c:
            after = [c.execute(f"select count(*) from {t}").fetchone()[0] for t in ("ryjbxx", "ryxl", "ryrz", "rykh")]
        self.assertEqual(before, after)

    def test_what_is_not_a_workbook_is_named_once(self):
        r = run(["import", "--dept", "0102", "--overwrite", "dm.txt"], self.dir)
        self.assertEqual(r.returncode, 1)
        self.assertIn("不能读取工作簿 dm.txt: 不是Excel工作簿", r.stdout)
        for line in r.stdout.splitlines():
            self.assertLessEqual(line.count("dm.txt"), 1, line)
        self.assertEqual(self.people("0102"), 3)

    def test_rejected_layout_in_overwrite_mode_keeps_the_department(self):
        import xlwt
        book = xlwt.Workbook(encoding="utf-8")
        sheet = book.add_sheet("s")
        for col, title in enumerate(["姓名", "出生年月", "参加工作时间"]):  # 个人身份 missing
            sheet.write(0, col, title)
        sheet.write(1, 0, "某人")
        book.save(os.path.join(self.dir, "bad.xls"))
        r = run(["import", "--dept", "0102", "--overwrite", "bad.xls"], self.dir)
        self.assertEqual(r.returncode, 1)
        self.assertIn("XLS数据格式不配置!不能导入", r.stdout)
        self.assertEqual(self.people("0102"), 3)

    def test_exit_status_tells_a_partial_import(self):
        people = demo_people()
        people[2] = with_birth(people[2], "19x0-05-09")
        write_staff(self.dir, "bad.xls", people)
        r = run(["import", "--dept", "0102", "bad.xls"], self.dir)
        self.assertEqual(r.returncode, 3, r.stdout + r.stderr)
        self.assertIn("第4行:李娜:出生年月\"19x0-05-09\"不是日期,此人未导入", r.stderr.splitlines())
        self.assertIn("数据导入完成,1行未导入!", r.stdout.splitlines())
        self.assertEqual(self.people("0102"), 3 + 5)

    def test_start_row_continues_and_is_checked(self):
        r = run(["import", "--dept", "0102", "--start-row", "5", "staff.xls"], self.dir)
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertEqual(r.stdout.splitlines()[1:3], ["刘洋", "陈静"])  # rows 5 and 6
        self.assertEqual(self.people("0102"), 3 + 3)
        cases = [
            (["--start-row", "1"], "--start-row N"),
            (["--start-row", "x"], "--start-row N"),
            (["--start-row", "3", "--overwrite"], "--overwrite"),
            (["--start-row", "9"], "起始行9不是数据行,数据行为第2行至第7行"),
        ]
        for extra, named in cases:
            with self.subTest(extra=extra):
                r = run(["import", "--dept", "0102"] + extra + ["staff.xls"], self.dir)
                self.assertEqual(r.returncode, 2, r.stdout + r.stderr)
                self.assertIn(named, r.stdout + r.stderr)
        self.assertEqual(self.people("0102"), 3 + 3)

    def test_people_the_department_has_are_not_imported_twice(self):
        # Stored below 0102 first: its sub-departments count as the department.
        self.assertEqual(run(["import", "--dept", "010201", "staff.xls"], self.dir).returncode, 0)
        before = self.people("0102")
        r = run(["import", "--dept", "0102", "staff.xls"], self.dir)
        self.assertEqual(r.returncode, 1, r.stdout + r.stderr)
        self.assertIn("第2行:张伟:身份证号110101196803011235已在本部门", r.stderr.splitlines())
        self.assertIn("6人的身份证号已在本部门,未导入任何人员", r.stdout.splitlines())
        self.assertEqual(self.people("0102"), before)

        # Two new people among the known ones: only they are added.
        people = demo_people()
        people[1] = with_id(("赵新",) + people[1][1:], "110101197211204425")
        people[4] = with_id(("钱新",) + people[4][1:], "")  # no number: never a duplicate
        write_staff(self.dir, "mixed.xls", people)
        r = run(["import", "--dept", "0102", "--skip-existing", "mixed.xls"], self.dir)
        self.assertEqual(r.returncode, 0, r.stdout + r.stderr)
        out = r.stdout.splitlines()
        self.assertIn("第2行:张伟:身份证号110101196803011235已在本部门,跳过", out)
        self.assertIn("导入人员2人,未导入0行,跳过4行,履历记录10条,报告2条", out)
        self.assertEqual(self.people("0102"), before + 2)

        r = run(["import", "--dept", "0102", "--allow-duplicates", "staff.xls"], self.dir)
        self.assertEqual(r.returncode, 0, r.stdout + r.stderr)
        self.assertEqual(self.people("0102"), before + 2 + 6)
        # Overwrite replaces the department, so it never asks.
        r = run(["import", "--dept", "0102", "--overwrite", "staff.xls"], self.dir)
        self.assertEqual((r.returncode, self.people("0102")), (0, 6))
        r = run(["import", "--dept", "0102", "--skip-existing", "--allow-duplicates", "staff.xls"], self.dir)
        self.assertEqual(r.returncode, 2)

    def test_update_existing_updates_people_in_place_and_adds_the_others(self):
        self.assertEqual(run(["import", "--dept", "0102", "staff.xls"], self.dir).returncode, 0)
        people = demo_people()
        first_id = people[0][6]
        with self.db() as c:
            (kept_id,) = c.execute("select id from ryjbxx where sfzh=?", (first_id,)).fetchone()
        people[0] = with_birth(people[0], (1968, 4, 2))
        people[1] = with_id(("赵新",) + people[1][1:], "110101197211204425")
        write_staff(self.dir, "update.xls", people)
        r = run(["import", "--dept", "0102", "--update-existing", "update.xls"], self.dir)
        self.assertEqual(r.returncode, 0, r.stdout + r.stderr)
        out = r.stdout.splitlines()
        self.assertIn("新增1人,更新5人,未导入0行", out)
        self.assertIn("工作簿中没有的人员4人,保留未动", out)  # the demo's three and the one replaced
        with self.db() as c:
            self.assertEqual(c.execute("select id, csny from ryjbxx where sfzh=?", (first_id,)).fetchall(),
                             [(kept_id, "1968-04-02")])
        self.assertEqual(self.people("0102"), 3 + 6 + 1)
        for other in ("--overwrite", "--skip-existing", "--allow-duplicates"):
            with self.subTest(other=other):
                r = run(["import", "--dept", "0102", "--update-existing", other, "update.xls"], self.dir)
                self.assertEqual(r.returncode, 2, r.stdout + r.stderr)
                self.assertIn("--update-existing", r.stdout + r.stderr)

    def test_rejects_workbook_holds_the_rows_not_stored_and_imports_once_fixed(self):
        import datetime
        import openpyxl
        people = demo_people()
        people[2] = with_birth(people[2], "19x0-05-09")
        write_staff(self.dir, "bad.xls", people)
        r = run(["import", "--dept", "0102", "--rejects", "rejects.xlsx", "bad.xls"], self.dir)
        self.assertEqual(r.returncode, 3, r.stdout + r.stderr)
        self.assertIn("未导入的1行已写入 rejects.xlsx", r.stdout.splitlines())
        book = openpyxl.load_workbook(os.path.join(self.dir, "rejects.xlsx"))
        rows = list(book.active.iter_rows(values_only=True))
        self.assertEqual(len(rows), 2)
        self.assertEqual(rows[0][:2] + rows[0][-1:], ("序号", "姓名", "未导入原因"))
        # Cells as read: numbers as numbers, texts as texts, dates as dates.
        self.assertEqual(rows[1][:8], (3, "李娜", 2, "回族", "19x0-05-09", datetime.datetime(2002, 9, 1), "工人",
                                       "110101198005091129"))
        self.assertEqual(rows[1][-1], '出生年月"19x0-05-09"不是日期')

        # The clerk puts the date right and saves: the file imports as it is.
        book.active["E2"] = datetime.datetime(1980, 5, 9)
        book.active["E2"].number_format = "yyyy-mm-dd"
        book.save(os.path.join(self.dir, "rejects.xlsx"))
        before = self.people("0102")
        r = run(["import", "--dept", "0102", "rejects.xlsx"], self.dir)
        self.assertEqual(r.returncode, 0, r.stdout + r.stderr)
        self.assertEqual(self.people("0102"), before + 1)
        with self.db() as c:
            row = c.execute("select csny, gzsj, sfzh, (select count(*) from ryxl where mid=p.id) from ryjbxx p "
                            "where xm='李娜' and bm='0102'").fetchall()
        self.assertEqual(row, [("1980-05-09", "2002-09-01", "110101198005091129", 2)])

        # A run that stores every row writes no file; --rejects must name an .xlsx.
        r = run(["import", "--dept", "02", "--rejects", "none.xlsx", "staff.xls"], self.dir)
        self.assertEqual(r.returncode, 0, r.stdout + r.stderr)
        self.assertFalse(os.path.exists(os.path.join(self.dir, "none.xlsx")))
        for rejects, workbook in (("staff.xls", "staff.xls"), ("rejects.xlsx", "./rejects.xlsx")):
            r = run(["import", "--dept", "02", "--rejects", rejects, workbook], self.dir)
            self.assertEqual(r.returncode, 2, r.stdout + r.stderr)
        # A file that cannot be written is found out before anything is stored.
        before = self.people("0201")
        r = run(["import", "--dept", "0201", "--rejects", "nofolder/r.xlsx", "bad.xls"], self.dir)
        self.assertEqual(r.returncode, 1)
        self.assertEqual(r.stderr.splitlines(), ["gzimport: 不能创建工作簿: nofolder/r.xlsx; 导入没有开始"])
        self.assertEqual(self.people("0201"), before)

    def test_report_holds_every_row_with_its_result_and_problems(self):
        import openpyxl
        people = demo_people()
        people[2] = with_birth(people[2], "19x0-05-09")
        write_staff(self.dir, "bad.xls", people)
        before = self.people("0201")
        for dry_run in (["--dry-run"], []):
            with self.subTest(dry_run=dry_run):
                r = run(["import", "--dept", "0201", "--report", "report.xlsx", "--rejects", "rejects.xlsx"] + dry_run
                        + ["bad.xls"], self.dir)
                self.assertEqual(r.returncode, 3, r.stdout + r.stderr)
                self.assertIn("检查结果(6行)已写入 report.xlsx", r.stdout.splitlines())
                sheet = openpyxl.load_workbook(os.path.join(self.dir, "report.xlsx")).active
                rows = list(sheet.iter_rows(values_only=True))
                self.assertEqual(rows[0][:2] + rows[0][-2:], ("序号", "姓名", "结果", "问题"))
                self.assertEqual([row[-2] for row in rows[1:]], ["导入", "导入", "不导入", "导入", "导入", "导入"])
                self.assertEqual(rows[3][-1], '出生年月"19x0-05-09"不是日期')
                # Identity numbers as text; each warning the run gives on a line of its own.
                self.assertTrue(all(isinstance(row[7], str) for row in rows[1:]))
                for line in r.stderr.splitlines():
                    m = re.match(r"第(\d+)行:[^:]+:(.*)", line)
                    if m and not line.endswith("此人未导入"):
                        self.assertIn(m.group(2), rows[int(m.group(1)) - 1][-1].split("\n"))
                # Rows not imported and rows with warnings stand out.
                self.assertEqual(sheet["A4"].fill.fgColor.rgb[-6:], "FFC7CE")
                self.assertEqual(sheet["A2"].fill.fill_type, None)
                self.assertEqual(self.people("0201"), before + (0 if dry_run else 5))

        # A report that cannot be written ends the command before anything is stored.
        r = run(["import", "--dept", "0201", "--report", "nofolder/report.xlsx", "bad.xls"], self.dir)
        self.assertEqual(r.returncode, 1)
        self.assertEqual(r.stderr.splitlines(), ["gzimport: 不能创建工作簿: nofolder/report.xlsx; 导入没有开始"])
        self.assertEqual(self.people("0201"), before + 5)
        for report in ("bad.xls", "rejects.xlsx"):
            r = run(["import", "--dept", "02", "--report", report, "--rejects", "rejects.xlsx", "bad.xls"], self.dir)
            self.assertEqual(r.returncode, 2, r.stdout + r.stderr)

    def test_help_lists_the_exit_statuses(self):
        r = run(["import", "--help"], self.dir)
        lines = [line.split() for line in r.stdout.splitlines()]
        self.assertEqual([words[0] for words in lines if words and words[0] in ("0", "1", "2", "3", "130")],
                         ["0", "3", "1", "2", "130"])
        r = run(["import", "--help"], self.dir, env=locale_env(LANG="zh_CN.UTF-8"))
        self.assertIn("退出状态:", r.stdout.splitlines())

    def test_missing_workbook_and_code_file(self):
        r = run(["import", "--dept", "0102", "nothere.xls"], self.dir)
        self.assertEqual(r.returncode, 1)
        self.assertIn("工作簿不存在: nothere.xls", r.stdout)  # named, so missing, not unchosen
        self.assertNotIn("未选择导入文件!", r.stdout)
        os.remove(os.path.join(self.dir, "dm.txt"))
        r = run(["import", "--dept", "0102", "staff.xls"], self.dir)
        self.assertEqual(r.returncode, 0)
        self.assertIn("代码文件dm.txt不存在", r.stderr)


class Interruptions(DemoDatabase):
    """A large import stopped by Ctrl-C or killed outright keeps only whole rows."""
    N = 20000

    def setUp(self):
        super().setUp()
        subprocess.run(["/usr/bin/python3", os.path.join(REPO, "bench/make_bench_workbook.py"), self.dir,
                        str(self.N)], check=True)

    def start_import(self):
        with self.db() as c:
            self.baseline_count = self.people("0201")
            self.baseline_id = c.execute("select max(id) from ryjbxx").fetchone()[0]
        return subprocess.Popen([GZIMPORT, "import", "--dept", "0201", "bench.xls"], cwd=self.dir,
                                stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)

    def wait_for_new_rows(self):
        deadline = time.time() + 120
        while time.time() < deadline:
            try:
                if self.people("0201") > self.baseline_count:
                    return
            except sqlite3.OperationalError:
                pass
            time.sleep(0.05)
        self.fail("the import stored no rows in time")

    def assert_whole_rows(self):
        with self.db() as c:
            bad = c.execute("""
                select p.id from ryjbxx p where p.id > ? and (
                  (select count(*) from ryxl where mid=p.id) <> 3 or
                  (select count(*) from ryrz where mid=p.id) <> 3 or
                  (select count(*) from rykh where mid=p.id) <> 5)""", (self.baseline_id,)).fetchall()
            stored = self.people("0201")
        self.assertEqual(bad, [])
        return stored

    def test_ctrl_c_finishes_the_row_and_reports_the_abort(self):
        p = self.start_import()
        self.wait_for_new_rows()
        p.send_signal(signal.SIGINT)
        out, err = p.communicate(timeout=120)
        self.assertEqual(p.returncode, 130, err)
        self.assertIn("用户中止!", out)
        stored = self.assert_whole_rows()
        self.assertGreater(stored, self.baseline_count)
        self.assertLess(stored, self.baseline_count + self.N)
        # The last line names the row to go on from; going on from it stores
        # every row of the sheet exactly once.
        last = out.splitlines()[-1]
        m = re.fullmatch(r"请从第(\d+)行继续导入 \(--start-row (\d+)\)", last)
        self.assertIsNotNone(m, out)
        self.assertEqual(m.group(1), m.group(2))
        self.assertEqual(int(m.group(1)), 2 + stored - self.baseline_count)
        r = run(["import", "--dept", "0201", "--start-row", m.group(1), "bench.xls"], self.dir)
        self.assertEqual(r.returncode, 0, r.stderr[-2000:])
        self.assertEqual(self.assert_whole_rows(), self.baseline_count + self.N)

    def test_killed_import_leaves_only_whole_rows(self):
        p = self.start_import()
        self.wait_for_new_rows()
        p.kill()
        p.communicate()
        self.assertGreater(self.assert_whole_rows(), self.baseline_count)


class Journal(DemoDatabase):
    TABLES = ("ryjbxx", "ryxl", "ryrz", "rykh", "rybdrz", "ryjl", "ryjc", "rygzbhb")

    def tables(self):
        with self.db() as c:
            return {t: c.execute(f"select * from {t} order by id").fetchall() for t in self.TABLES}

    def journal(self):
        return os.path.join(self.dir, "data", "gzimport", "journal.sqlite")

    def test_runs_lists_and_undo_takes_back_each_way(self):
        before = self.tables()
        for args in (["--overwrite"], ["--allow-duplicates"]):
            r = run(["import", "--dept", "0102"] + args + ["staff.xls"], self.dir)
            self.assertEqual(r.returncode, 0, r.stderr)
        listed = run(["runs"], self.dir).stdout.splitlines()
        self.assertEqual(len(listed), 3, listed)
        self.assertEqual(listed[1].split("\t")[2:4], ["0102", "追加"])
        self.assertEqual(listed[2].split("\t")[3:], ["覆盖", os.path.join(self.dir, "staff.xls"), "6", "0", "3", "否"])
        refused = run(["undo", "1"], self.dir)
        self.assertEqual(refused.returncode, 1)
        self.assertIn("第 2 次导入", refused.stderr)
        for _ in range(2):
            r = run(["undo"], self.dir)
            self.assertEqual(r.returncode, 0, r.stderr)
        self.assertEqual(self.tables(), before)
        self.assertTrue(all(line.endswith("是") for line in run(["runs"], self.dir).stdout.splitlines()[1:]))
        self.assertEqual(run(["undo"], self.dir).returncode, 1)
        self.assertEqual(os.stat(self.journal()).st_mode & 0o777, 0o600)

    def test_a_run_whose_journal_cannot_be_written_does_not_start(self):
        blocked = os.path.join(self.dir, "data")
        with open(blocked, "w") as f:
            f.write("not a folder")
        r = run(["import", "--dept", "0102", "staff.xls"], self.dir)
        self.assertEqual(r.returncode, 1)
        self.assertIn("--no-journal", r.stderr)
        self.assertEqual(self.people("0102"), 3)
        r = run(["import", "--dept", "0102", "--no-journal", "staff.xls"], self.dir)
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertIn("这次导入不能撤销", r.stderr)
        self.assertEqual(self.people("0102"), 9)


def write_staff_xlsx(folder, name, people):
    """The same workbook as write_staff(), as .xlsx."""
    sys.path.insert(0, os.path.join(REPO, "scripts"))
    import make_demo_workbook as demo
    import datetime
    import openpyxl
    book = openpyxl.Workbook()
    sheet = book.active
    sheet.append(demo.TITLES)
    for r, p in enumerate(people, start=1):
        name_, sex, ethnic, born, started, status, idcard, adj, deduct, college, edu, pos, kh = p
        dates = [datetime.date(*d) if isinstance(d, tuple) else d for d in (born, started)]
        sheet.append([r, name_, sex, ethnic] + dates + [status, idcard, adj, deduct, college, edu, pos, kh])
        for cell in sheet[sheet.max_row][4:6]:
            cell.number_format = "yyyy-mm-dd"
    book.save(os.path.join(folder, name))


class IdentityChecks(DemoDatabase):
    """Identity numbers typed as numbers, checked, repeated; dates and sex texts."""

    def roster(self):
        people = demo_people()
        people[0] = with_id(people[0], 110101196803011235)     # 18 digits in a number cell: digits lost
        people[1] = with_id(people[1], 110101721120432)        # an old 15-digit number: exact
        people[2] = with_id(people[2], "110101198005091128")   # wrong check digit
        people[3] = people[3][:1] + ("男",) + people[3][2:]      # translated through dm.txt
        people[4] = people[4][:1] + ("女士",) + people[4][2:]    # no code for it
        people[5] = with_birth(people[5], (2099, 1, 1))
        return people

    def setUp(self):
        super().setUp()
        with open(os.path.join(self.dir, "dm.txt"), "ab") as f:
            f.write("男=1\r\n女=2\r\n".encode("gb18030"))

    def test_rows_are_checked_and_warned_about_in_xls_and_xlsx(self):
        for name, write in (("roster.xls", write_staff), ("roster.xlsx", write_staff_xlsx)):
            with self.subTest(workbook=name):
                dept = "0101" if name.endswith(".xls") else "0201"
                write(self.dir, name, self.roster())
                with self.db() as c:
                    first = c.execute("select max(id) from ryjbxx").fetchone()[0] + 1
                r = run(["import", "--dept", dept, "--rejects", "r.xlsx", name], self.dir)
                self.assertEqual(r.returncode, 3, r.stdout + r.stderr)
                err = r.stderr.splitlines()
                self.assertIn("第2行:张伟:身份证号是数值,第15位以后的数字已丢失;请把该列设为文本后重新输入,此人未导入", err)
                self.assertIn('第4行:李娜:身份证号"110101198005091128"校验码不对,末位应为9', err)
                self.assertIn('第6行:陈静:性别"女士"在代码表中没有对应的代码,未保存性别', err)
                self.assertIn("第7行:杨𪚥:出生年月2099-01-01晚于今天", err)
                self.assertIn('第7行:杨𪚥:身份证号"11010119631205445X"中的出生年月1963-12,与出生年月2099-01不符', err)
                self.assertIn("第7行:杨𪚥:参加工作时间1983-10-01早于14周岁生日", err)
                self.assertEqual(len([l for l in err if l.startswith("第") and "此人未导入" not in l]), 5, err)
                self.assertIn("导入人员5人,未导入1行,履历记录28条,报告2条,提示5条", r.stdout.splitlines())
                self.assertIn("数据导入完成,1行未导入!提示5条", r.stdout.splitlines())
                with self.db() as c:
                    stored = dict(c.execute("select xm, sfzh from ryjbxx where id>=?", (first,)).fetchall())
                    self.assertEqual(c.execute("select typeof(sfzh), xb from ryjbxx where id>=? and xm='王芳'",
                                               (first,)).fetchall(), [("text", "2")])
                    sexes = dict(c.execute("select xm, xb from ryjbxx where id>=?", (first,)).fetchall())
                self.assertNotIn("张伟", stored)
                self.assertEqual(stored["王芳"], "110101721120432")
                self.assertEqual((sexes["刘洋"], sexes["陈静"]), ("1", None))
                import openpyxl
                rows = list(openpyxl.load_workbook(os.path.join(self.dir, "r.xlsx")).active.iter_rows(values_only=True))
                self.assertEqual([row[1] for row in rows[1:]], ["张伟"])
                self.assertEqual(rows[1][-1], "身份证号是数值,第15位以后的数字已丢失;请把该列设为文本后重新输入")

    def test_a_number_twice_in_the_workbook_is_asked_about(self):
        people = demo_people()
        people[3] = with_id(people[3], " 110101197211204329")  # 王芳's number again (row 3)
        write_staff(self.dir, "twice.xls", people)
        for mode in ([], ["--overwrite"]):
            with self.subTest(mode=mode):
                r = run(["import", "--dept", "0102"] + mode + ["twice.xls"], self.dir)
                self.assertEqual(r.returncode, 1, r.stdout + r.stderr)
                self.assertIn("第5行:刘洋:身份证号 110101197211204329与第3行王芳相同", r.stderr.splitlines())
                self.assertIn("1人的身份证号已在本部门或与工作簿中前面的行相同,未导入任何人员", r.stdout.splitlines())
        before = self.people("0102")
        r = run(["import", "--dept", "0102", "--skip-existing", "twice.xls"], self.dir)
        self.assertEqual(r.returncode, 0, r.stdout + r.stderr)
        self.assertIn("第5行:刘洋:身份证号 110101197211204329与第3行王芳相同,跳过", r.stdout.splitlines())
        self.assertEqual(self.people("0102"), before + 5)

    def test_dry_run_says_what_an_import_would_do(self):
        write_staff(self.dir, "roster.xls", self.roster())
        r = run(["import", "--dept", "0102", "--dry-run", "roster.xls"], self.dir)
        self.assertEqual(r.returncode, 3, r.stdout + r.stderr)
        self.assertIn("将导入5人,未导入1行,提示5条", r.stdout.splitlines())
        self.assertEqual(self.people("0102"), 3)


class Passwords(DemoDatabase):
    """An encrypted copy of the staff workbook (password 工资)."""

    PASSWORD = "工资"

    def setUp(self):
        super().setUp()
        data = os.path.join(REPO, "shell", "tests", "data")
        shutil.copy(os.path.join(data, "staff_password.xls"), os.path.join(self.dir, "locked.xls"))
        shutil.copy(os.path.join(data, "staff.xls"), os.path.join(self.dir, "open.xls"))

    def assert_password_not_shown(self, r, password):
        self.assertNotIn(password, r.stdout + r.stderr)

    def test_password_from_the_option_or_a_file(self):
        before = self.people("0102")
        r = run(["import", "--dept", "0102", "--password", self.PASSWORD, "locked.xls"], self.dir)
        self.assertEqual(r.returncode, 0, r.stdout + r.stderr)
        self.assertEqual(self.people("0102"), before + 6)
        with open(os.path.join(self.dir, "pw.txt"), "w", encoding="utf-8") as f:
            f.write(self.PASSWORD + "\r\nsecond line\n")
        r = run(["sheet", "--password-file", "pw.txt", "locked.xls"], self.dir)
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertEqual(r.stdout, run(["sheet", "open.xls"], self.dir).stdout)

    def test_wrong_or_missing_password_exits_1_and_touches_nothing(self):
        before = self.people("0102")
        cases = [
            ([], "工作簿有打开密码"),
            (["--password", "xyzzy"], "密码不正确"),
            (["--password", ""], "密码不正确"),
        ]
        for extra, reason in cases:
            with self.subTest(extra=extra):
                r = run(["import", "--dept", "0102", "--overwrite"] + extra + ["locked.xls"], self.dir,
                        stdin=subprocess.DEVNULL)
                self.assertEqual(r.returncode, 1, r.stdout + r.stderr)
                self.assertIn("locked.xls: " + reason, r.stdout)
                self.assert_password_not_shown(r, "xyzzy")
                self.assertEqual(self.people("0102"), before)  # the overwrite deleted nothing
                r = run(["sheet"] + extra + ["locked.xls"], self.dir, stdin=subprocess.DEVNULL)
                self.assertEqual((r.returncode, r.stdout, r.stderr.strip()),
                                 (1, "", "gzimport: " + reason + ": locked.xls"))

    def test_password_option_misuse(self):
        r = run(["sheet", "--password", "a", "--password-file", "pw.txt", "locked.xls"], self.dir)
        self.assertEqual(r.returncode, 2)
        self.assertIn("--password-file", r.stderr)
        r = run(["sheet", "--password-file", "none.txt", "locked.xls"], self.dir)
        self.assertEqual((r.returncode, r.stderr.strip()), (1, "gzimport: 无法读取密码文件: none.txt"))

    def prompt_session(self, args, answers):
        """Runs gzimport on a pseudo-terminal, answering each password prompt
        in turn; returns the exit status and everything the terminal showed."""
        master, slave = pty.openpty()
        p = subprocess.Popen([GZIMPORT] + args, cwd=self.dir, stdin=slave, stdout=slave, stderr=slave,
                             start_new_session=True)
        os.close(slave)
        shown = b""
        deadline = time.time() + 120
        answered = 0
        while time.time() < deadline:
            ready, _, _ = select.select([master], [], [], 0.2)
            if ready:
                try:
                    chunk = os.read(master, 4096)
                except OSError:  # the program ended and closed the terminal
                    break
                if not chunk:
                    break
                shown += chunk
                # Each question ends in "密码: "; answer the ones not answered yet.
                if answered < len(answers) and shown.count("密码: ".encode()) > answered:
                    os.write(master, (answers[answered] + "\n").encode())
                    answered += 1
            elif p.poll() is not None:
                break
        p.wait(timeout=60)
        os.close(master)
        return p.returncode, shown.decode("utf-8", "replace")

    def test_prompt_on_a_terminal_does_not_echo(self):
        status, shown = self.prompt_session(["sheet", "locked.xls"], ["xyzzy", self.PASSWORD])
        self.assertEqual(status, 0, shown)
        self.assertIn("工作簿 locked.xls 有打开密码。请输入密码:", shown)
        self.assertIn("密码不正确。请重新输入密码:", shown)
        self.assertIn("张伟", shown)
        self.assertNotIn("xyzzy", shown)

        status, shown = self.prompt_session(["sheet", "locked.xls"], ["a", "b", "c"])
        self.assertEqual(status, 1, shown)
        self.assertIn("gzimport: 密码不正确: locked.xls", shown)
        self.assertEqual(shown.count("请重新输入密码"), 2)



class Migrate(DemoDatabase):
    """An Access file brought over with `migrate`, and refused as a database elsewhere."""

    def access_file(self, name, as_name=None):
        import gzip
        path = os.path.join(self.dir, as_name or name)
        with gzip.open(os.path.join(REPO, "testdata/access", name + ".gz")) as src, open(path, "wb") as out:
            shutil.copyfileobj(src, out)
        return path

    def test_access_file_as_database_names_the_migrate_command(self):
        self.access_file("testV1997.mdb", "old.dat")
        for args in (["tree", "--db", "old.dat"], ["people", "--db", "old.dat", "--dept", "01"],
                     ["import", "--db", "old.dat", "--dept", "0102", "staff.xls"]):
            r = run(args, self.dir)
            self.assertEqual(r.returncode, 1, args)
            self.assertEqual(len(r.stderr.strip().splitlines()), 1, r.stderr)
            self.assertIn("gzimport migrate old.dat --to", r.stderr)

    def test_migrate_prints_a_line_per_table_and_a_summary(self):
        self.access_file("testV1997.mdb")
        r = run(["migrate", "testV1997.mdb", "--to", "new.db"], self.dir)
        self.assertEqual(r.returncode, 0, r.stderr)
        lines = r.stdout.splitlines()
        self.assertEqual(lines[0][:len("表 Table1: 读出2行, 写入2行")], "表 Table1: 读出2行, 写入2行")
        self.assertTrue(lines[-1].startswith("迁移完成: 4个表, 2行"), lines[-1])
        # Again: the tables are there, so nothing is written without --replace.
        r = run(["migrate", "testV1997.mdb", "--to", "new.db", "--tables", "Table1"], self.dir)
        self.assertEqual(r.returncode, 1)
        self.assertIn("--replace", r.stderr)
        r = run(["migrate", "testV1997.mdb", "--to", "new.db", "--tables", "Table1", "--replace"], self.dir)
        self.assertEqual(r.returncode, 0, r.stderr)

    def test_database_password_is_asked_for_and_never_shown(self):
        self.access_file("V2003_with-password.mdb", "pw.mdb")
        with open(os.path.join(self.dir, "pw.txt"), "w") as f:
            f.write("password\n")
        cases = [
            ("missing", [], 1),
            ("wrong", ["--password", "secret1"], 1),
            ("given", ["--password", "password"], 0),
            ("from a file", ["--password-file", "pw.txt", "--replace"], 0),
        ]
        for name, extra, status in cases:
            r = run(["migrate", "pw.mdb", "--to", "pw.db"] + extra, self.dir, stdin=subprocess.DEVNULL)
            self.assertEqual(r.returncode, status, name + ": " + r.stderr)
            self.assertNotIn("secret1", r.stdout + r.stderr, name)
            self.assertIsNone(re.search(r"(?<![-\w])password", r.stdout + r.stderr), name)
            if status:
                self.assertEqual(len(r.stderr.strip().splitlines()), 1, name + ": " + r.stderr)
                # Refused before anything was read: no target file is left.
                self.assertFalse(os.path.exists(os.path.join(self.dir, "pw.db")), name)

    def test_files_that_cannot_be_read_end_with_one_line_and_no_target(self):
        self.access_file("office-agile-4.4-head.accdb", "locked.accdb")
        self.access_file("test2V2003.mdb", "whole.mdb")
        with open(os.path.join(self.dir, "whole.mdb"), "rb") as f:
            data = f.read()
        with open(os.path.join(self.dir, "cut.mdb"), "wb") as f:
            f.write(data[:60000])
        for name in ("locked.accdb", "cut.mdb", "staff.xls"):
            started = time.monotonic()
            r = run(["migrate", name, "--to", "out.db"], self.dir)
            self.assertLess(time.monotonic() - started, 5, name)
            self.assertEqual(r.returncode, 1, name)
            self.assertEqual(len([l for l in r.stderr.splitlines() if l.startswith("gzimport:")]), 1, r.stderr)
            self.assertFalse(os.path.exists(os.path.join(self.dir, "out.db")), name)

if __name__ == "__main__":
    GZIMPORT, REPO = os.path.abspath(sys.argv[1]), sys.argv[2]
    unittest.main(argv=sys.argv[:1], verbosity=2)
