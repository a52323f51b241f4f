#!/usr/bin/env python3
"""Builds and checks the release zip of MERIDO_B.

  make_dist.py build EXE ZIP   strips a copy of EXE, keeps its debug information in a .debug
                               file beside that copy (linked by a debug link) and writes ZIP
                               with the stripped exe, the Japanese user guide with its
                               pictures, and the Japanese list of changes
  make_dist.py check ZIP       checks the archive's entries and the packaged exe: size, stripped,
                               debug link, and every check of check_pe.py

The copy and the .debug file land in build/dist/ (not in the zip), so that a crash address
reported by a user can still be turned into a function name. The archive is the same byte for
byte for the same sources: entries in a fixed order, each dated by the last commit.
"""

import os
import re
import struct
import subprocess
import sys
import time
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
sys.path.insert(0, HERE)

import check_pe  # noqa: E402

EXE_NAME = "MERIDO_B.exe"
DEBUG_NAME = EXE_NAME + ".debug"
MAX_EXE_BYTES = 512 * 1024
OBJCOPY = "x86_64-w64-mingw32-objcopy"
STRIP = "x86_64-w64-mingw32-strip"
DEBUG_FOLDER = os.path.join(ROOT, "build", "dist")

GUIDE = os.path.join(ROOT, "docs", "ja", "使い方.md")
CHANGES = os.path.join(ROOT, "docs", "ja", "変更点.md")
PICTURE_FOLDER = os.path.join(ROOT, "docs")
# Names inside the archive stay ASCII: Explorer on a Japanese Windows reads names without the
# UTF-8 flag as Shift-JIS, and some versions ignore the flag.
GUIDE_ENTRY = "README-ja.md"
CHANGES_ENTRY = "CHANGES-ja.txt"
PICTURE_PREFIX = "images/"
PICTURE_LINK = re.compile(r"\]\(\.\./([A-Za-z0-9_.-]+\.png)\)")


def pictures_of(guide_text):
    """The picture files that the guide links (as ../name.png), in order of first use."""
    names = []
    for name in PICTURE_LINK.findall(guide_text):
        if name not in names:
            names.append(name)
    return names


def for_windows(text):
    """A text file as Notepad on any Windows 10 reads it: UTF-8 with a BOM, CRLF line ends."""
    return b"\xef\xbb\xbf" + text.replace("\r\n", "\n").replace("\n", "\r\n").encode("utf-8")


def archive_entries(exe_bytes, guide_text, changes_text, read_picture):
    """[(name, bytes)] of the archive, in archive order."""
    entries = [(EXE_NAME, exe_bytes)]
    guide = PICTURE_LINK.sub(lambda m: "](%s%s)" % (PICTURE_PREFIX, m.group(1)), guide_text)
    entries.append((GUIDE_ENTRY, for_windows(guide)))
    entries.append((CHANGES_ENTRY, for_windows(changes_text)))
    for name in pictures_of(guide_text):
        entries.append((PICTURE_PREFIX + name, read_picture(name)))
    return entries


ZIP_EPOCH = 315532800  # 1980-01-01, the earliest date a zip entry holds


def commit_time():
    """The last commit's time in seconds, so that a rebuild of the same sources dates alike."""
    try:
        out = subprocess.run(["git", "-C", ROOT, "log", "-1", "--format=%ct"], check=True,
                             capture_output=True, text=True).stdout.strip()
        return max(int(out), ZIP_EPOCH)
    except (OSError, subprocess.CalledProcessError, ValueError):
        return ZIP_EPOCH


