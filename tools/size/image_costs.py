#!/usr/bin/env python3
"""What each part of the installer image costs.

Reads the linker map (every input section the linker kept, with its size)
and the image's own headers (section sizes on disk, the resource tree), and
prints three tables: parts of the program, sections of the file, and
resources by kind.

    image_costs.py IMAGE MAP [--json]
"""
import json
import re
import struct
import sys

# Input sections are credited to a part by the file they came from.
PARTS = [
    ("resources (by kind below)", r"\.rc\.res"),
    ("the program's own code: wizard, installation",
     r"libsetup_install\.a|libfolder_rules\.a|libuninstall_entry\.a"),
    ("the program's own code: uninstallation", r"libsetup_uninstall\.a|libremoval_rules\.a"),
    ("the program's own code: folder ownership rules",
     r"libowned_folders\.a|libsystem_folders\.a"),
    ("the program's own code: framework, look, start-up",
     r"libframework\.a|libsetup_ui\.a|libcommand_line\.a|ParvaneSetup\.dir|app_entry"),
    ("relocations", r"^dll stuff$"),
    ("the payload reader and its file layer", r"libpayload\.a"),
    ("zlib's inflate", r"libz\.a"),
    ("exception support (unwinder, personality, type info)",
     r"libgcc_eh\.a|libstdc\+\+\.a\((eh_|class_type|si_class|tinfo|bad_|vmi_class|pure|guard)"),
    ("the rest of the C++ library (operator new, strings)", r"libstdc\+\+\.a"),
    ("C runtime start-up, TLS, helpers", r"crt[^/]*\.o|libmingw|libmsvcrt|libmoldname|libgcc\.a"),
    ("import tables", r"lib(kernel32|user32|gdi32|advapi32|shell32|ole32|oleaut32|comctl32|comdlg32|uuid|winspool)\.a"),
]
# Code built with unwind tables (the program itself is built without).
UNWIND_TABLES = "unwind tables (.eh_frame: zlib and the C runtime)"
SKIPPED_OUTPUT = re.compile(r"^\.(bss|debug|stab|zdebug)|^/DISCARD/")


def map_costs(path):
    text = open(path, encoding="utf-8", errors="replace").read()
    text = text[text.index("Linker script and memory map"):]
    totals = {name: 0 for name, _ in PARTS}
    totals[UNWIND_TABLES] = 0
    totals["other"] = 0
    output = None
    pending = None
    for line in text.splitlines():
        top = re.match(r"^(\.\S+|/DISCARD/)\s", line) or re.match(r"^(\.\S+|/DISCARD/)$", line)
        if top:
            output = top.group(1)
            continue
        if output is None or SKIPPED_OUTPUT.match(output):
            continue
        named = re.match(r"^ (\.\S+|COMMON)\s+0x([0-9a-f]+)\s+0x([0-9a-f]+)\s+(\S.*)$", line)
        alone = re.match(r"^ (\.\S+|COMMON)$", line)
        cont = re.match(r"^\s+0x([0-9a-f]+)\s+0x([0-9a-f]+)\s+(\S.*)$", line)
        if alone:
            pending = alone.group(1)
            continue
        if named:
            size, source = int(named.group(3), 16), named.group(4)
        elif cont and pending:
            size, source = int(cont.group(2), 16), cont.group(3)
        else:
            pending = None
            continue
        pending = None
        if output == ".eh_frame":
            totals[UNWIND_TABLES] += size
            continue
        for name, pattern in PARTS:
            if re.search(pattern, source):
                totals[name] += size
                break
        else:
            totals["other"] += size
    return totals


def pe_sections(path):
    data = open(path, "rb").read()
    header = struct.unpack_from("<I", data, 0x3C)[0]
    count = struct.unpack_from("<H", data, header + 6)[0]
    optional_size = struct.unpack_from("<H", data, header + 20)[0]
    table = header + 24 + optional_size
    sections = []
    for i in range(count):
        name, vsize, vaddr, raw_size, raw_ptr = struct.unpack_from("<8sIIII", data, table + 40 * i)
        sections.append((name.rstrip(b"\0").decode(), vaddr, vsize, raw_ptr, raw_size))
    headers = min(s[3] for s in sections if s[4]) if sections else len(data)
    return data, sections, headers


RESOURCE_KINDS = {1: "cursor", 2: "bitmap", 3: "icon image", 4: "menu", 5: "dialog", 6: "string table",
                  9: "accelerators", 10: "raw data", 14: "icon group", 16: "version", 24: "manifest"}


def resource_costs(data, sections):
    rsrc = next((s for s in sections if s[0] == ".rsrc"), None)
    if not rsrc:
        return {}
    _, vaddr, _, raw_ptr, _ = rsrc

    def at(rva):
        return raw_ptr + rva - vaddr

    def entries(offset):
        named, ids = struct.unpack_from("<HH", data, raw_ptr + offset + 12)
        for i in range(named + ids):
            name, target = struct.unpack_from("<II", data, raw_ptr + offset + 16 + 8 * i)
            yield name, target

    def leaf_sizes(target):
        if target & 0x80000000:
            for _, inner in entries(target & 0x7FFFFFFF):
                yield from leaf_sizes(inner)
        else:
            rva, size = struct.unpack_from("<II", data, raw_ptr + target)
            yield size

    costs = {}
    for name, target in entries(0):
        if name & 0x80000000:
            length = struct.unpack_from("<H", data, raw_ptr + (name & 0x7FFFFFFF))[0]
            start = raw_ptr + (name & 0x7FFFFFFF) + 2
            kind = data[start:start + 2 * length].decode("utf-16-le")
        else:
            kind = RESOURCE_KINDS.get(name, "type %d" % name)
        costs[kind] = costs.get(kind, 0) + sum(leaf_sizes(target))
    return costs


def main():
    if len(sys.argv) < 3:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    image, mapfile = sys.argv[1], sys.argv[2]
    data, sections, headers = pe_sections(image)
    parts = map_costs(mapfile)
    resources = resource_costs(data, sections)
    result = {
        "image_bytes": len(data),
        "parts": parts,
        "sections": {"headers": headers, **{s[0]: s[4] for s in sections}},
        "resources": resources,
    }
    if "--json" in sys.argv:
        print(json.dumps(result, indent=1, ensure_ascii=False))
        return 0
    print("image %s: %d bytes" % (image, len(data)))
    print("\n%-58s %8s" % ("part (kept input sections, from the linker map)", "bytes"))
    for name, size in sorted(parts.items(), key=lambda item: -item[1]):
        if size:
            print("%-58s %8d" % (name, size))
    print("\n%-58s %8s" % ("section on disk (aligned to 512 bytes)", "bytes"))
    for name, size in result["sections"].items():
        print("%-58s %8d" % (name, size))
    print("\n%-58s %8s" % ("resource kind", "bytes"))
    for name, size in sorted(resources.items(), key=lambda item: -item[1]):
        print("%-58s %8d" % (name, size))
    return 0


if __name__ == "__main__":
    sys.exit(main())
