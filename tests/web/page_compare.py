#!/usr/bin/env python3
"""Holds the page against the script tool, in headless Chromium.

    page_compare.py WEB_BUILD REFERENCE [--chromium BIN]

WEB_BUILD holds jmach.html and jmach-test-table.html (over the table with
holes); REFERENCE is jmach-script or session-replay (the same runner without
a toolkit). Every regression script runs as PAGE#script=...&charts=1 and
must give the reference's lines: the same keys in the same order, texts
equal, numbers within 1e-13 relative (1e-13 absolute below 1), the two C
libraries' last bits. A bad line stops both at the same line with the same
message. Then the link to the state, hostile links, the downloads, the
page in another site's frame as a user meets it (the probe tip, a chart
menu, the painting, Undo and Redo, state files, the handout, Copy link,
#embed).
"""
import argparse
import functools
import html
import http.server
import json
import os
import re
import subprocess
import sys
import tempfile
import threading
import time
import urllib.parse

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.join(ROOT, "tools", "regression"))
sys.dont_write_bytecode = True
from rerecord import RECORDINGS  # noqa: E402  the regression set

NOT_A_STATE = "This link does not describe a state of the window: the page opened at its start."
CHROMIUM = "chromium"
BENCH_REFUSED = "#bench= takes a whole number of changes from 1 to 10000: nothing was timed."


def reference(tool, table, text):
    """The reference's lines and the message that stopped it, or None."""
    with tempfile.TemporaryDirectory() as work:
        script = os.path.join(work, "actions.script")
        with open(script, "w", encoding="utf-8") as f:
            f.write(text)
        if os.path.basename(tool).startswith("session-replay"):
            command = [tool, "--charts", table, script]
        else:  # jmach-script reads the table beside the script
            os.symlink(table, os.path.join(work, "KATJO-D20G15.txt"))
            command = [tool, "--charts", script]
        run = subprocess.run(command, cwd=work, capture_output=True, timeout=600)
    error = re.search(r"(line \d+: .*)$", run.stderr.decode()) if run.returncode else None
    return run.stdout.decode().splitlines(), error and error.group(1)


def chromium_profile(profile, folder, prefs=None):
    os.makedirs(os.path.join(profile, "Default"))
    with open(os.path.join(profile, "Default", "Preferences"), "w") as f:
        json.dump({"download": {"default_directory": folder, "prompt_for_download": False}, **(prefs or {})}, f)
    return [CHROMIUM, "--headless", "--no-sandbox", "--disable-gpu", "--no-first-run", "--user-data-dir=" + profile]


def browser(url, budget=30000):
    """The page's DOM after it ran, for at most `budget` ms of its clock."""
    with tempfile.TemporaryDirectory() as profile:
        return subprocess.run(chromium_profile(profile, profile) + [
            "--allow-file-access-from-files", "--window-size=1280,800", f"--virtual-time-budget={budget}", "--dump-dom", url],
            capture_output=True, timeout=900).stdout.decode()


def element(dom, tag, id_):
    m = re.search(rf'<{tag} id="{id_}"[^>]*>(.*?)</{tag}>', dom, re.S)
    return html.unescape(m.group(1)) if m else None


def page_url(page, fragment):
    return "file://" + os.path.abspath(page) + "#" + fragment


def script_fragment(text):
    return "script=" + urllib.parse.quote(text, safe="") + "&charts=1"


def difference(want, got, where=""):
    """Where `got` first differs from `want` (numbers within 1e-13 relative, absolute below 1), or None."""
    if isinstance(want, (dict, list)):
        keys = list(want) if isinstance(want, dict) else range(len(want))
        if type(got) is not type(want) or list(got if isinstance(got, dict) else range(len(got))) != list(keys):
            shape = lambda v: list(v) if isinstance(v, dict) else f"{len(v)} items" if isinstance(v, list) else v
            return f"{where}: {shape(got)} for {shape(want)}"
        return next((d for k in keys if (d := difference(want[k], got[k], f"{where}[{k!r}]"))), None)
    if isinstance(want, bool) or not isinstance(want, (int, float)):
        return None if want == got else f"{where}: {got!r} for {want!r}"
    ok = not isinstance(got, bool) and isinstance(got, (int, float)) and abs(want - got) <= 1e-13 * max(abs(want), 1)
    return None if ok else f"{where}: {got!r} for {want!r}"


