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

import html
import html.parser
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
GUIDE_ENTRY = "README-ja.html"
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


# Plain and readable on any browser: the system's Japanese UI font, a column of reading width,
# ruled tables, pictures no wider than the column. Nothing is fetched: no web font, no url().
PAGE_STYLE = """
body { font-family: "Yu Gothic UI", "Meiryo UI", Meiryo, "Noto Sans CJK JP", sans-serif;
       font-size: 16px; line-height: 1.7; color: #1a1a1a; background: #fff;
       max-width: 52em; margin: 0 auto; padding: 1em 1.5em 4em; }
h1 { font-size: 1.8em; border-bottom: 2px solid #333; padding-bottom: .2em; }
h2 { font-size: 1.35em; border-bottom: 1px solid #bbb; margin-top: 2em; padding-bottom: .15em; }
h3 { font-size: 1.1em; margin-top: 1.5em; }
nav.toc { background: #f4f4f4; border: 1px solid #ddd; padding: .6em 1.2em; margin: 1em 0 2em; }
nav.toc h2 { font-size: 1.1em; border: 0; margin: .3em 0; }
nav.toc ul { margin: .2em 0; padding-left: 1.4em; }
a { color: #0645ad; }
img { max-width: 100%; height: auto; border: 1px solid #ccc; }
table { border-collapse: collapse; margin: 1em 0; }
th, td { border: 1px solid #bbb; padding: .35em .6em; vertical-align: top; text-align: left; }
th { background: #eee; }
code { font-family: Consolas, "BIZ UDGothic", "Noto Sans Mono CJK JP", monospace;
       background: #f2f2f2; padding: 0 .2em; }
blockquote { margin: 1em 0; padding: .5em 1em; border-left: 4px solid #999; background: #f7f7f7; }
figure { margin: 1em 0 1.5em; }
figcaption { font-size: .9em; color: #444; margin-top: .3em; }
"""

PAGE = """<!DOCTYPE html>
<html lang="ja">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>{title}</title>
<style>{style}</style>
</head>
<body>
{body}
</body>
</html>
"""

IMG_SRC = re.compile(r'<img ([^>]*?)src="(' + re.escape(PICTURE_PREFIX) + r'[A-Za-z0-9_.-]+\.png)"')
# A picture that stands alone in its paragraph; its alt text becomes the caption under it.
LONE_PICTURE = re.compile(r'<p>(<img alt="([^"]*)" [^>]*>)</p>')
# A cross-reference: one or more names in 「」 directly followed by 「の節」, as in
# 「「バージョン番号」の節」 or 「「バージョン番号」「設定ファイル」の節」.
SECTION_REFERENCE = re.compile(r"((?:「[^「」]*」)+)の節")
REFERENCE_NAME = re.compile(r"「([^「」]*)」")
HEADING = re.compile(r"(<h[1-6][^>]*>.*?</h[1-6]>)", re.S)
# Texts that the guide once said and that are no longer true or no longer its wording.
RETIRED_TEXTS = [
    (re.compile(r"0\.3\s*秒"), "0.3 秒 (a hold time: a tap of any length counts)"),
    (re.compile(r"黄緑"), "黄緑 (the lamp is 緑)"),
    (re.compile(r"最大\s*0\.2\s*秒"), "最大 0.2 秒 (the key comes about 0.2 s after the release)"),
    (re.compile(r"呼びかけ"), "呼びかけ (the guide says 要求)"),
    (re.compile(r"チェックボックス"), "チェックボックス (the guide writes チェック ボックス)"),
]


def png_size(data):
    """(width, height) from a PNG's header, or None when data is not a PNG."""
    if len(data) < 24 or data[:8] != b"\x89PNG\r\n\x1a\n" or data[12:16] != b"IHDR":
        return None
    return struct.unpack(">II", data[16:24])


def section_ids(toc_tokens):
    """{heading text: id} of every section in the table of contents; None for a text that two
    sections share, so that a reference to it is refused rather than guessed."""
    ids = {}
    stack = list(toc_tokens)
    while stack:
        token = stack.pop()
        name = html.unescape(re.sub(r"<[^>]+>", "", token["name"]))
        ids[name] = None if name in ids else token["id"]
        stack.extend(token["children"])
    return ids


def section_of(name, ids):
    """The id of the section that 「name」の節 means: the heading of that text, or the heading
    that adds a note in parentheses to it (「バージョン番号」 for 「バージョン番号（API Ver.=）」)."""
    matches = [section for heading, section in ids.items()
               if heading == name or (heading.startswith(name + "（") and heading.endswith("）"))]
    if len(matches) != 1 or matches[0] is None:
        raise ValueError("「%s」の節: %s" % (name, "no such section" if not matches else
                                             "more than one section of that name"))
    return matches[0]