def write_zip(path, entries, date_time):
    partial = path + ".part"
    with zipfile.ZipFile(partial, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as archive:
        for name, data in entries:
            info = zipfile.ZipInfo(name, date_time)
            info.compress_type = zipfile.ZIP_DEFLATED
            info.create_system = 0  # MS-DOS: no Unix permissions that differ between clones
            info.external_attr = 0x20  # archive bit only
            archive.writestr(info, data)
    os.replace(partial, path)


def strip_with_debug_link(exe, folder, epoch):
    """A stripped copy of exe in folder, its debug information in the .debug file beside it.
    The tools stamp their PE output with SOURCE_DATE_EPOCH instead of the current time."""
    env = dict(os.environ, SOURCE_DATE_EPOCH=str(epoch))
    os.makedirs(folder, exist_ok=True)
    stripped = os.path.join(folder, EXE_NAME)
    with open(exe, "rb") as source, open(stripped, "wb") as copy:
        copy.write(source.read())
    subprocess.run([OBJCOPY, "--only-keep-debug", EXE_NAME, DEBUG_NAME], cwd=folder, check=True, env=env)
    subprocess.run([STRIP, "--strip-all", EXE_NAME], cwd=folder, check=True, env=env)
    # The link holds the file name and a checksum of the .debug file; run where both lie.
    subprocess.run([OBJCOPY, "--add-gnu-debuglink=" + DEBUG_NAME, EXE_NAME], cwd=folder,
                   check=True, env=env)
    return stripped


def build(exe, zip_path):
    epoch = commit_time()
    stripped = strip_with_debug_link(exe, DEBUG_FOLDER, epoch)
    with open(stripped, "rb") as f:
        exe_bytes = f.read()
    with open(GUIDE, encoding="utf-8") as f:
        guide_text = f.read()
    with open(CHANGES, encoding="utf-8") as f:
        changes_text = f.read()

    def read_picture(name):
        with open(os.path.join(PICTURE_FOLDER, name), "rb") as f:
            return f.read()

    os.makedirs(os.path.dirname(os.path.abspath(zip_path)), exist_ok=True)
    write_zip(zip_path, archive_entries(exe_bytes, guide_text, changes_text, read_picture),
              tuple(time.gmtime(epoch)[:6]))
    print("%s: %d bytes; %s: %d bytes" % (zip_path, os.path.getsize(zip_path), EXE_NAME,
                                          len(exe_bytes)))
    return 0


def debug_link(pe):
    """The file name that the .gnu_debuglink section names, or None."""
    for name, _, _, raw_ptr, raw_size in pe.sections:
        if name == ".gnu_debuglink":
            data = pe.data[raw_ptr:raw_ptr + raw_size]
            return data[:data.index(b"\0")].decode("ascii", "replace")
    return None


def check_packaged_exe(data, report):
    report.check("packaged exe size", len(data) <= MAX_EXE_BYTES,
                 "%d bytes (at most %d)" % (len(data), MAX_EXE_BYTES))
    try:
        pe = check_pe.PeFile(data)
    except (check_pe.PeError, struct.error) as error:
        report.check("packaged exe readable", False, str(error))
        return
    debug_sections = [s[0] for s in pe.sections if s[0].startswith((".debug", "/"))]
    report.check("stripped", pe.symbol_count == 0 and not debug_sections,
                 "%d symbols, debug sections %s" % (pe.symbol_count, debug_sections or "none"))
    link = debug_link(pe)
    report.check("debug link", link == DEBUG_NAME, "%s (expected %s)" % (link, DEBUG_NAME))


def check(zip_path, out=sys.stdout):
    report = check_pe.Report(out)
    try:
        with zipfile.ZipFile(zip_path) as archive:
            names = archive.namelist()
            guide = archive.read(GUIDE_ENTRY).decode("utf-8-sig") if GUIDE_ENTRY in names else ""
            expected = [EXE_NAME, GUIDE_ENTRY, CHANGES_ENTRY] + [
                PICTURE_PREFIX + name for name in
                re.findall(r"\]\(" + re.escape(PICTURE_PREFIX) + r"([A-Za-z0-9_.-]+\.png)\)",
                           guide)]
            expected = list(dict.fromkeys(expected))
            report.check("archive entries", names == expected,
                         "%s (expected %s)" % (names, expected))
            exe = archive.read(EXE_NAME) if EXE_NAME in names else b""
    except (OSError, zipfile.BadZipFile) as error:
        report.check("readable archive", False, "%s: %s" % (zip_path, error))
        return 1
    check_packaged_exe(exe, report)
    pe_code = check_pe.run_data(exe, zip_path + ":" + EXE_NAME, out)
    return 0 if not report.failed and pe_code == 0 else 1


def main(argv):
    if len(argv) == 3 and argv[0] == "build":
        return build(argv[1], argv[2])
    if len(argv) == 2 and argv[0] == "check":
        return check(argv[1])
    print("usage: make_dist.py build EXE ZIP | make_dist.py check ZIP", file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
