// Audits the one-file page for accessibility and good practice:
//
//     node audit_page.mjs PAGE.html TOOLS-DIR
//
// TOOLS-DIR holds node_modules with lighthouse and axe-core (puppeteer-core
// comes with lighthouse). The page is served from 127.0.0.1, which the
// browser treats as a secure origin, and opened in the system's Chromium
// (CHROME_PATH, default /usr/bin/chromium).
//
// Lighthouse runs once on the opened page at a desktop size (1280x800) and
// once at a phone size (390x844, three device pixels a CSS pixel); its
// accessibility and best-practices scores must be 1, performance is only
// shown. axe-core then checks, at both sizes, the window as it opens, after
// a few changes of the airfoil and the flow, with a chart's menu open from
// the keyboard, with the About box open and with the sweep and flow field
// panels open; each must have no violation and no console error.
//
// Every finding is printed with the audit or rule, the element's selector
// and markup and why it fails, then a summary of one line a check. Exits 1 at any failure.
import { createServer } from 'node:http';
import { readFileSync } from 'node:fs';
import { join, resolve } from 'node:path';
import { pathToFileURL } from 'node:url';
import { gzipSync } from 'node:zlib';

const [pagePath, toolsDir] = process.argv.slice(2).map((p) => p && resolve(p));
if (!pagePath || !toolsDir) {
  console.error('usage: audit_page.mjs PAGE.html TOOLS-DIR');
  process.exit(2);
}
const CHROME = process.env.CHROME_PATH || '/usr/bin/chromium';
const CHROME_FLAGS = ['--headless=new', '--no-sandbox', '--disable-gpu'];
const GATED = ['accessibility', 'best-practices'];

const VIEWPORTS = {
  desktop: { width: 1280, height: 800, deviceScaleFactor: 1, isMobile: false, hasTouch: false },
  phone: { width: 390, height: 844, deviceScaleFactor: 3, isMobile: true, hasTouch: true },
};

const fromTools = (path) => import(pathToFileURL(join(toolsDir, 'node_modules', path)).href);

// ---- The page's server ----

// Only the page itself; anything else the page asks for is a missing file
// and is listed, since the page is meant to need nothing beside it.
const missing = new Set();
function serve() {
  const page = readFileSync(pagePath);
  const zipped = gzipSync(page);
  const server = createServer((req, res) => {
    const path = new URL(req.url, 'http://127.0.0.1').pathname;
    if (path !== '/jmach.html') {
      missing.add(path);
      res.writeHead(404, { 'Content-Type': 'text/plain' }).end('not found');
      return;
    }
    const gzip = /\bgzip\b/.test(req.headers['accept-encoding'] || '');
    res.writeHead(200, {
      'Content-Type': 'text/html; charset=utf-8',
      'Cache-Control': 'no-cache',
      ...(gzip ? { 'Content-Encoding': 'gzip' } : {}),
    });
    res.end(gzip ? zipped : page);
  });
  return new Promise((done) => server.listen(0, '127.0.0.1', () => done(server)));
}

// ---- Printing Lighthouse's details ----

const cut = (text, n = 400) => (text.length > n ? text.slice(0, n) + '…' : text);

// The elements an audit names (selector, markup, why it fails), else its
// items as JSON, at most `limit` of them.
function detailLines(details, limit) {
  if (!details) return [];
  const items = details.type === 'list' ? details.items.flatMap((d) => d.items || []) : details.items || [];
  const lines = items.slice(0, limit).map((item) => {
    const node = item.node || Object.values(item).find((v) => v && v.type === 'node');
    return '    - ' + (node ? [node.selector, node.snippet && cut(node.snippet), node.explanation]
      .filter(Boolean).join('\n        ') : cut(JSON.stringify(item), 300));
  });
  if (items.length > limit) lines.push(`    … and ${items.length - limit} more`);
  return lines;
}

