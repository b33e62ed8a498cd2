#!/usr/bin/env python3
"""Checks the Windows ZIP: the program and the README at the top, the simulated
library only in simulator/, a program that imports no MinGW runtime DLL, and
programs that carry no debug information."""

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


def objdump(option, path):
    return subprocess.run(["i686-w64-mingw32-objdump", option, path], check=True,
                          stdout=subprocess.PIPE, text=True).stdout


def debug_sections(path):
    """The names of the debug sections (.debug_info and the like) in a PE file."""
    names = re.findall(r"^\s*\d+\s+(\S+)", objdump("-h", path), re.MULTILINE)
    return [name for name in names if name.startswith((".debug", ".zdebug"))]


with tempfile.TemporaryDirectory() as folder:
    programs = {name: archive.extract(name, folder)
                for name in ("Kavro.exe", "simulator/USBCDDLL.dll")}
    dump = objdump("-p", programs["Kavro.exe"])
    for name, path in programs.items():
        sections = debug_sections(path)
        if sections:
            sys.exit("%s carries debug sections: %s" % (name, ", ".join(sections)))
imports = sorted(name.lower() for name in re.findall(r"DLL Name: (\S+)", dump))
system = {"kernel32.dll", "msvcrt.dll", "ole32.dll", "oleaut32.dll", "user32.dll",
          "usbcddll.dll"}
if not set(imports) <= system:
    sys.exit("Kavro.exe imports %s" % ", ".join(sorted(set(imports) - system)))
print("package layout: %s; Kavro.exe imports %s; no debug sections"
      % (", ".join(names), ", ".join(imports)))
