#!/usr/bin/env python3
"""Re-records the jmach-script regression outputs after a deliberate change.

    rerecord.py BUILD_DIR [--new-keys KEY,KEY,...]
    rerecord.py BUILD_DIR --numbers-from BEFORE_BUILD_DIR [--tables-from BEFORE_SOURCE_DIR]

Runs BUILD_DIR/jmach-script --charts on every recorded script (in a
temporary folder with its table, as the test does). With --new-keys each new
output line must, once those keys are taken out, be byte for byte the line
recorded before (its digest or its text); only then are the recordings
rewritten. With --numbers-from (after a change to how numbers are
computed) the tool of BEFORE_BUILD_DIR, over the tables of BEFORE_SOURCE_DIR
(when the change rewrote them), must still give the recordings, and
each new line must be that line with the same keys, texts and structure and
every number within 1e-9 of it (relative); box texts, rounded for the
window, must not move at all. Without either the output must equal the
recording already.
"""
import argparse
import hashlib
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
HERE = os.path.join(ROOT, "tests", "regression")  # the scripts and their recordings
RECORDINGS = [
    ("readme-example.script", "data/KATJO-D20G15.txt", "readme-example.jsonl"),
    ("screenshot.script", "data/KATJO-D20G15.txt", "screenshot.sha256"),
    ("random-real-table.script", "data/KATJO-D20G15.txt", "random-real-table.sha256"),
    ("random-holey-table.script", "tests/regression/holey-table.txt", "random-holey-table.sha256"),
]
VALUE = r'(?:null|true|false|"(?:[^"\\]|\\.)*"|-?[0-9][0-9.eE+-]*)'


def value_end(line, start):
    """The end of the JSON value at `start`: a scalar, or a list or object
    with its brackets balanced (strings skipped)."""
    if line[start] not in "[{":
        m = re.compile(VALUE).match(line, start)
        return m.end() if m else start
    depth, i, in_string = 0, start, False
    while i < len(line):
        c = line[i]
        if in_string:
            if c == "\\":
                i += 1
            elif c == '"':
                in_string = False
        elif c == '"':
            in_string = True
        elif c in "[{":
            depth += 1
        elif c in "]}":
            depth -= 1
            if depth == 0:
                return i + 1
        i += 1
    return start


def without(line, keys):
    for key in keys:
        tag = ',"%s":' % key
        at = line.find(tag)
        if at >= 0:
            end = value_end(line, at + len(tag))
            if end > at + len(tag):
                line = line[:at] + line[end:]
    return line


def run(tool, script, table, root=ROOT):
    with tempfile.TemporaryDirectory() as work:
        shutil.copy(os.path.join(root, table), os.path.join(work, "KATJO-D20G15.txt"))
        out = subprocess.run([tool, "--charts", os.path.join(HERE, script)], cwd=work,
                             capture_output=True, check=True).stdout
    return out.decode("utf-8").split("\n")[:-1]


def close(before, after, where):
    """None when `after` is `before` with its numbers moved by rounding only."""
    if isinstance(before, dict):
        if not isinstance(after, dict) or list(before) != list(after):
            return where + " keys"
        for key in before:
            diff = close(before[key], after[key], where + "." + key)
            if diff:
                return diff
        return None
    if isinstance(before, list):
        if not isinstance(after, list) or len(before) != len(after):
            return where + " length"
        for i, (b, a) in enumerate(zip(before, after)):
            diff = close(b, a, f"{where}[{i}]")
            if diff:
                return diff
        return None
    if isinstance(before, (int, float)) and not isinstance(before, bool):
        ok = isinstance(after, (int, float)) and abs(after - before) <= 1e-9 * max(1.0, abs(before))
        return None if ok else f"{where}: {after!r} for {before!r}"
    return None if before == after else f"{where}: {after!r} for {before!r}"


def digest_of(line):
    return hashlib.sha256(line.encode("utf-8")).hexdigest()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build")
    parser.add_argument("--new-keys", default="")
    parser.add_argument("--numbers-from")
    parser.add_argument("--tables-from", default=ROOT)
    args = parser.parse_args()
    keys = [k for k in args.new_keys.split(",") if k]
    tool = os.path.join(os.path.abspath(args.build), "jmach-script")
    before_tool = args.numbers_from and os.path.join(os.path.abspath(args.numbers_from), "jmach-script")
    results = []
    for script, table, expected in RECORDINGS:
        path = os.path.join(HERE, expected)
        old = open(path, encoding="utf-8").read().split("\n")[:-1]
        new = run(tool, script, table)
        digest = expected.endswith(".sha256")
        if len(new) != len(old):
            sys.exit(f"{script}: {len(new)} lines, recorded {len(old)}")
        before = run(before_tool, script, table, args.tables_from) if before_tool else None
        for i, (n, o) in enumerate(zip(new, old)):
            if before is not None:
                if (digest_of(before[i]) if digest else before[i]) != o:
                    sys.exit(f"{script}: line {i + 1}: the tool before the change does not give the recording")
                diff = close(json.loads(before[i]), json.loads(n), "")
                if diff:
                    sys.exit(f"{script}: line {i + 1} moved beyond rounding: {diff}")
                continue
            base = without(n, keys)
            got = digest_of(base) if digest else base
            if got != o:
                sys.exit(f"{script}: line {i + 1} differs beyond the keys {keys}: {n[:200]}")
        results.append((path, new, digest))
    for path, new, digest in results:
        with open(path, "w", encoding="utf-8") as f:
            for n in new:
                f.write((digest_of(n) if digest else n) + "\n")
    print("recordings " + ("rewritten with the numbers of the new build" if before_tool else
                           "rewritten with the new keys " + ",".join(keys) if keys else "unchanged"))


if __name__ == "__main__":
    main()
