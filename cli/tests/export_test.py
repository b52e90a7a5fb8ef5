#!/usr/bin/python3
"""`gzimport export` end to end on a demo SQLite database: the department
written out and updated back from its own workbook changes no row, and each
bad input ends with one clear line, exit status 1 and no file left behind.

Usage: export_test.py GZIMPORT_BINARY REPO_DIR
"""
import glob
import os
import sqlite3
import subprocess
import sys
import tempfile
import unittest

GZIMPORT = None
REPO = None


def run(args, cwd):
    env = {k: v for k, v in os.environ.items() if not (k.startswith("LC_") or k in ("LANG", "LANGUAGE"))}
    env["LANG"] = "C"
    return subprocess.run([GZIMPORT] + args, cwd=cwd, capture_output=True, text=True, timeout=300, env=env)


class Export(unittest.TestCase):
    """A folder with the demo database, the demo workbook staff.xls and its dm.txt,
    the workbook imported into department 0102."""

    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory()
        self.dir = self.tmp.name
        subprocess.run(["/usr/bin/python3", os.path.join(REPO, "scripts/make_demo_workbook.py"), self.dir],
                       check=True)
        self.assertEqual(run(["init-db", "--demo", "gzgl.mdb"], self.dir).returncode, 0)

    def tearDown(self):
        self.tmp.cleanup()

    def import_staff(self, demo_people):
        """The workbook imported into 0102, beside the demo's own people or without them."""
        if not demo_people:
            with sqlite3.connect(os.path.join(self.dir, "gzgl.mdb")) as db:
                for t in ("ryjbxx", "ryxl", "ryrz", "rykh"):
                    db.execute("delete from " + t)
        r = run(["import", "--dept", "0102", "--no-journal", "staff.xls"], self.dir)
        self.assertIn(r.returncode, (0, 3), r.stderr)

    def tables(self):
        with sqlite3.connect(os.path.join(self.dir, "gzgl.mdb")) as db:
            return {t: db.execute("select * from %s order by id" % t).fetchall()
                    for t in ("ryjbxx", "ryxl", "ryrz", "rykh")}

    def test_update_from_the_export_changes_no_row(self):
        self.import_staff(demo_people=False)
        before = self.tables()
        r = run(["export", "--dept", "0102", "out.xlsx"], self.dir)
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertEqual(r.stdout.splitlines(), ["已导出6人, 履历记录36条, 写入 out.xlsx"])
        r = run(["import", "--dept", "0102", "--update-existing", "--no-journal", "out.xlsx"], self.dir)
        self.assertIn(r.returncode, (0, 3), r.stderr)
        self.assertEqual(self.tables(), before)

    def test_what_cannot_come_back_is_counted(self):
        # The demo's 王强 studied full time in the month he started work on its
        # first day: the import reads that line as study in service.
        self.import_staff(demo_people=True)
        before = self.tables()
        r = run(["export", "--dept", "0102", "out.xlsx"], self.dir)
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertIn("学历: 1个值导入时不能原样还原", r.stdout.splitlines())
        run(["import", "--dept", "0102", "--update-existing", "--no-journal", "out.xlsx"], self.dir)
        after = self.tables()
        for t in ("ryjbxx", "ryrz", "rykh"):
            self.assertEqual(after[t], before[t], t)
        self.assertEqual(len(set(before["ryxl"]) - set(after["ryxl"])), 1)

    def test_bad_input_is_one_line_and_leaves_no_file(self):
        self.import_staff(demo_people=True)
        os.mkdir(os.path.join(self.dir, "folder"))
        os.symlink("loop.txt", os.path.join(self.dir, "loop.txt"))
        cases = [
            ("unknown department", ["--dept", "99", "out.xlsx"], "机构代码不存在: 99"),
            ("folder that does not exist", ["--dept", "0102", "none/out.xlsx"], "不能创建工作簿: none/out.xlsx"),
            ("target that is a folder", ["--dept", "0102", "folder"], "不能创建工作簿: folder"),
            ("code file that cannot be read", ["--dept", "0102", "--codes", "loop.txt", "out.xlsx"],
             "无法读取代码文件 loop.txt"),
        ]
        for name, args, message in cases:
            with self.subTest(name):
                r = run(["export"] + args, self.dir)
                self.assertEqual(r.returncode, 1, name)
                self.assertEqual(len(r.stderr.strip().splitlines()), 1, r.stderr)
                self.assertIn(message, r.stderr)
                self.assertFalse(os.path.exists(os.path.join(self.dir, "out.xlsx")), name)
                self.assertEqual(glob.glob(os.path.join(self.dir, "**", "*.part*"), recursive=True), [], name)
        self.assertTrue(os.path.isdir(os.path.join(self.dir, "folder")))


if __name__ == "__main__":
    GZIMPORT, REPO = sys.argv[1], sys.argv[2]
    unittest.main(argv=sys.argv[:1])