def compare(name, text, tool, table, page):
    want, want_error = reference(tool, table, text)
    dom = browser(page_url(page, script_fragment(text)))
    status, got = element(dom, "p", "script-status"), element(dom, "pre", "script-output")
    if status is None or got is None:
        return f"{name}: the page ran no script"
    got, error = got.splitlines(), re.search(r"(line \d+: .*)$", status)
    got_error = None if status == "done" else error.group(1) if error else status
    if len(got) != len(want):
        return f"{name}: {len(got)} lines from the page, {len(want)} from the reference"
    for i, (w, g) in enumerate(zip(want, got)):
        if diff := difference(json.loads(w), json.loads(g)):
            return f"{name}: line {i + 1} {json.loads(w)['action']!r}: {diff}"
    if want_error != got_error:
        return f"{name}: the page stopped with {got_error!r}, the reference with {want_error!r}"
    return f"ok {name}: {len(want)} lines" + (f", then {want_error}" if want_error else "")


# Bad lines, each after a good one: where both stop and with what message.
BAD_LINES = ["np 7", "thickness -2147483648", "alpha 1.5", "probe profil 1e400 0", "probe profil +1 0",
             "probe profil 1e-400 0", "sonic On", "sweep mach", "close profil", "export pressure p.txt",
             "export sweep s.csv", "fly 3"]


def links(page):
    """&link=1 writes Copy link's address; a hostile link runs nothing; #bench= takes only a bounded count."""
    link = element(browser(page_url(page, script_fragment("thickness 12") + "&link=1")), "p", "script-link") or ""
    if not link.endswith("#state=jmach-state%201%0Athickness%2012%0A"):
        return f"links: the page wrote the link {link!r}"
    for hostile in ["thickness%2012%0Afly", "%ZZ", "thickness%2012%0Aexport%20pressure%20a.csv",
                    urllib.parse.quote("\n".join(["thickness 12"] * 201)), "type-mach%20" + "7" * 101,
                    "thickness%2012%0Atype-mach%20%1B"]:
        dom = browser(page_url(page, "state=" + hostile + "&" + script_fragment("about")))
        line = json.loads(element(dom, "pre", "script-output") or "{}")
        if not (element(dom, "p", "notice") or "").startswith(NOT_A_STATE + " Line ") or line.get("Text_Thickness") != "0":
            return f"links: the link #state={hostile[:40]} was not refused"
    for count in ["Infinity", "1e9", "0", "2.5", "10001"]:
        dom = browser(page_url(page, "bench=" + count + "&" + script_fragment("thickness 3")))
        if (element(dom, "p", "notice"), element(dom, "pre", "bench-output"), element(dom, "p", "script-status")) \
                != (BENCH_REFUSED, None, "done"):
            return f"links: #bench={count} was not refused"
    if json.loads(element(browser(page_url(page, "bench=3")), "pre", "bench-output") or "{}").get("changes") != 3:
        return "links: #bench=3 did not time three changes"
    return "ok links: 6 hostile links and 5 unbounded #bench= counts refused"


