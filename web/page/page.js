// The page of the browser edition, a view of the window that runs in
// WebAssembly: the controls are built from its control table, every event
// is forwarded to it, and the page then shows what it holds (value-box
// texts, tooltips, messages, each chart's drawing painted on a canvas).
// The page itself adds only what a browser does: the scale, the menus and
// the probe tip, files, downloads, the clipboard and the handout's layout.
// Address fragments, parts between '&'s in any order: state=LINES opens a
// state (Copy link writes it), embed leaves out the menu bar (for a frame
// in another page), script=LINES runs a script and shows its JSON lines in
// #script-output (charts=1 with every chart's drawing), bench=N times N
// changes.
(function () {
  'use strict';

  const page = window.jmachPage = {};
  const SURFACE = '#ffffc0';
  const REFERENCE_GREY = '#bebebe';
  // How the charts are used here, after what they show.
  const CHART_USE = ' A click, or Enter, recomputes everything; the context menu (right click, a long press, ' +
    'Shift+F10) saves the chart as an image or its numbers, copies the numbers and keeps a reference.';
  const MCRIT_USE = ' The context menu (right click, a long press, Shift+F10) saves the chart as an image or its ' +
    'numbers, copies the numbers and keeps a reference.';
  // The desktop's view windows at 0.6 of their size here, so that each
  // fits the width of the main window.
  const VIEW_SIZE = 0.6;

  const byId = (id) => document.getElementById(id);
  function element(tag, parent, className, id) {
    const el = document.createElement(tag);
    if (className) el.className = className;
    if (id) el.id = id;
    parent.appendChild(el);
    return el;
  }

  // ---- The WebAssembly window ----

  let M = null;
  const api = {};
  function bindApi() {
    M = window.Module;
    const c = M.cwrap, S = 'string', N = 'number';
    const text = (name, args) => {
      const f = c(name, N, args);
      return (...a) => M.UTF8ToString(f(...a));
    };
    Object.assign(api, {
      start: text('jm_start', []), controls: text('jm_controls', []), tableWarning: text('jm_table_warning', []),
      scroll: c('jm_scroll', N, [S, N]), click: c('jm_click', N, [S]), typeMach: c('jm_type_mach', null, [S]),
      about: c('jm_about', null, []), sonic: c('jm_sonic', null, [N]), keep: c('jm_keep', N, [S, N]),
      sweep: c('jm_sweep', N, [S]), flow: c('jm_flow', null, []), close: c('jm_close', N, [S]),
      shown: text('jm_shown', []), drawing: c('jm_drawing', N, [S]), captions: text('jm_captions', [S]),
      probeText: text('jm_probe_text', [S, N, N]), table: text('jm_table', [S, S]), svg: text('jm_svg', [S]),
      link: text('jm_link', [S]), openState: text('jm_open_state', [S]), script: text('jm_script', [S, N]),
      scriptOutput: text('jm_script_output', []), beginStep: c('jm_begin_step', null, []),
      endStep: c('jm_end_step', N, []), undo: c('jm_undo', N, []), redo: c('jm_redo', N, []),
      saveState: c('jm_save_state', null, []), fileBuffer: c('jm_file_buffer', N, [N]),
      openFile: text('jm_open_file', [S, S]), handout: text('jm_handout', [S, S]),
    });
  }

  let table = null;   // the control table
  let shown = null;   // what the window shows, after the last handler
  let machBox = null; // the value box the user types into
  const pictures = {};  // chart or view name -> {el, canvas, w, h (twips), fg, version, drawing}
  const views = {};     // view name -> {panel, captions, info}

  // ---- Painting a drawing on a canvas ----

  // The packed drawing (see jm_drawing): null before any Scale.
  function drawing(name) {
    const at = api.drawing(name) / 8;
    const d = M.HEAPF64.slice(at, at + M.HEAPF64[at]);
    if (d[1] !== 1) return null;
    const prims = [];
    for (let i = 9; i < d.length; i += 7) {
      const p = { kind: d[i], x1: d[i + 1], y1: d[i + 2], x2: d[i + 3], y2: d[i + 4], r: d[i + 5], colour: d[i + 6] };
      if (p.kind === 2) {
        p.cells = d.subarray(i + 7, i + 7 + p.r * p.colour);
        i += p.r * p.colour;
      }
      prims.push(p);
    }
    return { x1: d[2], y1: d[3], x2: d[4], y2: d[5], grid: d[6], items: prims.slice(0, d[7]),
      reference: d[8] === 1 ? prims.slice(d[7]) : null };
  }

  const cssColour = (c) => '#' + [c & 0xff, (c >> 8) & 0xff, (c >> 16) & 0xff]
    .map((v) => v.toString(16).padStart(2, '0')).join('');

  // Clips a segment to the box (Liang-Barsky): far-off ends stay out of the rasteriser.
  function clip(ax, ay, bx, by, box) {
    const dx = bx - ax, dy = by - ay, p = [-dx, dx, -dy, dy];
    const q = [ax - box.l, box.r - ax, ay - box.t, box.b - ay];
    let t0 = 0, t1 = 1;
    for (let i = 0; i < 4; i++) {
      if (p[i] === 0) {
        if (q[i] < 0) return null;
        continue;
      }
      const t = q[i] / p[i];
      if (p[i] < 0) t0 = Math.max(t0, t); else t1 = Math.min(t1, t);
      if (t0 > t1) return null;
    }
    return [ax + t0 * dx, ay + t0 * dy, ax + t1 * dx, ay + t1 * dy];
  }

  // The drawing on a 2D context, W x H device pixels from its origin, lines `width`
  // pixels wide: grid lines on whole pixels (sharp at any pixel ratio),
  // sloping segments of one colour stroked together, a kept reference in
  // grey over the grid and beneath the curves.
  function paintInto(ctx, pic, W, H, width) {
    ctx.fillStyle = SURFACE;
    ctx.fillRect(0, 0, W, H);
    const d = pic.drawing;
    if (!d || d.x2 === d.x1 || d.y2 === d.y1) return;
    const sx = W / (d.x2 - d.x1), sy = H / (d.y2 - d.y1);
    const box = { l: -4 * width, t: -4 * width, r: W + 4 * width, b: H + 4 * width };
    ctx.lineWidth = width;
    ctx.lineCap = 'square';
    let path = null;
    const flush = () => {
      if (path) ctx.stroke();
      path = null;
    };
    const onGrid = (c) => (width % 2 === 1 ? Math.floor(c) + 0.5 : Math.round(c)) - width / 2;
    const draw = (p, colour) => {
      const ax = (p.x1 - d.x1) * sx, ay = (p.y1 - d.y1) * sy, bx = (p.x2 - d.x1) * sx, by = (p.y2 - d.y1) * sy;
      if (p.kind === 2) {
        flush();
        paintRaster(ctx, p, ax, ay, bx, by);
      } else if (p.kind === 1) {
        const r = Math.abs(p.r * sx);
        if (ax + r < box.l || ax - r > box.r || ay + r < box.t || ay - r > box.b) return;
        flush();
        ctx.beginPath();
        ctx.arc(ax, ay, r, 0, 2 * Math.PI);
        ctx.strokeStyle = colour;
        ctx.stroke();
      } else {
        const c = clip(ax, ay, bx, by, box);
        if (!c) return;
        if (c[0] === c[2] || c[1] === c[3]) {
          flush();
          ctx.fillStyle = colour;
          if (c[1] === c[3]) {
            const lo = Math.floor(Math.min(c[0], c[2])), hi = Math.floor(Math.max(c[0], c[2])) + 1;
            ctx.fillRect(lo, onGrid(c[1]), hi - lo, width);
          } else {
            const lo = Math.floor(Math.min(c[1], c[3])), hi = Math.floor(Math.max(c[1], c[3])) + 1;
            ctx.fillRect(onGrid(c[0]), lo, width, hi - lo);
          }
          return;
        }
        if (path !== colour) {
          flush();
          ctx.beginPath();
          ctx.strokeStyle = path = colour;
        }
        ctx.moveTo(c[0], c[1]);
        ctx.lineTo(c[2], c[3]);
      }
    };
    for (let i = 0; i <= d.items.length; i++) {
      if (d.reference && i === d.grid) for (const p of d.reference) draw(p, REFERENCE_GREY);
      const p = d.items[i];
      if (p) draw(p, p.colour < 0 ? pic.fg : cssColour(p.colour));
    }
    flush();
  }

  // A colour raster (columns in r, rows in colour) over the device
  // rectangle from (ax, ay) to (bx, by), its first row at ay, unsmoothed.
  function paintRaster(ctx, p, ax, ay, bx, by) {
    const off = document.createElement('canvas');
    off.width = p.r;
    off.height = p.colour;
    const octx = off.getContext('2d'), pixels = octx.createImageData(p.r, p.colour);
    p.cells.forEach((c, k) => {
      if (c < 0) return;
      pixels.data.set([c & 0xff, (c >> 8) & 0xff, (c >> 16) & 0xff, 255], 4 * k);
    });
    octx.putImageData(pixels, 0, 0);
    ctx.save();
    ctx.imageSmoothingEnabled = false;
    ctx.translate(ax, ay);
    ctx.scale(bx < ax ? -1 : 1, by < ay ? -1 : 1);
    ctx.drawImage(off, 0, 0, Math.abs(bx - ax), Math.abs(by - ay));
    ctx.restore();
  }

  // CSS pixels per twip: the window's scale, or the chart's own where it
  // takes the page's width (narrow layout).
  let pxPerTwip = 1 / 15;
  function paint(pic) {
    if (!pic.drawing && pic.canvas.width === 0) return;  // the surface's background shows it empty
    const ratio = window.devicePixelRatio || 1, scale = pic.scale || pxPerTwip;
    const W = Math.max(1, Math.round(pic.w * scale * ratio)), H = Math.max(1, Math.round(pic.h * scale * ratio));
    if (pic.canvas.width !== W) pic.canvas.width = W;
    if (pic.canvas.height !== H) pic.canvas.height = H;
    const ctx = pic.canvas.getContext('2d');
    ctx.setTransform(1, 0, 0, 1, 0, 0);
    paintInto(ctx, pic, W, H, Math.max(1, Math.round(ratio * scale * table.window.twips_per_pixel)));
  }

  // Repaints the drawings whose count moved since they were painted, or all.
  function repaint(all) {
    for (const name in pictures) {
      const pic = pictures[name];
      if (views[name] && views[name].panel.hidden) continue;
      const version = shown.versions[name];
      if (version !== pic.version) {
        pic.drawing = drawing(name);
        pic.version = version;
        if (views[name]) placeCaptions(name);
      } else if (!all) {
        continue;
      }
      paint(pic);
    }
  }

  // ---- What the window shows, after every handler ----

  const messageQueue = [];
  let focusBeforeMessage = null;
  let aboutSeen = 0;

  function showNextMessage() {
    const box = byId('message-box');
    if (box.open || messageQueue.length === 0) return;
    byId('message-text').textContent = messageQueue.shift();
    if (!focusBeforeMessage) focusBeforeMessage = document.activeElement;
    box.showModal();
    byId('message-ok').focus();
  }

  const setAttr = (el, key, value) => {
    if (el.getAttribute(key) !== value) el.setAttribute(key, value);
  };

  function refresh() {
    shown = JSON.parse(api.shown());
    for (const name in shown.texts) {
      const box = byId(name);
      if (box.value !== shown.texts[name]) box.value = shown.texts[name];
      const tip = shown.tips[name];
      if (tip === undefined) continue;
      if (box.title !== tip) box.title = tip;
      // The boxes whose tooltip tells the last result are described by it.
      if (box !== machBox && descriptionOf(name).textContent !== tip) descriptionOf(name).textContent = tip;
    }
    for (const name in shown.bars) {
      const slider = byId(name);
      if (slider.value !== String(shown.bars[name])) slider.value = shown.bars[name];
    }
    machBox.classList.toggle('unusable', shown.mach.unusable);
    machBox.classList.toggle('noted', shown.mach.noted);
    setAttr(machBox, 'aria-invalid', String(shown.mach.unusable));
    for (const name in shown.charts) {
      const chart = shown.charts[name], el = pictures[name].el, note = byId(name + '-reference');
      setAttr(el, 'aria-label', chart.text);
      if (note.textContent !== chart.note) note.textContent = chart.note;
      setAttr(el, 'aria-describedby', name + '-description' + (chart.note ? ' ' + note.id : ''));
    }
    for (const name in views) {
      const view = views[name], open = shown.views[name].open;
      if (view.panel.hidden === open) {
        view.panel.hidden = !open;
        if (open && isNarrow()) setScale();  // its chart takes the page's width
      }
      if (open) {
        setAttr(pictures[name].el, 'aria-label', shown.views[name].text);
        if (view.legend.textContent !== shown.views[name].legend) view.legend.textContent = shown.views[name].legend;
        setAttr(pictures[name].el, 'title', shown.views[name].legend);
      }
    }
    const selector = byId('sweep_input');
    if (selector.value !== shown.sweep_input) selector.value = shown.sweep_input;
    setAttr(byId('Mn_Undo'), 'aria-disabled', String(!shown.can_undo));
    setAttr(byId('Mn_Redo'), 'aria-disabled', String(!shown.can_redo));
    repaint(false);
    probeAgain();
    if (shown.about !== aboutSeen) {
      aboutSeen = shown.about;
      const about = byId('Form_About');
      if (!about.open) about.show();
      about.querySelector('.close').focus();
    }
    messageQueue.push(...shown.messages);
    showNextMessage();
  }

  // Runs one handler and shows its outcome; its time is kept for #bench.
  const changeTimes = [];
  function runHandler(handler) {
    if (byId('message-box').open) return;
    finishTyping();
    const start = performance.now();
    handler();
    refresh();
    changeTimes.push(performance.now() - start);
  }

  // ---- The window, built from the control table ----

  const narrowQuery = () => window.matchMedia('(max-width: ' + (table.window.width / table.window.twips_per_pixel - 0.02) + 'px)');
  const isNarrow = () => narrowQuery().matches;

  // The element at its place in twips, with its row and column in the
  // narrow layout.
  function place(el, c, height) {
    el.classList.add('placed');
    for (const [key, v] of [['--l', c.left], ['--t', c.top], ['--w', c.width], ['--h', height || c.height]]) {
      el.style.setProperty(key, v);
    }
    if (c.row) {
      el.style.setProperty('--row', c.row);
      el.style.setProperty('--col', c.column);
    }
    return el;
  }

  const descriptionOf = (name) =>
    byId(name + '-description') || element('span', byId('descriptions'), '', name + '-description');

  // Named by its visible caption and then by what it is, described by its
  // meaning; `tip`: the description is its tooltip too.
  function describe(el, c, tip) {
    if (!c.help_name) return;
    element('span', byId('descriptions'), '', c.name + '-name').textContent = c.help_name;
    el.setAttribute('aria-labelledby', c.label + ' ' + c.name + '-name');
    descriptionOf(c.name).textContent = c.help;
    el.setAttribute('aria-describedby', c.name + '-description');
    if (tip) el.title = c.help;
  }

  function buildWindow() {
    const parents = { '': byId('client') };
    for (const c of table.controls) {
      const parent = parents[c.parent];
      if (c.kind === 'frame') {
        const frame = parents[c.name] = place(element('div', parent, 'frame', c.name), c);
        frame.setAttribute('role', 'group');
        if (c.caption) {
          const text = element('span', frame, 'caption', c.name + '-caption');
          text.textContent = c.caption;
          text.lang = 'tr';
          frame.setAttribute('aria-labelledby', text.id);
        }
      } else if (c.kind === 'label' || c.kind === 'chart_label') {
        const kind = c.kind === 'label' ? (c.font === 'greek' ? 'label greek' : 'label')
          : 'label ' + (c.font === 'alpha' ? 'greek' : c.font);
        const label = place(element('span', parent, kind, c.name), c);
        label.textContent = c.caption;
        if (c.kind === 'chart_label') label.setAttribute('aria-hidden', 'true');
      } else if (c.kind === 'value_box') {
        const box = place(element('input', parent, 'value', c.name), c, 285);
        Object.assign(box, { type: 'text', value: c.caption, spellcheck: false, autocomplete: 'off' });
        describe(box, c, !c.typed);
        if (c.typed) {
          machBox = box;
          // Typing runs nothing; a run of typing, until the box is left
          // or Enter, is one step, as on the desktop.
          box.addEventListener('input', () => {
            beginSpan('typing');
            api.typeMach(box.value);
          });
          box.addEventListener('change', finishTyping);
          box.addEventListener('blur', finishTyping);
        } else {
          box.readOnly = true;
          box.tabIndex = -1;  // Tab walks the inputs
        }
      } else if (c.kind === 'scroll_bar') {
        buildScrollBar(parent, c);
      } else if (c.kind === 'picture') {
        const el = parents[c.name] = place(element('div', parent, 'picture', c.name), c);
        addPicture(c.name, el, c.width, c.height, c.foreground);
        if (c.clickable) {
          // A click on a caption belongs to the caption, not to the chart.
          pictures[c.name].canvas.addEventListener('click', () => clickChart(c.name));
          el.addEventListener('keydown', (e) => {
            if (e.key !== 'Enter' && e.key !== ' ') return;
            e.preventDefault();
            clickChart(c.name);
          });
        }
        el.tabIndex = 0;
        el.setAttribute('role', 'img');
        el.setAttribute('aria-roledescription', 'chart');
        descriptionOf(c.name).textContent = c.help + (c.clickable ? CHART_USE : MCRIT_USE);
        wireReading(c.name, el);
      }
    }
  }

  // Steps that span several actions, each open until its end: a run of
  // typing in the Mach box, a drag of a scroll bar's thumb.
  const spans = { typing: false, dragging: false };
  function beginSpan(kind) {
    if (!spans[kind]) api.beginStep();
    spans[kind] = true;
  }
  function endSpan(kind) {
    if (!spans[kind]) return;
    spans[kind] = false;
    if (api.endStep()) refresh();
  }
  function finishTyping() { endSpan('typing'); }
  function endDrag() { endSpan('dragging'); }

  function addPicture(name, el, w, h, fg) {
    const canvas = element('canvas', el);
    canvas.width = canvas.height = 0;
    pictures[name] = { el: el, canvas: canvas, w: w, h: h, fg: fg, version: -1, drawing: null };
  }

  // A horizontal scroll bar: arrows that step by the small change and a
  // slider. Its handler runs when the value has changed (after an arrow, a
  // key, or when the dragged thumb is released), never while it is dragged.
  function buildScrollBar(parent, c) {
    const bar = place(element('div', parent, 'scrollbar'), c, 255);
    const down = element('button', bar), slider = element('input', bar, '', c.name), up = element('button', bar);
    down.textContent = '◀';
    up.textContent = '▶';
    for (const arrow of [down, up]) {
      arrow.type = 'button';
      arrow.tabIndex = -1;
      arrow.setAttribute('aria-hidden', 'true');
    }
    // Any whole value, as dragging the thumb allows.
    Object.assign(slider, { type: 'range', min: c.min, max: c.max, step: 1, value: c.value });
    describe(slider, c, true);
    slider.addEventListener('change', () => runHandler(() => api.scroll(c.name, Number(slider.value))));
    // A drag of the thumb, from press to release, is one step.
    slider.addEventListener('pointerdown', () => {
      finishTyping();
      beginSpan('dragging');
    });
    slider.addEventListener('blur', endDrag);
    down.addEventListener('click', () => moveBar(slider, Number(slider.value) - c.small));
    up.addEventListener('click', () => moveBar(slider, Number(slider.value) + c.small));
    slider.addEventListener('keydown', (e) => {
      const step = { ArrowLeft: -c.small, ArrowDown: -c.small, ArrowRight: c.small, ArrowUp: c.small,
        PageDown: -c.large, PageUp: c.large }[e.key];
      const target = step !== undefined ? Number(slider.value) + step : { Home: c.min, End: c.max }[e.key];
      if (target === undefined) return;
      e.preventDefault();
      moveBar(slider, target);
    });
  }

  function moveBar(slider, value) {
    const v = String(Math.min(Number(slider.max), Math.max(Number(slider.min), value)));
    if (v === slider.value) return;
    slider.value = v;
    slider.dispatchEvent(new Event('change'));
  }

  const clickChart = (name) => runHandler(() => api.click(name));

  // ---- The views beside the window: panels below it ----

  function buildViews() {
    const holder = element('div', byId('Form1'), '', 'views');
    for (const info of table.views) {
      const name = info.name;
      const panel = element('section', holder, 'view', name + '-view');
      panel.hidden = true;
      panel.setAttribute('aria-label', info.title);
      const head = element('div', panel, 'view-head');
      element('span', head, 'view-title').textContent = info.title;
      if (name === 'sweep') {
        const selector = element('select', head, '', 'sweep_input');
        selector.setAttribute('aria-label', 'Input swept');
        selector.title = table.sweep.help;
        table.sweep.inputs.forEach((input, i) => {
          const option = element('option', selector);
          option.value = input;
          option.textContent = table.sweep.choices[i];
        });
        selector.addEventListener('change', () => runHandler(() => api.sweep(selector.value)));
      }
      for (const [kind, what] of [['png', 'image'], ['svg', 'image'], ['csv', 'numbers']]) {
        const button = element('button', head, 'view-file');
        button.type = 'button';
        button.textContent = kind.toUpperCase();
        button.title = 'Save the ' + info.title[0].toLowerCase() + info.title.slice(1) + ' ' + what + ' as ' +
          kind.toUpperCase();
        button.setAttribute('aria-label', button.title);
        button.addEventListener('click', () => save(name, kind));
      }
      const close = element('button', head, 'close');
      close.type = 'button';
      close.textContent = '✕';
      close.setAttribute('aria-label', 'Close ' + info.title);
      close.addEventListener('click', () => runHandler(() => api.close(name)));
      const legend = element('p', panel, 'view-legend');
      legend.textContent = info.legend;
      const el = element('div', panel, 'view-chart', name);
      const w = info.width * VIEW_SIZE * table.window.twips_per_pixel, h = info.height * VIEW_SIZE * table.window.twips_per_pixel;
      el.style.setProperty('--w', w);
      el.style.setProperty('--h', h);
      el.setAttribute('role', 'img');
      el.title = info.legend;
      addPicture(name, el, w, h, '#000000');
      const captions = element('div', el, 'view-captions');
      captions.setAttribute('aria-hidden', 'true');
      views[name] = { panel: panel, captions: captions, info: info, legend: legend };
    }
  }

  // A view's tick numbers and axis titles over its chart, where the window
  // places them (in the view's desktop pixels).
  function placeCaptions(name) {
    const view = views[name], shift = ['0', '-50%', '-100%'];
    view.captions.textContent = '';
    for (const c of JSON.parse(api.captions(name))) {
      const span = element('span', view.captions, c.bold ? 'view-caption title' : 'view-caption');
      span.textContent = c.text;
      span.style.left = (100 * c.x / view.info.width) + '%';
      span.style.top = (100 * c.y / view.info.height) + '%';
      span.style.transform = 'translate(' + shift[c.h] + ', ' + shift[c.v] + ')';
    }
  }

  // ---- Reading the charts: the probe tip and the chart menu ----

  let probing = null;  // {name, x, y}: the chart and client point the tip shows
  let menuChart = null;
  const longPress = { timer: 0, x: 0, y: 0 };

  function wireReading(name, el) {
    el.addEventListener('pointermove', (e) => {
      if (e.pointerType !== 'mouse' && Math.hypot(e.clientX - longPress.x, e.clientY - longPress.y) > 10) {
        clearTimeout(longPress.timer);
      }
      showProbe(name, e.clientX, e.clientY);
    });
    el.addEventListener('pointerdown', (e) => {
      if (e.pointerType === 'mouse') return;
      showProbe(name, e.clientX, e.clientY);  // a tap
      // A long press opens the menu, where the browser does not on its own.
      const x = longPress.x = e.clientX, y = longPress.y = e.clientY;
      clearTimeout(longPress.timer);
      longPress.timer = setTimeout(() => menuChart !== name && openMenu(name, x, y), 550);
    });
    for (const type of ['pointerup', 'pointercancel']) el.addEventListener(type, () => clearTimeout(longPress.timer));
    el.addEventListener('pointerleave', (e) => e.pointerType === 'mouse' && hideProbe());
    el.addEventListener('contextmenu', (e) => {
      e.preventDefault();
      if (menuChart === name) return;  // opened already by its key
      if (e.button === 2) openMenu(name, e.clientX, e.clientY); else openMenuAtChart(name);
    });
    el.addEventListener('keydown', (e) => {
      if (e.target !== el || !(e.key === 'ContextMenu' || e.key === 'F10' && e.shiftKey)) return;
      e.preventDefault();
      openMenuAtChart(name);
    });
    el.setAttribute('aria-haspopup', 'menu');
    el.setAttribute('aria-keyshortcuts', 'Shift+F10');
    element('span', el, '', name + '-reference').hidden = true;
  }

  // The user point under a client point: the device pixel under it mapped
  // back through the chart's scale as paint() maps the other way.
  function userPoint(pic, clientX, clientY) {
    const d = pic.drawing, W = pic.canvas.width, H = pic.canvas.height;
    const rect = pic.canvas.getBoundingClientRect();
    if (!d || d.x2 === d.x1 || d.y2 === d.y1 || !W || !H || !(rect.width > 0 && rect.height > 0)) return null;
    return { x: d.x1 + (clientX - rect.left) / rect.width * (d.x2 - d.x1),
      y: d.y1 + (clientY - rect.top) / rect.height * (d.y2 - d.y1) };
  }

  function showProbe(name, clientX, clientY) {
    const tip = byId('probe-tip');
    const at = menuChart === null ? userPoint(pictures[name], clientX, clientY) : null;
    const text = at ? api.probeText(name, at.x, at.y) : '';
    if (text === '') return hideProbe();
    probing = { name: name, x: clientX, y: clientY };
    if (tip.textContent !== text) tip.textContent = text;
    tip.hidden = false;
    // Below and right of the pointer, or on its other side near an edge.
    const gap = 14, w = tip.offsetWidth, h = tip.offsetHeight;
    tip.style.left = (clientX + gap + w <= innerWidth ? clientX + gap : Math.max(0, clientX - gap - w)) + 'px';
    tip.style.top = (clientY + gap + h <= innerHeight ? clientY + gap : Math.max(0, clientY - gap - h)) + 'px';
  }

  function hideProbe() {
    probing = null;
    if (!byId('probe-tip').hidden) byId('probe-tip').hidden = true;
  }

  const probeAgain = () => probing && showProbe(probing.name, probing.x, probing.y);

  // The chart's menu at a client point; the items that do not apply to
  // the chart hidden, Clear reference disabled while none is kept.
  function openMenu(name, clientX, clientY) {
    if (byId('message-box').open) return;
    closeMenu(false);
    hideProbe();
    const menu = byId('chart-menu');
    menuChart = name;
    menu.setAttribute('aria-label', table.charts.titles[table.charts.names.indexOf(name)] + ' chart menu');
    byId('menu-clear').disabled = shown.charts[name].note === '';
    byId('menu-sonic').hidden = name !== 'pressure';
    byId('menu-sweep').hidden = name !== 'Mcrit';
    byId('menu-flow').hidden = name !== 'profil';
    byId('menu-sonic').setAttribute('aria-checked', String(shown.sonic));
    menu.hidden = false;
    menu.style.left = Math.max(0, Math.min(clientX, innerWidth - menu.offsetWidth)) + 'px';
    menu.style.top = Math.max(0, Math.min(clientY, innerHeight - menu.offsetHeight)) + 'px';
    menuItems()[0].focus();
  }

  function openMenuAtChart(name) {
    const rect = pictures[name].el.getBoundingClientRect();
    openMenu(name, rect.left + 8, rect.top + 8);
  }

  function closeMenu(refocus) {
    if (menuChart === null) return;
    const el = pictures[menuChart].el;
    menuChart = null;
    byId('chart-menu').hidden = true;
    if (refocus) el.focus();
  }

  const menuItems = () => Array.from(byId('chart-menu').querySelectorAll('button')).filter((b) => !b.hidden && !b.disabled);

  // A menu's keys: arrows, Home and End move, Escape and Tab close it.
  function menuKeys(menu, items, close) {
    menu.addEventListener('keydown', (e) => {
      const all = items(), at = all.indexOf(document.activeElement);
      const to = { ArrowDown: at + 1, ArrowUp: at - 1, Home: 0, End: all.length - 1 }[e.key];
      if (to !== undefined) {
        e.preventDefault();
        all[(to + all.length) % all.length].focus();
      } else if (e.key === 'Escape' || e.key === 'Tab') {
        e.preventDefault();
        close();
      }
    });
    menu.addEventListener('contextmenu', (e) => e.preventDefault());
  }

  const MENU_ACTIONS = {
    'menu-keep': (name) => runHandler(() => api.keep(name, 1)),
    'menu-clear': (name) => runHandler(() => api.keep(name, 0)),
    'menu-sweep': () => runHandler(() => api.sweep(byId('sweep_input').value)),
    'menu-flow': () => runHandler(() => api.flow()),
    'menu-sonic': () => runHandler(() => api.sonic(shown.sonic ? 0 : 1)),
    'menu-png': (name) => save(name, 'png'),
    'menu-svg': (name) => save(name, 'svg'),
    'menu-csv': (name) => save(name, 'csv'),
    'menu-copy-data': (name) => copyData(name),
  };

  function wireMenu() {
    const menu = byId('chart-menu');
    for (const item of menu.querySelectorAll('button')) {
      item.addEventListener('click', () => {
        const name = menuChart;
        if (name === null || item.disabled) return;
        closeMenu(true);
        MENU_ACTIONS[item.id](name);
      });
    }
    menuKeys(menu, menuItems, () => closeMenu(true));
    document.addEventListener('pointerdown', (e) => {
      if (menuChart !== null && !menu.contains(e.target)) closeMenu(false);
      if (barMenu && !barMenu.menu.contains(e.target) && e.target !== barMenu.button) closeBarMenu(false);
      if (probing && e.pointerType !== 'mouse' && !pictures[probing.name].el.contains(e.target)) hideProbe();
    }, true);
    window.addEventListener('blur', () => {
      closeMenu(false);
      closeBarMenu(false);
    });
  }

  // ---- The menu bar: File and Edit ----

  let barMenu = null;  // the open one: {button, menu}

  function openBarMenu(button) {
    closeBarMenu(false);
    closeMenu(false);
    hideProbe();
    const menu = byId(button.getAttribute('aria-controls')), rect = button.getBoundingClientRect();
    menu.hidden = false;
    menu.style.left = Math.max(0, Math.min(rect.left, innerWidth - menu.offsetWidth)) + 'px';
    menu.style.top = rect.bottom + 'px';
    button.setAttribute('aria-expanded', 'true');
    barMenu = { button: button, menu: menu };
    menu.querySelector('button').focus();
  }

  function closeBarMenu(refocus) {
    if (!barMenu) return;
    const { button, menu } = barMenu;
    barMenu = null;
    menu.hidden = true;
    button.setAttribute('aria-expanded', 'false');
    if (refocus) button.focus();
  }

  const undo = () => runHandler(() => api.undo());
  const redo = () => runHandler(() => api.redo());

  function wireMenuBar() {
    const actions = { Mn_Open: chooseFile, Mn_Save: () => api.saveState(), Mn_Link: copyLink,
      Mn_Handout: showHandout, Mn_Undo: undo, Mn_Redo: redo };
    for (const button of byId('menu').querySelectorAll('[aria-haspopup=menu]')) {
      const menu = byId(button.getAttribute('aria-controls'));
      button.addEventListener('click', () => {
        if (barMenu && barMenu.button === button) closeBarMenu(true);
        else openBarMenu(button);
      });
      button.addEventListener('keydown', (e) => {
        if (e.key !== 'ArrowDown') return;
        e.preventDefault();
        openBarMenu(button);
      });
      menuKeys(menu, () => Array.from(menu.querySelectorAll('button')), () => closeBarMenu(true));
      for (const item of menu.querySelectorAll('button')) {
        item.addEventListener('click', () => {
          if (item.getAttribute('aria-disabled') === 'true') return;
          closeBarMenu(true);
          actions[item.id]();
        });
      }
    }
    // Mac keys: the Command key's.
    if (/Mac|iPhone|iPad/.test(navigator.platform)) {
      byId('Mn_Undo').querySelector('kbd').textContent = '\u2318Z';
      byId('Mn_Redo').querySelector('kbd').textContent = '\u21e7\u2318Z';
    }
    // Undo and Redo from anywhere but the Mach box, where the browser's
    // own undo of the typed text stays, and the handout.
    document.addEventListener('keydown', (e) => {
      if (!(e.ctrlKey || e.metaKey) || e.altKey || e.target === machBox || !byId('handout').hidden) return;
      const key = e.key.toLowerCase();
      const act = key === 'z' ? (e.shiftKey ? redo : undo) : key === 'y' && !e.shiftKey ? redo : null;
      if (!act) return;
      e.preventDefault();
      act();
    });
    window.addEventListener('pointerup', endDrag);
    window.addEventListener('pointercancel', endDrag);
    // A state file opened: chosen, or dropped anywhere on the page.
    byId('file-input').addEventListener('change', () => {
      const file = byId('file-input').files[0];
      if (file) openFile(file);
    });
    document.addEventListener('dragover', (e) => {
      if (!e.dataTransfer || !Array.from(e.dataTransfer.types).includes('Files')) return;
      e.preventDefault();
      e.dataTransfer.dropEffect = 'copy';
    });
    document.addEventListener('drop', (e) => {
      const file = e.dataTransfer && e.dataTransfer.files[0];
      if (!file) return;
      e.preventDefault();
      openFile(file);
    });
    byId('handout-print').addEventListener('click', () => window.print());
    byId('handout-back').addEventListener('click', hideHandout);
    byId('handout').addEventListener('keydown', (e) => e.key === 'Escape' && hideHandout());
  }

  function chooseFile() {
    byId('file-input').value = '';
    byId('file-input').click();
  }

  // A state holds at most 8000 characters of at most four bytes each: past
  // its first 64 KiB a file cannot be one, which the window tells from
  // those. The bytes go as they are: the window checks that they are UTF-8.
  const FILE_BYTES = 65536;
  function openFile(file) {
    const open = (bytes, unread) => {
      hideHandout();
      runHandler(() => {
        const at = api.fileBuffer(bytes.length);
        M.HEAPU8.set(bytes, at);  // after the call: the memory may have grown
        const message = api.openFile(file.name, unread);
        if (message !== '') messageQueue.push(message);
      });
    };
    file.slice(0, FILE_BYTES).arrayBuffer().then((buffer) => open(new Uint8Array(buffer), ''),
      () => open(new Uint8Array(0), 'the browser could not read it'));
  }

  // ---- The handout: the window's state on one printed page ----

  const today = () => {
    const d = new Date(), two = (n) => String(n).padStart(2, '0');
    return d.getFullYear() + '-' + two(d.getMonth() + 1) + '-' + two(d.getDate());
  };

  function showHandout() {
    const h = JSON.parse(api.handout(today(), pageAddress()));
    const sheet = byId('handout-sheet'), svgs = new DOMParser();
    sheet.textContent = '';
    element('h1', sheet, '', 'handout-title').textContent = h.title;
    element('p', sheet, 'handout-date').textContent = h.date;
    const tables = element('div', sheet, 'handout-tables');
    for (const [caption, rows] of [['Inputs', h.inputs], ['Results', h.results]]) {
      const t = element('table', tables);
      element('caption', t).textContent = caption;
      for (const row of rows) {
        const tr = element('tr', t);
        row.forEach((text, i) => {
          const cell = element(i ? 'td' : 'th', tr);
          cell.textContent = text;
          if (!i) cell.scope = 'row';
        });
      }
    }
    const charts = element('div', sheet, 'handout-charts');
    h.charts.forEach((title, i) => {
      const figure = element('figure', charts);
      element('figcaption', figure).textContent = title;
      const svg = document.importNode(svgs.parseFromString(api.svg(table.charts.names[i]), 'image/svg+xml').documentElement, true);
      svg.setAttribute('role', 'img');
      svg.setAttribute('aria-label', title);
      svg.style.setProperty('--w', parseFloat(svg.getAttribute('width')));  // one scale for all five
      figure.appendChild(svg);
    });
    if (h.notes.length) {
      element('h2', sheet).textContent = 'Notes';
      const list = element('ul', sheet);
      for (const note of h.notes) element('li', list).textContent = note;
    }
    element('h2', sheet).textContent = 'State';
    const state = element('pre', sheet, '', 'handout-state');
    state.textContent = h.state;
    state.tabIndex = 0;  // it may scroll: the keyboard reaches it
    const link = element('p', sheet, 'handout-link');
    link.textContent = 'Link: ';
    Object.assign(element('a', link), { href: h.link, textContent: h.link });
    byId('Form1').hidden = true;
    byId('handout').hidden = false;
    document.documentElement.classList.add('handout-shown');
    byId('handout-print').focus();
  }

  function hideHandout() {
    if (byId('handout').hidden) return;
    byId('handout').hidden = true;
    byId('Form1').hidden = false;
    document.documentElement.classList.remove('handout-shown');
    fit();
    byId('Mn_File').focus();
  }

  // ---- Files and the clipboard ----

  // Downloads one at a time, a moment apart: a browser drops some of many
  // started at once.
  const downloads = [];
  let downloading = false;
  page.download = function (file, bytes, type) {
    downloads.push([file, new Blob([bytes], { type: type })]);
    if (!downloading) nextDownload();
  };
  function nextDownload() {
    const item = downloads.shift();
    downloading = item !== undefined;
    if (!item) return;
    const url = URL.createObjectURL(item[1]);
    const a = element('a', document.body);
    a.href = url;
    a.download = item[0];
    a.click();
    a.remove();
    setTimeout(() => URL.revokeObjectURL(url), 60000);
    setTimeout(nextDownload, 250);
  }

  const base = (file) => file.slice(file.lastIndexOf('/') + 1);

  // A chart or view (or "window": every chart at its place) painted at
  // twice its desktop size with its captions, downloaded as PNG under
  // `file`; false when there is nothing to paint.
  page.savePng = function (name, file) {
    const k = 2, tpp = table.window.twips_per_pixel;
    const canvas = document.createElement('canvas'), ctx = canvas.getContext('2d');
    // The chart's size in desktop pixels, which its captions are placed in.
    const desktop = (n) => (views[n] ? views[n].info : { width: pictures[n].w / tpp, height: pictures[n].h / tpp });
    const chart = (n, x, y, w, h) => {
      const size = desktop(n);
      ctx.save();
      ctx.translate(x, y);
      paintInto(ctx, { drawing: drawing(n), fg: pictures[n].fg }, w, h, k);
      ctx.setTransform(1, 0, 0, 1, x, y);
      for (const c of JSON.parse(api.captions(n))) {
        ctx.font = (c.italic ? 'italic ' : '') + (c.bold ? 'bold ' : '') + c.size * k + 'px ' + c.family;
        ctx.fillStyle = '#000000';
        ctx.textAlign = ['left', 'center', 'right'][c.h];
        ctx.textBaseline = ['top', 'middle', 'bottom'][c.v];
        ctx.fillText(c.text, c.x * w / size.width, c.y * h / size.height);
      }
      ctx.restore();
    };
    if (name === 'window') {
      refresh();  // the value boxes as a script left them
      canvas.width = k * table.window.width / tpp;
      canvas.height = k * table.window.height / tpp;
      ctx.fillStyle = '#f0f0f0';
      ctx.fillRect(0, 0, canvas.width, canvas.height);
      for (const c of table.controls) {
        const at = (v) => k * v / tpp, p = table.controls.find((f) => f.name === c.parent) || { left: 0, top: 0 };
        const x = at(c.left + p.left), y = at(c.top + p.top);
        ctx.font = 11 * k + 'px "DejaVu Sans", sans-serif';
        ctx.textBaseline = 'top';
        ctx.fillStyle = '#000000';
        if (c.kind === 'picture') chart(c.name, x, y, at(c.width), at(c.height));
        else if (c.kind === 'frame') ctx.strokeRect(x, y, at(c.width), at(c.height));
        else if (c.kind === 'label') ctx.fillText(c.caption, x, y);
        else if (c.kind === 'value_box') ctx.fillText(byId(c.name).value, x + k * 2, y + k * 2);
      }
    } else {
      if (!pictures[name]) return false;
      canvas.width = k * desktop(name).width;
      canvas.height = k * desktop(name).height;
      chart(name, 0, 0, canvas.width, canvas.height);
    }
    const bytes = atob(canvas.toDataURL('image/png').split(',')[1]);
    page.download(base(file), Uint8Array.from(bytes, (ch) => ch.charCodeAt(0)), 'image/png');
    return true;
  };

  function save(name, kind) {
    if (views[name] && views[name].panel.hidden) return notify('There is nothing to save: the view is closed.');
    try {
      if (kind === 'png') page.savePng(name, name + '.png');
      else if (kind === 'svg') page.download(name + '.svg', api.svg(name), 'image/svg+xml');
      else page.download(name + '.csv', api.table(name, 'csv'), 'text/csv');
    } catch (e) {
      notify('The file could not be saved: ' + (e && e.message ? e.message : e));
    }
  }

  function copyData(name) {
    const refused = () => notify('Copying is not allowed here: save the data as CSV instead.');
    const text = api.table(name, 'tsv');
    if (text === '') return notify('There is nothing to copy: the view is closed.');
    if (!navigator.clipboard || !navigator.clipboard.writeText) return refused();
    navigator.clipboard.writeText(text).then(() => notify('The numbers are on the clipboard.'), refused);
  }

  const pageAddress = () => location.href.replace(/#.*$/, '');

  // "Copy link": on the clipboard where the browser allows it, else in a
  // box to copy from.
  function copyLink() {
    const link = api.link(pageAddress());
    const showBox = () => {
      byId('link-text').value = link;
      if (!byId('link-box').open) byId('link-box').showModal();
      byId('link-text').focus();
      byId('link-text').select();
    };
    if (!navigator.clipboard || !window.isSecureContext) return showBox();
    navigator.clipboard.writeText(link).then(() => notify('Link copied.'), showBox);
  }

  // A short notice at the foot of the window that goes by itself.
  let noticeTimer = 0;
  function notify(text) {
    const notice = byId('notice');
    notice.textContent = text;
    notice.hidden = false;
    clearTimeout(noticeTimer);
    noticeTimer = setTimeout(() => { notice.hidden = true; }, 6000);
  }

  function wireDialogs() {
    const box = byId('message-box');
    byId('message-ok').addEventListener('click', () => box.close());
    box.addEventListener('cancel', (e) => e.preventDefault());  // answered with OK only
    box.addEventListener('close', () => {
      if (messageQueue.length > 0) return showNextMessage();
      if (focusBeforeMessage && focusBeforeMessage.focus) focusBeforeMessage.focus();
      focusBeforeMessage = null;
    });
    const about = byId('Form_About');  // modeless: the main window stays usable
    byId('Mn_About').addEventListener('click', () => runHandler(() => api.about()));
    about.querySelector('.close').addEventListener('click', () => about.close());
    about.addEventListener('keydown', (e) => e.key === 'Escape' && about.close());
    byId('link-box').querySelector('.close').addEventListener('click', () => byId('link-box').close());
  }

  // ---- Scale ----

  // The window's scale, as the page's first script set it before anything
  // was drawn; on a narrow screen each chart takes the page's width.
  function setScale() {
    const narrow = isNarrow(), w = table.window, root = document.documentElement;
    root.classList.toggle('narrow', narrow);
    // The menu bar is 300 twips high, and left out in a frame (#embed).
    pxPerTwip = narrow ? 1 / w.twips_per_pixel : Math.max(0.6 / w.twips_per_pixel,
      Math.min(innerWidth / w.width, innerHeight / (w.height + (root.classList.contains('embed') ? 0 : 300))));
    document.documentElement.style.setProperty('--tw', pxPerTwip + 'px');
    for (const pic of Object.values(pictures)) {
      const width = narrow ? pic.el.clientWidth || pic.el.parentElement.clientWidth : 0;
      pic.scale = width > 0 ? width / pic.w : null;
    }
  }

  function fit() {
    closeMenu(false);
    closeBarMenu(false);
    hideProbe();
    setScale();
    repaint(true);
  }

  // ---- The address's fragment ----

  // The fragment's parts, as they stand (still percent-encoded).
  function fragment() {
    const out = {};
    for (const part of location.hash.replace(/^#/, '').split('&')) {
      const eq = part.indexOf('=');
      if (eq > 0) out[part.slice(0, eq)] = part.slice(eq + 1);
      else if (part) out[part] = '';
    }
    return out;
  }

  function runScript(encoded, charts) {
    const holder = element('section', byId('Form1'), '', 'script-report');
    holder.setAttribute('aria-label', 'Script report');
    const status = element('p', holder, '', 'script-status');
    const output = element('pre', holder, '', 'script-output');
    output.tabIndex = 0;  // it scrolls: the keyboard reaches it
    const result = api.script(encoded, charts ? 1 : 0);
    output.textContent = api.scriptOutput();
    status.textContent = result;
    status.dataset.state = result === 'done' ? 'done' : 'error';
    refresh();
  }

  // #bench=N: N changes of the first two scroll bars, each timed from the
  // change to the repainted charts; N from 1 to MAX_BENCH.
  const MAX_BENCH = 10000;
  const BENCH_REFUSED = '#bench= takes a whole number of changes from 1 to 10000: nothing was timed.';
  function runBench(count, loadMs) {
    changeTimes.length = 0;
    const bars = table.controls.filter((c) => c.kind === 'scroll_bar').slice(0, 2);
    for (let i = 0; i < count; i++) {
      const c = bars[i % 2], slider = byId(c.name);
      moveBar(slider, c.min + (Number(slider.value) - c.min + 7) % (c.max - c.min + 1));
      while (byId('message-box').open) byId('message-ok').click();
    }
    const sorted = changeTimes.slice().sort((a, b) => a - b);
    const at = (q) => sorted[Math.min(sorted.length - 1, Math.floor(q * sorted.length))];
    element('pre', document.body, '', 'bench-output').textContent = JSON.stringify({ load_ms: loadMs,
      changes: sorted.length, median_ms: at(0.5), p90_ms: at(0.9), max_ms: sorted[sorted.length - 1] });
  }

  function start() {
    bindApi();
    const error = api.start();
    if (error !== '') {
      byId('Form1').hidden = true;
      byId('startup-error').textContent = error;
      byId('startup-error').hidden = false;
      return;
    }
    const warning = api.tableWarning();
    if (warning !== '') console.warn('jmach: ' + warning);
    table = JSON.parse(api.controls());
    setScale();
    buildWindow();
    buildViews();
    if (isNarrow()) setScale();  // the charts' widths, now laid out
    wireDialogs();
    wireMenu();
    wireMenuBar();
    refresh();
    document.body.getBoundingClientRect();
    const loadMs = performance.now();
    document.documentElement.dataset.loadMs = String(loadMs);
    window.addEventListener('resize', fit);
    let clientWidth = byId('client').clientWidth;
    new ResizeObserver(() => {
      const width = byId('client').clientWidth;
      if (width === clientWidth) return;
      clientWidth = width;
      if (isNarrow()) fit();
    }).observe(byId('client'));
    // Moving to a screen of another pixel density: paint again.
    const watchRatio = () => matchMedia('(resolution: ' + window.devicePixelRatio + 'dppx)')
      .addEventListener('change', () => { fit(); watchRatio(); }, { once: true });
    watchRatio();
    const hash = fragment();
    if (hash.state !== undefined) {
      runHandler(() => {
        const notice = api.openState(location.hash);
        if (notice !== '') notify(notice);
      });
    }
    if (hash.script !== undefined) runScript(hash.script, hash.charts === '1');
    if (hash.link === '1') element('p', byId('script-report') || byId('Form1'), '', 'script-link').textContent = api.link(pageAddress());
    if (hash.bench !== undefined) {
      // Anyone can send a link: a count the page cannot finish in moments
      // is refused, not run.
      const count = hash.bench === '' ? 200 : Number(hash.bench);
      if (Number.isInteger(count) && count >= 1 && count <= MAX_BENCH) runBench(count, loadMs);
      else notify(BENCH_REFUSED);
    }
  }

  // The program's own script, which follows this one, picks this up.
  window.Module = { onRuntimeInitialized: start };
})();
