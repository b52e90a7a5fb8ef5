#!/usr/bin/env python3
"""Opens workbooks in LibreOffice (headless) and saves them again, with or
without a password: how testdata/sheet/encrypted/lo_*.xls and the plain twin
of the XOR sample were made (see the ORIGINS.md there).

Needs libreoffice-calc and python3-uno (Debian). Run with the system Python:
    printf 'SOURCE\\tPASSWORD_IN\\tTARGET\\tFILTER\\tPASSWORD_OUT\\n' | /usr/bin/python3 tools/lo_resave.py
one line per file, fields separated by tabs, empty passwords for none; FILTER
is a LibreOffice export filter such as "MS Excel 97". LibreOffice 7.4 saves
.xls with a password as RC4 (Office 97/2000); it writes no password into .xlsx
this way.
"""
import os
import subprocess
import sys
import tempfile
import time

import uno
from com.sun.star.beans import PropertyValue

PORT = 2017


def prop(name, value):
    p = PropertyValue()
    p.Name = name
    p.Value = value
    return p


def main():
    profile = tempfile.mkdtemp(prefix="lo_resave_")
    office = subprocess.Popen(["soffice", "--headless", "--invisible", "--norestore", "--nologo",
                               f"-env:UserInstallation=file://{profile}",
                               f"--accept=socket,host=127.0.0.1,port={PORT};urp;"])
    context = uno.getComponentContext()
    resolver = context.ServiceManager.createInstanceWithContext("com.sun.star.bridge.UnoUrlResolver", context)
    for _ in range(60):
        try:
            remote = resolver.resolve(f"uno:socket,host=127.0.0.1,port={PORT};urp;StarOffice.ComponentContext")
            break
        except Exception:
            time.sleep(1)
    desktop = remote.ServiceManager.createInstanceWithContext("com.sun.star.frame.Desktop", remote)
    try:
        for line in sys.stdin:
            source, password_in, target, filter_name, password_out = line.rstrip("\n").split("\t")
            props = [prop("Hidden", True)] + ([prop("Password", password_in)] if password_in else [])
            doc = desktop.loadComponentFromURL(uno.systemPathToFileUrl(os.path.abspath(source)), "_blank", 0,
                                               tuple(props))
            if doc is None:
                print("cannot open", source)
                continue
            props = [prop("FilterName", filter_name), prop("Overwrite", True)]
            if password_out:
                props.append(prop("Password", password_out))
            doc.storeToURL(uno.systemPathToFileUrl(os.path.abspath(target)), tuple(props))
            doc.close(True)
            print("saved", target)
    finally:
        desktop.terminate()
        office.wait(timeout=60)


if __name__ == "__main__":
    main()
