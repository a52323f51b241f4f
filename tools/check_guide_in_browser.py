#!/usr/bin/env python3
"""Opens the release zip's guide in a real browser: headless Chromium, from the unpacked zip.

  check_guide_in_browser.py ZIP SCREENSHOT

Unpacks ZIP into build/guide-check/ and runs Chromium twice, each time with a fresh profile and
without any network service:
  1. on a copy of the page with a small checking script added at its end (the copy is not in
     the zip): after the page's load event the script writes what the browser made of it into
     the DOM, which --dump-dom prints: the character set, the language, the title heading, the
     table of contents, each picture with its natural size and its caption as laid out, every
     「…」の節 reference with the section its link leads to, and every resource the page fetched;
  2. on the page itself, as shipped, writing a screenshot of its first screen to SCREENSHOT.
Fails when a picture did not load or shows no caption under it, when a 「…」の節 reference does
not link to a section heading of the page, when the page fetched anything outside the unpacked
folder, when the page did not come out as the guide, or when the screenshot is missing or blank.
"""

import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
sys.path.insert(0, HERE)

import make_dist  # noqa: E402

WORK = os.path.join(ROOT, "build", "guide-check")
CHECK_COPY = "check-only-" + make_dist.GUIDE_ENTRY
SCREEN = (1024, 768)
TIMEOUT_S = 60
RESULT = re.compile(r'<pre id="merido-check">(.*?)</pre>', re.S)

# Run after the load event, when every picture has loaded or failed.
CHECK_SCRIPT = """<script>
window.addEventListener("load", function () {
  var pictures = Array.prototype.map.call(document.images, function (image) {
    return {src: image.getAttribute("src"), complete: image.complete,
            width: image.naturalWidth, height: image.naturalHeight};
  });
  var fetched = performance.getEntriesByType("resource").map(function (entry) {
    return entry.name;
  });
  // A caption counts as shown when it has text, a box, a readable size and is not hidden, and
  // lies under its picture.
  var captions = Array.prototype.map.call(document.images, function (image) {
    var figure = image.closest("figure");
    var caption = figure ? figure.querySelector("figcaption") : null;
    if (!caption) {
      return {src: image.getAttribute("src"), text: "", shown: false, below: false};
    }
    var box = caption.getBoundingClientRect(), picture = image.getBoundingClientRect();
    var style = getComputedStyle(caption), text = caption.textContent.trim();
    return {src: image.getAttribute("src"), text: text,
            shown: text !== "" && box.width > 0 && box.height > 0 &&
                   style.visibility === "visible" && style.display !== "none" &&
                   parseFloat(style.opacity) > 0 && parseFloat(style.fontSize) >= 10,
            below: box.top >= picture.bottom - 1};
  });
  // The running text with each in-page link marked with the heading it leads to (empty when it
  // leads to none); then every name of a 「…」の節 reference, linked or not.
  var copy = document.body.cloneNode(true);
  copy.querySelectorAll("script, nav.toc, h1, h2, h3, h4, h5, h6").forEach(function (node) {
    node.remove();
  });
  copy.querySelectorAll("a[href^='#']").forEach(function (link) {
    var target = document.getElementById(decodeURIComponent(link.getAttribute("href").slice(1)));
    var section = target !== null && /^H[1-6]$/.test(target.tagName);
    link.replaceWith("\\u0001" + (section ? target.textContent : "") + "\\u0002" +
                     link.textContent + "\\u0003");
  });
  var references = [];
  (copy.textContent.match(/(?:「[^「」]*」)+の節/g) || []).forEach(function (chain) {
    (chain.match(/「[^「」]*」/g) || []).forEach(function (quoted) {
      var name = quoted.slice(1, -1);
      var linked = /^\\u0001([^\\u0002]*)\\u0002([^\\u0001\\u0003]*)\\u0003$/.exec(name);
      references.push(linked ? {name: linked[2], section: linked[1]}
                             : {name: name.replace(/[\\u0001-\\u0003]/g, ""), section: ""});
    });
  });
  var heading = document.querySelector("h1");
  var result = {
    characterSet: document.characterSet, lang: document.documentElement.lang,
    heading: heading ? heading.textContent : null,
    tocLinks: document.querySelectorAll("nav.toc a[href^='#']").length,
    scripts: document.scripts.length, pictures: pictures, captions: captions,
    references: references, fetched: fetched
  };
  var out = document.createElement("pre");
  out.id = "merido-check";
  out.textContent = JSON.stringify(result);
  document.body.appendChild(out);
});
</script>
"""

CHROMIUM_FLAGS = [
    "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
    "--disable-background-networking", "--disable-component-update", "--disable-sync",
    "--disable-extensions", "--disable-default-apps", "--mute-audio", "--hide-scrollbars",
    "--force-device-scale-factor=1", "--window-size=%d,%d" % SCREEN,
    # Nothing may reach the network: every host name fails to resolve.
    "--host-resolver-rules=MAP * ~NOTFOUND",
    "--run-all-compositor-stages-before-draw", "--virtual-time-budget=10000",
]


