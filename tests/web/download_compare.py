#!/usr/bin/env python3
"""Downloads every chart's and view's files from the browser edition and
compares them with the files jmach-script exports from the same script.

    download_compare.py PAGE SCRIPT_TOOL TABLE [--chromium BIN]

The script moves the inputs (a Mach number above 0), keeps a reference on
the pressure and lift charts, opens the sweep and the flow field, and
exports each of the five charts and both views as CSV, SVG and PNG, some
under a folder's name or in capitals. The page runs in headless Chromium
(PAGE#script=..., in a frame of 792 x 510 CSS pixels) with a profile whose
preferences save downloads into a folder without asking, a few exports a
run; jmach-script runs it once in a folder of its own. Then:

- CSV: the same rows and cells, every cell that is not a number the same
  text, every number within 1e-13 of the desktop's (relative, or absolute
  where both are below 1 in magnitude). The same table code writes both,
  but each edition takes sin, cos, pow ... from its own C library, which
  may round the last bit differently; the numerics carry that into their
  results as differences of some 1e-15. Near zero, where a pressure
  coefficient 1 - |w|^2 cancels, only the absolute difference is that small.
- SVG: the same root width, height and viewBox, title and desc; the
  captions' texts in the same order; and the same count of drawn elements
  of each kind and colour, the colour being the fill or stroke an element
  has or takes from its groups: sloping segments (polyline, line), rings
  (circle, ellipse), rasters (image), and rectangles other than those in
  the surface colour (the grid and axis lines). Rectangles in the surface
  colour are the chart's background and the captions' backgrounds, which
  follow the page's style; of these only the background is required, as
  the first drawn element, over the whole chart. Coordinates are not
  compared: the desktop's texts sit at its fonts' metrics.
- PNG: the same width and height in pixels (read from IHDR): at the
  desktop's scale and device pixel ratio 1 a chart is twice its size on the
  screen, a view twice the desktop view window's chart.

The pressure chart's menu items and the view panels' buttons save the same
files as the export lines of the same state, under the chart's name.
A PDF export, which jmach-script writes, stops the page's script with its
message that PDF is not available in the browser.
Prints one line per file and exits 1 at any difference.
"""
import argparse
import csv
import html
import io
import json
import os
import re
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import time
import urllib.parse
import xml.etree.ElementTree as ET

CHARTS = ["Mcrit", "profil", "pressure", "Picture_CL", "Picture_CM"]
SURFACE = "#ffffc0"


def exports(names, prefix=""):
    return "".join(f"export {n} {prefix}{n}.{kind}\n" for n in names for kind in ("csv", "svg", "png"))


# Before any chain the charts are empty; then moved, at M 0.6 with two
# references kept and the sonic level shown; both views open; the pressure
# chart again at M 0 under a folder's name and a suffix in capitals.
SCRIPT = ("export pressure empty-pressure.csv\nexport Mcrit empty-Mcrit.csv\n"
          "thickness 12\ncamber 4\nalpha 6\nmach 60\nkeep pressure\nkeep Picture_CL\nalpha 3\nsonic on\n"
          + exports(CHARTS) + "sweep camber\nflow\n" + exports(["sweep", "flow"]) +
          "mach 0\nexport pressure some/folder/pressure-m0.CSV\nexport pressure pressure-m0.svg\n")


def expected_files():
    """(name the page saves, file jmach-script writes) of each export."""
    out = []
    for line in SCRIPT.splitlines():
        if line.startswith("export "):
            path = line.split(" ", 2)[2]
            out.append((os.path.basename(path), path))
    return out


def desktop(tool, table, work):
    shutil.copy(table, os.path.join(work, "KATJO-D20G15.txt"))
    os.makedirs(os.path.join(work, "some", "folder"))
    with open(os.path.join(work, "actions.script"), "w", encoding="utf-8") as f:
        f.write(SCRIPT)
    run = subprocess.run([tool, "actions.script"], cwd=work, capture_output=True,
                         env=dict(os.environ, QT_QPA_PLATFORM="offscreen"))
    if run.returncode != 0:
        raise SystemExit("jmach-script failed: " + run.stderr.decode("utf-8"))


# The page in a frame of the desktop window's size from the start, so that
# it is laid out at the desktop's scale when the script runs.
HARNESS = """<!doctype html><meta charset="utf-8"><body style="margin:0">
<iframe id="page" style="border:0;width:792px;height:510px" src="%s"></iframe><script>
// As the user saves them: each item of the pressure chart's menu and each
// button of the two view panels.
document.getElementById("page").onload = () => setTimeout(() => {
  if (!%s) return;
  const w = document.getElementById("page").contentWindow, d = w.document;
  for (const item of ["menu-png", "menu-svg", "menu-csv"]) {
    d.getElementById("pressure").dispatchEvent(new w.MouseEvent("contextmenu", {bubbles: true, button: 2}));
    d.getElementById(item).click();
  }
  for (const b of d.querySelectorAll(".view-head .view-file")) b.click();
}, 0);
</script>"""
# The state the menus and buttons save: the script up to its last exports.
MENU_SCRIPT = SCRIPT[:SCRIPT.index("mach 0\n")]
MENU_FILES = [f"{n}.{kind}" for n in ("pressure", "sweep", "flow") for kind in ("png", "svg", "csv")]


