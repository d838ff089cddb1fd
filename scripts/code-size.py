#!/usr/bin/env python3
"""Prints the project's largest source files and functions, and how many lines the code and the
tests have: the figures to watch so that a file still reads in one sitting.

Usage: code-size.py [SOURCE-DIR] [--top N]

A file's size is its lines; a function's, the lines from its signature's last line to its closing
brace. Functions are found by the layout clang-format gives them (an opening brace at the end
of the signature's line), outside string and character literals and comments.
"""
import os
import re
import sys

FOLDERS = ("util", "engine", "platform", "runtime", "controls", "app", "cli", "examples")
TESTS = ("tests", "bench")
CONTROL = re.compile(r"^\s*(if|for|while|switch|do|else|try|catch)\b")
SCOPE = re.compile(r"^\s*(namespace\b|extern\s+\"C\"|(template\s*<.*>\s*)?(class|struct|union|enum)\b)")


def strip(line, state):
    """The line without comments and literals; state carries an open block comment."""
    out = []
    i = 0
    while i < len(line):
        if state["comment"]:
            end = line.find("*/", i)
            if end < 0:
                return "".join(out)
            state["comment"] = False
            i = end + 2
            continue
        c = line[i]
        if line.startswith("//", i):
            break
        if line.startswith("/*", i):
            state["comment"] = True
            i += 2
            continue
        if c in "\"'":
            j = i + 1
            while j < len(line) and line[j] != c:
                j += 2 if line[j] == "\\" else 1
            out.append(c + c)
            i = j + 1
            continue
        out.append(c)
        i += 1
    return "".join(out)


def functions(path):
    """(name, first line, length) of each function defined in the file."""
    found = []
    stack = []  # kinds of open blocks: "scope", "function", "block"
    state = {"comment": False}
    start = None
    pending = ""
    for number, raw in enumerate(open(path, encoding="utf-8", errors="replace"), 1):
        line = strip(raw.rstrip("\n"), state)
        pending = (pending + " " + line.strip()) if pending else line.strip()
        for ch in line:
            if ch == "{":
                in_function = "function" in stack
                if not in_function and "(" in pending and not CONTROL.match(pending) \
                        and not SCOPE.match(pending) and "=" not in pending.split("(")[0]:
                    stack.append("function")
                    name = re.findall(r"([~\w:]+)\s*\(", pending)
                    start = (name[0] if name else "?", number)
                elif not in_function and (SCOPE.match(pending) or not pending.strip("{ ")):
                    stack.append("scope")
                else:
                    stack.append("block")
                pending = ""
            elif ch == "}":
                if stack:
                    kind = stack.pop()
                    if kind == "function" and start:
                        found.append((start[0], start[1], number - start[1] + 1))
                        start = None
                pending = ""
            elif ch == ";":
                pending = ""
    return found


def sources(root, folders):
    for top in folders:
        for folder, dirs, files in os.walk(os.path.join(root, top)):
            dirs.sort()
            for name in sorted(files):
                if name.endswith((".cpp", ".h")):
                    yield os.path.relpath(os.path.join(folder, name), root)


def lines(root, path):
    with open(os.path.join(root, path), encoding="utf-8", errors="replace") as f:
        return sum(1 for line in f if line.strip())


def main():
    args = [a for a in sys.argv[1:] if not a.startswith("--")]
    top = 12
    if "--top" in sys.argv:
        top = int(sys.argv[sys.argv.index("--top") + 1])
        args = [a for a in args if a != str(top)]
    root = args[0] if args else os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    code = list(sources(root, FOLDERS))
    files = sorted(((sum(1 for _ in open(os.path.join(root, p), errors="replace")), p)
                    for p in code), reverse=True)
    print(f"Largest files (lines), of {len(code)}:")
    for size, path in files[:top]:
        print(f"  {size:5}  {path}")
    funcs = []
    for path in code:
        if path.endswith(".cpp"):
            funcs += [(n, f"{path}:{line}", name) for name, line, n in functions(os.path.join(root, path))]
    funcs.sort(reverse=True)
    print(f"Largest functions (lines), of {len(funcs)}:")
    for n, where, name in funcs[:top]:
        print(f"  {n:5}  {name}  ({where})")
    over = [f for f in funcs if f[0] > 60]
    print(f"Functions over 60 lines: {len(over)}; files over 500 lines: "
          f"{sum(1 for size, _ in files if size > 500)}")
    code_lines = sum(lines(root, p) for p in code)
    test_lines = sum(lines(root, p) for p in sources(root, TESTS))
    print(f"Non-blank lines: code {code_lines}, tests and benchmarks {test_lines} "
          f"({100 * test_lines / max(code_lines, 1):.0f} % of the code)")


if __name__ == "__main__":
    main()
