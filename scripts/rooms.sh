#!/usr/bin/env bash
# How the rooms (folders) of host/ and src/ stand on each other, measured from
# the includes: per room, the rooms its files include; then every include
# that runs from a lower room up to a higher one, and every pair of rooms
# that include each other. Exit code 1 when there is any of either.
#
#   scripts/rooms.sh            # host/ and src/
#   scripts/rooms.sh host       # one tree
#   scripts/rooms.sh -q src     # only the arrows up and the circles
#
# The order of the rooms, ground first (rooms on one level may include each
# other one way only). Files directly in a tree form the room named after
# the tree's top file ("host.cpp" for host/, "top" for src/). In src/ a room
# not named here stands with the rooms of one concern, between state/ and
# catalogue/; in host/ it is reported as unplaced (and counts as a fault)
# until its level is named.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
quiet=0
if [ "${1:-}" = "-q" ]; then quiet=1; shift; fi
trees=("$@")
[ ${#trees[@]} -gt 0 ] || trees=(host src)

python3 - "$here" "$quiet" "${trees[@]}" <<'EOF'
import os, re, sys

root, quiet, trees = sys.argv[1], sys.argv[2] == "1", sys.argv[3:]

ORDER = {
    "host": [["interface"], ["common"], ["faults"], ["plugins"], ["core"],
             ["services", "panels"], ["host.cpp", "console"], ["cli"]],
    "src": [["far", "runtime"], ["state"], ["dll", "cache"], ["describe"], ["ui"], ["foreign"], ["catalogue"],
            ["settings", "folders"], ["commands"], ["install"], ["entry", "top"]],
}
TOP = {"host": "host.cpp", "src": "top"}
# What a tree may take from another tree, as ground beneath all its rooms.
GROUND = {"host": ["src/runtime"]}
include_re = re.compile(r'^\s*#\s*include\s+"([^"]+)"')

def rank_of(tree, room):
    for level, rooms in enumerate(ORDER[tree]):
        if room in rooms:
            return level
    for level, rooms in enumerate(ORDER[tree]):
        if "*" in rooms:
            return level
    return None

bad = 0
for tree in trees:
    base = os.path.join(root, tree)
    if not os.path.isdir(base):
        print(f"{tree}/: no such folder"); bad = 1; continue
    edges = {}      # (from room, to room) -> [file: include]
    rooms = set()
    for folder, _, files in os.walk(base):
        for name in sorted(files):
            if not name.endswith((".h", ".hpp", ".c", ".cpp")):
                continue
            path = os.path.join(folder, name)
            rel = os.path.relpath(path, base)
            room = rel.split(os.sep)[0] if os.sep in rel else TOP[tree]
            rooms.add(room)
            with open(path, encoding="latin-1") as f:
                for line in f:
                    m = include_re.match(line)
                    if not m:
                        continue
                    inc = m.group(1)
                    # Resolved as the compiler does: beside the file, then from the tree's top.
                    if os.path.exists(os.path.join(folder, inc)):
                        target = os.path.relpath(os.path.normpath(os.path.join(folder, inc)), base)
                    elif os.path.exists(os.path.join(base, inc)):
                        target = os.path.normpath(inc)
                    else:
                        ground = [g for g in GROUND.get(tree, []) if os.path.exists(os.path.join(root, g, inc))]
                        if ground:
                            edges.setdefault((room, ground[0] + "/"), []).append(f"{rel}: {inc}")
                        else:
                            edges.setdefault((room, "?" + inc), []).append(f"{rel}: {inc}")
                        continue
                    if target.startswith(".."):
                        edges.setdefault((room, "../" + inc), []).append(f"{rel}: {inc}")
                        continue
                    to = target.split(os.sep)[0] if os.sep in target else TOP[tree]
                    if to != room:
                        edges.setdefault((room, to), []).append(f"{rel}: {inc}")
    up, circles, outside = [], [], []
    for (a, b), where in sorted(edges.items()):
        if b.startswith(("?", "../")):
            outside.append((a, b, where)); continue
        if b.endswith("/"):
            continue   # ground from another tree
        ra, rb = rank_of(tree, a), rank_of(tree, b)
        if ra is not None and rb is not None and rb > ra:
            up.append((a, b, where))
        if (b, a) in edges and a < b:
            circles.append((a, b))
    unplaced = sorted(r for r in rooms if rank_of(tree, r) is None)
    if not quiet:
        print(f"== {tree}/: the rooms each room includes")
        for level, names in enumerate(ORDER[tree]):
            for room in sorted(r for r in rooms if rank_of(tree, r) == level and (r in names or "*" in names)):
                below = sorted({b for (a, b) in edges if a == room})
                print(f"  {room:<12} -> {', '.join(below) if below else '(nothing)'}")
    print(f"== {tree}/: {len(up)} arrow(s) up, {len(circles)} circle(s), {len(outside)} include(s) from outside the tree")
    for room in unplaced:
        print(f"  unplaced: {room} (name its level in ORDER, scripts/rooms.sh)")
    for a, b, where in up:
        print(f"  up: {a} -> {b}")
        for w in where:
            print(f"      {w}")
    for a, b in circles:
        print(f"  circle: {a} <-> {b}")
    for a, b, where in outside:
        print(f"  outside: {a} -> {b[1:] if b.startswith('?') else b}  ({where[0]})")
    if up or circles or outside or unplaced:
        bad = 1
sys.exit(bad)
EOF
