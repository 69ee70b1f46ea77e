#!/usr/bin/env python3
"""Fails when a relative link of a Markdown page leads nowhere: a file that
does not exist, or a #fragment that names no heading of the page it points to.

usage: check_links.py FILE.md...
"""
import os
import re
import sys

LINK = re.compile(r"!?\[(?:[^\]\\]|\\.)*\]\(([^)\s]+)(?:\s+\"[^\"]*\")?\)")
HEADING = re.compile(r"^(#{1,6})\s+(.*?)\s*#*\s*$")
FENCE = re.compile(r"^\s*(```|~~~)")


def prose_lines(text):
    """The lines outside fenced code blocks, with their numbers."""
    fenced = False
    for number, line in enumerate(text.splitlines(), 1):
        if FENCE.match(line):
            fenced = not fenced
            continue
        if not fenced:
            yield number, line


def anchor(heading):
    """The fragment a renderer derives from a heading, as GitHub does."""
    text = re.sub(r"`|\*\*|\*|_(?=\W)|(?<=\W)_", "", heading.strip()).lower()
    text = re.sub(r"[^\w\- ]", "", text)
    return text.replace(" ", "-")


def anchors_of(path, cache={}):
    if path not in cache:
        seen = {}
        names = set()
        with open(path, encoding="utf-8") as f:
            for _, line in prose_lines(f.read()):
                m = HEADING.match(line)
                if not m:
                    continue
                name = anchor(m.group(2))
                count = seen.get(name, 0)
                seen[name] = count + 1
                names.add(name if count == 0 else f"{name}-{count}")
        cache[path] = names
    return cache[path]


def check(page):
    faults = []
    with open(page, encoding="utf-8") as f:
        text = f.read()
    for number, line in prose_lines(text):
        line = re.sub(r"`[^`]*`", "", line)  # code spans hold no links
        for m in LINK.finditer(line):
            target = m.group(1)
            if re.match(r"^[a-z][a-z0-9+.-]*:", target):  # http:, mailto:, ...
                continue
            path, _, fragment = target.partition("#")
            resolved = os.path.normpath(os.path.join(os.path.dirname(page), path)) if path else page
            where = f"{page}:{number}: {target}"
            if not os.path.exists(resolved):
                faults.append(f"{where}: no such file {resolved}")
            elif fragment and resolved.endswith(".md") and fragment not in anchors_of(resolved):
                faults.append(f"{where}: no heading #{fragment} in {resolved}")
    return faults


def main(pages):
    if not pages:
        print(__doc__.strip().splitlines()[-1], file=sys.stderr)
        return 2
    faults = [fault for page in pages for fault in check(page)]
    for fault in faults:
        print(fault)
    if faults:
        print(f"{len(faults)} broken link(s)")
        return 1
    print(f"{len(pages)} page(s): every relative link resolves")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