// The audits of a category that keep its score below 1 (and those of no
// weight that fail, marked so), with their details; those that could not
// run, by the reason.
function failingAudits(lhr, categoryId, limit) {
  const lines = [], unrun = new Map();
  for (const ref of lhr.categories[categoryId].auditRefs) {
    const audit = lhr.audits[ref.id];
    const mode = audit.scoreDisplayMode;
    if (mode === 'error') {
      unrun.set(audit.errorMessage, [...(unrun.get(audit.errorMessage) || []), audit.id]);
    } else if (['binary', 'numeric', 'metricSavings'].includes(mode) && audit.score !== null && audit.score < 1) {
      lines.push(`  ${audit.id}: ${audit.title}${audit.displayValue ? ` (${audit.displayValue})` : ''}` +
        `${ref.weight ? '' : ' [no weight]'} score ${audit.score}`);
      lines.push(...detailLines(audit.details, limit));
    }
  }
  for (const [reason, ids] of unrun) lines.push(`  could not run: ${ids.join(', ')}: ${reason}`);
  return lines;
}

// ---- Lighthouse ----

async function lighthouseRun(url, viewport, tools) {
  const { lighthouse, chromeLauncher, desktopConfig } = tools;
  const emulation = { mobile: viewport.isMobile, width: viewport.width, height: viewport.height,
    deviceScaleFactor: viewport.deviceScaleFactor, disabled: false };
  const config = viewport.isMobile
    ? { extends: 'lighthouse:default', settings: { formFactor: 'mobile', screenEmulation: emulation } }
    : { ...desktopConfig, settings: { ...desktopConfig.settings, screenEmulation: emulation } };
  // The audit ends the browser itself when it is stopped (killAll).
  const chrome = await chromeLauncher.launch({ chromePath: CHROME, chromeFlags: CHROME_FLAGS, logLevel: 'silent',
    handleSIGINT: false });
  try {
    const result = await lighthouse(url, { port: chrome.port, logLevel: 'error', output: 'json',
      onlyCategories: [...GATED, 'performance'], disableFullPageScreenshot: true }, config);
    return result.lhr;
  } finally {
    await chrome.kill();
  }
}

function lighthouseCheck(lhr, label) {
  const scores = Object.fromEntries(Object.entries(lhr.categories).map(([id, c]) => [id, c.score]));
  const lines = [`== Lighthouse ${label}: ` +
    Object.entries(scores).map(([id, s]) => `${id} ${s === null ? 'none' : s.toFixed(2)}`).join(', ')];
  if (lhr.runtimeError) lines.push(`  run failed: ${lhr.runtimeError.code} ${lhr.runtimeError.message}`);
  for (const warning of lhr.runWarnings || []) lines.push(`  warning: ${warning}`);
  for (const id of GATED) {
    const failing = failingAudits(lhr, id, 25);
    if (failing.length) lines.push(` ${id}:`, ...failing);
  }
  const metrics = ['first-contentful-paint', 'largest-contentful-paint', 'total-blocking-time',
    'cumulative-layout-shift', 'speed-index'].map((id) => lhr.audits[id])
    .filter(Boolean).map((a) => `${a.id} ${a.displayValue ?? '-'}`);
  lines.push(` performance (shown, not required): ${metrics.join(', ')}`, ...failingAudits(lhr, 'performance', 5));
  const ok = !lhr.runtimeError && GATED.every((id) => scores[id] === 1);
  const summary = GATED.concat('performance')
    .map((id) => `${id} ${scores[id] === null || scores[id] === undefined ? 'none' : scores[id].toFixed(2)}`)
    .join(', ');
  return { name: `lighthouse ${label}`, ok, summary, lines };
}

// ---- axe-core in the page's states ----

const SCRIPT_CHANGES = 'thickness 12\ncamber 4\nalpha 4\nmach 50';
// The flow field needs a profile, which only a first lookup makes: a
// scroll bar moves before the panels open.
const SCRIPT_PANELS = 'thickness 12\nsweep thickness\nflow';

