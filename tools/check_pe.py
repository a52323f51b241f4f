#!/usr/bin/env python3
"""Checks that a built MERIDO_B.exe is a self-contained 64-bit Windows GUI program.

The PE file is read directly (no objdump needed). Checked:
  - machine x86-64 and subsystem Windows GUI;
  - every imported DLL (ordinary and delay-loaded) ships with Windows: no MinGW runtime DLLs
    such as libstdc++-6.dll, libgcc_s_seh-1.dll or libwinpthread-1.dll;
  - the application manifest (RT_MANIFEST, id 1): per-monitor DPI awareness v2 with "true/pm",
    common controls 6.0.0.0, asInvoker without UI access, the supported-OS entries;
  - the version record: file and product version (FILE_VERSION of version.txt) in the fixed
    part and in the strings,
    file description and product name "MERIDO_B", strings under a declared translation;
  - the application icon (icon group 1) with 16, 24, 32, 48 and 256 px images.

Usage: python3 tools/check_pe.py path/to/MERIDO_B.exe
Prints one OK/FAIL line per check; exits 0 when all pass, 1 otherwise.
"""

import os
import re
import struct
import sys
import xml.etree.ElementTree as ElementTree

IMAGE_FILE_MACHINE_AMD64 = 0x8664
IMAGE_SUBSYSTEM_WINDOWS_GUI = 2
RT_ICON = 3
RT_GROUP_ICON = 14
RT_VERSION = 16
RT_MANIFEST = 24
APP_ICON_ID = 1  # IDI_APP_ICON in app/resources/resource_ids.h
MANIFEST_ID = 1  # CREATEPROCESS_MANIFEST_RESOURCE_ID

VERSION_FILE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "version.txt")


def read_versions(path=VERSION_FILE):
    """The program's versions by name, from the "NAME = text" lines of version.txt."""
    with open(path, encoding="utf-8") as file:
        return dict(line.rstrip("\n").split(" = ", 1) for line in file
                    if re.match(r"^[A-Z_]+ = ", line))


EXPECTED_VERSION = read_versions()["FILE_VERSION"]
EXPECTED_NAME = "MERIDO_B"
EXPECTED_ICON_SIZES = (16, 24, 32, 48, 256)

# DLLs that are part of every supported Windows installation.
SYSTEM_DLLS = frozenset("""
    kernel32 kernelbase user32 gdi32 comctl32 comdlg32 shell32 shlwapi ole32 oleaut32 imm32
    advapi32 uxtheme dwmapi msvcrt ucrtbase version psapi ws2_32 bcrypt ntdll msimg32 winmm
    shcore rpcrt4 crypt32 secur32 setupapi userenv gdiplus d2d1 dwrite windowscodecs mpr
    winspool powrprof
""".split())
# API-set contract names resolve to system DLLs (the universal CRT among them).
API_SET_PATTERN = re.compile(r"^(api|ext)-ms-win-[a-z0-9-]+-l\d+-\d+-\d+\.dll$")
# Runtime DLLs of the GNU toolchain: their presence means the exe was not linked statically.
MINGW_RUNTIME_PATTERN = re.compile(
    r"^(libstdc\+\+|libgcc_s|libwinpthread|libssp|libatomic|libgomp|libquadmath)[-_a-z0-9]*\.dll$")

SUPPORTED_OS_IDS = {
    "{e2011457-1546-43c5-a5fe-008deee3d3f0}": "Windows Vista",
    "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}": "Windows 7",
    "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}": "Windows 8",
    "{1f676c76-80e1-4239-95bb-83d0f6d0da78}": "Windows 8.1",
    "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}": "Windows 10",
}


class PeError(Exception):
    """The file is not a PE image this script can read."""


