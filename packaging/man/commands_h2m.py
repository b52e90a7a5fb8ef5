#!/usr/bin/python3
"""Writes the COMMANDS section of the gzimport man page as a help2man include
file, from the help of each command (`gzimport COMMAND --help`), so that the
page always lists the options the program has.

Usage: commands_h2m.py GZIMPORT OUTPUT  (make_man_page.py uses it as a module)
"""
import os
import re
import subprocess
import sys

# Every command's help ends with these; the page describes them once, under OPTIONS.
COMMON_OPTIONS = ("-h, --help", "--help-all")


def help_text(gzimport, args):
    env = {k: v for k, v in os.environ.items() if not (k.startswith("LC_") or k in ("LANG", "LANGUAGE"))}
    env["LC_ALL"] = "C"
    return subprocess.run([gzimport] + args + ["--help"], capture_output=True, text=True, check=True,
                          env=env).stdout


def command_names(top_help):
    names, listing = [], False
    for line in top_help.splitlines():
        if line == "Commands:":
            listing = True
        elif listing and line.startswith("  "):
            names.append(line.split()[0])
        elif listing and names:
            break
    return names


def roff(text):
    text = text.replace("\\", "\\e").replace("-", "\\-")
    return "\\&" + text if text[:1] in (".", "'") else text


def entry_roff(entry):
    """An option in bold with its value in italics ("--db <DB>"); an argument in italics."""
    if not entry.startswith("-"):
        return f"\\fI{roff(entry)}\\fR"
    words = []
    for word in entry.split(" "):
        value = re.fullmatch(r"<(.+)>", word)
        words.append(f"\\fI{roff(value.group(1))}\\fR" if value else f"\\fB{roff(word)}\\fR")
    return " ".join(words)


def parse(help_text):
    """(usage, description lines, [(section, [(name, description)])]) of a command's help."""
    lines = help_text.splitlines()
    usage = lines[0].removeprefix("Usage: ")
    description, sections, i = [], [], 1
    while i < len(lines) and lines[i].strip():
        description.append(lines[i])
        i += 1
    for line in lines[i:]:
        if not line.strip():
            continue
        if not line.startswith(" "):
            sections.append((line.rstrip(":"), []))
        elif re.match(r"^  \S", line):
            name, _, rest = line.strip().partition("  ")
            sections[-1][1].append([name, rest.strip()])
        else:
            sections[-1][1][-1][1] += " " + line.strip()
    return usage, description, sections


def page_section(gzimport):
    out = ["[COMMANDS]"]
    for name in command_names(help_text(gzimport, [])):
        usage, description, sections = parse(help_text(gzimport, [name]))
        words = usage.split(" ", 2)
        out.append(f'.SS "{roff(" ".join(words[:2]))}{(" " + roff(words[2])) if len(words) > 2 else ""}"')
        out.append(roff(" ".join(description)))
        for _, entries in sections:
            for entry, text in entries:
                if entry in COMMON_OPTIONS:
                    continue
                out.append(".TP")
                out.append(entry_roff(entry))
                out.append(roff(text))
    return "\n".join(out) + "\n"


if __name__ == "__main__":
    gzimport, output = sys.argv[1], sys.argv[2]
    with open(output, "w", encoding="utf-8") as f:
        f.write(page_section(gzimport))
