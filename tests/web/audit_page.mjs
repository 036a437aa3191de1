// Audits the one-file page for accessibility and good practice:
//
//     node audit_page.mjs PAGE.html TOOLS-DIR
//
// TOOLS-DIR holds node_modules with lighthouse and axe-core (puppeteer-core
// comes with lighthouse). The page is served from 127.0.0.1, a secure origin,
// and opened in the system's Chromium (CHROME_PATH, default /usr/bin/chromium).
//
// Lighthouse runs at a desktop size (1280x800) and a phone size (390x844,
// three device pixels a CSS pixel); its accessibility and best-practices
// scores must be 1, performance is only shown. axe-core then checks, at both
// sizes, the window as it opens, after a few changes, with a chart's menu
// open from the keyboard, with the About box open, with the sweep and flow
// field panels open, with the File menu open and with the handout shown;
// each must have no violation and no console error.
// Findings are printed with the element's selector and markup, then a
// summary of one line a check. Exits 1 at any failure.
import { createServer } from 'node:http';
import { readFileSync } from 'node:fs';
import { join, resolve } from 'node:path';
import { pathToFileURL } from 'node:url';

const [pagePath, toolsDir] = process.argv.slice(2).map((p) => p && resolve(p));
if (!pagePath || !toolsDir) {
  console.error('usage: audit_page.mjs PAGE.html TOOLS-DIR');
  process.exit(2);
}
const CHROME = process.env.CHROME_PATH || '/usr/bin/chromium';
const GATED = ['accessibility', 'best-practices'];
const VIEWPORTS = {
  desktop: { width: 1280, height: 800, deviceScaleFactor: 1, isMobile: false, hasTouch: false },
  phone: { width: 390, height: 844, deviceScaleFactor: 3, isMobile: true, hasTouch: true },
};
const fromTools = (path) => import(pathToFileURL(join(toolsDir, 'node_modules', path)).href);
const cut = (text, n = 400) => (text.length > n ? text.slice(0, n) + '…' : text);
const score = (s) => (s === null || s === undefined ? 'none' : s.toFixed(2));

// Only the page itself is served; anything else it asks for is listed as a
// failure, since the page is meant to need nothing beside it.
const missing = new Set();
function serve() {
  const page = readFileSync(pagePath);
  const server = createServer((req, res) => {
    const path = new URL(req.url, 'http://127.0.0.1').pathname;
    if (path !== '/jmach.html') return missing.add(path) && res.writeHead(404).end('not found');
    res.writeHead(200, { 'Content-Type': 'text/html; charset=utf-8', 'Cache-Control': 'no-cache' }).end(page);
  });
  return new Promise((done) => server.listen(0, '127.0.0.1', () => done(server)));
}

// A category's audits that score below 1, with the elements they name.
function failingAudits(lhr, categoryId) {
  const lines = [];
  for (const { id } of lhr.categories[categoryId].auditRefs) {
    const a = lhr.audits[id];
    if (a.scoreDisplayMode === 'error') lines.push(`  could not run: ${id}: ${a.errorMessage}`);
    if (!['binary', 'numeric', 'metricSavings'].includes(a.scoreDisplayMode) || a.score === null || a.score >= 1) continue;
    lines.push(`  ${id}: ${a.title} score ${a.score}`);
    for (const item of (a.details?.items || []).slice(0, 25))
      lines.push('    - ' + (item.node ? `${item.node.selector} ${cut(item.node.snippet || '')}` : cut(JSON.stringify(item), 300)));
  }
  return lines;
}

async function lighthouseCheck(url, viewport, label, { lighthouse, chromeLauncher, desktopConfig }) {
  const emulation = { mobile: viewport.isMobile, width: viewport.width, height: viewport.height,
    deviceScaleFactor: viewport.deviceScaleFactor, disabled: false };
  const config = viewport.isMobile
    ? { extends: 'lighthouse:default', settings: { formFactor: 'mobile', screenEmulation: emulation } }
    : { ...desktopConfig, settings: { ...desktopConfig.settings, screenEmulation: emulation } };
  // Ended here, or by killAll when the audit is stopped.
  const chrome = await chromeLauncher.launch({ chromePath: CHROME, logLevel: 'silent', handleSIGINT: false,
    chromeFlags: ['--headless=new', '--no-sandbox', '--disable-gpu'] });
  let lhr;
  try {
    ({ lhr } = await lighthouse(url, { port: chrome.port, logLevel: 'error', output: 'json',
      onlyCategories: [...GATED, 'performance'], disableFullPageScreenshot: true }, config));
  } finally {
    await chrome.kill();
  }
  const scores = Object.fromEntries(Object.entries(lhr.categories).map(([id, c]) => [id, c.score]));
  const summary = GATED.concat('performance').map((id) => `${id} ${score(scores[id])}`).join(', ');
  const lines = [`== Lighthouse ${label}: ${summary}`, ...(lhr.runWarnings || []).map((w) => `  warning: ${w}`)];
  if (lhr.runtimeError) lines.push(`  run failed: ${lhr.runtimeError.code} ${lhr.runtimeError.message}`);
  for (const id of GATED) lines.push(...failingAudits(lhr, id));
  return { name: `lighthouse ${label}`, ok: !lhr.runtimeError && GATED.every((id) => scores[id] === 1), summary, lines };
}

