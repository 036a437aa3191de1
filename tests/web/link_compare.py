#!/usr/bin/env python3
"""Links to the state: a link copied after a script reopens the page in the
state the script left, and a fragment that is not such a link opens the page
at its start with a notice.

    link_compare.py PAGE SCRIPT_TOOL TABLE [--holes] [--chromium BIN]

For each script the page runs it (#script=...&link=1) and writes the link
"Copy link" makes; that link is opened with one probe line after it, whose
JSON line (every key, the charts and the references) must equal jmach-script's
last line for the same script and probe. Each hostile or malformed fragment
must leave the page at its start (jmach-script's line for the probe alone),
show the notice, and raise no error in the page. In a frame, "Copy link"
either reports the copy or shows the same link to copy by hand. With
--holes the table lacks pairs: a link through a profile it lacks answers
the message on the way and ends in the same state as the actions.
"""
import argparse
import html
import json
import os
import re
import subprocess
import sys
import tempfile
import urllib.parse

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from browser_compare import desktop, same  # noqa: E402

PROBE = "probe pressure 0.3 -1"

# Each reaches a state whose parts a link must carry: references kept at
# other inputs (one kept twice, one cleared), a typed Mach number read by a
# chain and another typed after it, the sonic level, both views; the Mach
# bar moved after a typed number; nothing at all.
SCRIPTS = [
    ("everything", "thickness 12\ncamber 4\nalpha 2\nkeep Picture_CL\nkeep pressure\nalpha 4\nmach 50\n"
                   "keep Picture_CL\nkeep profil\nunkeep profil\ntype-mach 0.55\nclick pressure\nsonic on\n"
                   "keep Mcrit\nxm 25\ntype-mach 0.6x\nsweep camber\nflow\n"),
    ("typed-then-bar", "type-mach 0.3\nclick profil\nthickness 8\nkeep pressure\nmach 20\nnp 31\nalpha -3\n"
                       "sweep alpha\n"),
    ("sonic-reference", "thickness 15\nalpha 6\nmach 60\nsonic on\nkeep pressure\nsonic off\nalpha 2\n"),
    ("start", ""),
]

# Through profiles the table with holes lacks (thickness 0.05 and 0.20 at
# camber 0.15): the charts keep the last profile found, and a reference is
# kept there.
SCRIPTS_HOLES = [
    ("missing-profile", "thickness 5\ncamber 15\nalpha 3\nkeep pressure\nthickness 20\nmach 40\n"),
]

HOSTILE = ["thickness 999", "click pressure", "export pressure p.csv", "thickness 12\nfly 3",
           "<img src=x onerror=alert(1)>", "type-mach " + "7" * 200, "keep wing", "thickness 12\n" * 300,
           "type-mach 0.5\x00", "thickness 1.5", "about", "probe pressure 0.3 -1", "thickness  12"]


def chromium_run(chromium, url, budget=20000):
    with tempfile.TemporaryDirectory() as profile:
        run = subprocess.run(
            [chromium, "--headless", "--no-sandbox", "--disable-gpu", "--no-first-run",
             "--disable-background-networking", "--disable-component-update", "--disable-sync",
             "--allow-file-access-from-files", "--enable-logging=stderr", "--v=0",
             "--user-data-dir=" + profile, f"--virtual-time-budget={budget}", "--dump-dom", url],
            capture_output=True, timeout=300)
    return run.stdout.decode("utf-8"), run.stderr.decode("utf-8", "replace")


def element(dom, tag, ident):
    m = re.search(rf'<{tag} id="{ident}"[^>]*>(.*?)</{tag}>', dom, re.S)
    return html.unescape(m.group(1)) if m else None


def page_errors(log):
    """The page's own errors in Chromium's log."""
    return [line for line in log.splitlines() if "CONSOLE" in line and ("Uncaught" in line or "Error" in line)]


def opened(chromium, url):
    """The JSON line of the probe run after the link's state, the notice, errors."""
    dom, log = chromium_run(chromium, url + "&script=" + urllib.parse.quote(PROBE, safe="") + "&charts=1")
    out = element(dom, "pre", "script-output")
    # The notice goes by itself after a while: its text stays.
    notice = re.search(r'<p id="notice" role="status"[^>]*>(.*?)</p>', dom, re.S)
    shown = html.unescape(notice.group(1)) if notice and notice.group(1) else None
    return (json.loads(out.strip()) if out and out.strip() else None), shown, page_errors(log)


