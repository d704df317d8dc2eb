#!/usr/bin/env python3
"""Checks that the tree keeps its layers: programs -> adapters -> engine, never back, the engine
sees only itself and the standard library, and no two folders include each other in a cycle."""
import pathlib
import re
import sys

root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else ".")
layers = {"engine": 0, "adapters": 1, "programs": 2}
include = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]', re.M)
problems = []
edges = {}

for path in sorted(root.glob("*/**/*")):
    if path.suffix not in (".h", ".cpp") or path.parts[len(root.parts)] not in layers:
        continue
    rel = path.relative_to(root)
    layer = rel.parts[0]
    folder = "/".join(rel.parts[:2])
    for kind, name in include.findall(path.read_text()):
        if kind == "<":
            if layer == "engine" and (name.startswith("Q") or "/" in name and not name.startswith("sys/")):
                problems.append(f"{rel}: the engine includes <{name}>")
            continue
        parts = name.split("/")
        if parts[0] not in layers:
            problems.append(f'{rel}: includes "{name}" from outside the three layers')
            continue
        if layers[parts[0]] > layers[layer]:
            problems.append(f'{rel}: includes "{name}" from a layer above')
        target = "/".join(parts[:2])
        if target != folder:
            edges.setdefault(folder, set()).add(target)


def find_cycle():
    state = {}

    def visit(node, trail):
        state[node] = 1
        for nxt in sorted(edges.get(node, ())):
            if state.get(nxt) == 1:
                return trail + [node, nxt]
            if nxt not in state:
                found = visit(nxt, trail + [node])
                if found:
                    return found
        state[node] = 2
        return None

    for node in sorted(edges):
        if node not in state:
            found = visit(node, [])
            if found:
                return found
    return None


cycle = find_cycle()
if cycle:
    problems.append("folder cycle: " + " -> ".join(cycle[cycle.index(cycle[-1]):]))
for line in problems:
    print(line)
print(f"{len(edges)} folders checked, {len(problems)} problems")
sys.exit(1 if problems else 0)