def downloads(page):
    """A script's exports and the window's snapshot land as files (what they
    hold is the session's, checked without a browser). Chromium
    runs the page in real time (the virtual clock ends a run before the
    later downloads start) until every file is there, or for a minute."""
    text = ("thickness 12\ncamber 4\nmach 60\nkeep profil\nsweep alpha\nexport pressure p.csv\nexport profil pr.svg\n"
            "export Picture_CL cl.png\nexport sweep s.svg\nflow\nexport flow f.png\nsnapshot w.png\n")
    pngs = {"cl.png": (427, 522), "f.png": (1600, 800), "w.png": (1584, 980)}
    names = sorted([*pngs, "p.csv", "pr.svg", "s.svg"])
    with tempfile.TemporaryDirectory() as folder, tempfile.TemporaryDirectory() as profile:
        command = chromium_profile(profile, folder, {"profile": {"default_content_setting_values": {"automatic_downloads": 1}}})
        proc = subprocess.Popen(command + [page_url(page, script_fragment(text))],
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        deadline = time.time() + 60
        while time.time() < deadline and proc.poll() is None and sorted(os.listdir(folder)) != names:
            time.sleep(0.2)
        time.sleep(0.3)  # the last file closed
        proc.terminate()
        proc.wait(timeout=30)
        if (files := sorted(os.listdir(folder))) != names:
            return f"downloads: {files}"
        for png, size in pngs.items():
            with open(os.path.join(folder, png), "rb") as f:
                head = f.read(24)
            got = (int.from_bytes(head[16:20], "big"), int.from_bytes(head[20:24], "big"))
            if head[:8] != b"\x89PNG\r\n\x1a\n" or abs(got[0] - size[0]) > 1 or abs(got[1] - size[1]) > 1:
                return f"downloads: {png} is {got}, not {size}"
    return "ok downloads: CSV, SVG and PNG of charts, views and the window (the PNGs at their sizes)"


# Another site's page that frames the page (both served from 127.0.0.1),
# runs CHECKS on it and writes what they found into #result. In CHECKS:
# frame(src) opens a frame and gives its window; until(test) waits for a
# test to pass; tools(w) the helpers for a framed window.
HOST = """<!doctype html><meta charset="utf-8"><body style="margin:0"><script>
const frame = (src) => new Promise((done) => { const f = document.createElement("iframe");
  Object.assign(f, {src, allow: "clipboard-write"}); f.style.cssText = "border:0;width:1280px;height:800px";
  f.onload = () => setTimeout(() => done(f.contentWindow), 0); document.body.appendChild(f); });
const until = async (test) => { for (let i = 0; i < 3000 && !test(); i++) await new Promise((r) => setTimeout(r, 20)); };
const tools = (w) => { const d = w.document, byId = (id) => d.getElementById(id), saved = [];
  w.jmachPage.download = (file, bytes, type) => saved.push([file, type, typeof bytes === "string" ? bytes : new TextDecoder().decode(bytes)]);
  const open = (name, text, drop) => { const t = new w.DataTransfer(); t.items.add(new w.File([text], name));
    if (drop) return d.body.dispatchEvent(new w.DragEvent("drop", {dataTransfer: t, bubbles: true, cancelable: true}));
    byId("file-input").files = t.files; byId("file-input").dispatchEvent(new w.Event("change")); };
  const boxes = (names) => Object.fromEntries(names.map((n) => [n, byId(n).value]));
  return {d, byId, saved, open, boxes}; };
(async () => { const out = {}; try { CHECKS } catch (e) { out.error = String(e && e.stack || e); }
  document.body.appendChild(Object.assign(document.createElement("pre"), {id: "result", textContent: JSON.stringify(out)}));
})();
</script>"""


def framed(web_build, checks):
    """What CHECKS found, with the address the pages were served from."""
    with tempfile.TemporaryDirectory() as folder:
        for name in ["jmach.html", "jmach-test-table.html"]:
            os.symlink(os.path.abspath(os.path.join(web_build, name)), os.path.join(folder, name))
        with open(os.path.join(folder, "host.html"), "w", encoding="utf-8") as f:
            f.write(HOST.replace("CHECKS", checks))
        class Quiet(http.server.SimpleHTTPRequestHandler):
            def log_message(self, *args):
                pass
        server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), functools.partial(Quiet, directory=folder))
        threading.Thread(target=server.serve_forever, daemon=True).start()
        try:
            origin = f"http://127.0.0.1:{server.server_port}"
            # The page's clock runs on while a file is read: time for the waits.
            return json.loads(element(browser(origin + "/host.html", 300000), "pre", "result") or "{}"), origin
        finally:
            server.shutdown()


