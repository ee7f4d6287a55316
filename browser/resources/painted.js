// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
// Tells the host when the document's first frame is on screen: the second animation frame after
// the page has been parsed comes after the first one was drawn.
(function () {
  'use strict';
  document.currentScript.remove();
  requestAnimationFrame(function () {
    requestAnimationFrame(function () {
      window.__talvio.ready.then(function (view) { view.painted(location.href); });
    });
  });
})();
