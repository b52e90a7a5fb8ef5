#!/usr/bin/python3
"""The import's output lines when nobody watches them: into a file, a pipe or
two pipes, and after Ctrl-C, every line arrives once, in the order written.
The workbook reports one line on stderr for every row (its first education
line has no code), so the two streams alternate line by line.

Usage: output_test.py GZIMPORT_BINARY REPO_DIR
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
ENV = {**{k: v for k, v in os.environ.items() if not (k.startswith("LC_") or k in ("LANG", "LANGUAGE"))},
       "LANG": "C"}


class BenchFolder(unittest.TestCase):
    """A demo database and a bench workbook of N people."""
    N = 3000

    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory()
        self.dir = self.tmp.name
        subprocess.run([GZIMPORT, "init-db", "--demo", "gzgl.mdb"], cwd=self.dir, check=True,
                       stdout=subprocess.DEVNULL, env=ENV)
        subprocess.run(["/usr/bin/python3", os.path.join(REPO, "bench/make_bench_workbook.py"),
                        "--line-without-code", self.dir, str(self.N)], check=True)

    def tearDown(self):
        self.tmp.cleanup()

    def stored_names(self):
        with sqlite3.connect(os.path.join(self.dir, "gzgl.mdb")) as c:
            return [r[0] for r in c.execute("select xm from ryjbxx where bm = '0201' order by id")]

    def start(self, stdout, stderr):
        return subprocess.Popen([GZIMPORT, "import", "--dept", "0201", "--allow-duplicates", "bench.xls"],
                                cwd=self.dir, stdout=stdout, stderr=stderr, env=ENV)

    def assert_rows_told_in_order(self, lines, names, where):
        """Each stored person's name, then the line about its education without a code."""
        first = lines.index("XLS相配置!准备导入") + 1
        told = lines[first:first + 2 * len(names)]
        expected = [line for name in names for line in (name, "学历:" + name + ":技校")]
        self.assertEqual(told, expected, where)
        return first + len(expected)


class Output(BenchFolder):
    def test_lines_arrive_whole_and_in_order(self):
        rows = [
            # name, how stdout and stderr are taken
            ("one file for both", "file"),
            ("one pipe for both", "pipe"),
            ("a pipe each", "pipes"),
        ]
        for name, how in rows:
            with self.subTest(name):
                path = os.path.join(self.dir, "out.txt")
                with open(path, "wb") as f:
                    if how == "file":
                        p = self.start(f, subprocess.STDOUT)
                    elif how == "pipe":
                        p = self.start(subprocess.PIPE, subprocess.STDOUT)
                    else:
                        p = self.start(subprocess.PIPE, subprocess.PIPE)
                    out, err = p.communicate(timeout=300)
                self.assertEqual(p.returncode, 0, name)
                if how == "file":
                    with open(path, "rb") as f:
                        out = f.read()
                names = self.stored_names()[-self.N:]
                if how == "pipes":
                    lines = out.decode().splitlines()
                    first = lines.index("XLS相配置!准备导入") + 1
                    self.assertEqual(lines[first:first + self.N], names, name)
                    self.assertEqual(err.decode().splitlines(), ["学历:" + n + ":技校" for n in names], name)
                else:
                    lines = out.decode().splitlines()
                    self.assert_rows_told_in_order(lines, names, name)
                    self.assertEqual(lines[-1], "[提示] 数据导入成功!", name)


class Interrupted(BenchFolder):
    N = 20000

    def test_ctrl_c_writes_out_every_line_of_the_stored_rows(self):
        path = os.path.join(self.dir, "out.txt")
        before = len(self.stored_names())  # the demo's people
        with open(path, "wb") as f:
            p = self.start(f, subprocess.STDOUT)
            deadline = time.time() + 120
            while len(self.stored_names()) == before and time.time() < deadline:
                time.sleep(0.05)
            p.send_signal(signal.SIGINT)
            p.wait(timeout=120)
        self.assertEqual(p.returncode, 130)
        with open(path, "rb") as f:
            lines = f.read().decode().splitlines()
        names = self.stored_names()[before:]
        self.assertLess(len(names), self.N)
        after = self.assert_rows_told_in_order(lines, names, "interrupted")
        self.assertEqual(lines[after], "用户中止!")
        self.assertRegex(lines[-1], r"^请从第\d+行继续导入")


if __name__ == "__main__":
    GZIMPORT, REPO = os.path.abspath(sys.argv[1]), sys.argv[2]
    unittest.main(argv=sys.argv[:1], verbosity=2)
