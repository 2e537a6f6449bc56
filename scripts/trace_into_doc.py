#!/usr/bin/env python3
"""Puts excerpts of a protocol trace into a Markdown file: every marker line

    <!-- trace: TITLE -->

is followed by a code block holding the trace lines of the step whose
"== " heading starts with TITLE (an existing block there is replaced).
Frames longer than the page are shortened with an ellipsis; the trace file
keeps them whole.

    trace_into_doc.py TRACE DOC
"""
import re
import sys

MARKER = re.compile(r"^<!-- trace: (.+) -->$")
WIDTH = 150


def steps(trace_lines):
    found, title = {}, None
    for line in trace_lines:
        if line.startswith("== "):
            title = line[3:]
            found[title] = []
        elif title is not None and line.startswith("["):
            found[title].append(line)
    return found


def shorten(line):
    if len(line) <= WIDTH:
        return line
    frame, _, decoding = line.partition(" | ")
    return frame[:WIDTH - 40].rstrip() + " … | " + decoding


def main():
    trace_path, doc_path = sys.argv[1:3]
    with open(trace_path, encoding="utf-8") as f:
        found = steps(f.read().splitlines())
    with open(doc_path, encoding="utf-8") as f:
        lines = f.read().splitlines()
    out, i = [], 0
    while i < len(lines):
        line = lines[i]
        out.append(line)
        i += 1
        marker = MARKER.match(line)
        if not marker:
            continue
        matches = [t for t in found if t.startswith(marker.group(1))]
        if len(matches) != 1:
            sys.exit(f"{doc_path}: no single trace step for '{marker.group(1)}'")
        if i < len(lines) and lines[i] == "```":  # drop the old block
            i += 1
            while i < len(lines) and lines[i] != "```":
                i += 1
            i += 1
        out.append("```")
        out.extend(shorten(l) for l in found[matches[0]])
        out.append("```")
    with open(doc_path, "w", encoding="utf-8") as f:
        f.write("\n".join(out) + "\n")


if __name__ == "__main__":
    main()
