#!/usr/bin/env python3
"""Makes the seed corpus of the workspace fuzzer: the workspace files of the
tests (tests/data/workspace, made by make_workspaces.py there), and each of
them cut short by one byte, so that the fuzzer starts from files that read and
from files that end too early."""
import pathlib

here = pathlib.Path(__file__).resolve().parent
workspaces = here.parent / "tests" / "data" / "workspace"
out = here / "corpus" / "workspace"
out.mkdir(parents=True, exist_ok=True)
for workspace in sorted(workspaces.glob("*.cvw")):
    data = workspace.read_bytes()
    (out / (workspace.stem + ".seed")).write_bytes(data)
    (out / (workspace.stem + "-cut.seed")).write_bytes(data[:-1])
