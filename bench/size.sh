#!/usr/bin/env bash
# Size of the release VeskColorPicker.exe and where it comes from: links the
# exe once more with a linker map and sums the code and data each library
# member brings in (after unused sections are dropped).
#   bench/size.sh [TOP]
set -uo pipefail
source "$(dirname "$0")/../scripts/lib/env.sh"
cd "$VESK_ROOT"
top=${1:-25}

vesk_build windows >/dev/null || { vesk_say "the Windows build failed"; exit 1; }
exe="$VESK_DIST/VeskColorPicker.exe"
objects="$VESK_BUILD/windows/src"
map="$VESK_BUILD/windows/VeskColorPicker.map"

# The release link line, with a map and symbols kept for it.
link=$(sed -n 's/^\(.*g++\S*\) \(.*\)$/\1 \2/p' "$objects/CMakeFiles/VeskColorPicker.dir/link.txt" | tail -1)
link=${link//" -s "/" "}
link=${link//"-o ../dist/VeskColorPicker.exe"/"-o $VESK_BUILD/windows/VeskColorPicker.map.exe"}
(cd "$objects" && eval "$link -Wl,-Map,$map") || { vesk_say "the map link failed"; exit 1; }
rm -f "$VESK_BUILD/windows/VeskColorPicker.map.exe"

printf 'VeskColorPicker.exe: %d bytes (limit 1048576)\n' "$(stat -c %s "$exe")"
printf 'DLLs it imports:    %s\n' "$(x86_64-w64-mingw32-objdump -p "$exe" | awk '/DLL Name/ { printf "%s ", $3 }')"
python3 - "$map" "$top" <<'PY'
import collections, re, sys
path, top = sys.argv[1], int(sys.argv[2])
# Output sections that take room in the file; .bss takes none.
kept = {".text", ".data", ".rdata", ".pdata", ".xdata"}
by_member = collections.Counter()
section = None
for line in open(path, errors="replace"):
    header = re.match(r"^(\.\w+)", line)
    if header:
        section = header.group(1)
        continue
    if section not in kept:
        continue
    entry = re.match(r"^ (?:\.\S+)?\s+0x[0-9a-f]+\s+0x([0-9a-f]+)\s+(\S.*)$", line)
    if not entry or int(entry.group(1), 16) == 0:
        continue
    source = entry.group(2).strip()
    member = re.search(r"([^/]+\.a)\(([^)]+)\)", source)
    by_member[f"{member.group(1)}({member.group(2)})" if member else source.split("/")[-1]] += int(entry.group(1), 16)
by_library = collections.Counter()
for name, size in by_member.items():
    by_library[name.split("(")[0]] += size
print(f"code and data: {sum(by_member.values())} bytes; by library:")
for name, size in by_library.most_common(8):
    print(f"{size:9d}  {name}")
print(f"the {top} largest members:")
for name, size in by_member.most_common(top):
    print(f"{size:9d}  {name}")
PY
