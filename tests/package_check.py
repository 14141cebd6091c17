#!/usr/bin/env python3
"""Checks the players' ZIP: its listing, that both programs are 32-bit Windows GUI programs
importing only Windows' own DLLs, that each carries one manifest (asInvoker, the supported
Windows versions 7 to 10, no DPI awareness), and that the version in the archive's name is
the one in the programs' version resources.

    package_check.py ZIP [OBJDUMP]

Prints one line per check and ends with "N passed, N failed"; exits non-zero on a failure.
"""
import os
import re
import struct
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ElementTree
import zipfile

PROGRAMS = ("lumenpane.exe", "lmp_game_starter.exe")
OTHER_FILES = ("README.txt", "lmp_game_starter.cfg", "lumenpane.ini", "MMPX-LICENSE.txt")

# DLLs that come with every Windows (the programs link their C++ runtime statically).
WINDOWS_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "msvcrt.dll",
                "shell32.dll", "ole32.dll", "psapi.dll", "winmm.dll", "ws2_32.dll",
                "comctl32.dll", "comdlg32.dll", "version.dll", "ntdll.dll"}

RT_MANIFEST = 24
# The manifest's supportedOS entries: Windows 7, 8, 8.1 and 10 (which covers 11).
SUPPORTED_OS = {"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}": "Windows 7",
                "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}": "Windows 8",
                "{1f676c76-80e1-4239-95bb-83d0f6d0da78}": "Windows 8.1",
                "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}": "Windows 10"}

passed = 0
failed = 0


def check(ok, what, detail=""):
    global passed, failed
    if ok:
        passed += 1
        print("PASS", what)
    else:
        failed += 1
        print("FAIL", what + (": " + detail if detail else ""))


def fixed_file_version(data):
    """The four numbers of VS_FIXEDFILEINFO's file version, or None."""
    at = data.find(struct.pack("<I", 0xFEEF04BD))
    if at < 0 or at + 16 > len(data):
        return None
    _signature, _struct_version, high, low = struct.unpack_from("<IIII", data, at)
    return (high >> 16, high & 0xFFFF, low >> 16, low & 0xFFFF)


def resources(data, wanted_type):
    """The data of every resource of this numeric type in a PE file, as (id, language, bytes)."""
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    sections = struct.unpack_from("<H", data, pe + 6)[0]
    optional_size = struct.unpack_from("<H", data, pe + 20)[0]
    optional = pe + 24
    magic = struct.unpack_from("<H", data, optional)[0]
    directories = optional + (96 if magic == 0x10B else 112)
    rsrc_rva = struct.unpack_from("<I", data, directories + 2 * 8)[0]
    if rsrc_rva == 0:
        return []
    table = optional + optional_size

    def offset(rva):
        for i in range(sections):
            _, size, address, raw_size, raw = struct.unpack_from("<8sIIII", data, table + 40 * i)
            if address <= rva < address + max(size, raw_size):
                return raw + rva - address
        raise ValueError("RVA %#x outside the sections" % rva)

    base = offset(rsrc_rva)

    def entries(at):
        named, numbered = struct.unpack_from("<HH", data, base + at + 12)
        for i in range(named + numbered):
            name, target = struct.unpack_from("<II", data, base + at + 16 + 8 * i)
            yield name, target

    found = []
    for kind, names in entries(0):
        if kind != wanted_type or not names & 0x80000000:
            continue
        for name, languages in entries(names & 0x7FFFFFFF):
            for language, leaf in entries(languages & 0x7FFFFFFF):
                rva, size = struct.unpack_from("<II", data, base + leaf)
                start = offset(rva)
                found.append((name, language, data[start:start + size]))
    return found


