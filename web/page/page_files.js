// The charts' files: each chart's image as PNG or SVG and its numbers as
// CSV, downloaded, and the numbers as tab-separated text on the clipboard.
(function () {
  'use strict';
  const page = window.jmachPage;
  page.files = {
    // kind: 'png', 'svg' or 'csv'; name: a chart or view name.
    save: function (name, kind) { page.notify('Saving is not available yet.'); },
    copyData: function (name) { page.notify('Copying is not available yet.'); },
    // The script hook's `export CHART FILE`: the error text of a bad line, or null.
    scriptExport: function (rest) { return 'export is not available in the browser'; },
  };
})();
