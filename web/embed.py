#!/usr/bin/env python3
"""Writes the two scripts the page loads besides page.js, at build time:

    embed.py worker OUT forth.js worker.js
        OUT defines forthWorkerSource, the text of forth.js and worker.js as one string:
        the page starts its worker from a Blob made of it, since a page opened from file://
        may neither start a worker from a file nor let a worker load one.
    embed.py examples OUT README.md NAME.fs...
        OUT defines forthExamples, a list of {name, about, text}: each program, and what it
        shows from the table in the examples' README (empty when it has no row there).
"""
import json
import pathlib
import re
import sys


def write_script(path, name, value):
    text = json.dumps(value, ensure_ascii=True, indent=1 if isinstance(value, list) else None)
    pathlib.Path(path).write_text(f"// Made by web/embed.py at build time.\nconst {name} = {text};\n", encoding="ascii")


def worker(out, *sources):
    write_script(out, "forthWorkerSource", "\n".join(pathlib.Path(s).read_text(encoding="utf-8") for s in sources))


def examples(out, readme, *programs):
    about = {}
    for line in pathlib.Path(readme).read_text(encoding="utf-8").splitlines():
        row = re.match(r"\|\s*`([^`]+\.fs)`\s*\|(.*)\|\s*$", line)
        if row:
            about[row.group(1)] = row.group(2).strip()
    order = list(about)  # the README's order, then any program it does not list, by name

    def rank(path):
        return (order.index(path.name) if path.name in about else len(order), path.name)

    listed = []
    for path in sorted(map(pathlib.Path, programs), key=rank):
        listed.append({"name": path.stem, "about": about.get(path.name, ""),
                       "text": path.read_bytes().decode("utf-8")})
    write_script(out, "forthExamples", listed)


if __name__ == "__main__":
    {"worker": worker, "examples": examples}[sys.argv[1]](*sys.argv[2:])
