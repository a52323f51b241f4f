#!/usr/bin/env python3
"""Checks the one-way rule between the product's layers.

Every quoted #include of the product's sources must name a header as "layer/file.h", and the
layer must be the including file's own or one below it:

    app  ->  commands, monitor  ->  cadlink, settings  ->  platform

platform/win32 (the Windows implementation) counts as a layer of its own, which only app may
use besides itself; it uses the platform interfaces.

ALLOWED below is the one statement of the rule. Two other places say it again and are checked
against it: the libraries each layer's CMakeLists.txt links (a layer's library may link only
the libraries of layers it may use), and the table of the architecture page between the marks
<!-- layers --> and <!-- /layers --> (--print-table prints the table as it must read).

Prints each offence and exits with 1 when there is one.

Usage: python3 tools/check_layers.py [--root DIR] [--print-table]
"""

import argparse
import os
import re
import sys

# For each layer, the layers its files may include (its own among them).
ALLOWED = {
    "platform": {"platform"},
    "platform/win32": {"platform", "platform/win32"},
    "settings": {"settings", "platform"},
    "cadlink": {"cadlink", "platform"},
    "commands": {"commands", "cadlink", "settings", "platform"},
    "monitor": {"monitor", "cadlink", "settings", "platform"},
    "app": {"app", "commands", "monitor", "cadlink", "settings", "platform", "platform/win32"},
}
PRODUCT_FOLDERS = ["app", "commands", "monitor", "cadlink", "settings", "platform"]
# The library targets of the layers.
LIBRARIES = {
    "merido_platform": "platform",
    "merido_platform_win32": "platform/win32",
    "merido_settings": "settings",
    "merido_cadlink": "cadlink",
    "merido_commands": "commands",
    "merido_monitor": "monitor",
    "merido_app_portable": "app",
    "merido_app": "app",
}
PAGE = os.path.join("docs", "ARCHITECTURE.md")
_LINKS = re.compile(r"target_link_libraries\(\s*(\w+)([^)]*)\)", re.S)
SOURCE_SUFFIXES = (".h", ".cpp")
_INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"')


def layer_of(path):
    """The layer a path (relative, with "/") belongs to; None for anything else."""
    if path.startswith("platform/win32/"):
        return "platform/win32"
    first = path.split("/", 1)[0]
    return first if first in ALLOWED and "/" in path else None


def violations(root):
    """[(file, line number, text, reason)] for every include that breaks the rule."""
    found = []
    for folder in PRODUCT_FOLDERS:
        for directory, _, files in os.walk(os.path.join(root, folder)):
            for name in sorted(files):
                if not name.endswith(SOURCE_SUFFIXES):
                    continue
                path = os.path.join(directory, name)
                relative = os.path.relpath(path, root).replace(os.sep, "/")
                own = layer_of(relative)
                with open(path, encoding="utf-8") as file:
                    for number, line in enumerate(file, 1):
                        match = _INCLUDE.match(line)
                        if not match:
                            continue
                        target = layer_of(match.group(1))
                        if target is None:
                            reason = "not of the form \"layer/file.h\""
                        elif target not in ALLOWED[own]:
                            reason = "%s may not include %s" % (own, target)
                        else:
                            continue
                        found.append((relative, number, line.strip(), reason))
    return found


def link_violations(root):
    """[(file, reason)] for every library a layer's library links against the rule."""
    found = []
    for folder in PRODUCT_FOLDERS:
        path = os.path.join(root, folder, "CMakeLists.txt")
        if not os.path.exists(path):
            continue
        with open(path, encoding="utf-8") as file:
            text = file.read()
        for target, rest in _LINKS.findall(text):
            own = LIBRARIES.get(target)
            if own is None:
                continue
            for linked in rest.split():
                layer = LIBRARIES.get(linked)
                if layer is not None and layer not in ALLOWED[own]:
                    found.append((folder + "/CMakeLists.txt",
                                  "%s links %s: %s may not use %s" % (target, linked, own, layer)))
    return found


def page_table():
    """The architecture page's table of the rule, as it must read."""
    lines = ["| layer | may use |", "|---|---|"]
    for layer in ["app", "commands", "monitor", "cadlink", "settings", "platform/win32",
                  "platform"]:
        others = [other for other in ALLOWED[layer] if other != layer]
        order = ["commands", "monitor", "cadlink", "settings", "platform", "platform/win32"]
        used = ", ".join("`%s`" % other for other in order if other in others)
        lines.append("| `%s` | %s |" % (layer, used or "nothing else"))
    return "\n".join(lines)


def page_violations(root):
    """[(file, reason)] when the page's table is missing or differs from the rule."""
    path = os.path.join(root, PAGE)
    if not os.path.exists(path):
        return []
    with open(path, encoding="utf-8") as file:
        text = file.read()
    match = re.search(r"<!-- layers -->\n(.*?)\n<!-- /layers -->", text, re.S)
    if match is None:
        return [(PAGE, "no table between <!-- layers --> and <!-- /layers -->")]
    if match.group(1).strip() != page_table():
        return [(PAGE, "the table differs from the rule; it must read:\n" + page_table())]
    return []


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--root", default=os.path.dirname(os.path.dirname(os.path.abspath(
        __file__))))
    parser.add_argument("--print-table", action="store_true")
    options = parser.parse_args(argv)
    if options.print_table:
        print(page_table())
        return 0
    found = violations(options.root)
    for path, number, text, reason in found:
        print("%s:%d: %s: %s" % (path, number, reason, text), file=sys.stderr)
    others = link_violations(options.root) + page_violations(options.root)
    for path, reason in others:
        print("%s: %s" % (path, reason), file=sys.stderr)
    if not found and not others:
        print("layers: every include and every link goes to the same layer or one below it, "
              "and the architecture page agrees")
    return 1 if found or others else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