class PeFile:
    """The parts of a PE32+ image that the checks need."""

    def __init__(self, data):
        self.data = data
        if len(data) < 0x40 or data[:2] != b"MZ":
            raise PeError("no MZ header")
        (pe_offset,) = struct.unpack_from("<I", data, 0x3C)
        if data[pe_offset:pe_offset + 4] != b"PE\0\0":
            raise PeError("no PE signature")
        coff = pe_offset + 4
        (self.machine, section_count, _, self.symbol_table, self.symbol_count, optional_size,
         _) = struct.unpack_from("<HHIIIHH", data, coff)
        optional = coff + 20
        (self.magic,) = struct.unpack_from("<H", data, optional)
        if self.magic == 0x20B:  # PE32+
            self.subsystem = struct.unpack_from("<H", data, optional + 68)[0]
            dir_count = struct.unpack_from("<I", data, optional + 108)[0]
            dirs = optional + 112
        elif self.magic == 0x10B:  # PE32
            self.subsystem = struct.unpack_from("<H", data, optional + 68)[0]
            dir_count = struct.unpack_from("<I", data, optional + 92)[0]
            dirs = optional + 96
        else:
            raise PeError("unknown optional header magic 0x%X" % self.magic)
        self.directories = [struct.unpack_from("<II", data, dirs + 8 * i)
                            for i in range(min(dir_count, 16))]
        self.sections = []
        table = optional + optional_size
        for i in range(section_count):
            entry = table + 40 * i
            name = self._long_name(data[entry:entry + 8].rstrip(b"\0").decode("ascii", "replace"))
            vsize, vaddr, raw_size, raw_ptr = struct.unpack_from("<IIII", data, entry + 8)
            self.sections.append((name, vaddr, max(vsize, raw_size), raw_ptr, raw_size))

    def _long_name(self, name):
        """A section name of more than 8 characters is "/offset" into the COFF string table."""
        if not (name.startswith("/") and name[1:].isdigit() and self.symbol_table):
            return name
        start = self.symbol_table + 18 * self.symbol_count + int(name[1:])
        end = self.data.find(b"\0", start)
        return self.data[start:end].decode("ascii", "replace") if end > start else name

    def offset(self, rva):
        for _, vaddr, size, raw_ptr, raw_size in self.sections:
            if vaddr <= rva < vaddr + size:
                if rva - vaddr >= raw_size:
                    raise PeError("RVA 0x%X lies in uninitialised data" % rva)
                return raw_ptr + (rva - vaddr)
        raise PeError("RVA 0x%X lies in no section" % rva)

    def directory(self, index):
        return self.directories[index] if index < len(self.directories) else (0, 0)

    def c_string(self, rva):
        start = self.offset(rva)
        end = self.data.index(b"\0", start)
        return self.data[start:end].decode("ascii", "replace")

    def imported_dlls(self):
        """Names of the DLLs in the import table, then those in the delay-load table."""
        names = []
        rva, _ = self.directory(1)
        if rva:
            pos = self.offset(rva)
            while True:
                original_thunk, _, _, name_rva, first_thunk = struct.unpack_from(
                    "<IIIII", self.data, pos)
                if not (original_thunk or name_rva or first_thunk):
                    break
                names.append(self.c_string(name_rva))
                pos += 20
        rva, _ = self.directory(13)
        if rva:
            pos = self.offset(rva)
            while True:
                fields = struct.unpack_from("<IIIIIIII", self.data, pos)
                if not any(fields):
                    break
                names.append(self.c_string(fields[1]) + " (delay-loaded)")
                pos += 32
        return names

    def resources(self):
        """{(type, name, language): bytes}; type and name are ints or strings."""
        rva, _ = self.directory(2)
        if not rva:
            return {}
        base = self.offset(rva)
        found = {}

        def entries(dir_offset):
            named, ids = struct.unpack_from("<HH", self.data, base + dir_offset + 12)
            for i in range(named + ids):
                name, target = struct.unpack_from("<II", self.data,
                                                  base + dir_offset + 16 + 8 * i)
                if name & 0x80000000:
                    pos = base + (name & 0x7FFFFFFF)
                    (length,) = struct.unpack_from("<H", self.data, pos)
                    name = self.data[pos + 2:pos + 2 + 2 * length].decode("utf-16-le")
                yield name, target

        for type_id, type_target in entries(0):
            for name_id, name_target in entries(type_target & 0x7FFFFFFF):
                for lang, leaf in entries(name_target & 0x7FFFFFFF):
                    if leaf & 0x80000000:
                        raise PeError("resource tree deeper than three levels")
                    data_rva, size = struct.unpack_from("<II", self.data, base + leaf)
                    start = self.offset(data_rva)
                    found[(type_id, name_id, lang)] = self.data[start:start + size]
        return found


