#!/usr/bin/env python3
"""Checks the players' ZIP: its listing, that both programs are 32-bit Windows GUI programs
importing only Windows' own DLLs, and that the version in the archive's name is the one in
the programs' version resources.

    package_check.py ZIP [OBJDUMP]

Prints one line per check and ends with "N passed, N failed"; exits non-zero on a failure.
"""
import os
import re
import struct
import subprocess
import sys
import tempfile
import zipfile

PROGRAMS = ("lumenpane.exe", "lmp_game_starter.exe")
OTHER_FILES = ("README.txt", "lmp_game_starter.cfg", "lumenpane.ini")

# DLLs that come with every Windows (the programs link their C++ runtime statically).
WINDOWS_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "msvcrt.dll",
                "shell32.dll", "ole32.dll", "psapi.dll", "winmm.dll", "ws2_32.dll",
                "comctl32.dll", "comdlg32.dll", "version.dll", "ntdll.dll"}

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
                    version = fixed_file_version(f.read())
                named = tuple(int(g) for g in match.groups()) if match else None
                check(version is not None and named is not None and version[:3] == named,
                      program + " version " + ".".join(map(str, version or ()))
                      + " matches the archive's name")
    print(f"{passed} passed, {failed} failed")
    return 0 if failed == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
