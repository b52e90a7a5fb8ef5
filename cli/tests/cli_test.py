#!/usr/bin/python3
"""End-to-end tests of the gzimport command line on a demo SQLite database.

Usage: cli_test.py GZIMPORT_BINARY REPO_DIR
"""
import os
import signal
import sqlite3
import subprocess
import sys
import tempfile
import time
import unittest

GZIMPORT = None
REPO = None


def run(args, cwd, **kw):
    return subprocess.run([GZIMPORT] + args, cwd=cwd, capture_output=True, text=True, timeout=300, **kw)


class DemoDatabase(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory()
        self.dir = self.tmp.name
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
        self.assertEqual(out[1:7], ["张伟", "王芳", "李娜", "刘洋", "陈静", "杨军"])
        self.assertIn("数据导入成功!", out)
        self.assertIn("职务:陈静:工勤", r.stderr.splitlines())
        self.assertEqual(self.people("0102"), 3 + 6)

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
        self.assertEqual(p.returncode, 0, err)
        self.assertIn("用户中止!", out)
        stored = self.assert_whole_rows()
        self.assertGreater(stored, self.baseline_count)
        self.assertLess(stored, self.baseline_count + self.N)

    def test_killed_import_leaves_only_whole_rows(self):
        p = self.start_import()
        self.wait_for_new_rows()
        p.kill()
        p.communicate()
        self.assertGreater(self.assert_whole_rows(), self.baseline_count)


if __name__ == "__main__":
    GZIMPORT, REPO = os.path.abspath(sys.argv[1]), sys.argv[2]
    unittest.main(argv=sys.argv[:1], verbosity=2)
