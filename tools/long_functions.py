#!/usr/bin/env python3
# Lists every function body longer than LIMIT lines (default 80) outside
# tests/ and the build folders; member functions defined in class bodies count, and
# lambdas count within the function that holds them. From the top of the tree:
#   python3 tools/long_functions.py [LIMIT]
# The lines counted are those strictly between the body's braces. Comments,
# strings and raw strings are blanked first so that their braces do not count.
import os
import re
import sys


def blank(text):
    return re.sub(r"[^\n]", " ", text)


def strip(src):
    out, i, n = [], 0, len(src)
    while i < n:
        if src.startswith("//", i):
            j = src.find("\n", i)
            j = n if j < 0 else j
        elif src.startswith("/*", i):
            j = src.find("*/", i + 2)
            j = n if j < 0 else j + 2
        elif src.startswith('R"', i) and (m := re.match(r'R"([^(]*)\(', src[i:])):
            j = src.find(")" + m.group(1) + '"', i) + len(m.group(1)) + 2
        elif src[i] in "\"'":
            j = i + 1
            while j < n and src[j] != src[i]:
                j += 2 if src[j] == "\\" else 1
            j += 1
        else:
            out.append(src[i])
            i += 1
            continue
        out.append(blank(src[i:j]))
        i = j
    return "".join(out)


# A brace opens a function body when the text before it ends in a parameter
# list (with its qualifiers or trailing return type) that is not a statement's.
FUNCTION_TAIL = re.compile(r"\)\s*(const|noexcept|override|final|mutable|\s|->\s*[\w:<>,\s*&]+)*$")
STATEMENT_TAIL = re.compile(r"\b(if|for|while|switch|catch)\s*\(.*\)\s*$")


def long_functions(path, limit):
    s = strip(open(path, errors="replace").read())
    stack = []
    for m in re.finditer(r"[{}]", s):
        if m.group() == "{":
            before = re.sub(r"\s+", " ", s[max(0, m.start() - 400) : m.start()]).rstrip()
            last = re.split(r"[;{}]", before)[-1]
            stack.append((m.start(), bool(FUNCTION_TAIL.search(before)) and not STATEMENT_TAIL.search(last)))
        elif stack:
            start, is_function = stack.pop()
            if is_function and not any(f for _, f in stack):
                first, last = s.count("\n", 0, start) + 1, s.count("\n", 0, m.start()) + 1
                if last - first - 1 > limit:
                    yield last - first - 1, first, before_name(s, start)


def before_name(s, start):
    head = re.sub(r"\s+", " ", s[max(0, start - 300) : start])
    return re.split(r"[;}]", head)[-1].strip()[-100:]


def main():
    limit = int(sys.argv[1]) if len(sys.argv) > 1 else 80
    found = []
    for root, dirs, files in os.walk("."):
        # Every build folder (build/, build-sanitize/, ...) holds generated code.
        dirs[:] = [d for d in dirs
                   if root != "." or not (d.startswith("build") or d in ("tests", ".git"))]
        for name in files:
            if name.endswith((".cpp", ".h")):
                path = os.path.join(root, name)
                found += [(n, f"{path}:{line}", head) for n, line, head in long_functions(path, limit)]
    for n, where, head in sorted(found, reverse=True):
        print(f"{n:4d} {where} {head}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