def manifest_problems(manifests):
    """What is wrong with a program's manifests; empty when there is exactly one and it asks
    for asInvoker, names the four supported Windows versions and sets no DPI awareness."""
    if len(manifests) != 1:
        return ["%d RT_MANIFEST resources" % len(manifests)]
    name, _language, text = manifests[0]
    problems = [] if name == 1 else ["its id is %d, not 1" % name]
    try:
        root = ElementTree.fromstring(text)
    except ElementTree.ParseError as error:
        return problems + ["not XML: %s" % error]
    elements = list(root.iter())
    local = lambda element: element.tag.rsplit("}", 1)[-1]
    levels = [(e.get("level"), e.get("uiAccess")) for e in elements
              if local(e) == "requestedExecutionLevel"]
    if levels != [("asInvoker", "false")]:
        problems.append("requestedExecutionLevel %s, not asInvoker without uiAccess" % levels)
    systems = {e.get("Id", "").lower() for e in elements if local(e) == "supportedOS"}
    missing = [SUPPORTED_OS[g] for g in SUPPORTED_OS if g not in systems]
    if missing:
        problems.append("no supportedOS for " + ", ".join(missing))
    dpi = sorted({local(e) for e in elements if local(e).lower().startswith("dpiaware")})
    if dpi:
        problems.append("sets " + ", ".join(dpi))
    return problems


def main():
    if len(sys.argv) < 2:
        print(__doc__)
        return 2
    path = sys.argv[1]
    objdump = sys.argv[2] if len(sys.argv) > 2 else "i686-w64-mingw32-objdump"
    name = os.path.basename(path)
    match = re.fullmatch(r"lumenpane-(\d+)\.(\d+)\.(\d+)-win32\.zip", name)
    check(match is not None, "archive name " + name)
    folder = name[:-len(".zip")]

    with zipfile.ZipFile(path) as archive:
        listing = sorted(n.rstrip("/") for n in archive.namelist() if n.rstrip("/") != folder)
        expected = sorted(folder + "/" + f for f in PROGRAMS + OTHER_FILES)
        check(listing == expected, "archive holds exactly " + folder + "/ with "
              + ", ".join(PROGRAMS + OTHER_FILES), "found " + ", ".join(listing))
        notice = folder + "/MMPX-LICENSE.txt"
        text = archive.read(notice).decode("utf-8", "replace") if notice in archive.namelist() else ""
        check("Copyright 2020 Morgan McGuire & Mara Gagiu" in text and "MIT License" in text,
              "MMPX-LICENSE.txt carries the MMPX authors' MIT notice")
        with tempfile.TemporaryDirectory() as scratch:
            for program in PROGRAMS:
                member = folder + "/" + program
                if member not in archive.namelist():
                    check(False, program + " in the archive")
                    continue
                target = os.path.join(scratch, program)
                with open(target, "wb") as out:
                    out.write(archive.read(member))
                dump = subprocess.run([objdump, "-p", target], capture_output=True,
                                      text=True).stdout
                gui = re.search(r"^Subsystem\s+0+2\s", dump, re.M) is not None
                check("file format pei-i386" in dump and gui,
                      program + " is a 32-bit x86 Windows GUI program",
                      "objdump -p shows no pei-i386 GUI subsystem")
                dlls = sorted({d.lower() for d in re.findall(r"DLL Name: (\S+)", dump)})
                foreign = [d for d in dlls if d not in WINDOWS_DLLS]
                check(dlls and not foreign, program + " imports only Windows DLLs ("
                      + ", ".join(dlls) + ")", "also " + ", ".join(foreign))
                with open(target, "rb") as f:
                    data = f.read()
                version = fixed_file_version(data)
                try:
                    problems = manifest_problems(resources(data, RT_MANIFEST))
                except (struct.error, ValueError) as error:
                    problems = ["its resources cannot be read: %s" % error]
                check(not problems, program + " carries one manifest: asInvoker, Windows 7, 8, "
                      "8.1 and 10, no DPI awareness", "; ".join(problems))
                named = tuple(int(g) for g in match.groups()) if match else None
                check(version is not None and named is not None and version[:3] == named,
                      program + " version " + ".".join(map(str, version or ()))
                      + " matches the archive's name")
    print(f"{passed} passed, {failed} failed")
    return 0 if failed == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
