// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
// Going to a message: the host names it by its ordinal, its sender line's place on the page. A
// windowed chat brings the message's block into its window; a page laid out whole has no blocks,
// so the message is its sender line and what follows up to the next one. Either way the message
// is highlighted by a class of the view's own style, the page's markup staying as it came.
(function () {
  'use strict';
  document.currentScript.remove();
  const style = document.createElement('style');
  style.textContent =
      '.tv-hit{background:rgba(255,200,40,.28);box-shadow:inset 3px 0 0 #e8a317;' +
      'animation:tv-hit-in .9s ease-out}' +
      '@keyframes tv-hit-in{from{background:rgba(255,200,40,.75)}}';
  document.head.appendChild(style);
  let marked = [];

  function senderLines() {
    return Array.from(document.getElementsByClassName('SenderNameMe')).filter(function (span) {
      return span.parentElement && span.parentElement.classList.contains('content') &&
          span.parentElement.firstElementChild === span;
    });
  }

  function goToWhole(ordinal) {
    const lines = senderLines();
    if (!(ordinal >= 0 && ordinal < lines.length)) return false;
    for (const element of marked) element.classList.remove('tv-hit');
    const line = lines[ordinal].parentElement;
    const next = ordinal + 1 < lines.length ? lines[ordinal + 1].parentElement : null;
    marked = [];
    for (let element = line; element && element !== next; element = element.nextElementSibling) {
      if (element.tagName === 'SCRIPT' || element.tagName === 'STYLE') continue;
      element.classList.add('tv-hit');
      marked.push(element);
    }
    scrollTo(scrollX, Math.max(0, line.getBoundingClientRect().top + scrollY - innerHeight / 4));
    window.__talvio.ready.then(function (host) {
      requestAnimationFrame(function () {
        requestAnimationFrame(function () { host.shown(location.href, ordinal); });
      });
    });
    return true;
  }

  Object.defineProperty(window, '__talvioGoTo', {
    value: function (ordinal) {
      return window.__talvioWindow ? window.__talvioWindow.goTo(ordinal) : goToWhole(ordinal);
    },
  });
})();