# The user: probe tips under pointer moves, a chart menu from the keyboard
# (Keep as reference, Show sonic level), the grey reference and the orange
# sonic level on the canvas, a scroll bar; Ctrl+Z and Ctrl+Y back and forth
# (not in the Mach box, whose text they undo); Save, a state file opened
# through the file chooser and by a drop (each one step), one refused; the
# handout; Copy link from the frame; #embed.
USER = """const w = await frame("jmach.html#state=thickness%2012%0Acamber%204%0Aalpha%206%0Amach%2060");
  const {d, byId, saved, open} = tools(w);
  const tip = () => (byId("probe-tip").hidden ? null : byId("probe-tip").textContent);
  const pointer = (name, type, fx, fy) => { const r = byId(name).getBoundingClientRect();
    byId(name).dispatchEvent(new w.PointerEvent(type, {bubbles: true, pointerType: "mouse",
      clientX: r.left + fx * r.width, clientY: r.top + fy * r.height})); return tip(); };
  const key = (k, shift, ctrl, on) => (on || d.activeElement).dispatchEvent(new w.KeyboardEvent("keydown",
    {key: k, shiftKey: !!shift, ctrlKey: !!ctrl, bubbles: true, cancelable: true}));
  const count = (r0, g0, b0) => { const c = byId("pressure").querySelector("canvas");
    const p = c.getContext("2d").getImageData(0, 0, c.width, c.height).data; let n = 0;
    for (let i = 0; i < p.length; i += 4) n += p[i] === r0 && p[i + 1] === g0 && p[i + 2] === b0; return n; };
  const seen = () => ["Text_Thickness", "Text_Camber", "Text_AlfaD", "HScroll_AlfaD"].map((n) => byId(n).value).join(" ") + " / " +
    ["Mn_Undo", "Mn_Redo"].map((n) => byId(n).getAttribute("aria-disabled")).join(" ");
  out.tip = pointer("Picture_CL", "pointermove", 0.6, 0.4);
  out.left = pointer("Picture_CL", "pointerleave", 0, 0);
  out.grey_before = count(190, 190, 190);
  byId("pressure").focus(); key("F10", true); out.menu = d.activeElement.id;
  byId("menu-keep").click(); out.focus_after = d.activeElement.id;
  key("ContextMenu"); byId("menu-sonic").click(); out.orange = count(255, 128, 0);
  byId("HScroll_AlfaD").value = "-4"; byId("HScroll_AlfaD").dispatchEvent(new Event("change"));
  out.grey_after = count(190, 190, 190); out.note = byId("pressure-reference").textContent;
  out.undo = [seen()];
  for (const [k, shift, on] of [["z"], ["z", false, byId("Text_Moo")], ["y"], ["z"], ["z"], ["z"], ["Z", true]]) {
    key(k, shift, true, on || d.body); out.undo.push(seen()); }
  byId("Mn_File").click(); out.file_menu = byId("file-menu").checkVisibility(); byId("Mn_Save").click(); out.saved = saved[0];
  open("lesson.jmach", "jmach-state 1\\nthickness 15\\n"); await until(() => byId("Text_Thickness").value === "0.15");
  out.opened = [seen()]; key("z", false, true, d.body); out.opened.push(seen());
  open("drop.jmach", "jmach-state 1\\ncamber 6\\n", true); await until(() => byId("Text_Camber").value === "0.06");
  out.opened.push(seen());
  open("bad.jmach", "thickness 12\\n"); await until(() => byId("message-box").open);
  out.refused = [byId("message-text").textContent, seen()]; byId("message-ok").click();
  byId("Mn_Handout").click(); const h = byId("handout");
  out.handout = [h.checkVisibility(), byId("Form1").checkVisibility(), h.querySelectorAll("figure svg line").length,
    h.querySelectorAll("figure svg").length, h.querySelectorAll("tr").length, byId("handout-title").textContent,
    byId("handout-state").textContent, h.querySelector(".handout-link a").textContent];
  byId("handout-back").click();
  let copied = null; const write = w.navigator.clipboard.writeText.bind(w.navigator.clipboard);
  w.navigator.clipboard.writeText = (text) => { copied = text; return write(text); };
  byId("Mn_Link").click(); await until(() => copied !== null && (byId("link-box").open || !byId("notice").hidden));
  out.link = copied;
  const e = tools(await frame("jmach.html#state=thickness%2012&embed"));
  out.embed = [e.byId("menu").checkVisibility(), e.byId("Text_Thickness").value];"""


