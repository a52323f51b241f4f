#!/usr/bin/env python3
"""Tests of tools/check_layers.py, tools/function_lengths.py and tools/format_sources.py, each
on a small tree of its own.

Usage: python3 tools/test_code_checks.py [-v]
"""

import os
import shutil
import subprocess
import sys
import tempfile
import textwrap
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

import check_layers  # noqa: E402
import format_sources  # noqa: E402
import function_lengths  # noqa: E402


def write_tree(root, files):
    for path, text in files.items():
        full = os.path.join(root, path)
        os.makedirs(os.path.dirname(full), exist_ok=True)
        with open(full, "w", encoding="utf-8") as file:
            file.write(textwrap.dedent(text))


class CheckLayersTest(unittest.TestCase):
    def violations(self, files):
        with tempfile.TemporaryDirectory() as root:
            write_tree(root, files)
            return [(path, reason) for path, _, _, reason in check_layers.violations(root)]

    def test_includes_of_the_same_layer_or_below_pass(self):
        self.assertEqual(self.violations({
            "platform/panel.h": '#include "platform/window_handle.h"\n',
            "platform/win32/shell.cpp": '#include "platform/shell.h"\n#include <windows.h>\n',
            "cadlink/finder.cpp": '#include "cadlink/finder.h"\n#include "platform/panel.h"\n',
            "commands/a.cpp": '#include "cadlink/x.h"\n#include "settings/y.h"\n',
            "monitor/m.cpp": '#include "cadlink/x.h"\n',
            "app/main.cpp": '#include "commands/a.h"\n#include "platform/win32/shell.h"\n',
        }), [])

    def test_each_kind_of_upward_or_sideways_include_fails(self):
        cases = [
            ("cadlink/finder.cpp", '#include "commands/panel_commands.h"', "cadlink", "commands"),
            ("cadlink/finder.h", '  #  include "app/control_panel.h"', "cadlink", "app"),
            ("settings/file.cpp", '#include "cadlink/cad_prog_id.h"', "settings", "cadlink"),
            ("commands/a.cpp", '#include "monitor/cad_monitor.h"', "commands", "monitor"),
            ("monitor/m.cpp", '#include "app/app_texts.h"', "monitor", "app"),
            ("platform/panel.h", '#include "settings/panel_settings.h"', "platform", "settings"),
            ("commands/a.cpp", '#include "platform/win32/shell.h"', "commands",
             "platform/win32"),
            ("platform/win32/x.cpp", '#include "app/dpi.h"', "platform/win32", "app"),
        ]
        for path, line, own, target in cases:
            with self.subTest(path=path, line=line):
                self.assertEqual(self.violations({path: line + "\n"}),
                                 [(path, "%s may not include %s" % (own, target))])

    def test_an_include_without_a_layer_fails(self):
        for line in ['#include "panel_commands.h"', '#include "tests/fakes/fake_panel.h"']:
            with self.subTest(line=line):
                self.assertEqual(self.violations({"commands/a.cpp": line + "\n"}),
                                 [("commands/a.cpp", 'not of the form "layer/file.h"')])

    def test_the_script_exits_with_one_on_a_violation_and_zero_without(self):
        with tempfile.TemporaryDirectory() as root:
            write_tree(root, {"cadlink/a.cpp": '#include "platform/x.h"\n'})
            self.assertEqual(check_layers.main(["--root", root]), 0)
            write_tree(root, {"cadlink/b.cpp": '#include "commands/x.h"\n'})
            self.assertEqual(check_layers.main(["--root", root]), 1)


