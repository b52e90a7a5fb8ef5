#!/usr/bin/python3
"""The PostgreSQL script an IT person would write instead of the tool:
xlrd + psycopg2, the same mapping of one workbook into the personnel tables
as peer_import.py, one `insert ... returning id` per person and each
person's history lines with execute_values, in one transaction. Used as the
PostgreSQL benchmark's peer.

Usage: peer_pg_import.py WORKBOOK POSTGRESQL_URL DM_TXT DEPT
"""
import sys

import psycopg2
import psycopg2.extras

from peer_import import read_people


def main(wb, url, dm, dept):
    con = psycopg2.connect(url)
    cur = con.cursor()
    for person, education, positions, assessments in read_people(wb, dm, dept):
        cur.execute("insert into ryjbxx (bm,jxqyf,xm,jkzk,bh,sfzh,kjgl,xb,mz,csny,gzsj,grsf,dzysxl)"
                    " values (%s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s) returning id", person)
        pid = cur.fetchone()[0]
        if education:
            psycopg2.extras.execute_values(
                cur, "insert into ryxl (mid,xxxs,xlrq,xldm,dzysxl) values %s", [(pid,) + e for e in education])
        if positions:
            psycopg2.extras.execute_values(
                cur, "insert into ryrz (mid,rzrq,rzzwdm,gzzwdm) values %s", [(pid,) + p for p in positions])
        if assessments:
            psycopg2.extras.execute_values(
                cur, "insert into rykh (mid,khnd,khjg) values %s", [(pid,) + a for a in assessments])
    con.commit()
    con.close()


if __name__ == "__main__":
    main(*sys.argv[1:5])
