// Checks that the page audit fails a page for what is wrong with it and
// passes it where nothing is:
//
//     node audit_page_test.mjs TOOLS-DIR
//
// The page under audit is a small stand-in for the window with the hooks
// the audit drives (a chart that opens its menu on Shift+F10, the About
// box, the #script= report and the two view panels). On a wide screen it
// is clean; on a narrow one it shows a picture with no text alternative,
// asks for a file that is not there and logs an error. So the desktop's
// checks must all pass, and the phone's must all fail, naming the fault.
import { execFileSync } from 'node:child_process';
import { mkdtempSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';

const tools = resolve(process.argv[2] || 'build-a11y-tools');
const here = dirname(fileURLToPath(import.meta.url));

const PAGE = `<!doctype html>
<html lang="en">
<head><meta charset="utf-8"><meta name="viewport" content="width=device-width, initial-scale=1">
<title>Audit stand-in</title><link rel="icon" href="data:,"></head>
<body>
<main><h1>Audit stand-in</h1>
<button type="button" id="Mn_About">About</button>
<div id="pressure" role="img" aria-label="Surface pressure" tabindex="0">chart</div>
<div id="chart-menu" role="menu" aria-label="Chart menu" hidden>
<button type="button" role="menuitem">Keep as reference</button></div>
<section id="sweep-view" aria-label="Sweep" hidden>sweep</section>
<section id="flow-view" aria-label="Flow" hidden>flow</section>
<p id="startup-error" hidden></p></main>
<dialog id="Form_About" aria-label="About"><p>About</p></dialog>
<script>
const byId = (id) => document.getElementById(id);
byId('pressure').addEventListener('keydown', (e) => {
  if (e.key !== 'F10' || !e.shiftKey) return;
  byId('chart-menu').hidden = false;
  byId('chart-menu').querySelector('button').focus();
});
byId('Mn_About').addEventListener('click', () => byId('Form_About').showModal());
const script = decodeURIComponent((location.hash.match(/script=([^&]*)/) || [])[1] || '');
if (script.includes('flow')) byId('sweep-view').hidden = byId('flow-view').hidden = false;
if (script) {
  const status = document.createElement('p');
  status.id = 'script-status';
  status.textContent = 'done';
  status.dataset.state = 'done';
  document.querySelector('main').append(status);
}
if (matchMedia('(max-width: 600px)').matches) {
  const img = document.createElement('img');
  img.src = 'chart-missing.png';
  document.querySelector('main').append(img);
  console.error('a fault on narrow screens');
}
document.documentElement.dataset.loadMs = '1';
</script>
</body>
</html>
`;

const folder = mkdtempSync(join(tmpdir(), 'audit-page-test-'));
let log = '', status = 0;
try {
  writeFileSync(join(folder, 'jmach.html'), PAGE);
  try {
    log = execFileSync('node', [join(here, 'audit_page.mjs'), join(folder, 'jmach.html'), tools],
      { encoding: 'utf8', stdio: ['ignore', 'pipe', 'inherit'] });
  } catch (error) {
    log = error.stdout;
    status = error.status;
  }
} finally {
  rmSync(folder, { recursive: true, force: true });
}

const failures = [];
const expect = (ok, what) => { if (!ok) failures.push(what); };
const summary = log.slice(log.indexOf('== Summary'));
const line = (name) => summary.split('\n').find((l) => l.includes(' ' + name + ':')) || '';
const section = (head) => {
  const from = log.indexOf('== ' + head);
  return from < 0 ? '' : log.slice(from, log.indexOf('\n==', from + 1));
};

expect(status === 1, `the audit exits 1, not ${status}`);
expect(!log.includes('state was not reached'), 'every state is reached');
const states = ['start', 'changes', 'chart menu', 'about box', 'panels'];
for (const name of ['lighthouse desktop 1280x800', ...states.map((s) => `axe ${s}, desktop 1280x800`)]) {
  expect(line(name).startsWith('pass'), `${name} passes: ${line(name)}`);
}
for (const name of ['lighthouse phone 390x844', ...states.map((s) => `axe ${s}, phone 390x844`)]) {
  expect(line(name).startsWith('FAIL'), `${name} fails: ${line(name)}`);
}
const lighthouse = section('Lighthouse phone');
expect(/accessibility 0\.\d+/.test(lighthouse), 'Lighthouse scores accessibility below 1 on the phone');
expect(/image-alt: .*\n\s+- node: body > main > img\n\s+<img src="chart-missing.png">/.test(lighthouse),
  'Lighthouse names image-alt and the picture');
expect(/errors-in-console: [^\n]*\n[^\n]*a fault on narrow screens/.test(lighthouse),
  'Lighthouse lists the logged error');
for (const name of states) {
  const axe = section(`axe ${name}, phone`);
  // Behind the open About box the page is inert, and axe rightly passes over it.
  expect(name === 'about box' || /image-alt \(critical\)[^\n]*\n\s+- img\n\s+<img src="chart-missing.png">/.test(axe),
    `axe names image-alt and the picture (${name})`);
  expect(axe.includes('console error: a fault on narrow screens'), `axe lists the logged error (${name})`);
}
expect(/FAIL {2}files beside the page: \/chart-missing\.png/.test(summary), 'the missing file is listed');

if (failures.length) {
  console.log(log);
  console.log(failures.map((f) => 'FAIL ' + f).join('\n'));
  process.exit(1);
}
console.log('The audit fails the faulty page for its faults and passes the clean one');