def find_resource(resources, type_id, name_id):
    """The data of a resource in whatever language it is stored, or None."""
    for (t, n, _), data in sorted(resources.items(), key=lambda item: item[0][2]):
        if t == type_id and n == name_id:
            return data
    return None


def _align4(pos):
    return (pos + 3) & ~3


def parse_version_block(data, pos=0):
    """One block of a VS_VERSIONINFO tree: (key, value, children, end)."""
    length, value_length, value_type = struct.unpack_from("<HHH", data, pos)
    if length < 6 or pos + length > len(data):
        raise PeError("malformed version block at %d" % pos)
    end = pos + length
    key_start = pos + 6
    key_end = key_start
    while data[key_end:key_end + 2] != b"\0\0":
        key_end += 2
        if key_end >= end:
            raise PeError("unterminated version block key at %d" % pos)
    key = data[key_start:key_end].decode("utf-16-le")
    cur = _align4(key_end + 2)
    value = b""
    if value_length:
        if value_type == 1:  # text: the length counts characters, though some tools count bytes
            raw = data[cur:min(end, cur + 2 * value_length)]
            text_end = 0
            while text_end + 1 < len(raw) and raw[text_end:text_end + 2] != b"\0\0":
                text_end += 2
            value = raw[:text_end].decode("utf-16-le")
            cur += 2 * value_length
        else:
            value = data[cur:cur + value_length]
            cur += value_length
    cur = _align4(cur)
    children = []
    while cur + 6 <= end:
        child = parse_version_block(data, cur)
        children.append(child[:3])
        if child[3] <= cur:
            break
        cur = _align4(child[3])
    return key, value, children, end


def parse_version_info(data):
    """(fixed, strings, translations) of a version resource.

    fixed: {"FileVersion": "a.b.c.d", "ProductVersion": ...}; strings: {table key: {name:
    value}}; translations: ["041104b0", ...] in lower case.
    """
    key, value, children, _ = parse_version_block(data)
    if key != "VS_VERSION_INFO":
        raise PeError("version resource key is %r" % key)
    if len(value) < 52 or struct.unpack_from("<I", value, 0)[0] != 0xFEEF04BD:
        raise PeError("no VS_FIXEDFILEINFO")
    file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<IIII", value, 8)

    def dotted(ms, ls):
        return "%d.%d.%d.%d" % (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)

    fixed = {"FileVersion": dotted(file_ms, file_ls),
             "ProductVersion": dotted(product_ms, product_ls)}
    strings, translations = {}, []
    for child_key, _, grandchildren in children:
        if child_key == "StringFileInfo":
            for table_key, _, entries in grandchildren:
                strings[table_key.lower()] = {name: text for name, text, _ in entries}
        elif child_key == "VarFileInfo":
            for var_key, var_value, _ in grandchildren:
                if var_key == "Translation":
                    for i in range(0, len(var_value) - 3, 4):
                        lang, codepage = struct.unpack_from("<HH", var_value, i)
                        translations.append("%04x%04x" % (lang, codepage))
    return fixed, strings, translations


def icon_image_size(data):
    """(width, height) of one RT_ICON image: a PNG or a DIB whose height counts the mask."""
    if data[:8] == b"\x89PNG\r\n\x1a\n":
        return struct.unpack_from(">II", data, 16)
    header_size, width, height = struct.unpack_from("<Iii", data, 0)
    if header_size < 40:
        raise PeError("icon image has neither a PNG nor a BITMAPINFOHEADER")
    return width, abs(height) // 2


