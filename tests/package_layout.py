#!/usr/bin/env python3
"""Checks the Windows ZIP: the program and the README at the top, the simulated
library only in simulator/, and a program that imports no MinGW runtime DLL."""

import re
import subprocess
import sys
import tempfile
import zipfile

archive = zipfile.ZipFile(sys.argv[1])
names = sorted(n for n in archive.namelist() if not n.endswith("/"))
expected = ["Kavro.exe", "README.md", "simulator/USBCDDLL.dll", "simulator/USBCDSIM.ini"]
if names != expected:
    sys.exit("the ZIP holds %s, not %s" % (names, expected))

with tempfile.TemporaryDirectory() as folder:
    program = archive.extract("Kavro.exe", folder)
    dump = subprocess.run(["i686-w64-mingw32-objdump", "-p", program], check=True,
                          stdout=subprocess.PIPE, text=True).stdout
imports = sorted(name.lower() for name in re.findall(r"DLL Name: (\S+)", dump))
system = {"kernel32.dll", "msvcrt.dll", "ole32.dll", "oleaut32.dll", "user32.dll",
          "usbcddll.dll"}
if not set(imports) <= system:
    sys.exit("Kavro.exe imports %s" % ", ".join(sorted(set(imports) - system)))
print("package layout: %s; Kavro.exe imports %s" % (", ".join(names), ", ".join(imports)))
