// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
// Tells the host when the document's first frame is on screen: the second animation frame after
// the page has been parsed comes after the first one was drawn.
//
// Then, at the first idle moment, it collects what the chat shown before left: its whole document.
// That costs a few hundredths of a second (0.065 s after a chat of a thousand messages, measured).
// Left to the engine, it comes seconds later in one pause that grows with every chat opened since
// (half a second after seven such chats), while the reader scrolls. The host lets pages call the
// collector unless engine flags of the user's own leave it out.
(function () {
  'use strict';
  document.currentScript.remove();
  const collect = typeof window.gc === 'function' ? window.gc : null;
  requestAnimationFrame(function () {
    requestAnimationFrame(function () {
      window.__talvio.ready.then(function (view) { view.painted(location.href); });
      if (collect) requestIdleCallback(function () { collect(); }, {timeout: 1000});
    });
  });
})();
