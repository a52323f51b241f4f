#!/usr/bin/env python3
"""The longest functions of the product code, and its line count.

Reads C++ sources as text: comments and literals are blanked, then every brace block whose
head ends in a parameter list (with qualifiers, a trailing return type or an initialiser list
behind it) and that does not stand inside another function counts as one function, from the
first line of its head to its closing brace. Lambdas count as part of their function.

Usage: python3 tools/function_lengths.py [--root DIR] [--most N] [--limit LINES] [FOLDER...]
With --limit the exit status is 1 when a function is longer than LINES.
"""

import argparse
import os
import re
import sys

PRODUCT_FOLDERS = ["app", "settings", "cadlink", "commands", "monitor", "platform"]
SOURCE_SUFFIXES = (".h", ".cpp")

_TYPE_HEAD = re.compile(r"^\s*(template\s*<.*>\s*)?(namespace|class|struct|union|enum)\b", re.S)
_CONTROL_WORDS = {"if", "for", "while", "switch", "catch", "return", "sizeof", "decltype"}


def blank_comments_and_literals(text):
    """The text with comments, string and character literals turned into spaces; line breaks
    stay, so that positions keep their line numbers."""
    out = []
    i, n = 0, len(text)
    while i < n:
        c = text[i]
        if text.startswith("//", i):
            end = text.find("\n", i)
            end = n if end < 0 else end
            out.append(" " * (end - i))
            i = end
        elif text.startswith("/*", i):
            end = text.find("*/", i + 2)
            end = n if end < 0 else end + 2
            out.append(re.sub(r"[^\n]", " ", text[i:end]))
            i = end
        elif c in "\"'":
            raw = re.match(r'(?:u8|[uUL])?R"([^(\s]*)\(', text[max(0, i - 3):i + 20])
            j = i + 1
            while j < n and text[j] != c:
                j += 2 if text[j] == "\\" else 1
            if raw is not None and c == '"':
                end = text.find(")" + raw.group(1) + '"', i)
                j = n - 1 if end < 0 else end + len(raw.group(1)) + 1
            out.append(c + re.sub(r"[^\n]", " ", text[i + 1:j]) + (c if j < n else ""))
            i = j + 1
        else:
            out.append(c)
            i += 1
    return "".join(out)


def _is_function_head(head):
    head = head.strip()
    if not head or "(" not in head or _TYPE_HEAD.match(head):
        return False
    # An initialiser ("x = {" or "T x{...}") has no parameter list right before its brace.
    if re.search(r"(^|[^=!<>])=\s*$", head) or head.endswith(","):
        return False
    first_word = re.match(r"[A-Za-z_]\w*", head)
    if first_word and first_word.group(0) in _CONTROL_WORDS:
        return False
    # The parameter list, then qualifiers, a trailing return type or an initialiser list.
    return re.search(r"\)[\w\s:&*<>,\->\[\]]*(\([^()]*\)|\{\s*\})*\s*$", head) is not None or (
        re.search(r"\)\s*:", head) is not None)


def functions_in(text):
    """[(first line, last line, name)] of the functions of one source text."""
    code = blank_comments_and_literals(text)
    line_starts = [0] + [m.end() for m in re.finditer("\n", code)]

    def line_of(position):
        low, high = 0, len(line_starts) - 1
        while low < high:
            middle = (low + high + 1) // 2
            if line_starts[middle] <= position:
                low = middle
            else:
                high = middle - 1
        return low + 1

    found = []
    stack = []  # per open brace: None, or the start position of the function it opens
    head_start = 0
    depth_in_function = 0
    for position, c in enumerate(code):
        if c == "{":
            if depth_in_function:
                depth_in_function += 1
                stack.append(None)
            else:
                head = code[head_start:position]
                if _is_function_head(head):
                    start = head_start + len(head) - len(head.lstrip())
                    stack.append(start)
                    depth_in_function = 1
                else:
                    stack.append(None)
            head_start = position + 1
        elif c == "}":
            opened = stack.pop() if stack else None
            if depth_in_function:
                depth_in_function -= 1
                if depth_in_function == 0 and opened is not None:
                    name = re.search(r"((?:[~\w]+::)*operator\s*(?:\(\)|[^\s(]+)|[~\w:]+)\s*\(",
                                     code[opened:position])
                    found.append((line_of(opened), line_of(position),
                                  name.group(1) if name else "?"))
            head_start = position + 1
        elif c == ";" or (c == ":" and re.search(
                r"\b(public|private|protected)\s*$", code[head_start:position])):
            if not depth_in_function:
                head_start = position + 1
        elif c == "#" and not depth_in_function and code[head_start:position].strip() == "":
            # A preprocessor line is no part of the next head.
            end = code.find("\n", position)
            head_start = len(code) if end < 0 else end + 1
    return found


def source_files(root, folders):
    for folder in folders:
        for directory, _, files in os.walk(os.path.join(root, folder)):
            for name in sorted(files):
                if name.endswith(SOURCE_SUFFIXES):
                    yield os.path.join(directory, name)


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--root", default=os.path.dirname(os.path.dirname(os.path.abspath(
        __file__))))
    parser.add_argument("--most", type=int, default=5)
    parser.add_argument("--limit", type=int)
    parser.add_argument("folders", nargs="*", default=PRODUCT_FOLDERS)
    options = parser.parse_args(argv)

    rows = []
    total_lines = code_lines = 0
    for path in source_files(options.root, options.folders):
        with open(path, encoding="utf-8") as file:
            text = file.read()
        total_lines += text.count("\n")
        code_lines += sum(1 for line in blank_comments_and_literals(text).splitlines()
                          if line.strip())
        relative = os.path.relpath(path, options.root)
        rows += [(last - first + 1, relative, first, name)
                 for first, last, name in functions_in(text)]
    rows.sort(key=lambda row: (-row[0], row[1], row[2]))

    print("%d lines (%d not blank or comment), %d functions" % (total_lines, code_lines,
                                                                 len(rows)))
    for length, path, line, name in rows[:options.most]:
        print("%4d  %s:%d  %s" % (length, path, line, name))
    if options.limit is not None:
        over = [row for row in rows if row[0] > options.limit]
        for length, path, line, name in over:
            print("over %d lines: %s:%d %s (%d lines)" % (options.limit, path, line, name,
                                                          length), file=sys.stderr)
        return 1 if over else 0
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