def script_with(exports_kept):
    """The script with only the export lines in `exports_kept`."""
    return "".join(l + "\n" for l in SCRIPT.splitlines() if not l.startswith("export ") or l in exports_kept)


def browser(chromium, page, folder, lines, names, run, menus=False):
    """Runs the script with the export `lines` on the page; the downloads
    land in a folder of their own. Chromium runs the page in real time (a
    virtual clock would end the run before the last downloads start) until
    every file is there, or for a minute."""
    profile = os.path.join(folder, f"profile-{run}")
    downloads = os.path.join(folder, "downloads-menus" if menus else "downloads")
    os.makedirs(os.path.join(profile, "Default"))
    os.makedirs(downloads, exist_ok=True)
    with open(os.path.join(profile, "Default", "Preferences"), "w") as f:
        json.dump({"download": {"default_directory": downloads, "prompt_for_download": False},
                   "profile": {"default_content_setting_values": {"automatic_downloads": 1}}}, f)
    text = script_with(lines) if not menus else \
        "".join(l + "\n" for l in MENU_SCRIPT.splitlines() if not l.startswith("export "))
    url = "file://" + os.path.abspath(page) + "#script=" + urllib.parse.quote(text, safe="")
    harness = os.path.join(folder, f"harness-{run}.html")
    with open(harness, "w", encoding="utf-8") as f:
        f.write(HARNESS % (html.escape(url), "true" if menus else "false"))
    proc = subprocess.Popen(
        [chromium, "--headless", "--no-sandbox", "--disable-gpu", "--no-first-run", "--window-size=1024,768",
         "--force-device-scale-factor=1", "--allow-file-access-from-files", "--disable-background-networking",
         "--disable-component-update", "--disable-sync", "--user-data-dir=" + profile, "file://" + harness],
        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)
    deadline = time.time() + 60
    try:
        while time.time() < deadline:
            present = set(os.listdir(downloads))
            if set(names) <= present and not any(n.endswith(".crdownload") for n in present):
                time.sleep(0.3)  # the last file closed
                break
            if proc.poll() is not None:
                break
            time.sleep(0.1)
    finally:
        if proc.poll() is None:
            os.killpg(proc.pid, signal.SIGTERM)
        proc.wait(timeout=30)
    return downloads


TOLERANCE = 1e-13
CRLF = "\r\n"
NUMBER = re.compile(r"[-+]?(?:[0-9]+\.?[0-9]*|\.[0-9]+)(?:[eE][-+]?[0-9]+)?")


def number_gap(a, b):
    """The relative difference of two numbers, or their absolute difference
    where both are below 1 in magnitude."""
    if a == b:
        return 0.0
    if abs(a) < 1 and abs(b) < 1:
        return abs(a - b)
    return abs(a - b) / max(abs(a), abs(b))


def same_csv(want, got, widest):
    """None when the tables have the same line ends, rows and texts and
    their numbers agree within TOLERANCE, else the first cell that differs.
    widest["gap"] and widest["relative"] keep the largest difference seen
    as compared and the largest relative one."""
    if want == got:
        return None
    w, g = want.decode("utf-8"), got.decode("utf-8")
    rows = lambda text: list(csv.reader(io.StringIO(text, newline="")))
    if w.count(CRLF) != g.count(CRLF):
        return f"{g.count(CRLF)} CRLF line ends for {w.count(CRLF)}"
    if len(rows(w)) != len(rows(g)):
        return f"{len(rows(g))} rows for {len(rows(w))}"
    for i, (a, b) in enumerate(zip(rows(w), rows(g))):
        if len(a) != len(b):
            return f"line {i + 1}: {len(b)} cells for {len(a)}"
        for j, (x, y) in enumerate(zip(a, b)):
            if x == y:
                continue
            if not (NUMBER.fullmatch(x) and NUMBER.fullmatch(y)):
                return f"line {i + 1}, cell {j + 1}: {y!r} for {x!r}"
            gap = number_gap(float(x), float(y))
            if gap > TOLERANCE:
                return f"line {i + 1}, cell {j + 1}: {y} for {x} (differs by {gap:.3g})"
            widest["gap"] = max(widest["gap"], gap)
            widest["relative"] = max(widest["relative"], abs(float(x) - float(y)) / max(abs(float(x)), abs(float(y))))
    return None


def pdf_refused(chromium, page, folder):
    """The page's status after a PDF export, which jmach-script writes and
    the browser cannot."""
    url = "file://" + os.path.abspath(page) + "#script=" + urllib.parse.quote("thickness 12\nexport pressure p.pdf\n")
    run = subprocess.run([chromium, "--headless", "--no-sandbox", "--disable-gpu", "--no-first-run",
                          "--user-data-dir=" + os.path.join(folder, "profile-pdf"), "--virtual-time-budget=10000",
                          "--dump-dom", url], capture_output=True, timeout=120)
    status = re.search(r'<p id="script-status"[^>]*>(.*?)</p>', run.stdout.decode("utf-8"), re.S)
    return html.unescape(status.group(1)) if status else None


