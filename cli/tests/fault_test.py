#!/usr/bin/python3
"""Faults injected into whole gzimport runs: another user holding the database,
two imports started together, a killed import, a PostgreSQL server stopped in the
middle of a run. After each: the people stored are whole rows, counted exactly,
and the terminal shows the tool's own lines, never a library's.

The PostgreSQL cases start a throwaway server of their own (they stop it), and are
skipped where no server binaries are installed.

Usage: fault_test.py GZIMPORT_BINARY REPO_DIR
"""
import glob
import os
import re
import shutil
import socket
import sqlite3
import subprocess
import sys
import tempfile
import time
import unittest

GZIMPORT = None
REPO = None

WAITING = "数据库正被其他程序使用，正在等待…"
RUN_WAITING = "本部门或其上下级部门的另一次导入正在进行，正在等待…"
# What the libraries print by themselves; none of it may reach the terminal.
RAW = re.compile(r"QSqlQuery|QPSQL|QSQLITE|Unable to|server closed|WARNING \*\*|CRITICAL \*\*")


def env():
    e = {k: v for k, v in os.environ.items() if not (k.startswith("LC_") or k in ("LANG", "LANGUAGE"))}
    e["LANG"] = "C"
    return e


def run(args, cwd, timeout=300):
    return subprocess.run([GZIMPORT] + args, cwd=cwd, capture_output=True, text=True, timeout=timeout, env=env())


def start(args, cwd):
    return subprocess.Popen([GZIMPORT] + args, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True,
                            env=env())


def stored_summary(stdout):
    """The persons count of the closing summary line (导入人员N人,...)."""
    m = re.search(r"导入人员(\d+)人", stdout)
    return int(m.group(1)) if m else None


def wait_until(condition, what, seconds=120):
    deadline = time.time() + seconds
    while time.time() < deadline:
        if condition():
            return
        time.sleep(0.05)
    raise AssertionError("timed out waiting for " + what)


class Faults(unittest.TestCase):
    """A folder with the demo database (DB), the demo workbook staff.xls (6 people) and
    bench.xls (N people with 3 education, 3 position and 5 assessment lines each)."""
    N = 3000
    DB = "gzgl.mdb"

    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory()
        self.dir = self.tmp.name
        # The bench workbook's code file is written last: it has every code of its lines.
        subprocess.run(["/usr/bin/python3", os.path.join(REPO, "scripts/make_demo_workbook.py"), self.dir],
                       check=True)
        subprocess.run(["/usr/bin/python3", os.path.join(REPO, "bench/make_bench_workbook.py"), self.dir,
                        str(self.N)], check=True)
        r = run(["init-db", "--demo", self.DB], self.dir)
        self.assertEqual(r.returncode, 0, r.stderr)

    def tearDown(self):
        self.tmp.cleanup()

    def big_workbook(self):
        """A bench workbook of 20,000 people, for a run that must last: big/bench.xls."""
        subprocess.run(["/usr/bin/python3", os.path.join(REPO, "bench/make_bench_workbook.py"),
                        os.path.join(self.dir, "big"), "20000"], check=True)
        return os.path.join("big", "bench.xls")

    def import_args(self, dept, workbook, *extra):
        return ["import", "--db", self.DB, "--dept", dept] + list(extra) + [workbook]

    def assert_own_lines(self, r):
        self.assertIsNone(RAW.search(r.stdout + r.stderr), r.stdout + r.stderr)

    def sql(self, query):
        """The one number a query gives."""
        raise NotImplementedError

    def count(self, where):
        return self.sql("select count(*) from ryjbxx where " + where)

    def not_whole(self, where):
        """People of the bench workbook (chosen by `where`) without all of their history rows."""
        return self.sql("""select count(*) from ryjbxx p where (""" + where + """) and (
                             (select count(*) from ryxl where mid=p.id) <> 3 or
                             (select count(*) from ryrz where mid=p.id) <> 3 or
                             (select count(*) from rykh where mid=p.id) <> 5)""")

    def check_overlapping_runs_never_mix(self):
        """An overwrite of 01 and one of 0102 started together: the result is one
        run's people or both runs' one after the other, never a mix."""
        a = start(self.import_args("01", "bench.xls", "--overwrite"), self.dir)
        b = start(self.import_args("0102", "bench.xls", "--overwrite"), self.dir)
        outs = [p.communicate(timeout=300) for p in (a, b)]
        for p, (out, err) in zip((a, b), outs):
            self.assertEqual(p.returncode, 0, out + err)
        in_01, in_0102 = self.count("bm = '01'"), self.count("bm like '0102%'")
        self.assertEqual(in_01, self.N)
        self.assertIn(in_0102, (0, self.N))  # 0102 first (then deleted by 01), or 01 first
        self.assertEqual(self.count("bm like '01%'"), in_01 + in_0102)
        self.assertEqual(sum(o.count(RUN_WAITING) for o, _ in outs), 1, "one run waits for the other")
        self.assertEqual(self.not_whole("p.bm like '01%'"), 0)


