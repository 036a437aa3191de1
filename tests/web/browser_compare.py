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
An export line downloads its file into the browser's profile, where it is
left (download_compare.py holds the files against jmach-script's).
Then, as a user would, on the page in a frame: the probe tooltip under
pointer moves (the sample jmach-script probes at the same user point), the
chart menus from the keyboard, the grey reference and the orange sonic
level on the canvas, and the sweep and flow field panels opened from the
chart menus, switched and closed. Prints one line per check and exits 1 at any difference.
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
    without snapshots (the browser has no window image to save)."""
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

# The views beside the window: the flow field before any profile (its
# message, and it stays closed), the sweep opened before any profile and
# switched, brought up to date while bars move under it, closed and closed
# again, reopened; the flow at M 0.6 with a sonic region, at M 0, over a
# profile the table lacks and through a typed Mach number (which runs
# nothing), closed twice; both open through chains and a probe line.
VIEWS = ("flow\nclose flow\nsweep camber\nthickness 12\nsweep thickness\ncamber 4\nalpha 6\nsweep alpha\n"
         "sweep alpha\nnp 31\nmach 60\nxm 25\nclose sweep\nclose sweep\nalpha 3\nsweep camber\n"
         "flow\nalpha 8\nmach 0\nprobe pressure 0.3 -1\ntype-mach 0.7\nclick profil\nsonic on\n"
         "thickness 30\ncamber 15\nthickness 12\nflow\nclose flow\nclose flow\nmach 50\nflow\nclose sweep\n"
         "alpha -10\n")


# Each chart and open view exported (the page downloads the file): before
# any chain, at M 0.6, with a reference kept, a suffix in capitals, a file
# under a folder's name; the line's report as any other's.
EXPORTS = ("export pressure before.csv\nthickness 12\ncamber 4\nmach 60\nexport pressure p.csv\n"
           "export Picture_CL cl.svg\nkeep profil\nexport profil profil.png\nsweep alpha\nexport sweep s.csv\n"
           "flow\nexport flow \t f.png\nclose flow\nexport Mcrit m.SVG\nexport Picture_CM sub/cm.csv\n")


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
    out.append(("views", VIEWS))
    out.append(("exports", EXPORTS))
    # Each kind of bad line stops the script where jmach-script stops.
    for i, bad in enumerate(["np 7", "alpha x", "alpha", "thickness 99999999999", "click wing",
                             "about now", "fly 3", "camber 1.5",
                             "probe wing 1 2", "probe", "probe profil 0.5", "probe profil 0.5 0 1",
                             "probe pressure 1,5 0", "probe pressure 0x1 0", "probe Mcrit inf 0",
                             "probe profil 1e-400 0", "probe profil 1e400 0", "probe profil +1 0",
                             "probe profil 1\tx" + "y" * 90, "sonic", "sonic On", "sonic on off",
                             "keep", "keep wing", "unkeep profil pressure",
                             "sweep", "sweep mach", "sweep Thickness", "sweep alpha camber", "flow now",
                             "close", "close profil", "close sweep flow",
                             "export", "export wing a.csv", "export pressure", "export pressure p.txt",
                             "export pressure p", "export sweep s.csv", "export flow \t f.svg",
                             "export pressure.csv"]):
        out.append((f"error-{i}", "thickness 12\n# comment\n\n" + bad + "\nalpha 3\n"))
    return out


def desktop(tool, table, text):
    with tempfile.TemporaryDirectory() as work:
        shutil.copy(table, os.path.join(work, "KATJO-D20G15.txt"))
        os.makedirs(os.path.join(work, "sub"))
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
        # An export line's download lands in the profile, without a question.
        os.makedirs(os.path.join(profile, "Default"))
        with open(os.path.join(profile, "Default", "Preferences"), "w") as f:
            json.dump({"download": {"default_directory": profile, "prompt_for_download": False}}, f)
        run = subprocess.run(
            [chromium, "--headless", "--no-sandbox", "--disable-gpu", "--no-first-run",
             "--disable-background-networking", "--disable-component-update", "--disable-sync",
             "--user-data-dir=" + profile, "--virtual-time-budget=60000", "--dump-dom", url],
            capture_output=True, timeout=600)
    dom = run.stdout.decode("utf-8")
    status = re.search(r'<p id="script-status"[^>]*>(.*?)</p>', dom, re.S)
    output = re.search(r'<pre id="script-output"[^>]*>(.*?)</pre>', dom, re.S)
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


# The user: a script, then pointer moves over the charts at user points
# (mapped to the client point as the desktop maps a pointer to user
# coordinates), the pressure chart's menu from the keyboard (Keep as
# reference, then Show sonic level, then Escape), an angle change that
# moves the curves off their reference, the profile chart's menu.
USER_SCRIPT = "thickness 12\ncamber 4\nalpha 6\nmach 60\n"
USER_PROBES = [["profil", 0.5, -0.08], ["profil", 1.15, 0], ["pressure", 0.3, -2.2], ["pressure", 0.3, 0.7],
               ["Picture_CL", 4.3, 1], ["Picture_CL", -17, 0], ["Picture_CM", -2.2, 0], ["Mcrit", 0.42, 2],
               ["Mcrit", 1.15, 2]]
USER_HARNESS = """<!doctype html><meta charset="utf-8"><body style="margin:0">
<iframe id="page" style="border:0;width:1280px;height:800px" src="%(url)s"></iframe><script>
const PROBES = %(probes)s;
document.getElementById("page").onload = () => setTimeout(() => {
  const w = document.getElementById("page").contentWindow, d = w.document, byId = (id) => d.getElementById(id);
  const lines = byId("script-output").textContent.trim().split("\\n");
  const charts = JSON.parse(lines[lines.length - 1]).charts;
  const tip = () => (byId("probe-tip").hidden ? null : byId("probe-tip").textContent);
  const move = (name, x, y) => {
    const sc = charts[name][0], r = byId(name).getBoundingClientRect();
    byId(name).dispatchEvent(new w.PointerEvent("pointermove", {bubbles: true, pointerType: "mouse",
      clientX: r.left + (x - sc.x1) / (sc.x2 - sc.x1) * r.width,
      clientY: r.top + (y - sc.y1) / (sc.y2 - sc.y1) * r.height}));
    return tip();
  };
  const key = (k, shift) => d.activeElement.dispatchEvent(new w.KeyboardEvent("keydown",
    {key: k, shiftKey: !!shift, bubbles: true, cancelable: true}));
  const menu = () => byId("chart-menu").hidden ? "closed" : [d.activeElement.id, byId("menu-clear").disabled,
    byId("menu-sonic").hidden].join(" ");
  const pixels = (name, test) => {
    const c = byId(name).querySelector("canvas"), p = c.getContext("2d").getImageData(0, 0, c.width, c.height).data;
    let n = 0;
    for (let i = 0; i < p.length; i += 4) n += test(p[i], p[i + 1], p[i + 2]);
    return n;
  };
  const grey = (r, g, b) => r === g && g === b && r > 150 && r < 230;
  const orange = (r, g, b) => r === 255 && g === 128 && b === 0;
  const out = {tips: PROBES.map(([name, x, y]) => move(name, x, y))};
  out.tip_before_leave = move("pressure", 0.3, -2.2);
  byId("pressure").dispatchEvent(new w.PointerEvent("pointerleave", {pointerType: "mouse"}));
  out.tip_after_leave = tip();
  out.grey_before = pixels("pressure", grey);
  out.orange_before = pixels("pressure", orange);
  byId("pressure").focus();
  key("F10", true);
  out.menu = menu();
  key("End");
  key("ArrowUp");
  out.past_disabled = d.activeElement.id;
  d.activeElement.click();
  out.after_keep = [menu(), d.activeElement.id].join(" ");
  out.description = byId(byId("pressure").getAttribute("aria-describedby").split(" ").pop()).textContent;
  key("ContextMenu");
  key("End");
  out.second = d.activeElement.id;
  key("ArrowUp");
  out.third = d.activeElement.id;
  key("ArrowDown");
  d.activeElement.click();
  out.orange_after = pixels("pressure", orange);
  key("F10", true);
  key("Escape");
  out.escape = [menu(), d.activeElement.id].join(" ");
  byId("HScroll_AlfaD").value = "-4";
  byId("HScroll_AlfaD").dispatchEvent(new Event("change"));
  out.grey_after = pixels("pressure", grey);
  out.tip_with_reference = move("pressure", 0.5, -1);
  byId("profil").focus();
  key("ContextMenu");
  out.profil_menu = menu();
  // The views from the charts' menus: the flow field from the profile's,
  // the sweep from the critical Mach chart's, switched and closed.
  const view = (name) => byId(name + "-view");
  const captions = (name) => Array.from(byId(name).querySelectorAll(".view-caption"), (c) => c.textContent);
  out.views_closed = view("sweep").hidden && view("flow").hidden;
  key("End");
  out.flow_item = d.activeElement.id;
  d.activeElement.click();
  out.flow_open = !view("flow").hidden;
  out.flow_blue = pixels("flow", (r, g, b) => b > r + 40 && b > g + 20);
  out.flow_captions = captions("flow");
  byId("Mcrit").focus();
  key("ContextMenu");
  key("End");
  out.sweep_item = d.activeElement.id;
  d.activeElement.click();
  out.sweep_captions = captions("sweep");
  byId("sweep_input").value = "alpha";
  byId("sweep_input").dispatchEvent(new Event("change"));
  out.sweep_alpha = captions("sweep");
  view("sweep").querySelector(".close").click();
  out.after_close = [view("sweep").hidden, view("flow").hidden];
  const result = document.body.appendChild(document.createElement("pre"));
  result.id = "result";
  result.textContent = JSON.stringify(out);
}, 0);
</script>"""


def user(tool, table, chromium, page):
    """The probe, the menus and the painting as a user meets them."""
    probes = "".join(f"probe {n} {x} {y}\n" for n, x, y in USER_PROBES)
    want = [json.loads(line)["probe"] for line in desktop(tool, table, USER_SCRIPT + probes)[0][-len(USER_PROBES):]]
    url = "file://" + os.path.abspath(page) + "#script=" + urllib.parse.quote(USER_SCRIPT, safe="") + "&charts=1"
    with tempfile.TemporaryDirectory() as folder:
        harness = os.path.join(folder, "user.html")
        with open(harness, "w", encoding="utf-8") as f:
            f.write(USER_HARNESS % {"url": url, "probes": json.dumps(USER_PROBES)})
        run = subprocess.run(
            [chromium, "--headless", "--no-sandbox", "--disable-gpu", "--no-first-run",
             "--allow-file-access-from-files", "--window-size=1280,800",
             "--disable-background-networking", "--disable-component-update", "--disable-sync",
             "--user-data-dir=" + os.path.join(folder, "profile"), "--virtual-time-budget=20000", "--dump-dom",
             "file://" + harness], capture_output=True, timeout=300)
    result = re.search(r'<pre id="result">(.*?)</pre>', run.stdout.decode("utf-8"), re.S)
    if not result:
        return "user: the frame reported nothing\n" + run.stderr.decode("utf-8")[-2000:]
    got = json.loads(html.unescape(result.group(1)))
    for (name, x, y), probe, text in zip(USER_PROBES, want, got["tips"]):
        if probe is None or text is None:
            ok = probe is None and text is None
        elif "point" in probe:
            ok = text.startswith(f"Point {probe['point']}, {probe['surface']} surface")
        else:
            ok = text.startswith(f"α = {probe['alpha']}°" if "alpha" in probe else f"M∞ = {probe['mach']!r},")
        if not ok:
            return f"user: the tip at {name} ({x}, {y}) reads {text!r}, jmach-script probes {probe}"
    checks = [
        ("tip gone when the pointer left", got["tip_before_leave"] and got["tip_after_leave"] is None),
        # A few blends of the curves' colours may come out grey.
        ("no grey or orange before", got["grey_before"] < 20 and got["orange_before"] == 0),
        ("pressure menu by Shift+F10", got["menu"] == "menu-png true false"),
        ("arrows pass a disabled item", got["past_disabled"] == "menu-keep"),
        ("menu closed after Keep", got["after_keep"] == "closed pressure"),
        ("description", got["description"].startswith("In grey, a reference kept with thickness 0.12, camber 0.04")),
        ("arrows walk the enabled items", (got["second"], got["third"]) == ("menu-sonic", "menu-clear")),
        ("sonic level painted", got["orange_after"] > 200),
        ("Escape", got["escape"] == "closed pressure"),
        ("reference painted", got["grey_after"] > 200),
        ("tip names the reference",
         "\nIn grey: thickness 0.12, camber 0.04, nP 51, α 6°" in (got["tip_with_reference"] or "")),
        ("profile menu", got["profil_menu"] == "menu-png true true"),
        ("views closed at first", got["views_closed"]),
        ("flow field from the profile menu", got["flow_item"] == "menu-flow" and got["flow_open"]),
        # The colour map: the slow flow about the profile in blue.
        ("flow map painted", got["flow_blue"] > 2000),
        ("flow captions", "M local" in got["flow_captions"] and "x/c" in got["flow_captions"]
         and "-0.25" in got["flow_captions"]),
        ("sweep from the Mcrit menu", got["sweep_item"] == "menu-sweep" and "t/c" in got["sweep_captions"]
         and "0.15" in got["sweep_captions"]),
        ("sweep switched", "α [°]" in got["sweep_alpha"] and "t/c" not in got["sweep_alpha"]),
        ("sweep closed, flow open", got["after_close"] == [True, False]),
    ]
    failed = [what for what, ok in checks if not ok]
    if failed:
        return f"user: {', '.join(failed)} ({json.dumps({k: v for k, v in got.items() if k != 'tips'})})"
    return f"ok user: {len(USER_PROBES)} probe tips, {len(checks)} checks of the menus and the painting"


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
    if not args.holes and (not args.only or args.only == "user"):
        result = user(args.script_tool, args.table, args.chromium, args.page)
        print(result, flush=True)
        failed += not result.startswith("ok ")
        passed += result.startswith("ok ")
    print(f"{passed} passed, {failed} failed")
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main()