def link_section_references(body, ids):
    """Every 「name」 of a 「…の節」 reference outside the headings, as a link to its section."""
    def linked(chain):
        return REFERENCE_NAME.sub(
            lambda m: '「<a href="#%s">%s</a>」' % (
                html.escape(section_of(html.unescape(m.group(1)), ids)), m.group(1)),
            chain.group(1)) + "の節"

    parts = HEADING.split(body)
    return "".join(part if i % 2 else SECTION_REFERENCE.sub(linked, part)
                   for i, part in enumerate(parts))


def render_guide(guide_text, read_picture):
    """The guide as one HTML page: a table of contents of its sections before the first one, the
    pictures linked from PICTURE_PREFIX, each with its size so that the page does not jump and
    with its alt text as a visible caption, and each 「…」の節 a link to that section."""
    import markdown  # Debian's python3-markdown
    from markdown.extensions.toc import slugify_unicode

    text = PICTURE_LINK.sub(lambda m: "](%s%s)" % (PICTURE_PREFIX, m.group(1)), guide_text)
    converter = markdown.Markdown(
        extensions=["tables", "toc", "sane_lists"],
        extension_configs={"toc": {"slugify": slugify_unicode, "toc_depth": "2-3"}})
    body = converter.convert(text)
    body = link_section_references(body, section_ids(converter.toc_tokens))
    body = LONE_PICTURE.sub(r"<figure>\1<figcaption>\2</figcaption></figure>", body)
    title_match = re.search(r"<h1[^>]*>(.*?)</h1>", body, re.S)
    title = re.sub(r"<[^>]+>", "", title_match.group(1)) if title_match else "MERIDO_B"
    toc = '<nav class="toc">\n<h2>目次</h2>\n%s</nav>' % converter.toc.replace(
        '<div class="toc">', "").replace("</div>", "")
    first_section = body.find("<h2")
    first_section = len(body) if first_section < 0 else first_section
    body = body[:first_section] + toc + "\n" + body[first_section:]

    def sized(match):
        size = png_size(read_picture(match.group(2)[len(PICTURE_PREFIX):]))
        dimensions = ' width="%d" height="%d"' % size if size else ""
        return '<img %ssrc="%s"%s' % (match.group(1), match.group(2), dimensions)

    body = IMG_SRC.sub(sized, body)
    return PAGE.format(title=html.escape(title, quote=False), style=PAGE_STYLE, body=body)


def archive_entries(exe_bytes, guide_text, changes_text, read_picture):
    """[(name, bytes)] of the archive, in archive order."""
    entries = [(EXE_NAME, exe_bytes)]
    entries.append((GUIDE_ENTRY, render_guide(guide_text, read_picture).encode("utf-8")))
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


class PageReader(html.parser.HTMLParser):
    """What the guide's page holds that matters to a browser: the language, the character set,
    its ids, every address it loads or links, anything that would run or fetch, the pictures
    without a caption, and its running text (outside the headings and the table of contents),
    in which a link to a section of the page is marked LINK_START id LINK_NAME text LINK_END."""

    LINK_START, LINK_NAME, LINK_END = "\x01", "\x02", "\x03"

    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.lang = None
        self.charset = None
        self.ids = set()
        self.pictures = []
        self.links = []
        self.active = []
        self.toc_links = 0
        self.in_toc = False
        self.style = ""
        self.in_style = False
        self.text = []
        self.in_heading = False
        self.anchors = []
        self.figure = None
        self.in_caption = False
        self.uncaptioned = []

    def handle_starttag(self, tag, attrs):
        values = dict(attrs)
        if tag == "html":
            self.lang = values.get("lang")
        if tag == "meta" and "charset" in values:
            self.charset = (values["charset"] or "").lower()
        if "id" in values:
            self.ids.add(values["id"])
        if tag in ("script", "iframe", "object", "embed", "link", "base", "form"):
            self.active.append("<%s>" % tag)
        for name, value in attrs:
            if name.startswith("on"):
                self.active.append("%s on <%s>" % (name, tag))
            if name in ("src", "srcset", "poster", "data", "action"):
                if tag == "img" and name == "src":
                    self.pictures.append(value or "")
                    self.add_picture(value or "")
                else:
                    self.active.append("%s on <%s>" % (name, tag))
        if tag == "a":
            self.start_link(values.get("href"))
        if tag == "nav" and "toc" in (values.get("class") or ""):
            self.in_toc = True
        if tag in ("h1", "h2", "h3", "h4", "h5", "h6"):
            self.in_heading = True
        if tag == "figure":
            self.figure = ([], [])
        self.in_caption = self.in_caption or (tag == "figcaption" and self.figure is not None)
        self.in_style = tag == "style"

    def start_link(self, href):
        if href is not None:
            self.links.append(href)
            if self.in_toc:
                self.toc_links += 1
        inside = href is not None and href.startswith("#")
        self.anchors.append(inside)
        if inside:
            self.text.append(self.LINK_START + href[1:] + self.LINK_NAME)

    def add_picture(self, src):
        if self.figure is not None:
            self.figure[0].append(src)
        else:
            self.uncaptioned.append(src)

    def handle_endtag(self, tag):
        if tag == "nav":
            self.in_toc = False
        if tag == "style":
            self.in_style = False
        if tag in ("h1", "h2", "h3", "h4", "h5", "h6"):
            self.in_heading = False
        if tag == "a" and self.anchors and self.anchors.pop():
            self.text.append(self.LINK_END)
        if tag == "figcaption":
            self.in_caption = False
        if tag == "figure" and self.figure is not None:
            pictures, caption = self.figure
            if not "".join(caption).strip():
                self.uncaptioned.extend(pictures)
            self.figure = None

    def handle_data(self, data):
        if self.in_style:
            self.style += data
        elif not (self.in_toc or self.in_heading):
            self.text.append(data)
        if self.in_caption:
            self.figure[1].append(data)

    def running_text(self):
        return "".join(self.text)


