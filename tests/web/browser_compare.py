#!/usr/bin/env python3
"""Runs jmach-script action scripts in the browser edition and on the desktop
and compares them action for action.

    browser_compare.py PAGE SCRIPT_TOOL TABLE [--holes] [--chromium BIN] [--only NAME]

PAGE is the built page (its table embedded), SCRIPT_TOOL the desktop
jmach-script and TABLE the table file the page holds. With --holes the table
lacks pairs, and seeded random actions raise the lookup message. Each script is opened in
headless Chromium as PAGE#script=...&charts=1; the JSON lines the page
writes into #script-output must carry every key of jmach-script --charts's
lines in the same order with the same value: texts equal (the Mach box's note
among them), other numbers and chart primitives equal within 1e-6.
A script with a bad line must stop at the same line with the same error.
Prints one line per script and exits 1 at any difference.
"""
import argparse
import html
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
import urllib.parse

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
sys.path.insert(0, os.path.join(ROOT, "tools", "regression"))
sys.dont_write_bytecode = True  # leave no cache in the source tree
import make_scripts  # noqa: E402  (the seeded random scripts of the recordings)

TOLERANCE = 1e-6


def random_script(seed, actions):
    """The seeded random script of the recordings, cut to `actions` actions,
    without snapshots (the browser saves no files)."""
    lines = make_scripts.script(seed, actions + actions // 10).split("\n")
    kept, count = [], 0
    for line in lines:
        content = line.strip()
        is_action = content and not content.startswith("#")
        if content.startswith("snapshot") or (is_action and count == actions):
            continue
        count += bool(is_action)
        kept.append(line)
    assert count == actions
    return "\n".join(kept) + "\n"


FIRST_ACTIONS = ("alpha 5\nxm 30\ntype-mach 0.95\nclick Mcrit\nmach 1\nnp 50\ntype-mach abc\n"
                 "click profil\nclick pressure\nclick Picture_CL\nclick Picture_CM\nabout\n"
                 "type-mach \t0.5x\ntype-mach 2\nthickness 30\ncamber 15\nalpha -10\n"
                 "type-mach 1e-5 Mach\nalpha 0\ntype-mach 0,7\nclick profil\ntype-mach -0 çok \u00e7\u00e7\u00e7\u00e7\u00e7\u00e7\u00e7\u00e7\u00e7\u00e7\u00e7\u00e7\u00e7\u00e7\u00e7\u00e7\u00e7\nalpha 1\n")


def scripts(holes):
    """(name, text) of every script compared."""
    if holes:
        return [("random-300-holes", random_script(1415, 300)), ("first-actions-holes", FIRST_ACTIONS)]
    out = []
    for name in ("readme-example.script", "screenshot.script"):
        with open(os.path.join(ROOT, "tests", "regression", name), encoding="utf-8") as f:
            text = "".join(l for l in f if not l.strip().startswith("snapshot"))
        out.append((name, text))
    out.append(("random-500", random_script(1414, 500)))
    # First actions before any profile, typed Mach texts, every chart click.
    out.append(("first-actions", FIRST_ACTIONS))
    # Each kind of bad line stops the script where jmach-script stops.
    for i, bad in enumerate(["np 7", "alpha x", "alpha", "thickness 99999999999", "click wing",
                             "about now", "fly 3", "camber 1.5"]):
        out.append((f"error-{i}", "thickness 12\n# comment\n\n" + bad + "\nalpha 3\n"))
    return out


def desktop(tool, table, text):
    with tempfile.TemporaryDirectory() as work:
        shutil.copy(table, os.path.join(work, "KATJO-D20G15.txt"))
        script = os.path.join(work, "actions.script")
        with open(script, "w", encoding="utf-8") as f:
            f.write(text)
        run = subprocess.run([tool, "--charts", script], cwd=work, capture_output=True)
    error = None
    if run.returncode != 0:
        match = re.search(r"(line \d+: .*)$", run.stderr.decode("utf-8").strip())
        error = match.group(1) if match else run.stderr.decode("utf-8")
    return run.stdout.decode("utf-8").splitlines(), error


def browser(chromium, page, text):
    url = "file://" + os.path.abspath(page) + "#script=" + urllib.parse.quote(text, safe="") + "&charts=1"
    with tempfile.TemporaryDirectory() as profile:
        run = subprocess.run(
            [chromium, "--headless", "--no-sandbox", "--disable-gpu", "--no-first-run",
             "--disable-background-networking", "--disable-component-update", "--disable-sync",
             "--user-data-dir=" + profile, "--virtual-time-budget=60000", "--dump-dom", url],
            capture_output=True, timeout=600)
    dom = run.stdout.decode("utf-8")
    status = re.search(r'<p id="script-status"[^>]*>(.*?)</p>', dom, re.S)
    output = re.search(r'<pre id="script-output">(.*?)</pre>', dom, re.S)
    if not status or not output:
        raise SystemExit("the page ran no script:\n" + run.stderr.decode("utf-8")[-2000:])
    state = html.unescape(status.group(1))
    return html.unescape(output.group(1)).splitlines(), None if state == "done" else state


def same(want, got, where):
    """None when `got` holds `want`, else where they first differ."""
    if isinstance(want, dict):
        if not isinstance(got, dict):
            return where
        if list(got) != list(want):
            return f"{where} keys {list(got)} for {list(want)}"
        for key, value in want.items():
            if key not in got:
                return f"{where}.{key} missing"
            diff = same(value, got[key], f"{where}.{key}")
            if diff:
                return diff
        return None
    if isinstance(want, list):
        if not isinstance(got, list) or len(want) != len(got):
            return f"{where} has {len(got) if isinstance(got, list) else got} items, not {len(want)}"
        for i, (w, g) in enumerate(zip(want, got)):
            diff = same(w, g, f"{where}[{i}]")
            if diff:
                return diff
        return None
    if isinstance(want, float) or isinstance(want, int) and not isinstance(want, bool):
        ok = isinstance(got, (int, float)) and abs(want - got) <= TOLERANCE * max(1.0, abs(want))
        return None if ok else f"{where}: {got} for {want}"
    return None if want == got else f"{where}: {got!r} for {want!r}"


def compare(name, text, tool, table, chromium, page):
    started = time.time()
    want, want_error = desktop(tool, table, text)
    got, got_error = browser(chromium, page, text)
    seconds = time.time() - started
    if len(got) != len(want):
        return f"{name}: {len(got)} lines from the page, {len(want)} from jmach-script"
    for i, (w, g) in enumerate(zip(want, got)):
        w, g = json.loads(w), json.loads(g)
        diff = same(w, g, "")
        if diff:
            return f"{name}: action {i + 1} \"{w['action']}\": {diff}"
    if want_error != got_error:
        return f"{name}: the page stopped with {got_error!r}, jmach-script with {want_error!r}"
    return f"ok {name}: {len(want)} actions" + (f", then {want_error}" if want_error else "") + f" ({seconds:.1f} s)"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("page")
    parser.add_argument("script_tool")
    parser.add_argument("table")
    parser.add_argument("--holes", action="store_true")
    parser.add_argument("--chromium", default="chromium")
    parser.add_argument("--only")
    args = parser.parse_args()
    passed = failed = 0
    for name, text in scripts(args.holes):
        if args.only and name != args.only:
            continue
        result = compare(name, text, args.script_tool, args.table, args.chromium, args.page)
        print(result, flush=True)
        failed += not result.startswith("ok ")
        passed += result.startswith("ok ")
    print(f"{passed} passed, {failed} failed")
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main()