def user(web_build):
    got, origin = framed(web_build, USER)
    state = "jmach-state 1\ncamber 6\n"
    undo = ["0.12 0.04 -4 -4 / false true", "0.12 0.04 6 6 / false false", "0.12 0.04 6 6 / false false",
            "0.12 0.04 -4 -4 / false true", "0.12 0.04 6 6 / false false", "0.12 0.04 6 6 / false false",
            "0.12 0.04 6 6 / true false", "0.12 0.04 6 6 / false false"]
    opened = ["0.15 0 0 0 / false true", "0.12 0.04 6 6 / false false", "0 0.06 0 0 / false true"]
    checks = [("tip", (got.get("tip") or "").startswith("α = ")), ("tip gone", got.get("left") is None),
              ("menu by Shift+F10", got.get("menu") == "menu-png"), ("focus back", got.get("focus_after") == "pressure"),
              ("sonic level painted", got.get("orange", 0) > 200),
              ("reference painted", got.get("grey_before") == 0 and got.get("grey_after", 0) > 200),
              ("note", (got.get("note") or "").startswith("In grey, a reference kept with thickness 0.12")),
              ("Ctrl+Z, Ctrl+Y, Ctrl+Shift+Z", got.get("undo") == undo), ("File menu", got.get("file_menu") is True),
              ("Save", got.get("saved") == ["lesson.jmach", "application/x-jmach-state",
                                            "jmach-state 1\nthickness 12\ncamber 4\nalpha 6\nmach 60\nkeep pressure\n"]),
              ("opened by the file chooser, undone, by a drop", got.get("opened") == opened),
              ("refused", got.get("refused") == ["Cannot open bad.jmach: line 1: this is not a state of the window: its "
                                                 "first line must be \"jmach-state 1\". The window stays as it was.",
                                                 opened[-1]]),
              ("handout", got.get("handout", [None] * 8)[:2] == [True, False] and got["handout"][2] > 100 and
               got["handout"][3:5] == [5, 12] and "γ 0.06" in got["handout"][5] and got["handout"][6] == state and
               got["handout"][7] == origin + "/jmach.html#state=" + urllib.parse.quote(state, safe="-_.!~*'()")),
              ("Copy link in a frame", got.get("link") == origin + "/jmach.html#state=" +
               urllib.parse.quote(state, safe="-_.!~*'()")),
              ("#embed", got.get("embed") == [False, "0.12"])]
    failed = [what for what, ok in checks if not ok]
    return f"user: {', '.join(failed)} ({got})" if failed else f"ok user: {len(checks)} checks"


def main():
    global CHROMIUM
    parser = argparse.ArgumentParser()
    parser.add_argument("web_build")
    parser.add_argument("reference", type=os.path.abspath)
    parser.add_argument("--chromium", default="chromium")
    args = parser.parse_args()
    CHROMIUM, tool = args.chromium, args.reference
    pages = {"data/KATJO-D20G15.txt": os.path.join(args.web_build, "jmach.html"),
             "tests/regression/holey-table.txt": os.path.join(args.web_build, "jmach-test-table.html")}
    table, page = os.path.join(ROOT, "data", "KATJO-D20G15.txt"), pages["data/KATJO-D20G15.txt"]
    checks = [lambda s=s, t=t: compare(s, open(os.path.join(ROOT, "tests", "regression", s), encoding="utf-8").read(),
                                       tool, os.path.join(ROOT, t), pages[t]) for s, t, _ in RECORDINGS]
    checks += [lambda b=b: compare(f"bad line {b!r}", "thickness 12\n\n" + b + "\nalpha 3\n", tool, table, page)
               for b in BAD_LINES]
    checks += [lambda: links(page), lambda: downloads(page), lambda: user(args.web_build)]
    failed = 0
    for check in checks:
        result = check()
        failed += not result.startswith("ok ")
        print(result, flush=True)
    print(f"{len(checks) - failed} passed, {failed} failed")
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main()
