#!/usr/bin/env python3
"""Checks that the guides quote the deployment scripts as shipped: every
fenced block whose opening line names a file after its language
(```powershell deploy/remediation.ps1) holds that file byte for byte, every
file in deploy/ is quoted so somewhere, and the scripts are plain ASCII
(Windows PowerShell 5.1 reads a file without a byte order mark in the ANSI
code page).
Usage: check-guide-quotes.py SOURCE_DIR"""
import glob, os, re, sys

source = sys.argv[1]
failures = []
opening = re.compile(r"^( *)```(\S+) +(\S+)$")


def quoted_blocks(text):
    """(file named, block text) of each fenced block that names a file."""
    lines = text.split("\n")
    i = 0
    while i < len(lines):
        match = opening.match(lines[i])
        i += 1
        if not match:
            continue
        indent, named = match.group(1), match.group(3)
        body = []
        while i < len(lines) and lines[i] != indent + "```":
            line = lines[i]
            body.append(line[len(indent):] if line.startswith(indent) else line)
            i += 1
        if i == len(lines):
            failures.append(f"the block quoting {named} is not closed")
        i += 1
        yield named, "".join(line + "\n" for line in body)


scripts = sorted(os.path.relpath(path, source) for path in glob.glob(os.path.join(source, "deploy", "*")))
quoted = set()
guides = [os.path.join(source, "README.md")] + sorted(glob.glob(os.path.join(source, "docs", "*.md")))
for guide in guides:
    with open(guide, encoding="utf-8") as f:
        text = f.read()
    for named, block in quoted_blocks(text):
        where = f"{os.path.relpath(guide, source)}, block quoting {named}"
        if named not in scripts:
            failures.append(f"{where}: no such file in deploy/")
            continue
        with open(os.path.join(source, named), "rb") as f:
            shipped = f.read()
        if block.encode("utf-8") != shipped:
            failures.append(f"{where}: differs from the file")
        quoted.add(named)

for script in scripts:
    if script not in quoted:
        failures.append(f"{script} is quoted by no guide")
    with open(os.path.join(source, script), "rb") as f:
        content = f.read()
    if any(byte > 0x7E or (byte < 0x20 and byte != 0x0A) for byte in content):
        failures.append(f"{script} holds a character other than printable ASCII and line feeds")

if not scripts:
    failures.append("deploy/ holds no script")
if failures:
    sys.exit("\n".join(failures))
print(f"the guides quote {', '.join(scripts)} as shipped")
