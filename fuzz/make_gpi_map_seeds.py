#!/usr/bin/env python3
"""Makes the seed corpus of the map view operations fuzzer (GpiMapOpsFuzz.cpp).

Each seed: two u16 words (left + 10000, top + 10000 of the client
rectangle), the view's extent minX, maxX, minY, maxY as doubles, two u16
words (width, height), the document's extent xmin, ymin, xmax, ymax as
doubles, then operations: a choice byte (0 client extent, 1 world to
client, 2 client to world, 3 centre, 4 zoom, 5 set tool, 6 get tool, 7 zoom to all themes) and its arguments."""
import math
import pathlib
import struct

out = pathlib.Path(__file__).resolve().parent / "corpus" / "gpi_map_ops"
out.mkdir(parents=True, exist_ok=True)


def seed(name, rect, view, extent, ops):
    data = struct.pack("<HH", rect[0] + 10000, rect[1] + 10000)
    data += struct.pack("<dddd", *view) + struct.pack("<HH", rect[2], rect[3])
    data += struct.pack("<dddd", *extent)
    for op in ops:
        data += op
    (out / (name + ".seed")).write_bytes(data)


def world_to_client(x, y):
    return bytes([1]) + struct.pack("<dd", x, y)


def client_to_world(px, py):
    return bytes([2]) + struct.pack("<ii", px, py)


def centre(x, y):
    return bytes([3]) + struct.pack("<dd", x, y)


def zoom(f):
    return bytes([4]) + struct.pack("<d", f)


def set_tool(t):
    return bytes([5]) + struct.pack("<H", t)


seed("plain", (0, 0, 200, 100), (0, 100, 0, 50), (0, 0, 100, 50),
     [bytes([0]), world_to_client(50, 25), client_to_world(100, 50), centre(10, 20), zoom(2.0),
      zoom(0.5), set_tool(300), bytes([6]), set_tool(20), bytes([6]), bytes([7])])
seed("refusals", (0, 0, 200, 100), (0, 100, 0, 50), (0, 0, 100, 50),
     [zoom(0.0), zoom(-1.0), zoom(math.nan), zoom(math.inf), set_tool(0), set_tool(255), set_tool(512)])
seed("empty_view", (0, 0, 0, 0), (5, 5, 5, 5), (5, 5, 5, 5),
     [bytes([0]), world_to_client(1e300, -1e300), client_to_world(-2**31, 2**31 - 1), zoom(1e308)])
seed("nan_extent", (10, 10, 300, 300), (math.nan, math.inf, -math.inf, 0), (math.nan, 0, math.inf, 1),
     [bytes([0]), world_to_client(math.nan, math.inf), centre(math.inf, math.nan), zoom(3.0), bytes([7])])