class Report:
    def __init__(self, out):
        self.out = out
        self.failed = []

    def check(self, name, ok, detail=""):
        print("%-4s %s%s" % ("OK" if ok else "FAIL", name, ": " + detail if detail else ""),
              file=self.out)
        if not ok:
            self.failed.append(name)
        return ok


def check_header(pe, report):
    report.check("machine", pe.machine == IMAGE_FILE_MACHINE_AMD64,
                 "0x%04X (expected 0x%04X, x86-64)" % (pe.machine, IMAGE_FILE_MACHINE_AMD64))
    report.check("subsystem", pe.subsystem == IMAGE_SUBSYSTEM_WINDOWS_GUI,
                 "%d (expected %d, Windows GUI)" % (pe.subsystem, IMAGE_SUBSYSTEM_WINDOWS_GUI))


def classify_dll(name):
    """None for a DLL that ships with Windows, else the reason why it does not."""
    base = name.split(" ")[0].lower()
    if MINGW_RUNTIME_PATTERN.match(base):
        return "MinGW runtime DLL (link with -static)"
    if API_SET_PATTERN.match(base):
        return None
    stem = base[:-4] if base.endswith((".dll", ".drv")) else base
    if stem in SYSTEM_DLLS:
        return None
    return "not a DLL that ships with Windows"


def check_imports(pe, report):
    names = pe.imported_dlls()
    report.check("imports listed", bool(names), ", ".join(names) if names else "no import table")
    for name in names:
        problem = classify_dll(name)
        report.check("import " + name, problem is None, problem or "system DLL")


def _local(tag):
    return tag.rsplit("}", 1)[-1]


def check_manifest(resources, report):
    data = find_resource(resources, RT_MANIFEST, MANIFEST_ID)
    if not report.check("manifest resource", data is not None,
                        "RT_MANIFEST id %d %s" % (MANIFEST_ID,
                                                   "present" if data else "missing")):
        return
    try:
        root = ElementTree.fromstring(data)
    except ElementTree.ParseError as error:
        report.check("manifest XML", False, str(error))
        return
    report.check("manifest XML", _local(root.tag) == "assembly", "root <%s>" % _local(root.tag))
    elements = list(root.iter())

    def all_named(name):
        return [e for e in elements if _local(e.tag) == name]

    controls = [e for e in all_named("assemblyIdentity")
                if e.get("name") == "Microsoft.Windows.Common-Controls"]
    report.check("manifest common controls",
                 any(e.get("version") == "6.0.0.0" and
                     e.get("publicKeyToken", "").lower() == "6595b64144ccf1df" for e in controls),
                 ", ".join("version %s" % e.get("version") for e in controls) or "no dependency")

    levels = all_named("requestedExecutionLevel")
    report.check("manifest execution level",
                 len(levels) == 1 and levels[0].get("level") == "asInvoker" and
                 levels[0].get("uiAccess", "false").lower() == "false",
                 "; ".join("level=%s uiAccess=%s" % (e.get("level"), e.get("uiAccess"))
                           for e in levels) or "none")

    aware = [(e.text or "").strip() for e in all_named("dpiAware")]
    report.check("manifest dpiAware", aware == ["true/pm"] or
                 (len(aware) == 1 and aware[0].lower() == "true/pm"), repr(aware))
    awareness = [(e.text or "").strip() for e in all_named("dpiAwareness")]
    # The value is a list tried from the left; its first entry is what Windows 10 1703+ uses.
    first = [a.split(",")[0].strip().lower() for a in awareness]
    report.check("manifest dpiAwareness", first == ["permonitorv2"], repr(awareness))

    declared = {(e.get("Id") or "").lower() for e in all_named("supportedOS")}
    missing = [name for guid, name in SUPPORTED_OS_IDS.items() if guid not in declared]
    report.check("manifest supportedOS", not missing,
                 "missing " + ", ".join(missing) if missing else
                 ", ".join(SUPPORTED_OS_IDS.values()))


