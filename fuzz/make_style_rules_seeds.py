#!/usr/bin/env python3
"""Makes the seed corpus of the style-rule fuzzer: rule lists in the form a
workspace file stores them (u32 list version, u32 count, rule records of
versions 1 to 4), and a few that are damaged: cut short, a count larger than
the data, a newer version."""
import pathlib
import struct

here = pathlib.Path(__file__).resolve().parent
out = here / "corpus" / "style_rules"
out.mkdir(parents=True, exist_ok=True)


def string(text):
    data = text.encode("latin-1")
    if len(data) < 255:
        return bytes([len(data)]) + data
    if len(data) < 0xFFFE:
        return b"\xff" + struct.pack("<H", len(data)) + data
    return b"\xff\xff\xff" + struct.pack("<I", len(data)) + data


def rule(version, condition, fill=0x0000FF, pen=0x00FF00, width=2, style=1,
         flags=(0, 0, 0, 0), columns=("", "", "", "")):
    data = struct.pack("<I", version) + string(condition) + struct.pack("<I", fill)
    if version >= 2:
        data += struct.pack("<Ii", pen, width)
    if version >= 3:
        data += struct.pack("<i", style)
    if version >= 4:
        data += struct.pack("<4i", *flags)
        data += b"".join(string(c) for c in columns)
    return data


def rule_list(rules, count=None):
    return struct.pack("<II", 1, len(rules) if count is None else count) + b"".join(rules)


seeds = {
    "empty": rule_list([]),
    "one-v4": rule_list([rule(4, "[COUNT] > 5")]),
    "columns": rule_list([rule(4, "[NAME] = 'Mill'", flags=(1, 1, 0, 1),
                               columns=("FILL", "PEN", "", "STYLE"))]),
    "versions": rule_list([rule(1, "A = 1"), rule(2, "B = 2"), rule(3, "C = 3"), rule(4, "D = 4")]),
    "long-condition": rule_list([rule(4, "[AREA] > 1 OR " * 40 + "1 = 1")]),
    "count-beyond-data": rule_list([rule(4, "A = 1")], count=1000),
    "newer-rule": rule_list([rule(5, "A = 1")]),
    "newer-list": struct.pack("<II", 2, 0),
}
full = rule_list([rule(4, "[COUNT] > 5", flags=(0, 1, 1, 0), columns=("", "P", "W", ""))])
seeds["cut"] = full[: len(full) - 3]
for name, data in seeds.items():
    (out / (name + ".seed")).write_bytes(data)
