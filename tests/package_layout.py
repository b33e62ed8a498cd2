#!/usr/bin/env python3
"""Checks the Windows ZIP: the program and the README at the top, the simulated
library only in simulator/; programs that import only what Windows XP SP3 has
(tests/windows_imports.txt lists each function they import with its minimum
Windows, and nothing else), no MinGW runtime DLL and no debug information; and a
version resource in Kavro.exe that says the version its usage text prints."""

import os
import re
import struct
import subprocess
import sys
import tempfile
import zipfile

IMPORT_LIST = os.path.join(os.path.dirname(os.path.abspath(__file__)), "windows_imports.txt")
# The Windows versions up to XP SP3, the oldest that the program promises to run
# on; "vendor" marks the carousel vendor's library, which is not part of Windows.
SUPPORTED = ("95", "NT4", "2000", "XP", "XP-SP1", "XP-SP2", "XP-SP3", "vendor")


def objdump(option, path):
    return subprocess.run(["i686-w64-mingw32-objdump", option, path], check=True,
                          stdout=subprocess.PIPE, text=True).stdout


def debug_sections(path):
    """The names of the debug sections (.debug_info and the like) in a PE file."""
    names = re.findall(r"^\s*\d+\s+(\S+)", objdump("-h", path), re.MULTILINE)
    return [name for name in names if name.startswith((".debug", ".zdebug"))]


def imports(path):
    """{(dll in lower case, function)} that a PE file imports by name."""
    found = set()
    dll = None
    for line in objdump("-p", path).splitlines():
        named = re.match(r"\s*DLL Name: (\S+)", line)
        if named:
            dll = named.group(1).lower()
            continue
        function = re.match(r"\s+[0-9a-f]+\s+\d+\s+(\S+)$", line)
        if dll and function:
            found.add((dll, function.group(1)))
        elif not line.strip():
            dll = None
    return found


def import_list():
    """{(dll, function): minimum Windows} from the kept list."""
    listed = {}
    with open(IMPORT_LIST) as f:
        for number, line in enumerate(f, 1):
            if not line.strip() or line.startswith("#"):
                continue
            words = line.split()
            if len(words) != 3:
                sys.exit("%s:%d: not \"dll function version\"" % (IMPORT_LIST, number))
            listed[(words[0], words[1])] = words[2]
    return listed


def version_resource(data):
    """(fixed file version as (major, minor, build, revision), {name: value}) of the
    version resource in a PE file's bytes, or None when it carries none. Found by
    the resource's signature and keys, which nothing else in the program holds."""
    fixed_at = data.find(struct.pack("<I", 0xFEEF04BD))
    if fixed_at < 0:
        return None
    ms, ls = struct.unpack_from("<II", data, fixed_at + 8)
    strings = {}
    for key in ("FileDescription", "FileVersion", "OriginalFilename", "ProductName",
                "ProductVersion"):
        # The key, its zero, padding to four bytes, then the value and its zero.
        found = re.search(re.escape((key + "\0").encode("utf-16-le")) +
                          rb"(?:\0\0)?((?:[^\0].|\0[^\0])*)\0\0", data, re.DOTALL)
        if found:
            strings[key] = found.group(1).decode("utf-16-le")
    return (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF), strings


def usage_version(data):
    """The version that the usage text stored in a program's bytes names."""
    # The program's strings are UTF-16 and aligned on two bytes.
    text = data[:len(data) // 2 * 2].decode("utf-16-le", errors="replace")
    found = re.search("Numbers must started form 1. Version ([0-9.]+)\\.\r\n", text)
    return found.group(1) if found else None


archive = zipfile.ZipFile(sys.argv[1])
names = sorted(n for n in archive.namelist() if not n.endswith("/"))
expected = ["Kavro.exe", "README.md", "simulator/USBCDDLL.dll", "simulator/USBCDSIM.ini"]
if names != expected:
    sys.exit("the ZIP holds %s, not %s" % (names, expected))

listed = import_list()
too_new = sorted("%s %s (%s)" % (dll, name, version)
                 for (dll, name), version in listed.items() if version not in SUPPORTED)
if too_new:
    sys.exit("%s lists functions that Windows XP SP3 lacks: %s" % (IMPORT_LIST, ", ".join(too_new)))

with tempfile.TemporaryDirectory() as folder:
    programs = {name: archive.extract(name, folder)
                for name in ("Kavro.exe", "simulator/USBCDDLL.dll")}
    imported = set()
    for name, path in programs.items():
        sections = debug_sections(path)
        if sections:
            sys.exit("%s carries debug sections: %s" % (name, ", ".join(sections)))
        unlisted = sorted("%s %s" % item for item in imports(path) - listed.keys())
        if unlisted:
            sys.exit("%s imports what %s does not list (each must exist in Windows XP SP3): %s"
                     % (name, os.path.basename(IMPORT_LIST), ", ".join(unlisted)))
        imported |= imports(path)
    # A line nothing imports any more would let that function back in unchecked.
    stale = sorted("%s %s" % item for item in listed.keys() - imported)
    if stale:
        sys.exit("%s lists what no shipped program imports; remove the lines: %s"
                 % (os.path.basename(IMPORT_LIST), ", ".join(stale)))
    dlls = sorted({dll for dll, _ in imports(programs["Kavro.exe"])})
    with open(programs["Kavro.exe"], "rb") as f:
        data = f.read()
    printed = usage_version(data)
    version = version_resource(data)
    if version is None:
        sys.exit("Kavro.exe carries no version resource")
    fixed, strings = version

if printed is None:
    sys.exit("Kavro.exe holds no usage text with a version")
major, minor = (int(part) for part in printed.split("."))
wanted = {"FileVersion": printed, "ProductVersion": printed, "OriginalFilename": "Kavro.exe",
          "ProductName": "Kavro"}
wrong = {key: strings.get(key) for key, value in wanted.items() if strings.get(key) != value}
if wrong or fixed != (major, minor, 0, 0) or not strings.get("FileDescription"):
    sys.exit("Kavro.exe's version resource (%s, %s) does not say version %s"
             % (fixed, strings, printed))
print("package layout: %s; Kavro.exe imports from %s, all listed as in Windows XP SP3; "
      "no debug sections; version %s in the usage text and the version resource"
      % (", ".join(names), ", ".join(dlls), printed))
