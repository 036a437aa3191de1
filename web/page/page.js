// The page of the browser edition: the main window's controls at their
// places (in twips, as the desktop window lays them out), scaled to the
// browser window; every event calls its handler in the WebAssembly window,
// whose value-box texts, messages and chart drawings the page then shows.
// The fragment #script=LINES runs jmach-script actions after start and
// writes one JSON line per action into #script-output. Reading the charts:
// a tooltip beside the pointer with the values under it (the probe), and
// a menu on each chart (right click, the context-menu key or Shift+F10)
// that keeps its curves as a grey reference and, on the pressure chart,
// shows the sonic level.
(function () {
  'use strict';

  // What the page's other scripts (the charts' files, the link to the
  // state) use of the window; they follow this one and fill in their parts.
  const page = window.jmachPage = {};

  const CLIENT_WIDTH = 11880;  // twips
  const CLIENT_HEIGHT = 7350;
  const MENU_HEIGHT = 300;
  const TWIPS_PER_PIXEL = 15;
  const SURFACE = '#ffffc0';
  const REFERENCE_GREY = '#bebebe';  // rgb(190, 190, 190), as on the desktop

  // ---- The layout ----

  const FRAMES = [  // name, caption, left, top, width, height
    ['Frame1', '', 120, 240, 3375, 2055],
    ['Frame3', 'Sıkıştırılabilme etkisi', 120, 2400, 3375, 975],
    ['Frame2', '', 120, 3480, 3375, 615],
  ];
  // Frame, name, caption, left, top, width, height, Greek letter.
  const LABELS = [
    ['Frame1', 'Label2', 'δ', 240, 240, 375, 255, true],
    ['Frame1', 'Label3', 'γ', 240, 600, 255, 255, true],
    ['Frame1', 'Label5', 'nP', 240, 960, 255, 255],
    ['Frame1', 'Label4', 'α', 240, 1320, 255, 375, true],
    ['Frame1', 'Label7', 'xM/c', 120, 1680, 495, 255],
    ['Frame3', 'Label36', 'Moo', 240, 240, 495, 255],
    ['Frame3', 'Label38', 'CpMin', 1800, 240, 735, 255],
    ['Frame3', 'Label37', 'Mcr-PG', 1800, 600, 615, 255],
    ['Frame2', 'Label1', 'CL =', 240, 240, 495, 255],
    ['Frame2', 'Label6', 'CM =', 1800, 240, 495, 255],
  ];
  // The controls in tab order. Value box: frame, name, left, top, width,
  // start text, typed into. Scroll bar: frame, name, left, top, width, min,
  // max, small change, large change, start value.
  const CONTROLS = [
    ['box', 'Frame1', 'Text_Thickness', 720, 240, 495, '0'],
    ['bar', 'Frame1', 'HScroll_Thickness', 1200, 240, 1335, 0, 30, 1, 1, 0],
    ['box', 'Frame1', 'Text_Camber', 720, 600, 495, '0'],
    ['bar', 'Frame1', 'HScroll_Camber', 1200, 600, 1335, 0, 15, 1, 1, 0],
    ['box', 'Frame1', 'Text_nP', 720, 960, 495, '51'],
    ['bar', 'Frame1', 'HScroll_nP', 1200, 960, 1335, 11, 101, 2, 10, 51],
    ['box', 'Frame1', 'Text_AlfaD', 720, 1320, 495, '0'],
    ['bar', 'Frame1', 'HScroll_AlfaD', 1200, 1320, 1335, -10, 10, 1, 1, 0],
    ['box', 'Frame1', 'Text_xM', 720, 1680, 495, '0'],
    ['bar', 'Frame1', 'HScroll_xM', 1200, 1680, 1335, 0, 100, 1, 5, 0],
    ['box', 'Frame3', 'Text_Moo', 720, 240, 615, '0', true],
    ['bar', 'Frame3', 'HScroll_Moo', 240, 600, 1095, 0, 90, 1, 1, 0],
    ['box', 'Frame3', 'Text_CpMin', 2520, 240, 615, '0'],
    ['box', 'Frame3', 'Text_Mcrit', 2520, 600, 615, '0'],
    ['box', 'Frame2', 'Text_CL', 720, 240, 735, '0'],
    ['box', 'Frame2', 'Text1', 2280, 240, 735, '0'],
  ];
  // Name, left, top, width, height, foreground, handles clicks.
  const PICTURES = [
    ['profil', 3600, 240, 4800, 2400, '#0000ff', true],
    ['pressure', 3600, 2760, 4800, 4335, '#00ff00', true],
    ['Picture_CL', 8520, 240, 3200, 3915, '#000000', true],
    ['Picture_CM', 8520, 4320, 3255, 2775, '#000000', true],
    ['Mcrit', 120, 4200, 3400, 2925, '#000000', false],
  ];
  // Chart, name, caption, left, top, kind (tick, title, greek), width, height.
  const CHART_LABELS = [
    ['profil', 'Label10', '  0.2', 0, 480, 'tick'], ['profil', 'Label9', '  y/c', 0, 1080, 'title'],
    ['profil', 'Label11', ' -0.2', 0, 2040, 'tick'], ['profil', 'Label8', 'x/c', 2160, 2116, 'title'],
    ['profil', 'Label12', '1.0', 4200, 2160, 'tick'],
    ['pressure', 'Label26', '5.0', 120, 240, 'tick', 255], ['pressure', 'Label19', '1-Cp', 0, 840, 'title', 495, 375],
    ['pressure', 'Label25', '3.0', 120, 1680, 'tick', 255], ['pressure', 'Label24', '2.0', 120, 2400, 'tick', 255],
    ['pressure', 'Label20', '1.0', 120, 3120, 'tick', 255], ['pressure', 'Label21', '0.0', 120, 3840, 'tick', 255],
    ['pressure', 'Label23', 'x/c', 2280, 3960, 'title'], ['pressure', 'Label22', '1.0', 4200, 3960, 'tick'],
    ['Picture_CL', 'Label30', '  3.0', 0, 600, 'tick'], ['Picture_CL', 'Label27', ' CL', 0, 1200, 'title'],
    ['Picture_CL', 'Label29', '  1.0', 0, 1833, 'tick'], ['Picture_CL', 'Label28', '  0.0', 0, 2473, 'tick'],
    ['Picture_CL', 'Label31', ' -1.0', 0, 3120, 'tick'], ['Picture_CL', 'Label14', ' -8', 720, 3635, 'tick'],
    ['Picture_CL', 'Label13', 'α', 1560, 3600, 'greek', 255], ['Picture_CL', 'Label15', '8', 2322, 3636, 'tick', 135],
    ['Picture_CM', 'Label32', ' CM', 0, 360, 'title'], ['Picture_CM', 'Label35', '  1.0', 0, 800, 'tick'],
    ['Picture_CM', 'Label33', '  0.0', 0, 1420, 'tick'], ['Picture_CM', 'Label34', ' -1.0', 0, 2020, 'tick'],
    ['Picture_CM', 'Label17', ' -8', 720, 2520, 'tick'], ['Picture_CM', 'Label18', 'α', 1560, 2480, 'greek', 255],
    ['Picture_CM', 'Label16', '8', 2370, 2520, 'tick', 135],
  ];
  const VALUE_BOXES = ['Text_Thickness', 'Text_Camber', 'Text_nP', 'Text_AlfaD', 'Text_xM', 'Text_Moo',
    'Text_CpMin', 'Text_Mcrit', 'Text_CL', 'Text1'];

  // Below the width of the window's layout the page is laid out for a
  // narrow screen: the controls first, a row each (label, box, scroll bar),
  // then the charts one under another at the page's full width. Row and
  // column of each control there, by name.
  const NARROW_WIDTH = CLIENT_WIDTH / TWIPS_PER_PIXEL;  // CSS pixels
  const NARROW_PLACES = {
    Label2: [1, 1], Text_Thickness: [1, 2], HScroll_Thickness: [1, 3],
    Label3: [2, 1], Text_Camber: [2, 2], HScroll_Camber: [2, 3],
    Label5: [3, 1], Text_nP: [3, 2], HScroll_nP: [3, 3],
    Label4: [4, 1], Text_AlfaD: [4, 2], HScroll_AlfaD: [4, 3],
    Label7: [5, 1], Text_xM: [5, 2], HScroll_xM: [5, 3],
    Label36: [1, 1], Text_Moo: [1, 2], HScroll_Moo: [1, 3],
    Label38: [2, 1], Text_CpMin: [2, 2], Label37: [3, 1], Text_Mcrit: [3, 2],
    Label1: [1, 1], Text_CL: [1, 2], Label6: [2, 1], Text1: [2, 2],
  };
  const narrowQuery = window.matchMedia('(max-width: ' + (NARROW_WIDTH - 0.02) + 'px)');
  const isNarrow = () => narrowQuery.matches;

  const byId = (id) => document.getElementById(id);

  // The element at its place in twips of the window's layout, kept as
  // properties that the narrow layout sets aside; `name` also gives its
  // row and column there.
  function place(el, left, top, width, height, name) {
    el.classList.add('placed');
    el.style.setProperty('--l', left);
    el.style.setProperty('--t', top);
    el.style.setProperty('--w', width);
    el.style.setProperty('--h', height);
    const cell = NARROW_PLACES[name || el.id];
    if (cell) {
      el.style.setProperty('--row', cell[0]);
      el.style.setProperty('--col', cell[1]);
    }
    return el;
  }

  function element(tag, parent, className, id) {
    const el = document.createElement(tag);
    if (className) el.className = className;
    if (id) el.id = id;
    parent.appendChild(el);
    return el;
  }

  // ---- The WebAssembly window ----

  const api = {};
  let M = null;  // the WebAssembly module once it runs
  function bindApi() {
    M = window.Module;
    const cwrap = M.cwrap;
    api.start = cwrap('jm_start', 'number', []);
    api.scroll = cwrap('jm_scroll', 'number', ['string', 'number']);
    api.click = cwrap('jm_click', 'number', ['string']);
    api.typeMach = cwrap('jm_type_mach', null, ['string']);
    api.text = cwrap('jm_text', 'number', ['string']);
    api.tooltip = cwrap('jm_tooltip', 'number', ['string']);
    api.machNoted = cwrap('jm_mach_noted', 'number', []);
    api.number = cwrap('jm_number', 'number', ['string']);
    api.tableWarning = cwrap('jm_table_warning', 'number', []);
    api.messages = cwrap('jm_messages', 'number', []);
    api.chartVersion = cwrap('jm_chart_version', 'number', ['string']);
    api.chart = cwrap('jm_chart', 'number', ['string']);
    api.probe = cwrap('jm_probe', 'number', ['string', 'number', 'number']);
    api.probeText = cwrap('jm_probe_text', 'number', ['string', 'number', 'number']);
    api.sonic = cwrap('jm_sonic', null, ['number']);
    api.sonicLevel = cwrap('jm_sonic_level', 'number', []);
    api.keep = cwrap('jm_keep', 'number', ['string']);
    api.unkeep = cwrap('jm_unkeep', 'number', ['string']);
    api.reference = cwrap('jm_reference', 'number', ['string']);
    api.referenceInputs = cwrap('jm_reference_inputs', 'number', ['string']);
    api.supersonic = cwrap('jm_supersonic', 'number', []);
    api.sweep = cwrap('jm_sweep', 'number', ['string']);
    api.flow = cwrap('jm_flow', null, []);
    api.close = cwrap('jm_close', 'number', ['string']);
    api.viewOpen = cwrap('jm_view_open', 'number', ['string']);
    api.viewJson = cwrap('jm_view_json', 'number', ['string']);
    api.sweepCaptions = cwrap('jm_sweep_captions', 'number', []);
    api.flowCaptions = cwrap('jm_flow_captions', 'number', []);
    api.help = M._jm_help ? cwrap('jm_help', 'number', ['string']) : null;
  }
  const textOf = (box) => M.UTF8ToString(api.text(box));

  // ---- Charts: the retained drawing painted on a canvas ----

  // name -> {el, canvas, w, h, fg, version, drawing, reference}
  const pictures = {};

  // An array packed as pack_chart lays it out, at byte address `address`:
  // null when its flag is 0, else the corners and the primitives
  // ({line, x1, y1, x2, y2, r, colour}), colour null for the foreground;
  // an image as {image: {columns, rows, cells}, x1, y1, x2, y2}, a cell -1
  // where it has no colour.
  function unpack(address) {
    const at = address / 8;
    const length = M.HEAPF64[at];
    const d = M.HEAPF64.slice(at, at + length);
    if (d[1] !== 1) return null;
    const prims = [];
    for (let i = 7; i + 7 <= length; i += 7) {
      if (d[i] === 2) {
        const columns = d[i + 5], rows = d[i + 6];
        prims.push({ line: false, x1: d[i + 1], y1: d[i + 2], x2: d[i + 3], y2: d[i + 4],
          image: { columns: columns, rows: rows, cells: d.subarray(i + 7, i + 7 + columns * rows) } });
        i += columns * rows;
        continue;
      }
      prims.push({ line: d[i] === 0, x1: d[i + 1], y1: d[i + 2], x2: d[i + 3], y2: d[i + 4], r: d[i + 5],
        colour: d[i + 6] < 0 ? null : d[i + 6] });
    }
    return { x1: d[2], y1: d[3], x2: d[4], y2: d[5], prims: prims };
  }

  // The chart's drawing: null before any Scale.
  const chartDrawing = (name) => unpack(api.chart(name));
  // The chart's kept reference: null while none is kept, else its
  // primitives, in the chart's user coordinates.
  function chartReference(name) {
    const r = unpack(api.reference(name));
    return r ? r.prims : null;
  }

  // How many primitives at the start are lines along an axis: the grid
  // and axes every chart draws first, beneath a reference.
  function leadingGrid(prims) {
    let n = 0;
    while (n < prims.length && prims[n].line && (prims[n].x1 === prims[n].x2 || prims[n].y1 === prims[n].y2)) n++;
    return n;
  }

  // red + 256 green + 65536 blue as "#rrggbb".
  function cssColour(c) {
    const hex = (v) => (v & 0xff).toString(16).padStart(2, '0');
    return '#' + hex(c) + hex(c >> 8) + hex(c >> 16);
  }

  // Clips the segment to the box (Liang-Barsky); null when nothing of it
  // is inside. Keeps far-off end points out of the rasteriser.
  function clipSegment(ax, ay, bx, by, box) {
    const dx = bx - ax, dy = by - ay;
    let t0 = 0, t1 = 1;
    const p = [-dx, dx, -dy, dy];
    const q = [ax - box.left, box.right - ax, ay - box.top, box.bottom - ay];
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

  // A line `width` device pixels wide centred on c covers whole pixels.
  const onPixelGrid = (c, width) => (width % 2 === 1 ? Math.floor(c) + 0.5 : Math.round(c));

  // Paints the chart at the canvas's device resolution: the pale yellow
  // surface, then every primitive in drawing order (a kept reference in
  // grey where the leading grid ends). Lines are one desktop
  // pixel wide at the page's scale, in whole device pixels; grid lines sit
  // on the pixel grid so that they stay sharp at any device pixel ratio.
  function paint(pic) {
    // Until a chart first draws, the surface's own background shows it empty.
    if (!pic.drawing && pic.canvas.width === 0) return;
    // The canvas's size in device pixels follows from the layout in twips,
    // without asking the browser to lay the page out again.
    const ratio = window.devicePixelRatio || 1;
    const scale = chartScale(pic);
    const W = Math.max(1, Math.round(pic.w * scale * ratio));
    const H = Math.max(1, Math.round(pic.h * scale * ratio));
    if (pic.canvas.width !== W) pic.canvas.width = W;
    if (pic.canvas.height !== H) pic.canvas.height = H;
    paintInto(pic.canvas.getContext('2d'), pic, W, H, Math.max(1, Math.round(ratio * scale * TWIPS_PER_PIXEL)));
  }

  // The CSS pixels a twip of the chart takes: the window's scale, or the
  // chart's own where it is laid out at the page's full width.
  const chartScale = (pic) => pic.scale || pxPerTwip;

  // The chart's drawing on a 2D context of W x H device pixels, lines
  // `width` pixels wide.
  function paintInto(ctx, pic, W, H, width) {
    ctx.setTransform(1, 0, 0, 1, 0, 0);
    ctx.fillStyle = SURFACE;
    ctx.fillRect(0, 0, W, H);
    const d = pic.drawing;
    if (!d || d.x2 === d.x1 || d.y2 === d.y1) return;
    const sx = W / (d.x2 - d.x1), sy = H / (d.y2 - d.y1);
    const box = { left: -4 * width, top: -4 * width, right: W + 4 * width, bottom: H + 4 * width };
    ctx.lineWidth = width;
    ctx.lineCap = 'square';
    let path = null;  // consecutive sloping segments of one colour, stroked together
    const flush = () => {
      if (path) {
        ctx.strokeStyle = path;
        ctx.stroke();
        path = null;
      }
    };
    // One primitive in `colour`.
    const draw = (p, colour) => {
      const ax = (p.x1 - d.x1) * sx, ay = (p.y1 - d.y1) * sy;
      if (p.image) {
        flush();
        paintRaster(ctx, p.image, ax, ay, (p.x2 - d.x1) * sx, (p.y2 - d.y1) * sy);
        return;
      }
      if (!p.line) {
        const radius = Math.abs(p.r * sx);  // units of the horizontal axis
        if (ax + radius < box.left || ax - radius > box.right || ay + radius < box.top || ay - radius > box.bottom)
          return;
        flush();
        ctx.beginPath();
        ctx.arc(ax, ay, radius, 0, 2 * Math.PI);
        ctx.strokeStyle = colour;
        ctx.stroke();
        return;
      }
      const c = clipSegment(ax, ay, (p.x2 - d.x1) * sx, (p.y2 - d.y1) * sy, box);
      if (!c) return;
      if (c[0] === c[2] || c[1] === c[3]) {
        // A grid line: the rectangle of whole device pixels it covers.
        flush();
        ctx.fillStyle = colour;
        if (c[1] === c[3]) {
          const y = onPixelGrid(c[1], width) - width / 2;
          const lo = Math.floor(Math.min(c[0], c[2])), hi = Math.floor(Math.max(c[0], c[2])) + 1;
          ctx.fillRect(lo, y, hi - lo, width);
        } else {
          const x = onPixelGrid(c[0], width) - width / 2;
          const lo = Math.floor(Math.min(c[1], c[3])), hi = Math.floor(Math.max(c[1], c[3])) + 1;
          ctx.fillRect(x, lo, width, hi - lo);
        }
        return;
      }
      if (path !== colour) {
        flush();
        ctx.beginPath();
        path = colour;
      }
      ctx.moveTo(c[0], c[1]);
      ctx.lineTo(c[2], c[3]);
    };
    // A kept reference lies in grey over the grid, beneath the curves.
    const grid = pic.reference ? leadingGrid(d.prims) : -1;
    for (let i = 0; i < d.prims.length; i++) {
      if (i === grid) for (const p of pic.reference) draw(p, REFERENCE_GREY);
      const p = d.prims[i];
      draw(p, p.colour === null ? pic.fg : cssColour(p.colour));
    }
    if (grid === d.prims.length) for (const p of pic.reference) draw(p, REFERENCE_GREY);
    flush();
  }

  // A colour raster filling the device rectangle from (ax, ay) to (bx, by),
  // its first row at ay: the cells as pixels of an offscreen canvas, drawn
  // scaled without smoothing; cells without a colour leave what lies
  // beneath.
  function paintRaster(ctx, raster, ax, ay, bx, by) {
    if (!(raster.columns > 0 && raster.rows > 0)) return;
    const off = document.createElement('canvas');
    off.width = raster.columns;
    off.height = raster.rows;
    const octx = off.getContext('2d');
    const pixels = octx.createImageData(raster.columns, raster.rows);
    const px = pixels.data;
    for (let k = 0; k < raster.cells.length; k++) {
      const c = raster.cells[k];
      if (c < 0) continue;  // stays transparent
      px[4 * k] = c & 0xff;
      px[4 * k + 1] = (c >> 8) & 0xff;
      px[4 * k + 2] = (c >> 16) & 0xff;
      px[4 * k + 3] = 255;
    }
    octx.putImageData(pixels, 0, 0);
    ctx.save();
    ctx.imageSmoothingEnabled = false;
    // A rectangle given from its lower or right corner is drawn mirrored.
    ctx.translate(ax, ay);
    ctx.scale(bx - ax < 0 ? -1 : 1, by - ay < 0 ? -1 : 1);
    ctx.drawImage(off, 0, 0, Math.abs(bx - ax), Math.abs(by - ay));
    ctx.restore();
  }

  // Repaints the charts that the last handler changed, or all of them.
  function repaintCharts(all) {
    for (const name in pictures) {
      const pic = pictures[name];
      const version = api.chartVersion(name);
      if (!all && version === pic.version) continue;
      if (version !== pic.version) pic.drawing = chartDrawing(name);
      pic.version = version;
      paint(pic);
    }
  }

  // ---- After every handler: what the window shows ----

  const messageQueue = [];
  let messagesShown = [];  // every message shown, for the script hook
  let focusBeforeMessage = null;

  function showNextMessage() {
    const box = byId('message-box');
    if (box.open || messageQueue.length === 0) return;
    const text = messageQueue.shift();
    messagesShown.push(text);
    byId('message-text').textContent = text;
    if (!focusBeforeMessage) focusBeforeMessage = document.activeElement;
    box.showModal();
    byId('message-ok').focus();
  }

  // The tooltips that tell the boxes' state. The Mach box: red text while
  // its number cannot be used, a coloured background while it holds more
  // than the number read from it.
  function refreshTips() {
    for (const name of ['Text_Moo', 'Text_CpMin', 'Text_Mcrit']) {
      const tip = M.UTF8ToString(api.tooltip(name));
      if (byId(name).title !== tip) byId(name).title = tip;
    }
    // The boxes whose tooltip tells the last result are described by it.
    for (const name of ['Text_CpMin', 'Text_Mcrit']) {
      const description = descriptionOf(name);
      if (description.textContent !== byId(name).title) description.textContent = byId(name).title;
    }
    const mach = byId('Text_Moo');
    const noted = api.machNoted() === 1, unusable = mach.title !== '' && !noted;
    mach.classList.toggle('unusable', unusable);
    mach.classList.toggle('noted', noted);
    mach.setAttribute('aria-invalid', unusable ? 'true' : 'false');
  }

  function refresh() {
    for (const name of VALUE_BOXES) {
      const box = byId(name);
      const text = textOf(name);
      if (box.value !== text) {
        box.value = text;
      }
    }
    refreshTips();
    repaintCharts(false);
    describeCharts();
    refreshViews();
    probeAgain();
    const messages = M.UTF8ToString(api.messages());
    if (messages !== '') {
      for (const m of messages.split('\n')) messageQueue.push(m);
      showNextMessage();
    }
  }

  // ---- The controls ----

  // Which caption labels a control: its box and its scroll bar alike.
  const CAPTION_OF = { Thickness: 'Label2', Camber: 'Label3', nP: 'Label5', AlfaD: 'Label4', xM: 'Label7',
    Moo: 'Label36', CpMin: 'Label38', Mcrit: 'Label37', CL: 'Label1', Text1: 'Label6' };
  const captionOf = (control) => CAPTION_OF[control === 'Text1' ? control : control.replace(/^(Text|HScroll)_/, '')];
  // How the charts are used here, after what they show.
  const CHART_USE = ' A click, or Enter, recomputes everything; the context menu (right click, a long press, ' +
    'Shift+F10) saves the chart as an image or its numbers, copies the numbers and keeps a reference.';
  const MCRIT_USE = ' The context menu (right click, a long press, Shift+F10) saves the chart as an image or its ' +
    'numbers, copies the numbers and keeps a reference.';

  // What a control means, as the desktop window's tooltips and screen
  // readers tell it: [name, description (meaning, unit, range)], or null.
  function help(control) {
    const text = api.help ? M.UTF8ToString(api.help(control)) : '';
    const at = text.indexOf('\n');
    return at < 0 ? null : [text.slice(0, at), text.slice(at + 1)];
  }

  // The hidden element holding a control's description.
  function descriptionOf(control) {
    return byId(control + '-description') || element('span', byId('descriptions'), '', control + '-description');
  }

  // A control named by its visible caption and then by what it is, and
  // described by its meaning; `tip`: the description is its tooltip too.
  function describe(el, control, tip) {
    const h = help(control);
    if (!h) return;
    const name = byId(control + '-name') || element('span', byId('descriptions'), '', control + '-name');
    name.textContent = h[0];
    el.setAttribute('aria-labelledby', captionOf(control) + ' ' + name.id);
    descriptionOf(control).textContent = h[1];
    el.setAttribute('aria-describedby', descriptionOf(control).id);
    if (tip) el.title = h[1];
  }

  // Each chart's text alternative: what it shows now, from the values the
  // window shows.
  function describeCharts() {
    const v = (box) => byId(box).value;
    const mach = Number(v('Text_Moo'));
    const atMach = mach > 0 && mach < 1 && !byId('Text_Moo').classList.contains('unusable')
      ? ', with the Prandtl-Glauert curve at M∞ = ' + v('Text_Moo') : '';
    const texts = {
      profil: 'Profile chart: the profile of thickness δ = ' + v('Text_Thickness') + ' and camber γ = ' +
        v('Text_Camber') + ' at ' + v('Text_nP') + ' points, moment reference point xM/c = ' + v('Text_xM') + '.',
      pressure: 'Surface pressure chart: 1 - Cp along the chord at α = ' + v('Text_AlfaD') + '°, minimum Cp = ' +
        v('Text_CpMin') + atMach + '.',
      Picture_CL: 'Lift curve chart: CL = ' + v('Text_CL') + ' at α = ' + v('Text_AlfaD') + '°' + atMach + '.',
      Picture_CM: 'Moment curve chart: CM = ' + v('Text1') + ' about xM/c = ' + v('Text_xM') + ' at α = ' +
        v('Text_AlfaD') + '°' + atMach + '.',
      Mcrit: 'Critical Mach number chart: Mcr = ' + v('Text_Mcrit') + ' by Prandtl-Glauert for CpMin = ' +
        v('Text_CpMin') + '.',
    };
    for (const name in pictures) {
      const text = pictures[name].drawing ? texts[name] : CHART_TITLES[name] + ' chart: nothing drawn yet.';
      if (pictures[name].el.getAttribute('aria-label') !== text) pictures[name].el.setAttribute('aria-label', text);
    }
  }
  const CHART_TITLES = { Mcrit: 'Critical Mach number', profil: 'Profile', pressure: 'Surface pressure',
    Picture_CL: 'Lift curve', Picture_CM: 'Moment curve' };

  let pxPerTwip = 1 / TWIPS_PER_PIXEL;  // CSS pixels per twip

  function buildWindow() {
    const client = byId('client');
    const frames = {};
    for (const [name, caption, left, top, width, height] of FRAMES) {
      const frame = place(element('div', client, 'frame', name), left, top, width, height);
      frame.setAttribute('role', 'group');
      if (caption) {
        const text = element('span', frame, 'caption', name + '-caption');
        text.textContent = caption;
        text.lang = 'tr';
        frame.setAttribute('aria-labelledby', text.id);
      }
      frames[name] = frame;
    }
    for (const [frame, name, caption, left, top, width, height, greek] of LABELS) {
      const label = place(element('span', frames[frame], greek ? 'label greek' : 'label', name), left, top, width, height);
      label.textContent = caption;
    }
    for (const c of CONTROLS) {
      if (c[0] === 'box') {
        const [, frame, name, left, top, width, text, typed] = c;
        const box = place(element('input', frames[frame], 'value', name), left, top, width, 285);
        box.type = 'text';
        box.value = text;
        box.spellcheck = false;
        box.autocomplete = 'off';
        describe(box, name, !typed);
        if (typed) {
          // Typing runs nothing: the next chain reads the text.
          box.addEventListener('input', () => api.typeMach(box.value));
        } else {
          box.readOnly = true;
          box.tabIndex = -1;  // Tab walks the inputs
        }
      } else {
        const [, frame, name, left, top, width, min, max, small, large, value] = c;
        buildScrollBar(frames[frame], name, left, top, width, min, max, small, large, value);
        describe(byId(name), name, true);
      }
    }
    for (const [name, left, top, width, height, fg, clickable] of PICTURES) {
      const el = place(element('div', client, 'picture', name), left, top, width, height);
      const canvas = element('canvas', el);
      canvas.width = canvas.height = 0;
      pictures[name] = { el: el, canvas: canvas, w: width, h: height, fg: fg, version: -1, drawing: null,
        reference: null };
      wireReading(name, el);
      if (clickable) {
        // A click on a caption belongs to the caption, not to the chart.
        canvas.addEventListener('click', () => clickChart(name));
        el.tabIndex = 0;
        el.addEventListener('keydown', (e) => {
          if (e.key !== 'Enter' && e.key !== ' ') return;
          e.preventDefault();
          clickChart(name);
        });
      } else {
        el.tabIndex = 0;  // for its menu
      }
      // An image to screen readers, named by what it shows now (see
      // describeCharts), described by what it is and how it is used.
      el.setAttribute('role', 'img');
      el.setAttribute('aria-roledescription', 'chart');
      descriptionOf(name).textContent = (help(name) || ['', ''])[1] + (clickable ? CHART_USE : MCRIT_USE);
      el.setAttribute('aria-describedby', descriptionOf(name).id);
    }
    for (const [chart, name, caption, left, top, kind, width, height] of CHART_LABELS) {
      const label = place(element('span', pictures[chart].el, 'label ' + kind, name), left, top, width || 375, height || 255);
      label.textContent = caption;
      label.setAttribute('aria-hidden', 'true');
    }
  }

  // ---- The views beside the window: panels below it ----

  // The desktop's view windows at 0.6 of their size here (in twips a
  // desktop pixel), so that each fits the width of the main window.
  const VIEW_SIZE = 0.6 * TWIPS_PER_PIXEL;
  // Name, title, width and height of the chart in twips, legend.
  const VIEWS = [
    ['sweep', 'Critical Mach number', 640 * VIEW_SIZE, 360 * VIEW_SIZE,
      'Critical Mach number by Prandtl-Glauert (blue), Kármán-Tsien (green) and Laitone (magenta) from the ' +
      'sampled minimum Cp, and by Prandtl-Glauert from the exact minimum of the continuous surface (grey); ' +
      'the red ring marks the current value.'],
    ['flow', 'Flow field', 800 * VIEW_SIZE, 400 * VIEW_SIZE,
      'Streamlines of the exact potential flow about the profile, evenly spaced far upstream, over the local ' +
      'Mach number at M∞ (Prandtl-Glauert Cp and the isentropic relation; at M∞ = 0 the incompressible Cp); ' +
      'the orange line is the sonic line, where the flow turns supersonic.'],
  ];
  const SWEEP_INPUTS = ['thickness', 'camber', 'alpha'];
  const SWEEP_CHOICES = ['Thickness t/c', 'Camber f/c', 'Angle of attack α'];
  const SWEEP_TITLES = ['t/c', 'f/c', 'α [°]'];
  // name -> {panel, captions, pic}: pic as the main charts', foreground black.
  const views = {};

  function buildViews() {
    const holder = element('div', byId('Form1'), '', 'views');
    for (const [name, title, width, height, legend] of VIEWS) {
      const panel = element('section', holder, 'view', name + '-view');
      panel.hidden = true;
      panel.setAttribute('aria-label', title);
      const head = element('div', panel, 'view-head');
      element('span', head, 'view-title').textContent = title;
      if (name === 'sweep') {
        const selector = element('select', head, '', 'sweep_input');
        selector.setAttribute('aria-label', 'Input swept');
        selector.title = 'The input the critical Mach number is drawn against, over every whole value of its ' +
          'scroll bar, the other inputs as they are set.';
        SWEEP_CHOICES.forEach((choice, i) => {
          const option = element('option', selector);
          option.value = SWEEP_INPUTS[i];
          option.textContent = choice;
        });
        selector.addEventListener('change', () => openSweep(selector.value));
      }
      const close = element('button', head, 'close');
      close.type = 'button';
      close.textContent = '✕';
      close.setAttribute('aria-label', 'Close ' + title);
      close.addEventListener('click', () => closeView(name));
      element('p', panel, 'view-legend').textContent = legend;
      const el = element('div', panel, 'view-chart', name);
      el.style.setProperty('--w', width);
      el.style.setProperty('--h', height);
      el.setAttribute('role', 'img');
      el.setAttribute('aria-label', title + ' chart');
      el.title = legend;
      const canvas = element('canvas', el);
      canvas.width = canvas.height = 0;
      const captions = element('div', el, 'view-captions');
      captions.setAttribute('aria-hidden', 'true');
      views[name] = { panel: panel, captions: captions,
        pic: { el: el, canvas: canvas, w: width, h: height, fg: '#000000', version: -1, drawing: null,
          reference: null } };
    }
  }

  // The views as the window keeps them: a panel shown while its view is
  // open, its chart repainted when it changed (or `all`), its captions laid
  // over it.
  function refreshViews(all) {
    for (const name in views) {
      const view = views[name], pic = view.pic;
      const open = api.viewOpen(name) === 1;
      if (view.panel.hidden === open) {
        view.panel.hidden = !open;
        // A panel shown on a narrow screen: its chart takes the page's width.
        if (open && isNarrow()) {
          setScale();
          all = true;
        }
      }
      if (!open) continue;
      const version = api.chartVersion(name);
      if (!all && version === pic.version) continue;
      if (version !== pic.version) pic.drawing = chartDrawing(name);
      pic.version = version;
      paint(pic);
      placeCaptions(name);
      pic.el.setAttribute('aria-label', viewText(name));
    }
  }

  // A view's text alternative: what its chart shows now.
  function viewText(name) {
    let view = null;
    try {
      view = JSON.parse(M.UTF8ToString(api.viewJson(name)));
    } catch (e) {
      view = null;
    }
    const round = (v) => String(Number(v.toFixed(4)));
    if (name === 'flow') {
      if (!view || typeof view.m_local_max !== 'number') return 'Flow field chart.';
      return 'Flow field chart: streamlines about the profile over the local Mach number, at most ' +
        round(view.m_local_max) + (view.sonic ? '; the flow turns supersonic inside the orange sonic line.'
          : '; the flow stays subsonic everywhere.');
    }
    const input = SWEEP_CHOICES[Math.max(0, SWEEP_INPUTS.indexOf(view && view.input))].toLowerCase();
    const values = view && Array.isArray(view.values) ? view.values : [];
    const pg = view && Array.isArray(view.mcrit_pg) ? view.mcrit_pg : [];
    let best = -1;
    pg.forEach((m, i) => {
      if (typeof m === 'number' && (best < 0 || m > pg[best])) best = i;
    });
    if (best < 0) return 'Critical Mach number chart against ' + input + ': no value in the table.';
    return 'Critical Mach number chart against ' + input + ' from ' + round(values[0]) + ' to ' +
      round(values[values.length - 1]) + ', the other inputs as set: by Prandtl-Glauert at most ' +
      round(pg[best]) + ', at ' + round(values[best]) + '.';
  }

  // A caption at user point (x, y) of the view's chart; `align`: how the
  // text sits against the point, [horizontal, vertical] as 'start', 'centre'
  // or 'end' of the text, 'end' for right or bottom.
  function caption(view, text, x, y, align, title) {
    const d = view.pic.drawing;
    const span = element('span', view.captions, title ? 'view-caption title' : 'view-caption');
    span.textContent = text;
    span.style.left = ((x - d.x1) / (d.x2 - d.x1) * 100) + '%';
    span.style.top = ((y - d.y1) / (d.y2 - d.y1) * 100) + '%';
    const shift = { start: '0', centre: '-50%', end: '-100%' };
    span.style.transform = 'translate(' + shift[align[0]] + ', ' + shift[align[1]] + ')';
  }

  // The numbers a packed array of doubles holds after its length.
  function unpackNumbers(address) {
    const at = address / 8;
    return Array.from(M.HEAPF64.slice(at + 1, at + M.HEAPF64[at]));
  }

  const tickText = (v, decimals) => String(Number(v.toFixed(decimals)));

  function placeCaptions(name) {
    const view = views[name];
    view.captions.textContent = '';
    if (!view.pic.drawing) return;
    if (name === 'sweep') {
      const [input, low, high, ...ticks] = unpackNumbers(api.sweepCaptions());
      if (input === undefined) return;
      for (const x of ticks) caption(view, tickText(x, input === 2 ? 6 : 2), x, -0.01, ['centre', 'start']);
      for (let k = 0; k <= 10; k += 2) caption(view, tickText(k / 10, 1), low, k / 10, ['end', 'centre']);
      caption(view, SWEEP_TITLES[input], high, 0.01, ['end', 'end'], true);
      caption(view, 'Mcrit', low, 1.07, ['start', 'start'], true);
      const selector = byId('sweep_input');
      if (selector.value !== SWEEP_INPUTS[input]) selector.value = SWEEP_INPUTS[input];
      return;
    }
    const [byMach, , y1, , y2, fieldX1, barX1, tickX2, ...ticks] = unpackNumbers(api.flowCaptions());
    // The first tick stands at the field's left edge: its value to the right of it.
    for (const x of [-0.5, 0, 0.5, 1, 1.5]) caption(view, String(x), x, y2, [x === -0.5 ? 'start' : 'centre', 'end']);
    for (const y of [-0.25, 0, 0.25]) caption(view, String(y), fieldX1, y, ['start', 'centre']);
    for (let i = 0; i + 1 < ticks.length; i += 2) caption(view, tickText(ticks[i], 6), tickX2, ticks[i + 1], ['start', 'centre']);
    caption(view, 'x/c', 1.25, y2, ['centre', 'end'], true);
    caption(view, 'y/c', fieldX1, y1, ['start', 'start'], true);
    caption(view, byMach === 1 ? 'M local' : 'Cp', barX1, y1, ['start', 'start'], true);
  }

  // Opening, switching and closing a view as the user does: each shows its
  // outcome as a handler's.
  function openSweep(input) {
    runHandler(() => api.sweep(input));
  }

  function openFlow() {
    runHandler(() => api.flow());
  }

  function closeView(name) {
    runHandler(() => api.close(name));
  }

  // ---- Reading the charts: the probe and the chart menu ----

  const probeTip = () => byId('probe-tip');
  let probing = null;  // {name, x, y}: the chart and client point the tip shows

  const LONG_PRESS_MS = 550;
  const longPress = { timer: 0, x: 0, y: 0 };

  function wireReading(name, el) {
    // The captions belong to the chart here: the probe and the menu work
    // over them too.
    el.addEventListener('pointermove', (e) => showProbe(name, e.clientX, e.clientY));
    el.addEventListener('pointerdown', (e) => {
      if (e.pointerType === 'mouse') return;
      showProbe(name, e.clientX, e.clientY);  // a tap
      // A long press opens the menu, where the browser does not on its own.
      const x = e.clientX, y = e.clientY;
      clearTimeout(longPress.timer);
      longPress.timer = setTimeout(() => {
        if (menuChart !== name) openMenu(name, x, y);
      }, LONG_PRESS_MS);
      longPress.x = x;
      longPress.y = y;
    });
    const cancelPress = () => clearTimeout(longPress.timer);
    el.addEventListener('pointerup', cancelPress);
    el.addEventListener('pointercancel', cancelPress);
    el.addEventListener('pointermove', (e) => {
      if (e.pointerType !== 'mouse' && Math.hypot(e.clientX - longPress.x, e.clientY - longPress.y) > 10) cancelPress();
    });
    el.addEventListener('pointerleave', (e) => {
      if (e.pointerType === 'mouse') hideProbe();  // a lifted finger leaves too: its tip stays
    });
    el.addEventListener('contextmenu', (e) => {
      e.preventDefault();
      if (menuChart === name) return;  // opened already by its key
      // A menu asked for by the keyboard opens at the chart's corner.
      if (e.button === 2) openMenu(name, e.clientX, e.clientY); else openMenuAtChart(name);
    });
    el.addEventListener('keydown', (e) => {
      if (e.target !== el || !(e.key === 'ContextMenu' || e.key === 'F10' && e.shiftKey)) return;
      e.preventDefault();
      openMenuAtChart(name);
    });
    el.setAttribute('aria-haspopup', 'menu');
    el.setAttribute('aria-keyshortcuts', 'Shift+F10');
    // What the chart's description adds while a reference is kept.
    element('span', el, '', name + '-reference').hidden = true;
  }

  // The user coordinates under a client point: the device pixel under it
  // mapped back through the chart's scale as paint() maps user
  // coordinates to device pixels. Null where the chart shows no scale.
  function userPoint(pic, clientX, clientY) {
    const d = pic.drawing, W = pic.canvas.width, H = pic.canvas.height;
    if (!d || d.x2 === d.x1 || d.y2 === d.y1 || W === 0 || H === 0) return null;
    const rect = pic.canvas.getBoundingClientRect();
    if (!(rect.width > 0 && rect.height > 0)) return null;
    const sx = W / (d.x2 - d.x1), sy = H / (d.y2 - d.y1);
    const px = (clientX - rect.left) * (W / rect.width), py = (clientY - rect.top) * (H / rect.height);
    return { x: d.x1 + px / sx, y: d.y1 + py / sy };
  }

  // The values under the pointer, one a line, in a tip that follows it.
  function showProbe(name, clientX, clientY) {
    const tip = probeTip();
    const at = menuChart === null ? userPoint(pictures[name], clientX, clientY) : null;
    const text = at ? M.UTF8ToString(api.probeText(name, at.x, at.y)) : '';
    if (text === '') {
      hideProbe();
      return;
    }
    probing = { name: name, x: clientX, y: clientY };
    if (tip.textContent !== text) tip.textContent = text;
    tip.hidden = false;
    // Below and right of the pointer, or on its other side near an edge.
    const gap = 14, w = tip.offsetWidth, h = tip.offsetHeight;
    const left = clientX + gap + w <= window.innerWidth ? clientX + gap : Math.max(0, clientX - gap - w);
    const top = clientY + gap + h <= window.innerHeight ? clientY + gap : Math.max(0, clientY - gap - h);
    tip.style.left = left + 'px';
    tip.style.top = top + 'px';
  }

  function hideProbe() {
    probing = null;
    const tip = probeTip();
    if (tip && !tip.hidden) tip.hidden = true;
  }

  // After a chart changed under a standing tip: its values as now.
  function probeAgain() {
    if (probing) showProbe(probing.name, probing.x, probing.y);
  }

  // The chart's reference read again after it was kept or cleared, its
  // description naming the inputs, and the chart repainted.
  function referenceChanged(name) {
    const pic = pictures[name];
    pic.reference = chartReference(name);
    const inputs = M.UTF8ToString(api.referenceInputs(name));
    const description = byId(name + '-reference');
    description.textContent = inputs === '' ? '' : 'In grey, a reference kept with ' + inputs + '.';
    pic.el.setAttribute('aria-describedby', descriptionOf(name).id + (inputs === '' ? '' : ' ' + description.id));
    const version = pic.version;
    repaintCharts(false);
    if (pic.version === version) paint(pic);
    probeAgain();
  }

  let menuChart = null;  // the chart whose menu is open

  // The chart's menu at a client point: Keep as reference, Clear reference
  // (while one is kept) and on the pressure chart Show sonic level.
  function openMenu(name, clientX, clientY) {
    if (byId('message-box').open) return;
    closeMenu(false);
    hideProbe();
    const menu = byId('chart-menu');
    menuChart = name;
    menu.setAttribute('aria-label', pictures[name].el.getAttribute('aria-label').replace(/:.*/, '') + ' menu');
    byId('menu-clear').disabled = M.UTF8ToString(api.referenceInputs(name)) === '';
    const sonic = byId('menu-sonic');
    sonic.hidden = name !== 'pressure';
    byId('menu-sweep').hidden = name !== 'Mcrit';
    byId('menu-flow').hidden = name !== 'profil';
    sonic.setAttribute('aria-checked', api.sonicLevel() === 1 ? 'true' : 'false');
    menu.hidden = false;
    const w = menu.offsetWidth, h = menu.offsetHeight;
    menu.style.left = Math.max(0, Math.min(clientX, window.innerWidth - w)) + 'px';
    menu.style.top = Math.max(0, Math.min(clientY, window.innerHeight - h)) + 'px';
    menuItems()[0].focus();
  }

  function openMenuAtChart(name) {
    const rect = pictures[name].el.getBoundingClientRect();
    openMenu(name, rect.left + 8, rect.top + 8);
  }

  // Closes the menu; `refocus`: back to its chart.
  function closeMenu(refocus) {
    const menu = byId('chart-menu');
    if (menuChart === null) return;
    const el = pictures[menuChart].el;
    menuChart = null;
    menu.hidden = true;
    if (refocus) el.focus();
  }

  // The items the keyboard walks: those shown and enabled.
  const menuItems = () => Array.from(byId('chart-menu').querySelectorAll('button'))
    .filter((b) => !b.hidden && !b.disabled);

  // An item of the open menu chosen: the menu closes, focus goes back to
  // the chart, and the chart is drawn as the item leaves it.
  function chooseMenuItem(id) {
    const name = menuChart;
    if (name === null || byId(id).disabled) return;
    closeMenu(true);
    if (id === 'menu-keep' || id === 'menu-clear') {
      (id === 'menu-keep' ? api.keep : api.unkeep)(name);
      page.link.kept(name, id === 'menu-keep');
      referenceChanged(name);
    } else if (id === 'menu-sweep') {
      openSweep(byId('sweep_input').value);
    } else if (id === 'menu-flow') {
      openFlow();
    } else if (id === 'menu-png' || id === 'menu-svg' || id === 'menu-csv') {
      page.files.save(name, id.slice(5));
    } else if (id === 'menu-copy-data') {
      page.files.copyData(name);
    } else {
      api.sonic(byId(id).getAttribute('aria-checked') === 'true' ? 0 : 1);
      repaintCharts(false);
      probeAgain();
    }
  }

  function wireMenu() {
    const menu = byId('chart-menu');
    for (const item of menu.querySelectorAll('button')) item.addEventListener('click', () => chooseMenuItem(item.id));
    menu.addEventListener('keydown', (e) => {
      const items = menuItems(), at = items.indexOf(document.activeElement);
      const to = { ArrowDown: at + 1, ArrowUp: at - 1, Home: 0, End: items.length - 1 }[e.key];
      if (to !== undefined) {
        e.preventDefault();
        items[(to + items.length) % items.length].focus();
      } else if (e.key === 'Escape' || e.key === 'Tab') {
        e.preventDefault();
        closeMenu(true);
      }
    });
    menu.addEventListener('contextmenu', (e) => e.preventDefault());
    // A press anywhere else closes it, as does leaving the page.
    document.addEventListener('pointerdown', (e) => {
      if (menuChart !== null && !menu.contains(e.target)) closeMenu(false);
      if (probing && e.pointerType !== 'mouse' && !pictures[probing.name].el.contains(e.target)) hideProbe();
    }, true);
    window.addEventListener('blur', () => closeMenu(false));
  }

  // A horizontal scroll bar: arrows that step by the small change and a
  // slider. Its handler runs when the value has changed: after an arrow,
  // a key, or when the dragged thumb is released (the change event), never
  // while it is dragged.
  function buildScrollBar(parent, name, left, top, width, min, max, small, large, value) {
    const bar = place(element('div', parent, 'scrollbar'), left, top, width, 255, name);
    const down = element('button', bar);
    const slider = element('input', bar, '', name);
    const up = element('button', bar);
    down.type = up.type = 'button';
    down.textContent = '◀';
    up.textContent = '▶';
    for (const arrow of [down, up]) {
      arrow.tabIndex = -1;
      arrow.setAttribute('aria-hidden', 'true');
    }
    slider.type = 'range';
    slider.min = min;
    slider.max = max;
    slider.step = 1;  // any whole value, as dragging the thumb allows
    slider.defaultValue = String(value);  // the start value, which a link to the state moves from
    slider.value = value;
    slider.dataset.small = small;
    slider.dataset.large = large;
    slider.addEventListener('change', () => {
      runHandler(() => api.scroll(name, Number(slider.value)));
      page.link.chainRan(name);
    });
    down.addEventListener('click', () => moveBar(slider, Number(slider.value) - small));
    up.addEventListener('click', () => moveBar(slider, Number(slider.value) + small));
    slider.addEventListener('keydown', (e) => {
      const v = Number(slider.value);
      const step = { ArrowLeft: -small, ArrowDown: -small, ArrowRight: small, ArrowUp: small,
        PageDown: -large, PageUp: large }[e.key];
      let target = null;
      if (step !== undefined) target = v + step;
      else if (e.key === 'Home') target = min;
      else if (e.key === 'End') target = max;
      if (target === null) return;
      e.preventDefault();
      moveBar(slider, target);
    });
  }

  // A click on a chart: everything is recomputed.
  function clickChart(name) {
    runHandler(() => api.click(name));
    page.link.chainRan(null);
  }

  // Moves a scroll bar as the user would; its handler runs if the value changes.
  function moveBar(slider, value) {
    const v = Math.min(Number(slider.max), Math.max(Number(slider.min), value));
    if (String(v) === slider.value) return;
    slider.value = String(v);
    slider.dispatchEvent(new Event('change'));
  }

  // Runs one handler and shows its outcome; the time it took is kept for
  // the figures in #bench.
  const changeTimes = [];
  function runHandler(handler) {
    if (byId('message-box').open) return;
    const start = performance.now();
    handler();
    refresh();
    changeTimes.push(performance.now() - start);
  }

  // The page fills the browser window, keeping the desktop proportions.
  function fit() {
    closeMenu(false);
    hideProbe();
    setScale();
    repaintCharts(true);
    refreshViews(true);
  }

  // The window's scale, the same as the page's first script set before
  // anything was drawn; on a narrow screen each chart takes the page's
  // width and a scale of its own.
  function setScale() {
    const narrow = isNarrow();
    document.documentElement.classList.toggle('narrow', narrow);
    pxPerTwip = narrow ? 1 / TWIPS_PER_PIXEL : Math.max(0.6 / TWIPS_PER_PIXEL,
      Math.min(window.innerWidth / CLIENT_WIDTH, window.innerHeight / (CLIENT_HEIGHT + MENU_HEIGHT)));
    document.documentElement.style.setProperty('--tw', pxPerTwip + 'px');
    // On a narrow screen the style scales each chart's captions to its
    // width by itself; its canvas is painted at the scale read here.
    for (const pic of Object.values(pictures).concat(Object.values(views).map((v) => v.pic))) {
      if (!narrow) {
        pic.scale = null;
        continue;
      }
      const width = pic.el.clientWidth || pic.el.parentElement.clientWidth;
      pic.scale = width > 0 ? width / pic.w : pxPerTwip;
    }
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
    // The About window: modeless, the main window stays usable.
    const about = byId('Form_About');
    byId('Mn_Link').addEventListener('click', () => page.link.copy());
    const linkBox = byId('link-box');
    linkBox.querySelector('.close').addEventListener('click', () => linkBox.close());
    byId('Mn_About').addEventListener('click', () => {
      if (!about.open) about.show();
      about.querySelector('.close').focus();
    });
    about.querySelector('.close').addEventListener('click', () => about.close());
    about.addEventListener('keydown', (e) => {
      if (e.key === 'Escape') about.close();
    });
  }

  // ---- The script hook ----

  const SCROLL_ACTIONS = { thickness: 'HScroll_Thickness', camber: 'HScroll_Camber', np: 'HScroll_nP',
    alpha: 'HScroll_AlfaD', xm: 'HScroll_xM', mach: 'HScroll_Moo' };
  const CHARTS = ['Mcrit', 'profil', 'pressure', 'Picture_CL', 'Picture_CM'];
  const CHART_CHOICE = 'one of Mcrit, profil, pressure, Picture_CL, Picture_CM';
  const isBlank = (c) => c === ' ' || c === '\t' || c === '\r' || c === '\n';

  function trim(s) {
    let a = 0, b = s.length;
    while (a < b && isBlank(s[a])) a++;
    while (b > a && isBlank(s[b - 1])) b--;
    return s.slice(a, b);
  }

  // A JSON string as jmach-script writes it: UTF-8 passes through.
  function jsonString(text) {
    let out = '"';
    for (const ch of text) {
      const c = ch.codePointAt(0);
      if (ch === '"') out += '\\"';
      else if (ch === '\\') out += '\\\\';
      else if (ch === '\n') out += '\\n';
      else if (ch === '\r') out += '\\r';
      else if (ch === '\t') out += '\\t';
      else if (c < 0x20) out += '\\u00' + c.toString(16).padStart(2, '0');
      else out += ch;
    }
    return out + '"';
  }

  // A piece of a bad line as jmach-script quotes it: at most 80
  // characters ("..." added when cut), control characters as \xHH.
  function quoted(text) {
    const chars = Array.from(text);
    const excerpt = chars.length > 80 ? chars.slice(0, 80).join('') + '...' : text;
    return '"' + excerpt.replace(/[\x00-\x1f\x7f]/g,
      (c) => '\\x' + c.charCodeAt(0).toString(16).toUpperCase().padStart(2, '0')) + '"';
  }

  // A finite number written out in full, as jmach-script reads one: no
  // sign but "-", no blanks, nothing after it; null for anything else, a
  // number beyond the doubles and one that rounds to zero among them.
  function readNumber(text) {
    if (!/^-?(?:[0-9]+\.?[0-9]*|\.[0-9]+)(?:[eE][+-]?[0-9]+)?$/.test(text)) return null;
    const v = Number(text);
    if (!Number.isFinite(v) || (v === 0 && /[1-9]/.test(text.replace(/[eE].*/, '')))) return null;
    return v;
  }

  const jsonNumber = (v) => (Number.isFinite(v) ? String(v) : 'null');

  function primitiveJson(p) {
    const colour = p.colour === null ? 'null' : '"' + cssColour(p.colour) + '"';
    if (p.line) {
      return '{"op":"line","x1":' + jsonNumber(p.x1) + ',"y1":' + jsonNumber(p.y1) + ',"x2":' +
        jsonNumber(p.x2) + ',"y2":' + jsonNumber(p.y2) + ',"color":' + colour + '}';
    }
    return '{"op":"circle","x":' + jsonNumber(p.x1) + ',"y":' + jsonNumber(p.y1) + ',"r":' +
      jsonNumber(p.r) + ',"color":' + colour + '}';
  }

  function chartJson(name) {
    const d = pictures[name].drawing;
    if (!d) return '[]';
    const items = ['{"op":"scale","x1":' + jsonNumber(d.x1) + ',"y1":' + jsonNumber(d.y1) + ',"x2":' +
      jsonNumber(d.x2) + ',"y2":' + jsonNumber(d.y2) + '}'];
    return '[' + items.concat(d.prims.map(primitiveJson)).join(',') + ']';
  }

  // The kept references as the page paints them, by chart: empty when none is kept.
  function referenceJson() {
    const kept = CHARTS.filter((n) => pictures[n].reference !== null);
    return kept.map((n) => '"' + n + '":[' + pictures[n].reference.map(primitiveJson).join(',') + ']').join(',');
  }

  // The keys of a report line after "action", each with the JSON text of
  // its value as the page shows it (the Mach box's note is its tooltip),
  // then what the sampling hides. A key is one line here.
  const REPORT_KEYS = VALUE_BOXES.map((name) => [name, () => jsonString(byId(name).value)]).concat([
    ['message', (messages) => (messages.length ? jsonString(messages.join('\n')) : 'null')],
    ['Text_Moo_note', () => (byId('Text_Moo').title ? jsonString(byId('Text_Moo').title) : 'null')],
  ], ['cp_min_exact', 'x_cp_min_exact', 'mcrit_kt', 'mcrit_la'].map((key) => [key, () => M.UTF8ToString(api.number(key))]),
  [['supersonic', () => M.UTF8ToString(api.supersonic())]]);

  // `probe`: the JSON of a probe line's reading, else null.
  function report(action, messages, charts, probe) {
    let out = '{"action":' + jsonString(action);
    for (const [key, value] of REPORT_KEYS) out += ',"' + key + '":' + value(messages);
    if (probe !== null) out += ',"probe":' + probe;
    for (const name of ['sweep', 'flow']) {
      const json = M.UTF8ToString(api.viewJson(name));
      if (json !== '') out += ',"' + name + '":' + json;
    }
    if (charts) {
      out += ',"charts":{' + CHARTS.map((n) => '"' + n + '":' + chartJson(n)).join(',') + '}';
      const references = referenceJson();
      if (references !== '') out += ',"reference":{' + references + '}';
    }
    return out + '}';
  }

  // Chooses an item of a chart's menu as the user would: opens the menu,
  // clicks the item (a disabled one does nothing) and closes it.
  function fromMenu(name, id) {
    openMenu(name, 0, 0);
    byId(id).click();
    closeMenu(false);
  }

  let probeLine = null;  // [chart, x, y] of a probe line, read when it is reported

  // Performs one action as the user would; returns the error text of a bad line.
  function perform(line) {
    const space = line.search(/[ \t]/);
    const word = space < 0 ? line : line.slice(0, space);
    const rawRest = space < 0 ? '' : line.slice(space + 1);
    const rest = trim(rawRest);
    if (Object.prototype.hasOwnProperty.call(SCROLL_ACTIONS, word)) {
      const slider = byId(SCROLL_ACTIONS[word]);
      const value = /^-?[0-9]+$/.test(rest) ? Number(rest) : NaN;
      if (!(Math.abs(value) <= 2147483647)) return word + ' needs a whole number, not ' + quoted(rest);
      const min = Number(slider.min), max = Number(slider.max);
      if (value < min || value > max) return word + ' ' + String(value) + ' is outside ' + min + '..' + max;
      if (String(value) !== slider.value) {
        slider.value = String(value);
        slider.dispatchEvent(new Event('change'));
      }
      return null;
    }
    if (word === 'type-mach') {
      const box = byId('Text_Moo');
      box.value = rawRest;
      box.dispatchEvent(new Event('input'));
      return null;
    }
    if (word === 'click') {
      if (CHARTS.indexOf(rest) < 0) return 'click needs ' + CHART_CHOICE + ', not ' + quoted(rest);
      pictures[rest].canvas.dispatchEvent(new MouseEvent('click', { bubbles: true }));
      return null;
    }
    if (word === 'about') {
      if (rest !== '') return 'about takes nothing after it';
      byId('Mn_About').click();
      return null;
    }
    if (word === 'probe') {
      // probe CHART X Y
      const gap1 = rest.search(/[ \t]/);
      const name = gap1 < 0 ? rest : rest.slice(0, gap1);
      const coordinates = gap1 < 0 ? '' : trim(rest.slice(gap1));
      const gap2 = coordinates.search(/[ \t]/);
      const x = readNumber(gap2 < 0 ? coordinates : coordinates.slice(0, gap2));
      const y = readNumber(gap2 < 0 ? '' : trim(coordinates.slice(gap2)));
      if (CHARTS.indexOf(name) < 0) return 'probe needs ' + CHART_CHOICE + ', not ' + quoted(name);
      if (x === null || y === null) return 'probe ' + name + ' needs two numbers X Y, not ' + quoted(coordinates);
      probeLine = [name, x, y];
      return null;
    }
    if (word === 'sonic') {
      if (rest !== 'on' && rest !== 'off') return 'sonic needs on or off, not ' + quoted(rest);
      if ((api.sonicLevel() === 1) !== (rest === 'on')) fromMenu('pressure', 'menu-sonic');
      return null;
    }
    if (word === 'keep' || word === 'unkeep') {
      if (CHARTS.indexOf(rest) < 0) return word + ' needs ' + CHART_CHOICE + ', not ' + quoted(rest);
      fromMenu(rest, word === 'keep' ? 'menu-keep' : 'menu-clear');
      return null;
    }
    if (word === 'sweep') {
      if (SWEEP_INPUTS.indexOf(rest) < 0) return 'sweep needs thickness, camber or alpha, not ' + quoted(rest);
      const selector = byId('sweep_input');
      if (api.viewOpen('sweep') === 1) {
        // The open view switched by its selector, as the user would.
        if (selector.value !== rest) {
          selector.value = rest;
          selector.dispatchEvent(new Event('change'));
        }
      } else {
        selector.value = rest;
        fromMenu('Mcrit', 'menu-sweep');
      }
      return null;
    }
    if (word === 'flow') {
      if (rest !== '') return 'flow takes nothing after it';
      fromMenu('profil', 'menu-flow');
      return null;
    }
    if (word === 'close') {
      if (rest !== 'sweep' && rest !== 'flow') return 'close needs sweep or flow, not ' + quoted(rest);
      if (api.viewOpen(rest) === 1) views[rest].panel.querySelector('.close').click();
      return null;
    }
    if (word === 'export') return page.files.scriptExport(rest);
    if (word === 'snapshot') return word + ' is not available in the browser';
    return 'unknown action ' + quoted(word);
  }

  function runScript(text, charts) {
    const holder = element('section', byId('Form1'), '', 'script-report');
    holder.setAttribute('aria-label', 'Script report');
    const status = element('p', holder, '', 'script-status');
    const output = element('pre', holder, '', 'script-output');
    output.tabIndex = 0;  // it scrolls: the keyboard reaches it
    status.textContent = 'running';
    const lines = [];
    let error = null;
    const all = text.split('\n');
    for (let i = 0; i < all.length && error === null; i++) {
      let line = all[i];
      if (line.endsWith('\r')) line = line.slice(0, -1);
      const content = trim(line);
      if (content === '' || content[0] === '#') continue;
      messagesShown = [];
      probeLine = null;
      const bad = perform(content);
      if (bad !== null) {
        error = 'line ' + (i + 1) + ': ' + bad;
        break;
      }
      // Every message box is answered with OK.
      while (byId('message-box').open) byId('message-ok').click();
      const probe = probeLine && M.UTF8ToString(api.probe(probeLine[0], probeLine[1], probeLine[2]));
      lines.push(report(content, messagesShown, charts, probe));
    }
    output.textContent = lines.length ? lines.join('\n') + '\n' : '';
    status.textContent = error === null ? 'done' : error;
    status.dataset.state = error === null ? 'done' : 'error';
  }

  // #bench=N: N changes of the thickness and camber scroll bars, each
  // timed from the change to the repainted charts.
  function runBench(count, loadMs) {
    changeTimes.length = 0;
    const thickness = byId('HScroll_Thickness'), camber = byId('HScroll_Camber');
    for (let i = 0; i < count; i++) {
      moveBar(i % 2 ? camber : thickness, (Number((i % 2 ? camber : thickness).value) + 7) % (i % 2 ? 16 : 31));
      while (byId('message-box').open) byId('message-ok').click();
    }
    const sorted = changeTimes.slice().sort((a, b) => a - b);
    const at = (q) => sorted[Math.min(sorted.length - 1, Math.floor(q * sorted.length))];
    const out = element('pre', document.body, '', 'bench-output');
    out.textContent = JSON.stringify({ load_ms: loadMs, changes: sorted.length, median_ms: at(0.5),
      p90_ms: at(0.9), max_ms: sorted[sorted.length - 1] });
  }

  function fragment() {
    const out = {};
    for (const part of location.hash.replace(/^#/, '').split('&')) {
      const eq = part.indexOf('=');
      if (eq <= 0) continue;
      // A value that is not percent-encoded UTF-8 is kept as null: the
      // part that reads it says so.
      try {
        out[part.slice(0, eq)] = decodeURIComponent(part.slice(eq + 1));
      } catch (e) {
        out[part.slice(0, eq)] = null;
      }
    }
    return out;
  }

  // ---- Start-up ----

  // A short notice at the foot of the window that goes by itself.
  let noticeTimer = 0;
  function notify(text) {
    const notice = byId('notice');
    notice.textContent = text;
    notice.hidden = false;
    clearTimeout(noticeTimer);
    noticeTimer = setTimeout(() => { notice.hidden = true; }, 6000);
  }

  function start() {
    bindApi();
    Object.assign(page, { api: api, M: M, pictures: pictures, views: views, byId: byId, perform: perform,
      runHandler: runHandler, notify: notify, CHARTS: CHARTS, paintInto: paintInto, chartScale: chartScale,
      TWIPS_PER_PIXEL: TWIPS_PER_PIXEL, clipSegment: clipSegment, leadingGrid: leadingGrid, trim: trim,
      quoted: quoted });
    const error = M.UTF8ToString(api.start());
    if (error !== '') {
      byId('Form1').hidden = true;
      const p = byId('startup-error');
      p.textContent = error;
      p.hidden = false;
      return;
    }
    // Values after the table's last row are ignored, as on the desktop's
    // standard error.
    const warning = M.UTF8ToString(api.tableWarning());
    if (warning !== '') console.warn('jmach: ' + warning);
    setScale();
    buildWindow();
    buildViews();
    if (isNarrow()) setScale();  // the charts' widths, now laid out
    wireDialogs();
    wireMenu();
    refreshTips();
    repaintCharts(true);
    describeCharts();
    // From opening the page to the window up with every chart drawn, once
    // the browser has laid it out.
    document.body.getBoundingClientRect();
    const loadMs = performance.now();
    document.documentElement.dataset.loadMs = loadMs.toFixed(1);
    window.addEventListener('resize', fit);
    // On a narrow screen the charts follow the page's width, which a
    // scroll bar appearing changes too.
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
    for (const ready of page.started || []) ready();
    const hash = fragment();
    if (hash.state !== undefined) page.link.open(hash.state);
    if (hash.script === null) notify('The script in the address is not percent-encoded text: nothing ran.');
    if (hash.script !== undefined && hash.script !== null) runScript(hash.script, hash.charts === '1');
    if (hash.link === '1') element('p', byId('script-report') || byId('Form1'), '', 'script-link').textContent = page.link.stateLink();
    if (hash.bench !== undefined) runBench(Math.max(1, Number(hash.bench) || 200), loadMs);
  }

  // The program's own script, which follows this one, picks this up.
  window.Module = { onRuntimeInitialized: start };
})();