class LayerRuleCopiesTest(unittest.TestCase):
    def test_a_layer_library_may_link_only_the_layers_it_may_use(self):
        cases = [
            ("cadlink", "merido_cadlink PUBLIC merido_platform", []),
            ("commands", "merido_commands PUBLIC merido_cadlink merido_settings", []),
            ("cadlink", "merido_cadlink PUBLIC merido_settings merido_platform",
             ["merido_cadlink links merido_settings: cadlink may not use settings"]),
            ("monitor", "merido_monitor\n    PUBLIC merido_app",
             ["merido_monitor links merido_app: monitor may not use app"]),
            ("settings", "merido_settings PUBLIC merido_platform_win32",
             ["merido_settings links merido_platform_win32: settings may not use platform/win32"]),
        ]
        for folder, links, expected in cases:
            with self.subTest(links=links), tempfile.TemporaryDirectory() as root:
                write_tree(root, {folder + "/CMakeLists.txt":
                                  "target_link_libraries(%s)\n" % links})
                self.assertEqual([reason for _, reason in check_layers.link_violations(root)],
                                 expected)

    def test_the_pages_table_must_read_as_the_rule(self):
        page = "intro\n<!-- layers -->\n%s\n<!-- /layers -->\n" % check_layers.page_table()
        with tempfile.TemporaryDirectory() as root:
            write_tree(root, {"docs/ARCHITECTURE.md": page})
            self.assertEqual(check_layers.page_violations(root), [])
            write_tree(root, {"docs/ARCHITECTURE.md": page.replace("| `cadlink` | `platform` |",
                                                                   "| `cadlink` | `settings` |")})
            self.assertEqual(len(check_layers.page_violations(root)), 1)
            write_tree(root, {"docs/ARCHITECTURE.md": "no table\n"})
            self.assertEqual(len(check_layers.page_violations(root)), 1)


class FunctionLengthsTest(unittest.TestCase):
    def test_counts_each_function_from_its_head_to_its_closing_brace(self):
        source = """\
            #include "x.h"

            namespace app {
            namespace {

            struct Item {
                int Size() const { return 1; }
            };

            template <typename T>
            T Twice(T value) {
                const auto add = [](T a, T b) { return a + b; };
                if (value > 0) {
                    return add(value, value);
                }
                return T{};
            }

            }  // namespace

            Panel::Panel(int width)
                : width_(width),
                  items_{} {}

            const char* Panel::Name() const noexcept {
                // "}" in a comment and a string do not close the function {
                return "}{";
            }

            constexpr int kTable[] = {1, 2, 3};
            int Panel::operator()(int x) { return x; }

            }  // namespace app
            """
        self.assertEqual(function_lengths.functions_in(textwrap.dedent(source)), [
            (7, 7, "Size"),
            (10, 17, "Twice"),
            (21, 23, "Panel::Panel"),
            (25, 28, "Panel::Name"),
            (31, 31, "Panel::operator()"),
        ])

    def test_the_limit_fails_only_when_a_function_is_longer(self):
        body = "".join("    ++x;\n" for _ in range(8))
        with tempfile.TemporaryDirectory() as root:
            write_tree(root, {"app/a.cpp": "void F(int x) {\n" + body + "}\n"})
            arguments = ["--root", root, "app"]
            self.assertEqual(function_lengths.main(arguments + ["--limit", "10"]), 0)
            self.assertEqual(function_lengths.main(arguments + ["--limit", "9"]), 1)


@unittest.skipUnless(shutil.which("clang-format"), "clang-format is not installed")
class FormatSourcesTest(unittest.TestCase):
    STYLE = os.path.join(HERE, "..", ".clang-format")

    def check(self, files):
        """The exit status of the check and the files' texts afterwards."""
        with tempfile.TemporaryDirectory() as root:
            write_tree(root, files)
            shutil.copy(self.STYLE, root)
            result = subprocess.run([sys.executable, os.path.join(HERE, "format_sources.py"),
                                     "--check", "--root", root], capture_output=True)
            after = {}
            for path in files:
                with open(os.path.join(root, path), encoding="utf-8") as file:
                    after[path] = file.read()
            return result.returncode, after

    def test_the_check_fails_on_any_difference_in_any_folder_and_changes_nothing(self):
        good = "int One() { return 1; }\n"
        self.assertEqual(self.check({"app/a.cpp": good, "tests/b.h": good}),
                         (0, {"app/a.cpp": good, "tests/b.h": good}))
        for path, bad in (("cadsim/x.cpp", "int One(){return 1;}\n"),
                          ("tests/fakes/y.h", "int  One() { return 1; }\n"),
                          ("platform/z.h", good + "\n\n\nint Two() { return 2; }\n")):
            with self.subTest(path):
                self.assertEqual(self.check({"app/a.cpp": good, path: bad}),
                                 (1, {"app/a.cpp": good, path: bad}))

    def test_only_the_sources_of_the_projects_folders_count(self):
        with tempfile.TemporaryDirectory() as root:
            write_tree(root, {"app/a.cpp": "", "app/b.h": "", "app/c.py": "", "build/d.cpp": "",
                              "platform/win32/e.h": ""})
            self.assertEqual(format_sources.sources(root),
                             ["app/a.cpp", "app/b.h", "platform/win32/e.h"])


if __name__ == "__main__":
    unittest.main()