// The window's states: the address's fragment, what is done once the page
// runs, and `reached`, which tells in the page that the state is there. The
// flow field needs a profile, which only a first lookup makes.
const scriptHash = (text) => '#script=' + encodeURIComponent(text);
const STATES = [
  { name: 'start', hash: '' },
  { name: 'changes', hash: scriptHash('thickness 12\ncamber 4\nalpha 4\nmach 50'), script: true },
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
  { name: 'file menu', hash: '', act: (page) => page.click('#Mn_File'),
    reached: () => document.getElementById('file-menu').contains(document.activeElement) },
  { name: 'handout', hash: '#state=' + encodeURIComponent('jmach-state 1\nthickness 12\nkeep pressure\nalpha 4\n'),
    act: async (page) => {
      await page.click('#Mn_File');
      await page.click('#Mn_Handout');
    }, reached: () => document.getElementById('handout').checkVisibility() },
  { name: 'panels', hash: scriptHash('thickness 12\nsweep thickness\nflow'), script: true,
    reached: () => ['sweep-view', 'flow-view'].every((id) => document.getElementById(id)?.checkVisibility()) },
];

async function axeCheck(browser, url, axeSource, state, viewportName) {
  const context = await browser.createBrowserContext();
  const page = await context.newPage();
  const errors = [];
  page.on('console', (msg) => msg.type() === 'error' && errors.push(`console error: ${msg.text()}`));
  page.on('pageerror', (error) => errors.push('page error: ' + (error.stack || error)));
  page.on('dialog', (dialog) => dialog.dismiss());
  let violations = [];
  try {
    await page.setViewport(VIEWPORTS[viewportName]);
    await page.goto(url + state.hash, { waitUntil: 'load' });
    await page.waitForFunction(() => document.documentElement.dataset.loadMs !== undefined ||
      !document.getElementById('startup-error').hidden, { timeout: 20000 });
    const startupError = await page.$eval('#startup-error', (p) => (p.hidden ? '' : p.textContent));
    if (startupError) throw new Error('the page did not start: ' + startupError);
    if (state.script && await page.waitForSelector('#script-status[data-state]', { timeout: 20000 }) &&
        await page.$eval('#script-status', (p) => p.textContent) !== 'done') throw new Error('the script stopped');
    if (state.act) await state.act(page);
    if (state.reached) await page.waitForFunction(state.reached, { timeout: 5000 });
    // Two frames, for what the change paints and logs.
    await page.evaluate(() => new Promise((done) => requestAnimationFrame(() => requestAnimationFrame(done))));
    await page.evaluate(axeSource);
    violations = await page.evaluate(() => window.axe.run().then((r) => r.violations));
  } catch (error) {
    errors.push('check failed: ' + error.message);
  } finally {
    await context.close();
  }
  const v = VIEWPORTS[viewportName], label = `${state.name}, ${viewportName} ${v.width}x${v.height}`;
  const lines = [`== axe ${label}`];
  for (const { id, impact, help, nodes } of violations)
    lines.push(`  ${id} (${impact}): ${help}`, ...nodes.map((n) => `    - ${n.target.join(' ')} ${cut(n.html)}`));
  lines.push(...errors.map((e) => '  ' + e));
  return { name: `axe ${label}`, ok: violations.length === 0 && errors.length === 0, lines,
    summary: `${violations.length} violations, ${errors.length} errors` };
}

async function main() {
  const [{ default: lighthouse }, chromeLauncher, { default: desktopConfig }, puppeteerModule] = await Promise.all([
    fromTools('lighthouse/core/index.js'), fromTools('chrome-launcher/dist/index.js'),
    fromTools('lighthouse/core/config/desktop-config.js'), fromTools('puppeteer-core/lib/esm/puppeteer/puppeteer-core.js')]);
  const puppeteer = puppeteerModule.default || puppeteerModule;
  const axeSource = readFileSync(join(toolsDir, 'node_modules', 'axe-core', 'axe.min.js'), 'utf8');
  const server = await serve();
  const url = `http://127.0.0.1:${server.address().port}/jmach.html`;
  const checks = [];
  const report = (check) => checks.push(check) && console.log(check.lines.join('\n'));
  let browser = null;
  // Stopped by a signal: end the browsers too.
  process.on('SIGTERM', () => (chromeLauncher.killAll(), browser?.process()?.kill('SIGKILL'), process.exit(143)));
  try {
    for (const [name, v] of Object.entries(VIEWPORTS)) {
      const label = `${name} ${v.width}x${v.height}`;
      report(await lighthouseCheck(url, v, label, { lighthouse, chromeLauncher, desktopConfig }).catch((error) =>
        ({ name: `lighthouse ${label}`, ok: false, summary: 'did not run', lines: [`== Lighthouse ${label}: ${error.stack}`] })));
    }
    browser = await puppeteer.launch({ executablePath: CHROME, headless: true, args: ['--no-sandbox', '--disable-gpu'] });
    for (const name of Object.keys(VIEWPORTS))
      for (const state of STATES) report(await axeCheck(browser, url, axeSource, state, name));
  } finally {
    if (browser) await browser.close().catch(() => {});
    server.close();
  }
  if (missing.size) checks.push({ name: 'files beside the page', ok: false, summary: [...missing].join(' ') });
  console.log('\n== Summary');
  for (const c of checks) console.log(`${c.ok ? 'pass' : 'FAIL'}  ${c.name}: ${c.summary}`);
  const failed = checks.filter((c) => !c.ok).length;
  console.log(failed ? `${failed} of ${checks.length} checks failed` : `all ${checks.length} checks pass`);
  process.exit(failed ? 1 : 0);
}

main().catch((error) => (console.error(error.stack || String(error)), process.exit(2)));
