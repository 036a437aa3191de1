#!/usr/bin/env python3
"""Replays the regression recordings on the session alone.

    replay_recordings.py SESSION_REPLAY SOURCE_DIR

Runs every recorded script (with --charts, over its table) and holds each
output line against the recording: the whole text (.jsonl) or its SHA-256
digest (.sha256), naming the first line that differs.
"""
import hashlib
import subprocess
import sys

sys.path.insert(0, sys.argv[2] + "/tools/regression")
from rerecord import RECORDINGS  # noqa: E402  the one list of recordings


replay, root = sys.argv[1], sys.argv[2]
failed = False
for script, table, expected in RECORDINGS:
    folder = root + "/tests/regression/"
    run = subprocess.run([replay, "--charts", root + "/" + table, folder + script], capture_output=True, timeout=600)
    if run.returncode != 0:
        print(f"{script}: exit {run.returncode}: {run.stderr.decode(errors='replace')}")
        failed = True
        continue
    got = run.stdout.split(b"\n")
    want = open(folder + expected, "rb").read().split(b"\n")
    digests = expected.endswith(".sha256")
    if len(got) != len(want):
        print(f"{script}: {len(got)} output lines, {len(want)} recorded")
        failed = True
        continue
    for i, (g, w) in enumerate(zip(got, want)):
        line = hashlib.sha256(g).hexdigest().encode() if digests and g else g
        if line != w:
            print(f"{script}: first difference at output line {i + 1}")
            failed = True
            break
    else:
        print(f"{script}: {len(got) - 1} lines as recorded")
sys.exit(1 if failed else 0)
