#!/usr/bin/env python3
"""Checks the one-way rule between the product's layers.

Every quoted #include of the product's sources must name a header as "layer/file.h", and the
layer must be the including file's own or one below it:

    app  ->  commands, monitor  ->  cadlink, settings  ->  platform

platform/win32 (the Windows implementation) counts as a layer of its own, which only app may
use besides itself; it uses the platform interfaces. Prints each offending line and exits with
1 when there is one.

Usage: python3 tools/check_layers.py [--root DIR]
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


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--root", default=os.path.dirname(os.path.dirname(os.path.abspath(
        __file__))))
    options = parser.parse_args(argv)
    found = violations(options.root)
    for path, number, text, reason in found:
        print("%s:%d: %s: %s" % (path, number, reason, text), file=sys.stderr)
    if not found:
        print("layers: every include goes to the same layer or one below it")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