// Each state: the address's fragment and what is done once the page runs;
// `reached` tells in the page that the state is there.
const STATES = [
  { name: 'start', hash: '' },
  { name: 'changes', hash: '#script=' + encodeURIComponent(SCRIPT_CHANGES), script: true },
  { name: 'chart menu', hash: '', act: async (page) => {
    await page.focus('#pressure');
    await page.keyboard.down('Shift');
    await page.keyboard.press('F10');
    await page.keyboard.up('Shift');
  }, reached: () => {
    const menu = document.getElementById('chart-menu');
    return !menu.hidden && menu.contains(document.activeElement);
  } },
  { name: 'about box', hash: '', act: (page) => page.click('#Mn_About'),
    reached: () => document.getElementById('Form_About').open },
  { name: 'panels', hash: '#script=' + encodeURIComponent(SCRIPT_PANELS), script: true,
    reached: () => ['sweep-view', 'flow-view'].every((id) => {
      const panel = document.getElementById(id);
      return panel !== null && panel.checkVisibility();
    }) },
];

const STATE_TIMEOUT = 20000;

async function axeCheck(browser, url, axeSource, state, viewportName) {
  const context = await browser.createBrowserContext();
  const page = await context.newPage();
  const errors = [], warnings = [];
  const where = (loc) => (loc && loc.url ? ` (${loc.url.startsWith('data:') ? 'data:…' : loc.url}` +
    `${loc.lineNumber !== undefined ? ':' + (loc.lineNumber + 1) : ''})` : '');
  page.on('console', (msg) => {
    const type = msg.type();
    if (type === 'error') errors.push('console error: ' + msg.text() + where(msg.location()));
    else if (type === 'warn' || type === 'warning') warnings.push('console warning: ' + msg.text() + where(msg.location()));
  });
  page.on('pageerror', (error) => errors.push('page error: ' + (error.stack || error.message || String(error))));
  page.on('dialog', (dialog) => dialog.dismiss());
  const lines = [];
  let violations = [], incomplete = [];
  try {
    await page.setViewport(VIEWPORTS[viewportName]);
    await page.goto(url + state.hash, { waitUntil: 'load' });
    await page.waitForFunction(() => document.documentElement.dataset.loadMs !== undefined ||
      !document.getElementById('startup-error').hidden, { timeout: STATE_TIMEOUT });
    const startupError = await page.$eval('#startup-error', (p) => (p.hidden ? '' : p.textContent));
    if (startupError) throw new Error('the page did not start: ' + startupError);
    if (state.script) {
      await page.waitForSelector('#script-status[data-state]', { timeout: STATE_TIMEOUT });
      const status = await page.$eval('#script-status', (p) => p.textContent);
      if (status !== 'done') throw new Error('the script stopped: ' + status);
    }
    if (state.act) await state.act(page);
    if (state.reached) {
      await page.waitForFunction(state.reached, { timeout: 5000 }).catch(async () => {
        const output = await page.$eval('#script-output', (p) => p.textContent).catch(() => '');
        throw new Error('the state was not reached' + (output ? '; the script wrote:\n' + cut(output, 2000) : ''));
      });
    }
    // Two frames, for what the change paints and logs.
    await page.evaluate(() => new Promise((done) => requestAnimationFrame(() => requestAnimationFrame(done))));
    await page.evaluate(axeSource);
    ({ violations, incomplete } = await page.evaluate(() => window.axe.run().then((r) => ({
      violations: r.violations, incomplete: r.incomplete.map((i) => ({ id: i.id, targets: i.nodes.map((n) => n.target.join(' ')) })) }))));
  } catch (error) {
    errors.push('check failed: ' + error.message);
  } finally {
    await context.close();
  }
  const label = `${state.name}, ${viewportName} ${VIEWPORTS[viewportName].width}x${VIEWPORTS[viewportName].height}`;
  lines.push(`== axe ${label}`);
  for (const v of violations) {
    lines.push(`  ${v.id} (${v.impact}): ${v.help} — ${v.helpUrl}`);
    for (const node of v.nodes) {
      lines.push(`    - ${node.target.join(' ')}`, `        ${cut(node.html)}`,
        ...node.failureSummary.split('\n').map((l) => '        ' + l.trim()));
    }
  }
  // What axe could not decide (colours over the charts' canvases, say) is
  // shown for a look, not failed.
  for (const i of incomplete) {
    lines.push(`  to review by hand: ${i.id} (${i.targets.length}): ${i.targets.slice(0, 6).join(', ')}` +
      (i.targets.length > 6 ? ', …' : ''));
  }
  lines.push(...errors.map((e) => '  ' + e), ...warnings.map((w) => '  ' + w));
  const nodes = violations.reduce((n, v) => n + v.nodes.length, 0);
  return {
    name: `axe ${label}`,
    ok: violations.length === 0 && errors.length === 0,
    summary: `${violations.length} violations (${nodes} elements), ${errors.length} errors, ` +
      `${warnings.length} warnings, ${incomplete.length} to review`,
    lines,
  };
}

