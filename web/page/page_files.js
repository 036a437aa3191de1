// The charts' files: each chart's image as PNG or SVG and its numbers as
// CSV, downloaded, and the numbers as tab-separated text on the clipboard.
// The numbers come from the program as the desktop writes them; the images
// are painted from the chart's drawing as the window shows it, with its
// captions as text at their places. The two view panels save the same
// three files from buttons in their heads.
(function () {
  'use strict';
  const page = window.jmachPage;

  const SURFACE = '#ffffc0';
  const REFERENCE_GREY = '#bebebe';
  // What each chart shows, for the titles of its images, as on the desktop.
  const TITLES = { Mcrit: 'Critical Mach number', profil: 'Profile', pressure: 'Surface pressure',
    Picture_CL: 'Lift curve', Picture_CM: 'Moment curve', sweep: 'Critical Mach number', flow: 'Flow field' };
  // The view windows' charts in desktop pixels: the panels show them smaller.
  const VIEW_PIXELS = { sweep: [640, 360], flow: [800, 400] };
  const VIEW_WORDS = { sweep: 'critical Mach number', flow: 'flow field' };
  const CHOICE = 'one of Mcrit, profil, pressure, Picture_CL, Picture_CM, sweep, flow';
  const SCREEN_DPI = 96;

  let tables = null;  // the program's CSV and TSV writers, bound when first used
  function table(name, kind) {
    if (!tables) {
      tables = { csv: page.M.cwrap('jm_csv', 'number', ['string']), tsv: page.M.cwrap('jm_tsv', 'number', ['string']) };
    }
    return page.M.UTF8ToString(tables[kind](name));
  }

  const isView = (name) => Object.prototype.hasOwnProperty.call(VIEW_PIXELS, name);
  const pictureOf = (name) => (isView(name) ? page.views[name].pic : page.pictures[name]);
  const viewOpen = (name) => !page.views[name].panel.hidden;

  // The chart's size in desktop pixels.
  function desktopSize(name, pic) {
    return isView(name) ? VIEW_PIXELS[name] : [Math.round(pic.w / page.TWIPS_PER_PIXEL), Math.round(pic.h / page.TWIPS_PER_PIXEL)];
  }

  // red + 256 green + 65536 blue as "#rrggbb".
  function cssColour(c) {
    const hex = (v) => (v & 0xff).toString(16).padStart(2, '0');
    return '#' + hex(c) + hex(c >> 8) + hex(c >> 16);
  }

  // A computed colour ("rgb(r, g, b)", "rgba(...)") as "#rrggbb"; null
  // where it is transparent.
  function hexColour(text) {
    const m = /rgba?\(([^)]*)\)/.exec(text || '');
    if (!m) return null;
    const parts = m[1].split(/[ ,/]+/).filter((p) => p !== '').map(Number);
    if (parts.length > 3 && parts[3] === 0) return null;
    return '#' + parts.slice(0, 3).map((v) => Math.round(v).toString(16).padStart(2, '0')).join('');
  }

  // The chart's captions as the page lays them out: text, box relative to
  // the chart in CSS pixels, where the text starts and its baseline, font,
  // colour and background.
  function captionsOf(name, pic) {
    const spans = isView(name) ? page.views[name].captions.querySelectorAll('.view-caption')
      : pic.el.querySelectorAll('.label');
    const chart = pic.el.getBoundingClientRect();
    const measure = document.createElement('canvas').getContext('2d');
    const out = [];
    for (const span of spans) {
      const r = span.getBoundingClientRect();
      if (span.textContent === '' || !(r.width > 0 && r.height > 0)) continue;
      const st = getComputedStyle(span);
      const px = (v) => parseFloat(v) || 0;
      const size = px(st.fontSize);
      const font = { style: st.fontStyle, weight: st.fontWeight, size: size, family: st.fontFamily };
      measure.font = fontText(font, 1);
      const m = measure.measureText(span.textContent);
      const ascent = m.fontBoundingBoxAscent || 0.8 * size, descent = m.fontBoundingBoxDescent || 0.2 * size;
      const lineHeight = st.lineHeight === 'normal' ? ascent + descent : px(st.lineHeight);
      const top = r.top - chart.top + px(st.borderTopWidth) + px(st.paddingTop);
      out.push({ text: span.textContent, left: r.left - chart.left, top: r.top - chart.top, width: r.width,
        height: r.height, x: r.left - chart.left + px(st.borderLeftWidth) + px(st.paddingLeft),
        baseline: top + (lineHeight - ascent - descent) / 2 + ascent, font: font,
        colour: hexColour(st.color) || '#000000', background: hexColour(st.backgroundColor) });
    }
    return { list: out, width: chart.width, height: chart.height };
  }

  const fontText = (font, k) => font.style + ' ' + font.weight + ' ' + font.size * k + 'px ' + font.family;

  // ---- PNG: the chart painted at twice the screen's resolution ----

  function pngBlob(name) {
    const pic = pictureOf(name);
    const ratio = window.devicePixelRatio || 1;
    const captions = captionsOf(name, pic);
    // A main chart at twice its size on the screen; a view at twice the
    // desktop window's, as its panel shows it smaller.
    const [dw, dh] = desktopSize(name, pic);
    // The chart covers whole pixels of the screen, as a desktop widget does.
    const W = Math.round(2 * ratio * (isView(name) ? dw : Math.round(captions.width)));
    const H = Math.round(2 * ratio * (isView(name) ? dh : Math.round(captions.height)));
    const width = isView(name) ? Math.max(1, Math.round(W / dw))
      : Math.max(1, Math.round(2 * ratio * page.chartScale(pic) * page.TWIPS_PER_PIXEL));
    const canvas = document.createElement('canvas');
    canvas.width = W;
    canvas.height = H;
    const ctx = canvas.getContext('2d');
    page.paintInto(ctx, pic, W, H, width);
    const k = captions.width > 0 ? W / captions.width : 1;
    ctx.setTransform(1, 0, 0, 1, 0, 0);
    for (const c of captions.list) {
      if (c.background) {
        ctx.fillStyle = c.background;
        ctx.fillRect(c.left * k, c.top * k, c.width * k, c.height * k);
      }
      ctx.font = fontText(c.font, k);
      ctx.fillStyle = c.colour;
      ctx.textBaseline = 'alphabetic';
      ctx.fillText(c.text, c.x * k, c.baseline * k);
    }
    const url = canvas.toDataURL('image/png');
    const bytes = atob(url.slice(url.indexOf(',') + 1));
    const data = new Uint8Array(bytes.length);
    for (let i = 0; i < bytes.length; i++) data[i] = bytes.charCodeAt(i);
    return new Blob([data], { type: 'image/png' });
  }

  // ---- SVG: the chart's primitives in its desktop pixels ----

  const num = (v) => String(Number(v.toPrecision(6)));
  const escapeXml = (s) => s.replace(/&/g, '&amp;').replace(/</g, '&lt;').replace(/>/g, '&gt;').replace(/"/g, '&quot;');

  // A raster as a PNG data address, its first row at its (x1, y1) corner
  // so that it is mirrored where that corner is not the upper left.
  function rasterUrl(raster, flipX, flipY) {
    const off = document.createElement('canvas');
    off.width = raster.columns;
    off.height = raster.rows;
    const octx = off.getContext('2d');
    const pixels = octx.createImageData(raster.columns, raster.rows);
    for (let row = 0; row < raster.rows; row++) {
      for (let col = 0; col < raster.columns; col++) {
        const c = raster.cells[row * raster.columns + col];
        if (c < 0) continue;
        const at = 4 * ((flipY ? raster.rows - 1 - row : row) * raster.columns + (flipX ? raster.columns - 1 - col : col));
        pixels.data[at] = c & 0xff;
        pixels.data[at + 1] = (c >> 8) & 0xff;
        pixels.data[at + 2] = (c >> 16) & 0xff;
        pixels.data[at + 3] = 255;
      }
    }
    octx.putImageData(pixels, 0, 0);
    return off.toDataURL('image/png');
  }

  // The drawn elements, as the desktop's picture box paints them: grid
  // lines as rectangles of whole pixels, sloping segments as lines, rings,
  // rasters; what falls wholly outside the chart (4 pixels about it) left
  // out, a kept reference's lines clipped 3 pixels inside it.
  function svgElements(pic, W, H) {
    const d = pic.drawing, out = [];
    if (!d || d.x2 === d.x1 || d.y2 === d.y1) return out;
    const sx = W / (d.x2 - d.x1), sy = H / (d.y2 - d.y1);
    const outer = { left: -4, top: -4, right: W + 4, bottom: H + 4 };
    const inner = { left: 3, top: 3, right: W - 3, bottom: H - 3 };
    let group = null;  // consecutive segments of one colour share a group
    const segment = (colour, text) => {
      if (group !== colour) {
        if (group !== null) out.push('</g>');
        out.push('<g stroke="' + colour + '">');
        group = colour;
      }
      out.push(text);
    };
    const close = () => {
      if (group !== null) out.push('</g>');
      group = null;
    };
    const draw = (p, colour, box) => {
      const ax = (p.x1 - d.x1) * sx, ay = (p.y1 - d.y1) * sy;
      if (p.image) {
        if (!(p.image.columns > 0 && p.image.rows > 0)) return;
        const bx = (p.x2 - d.x1) * sx, by = (p.y2 - d.y1) * sy;
        close();
        out.push('<image x="' + num(Math.min(ax, bx)) + '" y="' + num(Math.min(ay, by)) + '" width="' +
          num(Math.abs(bx - ax)) + '" height="' + num(Math.abs(by - ay)) +
          '" preserveAspectRatio="none" image-rendering="optimizeSpeed" style="image-rendering:pixelated" xlink:href="' +
          rasterUrl(p.image, bx < ax, by < ay) + '"/>');
        return;
      }
      if (!p.line) {
        const r = Math.abs(p.r * sx);
        if (!(ax + r > outer.left && ax - r < outer.right && ay + r > outer.top && ay - r < outer.bottom)) return;
        segment(colour, '<circle cx="' + num(ax) + '" cy="' + num(ay) + '" r="' + num(r) + '"/>');
        return;
      }
      const c = page.clipSegment(ax, ay, (p.x2 - d.x1) * sx, (p.y2 - d.y1) * sy, box);
      if (!c) return;
      if (c[0] === c[2] || c[1] === c[3]) {
        let x, y, w, h;
        if (c[1] === c[3]) {
          y = Math.floor(c[1]);
          x = Math.floor(Math.min(c[0], c[2]));
          w = Math.floor(Math.max(c[0], c[2])) + 1 - x;
          h = 1;
        } else {
          x = Math.floor(c[0]);
          y = Math.floor(Math.min(c[1], c[3]));
          h = Math.floor(Math.max(c[1], c[3])) + 1 - y;
          w = 1;
        }
        close();
        out.push('<rect x="' + x + '" y="' + y + '" width="' + w + '" height="' + h + '" fill="' + colour +
          '" stroke="none"/>');
        return;
      }
      segment(colour, '<polyline points="' + num(c[0]) + ',' + num(c[1]) + ' ' + num(c[2]) + ',' + num(c[3]) + '"/>');
    };
    const reference = () => {
      for (const p of pic.reference) if (p.line) draw(p, REFERENCE_GREY, inner);
      for (const p of pic.reference) if (!p.line && !p.image) draw(p, REFERENCE_GREY, outer);
    };
    const grid = pic.reference ? page.leadingGrid(d.prims) : -1;
    for (let i = 0; i < d.prims.length; i++) {
      if (i === grid) reference();
      const p = d.prims[i];
      draw(p, p.colour === null ? pic.fg : cssColour(p.colour), outer);
    }
    if (grid === d.prims.length) reference();
    close();
    return out;
  }

  function svgText(name) {
    const pic = pictureOf(name);
    const [W, H] = desktopSize(name, pic);
    const mm = (px) => num(px * 25.4 / SCREEN_DPI) + 'mm';
    const lines = ['<?xml version="1.0" encoding="UTF-8" standalone="no"?>',
      '<svg width="' + mm(W) + '" height="' + mm(H) + '" viewBox="0 0 ' + W + ' ' + H +
      '" xmlns="http://www.w3.org/2000/svg" xmlns:xlink="http://www.w3.org/1999/xlink" version="1.1">',
      '<title>jmach: ' + escapeXml(TITLES[name]) + '</title>', '<desc>Drawn by jmach</desc>',
      '<rect x="0" y="0" width="' + W + '" height="' + H + '" fill="' + SURFACE + '" stroke="none"/>',
      '<g fill="none" stroke-width="1" stroke-linecap="square">'];
    lines.push(...svgElements(pic, W, H));
    lines.push('</g>');
    const captions = captionsOf(name, pic);
    const k = captions.width > 0 ? W / captions.width : 1;
    for (const c of captions.list) {
      if (c.background) {
        lines.push('<rect x="' + num(c.left * k) + '" y="' + num(c.top * k) + '" width="' + num(c.width * k) +
          '" height="' + num(c.height * k) + '" fill="' + c.background + '" stroke="none"/>');
      }
      lines.push('<text x="' + num(c.x * k) + '" y="' + num(c.baseline * k) + '" fill="' + c.colour +
        '" stroke="none" font-family="' + escapeXml(c.font.family) + '" font-size="' + num(c.font.size * k) +
        '" font-weight="' + c.font.weight + '" font-style="' + c.font.style + '" xml:space="preserve">' +
        escapeXml(c.text) + '</text>');
    }
    lines.push('</svg>', '');
    return lines.join('\n');
  }

  // ---- Downloads ----

  // The downloads in turn, a moment apart: a browser drops some of many
  // started in one go.
  const queue = [];
  let downloading = false;
  function download(fileName, blob) {
    queue.push([fileName, blob]);
    if (!downloading) nextDownload();
  }

  function nextDownload() {
    const item = queue.shift();
    downloading = item !== undefined;
    if (!item) return;
    const url = URL.createObjectURL(item[1]);
    const a = document.createElement('a');
    a.href = url;
    a.download = item[0];
    a.hidden = true;
    document.body.appendChild(a);
    a.click();
    a.remove();
    // Long after the download has read it (a browser that runs the page's
    // clock ahead of the download's reading would lose it sooner).
    setTimeout(() => URL.revokeObjectURL(url), 60000);
    setTimeout(nextDownload, 250);
  }

  // The file of a chart or an open view; null, or why there is none.
  function fileOf(name, kind) {
    if (isView(name) && !viewOpen(name)) return null;
    if (kind === 'csv') {
      const text = table(name, 'csv');
      return text === '' ? null : new Blob([text], { type: 'text/csv' });
    }
    if (kind === 'svg') return new Blob([svgText(name)], { type: 'image/svg+xml' });
    return pngBlob(name);
  }

  // Saves under `fileName`; false when the chart has nothing to save.
  function saveAs(name, kind, fileName) {
    const blob = fileOf(name, kind);
    if (!blob) return false;
    download(fileName, blob);
    return true;
  }

  // The suffix of a file name as the desktop reads it: after the last dot
  // of its last part, in small letters.
  function suffixOf(file) {
    const base = file.slice(file.lastIndexOf('/') + 1);
    const dot = base.lastIndexOf('.');
    return dot < 0 ? '' : base.slice(dot + 1).toLowerCase();
  }

  page.files = {
    // kind: 'png', 'svg' or 'csv'; name: a chart or view name.
    save: function (name, kind) {
      try {
        if (!saveAs(name, kind, name + '.' + kind)) page.notify('There is nothing to save: the view is closed.');
      } catch (e) {
        page.notify('The file could not be saved: ' + (e && e.message ? e.message : e));
      }
    },
    copyData: function (name) {
      const refused = () => page.notify('Copying is not allowed here: save the data as CSV instead.');
      try {
        const text = table(name, 'tsv');
        if (text === '') {
          page.notify('There is nothing to copy: the view is closed.');
          return;
        }
        if (!navigator.clipboard || !navigator.clipboard.writeText) {
          refused();
          return;
        }
        navigator.clipboard.writeText(text).then(() => page.notify('The numbers are on the clipboard.'), refused);
      } catch (e) {
        refused();
      }
    },
    // The script hook's `export CHART FILE`: the error text of a bad line, or null.
    scriptExport: function (rest) {
      const gap = rest.search(/[ \t]/);
      const name = gap < 0 ? rest : rest.slice(0, gap);
      const file = gap < 0 ? '' : page.trim(rest.slice(gap));
      if (page.CHARTS.indexOf(name) < 0 && !isView(name)) return 'export needs ' + CHOICE + ', not ' + page.quoted(name);
      if (file === '') return 'export ' + name + ' needs a file name';
      if (isView(name) && !viewOpen(name)) return 'export ' + name + ': its window is not open';
      const kind = suffixOf(file);
      if (kind === 'pdf') return file + ': a PDF document is not available in the browser';
      if (kind !== 'csv' && kind !== 'png' && kind !== 'svg') return file + ': the suffix must be .csv, .png, .svg or .pdf';
      try {
        saveAs(name, kind, file.slice(file.lastIndexOf('/') + 1));
      } catch (e) {
        return 'cannot save ' + page.quoted(file) + ': ' + (e && e.message ? e.message : e);
      }
      return null;
    },
  };

  // The view panels: a button for each file in the head, before the close button.
  (page.started = page.started || []).push(function () {
    for (const name in VIEW_PIXELS) {
      const view = page.views[name];
      if (!view) continue;
      const head = view.panel.querySelector('.view-head');
      const close = head.querySelector('.close');
      for (const [kind, what] of [['png', 'image'], ['svg', 'image'], ['csv', 'numbers']]) {
        const button = document.createElement('button');
        button.type = 'button';
        button.className = 'view-file';
        button.textContent = kind.toUpperCase();
        button.setAttribute('aria-label', 'Save the ' + VIEW_WORDS[name] + ' ' + what + ' as ' + kind.toUpperCase());
        button.title = button.getAttribute('aria-label');
        button.addEventListener('click', () => page.files.save(name, kind));
        head.insertBefore(button, close);
      }
    }
  });
})();