def check_version(resources, report):
    data = find_resource(resources, RT_VERSION, 1)
    if not report.check("version resource", data is not None,
                        "RT_VERSION id 1 %s" % ("present" if data else "missing")):
        return
    try:
        fixed, strings, translations = parse_version_info(data)
    except (PeError, struct.error, UnicodeDecodeError) as error:
        report.check("version resource readable", False, str(error))
        return
    for key in ("FileVersion", "ProductVersion"):
        report.check("version fixed " + key, fixed[key] == EXPECTED_VERSION, fixed[key])
    tables = [t for t in translations if t in strings]
    report.check("version translation", bool(tables),
                 "Translation %s, string tables %s" % (translations, sorted(strings)))
    if not tables:
        return
    table = strings[tables[0]]
    for key, expected in (("FileVersion", EXPECTED_VERSION),
                          ("ProductVersion", EXPECTED_VERSION),
                          ("FileDescription", EXPECTED_NAME),
                          ("ProductName", EXPECTED_NAME)):
        value = table.get(key)
        report.check("version string " + key, value == expected,
                     "missing" if value is None else repr(value))


def check_icon(resources, report):
    groups = sorted((n for (t, n, _) in resources if t == RT_GROUP_ICON),
                    key=lambda n: (isinstance(n, int), n if isinstance(n, int) else 0, str(n)))
    data = find_resource(resources, RT_GROUP_ICON, APP_ICON_ID)
    if not report.check("icon group", data is not None,
                        "RT_GROUP_ICON id %d %s" % (APP_ICON_ID,
                                                     "present" if data else "missing")):
        return
    # The shell shows the first group in resource order: named groups sort before numbered ones.
    report.check("icon group first", groups[0] == APP_ICON_ID,
                 "groups in order: %s" % groups)
    _, kind, count = struct.unpack_from("<HHH", data, 0)
    sizes, problems = [], []
    for i in range(count):
        width, height, _, _, _, bits, _, icon_id = struct.unpack_from("<BBBBHHIH", data,
                                                                      6 + 14 * i)
        width, height = width or 256, height or 256
        sizes.append(width)
        image = find_resource(resources, RT_ICON, icon_id)
        if image is None:
            problems.append("%d px: RT_ICON %d missing" % (width, icon_id))
            continue
        actual = icon_image_size(image)
        if actual != (width, height):
            problems.append("%d px: image is %dx%d" % (width, actual[0], actual[1]))
        if bits != 32:
            problems.append("%d px: %d bits per pixel" % (width, bits))
    report.check("icon sizes", kind == 1 and sorted(sizes) == sorted(EXPECTED_ICON_SIZES),
                 "%s px (expected %s)" % (sizes, list(EXPECTED_ICON_SIZES)))
    report.check("icon images", not problems, "; ".join(problems) or "all present, 32 bpp")


def run(path, out=sys.stdout):
    try:
        with open(path, "rb") as f:
            data = f.read()
    except OSError as error:
        Report(out).check("readable PE file", False, "%s: %s" % (path, error))
        print("%s: 1 check(s) failed" % path, file=out)
        return 1
    return run_data(data, path, out)


def run_data(data, label, out=sys.stdout):
    """The checks on an image already in memory, for example one read from an archive."""
    report = Report(out)
    try:
        pe = PeFile(data)
        check_header(pe, report)
        check_imports(pe, report)
        resources = pe.resources()
        check_manifest(resources, report)
        check_version(resources, report)
        check_icon(resources, report)
    except (PeError, struct.error, ValueError) as error:
        report.check("readable PE file", False, "%s: %s" % (label, error))
    print("%s: %s" % (label, "all checks passed" if not report.failed else
                      "%d check(s) failed" % len(report.failed)), file=out)
    return 0 if not report.failed else 1


def main(argv):
    if len(argv) != 1:
        print("usage: python3 tools/check_pe.py path/to/MERIDO_B.exe", file=sys.stderr)
        return 1
    return run(argv[0])


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
