#!/usr/bin/env python3
"""Every code block of a guide that is not a shell command is quoted from a source file:
its lines must stand, in order and together, in one of the files named.
    docs_quotes.py GUIDE.md FILE...
"""
import re
import sys

guide, *sources = sys.argv[1:]
texts = {path: open(path, encoding="utf-8").read() for path in sources}
blocks = re.findall(r"^```(\w+)\n(.*?)^```$", open(guide, encoding="utf-8").read(), re.S | re.M)
stale = [code for language, code in blocks if language != "sh" and not any(code in t for t in texts.values())]
for code in stale:
    print(f"{guide}: this quote is in none of the files:\n{code}")
print(f"{guide}: {len(blocks)} code blocks, {len(stale)} stale quotes")
sys.exit(1 if stale else 0)