class SqliteFaults(Faults):
    def sql(self, query):
        with sqlite3.connect(os.path.join(self.dir, self.DB)) as c:
            return c.execute(query).fetchone()[0]

    def hold_write_lock(self):
        """Another program's write transaction on the database, until closed."""
        other = sqlite3.connect(os.path.join(self.dir, self.DB), isolation_level=None)
        other.execute("begin immediate")
        return other

    def test_a_lock_held_for_a_moment_is_waited_for(self):
        before = self.count("bm like '0102%'")
        other = self.hold_write_lock()
        p = start(self.import_args("0102", "staff.xls"), self.dir)
        time.sleep(2)
        other.rollback()
        other.close()
        out, err = p.communicate(timeout=120)
        self.assertEqual(p.returncode, 0, out + err)
        self.assertIn(WAITING, out.splitlines())
        self.assertIn("数据导入成功!", out)
        self.assertEqual(self.count("bm like '0102%'"), before + 6)

    def test_a_lock_held_past_the_wait_ends_the_run_with_nothing_written(self):
        before = self.count("1 = 1")
        other = self.hold_write_lock()
        try:
            r = run(self.import_args("0102", "staff.xls", "--overwrite", "--wait", "1"), self.dir)
        finally:
            other.rollback()
            other.close()
        self.assertEqual(r.returncode, 1, r.stdout + r.stderr)
        self.assertIn(WAITING, r.stdout)
        self.assertIn("数据库一直被其他程序使用,等待超时,导入中断,此前提交的人员已保存", r.stdout)
        self.assertNotIn("此人未导入", r.stderr)  # no row is blamed
        self.assertEqual(stored_summary(r.stdout), 0)
        self.assertEqual(self.count("1 = 1"), before)  # the overwrite deleted nothing either
        self.assert_own_lines(r)

    def test_wait_takes_whole_seconds(self):
        for value in ("-1", "soon", "1.5"):
            with self.subTest(value=value):
                r = run(self.import_args("0102", "staff.xls", "--wait", value), self.dir)
                self.assertEqual(r.returncode, 2, r.stderr)
                self.assertIn("--wait", r.stderr)

    def test_overlapping_runs_started_together_never_mix(self):
        self.check_overlapping_runs_never_mix()

    def test_a_killed_run_leaves_its_lock_to_the_next(self):
        first_new = self.sql("select max(id) from ryjbxx") + 1
        p = start(self.import_args("0201", "bench.xls"), self.dir)
        wait_until(lambda: os.path.exists(os.path.join(self.dir, self.DB + ".import-lock")), "the run's lock file")
        p.kill()
        p.communicate()
        self.assertTrue(os.path.exists(os.path.join(self.dir, self.DB + ".import-lock")))
        r = run(self.import_args("0102", "staff.xls", "--wait", "0"), self.dir)
        self.assertEqual(r.returncode, 0, r.stdout + r.stderr)
        self.assertNotIn(RUN_WAITING, r.stdout)
        self.assertFalse(os.path.exists(os.path.join(self.dir, self.DB + ".import-lock")))
        self.assertEqual(self.not_whole(f"p.id >= {first_new} and p.bm = '0201'"), 0)

    def test_a_damaged_workbook_shows_no_library_warnings(self):
        data = open(os.path.join(self.dir, "staff.xls"), "rb").read()
        for name, damaged in [("cut.xls", data[: len(data) * 2 // 3]),
                              ("scrambled.xls", data[:512] + bytes(b ^ 0x5A for b in data[512:1536]) + data[1536:])]:
            with self.subTest(workbook=name):
                with open(os.path.join(self.dir, name), "wb") as f:
                    f.write(damaged)
                r = run(self.import_args("0102", name), self.dir)
                self.assertIn(r.returncode, (0, 1), r.stdout + r.stderr)
                self.assert_own_lines(r)


def pg_bin():
    found = sorted(glob.glob("/usr/lib/postgresql/*/bin/pg_ctl"))
    return os.path.dirname(found[-1]) if found else None


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class ThrowawayServer:
    """A PostgreSQL cluster of the test's own, on a free port; trust authentication."""

    def __init__(self):
        self.bin = pg_bin()
        self.dir = tempfile.mkdtemp(prefix="gz-fault-pg-")
        self.port = free_port()
        if os.getuid() == 0:
            shutil.chown(self.dir, "postgres")
        self.owner(["initdb", "-D", self.data(), "-U", "postgres", "-A", "trust", "-E", "UTF8", "--no-locale"])
        self.start()

    def data(self):
        return os.path.join(self.dir, "data")

    def owner(self, cmd):
        cmd = [os.path.join(self.bin, cmd[0])] + cmd[1:]
        if os.getuid() == 0:
            cmd = ["runuser", "-u", "postgres", "--"] + cmd
        subprocess.run(cmd, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def start(self):
        self.owner(["pg_ctl", "-D", self.data(), "-l", os.path.join(self.dir, "server.log"), "-w", "-t", "60", "-o",
                    f"-p {self.port} -k {self.dir} -c listen_addresses=127.0.0.1 -c fsync=off", "start"])

    def stop_immediately(self):
        self.owner(["pg_ctl", "-D", self.data(), "-m", "immediate", "-w", "stop"])

    def remove(self):
        try:
            self.owner(["pg_ctl", "-D", self.data(), "-m", "immediate", "-w", "stop"])
        except subprocess.CalledProcessError:
            pass
        shutil.rmtree(self.dir, ignore_errors=True)

    def url(self, db):
        return f"postgresql://postgres@127.0.0.1:{self.port}/{db}"

    def psql(self, db, query):
        r = subprocess.run(["psql", "-h", "127.0.0.1", "-p", str(self.port), "-U", "postgres", "-d", db, "-Atc", query],
                           capture_output=True, text=True, check=True)
        return r.stdout.strip()


@unittest.skipUnless(pg_bin() and shutil.which("psql"), "no PostgreSQL server binaries")
class PostgresFaults(Faults):
    N = 1500

    @classmethod
    def setUpClass(cls):
        cls.server = ThrowawayServer()
        cls.databases = 0

    @classmethod
    def tearDownClass(cls):
        cls.server.remove()

    def setUp(self):
        type(self).databases += 1
        self.name = f"faults{self.databases}"
        self.server.psql("postgres", "create database " + self.name)
        self.DB = self.server.url(self.name)
        super().setUp()

    def sql(self, query):
        return int(self.server.psql(self.name, query))

    def test_server_stopped_in_the_middle_of_a_run(self):
        before = self.count("bm = '0201'")
        first_new = self.sql("select max(id) from ryjbxx") + 1
        p = start(self.import_args("0201", self.big_workbook()), self.dir)
        wait_until(lambda: self.count("bm = '0201'") > before + 100, "the first committed rows")
        self.server.stop_immediately()
        out, err = p.communicate(timeout=120)
        self.server.start()
        self.assertEqual(p.returncode, 1, out + err)
        self.assertIn("与数据库的连接已断开,导入中断,此前提交的人员已保存: PostgreSQL 数据库 " + self.name, out)
        self.assertNotIn("此人未导入", err)
        self.assert_own_lines(subprocess.CompletedProcess([], 1, out, err))
        stored = self.count("bm = '0201'") - before
        self.assertEqual(stored_summary(out), stored)  # exactly what was committed
        self.assertGreater(stored, 0)
        self.assertLess(stored, 20000)
        self.assertEqual(self.not_whole(f"p.id >= {first_new}"), 0)

    def test_overlapping_runs_started_together_never_mix(self):
        self.check_overlapping_runs_never_mix()

    def test_unrelated_departments_run_side_by_side(self):
        a = start(self.import_args("02", self.big_workbook(), "--overwrite"), self.dir)
        wait_until(lambda: self.count("bm = '02'") > 0, "the first committed rows")
        overlapping = run(self.import_args("0201", "staff.xls", "--wait", "1"), self.dir)
        unrelated = run(self.import_args("0102", "staff.xls", "--wait", "0"), self.dir)
        still_running = a.poll() is None
        a.kill()
        a.communicate()
        self.assertTrue(still_running, "the long run ended too soon for this test")
        self.assertEqual(overlapping.returncode, 1, overlapping.stdout + overlapping.stderr)
        self.assertIn(RUN_WAITING, overlapping.stdout)
        self.assertIn("本部门或其上下级部门的另一次导入一直在进行,等待超时,本次导入未写入任何数据", overlapping.stdout)
        self.assertEqual(self.count("bm = '0201'"), 0)  # the waiting run wrote nothing
        self.assertEqual(unrelated.returncode, 0, unrelated.stdout + unrelated.stderr)
        self.assertNotIn(RUN_WAITING, unrelated.stdout)
        self.assertEqual(self.count("bm like '0102%'"), 3 + 6)


if __name__ == "__main__":
    GZIMPORT = os.path.abspath(sys.argv.pop(1))
    REPO = os.path.abspath(sys.argv.pop(1))
    # The runs' journal goes into a folder of the tests, not the operator's.
    with tempfile.TemporaryDirectory() as data:
        os.environ["XDG_DATA_HOME"] = data
        unittest.main()