def png_size(path):
    with open(path, "rb") as f:
        head = f.read(24)
    if head[:8] != b"\x89PNG\r\n\x1a\n" or head[12:16] != b"IHDR":
        return None
    return struct.unpack(">II", head[16:24])


def svg_summary(path):
    """Root size, title, desc, caption texts, drawn elements counted by kind
    and colour, and the first drawn element."""
    root = ET.parse(path).getroot()
    tag = lambda e: e.tag.rsplit("}", 1)[-1]
    kinds = {"polyline": "segment", "line": "segment", "path": "segment", "circle": "ring", "ellipse": "ring",
             "image": "raster", "rect": "rect"}
    counts, texts, drawn = {}, [], []

    def walk(e, fill, stroke):
        fill, stroke = e.get("fill", fill), e.get("stroke", stroke)
        t = tag(e)
        if t == "text":
            texts.append("".join(e.itertext()))
        elif t in kinds:
            kind = kinds[t]
            colour = None if kind == "raster" else (fill if kind == "rect" else stroke).lower()
            drawn.append((kind, colour, {k: e.get(k) for k in ("x", "y", "width", "height")}))
            if not (kind == "rect" and colour == SURFACE):
                counts[f"{kind} {colour}"] = counts.get(f"{kind} {colour}", 0) + 1
        for child in e:
            if tag(child) not in ("title", "desc", "defs"):
                walk(child, fill, stroke)

    walk(root, "black", "none")
    find = lambda name: next(("".join(e.itertext()) for e in root.iter() if tag(e) == name), None)
    return {"size": [root.get("width"), root.get("height"), root.get("viewBox")], "title": find("title"),
            "desc": find("desc"), "texts": texts, "counts": counts, "first": drawn[0] if drawn else None}


def compare_svg(want_path, got_path):
    want, got = svg_summary(want_path), svg_summary(got_path)
    for key in ("size", "title", "desc", "texts", "counts"):
        if want[key] != got[key]:
            return f"{key}: {got[key]} for {want[key]}"
    viewbox = want["size"][2].split()
    first = got["first"]
    if not first or first[:2] != ("rect", SURFACE) or [first[2][k] for k in ("x", "y", "width", "height")] != \
            ["0", "0"] + viewbox[2:]:
        return f"the first drawn element is {first}, not the background"
    return None


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("page")
    parser.add_argument("script_tool")
    parser.add_argument("table")
    parser.add_argument("--chromium", default="chromium")
    parser.add_argument("--keep", help="a folder to copy both sides' files into")
    args = parser.parse_args()
    started = time.time()
    files = expected_files()
    failed = exact = 0
    widest = {"gap": 0.0, "relative": 0.0}  # of two CSV numbers
    with tempfile.TemporaryDirectory() as folder:
        work = os.path.join(folder, "desktop")
        os.makedirs(work)
        desktop(args.script_tool, args.table, work)
        # A few files a run: Chromium loses some of many downloads.
        lines = [l for l in SCRIPT.splitlines() if l.startswith("export ")]
        for run in range(0, len(lines), 6):
            batch = lines[run:run + 6]
            downloads = browser(args.chromium, args.page, folder, batch,
                                [os.path.basename(l.split(" ", 2)[2]) for l in batch], run)
        menus = browser(args.chromium, args.page, folder, [], MENU_FILES, "menus", menus=True)
        for name, path, got in [(n, p, os.path.join(downloads, n)) for n, p in files] + \
                [(f"{n} (from the menu or panel)", n, os.path.join(menus, n)) for n in MENU_FILES]:
            want = os.path.join(work, path)
            if not os.path.exists(got):
                result = "not downloaded"
            elif path.lower().endswith(".csv"):
                with open(want, "rb") as a, open(got, "rb") as b:
                    w, g = a.read(), b.read()
                result = same_csv(w, g, widest)
                exact += w == g
            elif path.endswith(".svg"):
                result = compare_svg(want, got)
            else:
                w, g = png_size(want), png_size(got)
                result = None if w == g and w else f"{g} pixels for {w}"
            size = os.path.getsize(got) if os.path.exists(got) else 0
            print(f"ok {name} ({size} bytes)" if result is None else f"{name}: {result}", flush=True)
            failed += result is not None
        status = pdf_refused(args.chromium, args.page, folder)
        pdf_ok = status == "line 2: p.pdf: a PDF document is not available in the browser"
        print(("ok" if pdf_ok else "not refused:") + f" export pressure p.pdf: {status}")
        failed += not pdf_ok
        if args.keep:
            shutil.rmtree(args.keep, ignore_errors=True)
            shutil.copytree(work, os.path.join(args.keep, "desktop"))
            shutil.copytree(downloads, os.path.join(args.keep, "page"))
    print(f"{len(files) + len(MENU_FILES)} files and the PDF refusal checked, {failed} differences, {exact} CSV byte for byte; "
          f"CSV numbers apart by at most {widest['gap']:.3g} as compared, {widest['relative']:.3g} relative "
          f"({time.time() - started:.1f} s)")
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main()