// ---- The run ----

async function main() {
  const started = Date.now();
  const [{ default: lighthouse }, chromeLauncher, { default: desktopConfig }, puppeteerModule] = await Promise.all([
    fromTools('lighthouse/core/index.js'), fromTools('chrome-launcher/dist/index.js'),
    fromTools('lighthouse/core/config/desktop-config.js'),
    fromTools('puppeteer-core/lib/esm/puppeteer/puppeteer-core.js')]);
  const puppeteer = puppeteerModule.default || puppeteerModule;
  const axeSource = readFileSync(join(toolsDir, 'node_modules', 'axe-core', 'axe.min.js'), 'utf8');
  const server = await serve();
  const url = `http://127.0.0.1:${server.address().port}/jmach.html`;
  const checks = [];
  let lap = Date.now();
  const report = (check) => {
    check.summary += ` [${((Date.now() - lap) / 1000).toFixed(1)} s]`;
    lap = Date.now();
    checks.push(check);
    console.log(check.lines.join('\n'));
  };
  let browser = null;
  const stop = async (status) => {
    stopping = true;
    server.close();
    chromeLauncher.killAll();
    if (browser) {
      await Promise.race([browser.close().catch(() => {}), new Promise((done) => setTimeout(done, 2000))]);
      browser.process()?.kill('SIGKILL');
    }
    process.exit(status);
  };
  process.on('SIGTERM', () => stop(143));
  process.on('SIGINT', () => stop(130));
  try {
    for (const name of Object.keys(VIEWPORTS)) {
      const v = VIEWPORTS[name];
      const label = `${name} ${v.width}x${v.height}`;
      try {
        report(lighthouseCheck(await lighthouseRun(url, v, { lighthouse, chromeLauncher, desktopConfig }), label));
      } catch (error) {
        report({ name: `lighthouse ${label}`, ok: false, summary: 'did not run',
          lines: [`== Lighthouse ${label}: did not run: ${error.stack || error}`] });
      }
    }
    browser = await puppeteer.launch({ executablePath: CHROME, headless: true,
      args: CHROME_FLAGS.filter((f) => !f.startsWith('--headless')) });
    for (const name of Object.keys(VIEWPORTS)) {
      for (const state of STATES) report(await axeCheck(browser, url, axeSource, state, name));
    }
  } finally {
    if (browser) await browser.close().catch(() => {});
    server.close();
  }
  if (missing.size) {
    checks.push({ name: 'files beside the page', ok: false, summary: [...missing].join(' '), lines: [] });
  }
  console.log('\n== Summary');
  for (const c of checks) console.log(`${c.ok ? 'pass' : 'FAIL'}  ${c.name}: ${c.summary}`);
  const failed = checks.filter((c) => !c.ok).length;
  console.log(`${failed ? failed + ' of ' + checks.length + ' checks failed' : 'all ' + checks.length + ' checks pass'}` +
    ` (${((Date.now() - started) / 1000).toFixed(0)} s)`);
  process.exit(failed ? 1 : 0);
}

let stopping = false;  // stopped by a signal: what fails as the browsers go is no news
main().catch((error) => {
  if (stopping) return;
  console.error(error.stack || String(error));
  process.exit(2);
});
