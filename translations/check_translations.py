#!/usr/bin/python3
"""Checks that a program's catalogues are complete: lupdate, run on the
program's sources into a copy of each catalogue, must find no text without a
finished translation, and the catalogue must hold no text the sources dropped.

Usage: check_translations.py LUPDATE SOURCE_DIR CATALOGUE.ts... -- SOURCE...

On a failure it names the texts; `cmake --build build --target
update_translations` brings the catalogues up to date, then the translations
are written into them (Qt Linguist, or by hand).
"""
import os
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET


def messages(path):
    """(context, source) -> translation state: 'finished', 'unfinished' or 'vanished'/'obsolete'."""
    found = {}
    for context in ET.parse(path).getroot().iter("context"):
        name = context.findtext("name")
        for m in context.iter("message"):
            t = m.find("translation")
            state = t.get("type", "finished") if t is not None and (t.text or t.get("type")) else "unfinished"
            found[(name, m.findtext("source"))] = state
    return found


def check(lupdate, source_dir, catalogue, sources):
    problems = []
    with tempfile.TemporaryDirectory() as tmp:
        copy = os.path.join(tmp, os.path.basename(catalogue))
        shutil.copyfile(catalogue, copy)
        r = subprocess.run([lupdate, "-locations", "none", "-no-obsolete", "-I", source_dir] + sources +
                           ["-ts", copy], capture_output=True, text=True)
        if r.returncode != 0:
            return [f"lupdate failed:\n{r.stdout}{r.stderr}"]
        # lupdate warns where it cannot tell a text's context; such a text
        # would not be found when the program looks it up.
        warnings = [line for line in r.stderr.splitlines() if line.strip()]
        problems += [f"lupdate: {w}" for w in warnings]
        updated = messages(copy)
    committed = messages(catalogue)
    for key, state in sorted(updated.items()):
        if key not in committed:
            problems.append(f"new text, not in the catalogue yet: [{key[0]}] {key[1]!r}")
        elif state != "finished":
            problems.append(f"no finished translation: [{key[0]}] {key[1]!r}")
    for key in sorted(set(committed) - set(updated)):
        problems.append(f"text no longer in the sources: [{key[0]}] {key[1]!r}")
    return problems


def main(argv):
    split = argv.index("--")
    lupdate, source_dir, catalogues = argv[1], argv[2], argv[3:split]
    sources = argv[split + 1:]
    if not catalogues:
        print("no catalogue given")
        return 1
    failed = False
    for catalogue in catalogues:
        problems = check(lupdate, source_dir, catalogue, sources)
        print(f"{os.path.relpath(catalogue, source_dir)}: {'complete' if not problems else 'incomplete'}")
        for p in problems:
            print("  " + p)
        failed = failed or bool(problems)
    if failed:
        print("Bring the catalogues up to date with `cmake --build build --target update_translations`, "
              "then translate the texts named above.")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
