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
      '@keyframes tv-hit-in{from{background:rgba(255,200,40,.75)}}' +
      'mark.tv-mark{background:#ffd54f;color:inherit;border-radius:2px;padding:0 1px}';
  document.head.appendChild(style);
  let marked = [];

  // Marks the text found inside a message's text. The search itself folds case in every script;
  // here a lower-case comparison of the same length finds what the reader typed in nearly all
  // texts, and a text it misses keeps the message's highlight alone.
  function addMarks(root, find) {
    const wanted = (find || '').normalize('NFC').toLowerCase();
    if (!wanted) return;
    const walker = document.createTreeWalker(root, NodeFilter.SHOW_TEXT, {
      acceptNode: function (node) {
        return node.parentElement && node.parentElement.closest('.MsgHistory') ? NodeFilter.FILTER_ACCEPT
                                                                             : NodeFilter.FILTER_REJECT;
      },
    });
    const nodes = [];
    while (walker.nextNode()) nodes.push(walker.currentNode);
    for (const node of nodes) {
      const text = node.data;
      const lower = text.normalize('NFC').toLowerCase();
      if (lower.length !== text.length) continue;
      let at = lower.indexOf(wanted);
      if (at < 0) continue;
      const pieces = document.createDocumentFragment();
      let done = 0;
      while (at >= 0) {
        pieces.append(text.slice(done, at));
        const mark = document.createElement('mark');
        mark.className = 'tv-mark';
        mark.textContent = text.slice(at, at + wanted.length);
        pieces.append(mark);
        done = at + wanted.length;
        at = lower.indexOf(wanted, done);
      }
      pieces.append(text.slice(done));
      node.replaceWith(pieces);
    }
  }

  function removeMarks(root) {
    for (const mark of root.querySelectorAll('mark.tv-mark')) mark.replaceWith(mark.textContent);
    root.normalize();
  }

  // A sender line's div has its class alone; a quote's, which names the quoted sender the same
  // way, has a style too.
  function senderLines() {
    return Array.from(document.getElementsByClassName('SenderNameMe')).filter(function (span) {
      const line = span.parentElement;
      return line && line.classList.contains('content') && line.attributes.length === 1 &&
          line.firstElementChild === span;
    });
  }

  function goToWhole(ordinal, find) {
    const lines = senderLines();
    if (!(ordinal >= 0 && ordinal < lines.length)) return false;
    for (const element of marked) {
      element.classList.remove('tv-hit');
      removeMarks(element);
    }
    const line = lines[ordinal].parentElement;
    const next = ordinal + 1 < lines.length ? lines[ordinal + 1].parentElement : null;
    marked = [];
    for (let element = line; element && element !== next; element = element.nextElementSibling) {
      if (element.tagName === 'SCRIPT' || element.tagName === 'STYLE') continue;
      element.classList.add('tv-hit');
      addMarks(element, find);
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

  // A page laid out whole has the anchor in the document: the message is the sender line before it.
  function goToAnchorWhole(name) {
    const anchor = document.getElementById(name);
    if (!anchor) return;
    const lines = senderLines();
    let low = 0;
    let high = lines.length;
    while (low < high) {
      const mid = (low + high) >> 1;
      if (lines[mid].compareDocumentPosition(anchor) & Node.DOCUMENT_POSITION_FOLLOWING) {
        low = mid + 1;
      } else {
        high = mid;
      }
    }
    if (low === 0 || !goToWhole(low - 1, '')) anchor.scrollIntoView();
  }

  // A reply's quote links the quoted message's anchor, "#m" and its row. In a window that message
  // may be outside the document, where the browser's own scrolling finds nothing; either way the
  // message is gone to as the host's go-to does, highlighted.
  document.addEventListener('click', function (event) {
    if (event.defaultPrevented || event.button !== 0 || !(event.target instanceof Element)) return;
    const link = event.target.closest('a[href^="#m"]');
    if (!link) return;
    const name = link.getAttribute('href').slice(1);
    if (!/^m[0-9]{1,19}$/.test(name)) return;
    event.preventDefault();
    if (window.__talvioWindow) {
      window.__talvioWindow.goToAnchor(name);
    } else {
      goToAnchorWhole(name);
    }
  });

  Object.defineProperty(window, '__talvioMarks', {value: Object.freeze({add: addMarks, remove: removeMarks})});
  Object.defineProperty(window, '__talvioGoTo', {
    value: function (ordinal, find) {
      return window.__talvioWindow ? window.__talvioWindow.goTo(ordinal, find) : goToWhole(ordinal, find);
    },
  });
})();
