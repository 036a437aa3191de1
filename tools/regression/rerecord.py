#!/usr/bin/env python3
"""Re-records the jmach-script regression outputs after a deliberate change.

    rerecord.py BUILD_DIR [--new-keys KEY,KEY,...]

Runs BUILD_DIR/jmach-script --charts on every recorded script (in a
temporary folder with its table, as the test does). With --new-keys each new
output line must, once those keys are taken out, be byte for byte the line
recorded before (its digest or its text); only then are the recordings
rewritten. Without --new-keys the output must equal the recording already.
"""
import argparse
import hashlib
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


def run(tool, script, table):
    with tempfile.TemporaryDirectory() as work:
        shutil.copy(os.path.join(ROOT, table), os.path.join(work, "KATJO-D20G15.txt"))
        out = subprocess.run([tool, "--charts", os.path.join(HERE, script)], cwd=work,
                             capture_output=True, check=True).stdout
    return out.decode("utf-8").split("\n")[:-1]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build")
    parser.add_argument("--new-keys", default="")
    args = parser.parse_args()
    keys = [k for k in args.new_keys.split(",") if k]
    tool = os.path.join(os.path.abspath(args.build), "jmach-script")
    results = []
    for script, table, expected in RECORDINGS:
        path = os.path.join(HERE, expected)
        old = open(path, encoding="utf-8").read().split("\n")[:-1]
        new = run(tool, script, table)
        digest = expected.endswith(".sha256")
        if len(new) != len(old):
            sys.exit(f"{script}: {len(new)} lines, recorded {len(old)}")
        for i, (n, o) in enumerate(zip(new, old)):
            base = without(n, keys)
            got = hashlib.sha256(base.encode("utf-8")).hexdigest() if digest else base
            if got != o:
                sys.exit(f"{script}: line {i + 1} differs beyond the keys {keys}: {n[:200]}")
        results.append((path, new, digest))
    for path, new, digest in results:
        with open(path, "w", encoding="utf-8") as f:
            for n in new:
                f.write((hashlib.sha256(n.encode("utf-8")).hexdigest() if digest else n) + "\n")
    print("recordings " + ("rewritten with the new keys " + ",".join(keys) if keys else "unchanged"))


if __name__ == "__main__":
    main()
