#!/usr/bin/env bash
# How the rooms (folders) of host/ and src/ stand on each other, measured from
# the includes: per room, the rooms its files include; then every include
# that runs from a lower room up to a higher one, and every pair of rooms
# that include each other; then every function body over 80 lines and every
# file over 400. Exit code 1 when there is any of these.
#
#   scripts/rooms.sh            # host/ and src/
#   scripts/rooms.sh host       # one tree
#   scripts/rooms.sh -q src     # only the faults
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
    "host": [["interface"], ["common"], ["faults"], ["modules"], ["core"],
             ["panels"], ["services"], ["host.cpp", "console"], ["cli"]],
    "src": [["far", "runtime", "guard"], ["state"], ["dll", "cache", "folders"], ["describe"], ["ui"], ["foreign"],
            ["farRecords"], ["catalogue"], ["settings", "browse"], ["commands", "install"], ["entry", "top"]],
}
TOP = {"host": "host.cpp", "src": "top"}
# What a tree may take from another tree, as ground beneath all its rooms.
GROUND = {"host": ["src/guard"]}
include_re = re.compile(r'^\s*#\s*include\s+"([^"]+)"')
# A room's files stay small enough to read at one sitting, and so do their
# functions: a body over FUNCTION_LIMIT lines or a file over FILE_LIMIT lines
# counts as a fault like an arrow up.
FUNCTION_LIMIT, FILE_LIMIT = 80, 400

# Function bodies, found from the braces of the text without its comments,
# strings and preprocessor lines: a block opened after a closing parenthesis
# (a parameter list, maybe followed by const/noexcept or a constructor's
# initialisers) outside any other function.
def strip(s):
    out=[];i=0;n=len(s)
    while i<n:
        c=s[i]
        if s.startswith('//',i):
            j=s.find('\n',i); i=n if j<0 else j; continue
        if s.startswith('/*',i):
            j=s.find('*/',i+2); j=n if j<0 else j+2; out.append('\n'*s[i:j].count('\n')); i=j; continue
        if c=='#' and (i==0 or s[i-1]=='\n'):
            j=i
            while True:
                k=s.find('\n',j); 
                if k<0: k=n; break
                if s[k-1]=='\\': j=k+1; continue
                break
            out.append('\n'*s[i:k].count('\n')); i=k; continue
        if c in '"\'':
            j=i+1
            while j<n and s[j]!=c:
                if s[j]=='\\': j+=1
                j+=1
            out.append(c+c); i=j+1; continue
        out.append(c); i+=1
    return ''.join(out)
FUNC=re.compile(r'\)\s*(const|noexcept|override|final|\s)*(->[^{;]*)?$|\)\s*:\s*[\w:]+\s*[({].*$', re.S)
def funcs(path):
    s=strip(open(path,encoding='latin-1').read())
    stack=[]; last=0; line=1; res=[]
    for i,ch in enumerate(s):
        if ch=='\n': line+=1
        elif ch=='{':
            pre=s[last:i].strip()
            infunc=any(k=='f' for k,_,_ in stack)
            if not infunc and FUNC.search(pre) and not re.match(r'^(if|for|while|switch)\b',pre.split('\n')[-1].strip()):
                name=re.findall(r'([\w:~]+)\s*\(', pre)
                stack.append(('f',line,name[0] if name else '?'))
            else:
                stack.append(('b',line,None))
            last=i+1
        elif ch=='}':
            if stack:
                k,l0,nm=stack.pop()
                if k=='f': res.append((line-l0+1,nm,l0))
            last=i+1
        elif ch==';': last=i+1
    return res

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
    long_functions, long_files = [], []
    for folder, _, files in os.walk(base):
        for name in sorted(files):
            if not name.endswith((".h", ".hpp", ".c", ".cpp")):
                continue
            path = os.path.join(folder, name)
            rel = os.path.relpath(path, base)
            with open(path, encoding="latin-1") as f:
                count = sum(1 for _ in f)
            if count > FILE_LIMIT:
                long_files.append(f"{rel}: {count} lines")
            for length, fname, first in funcs(path):
                if length > FUNCTION_LIMIT:
                    long_functions.append(f"{rel}:{first} {fname}: {length} lines")
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
    print(f"== {tree}/: {len(long_functions)} function(s) over {FUNCTION_LIMIT} lines, {len(long_files)} file(s) over {FILE_LIMIT} lines")
    for w in long_functions:
        print(f"  long function: {w}")
    for w in long_files:
        print(f"  long file: {w}")
    if up or circles or outside or unplaced or long_functions or long_files:
        bad = 1
sys.exit(bad)
EOF
