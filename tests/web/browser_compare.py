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
among them), other numbers, chart primitives, probes and references equal
within 1e-6.
A script with a bad line must stop at the same line with the same error.
Prints one line per script and exits 1 at any difference.
"""
import argparse
import html
import json
import os
import random
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


# Every chart probed inside and outside its scale, before any profile, at
# M 0 and at M 0.6 (local Mach numbers, a supersonic stretch); the sonic
# level switched before any chain, at a Mach number, at M 0 and through
# chains; references kept, kept again over new inputs, cleared twice, and
# kept on an empty chart.
READING = ("probe profil 0.5 0\nprobe Mcrit 0.5 2\nsonic on\nkeep Picture_CM\nsonic off\n"
           "thickness 12\ncamber 4\nalpha 6\n"
           "probe profil 0.3 -0.05\nprobe profil 1.2 0\nprobe pressure 0.05 -2.5\nprobe pressure 0.5 0.6\n"
           "probe Picture_CL 4 1\nprobe Picture_CL -16 -4\nprobe Picture_CM -5.4 0\nprobe Picture_CM 0 2.5\n"
           "probe Mcrit 0.5 2\nprobe Mcrit -0.2 2\n"
           "mach 60\nprobe pressure 0.05 -2.5\nprobe pressure  0.9 \t -1.2\nprobe Picture_CL 12 -3.5\n"
           "probe Picture_CM 3 -1\nprobe Mcrit 0.99 -0.5\n"
           "sonic on\nprobe pressure 0.01 -3\nsonic on\nkeep pressure\nkeep Picture_CL\nkeep profil\n"
           "alpha -3\nthickness 20\nprobe pressure 0.3 -1\nkeep profil\nunkeep Picture_CL\nunkeep Picture_CL\n"
           "sonic off\nsonic on\nmach 0\nprobe pressure 0.05 -1\nsonic off\nsonic on\n"
           "type-mach 0.7\nclick pressure\nprobe Picture_CM 2 0\nkeep Mcrit\nunkeep pressure\nsonic off\n"
           "np 11\nprobe profil 0 0\nprobe profil .5 -0\nprobe pressure 4e-320 -1E0\nprobe Picture_CL 5. -.5e-1\n"
           "unkeep profil\nunkeep Mcrit\n")

def with_reading(text, seed):
    """`text` with a reading action after about every third action: probes
    at random points in and around each chart's scale, the sonic level,
    references kept and cleared."""
    rnd = random.Random(seed)
    charts = ["Mcrit", "profil", "pressure", "Picture_CL", "Picture_CM"]
    around = {"Mcrit": (-0.2, 1.2, -1, 5.5), "profil": (-0.2, 1.2, -0.4, 0.3), "pressure": (-0.2, 1.2, -6, 1),
              "Picture_CL": (-18, 18, -4.5, 2.5), "Picture_CM": (-18, 18, -2.6, 2.2)}
    out = []
    for line in text.split("\n"):
        out.append(line)
        if not line.strip() or line.startswith("#") or rnd.random() > 0.35:
            continue
        r, chart = rnd.random(), rnd.choice(charts)
        if r < 0.6:
            x1, x2, y1, y2 = around[chart]
            out.append(f"probe {chart} {rnd.uniform(x1, x2):.4g} {rnd.uniform(y1, y2):.4g}")
        elif r < 0.75:
            out.append("sonic " + rnd.choice(["on", "off"]))
        else:
            out.append(("keep " if rnd.random() < 0.6 else "unkeep ") + chart)
    return "\n".join(out)


def scripts(holes):
    """(name, text) of every script compared."""
    if holes:
        return [("random-300-holes", random_script(1415, 300)), ("first-actions-holes", FIRST_ACTIONS),
                ("random-reading-holes", with_reading(random_script(1417, 120), 17))]
    out = []
    for name in ("readme-example.script", "screenshot.script"):
        with open(os.path.join(ROOT, "tests", "regression", name), encoding="utf-8") as f:
            text = "".join(l for l in f if not l.strip().startswith("snapshot"))
        out.append((name, text))
    out.append(("random-500", random_script(1414, 500)))
    # First actions before any profile, typed Mach texts, every chart click.
    out.append(("first-actions", FIRST_ACTIONS))
    out.append(("reading", READING))
    out.append(("random-reading", with_reading(random_script(1416, 200), 16)))
    # Each kind of bad line stops the script where jmach-script stops.
    for i, bad in enumerate(["np 7", "alpha x", "alpha", "thickness 99999999999", "click wing",
                             "about now", "fly 3", "camber 1.5",
                             "probe wing 1 2", "probe", "probe profil 0.5", "probe profil 0.5 0 1",
                             "probe pressure 1,5 0", "probe pressure 0x1 0", "probe Mcrit inf 0",
                             "probe profil 1e-400 0", "probe profil 1e400 0", "probe profil +1 0",
                             "probe profil 1\tx" + "y" * 90, "sonic", "sonic On", "sonic on off",
                             "keep", "keep wing", "unkeep profil pressure"]):
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
