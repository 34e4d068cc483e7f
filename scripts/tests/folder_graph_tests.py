"""Tests of scripts/folder-graph: the layer tables it reads from the README,
and what it reports about the edges of a build."""
import importlib.machinery
import importlib.util
import os
import unittest

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.realpath(__file__))))
_loader = importlib.machinery.SourceFileLoader("folder_graph", os.path.join(ROOT, "scripts", "folder-graph"))
_spec = importlib.util.spec_from_loader("folder_graph", _loader)
graph = importlib.util.module_from_spec(_spec)
_loader.exec_module(graph)


def readme(*tables):
    """A README whose Architecture section holds the tables, each a list of
    lines, between two other sections."""
    body = "\n\n".join("\n".join(table) for table in tables)
    return f"# Title\n\n## Install\n\n| Folder | May use |\n|---|---|\n| `a` | `b` |\n\n## Architecture\n\n{body}\n\n## Folders\n"


LAYERS = ["| Folder | Layer | May use |", "|---|---|---|"]
LIBRARY = ["| Folder | Library | May use |", "|---|---|---|"]


class LayerTables(unittest.TestCase):
    def test_rows_give_what_each_folder_may_use_and_what_that_uses(self):
        layers = LAYERS + [
            "| `e/x/` | bottom | the C++ library |",
            "| `e/y` | middle | `e/x/`; POSIX |",
            "| `e/z` | top | `e/y` (and only `e/y`), `libhigh.so` |",
            "| platform | not a folder | `e/z` |",
        ]
        libraries = LIBRARY + [
            "| `p/a` | `liblow.so` | nothing |",
            "| `p/b` | `liblow.so` | `p/a` |",
            "| `p/c` | `libhigh.so` | `liblow.so` |",
        ]
        no_uses = ["| Folder | What |", "|---|---|", "| `q` | `p/a` |"]
        self.assertEqual(
            graph.parse_layer_tables(readme(layers, libraries, no_uses)),
            {"e/x": set(), "e/y": {"e/x"}, "e/z": {"e/x", "e/y", "p/a", "p/b", "p/c"},
             "p/a": set(), "p/b": {"p/a"}, "p/c": {"p/a", "p/b"}})

    def test_a_cycle_in_the_tables_is_an_error(self):
        table = LAYERS + ["| `x` | one | `y` |", "| `y` | two | `x` |"]
        with self.assertRaisesRegex(ValueError, "cycle"):
            graph.parse_layer_tables(readme(table))

    def test_the_readme_lists_every_folder_that_holds_code(self):
        with open(os.path.join(ROOT, "README.md"), encoding="utf-8") as f:
            allowed = graph.parse_layer_tables(f.read())
        folders = set()
        for folder, subfolders, files in os.walk(ROOT):
            subfolders[:] = [s for s in subfolders if not s.startswith(".") and s != "build"]
            folders.update(graph.folder_of(os.path.join(folder, f)) for f in files if f.endswith((".cpp", ".h")))
        folders.discard(None)
        self.assertIn("platform/afx", folders)
        self.assertEqual(folders - set(allowed), set())


class Problems(unittest.TestCase):
    ALLOWED = {"low": set(), "mid": {"low"}, "top": {"low", "mid"}}

    def test_reports_cycles_unknown_folders_and_edges_the_tables_forbid(self):
        made = ("top/a.cpp", "mid/b.h")
        rows = [
            ("allowed edges", {"top": {"mid": made, "low": made}, "mid": {"low": made}, "low": {}}, []),
            (
                "an edge against the order",
                {"mid": {"top": ("mid/x.cpp", "top/y.h")}, "top": {}},
                ["not allowed: mid -> top (mid/x.cpp includes top/y.h)"],
            ),
            (
                "a cycle",
                {"low": {"mid": ("low/l.cpp", "mid/m.h")}, "mid": {"low": made}},
                ["cycle: low -> mid -> low", "not allowed: low -> mid (low/l.cpp includes mid/m.h)"],
            ),
            ("a folder the tables do not list", {"new": {"low": made}}, ["not in the README's layer tables: new"]),
        ]
        for name, edges, expected in rows:
            with self.subTest(name):
                self.assertEqual(graph.problems(edges, self.ALLOWED), expected)


if __name__ == "__main__":
    unittest.main()
