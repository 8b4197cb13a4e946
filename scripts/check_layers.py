#!/usr/bin/env python3
"""Checks the shape of the source tree; exits non-zero on any violation.

- Every top-level folder with C++ sources sits in a layer. A folder may
  include folders of its own layer or of a layer below, never above.
- Folders include each other without cycles.
- Nothing outside tests/ includes tests/ (product code, tools and the
  benchmarks never); nothing includes bench/.
- No C++ source file is longer than MAX_LINES, apart from the files listed
  in LONG_FILES, which may not grow.

Usage: scripts/check_layers.py [source-dir]
"""
import os
import re
import sys

# Lowest first. The core (settings facade, clock) is used by everyone; pure
# code has no state and no I/O; services hold state and talk to servers and
# the desktop; widgets sit on top.
LAYERS = [
    ("core", ["core"]),
    ("pure", ["recognition", "mailtext", "qr"]),
    ("services", ["secrets", "mail", "vault", "oauth", "rest", "clouddb", "link", "transport", "account", "desktop",
                  "router", "protection", "resources"]),
    ("widget base", ["theme"]),
    ("pages", ["pages"]),
    ("app", ["app"]),
    ("tools", ["tools"]),
    # Real servers started for the tests and the benchmarks.
    ("servers", ["servers"]),
]
# Above everything: they may include any product folder or tool, and no one
# includes them.
TOP = ["tests", "bench"]

MAX_LINES = 600
# Files over the limit today, each with the length it may not exceed.
LONG_FILES = {}

SOURCE_SUFFIXES = (".cpp", ".h", ".hpp", ".cc")
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.MULTILINE)


def source_files(root):
    for dirpath, dirnames, filenames in os.walk(root):
        rel = os.path.relpath(dirpath, root)
        if rel == ".":
            # Build trees and hidden folders are not sources.
            dirnames[:] = [d for d in dirnames if not d.startswith((".", "build"))]
        for name in filenames:
            if name.endswith(SOURCE_SUFFIXES):
                yield os.path.normpath(os.path.join(rel, name)).replace(os.sep, "/")


def target_folder(root, path, include):
    """The top-level folder an include names, or None for a file beside the
    includer, a system header or a name that does not resolve."""
    if "/" not in include:
        return None
    if os.path.isfile(os.path.join(root, include)):
        return include.split("/", 1)[0]
    # tests/ is an include root of the test support libraries.
    if os.path.isfile(os.path.join(root, "tests", include)):
        return "tests"
    beside = os.path.join(root, os.path.dirname(path), include)
    if os.path.isfile(beside):
        return os.path.relpath(os.path.normpath(beside), root).split(os.sep, 1)[0]
    return None


def find_cycles(edges):
    """Strongly connected components with more than one folder."""
    index, low, stack, on_stack, result = {}, {}, [], set(), []

    def visit(node):
        index[node] = low[node] = len(index)
        stack.append(node)
        on_stack.add(node)
        for nxt in sorted(edges.get(node, ())):
            if nxt not in index:
                visit(nxt)
                low[node] = min(low[node], low[nxt])
            elif nxt in on_stack:
                low[node] = min(low[node], index[nxt])
        if low[node] == index[node]:
            component = []
            while True:
                top = stack.pop()
                on_stack.discard(top)
                component.append(top)
                if top == node:
                    break
            if len(component) > 1:
                result.append(sorted(component))

    for node in sorted(edges):
        if node not in index:
            visit(node)
    return result


def main():
    root = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), ".."))
    rank = {}
    for level, (_, folders) in enumerate(LAYERS):
        for folder in folders:
            rank[folder] = level
    for folder in TOP:
        rank[folder] = len(LAYERS)
    layer_name = {level: name for level, (name, _) in enumerate(LAYERS)}
    layer_name[len(LAYERS)] = "tests/bench"

    errors = []
    edges = {}
    unplaced = set()
    for path in sorted(source_files(root)):
        folder = path.split("/", 1)[0] if "/" in path else None
        if folder is None:
            continue
        if folder not in rank:
            unplaced.add(folder)
            continue
        with open(os.path.join(root, path), encoding="utf-8", errors="replace") as f:
            text = f.read()
        lines = text.count("\n") + (0 if text.endswith("\n") or not text else 1)
        limit = LONG_FILES.get(path, MAX_LINES)
        if lines > limit:
            errors.append(f"{path}: {lines} lines (at most {limit})")
        for include in INCLUDE.findall(text):
            target = target_folder(root, path, include)
            if target is None or target == folder:
                continue
            if target not in rank:
                unplaced.add(target)
                continue
            if target in TOP:
                errors.append(f"{path}: includes {include} ({target}/ is included by no other folder)")
            elif rank[target] > rank[folder]:
                errors.append(f"{path}: includes {include}: {folder}/ ({layer_name[rank[folder]]}) "
                              f"may not include {target}/ ({layer_name[rank[target]]}, above it)")
            if folder not in TOP:
                edges.setdefault(folder, set()).add(target)

    for folder in sorted(unplaced):
        errors.append(f"{folder}/: holds sources but has no layer in scripts/check_layers.py")
    for cycle in find_cycles(edges):
        errors.append("include cycle between folders: " + " <-> ".join(cycle))

    if errors:
        print("\n".join(errors))
        print(f"check_layers: {len(errors)} violation(s)")
        return 1
    print("check_layers: ok (" + " < ".join(name for name, _ in LAYERS) + " < tests/bench)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
