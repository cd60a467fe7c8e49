#!/usr/bin/env bash
# The one-way layers: fails, naming file and line, on any #include of a
# project header that the including folder may not use (scripts/layers.txt).
set -euo pipefail
cd "$(dirname "$0")/.."
find src app -name '*.cpp' -o -name '*.h' | sort |
    awk -v table=scripts/layers.txt '
    BEGIN {
        while ((getline line < table) > 0) {
            sub(/#.*/, "", line)
            if (line !~ /:/) continue
            key = line; sub(/:.*/, "", key); gsub(/[ \t]/, "", key)
            rest = line; sub(/^[^:]*:/, "", rest)
            keys[key] = 1
            n = split(rest, uses, /[ \t]+/)
            for (i = 1; i <= n; i++) if (uses[i] != "") allowed[key, uses[i]] = 1
        }
        bad = 0
    }
    # The folder of a path below src/ (or app/); a system sub-folder is
    # part of its folder.
    function folderOf(path,    dir) {
        dir = path; sub(/\/[^\/]*$/, "", dir); sub(/\/(posix|windows)$/, "", dir)
        return (dir in keys) ? dir : ""
    }
    {
        file = $0
        rel = file; sub(/^src\//, "", rel)
        own = folderOf(rel)
        if (own == "") { printf "%s: folder not in %s\n", file, table; bad = 1; next }
        lineNo = 0
        while ((getline text < file) > 0) {
            lineNo++
            if (text !~ /^[ \t]*#[ \t]*include[ \t]*"/) continue
            header = text; sub(/^[^"]*"/, "", header); sub(/".*$/, "", header)
            if (system("test -f src/" header) != 0) continue # not a project header
            used = folderOf(header)
            if (used == own || ((own, used) in allowed) || ((own, header) in allowed) ||
                (("*", used) in allowed))
                continue
            printf "%s:%d: %s may not include \"%s\" (see %s)\n", file, lineNo, own, header, table
            bad = 1
        }
        close(file)
    }
    END { exit bad }'
echo "layers: every include points down"
