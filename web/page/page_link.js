// A link to the state on screen. "Copy link" puts on the clipboard the
// page's address with a fragment #state=LINES: the actions of the script
// language that a user would take from the start to reach what the window
// shows now (the scroll bars, the Mach box, the kept references with the
// inputs they were kept at, the sonic level, the open views). Opening such
// a link runs those actions through the same handlers as the controls.
// A fragment that is not such a list of actions opens the page at its
// start, with a notice saying so; nothing of it runs.
(function () {
  'use strict';
  const page = window.jmachPage;

  // The scroll bars in the order a link moves them, by action word.
  const BARS = [['thickness', 'HScroll_Thickness'], ['camber', 'HScroll_Camber'], ['np', 'HScroll_nP'],
    ['alpha', 'HScroll_AlfaD'], ['xm', 'HScroll_xM'], ['mach', 'HScroll_Moo']];
  const MAX_LINES = 200;
  const MAX_TEXT = 8000;  // characters of the decoded fragment
  const MAX_MACH_TEXT = 100;

  // What the last chains left, which the controls alone do not tell: the
  // Mach text the last chain read, the text the Mach bar last wrote, and
  // the state each kept reference was drawn at.
  let chainMachText = '0';
  let barMachText = '0';
  const references = [];  // {chart, state}, in the order they were kept

  const barValues = () => BARS.map(([, id]) => Number(page.byId(id).value));
  const machBox = () => page.byId('Text_Moo').value;

  function snapshot() {
    return { bars: barValues(), chainMach: chainMachText, barMach: barMachText, sonic: page.api.sonicLevel() === 1 };
  }

  // The lines that take a window in state `from` to state `to`; `from` is
  // updated as they would update it.
  function moves(from, to, lines) {
    BARS.forEach(([word], i) => {
      if (from.bars[i] === to.bars[i]) return;
      lines.push(word + ' ' + to.bars[i]);
      from.bars[i] = to.bars[i];
      if (word === 'mach') from.chainMach = from.barMach = to.barMach;
    });
    // A typed Mach number that a chain has read: typed, then a click on
    // the profile recomputes everything with it.
    if (to.chainMach !== from.chainMach) {
      lines.push('type-mach ' + to.chainMach);
      lines.push('click profil');
      from.chainMach = to.chainMach;
    }
    if (to.sonic !== from.sonic) {
      lines.push('sonic ' + (to.sonic ? 'on' : 'off'));
      from.sonic = to.sonic;
    }
  }

  // The state on screen as script lines.
  function stateLines() {
    const at = { bars: BARS.map(([, id]) => Number(page.byId(id).defaultValue)), chainMach: '0', barMach: '0',
      sonic: false };
    const lines = [];
    for (const r of references) {
      moves(at, r.state, lines);
      lines.push('keep ' + r.chart);
      // Moving on redraws the chart over its kept reference, never the reference.
    }
    moves(at, snapshot(), lines);
    if (machBox() !== at.chainMach) lines.push('type-mach ' + machBox());
    if (page.api.viewOpen('sweep') === 1) lines.push('sweep ' + page.byId('sweep_input').value);
    if (page.api.viewOpen('flow') === 1) lines.push('flow');
    return lines;
  }

  function stateLink() {
    const lines = stateLines();
    const base = location.href.replace(/#.*$/, '');
    return base + (lines.length ? '#state=' + encodeURIComponent(lines.join('\n')) : '');
  }

  // Whether a line is one a link may run, checked before anything runs:
  // only the actions that set what the window shows, each with a value
  // the control takes.
  function allowed(line) {
    const m = /^([a-z-]+)(?: (.*))?$/.exec(line);
    if (!m) return false;
    const word = m[1], rest = m[2] === undefined ? '' : m[2];
    const bar = BARS.find(([w]) => w === word);
    if (bar) {
      if (!/^-?[0-9]{1,4}$/.test(rest)) return false;
      const slider = page.byId(bar[1]), v = Number(rest);
      return v >= Number(slider.min) && v <= Number(slider.max);
    }
    if (word === 'type-mach') return rest.length <= MAX_MACH_TEXT && !/[\x00-\x1f\x7f]/.test(rest);
    if (word === 'click') return rest === 'profil';
    if (word === 'sonic') return rest === 'on' || rest === 'off';
    if (word === 'keep') return page.CHARTS.indexOf(rest) >= 0;
    if (word === 'sweep') return ['thickness', 'camber', 'alpha'].indexOf(rest) >= 0;
    if (word === 'flow') return rest === '';
    return false;
  }

  // Runs a #state= fragment: every line checked first, then all run in
  // order; a fragment that fails the check runs nothing.
  function open(text) {
    if (text === '') return true;
    const lines = typeof text === 'string' && text.length <= MAX_TEXT ? text.split('\n') : null;
    if (!lines || lines.length > MAX_LINES || !lines.every(allowed)) {
      page.notify('This link does not describe a state of the window: the page opened at its start.');
      return false;
    }
    let message = null;
    for (const line of lines) {
      const error = page.perform(line);
      if (error !== null) {
        // Cannot happen for a checked line; said rather than hidden.
        page.notify('The link stopped at "' + line + '": ' + error);
        return false;
      }
      // A message on the way (a profile the table lacks) is answered, so
      // that the actions after it run, and told at the end.
      while (page.byId('message-box').open) {
        message = page.byId('message-text').textContent;
        page.byId('message-ok').click();
      }
    }
    if (message !== null) page.notify(message);
    return true;
  }

  // "Copy link": on the clipboard where the browser allows it, else shown
  // in a box to copy from.
  function copy() {
    const link = stateLink();
    const shown = () => {
      const dialog = page.byId('link-box'), field = page.byId('link-text');
      field.value = link;
      if (!dialog.open) dialog.showModal();
      field.focus();
      field.select();
    };
    try {
      if (!navigator.clipboard || !window.isSecureContext) return shown();
      navigator.clipboard.writeText(link).then(() => page.notify('Link copied.'), shown);
    } catch (e) {
      shown();
    }
  }

  page.link = {
    copy: copy,
    open: open,
    stateLink: stateLink,
    // After a chain (`bar`: the scroll bar that ran it, or null for a click).
    chainRan: function (bar) {
      chainMachText = machBox();
      if (bar === 'HScroll_Moo') barMachText = chainMachText;
    },
    // A chart's reference kept (true) or cleared (false).
    kept: function (chart, on) {
      const at = references.findIndex((r) => r.chart === chart);
      if (at >= 0) references.splice(at, 1);
      if (on) references.push({ chart: chart, state: snapshot() });
    },
  };
})();