def chromium(profile_parent, *arguments):
    """Runs Chromium once with a profile of its own; returns its standard output."""
    profile = tempfile.mkdtemp(prefix="profile-", dir=profile_parent)
    try:
        done = subprocess.run(["chromium", "--user-data-dir=" + profile] + CHROMIUM_FLAGS +
                              list(arguments), capture_output=True, text=True,
                              timeout=TIMEOUT_S, check=False)
        return done.returncode, done.stdout, done.stderr
    finally:
        shutil.rmtree(profile, ignore_errors=True)


def unpack(zip_path, folder):
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    with zipfile.ZipFile(zip_path) as archive:
        archive.extractall(folder)
        return [n for n in archive.namelist() if n.startswith(make_dist.PICTURE_PREFIX)]


def judge(result, packed_pictures, folder_url):
    """[(check, ok, detail)] of what the browser reported."""
    pictures = result["pictures"]
    broken = [p["src"] for p in pictures if not (p["complete"] and p["width"] > 0
                                                 and p["height"] > 0)]
    loaded = sorted({p["src"] for p in pictures} - set(broken))
    outside = [url for url in result["fetched"] if not url.startswith(folder_url)]
    uncaptioned = [c["src"] for c in result["captions"] if not (c["shown"] and c["below"])]
    references = result["references"]
    # A reference leads to its section when the heading it links to begins with its name.
    astray = ["「%s」" % r["name"] for r in references
              if not (r["section"] and r["section"].startswith(r["name"]))]
    return [
        ("rendered as UTF-8 Japanese", result["characterSet"] == "UTF-8" and result["lang"] == "ja",
         "%s, lang=%s" % (result["characterSet"], result["lang"])),
        ("the guide's title and table of contents",
         bool(result["heading"]) and "MERIDO_B" in result["heading"] and result["tocLinks"] >= 3,
         "%r, %d links" % (result["heading"], result["tocLinks"])),
        ("only the checking script ran", result["scripts"] == 1,
         "%d scripts in the checking copy" % result["scripts"]),
        ("every picture loaded", not broken and pictures != [],
         "%d pictures; broken: %s" % (len(pictures), broken or "none")),
        ("every packed picture shown", loaded == sorted(packed_pictures),
         "shown %s, packed %s" % (loaded, sorted(packed_pictures))),
        ("every picture has a visible caption under it", not uncaptioned and pictures != [],
         "%d captions; missing, hidden or not under the picture: %s" % (
             len(result["captions"]), uncaptioned or "none")),
        ("every 「…」の節 reference links to its section", not astray and references != [],
         "%d references; not leading to their sections: %s" % (
             len(references), ", ".join(astray) or "none")),
        ("nothing fetched outside the unpacked zip", not outside, ", ".join(outside) or "none"),
    ]


def screenshot_detail(path):
    """(ok, detail) for the screenshot: the screen's size and more than a few colours."""
    if not os.path.isfile(path):
        return False, "no screenshot written"
    try:
        out = subprocess.run(["identify", "-format", "%w %h %k", path], capture_output=True,
                             text=True, timeout=TIMEOUT_S, check=True).stdout.split()
    except (OSError, subprocess.CalledProcessError) as error:
        return False, "unreadable: %s" % error
    width, height, colours = (int(v) for v in out)
    ok = (width, height) == SCREEN and colours > 16
    return ok, "%dx%d, %d colours (expected %dx%d, more than 16)" % (width, height, colours,
                                                                       *SCREEN)


def run(zip_path, screenshot, out=sys.stdout):
    folder = os.path.join(WORK, "unpacked")
    packed_pictures = unpack(zip_path, folder)
    page = os.path.join(folder, make_dist.GUIDE_ENTRY)
    checks = []
    if not os.path.isfile(page):
        checks.append(("guide page in the zip", False, make_dist.GUIDE_ENTRY + " missing"))
    else:
        with open(page, encoding="utf-8", errors="replace") as f:
            text = f.read()
        copy = os.path.join(folder, CHECK_COPY)
        end = text.rfind("</body>")
        with open(copy, "w", encoding="utf-8") as f:
            f.write(text[:end] + CHECK_SCRIPT + text[end:] if end >= 0 else text + CHECK_SCRIPT)
        folder_url = "file://" + os.path.realpath(folder) + "/"
        code, dom, errors = chromium(WORK, "--dump-dom", folder_url + CHECK_COPY)
        found = RESULT.search(dom)
        if not found:
            checks.append(("the page loaded in Chromium", False,
                           "exit %d, no result in the DOM; %s" % (code, errors.strip()[-400:])))
        else:
            checks.extend(judge(json.loads(found.group(1)), packed_pictures, folder_url))
        if os.path.exists(screenshot):
            os.remove(screenshot)
        os.makedirs(os.path.dirname(os.path.abspath(screenshot)), exist_ok=True)
        chromium(WORK, "--screenshot=" + os.path.abspath(screenshot),
                 folder_url + make_dist.GUIDE_ENTRY)
        ok, detail = screenshot_detail(screenshot)
        checks.append(("screenshot of the first screen " + screenshot, ok, detail))
    failed = 0
    for name, ok, detail in checks:
        print("%-4s %s: %s" % ("OK" if ok else "FAIL", name, detail), file=out)
        failed += not ok
    return 1 if failed else 0


def main(argv):
    if len(argv) != 2:
        print("usage: check_guide_in_browser.py ZIP SCREENSHOT", file=sys.stderr)
        return 2
    return run(argv[0], argv[1])


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