def check_links(page, tool, table, chromium, scripts):
    results = []
    base = "file://" + os.path.abspath(page)
    for name, text in scripts:
        dom, _ = chromium_run(chromium, base + "#script=" + urllib.parse.quote(text, safe="") + "&link=1")
        link = element(dom, "p", "script-link")
        if not link or not link.startswith(base):
            results.append(f"{name}: the page wrote no link ({link!r})")
            continue
        state = link[len(base):]
        if (state == "") != (text == ""):
            results.append(f"{name}: link {link!r}")
            continue
        got, notice, errors = opened(chromium, link if state else base + "#")
        want = json.loads(desktop(tool, table, text + PROBE + "\n")[0][-1])
        diff = same(want, got, "") if got else "no line"
        # The lookup message answered on the way is told in the notice.
        if scripts is SCRIPTS_HOLES and notice == "bu profil veritabanında yok":
            notice = None
        lines = urllib.parse.unquote(state.replace("#state=", "")).count("\n") + bool(state)
        if diff or notice or errors:
            results.append(f"{name}: {diff or ''} {notice or ''} {errors or ''} (link {link})")
        else:
            results.append(f"ok {name}: a link of {lines} actions reopens the state")
    if scripts is SCRIPTS_HOLES:
        return results
    start = json.loads(desktop(tool, table, PROBE + "\n")[0][-1])
    for bad in HOSTILE + [None]:
        fragment = "#state=%E0%A4%A" if bad is None else "#state=" + urllib.parse.quote(bad, safe="")
        got, notice, errors = opened(chromium, base + fragment)
        diff = same(start, got, "") if got else "no line"
        ok = not diff and notice and "start" in notice and not errors
        results.append(f"ok hostile {fragment[:40]!r}" if ok else f"hostile {fragment[:60]!r}: {diff} {notice!r} {errors}")
    return results


# "Copy link" as a user chooses it: the clipboard reports the copy, or the
# box shows the link selected to copy by hand; either way the same link.
HARNESS = """<!doctype html><meta charset="utf-8"><body>
<iframe id="page" style="width:1280px;height:800px" src="%(url)s"></iframe><script>
document.getElementById("page").onload = () => setTimeout(() => {
  const d = document.getElementById("page").contentWindow.document, byId = (id) => d.getElementById(id);
  byId("Mn_Link").click();
  // The clipboard answers when it will: wait for the notice or the box.
  const started = Date.now();
  const wait = () => (byId("notice").hidden && !byId("link-box").open && Date.now() - started < 5000)
    ? setTimeout(wait, 100) : report();
  const report = () => {
    const out = document.body.appendChild(document.createElement("pre"));
    out.id = "result";
    out.textContent = JSON.stringify({want: byId("script-link").textContent, notice: byId("notice").hidden ? null :
      byId("notice").textContent, box: byId("link-box").open ? byId("link-text").value : null,
      focused: d.activeElement.id});
  };
  setTimeout(wait, 100);
}, 0);
</script>"""


def check_button(page, chromium):
    url = "file://" + os.path.abspath(page) + "#script=" + urllib.parse.quote(SCRIPTS[0][1], safe="") + "&link=1"
    with tempfile.TemporaryDirectory() as folder:
        harness = os.path.join(folder, "copy.html")
        with open(harness, "w", encoding="utf-8") as f:
            f.write(HARNESS % {"url": url})
        dom, _ = chromium_run(chromium, "file://" + harness)
    result = element(dom, "pre", "result")
    if not result:
        return "copy link: the frame reported nothing"
    got = json.loads(result)
    if got["notice"] == "Link copied." or (got["box"] == got["want"] and got["focused"] == "link-text"):
        return "ok copy link: " + ("copied" if got["box"] is None else "shown to copy")
    return f"copy link: {got}"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("page")
    parser.add_argument("script_tool")
    parser.add_argument("table")
    parser.add_argument("--holes", action="store_true")
    parser.add_argument("--chromium", default="chromium")
    args = parser.parse_args()
    results = check_links(args.page, args.script_tool, args.table, args.chromium,
                          SCRIPTS_HOLES if args.holes else SCRIPTS)
    if not args.holes:
        results.append(check_button(args.page, args.chromium))
    for r in results:
        print(r, flush=True)
    failed = sum(not r.startswith("ok ") for r in results)
    print(f"{len(results) - failed} passed, {failed} failed")
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main()
