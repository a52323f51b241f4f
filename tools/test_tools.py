#!/usr/bin/env python3
"""Tests of tools/make_icon.py, tools/check_pe.py and tools/make_dist.py.

The check_pe cases build small Windows programs with the MinGW cross compiler and windres
from app/resources and the files CMake writes from version.txt, each with one fault put in, and
skip when those tools are not installed.

Usage: python3 tools/test_tools.py [-v]
"""

import io
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import unittest
import zipfile
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
RESOURCES = os.path.join(ROOT, "app", "resources")
VERSION_SCRIPT = os.path.join(ROOT, "cmake", "version.cmake")
sys.path.insert(0, HERE)

import check_pe  # noqa: E402
import make_dist  # noqa: E402
import make_icon  # noqa: E402

CXX = "x86_64-w64-mingw32-g++-posix"
WINDRES = "x86_64-w64-mingw32-windres"


def read_ico(data):
    """[(width, height, bits, image bytes)] of an .ico file."""
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    assert (reserved, kind) == (0, 1), "not an icon file"
    images = []
    for i in range(count):
        w, h, _, _, planes, bits, size, offset = struct.unpack_from("<BBBBHHII", data, 6 + 16 * i)
        images.append((w or 256, h or 256, bits, data[offset:offset + size]))
    return images


def decode_png_rgba(data):
    """Width, height and unfiltered rows of an 8-bit RGBA PNG without interlace."""
    pos, idat, header = 8, b"", None
    while pos < len(data):
        (length,) = struct.unpack_from(">I", data, pos)
        kind, body = data[pos + 4:pos + 8], data[pos + 8:pos + 8 + length]
        (crc,) = struct.unpack_from(">I", data, pos + 8 + length)
        assert crc == zlib.crc32(kind + body), "bad CRC in %r" % kind
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    width, height, depth, color_type, _, _, interlace = header
    assert (depth, color_type, interlace) == (8, 6, 0)
    raw = zlib.decompress(idat)
    stride = 4 * width + 1
    assert len(raw) == stride * height
    rows = [raw[y * stride:(y + 1) * stride] for y in range(height)]
    assert all(row[0] == 0 for row in rows), "only filter type 0 is written"
    return width, height, [row[1:] for row in rows]


class IconFileTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        with open(os.path.join(RESOURCES, "merido_b.ico"), "rb") as f:
            cls.ico = f.read()
        cls.images = read_ico(cls.ico)

    def test_holds_the_five_sizes_at_32_bits(self):
        self.assertEqual([(w, h, bits) for w, h, bits, _ in self.images],
                         [(s, s, 32) for s in (16, 24, 32, 48, 256)])

    def test_large_image_is_png_small_images_are_dibs_with_mask(self):
        for size, _, _, image in self.images:
            with self.subTest(size=size):
                if size >= 256:
                    width, height, rows = decode_png_rgba(image)
                    self.assertEqual((width, height), (size, size))
                    continue
                header_size, width, height, planes, bits = struct.unpack_from("<IiiHH", image)
                self.assertEqual((header_size, width, height, planes, bits),
                                 (40, size, 2 * size, 1, 32))
                mask_stride = (size + 31) // 32 * 4
                self.assertEqual(len(image), 40 + 4 * size * size + mask_stride * size)
                # A mask bit is set exactly where the colour image is fully transparent.
                for y in range(size):
                    for x in range(size):
                        alpha = image[40 + 4 * (y * size + x) + 3]
                        byte = image[40 + 4 * size * size + y * mask_stride + x // 8]
                        masked = bool(byte & (0x80 >> (x % 8)))
                        self.assertEqual(masked, alpha == 0, "pixel (%d, %d)" % (x, y))

    def test_drawing_is_a_lit_lens_on_an_opaque_dark_tile(self):
        _, _, rows = decode_png_rgba(self.images[-1][3])

        def pixel(x, y):
            return tuple(rows[y][4 * x:4 * x + 4])

        r, g, b, a = pixel(128, 150)  # inside the lens, below the highlight
        self.assertEqual(a, 255)
        self.assertGreater(g, 180)
        self.assertLess(max(r, b), g // 2)
        self.assertEqual(pixel(0, 0)[3], 0, "rounded corner is transparent")
        r, g, b, a = pixel(128, 244)  # the tile below the lamp
        self.assertEqual(a, 255)
        self.assertLess(max(r, g, b), 90)

    def test_committed_icon_matches_the_generator(self):
        with tempfile.TemporaryDirectory() as tmp:
            out = os.path.join(tmp, "icon.ico")
            with io.StringIO() as sink:
                stdout, sys.stdout = sys.stdout, sink
                try:
                    self.assertEqual(make_icon.main(["--out", out]), 0)
                finally:
                    sys.stdout = stdout
            with open(out, "rb") as f:
                self.assertEqual(f.read(), self.ico,
                                 "run tools/make_icon.py to refresh app/resources/merido_b.ico")


class DllAllowlistTest(unittest.TestCase):
    def test_classification(self):
        cases = [
            ("KERNEL32.dll", True), ("USER32.dll", True), ("comctl32.dll", True),
            ("msvcrt.dll", True), ("ucrtbase.dll", True), ("IMM32.dll", True),
            ("api-ms-win-crt-runtime-l1-1-0.dll", True), ("api-ms-win-crt-heap-l1-1-0.dll", True),
            ("PSAPI.DLL (delay-loaded)", True),
            ("libstdc++-6.dll", False), ("libgcc_s_seh-1.dll", False),
            ("libwinpthread-1.dll", False), ("zlib1.dll", False), ("Qt6Core.dll", False),
            ("api-ms-win-crt.dll", False), ("kernel32x.dll", False),
        ]
        for name, system in cases:
            with self.subTest(name=name):
                self.assertEqual(check_pe.classify_dll(name) is None, system)


def _run_check(path):
    out = io.StringIO()
    code = check_pe.run(path, out)
    return code, out.getvalue()


def _failed(output):
    return sorted(line[5:].split(":")[0] for line in output.splitlines()
                  if line.startswith("FAIL"))


class ProgramBuilder:
    """Builds small Windows programs from a copy of app/resources, optionally changed, with the
    version header and the manifest that the build writes."""

    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.mkdtemp(prefix="check_pe_test_")
        cls.main_cpp = os.path.join(cls.tmp, "main.cpp")
        with open(cls.main_cpp, "w") as f:
            f.write("#include <windows.h>\n#include <string>\n"
                    "int WINAPI wWinMain(HINSTANCE i, HINSTANCE, PWSTR c, int) {\n"
                    "  std::wstring s(c);\n"
                    "  return LoadIconW(i, MAKEINTRESOURCEW(1)) && s.empty() ? 0 : 1;\n}\n")

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.tmp, ignore_errors=True)

    def build(self, name, edit=None, link=("-static", "-mwindows"), resources=True):
        folder = os.path.join(self.tmp, name)
        shutil.copytree(RESOURCES, folder)
        subprocess.run(["cmake", "-DMERIDO_VERSION_OUTPUT=" + folder, "-P", VERSION_SCRIPT],
                       check=True)
        if edit:
            edit(folder)
        exe = os.path.join(folder, name + ".exe")
        inputs = [self.main_cpp]
        if resources:
            res = os.path.join(folder, "res.o")
            subprocess.run([WINDRES, "-I" + folder, os.path.join(folder, "merido_b.rc"),
                            "-O", "coff", "-o", res], check=True)
            inputs.append(res)
        subprocess.run([CXX, "-municode", *link, *inputs, "-o", exe], check=True)
        return exe

    @staticmethod
    def replace(file_name, old, new):
        def edit(folder):
            path = os.path.join(folder, file_name)
            with open(path, encoding="utf-8") as f:
                text = f.read()
            assert old in text, "%r not in %s" % (old, file_name)
            with open(path, "w", encoding="utf-8") as f:
                f.write(text.replace(old, new))
        return edit


@unittest.skipUnless(shutil.which(CXX) and shutil.which(WINDRES), "MinGW-w64 is not installed")
class CheckPeTest(ProgramBuilder, unittest.TestCase):
    """Each case builds a program from a copy of app/resources with one change."""

    def test_resources_as_shipped_pass(self):
        code, output = _run_check(self.build("good"))
        self.assertEqual(_failed(output), [], output)
        self.assertEqual(code, 0)
        for line in ("OK   icon sizes", "OK   manifest dpiAwareness", "OK   version string "
                     "FileDescription: 'MERIDO_B'"):
            self.assertIn(line, output)

    def test_each_fault_fails_its_check(self):
        def fewer_icons(folder):
            images = [(s, make_icon.encode_dib(s, make_icon.render(s, supersample=1)))
                      for s in (16, 32, 48)]
            with open(os.path.join(folder, "merido_b.ico"), "wb") as f:
                f.write(make_icon.encode_ico(images))

        cases = [
            ("dynamic", dict(link=("-mwindows", "-shared-libgcc")),
             ["import libgcc_s_seh-1.dll", "import libstdc++-6.dll"]),
            ("console", dict(link=("-static", "-mconsole")), ["subsystem"]),
            ("no_resources", dict(resources=False),
             ["icon group", "manifest resource", "version resource"]),
            ("file_version", dict(edit=self.replace("merido_b.rc",
                                                    "FILEVERSION MERIDO_FILE_VERSION_NUMBERS",
                                                    "FILEVERSION 1, 0, 0, 1")),
             ["version fixed FileVersion"]),
            ("product_string", dict(edit=self.replace("merido_b.rc",
                                                      '"ProductVersion", MERIDO_FILE_VERSION_TEXT',
                                                      '"ProductVersion", "1.0"')),
             ["version string ProductVersion"]),
            ("description", dict(edit=self.replace("merido_b.rc", '"FileDescription", "MERIDO_B"',
                                                   '"FileDescription", "MERIDO"')),
             ["version string FileDescription"]),
            ("translation", dict(edit=self.replace("merido_b.rc", "0x0411, 1200", "0x0409, 1200")),
             ["version translation"]),
            ("dpi_v1", dict(edit=self.replace("merido_b.manifest", ">PerMonitorV2<",
                                              ">PerMonitor<")),
             ["manifest dpiAwareness"]),
            ("ui_access", dict(edit=self.replace("merido_b.manifest", 'uiAccess="false"',
                                                 'uiAccess="true"')),
             ["manifest execution level"]),
            ("controls_v5", dict(edit=self.replace("merido_b.manifest", 'version="6.0.0.0"',
                                                   'version="5.82.0.0"')),
             ["manifest common controls"]),
            ("no_win10", dict(edit=self.replace("merido_b.manifest",
                                                "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",
                                                "{00000000-0000-0000-0000-000000000000}")),
             ["manifest supportedOS"]),
            ("broken_xml", dict(edit=self.replace("merido_b.manifest", "</assembly>", "")),
             ["manifest XML"]),
            ("fewer_icons", dict(edit=fewer_icons), ["icon sizes"]),
        ]
        for name, options, expected in cases:
            with self.subTest(name):
                code, output = _run_check(self.build(name, **options))
                self.assertEqual(_failed(output), sorted(expected), output)
                self.assertEqual(code, 1)

    def test_not_a_pe_file_fails_without_a_traceback(self):
        for name, content in (("empty.exe", b""), ("text.exe", b"MZ" + b"x" * 100),
                              ("truncated.exe", None)):
            with self.subTest(name):
                path = os.path.join(self.tmp, name)
                if content is None:
                    with open(self.build("to_truncate"), "rb") as f:
                        content = f.read()[:1024]
                with open(path, "wb") as f:
                    f.write(content)
                code, output = _run_check(path)
                self.assertEqual(code, 1)
                self.assertIn("FAIL readable PE file", output)


class GuidePageTest(unittest.TestCase):
    """The guide as make_dist renders it: captions under pictures, references as links."""

    GUIDE = ("# 使い方\n\n![パネル & AutoCAD](../panel.png)\n\n## 番号（API Ver.=）\n\n"
             "本文 ![行の中](../inline.png) です。「番号」の節と、「番号」「登録」の節。\n\n"
             "## 登録\n\n### 「番号」の節を見る\n")

    def render(self, guide):
        return make_dist.render_guide(guide, lambda name: b"")

    def test_a_picture_alone_in_its_paragraph_gets_its_alt_text_as_caption(self):
        page = self.render(self.GUIDE)
        self.assertIn('<figure><img alt="パネル &amp; AutoCAD" src="images/panel.png" />'
                      "<figcaption>パネル &amp; AutoCAD</figcaption></figure>", page)
        # A picture inside a line of text stays there, without a figure (the check refuses it).
        self.assertIn('本文 <img alt="行の中" src="images/inline.png" /> です', page)

    def test_each_name_of_a_section_reference_links_its_section(self):
        page = self.render(self.GUIDE)
        # A name finds the heading that adds a note in parentheses to it.
        self.assertIn('「<a href="#番号api-ver">番号</a>」の節と、', page)
        self.assertIn('「<a href="#番号api-ver">番号</a>」「<a href="#登録">登録</a>」の節。', page)
        # Headings (and the table of contents made of them) stay as they are.
        self.assertIn("「番号」の節を見る</h3>", page)

    def test_a_reference_to_no_section_or_to_two_is_refused(self):
        for name, guide in [
            ("no such section", "# 使い方\n\n## 登録\n\n「設定」の節\n"),
            ("only a prefix", "# 使い方\n\n## 登録する\n\n「登録」の節\n"),
            ("two sections of the name", "# 使い方\n\n## 登録\n\n## 登録\n\n「登録」の節\n"),
        ]:
            with self.subTest(name):
                with self.assertRaises(ValueError):
                    self.render(guide)

    def test_the_guide_as_shipped_passes_the_page_checks(self):
        with open(make_dist.GUIDE, encoding="utf-8") as f:
            guide = f.read()
        pictures = make_dist.pictures_of(guide)
        page = self.render(guide).encode("utf-8")
        out = io.StringIO()
        report = check_pe.Report(out)
        make_dist.check_page(page, [make_dist.PICTURE_PREFIX + p for p in pictures], report)
        self.assertEqual(_failed(out.getvalue()), [])
        self.assertTrue(all(os.path.isfile(os.path.join(make_dist.PICTURE_FOLDER, p))
                            for p in pictures), pictures)


@unittest.skipUnless(shutil.which(CXX) and shutil.which(make_dist.OBJCOPY),
                     "MinGW-w64 is not installed")
class DistTest(ProgramBuilder, unittest.TestCase):
    """The release archive: what it holds, and the checks that `make test` runs on it."""

    GUIDE = ("# 使い方\n![a](../panel.png)\n\n## 起動\n![b](../menu.png)\n\n![a again](../panel.png)\n"
             "\n## 登録\n\n### 番号\n\n[戻る](#起動)、「番号」の節\n")
    # A PNG's signature and header, as much as the page's picture sizes are read from.
    PNG_HEADER = b"\x89PNG\r\n\x1a\n" + struct.pack(">I", 13) + b"IHDR" + struct.pack(">II", 310, 118)

    def picture(self, name):
        return self.PNG_HEADER + name.encode()

    def page(self, body):
        """A page as the check accepts it, with body instead of the guide."""
        text = make_dist.render_guide("# 使い方\n\n## 一\n\n## 二\n\n## 三\n", self.picture)
        return text.replace("</body>", body + "</body>").encode("utf-8")

    def package(self, name, exe, strip=True, entries=None):
        folder = os.path.join(self.tmp, name)
        os.makedirs(folder, exist_ok=True)
        if strip:
            exe = make_dist.strip_with_debug_link(exe, folder, 1700000000)
        with open(exe, "rb") as f:
            exe_bytes = f.read()
        if entries is None:
            entries = make_dist.archive_entries(exe_bytes, self.GUIDE, "変更点\n", self.picture)
        path = os.path.join(folder, "release.zip")
        make_dist.write_zip(path, entries, (2024, 2, 22, 12, 0, 0))
        return path

    def check(self, path):
        out = io.StringIO()
        code = make_dist.check(path, out)
        return code, _failed(out.getvalue())

    def test_stripped_program_with_guide_passes_and_keeps_its_debug_file(self):
        exe = self.build("dist_good")
        path = self.package("good", exe)
        self.assertEqual(self.check(path), (0, []))
        with zipfile.ZipFile(path) as archive:
            self.assertEqual(archive.namelist(), ["MERIDO_B.exe", "README-ja.html",
                                                  "CHANGES-ja.txt", "images/panel.png",
                                                  "images/menu.png"])
            page = archive.read("README-ja.html").decode("utf-8")
            self.assertTrue(page.startswith('<!DOCTYPE html>\n<html lang="ja">\n<head>\n'
                                            '<meta charset="utf-8">'))
            self.assertIn("<title>使い方</title>", page)
            # The table of contents comes before the first section and lists the sections.
            toc = page[page.index('<nav class="toc">'):page.index("</nav>")]
            self.assertLess(page.index("</nav>"), page.index('<h2 id="起動">'))
            self.assertEqual(re.findall(r'href="#([^"]+)"', toc), ["起動", "登録", "番号"])
            self.assertIn('<figure><img alt="b" src="images/menu.png" width="310" height="118" />'
                          '<figcaption>b</figcaption></figure>', page)
            self.assertIn('「<a href="#番号">番号</a>」の節', page)
            self.assertNotIn("../", page)
            self.assertEqual(archive.read("images/menu.png"), self.picture("menu.png"))
        debug = os.path.join(self.tmp, "good", "MERIDO_B.exe.debug")
        self.assertGreater(os.path.getsize(debug), 0)
        # The same input gives the same archive, byte for byte.
        with open(path, "rb") as f:
            first = f.read()
        with open(self.package("good", exe), "rb") as f:
            self.assertEqual(f.read(), first)

    def test_each_fault_fails_its_check(self):
        exe = self.build("dist_faults")
        stripped_folder = os.path.join(self.tmp, "faults_stripped")
        with open(make_dist.strip_with_debug_link(exe, stripped_folder, 1700000000), "rb") as f:
            program = f.read()
        guide, changes = ("README-ja.html", self.page("")), ("CHANGES-ja.txt", b"changes")
        picture = ("images/x.png", self.picture("x"))
        figure = '<figure><img src="images/x.png"><figcaption>x</figcaption></figure>'
        page_check = "guide page has no script and fetches nothing else"
        links_check = "guide page's pictures and links"
        references_check = "guide page's section references link their sections"
        captions_check = "guide page's pictures have captions"
        retired_check = "guide page says none of the retired texts"
        cases = [
            ("unstripped", dict(strip=False), ["debug link", "packaged exe size", "stripped"]),
            # The loader ignores bytes after the last section: the program stays valid.
            ("too_large", dict(entries=[
                ("MERIDO_B.exe", program + b"\0" * make_dist.MAX_EXE_BYTES), guide, changes]),
             ["packaged exe size"]),
            ("no_guide", dict(entries=[("MERIDO_B.exe", program), changes]),
             ["archive entries"]),
            ("missing_picture", dict(entries=[
                ("MERIDO_B.exe", program), ("README-ja.html", self.page(figure)),
                changes]), ["archive entries", links_check]),
            ("link_to_no_section", dict(entries=[
                ("MERIDO_B.exe", program), ("README-ja.html", self.page('<a href="#nowhere">')),
                changes]), [links_check]),
            ("not_a_japanese_utf8_page", dict(entries=[
                ("MERIDO_B.exe", program),
                ("README-ja.html", self.page("").replace(b' lang="ja"', b"").replace(
                    b'<meta charset="utf-8">', b"")), changes]),
             ["guide page language and character set"]),
            ("no_table_of_contents", dict(entries=[
                ("MERIDO_B.exe", program), ("README-ja.html", b'<html lang="ja"><meta charset="utf-8">'),
                changes]), ["guide page table of contents"]),
        ] + [
            ("fetches_" + name, dict(entries=[
                ("MERIDO_B.exe", program), ("README-ja.html", self.page(body)), changes, picture]),
             expected)
            for name, body, expected in [
                ("script", figure + '<script>1</script>', [page_check]),
                ("inline_handler", figure.replace("<img ", '<img onerror="x()" '), [page_check]),
                ("web_picture", figure.replace("<figcaption>", '<img src="https://example.org/x.png">'
                                               "<figcaption>"), [links_check]),
                ("style_sheet", figure + '<link rel="stylesheet" href="a.css">', [page_check]),
                ("style_url", figure + '<style>p { background: url(x.png) }</style>', [page_check]),
                ("web_link", figure + '<a href="http://example.org/">', [links_check]),
                # A reference to a section must link to it; every picture needs a caption.
                ("unlinked_section_reference", figure + "<p>「二」の節</p>", [references_check]),
                ("one_of_two_references_unlinked",
                 figure + '<p>「<a href="#一">一</a>」「二」の節</p>', [references_check]),
                ("linked_section_references",
                 figure + '<p>「<a href="#一">一</a>」「<a href="#二">二</a>」の節</p>', []),
                ("picture_outside_a_figure", figure + '<p><img src="images/x.png"></p>',
                 [captions_check]),
                ("empty_caption", figure.replace("<figcaption>x", "<figcaption> "),
                 [captions_check]),
                # Texts the guide no longer says, in any spacing.
                ("a_hold_time", figure + "<p>約 0.3 秒押してから離します</p>", [retired_check]),
                ("a_hold_time_unspaced", figure + "<p>0.3秒</p>", [retired_check]),
                ("the_old_lamp_colour", figure + "<p>ランプは黄緑です</p>", [retired_check]),
            ]
        ] + [
            ("picture_page_and_entries_agree", dict(entries=[
                ("MERIDO_B.exe", program), ("README-ja.html", self.page(figure)),
                changes, picture]), []),
            ("not_a_program", dict(entries=[("MERIDO_B.exe", b"MZ"), guide, changes]),
             ["packaged exe readable", "readable PE file"]),
        ]
        for name, options, expected in cases:
            with self.subTest(name):
                self.assertEqual(self.check(self.package(name, exe, **options)),
                                 (1 if expected else 0, sorted(expected)))


if __name__ == "__main__":
    unittest.main()
