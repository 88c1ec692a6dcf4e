#!/usr/bin/env python3
"""Lists the functions of C++ sources that are longer than a limit.

Usage: devtools/function-lengths.py [--limit N] [PATH ...]

PATH is a file or a folder (searched for .cpp and .h files); by default src/
beside this script. Each function over the limit (80 lines unless given) is
printed as "path:line: N lines: name", longest first; the exit status is 1
when there is one, so the script can guard a build. A function's length is
the number of lines after the one that names it, up to and including its
closing brace. Lambdas and local classes
count as part of the function around them.
"""

import argparse
import os
import pathlib
import re
import sys

SCOPE_KEYWORDS = re.compile(r"\b(namespace|class|struct|union|enum)\b|extern\s*\"C\"")
NAME_BEFORE_PARAMETERS = re.compile(r"([~\w:]+(?:<[^()]*>)?|operator\s*[^\s(]+)\s*\($")


def blank_comments_and_literals(text):
    """Replaces comments and the insides of literals by blanks, keeping line breaks."""
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
        elif c == "R" and text.startswith('R"', i) and (i == 0 or not (text[i - 1].isalnum() or text[i - 1] == "_")):
            open_end = text.find("(", i)
            delimiter = text[i + 2 : open_end]
            end = text.find(")" + delimiter + '"', open_end)
            end = n if end < 0 else end + len(delimiter) + 2
            out.append('""' + re.sub(r"[^\n]", " ", text[i + 2 : end]))
            i = end
        elif c in "\"'":
            # A digit separator (1'000) is no character literal.
            if c == "'" and i > 0 and text[i - 1].isalnum() and i + 1 < n and text[i + 1].isalnum():
                out.append(" ")
                i += 1
                continue
            j = i + 1
            while j < n and text[j] != c and text[j] != "\n":
                j += 2 if text[j] == "\\" else 1
            out.append(c + " " * (min(j, n) - i - 1) + c)
            i = j + 1
        else:
            out.append(c)
            i += 1
    return "".join(out)


def function_name(header):
    """The name a function header gives, or None when the header starts no function."""
    # Constructors: "X::X(...) : m_a(1), m_b{2}" - the name is before the first "(".
    depth = 0
    for index, c in enumerate(header):
        if c == "(":
            if depth == 0:
                match = NAME_BEFORE_PARAMETERS.search(header[: index + 1].rstrip())
                if match and not re.search(r"\b(if|for|while|switch|catch|return)\s*\($", header[: index + 1]):
                    return match.group(1)
                return None
            depth += 1
    return None


def functions(text):
    """Yields (name, first line, line count) for every function defined in text."""
    code = blank_comments_and_literals(text)
    # Preprocessor lines hold no braces that matter and may hold odd ones.
    code = re.sub(r"(?m)^[ \t]*#.*(?:\\\n.*)*", lambda m: re.sub(r"[^\n]", " ", m.group(0)), code)
    stack = []  # ("scope" | "function" | "block", name, first line)
    header_start = 0
    line = 1
    for index, c in enumerate(code):
        if c == "\n":
            line += 1
        elif c in ";":
            if not stack or stack[-1][0] == "scope":
                header_start = index + 1
        elif c == "{":
            in_function = any(kind == "function" for kind, _, _ in stack)
            header = code[header_start:index]
            if in_function:
                stack.append(("block", None, line))
            elif SCOPE_KEYWORDS.search(header) and "(" not in header.split("=")[0]:
                stack.append(("scope", None, line))
            else:
                name = function_name(" ".join(header.split())) if "=" not in header.split("(")[0] else None
                if name:
                    # The line that names the function: where the header's text starts.
                    stripped = header.lstrip()
                    first = line - header[len(header) - len(stripped) :].count("\n")
                    stack.append(("function", name, first))
                else:
                    stack.append(("block", None, line))
            header_start = index + 1
        elif c == "}":
            if stack:
                kind, name, first = stack.pop()
                if kind == "function":
                    yield name, first, line - first
            if not stack or stack[-1][0] == "scope":
                header_start = index + 1


def sources(paths):
    for path in paths:
        if path.is_dir():
            yield from sorted(p for p in path.rglob("*") if p.suffix in (".cpp", ".h"))
        else:
            yield path


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--limit", type=int, default=80)
    parser.add_argument("paths", nargs="*", type=pathlib.Path)
    arguments = parser.parse_args()
    paths = arguments.paths or [pathlib.Path(__file__).resolve().parent.parent / "src"]
    long_ones = []
    for path in sources(paths):
        for name, first, count in functions(path.read_text(encoding="utf-8", errors="replace")):
            if count > arguments.limit:
                long_ones.append((count, os.path.relpath(path), first, name))
    for count, path, first, name in sorted(long_ones, key=lambda f: (-f[0], f[1], f[2])):
        print(f"{path}:{first}: {count} lines: {name}")
    return 1 if long_ones else 0


if __name__ == "__main__":
    sys.exit(main())
