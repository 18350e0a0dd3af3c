# shellcheck shell=bash
# make_store DIR N: a store of N document links below DIR/shortcuts, in chains of
# folders five deep, each level holding documents of 50 extensions. Sourced by
# the Wine benchmarks.
make_store() {  # DIR N
    python3 - "$1" "$2" <<'PY'
import os, sys
root, total = sys.argv[1], int(sys.argv[2])
def write(d, lines):
    os.makedirs(d, exist_ok=True)
    with open(os.path.join(d, "shortcuts.txt"), "wb") as f:
        f.write(b"".join(l.encode("latin-1") + b"\r\n" for l in lines))
made = 0
chain = 0
root_lines = []
per_level = 20
while made < total:
    chain += 1
    root_lines.append("^Folder|Chain %d" % chain)
    levels = []
    for depth in range(5):
        lines = []
        for i in range(per_level):
            if made >= total:
                break
            ext = "e%02d" % (made % 50)
            lines.append("^UnkLnk|C:\\Docs\\doc%d.%s|%s|Document %d" % (made, ext, ext, made))
            made += 1
        levels.append(lines)
    d = os.path.join(root, "shortcuts", "Chain %d" % chain)
    for depth, lines in enumerate(levels):
        if depth < 4:
            lines.append("^Folder|Level %d" % (depth + 1))
        write(d, lines)
        d = os.path.join(d, "Level %d" % (depth + 1))
    os.makedirs(d, exist_ok=True)
write(os.path.join(root, "shortcuts"), root_lines)
PY
}

