#!/usr/bin/env python3
"""check_layers.py [SRC]: fails (status 1) when the folders of SRC include each
other in a cycle, naming the folders of one; otherwise prints the folders from
the lowest layer up. Only includes written "folder/file.h" count."""
import os
import re
import sys

src = sys.argv[1] if len(sys.argv) > 1 else "src"
folders = sorted(d for d in os.listdir(src) if os.path.isdir(os.path.join(src, d)))
include = re.compile(r'^\s*#\s*include\s*"([^"/]+)/')
uses = {folder: set() for folder in folders}
for folder in folders:
    for root, _, files in os.walk(os.path.join(src, folder)):
        for name in files:
            with open(os.path.join(root, name), errors="replace") as f:
                for line in f:
                    m = include.match(line)
                    if m and m.group(1) in uses and m.group(1) != folder:
                        uses[folder].add(m.group(1))

order, state = [], {}  # state: 1 while its includes are walked, 2 once placed


def place(folder, path):
    if state.get(folder) == 2:
        return
    if state.get(folder) == 1:
        cycle = path[path.index(folder):] + [folder]
        sys.exit("include cycle between folders: " + " -> ".join(cycle))
    state[folder] = 1
    for used in sorted(uses[folder]):
        place(used, path + [folder])
    state[folder] = 2
    order.append(folder)


for folder in folders:
    place(folder, [])
print("layers from the bottom up: " + " < ".join(order))