def section_references(reader):
    """[(name, id or None)] of every 「name」 in a 「…の節」 reference of the page's running
    text: the id that its link leads to when that id is on the page, None when it does not
    link or its link leads nowhere."""
    link = re.compile("^%s([^%s]*)%s([^%s%s]*)%s$" % (
        reader.LINK_START, reader.LINK_NAME, reader.LINK_NAME, reader.LINK_START,
        reader.LINK_END, reader.LINK_END))
    references = []
    for chain in SECTION_REFERENCE.finditer(reader.running_text()):
        for name in REFERENCE_NAME.findall(chain.group(1)):
            linked = link.match(name)
            if linked:
                references.append((linked.group(2), linked.group(1)
                                   if linked.group(1) in reader.ids else None))
            else:
                references.append((re.sub("[\x01-\x03]", "", name), None))
    return references


def retired_texts_in(text):
    """The retired texts (RETIRED_TEXTS) that text still says."""
    return [why for pattern, why in RETIRED_TEXTS if pattern.search(text)]


def check_page(page_bytes, names, report):
    """The guide's page: UTF-8, Japanese, a table of contents, nothing that runs or fetches, and
    every picture and link inside the archive or the page."""
    try:
        text = page_bytes.decode("utf-8")
    except UnicodeDecodeError as error:
        report.check("guide page UTF-8", False, str(error))
        return []
    reader = PageReader()
    reader.feed(text)
    reader.close()
    report.check("guide page language and character set",
                 reader.lang == "ja" and reader.charset == "utf-8",
                 'lang="%s", charset "%s" (expected ja, utf-8)' % (reader.lang, reader.charset))
    report.check("guide page table of contents", reader.toc_links >= 3,
                 "%d links in the table of contents" % reader.toc_links)
    fetching = reader.active + [rule for rule in ("url(", "@import") if rule in reader.style]
    report.check("guide page has no script and fetches nothing else", not fetching,
                 ", ".join(fetching) or "none")
    outside = [p for p in reader.pictures if p not in names]
    outside += [link for link in reader.links
                if not (link.startswith("#") and link[1:] in reader.ids) and link not in names]
    report.check("guide page's pictures and links", not outside,
                 "outside the archive or the page: %s" % (outside or "none"))
    references = section_references(reader)
    broken = ["「%s」" % name for name, target in references if target is None]
    report.check("guide page's section references link their sections", not broken,
                 "%d references; not linked to a section of the page: %s" % (
                     len(references), ", ".join(broken) or "none"))
    report.check("guide page's pictures have captions", not reader.uncaptioned,
                 "without a caption: %s" % (reader.uncaptioned or "none"))
    retired = retired_texts_in(re.sub("[\x01-\x03]", "", reader.running_text()))
    report.check("guide page says none of the retired texts", not retired,
                 ", ".join(retired) or "none")
    return list(dict.fromkeys(p for p in reader.pictures if p.startswith(PICTURE_PREFIX)))


def check(zip_path, out=sys.stdout):
    report = check_pe.Report(out)
    try:
        with zipfile.ZipFile(zip_path) as archive:
            names = archive.namelist()
            # Without the page, the entries' check alone reports it.
            pictures = (check_page(archive.read(GUIDE_ENTRY), names, report)
                        if GUIDE_ENTRY in names else [])
            expected = list(dict.fromkeys([EXE_NAME, GUIDE_ENTRY, CHANGES_ENTRY] + pictures))
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
