#!/usr/bin/env python3
"""Runs clang-format (the style of .clang-format) over every C++ source of the project.

Without options it formats the files in place (`make format`). With --check it changes
nothing: clang-format --dry-run --Werror names each difference, and the exit status is 1 when
there is one (the `format` test of the host run).

Usage: python3 tools/format_sources.py [--check] [--root DIR] [--clang-format PROGRAM]
"""

import argparse
import os
import subprocess
import sys

FOLDERS = ["app", "bench", "cadlink", "cadsim", "commands", "monitor", "platform", "settings",
           "tests"]
SOURCE_SUFFIXES = (".h", ".cpp")


def sources(root):
    """Every C++ source below the project's folders, relative to root, in a stable order."""
    found = []
    for folder in FOLDERS:
        for directory, _, files in os.walk(os.path.join(root, folder)):
            found += [os.path.relpath(os.path.join(directory, name), root)
                      for name in files if name.endswith(SOURCE_SUFFIXES)]
    return sorted(found)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--check", action="store_true")
    parser.add_argument("--root", default=os.path.join(os.path.dirname(__file__), ".."))
    parser.add_argument("--clang-format", default="clang-format")
    args = parser.parse_args()
    files = sources(args.root)
    mode = ["--dry-run", "--Werror"] if args.check else ["-i"]
    result = subprocess.run([args.clang_format, *mode, *files], cwd=args.root)
    if result.returncode != 0:
        print("clang-format: differences in the files above; `make format` mends them"
              if args.check else "clang-format failed", file=sys.stderr)
        return 1
    print("%d files %s" % (len(files), "formatted as .clang-format says" if args.check
                           else "formatted"))
    return 0


if __name__ == "__main__":
    sys.exit(main())
