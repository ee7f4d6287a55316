// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
// The windowed chat. Only the blocks near the viewport are in the document; two spacers stand in
// for the others with their heights (estimated until a block has been laid out once, measured
// after), so the scroll bar spans the whole chat and every block can be reached. Blocks come from
// the host on request, one request at a time. Whenever the window or its layout changes, the
// block at the top of the viewport is kept where it was, so the reader never sees the page jump.
// A chat of up to a couple of thousand blocks comes whole with its document, all but the first screen
// inert in a template, and is moved into the document a few screens at a time until it is whole.
// A longer one starts with the first screen only, the number of blocks and their width estimates
// follow once the host has cut the whole page, and it keeps a few screens around the viewport.
(function () {
  'use strict';
  const boot = window.__talvioBoot;
  delete window.__talvioBoot;
  let n = 0;  // until the layout has come
  let units = null;
  const root = document.getElementById('tv-root');
  const topSpacer = document.getElementById('tv-top');
  const win = document.getElementById('tv-win');
  const bottomSpacer = document.getElementById('tv-bottom');
  const kSample = 'The quick brown fox jumps over the lazy dog 0123456789';
  const kMaxBlocksPerRequest = 400;
  // A chunk of a filling chat should keep input waiting no longer than this (milliseconds).
  const kFillBudget = 60;

  // Every block of a chat that came whole, in order; null when the host holds the blocks.
  const store = collectStore();
  let fallbackHeight = 0;  // for blocks without a width estimate
  let heights = null;
  let measured = null;
  let tree = null;  // Fenwick tree over heights, for offsets of block indices
  let topBit = 1;

  let a = 0;  // the document holds blocks [a, b)
  let b = win.children.length;
  let tops = [];  // offsets in root of the window's blocks, then of the bottom spacer, last measured
  let topsFrom = 0;  // the block that tops[0] belongs to
  let rootY = 0;
  let metrics = null;
  let view = null;  // the host, once the web channel is up
  let busy = false;
  let unsettled = true;  // a scroll that has not been reported yet
  let pinned = false;  // the reader is at the end of the chat, and stays there as it grows
  let whole = false;  // every block is in the document
  let fillCount = 100;  // blocks per chunk, adapted to what the last chunk cost
  let target = -1;  // the block of the message gone to, highlighted while it is in the document
  let marked = null;  // the element that carries the highlight
  let going = -1;  // a block to go to once the window is free (and the layout has come)
  let finding = '';  // the text marked inside the block gone to
  let seeking = null;  // a quote's anchor to go to once the layout has come

  function collectStore() {
    const rest = document.getElementById('tv-rest');
    if (!rest) return null;
    const all = Array.from(win.children).concat(Array.from(rest.content.children));
    rest.remove();
    return all;
  }

  function add(i, delta) {
    for (let k = i + 1; k <= n; k += k & -k) tree[k] += delta;
  }

  function prefix(i) {
    let sum = 0;
    for (let k = i; k > 0; k -= k & -k) sum += tree[k];
    return sum;
  }

  // The block whose span of offsets holds y.
  function blockAt(y) {
    let pos = 0;
    for (let step = topBit; step > 0; step >>= 1) {
      if (pos + step <= n && tree[pos + step] <= y) {
        pos += step;
        y -= tree[pos];
      }
    }
    return Math.min(pos, n - 1);
  }

  function measureMetrics() {
    const probe = document.createElement('div');
    probe.style.visibility = 'hidden';
    probe.innerHTML = '<div class="tvb">' + boot.probe + '</div><div class="tvb"></div>' +
        '<div class="content"><SPAN class="MsgHistory">x</SPAN></div>' +
        '<div class="content"><SPAN class="MsgHistory" style="white-space:nowrap">' + kSample + '</SPAN></div>';
    // Below the bottom spacer, so that nothing above it moves while it is there.
    root.appendChild(probe);
    const kids = probe.children;
    const result = {
      block: Math.max(1, kids[1].offsetTop - kids[0].offsetTop),
      line: Math.max(1, kids[2].offsetHeight),
      unit: kids[3].firstElementChild.getBoundingClientRect().width / kSample.length,
      width: Math.max(1, kids[2].clientWidth),
      picture: Math.max(200, innerHeight / 2),
    };
    root.removeChild(probe);
    return result;
  }

  function estimate(i) {
    if (!units) return fallbackHeight || metrics.block;
    const u = units[i];
    if (u < 0) return metrics.block + metrics.picture;
    const lines = Math.max(1, Math.ceil(u * metrics.unit / metrics.width));
    return metrics.block + (lines - 1) * metrics.line;
  }

  function rebuild() {
    tree[0] = 0;
    for (let i = 0; i < n; ++i) {
      if (!measured[i]) heights[i] = estimate(i);
      tree[i + 1] = heights[i];
    }
    for (let k = 1; k <= n; ++k) {
      const up = k + (k & -k);
      if (up <= n) tree[up] += tree[k];
    }
  }

  function decodeUnits(text) {
    const digits = 'ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/';
    const value = new Int16Array(128);
    for (let k = 0; k < 64; ++k) value[digits.charCodeAt(k)] = k;
    const result = new Int32Array(text.length >> 1);
    for (let i = 0; i < result.length; ++i) {
      const v = value[text.charCodeAt(2 * i)] * 64 + value[text.charCodeAt(2 * i + 1)];
      result[i] = v === 4095 ? -1 : v;
    }
    return result;
  }

  function offsets() {
    const kids = win.children;
    const result = new Array(kids.length + 1);
    for (let k = 0; k < kids.length; ++k) result[k] = kids[k].offsetTop;
    result[kids.length] = bottomSpacer.offsetTop;
    return result;
  }

  function setHeight(element, px) {
    const text = px.toFixed(1) + 'px';
    if (element.style.height !== text) element.style.height = text;
  }

  // The block at the top of the viewport in the layout last measured, and where it was.
  function anchor() {
    if (tops.length < 2) return null;
    const y = scrollY - rootY;
    let low = 0;
    let high = tops.length - 2;
    if (tops[high + 1] <= y || tops[0] > y + innerHeight) return null;
    while (low < high) {
      const mid = (low + high) >> 1;
      if (tops[mid + 1] > y) {
        high = mid;
      } else {
        low = mid + 1;
      }
    }
    return {index: topsFrom + low, top: tops[low]};
  }

  // After any change to the window or to its layout: measure what is there, give the spacers the
  // heights of what they stand for, and put the kept block back where it was.
  // The highlight follows the block gone to: blocks leave the document and come back as new
  // elements.
  function mark() {
    const k = target - a;
    const element = target >= 0 && k >= 0 && k < win.children.length ? win.children[k] : null;
    if (element === marked) return;
    if (marked) {
      marked.classList.remove('tv-hit');
      window.__talvioMarks.remove(marked);
    }
    marked = element;
    if (marked) {
      marked.classList.add('tv-hit');
      window.__talvioMarks.add(marked, finding);
    }
  }

  function settle(keep) {
    mark();
    if (n === 0) {
      // Until the layout comes: the first screen, and room below it for the blocks expected.
      tops = offsets();
      const average = b > 0 ? (tops[b] - tops[0]) / b : 0;
      setHeight(bottomSpacer, Math.max(0, (boot.expected || b) - b) * average);
      tops = offsets();
      return;
    }
    const now = offsets();
    for (let k = 0; k + 1 < now.length; ++k) {
      const i = a + k;
      const h = now[k + 1] - now[k];
      if (h !== heights[i]) {
        add(i, h - heights[i]);
        heights[i] = h;
      }
      measured[i] = 1;
    }
    setHeight(topSpacer, prefix(a));
    setHeight(bottomSpacer, Math.max(0, prefix(n) - prefix(b)));
    tops = offsets();
    topsFrom = a;
    if (pinned && b === n) {
      scrollTo(scrollX, document.documentElement.scrollHeight);
    } else if (keep && keep.index >= a && keep.index < b) {
      const delta = tops[keep.index - a] - keep.top;
      if (Math.abs(delta) >= 0.5) scrollTo(scrollX, scrollY + delta);
    }
  }

  // How many blocks from `from` on (or, backwards, before it) fill px by the heights known.
  function forward(from, px) {
    let to = from;
    let sum = 0;
    while (to < n && to - from < kMaxBlocksPerRequest && sum < px) sum += heights[to++];
    return to;
  }

  function backward(to, px) {
    let from = to;
    let sum = 0;
    while (from > 0 && to - from < kMaxBlocksPerRequest && sum < px) sum += heights[--from];
    return from;
  }

  // Blocks [from, to) for the window, handed to apply: from the store (a turn of the event loop
  // later, so that input and frames get through between chunks), or as markup from the host.
  function request(from, to, apply) {
    busy = true;
    if (store) {
      setTimeout(function () {
        busy = false;
        const start = performance.now();
        apply(store.slice(from, to));
        const perBlock = (performance.now() - start) / Math.max(1, to - from);
        fillCount = Math.round(Math.min(kMaxBlocksPerRequest, Math.max(20, kFillBudget / Math.max(perBlock, 0.01))));
        update();
      }, 0);
      return;
    }
    view.blocks(boot.serial, from, to, function (html) {
      // An empty answer: this page has been replaced and its document is on its way out; it
      // asks for nothing more.
      if (!html) return;
      busy = false;
      apply(html);
      update();
    });
  }

  function jump(from, blocks) {
    const y = scrollY - rootY;
    const atEnd = scrollY + innerHeight >= document.documentElement.scrollHeight - 2;
    const target = blockAt(Math.max(0, y));
    const within = Math.max(0, y - prefix(target));
    put('replace', blocks);
    a = from;
    b = from + win.children.length;
    settle(null);
    if (atEnd && b === n) {
      pinned = true;
      scrollTo(scrollX, document.documentElement.scrollHeight);
    } else if (target >= a && target < b) {
      scrollTo(scrollX, rootY + tops[target - a] + Math.min(within, heights[target] - 1));
    }
  }

  function trim(y, vh, margin) {
    const keep = anchor();
    let drop = 0;
    while (drop + 1 < tops.length - 1 && tops[drop + 1] < y - 2 * margin) ++drop;
    let cut = 0;
    while (cut + 1 < tops.length - 1 - drop && tops[tops.length - 2 - cut] > y + vh + 2 * margin) ++cut;
    if (drop === 0 && cut === 0) return;
    for (let k = 0; k < cut; ++k) win.removeChild(win.lastElementChild);
    for (let k = 0; k < drop; ++k) win.removeChild(win.firstElementChild);
    a += drop;
    b -= cut;
    settle(keep);
  }

  // Puts blocks (elements, or markup) at the start or the end of the window, or in its place.
  function put(where, blocks) {
    if (typeof blocks === 'string') {
      if (where === 'replace') {
        win.innerHTML = blocks;
      } else {
        win.insertAdjacentHTML(where === 'start' ? 'afterbegin' : 'beforeend', blocks);
      }
    } else if (where === 'replace') {
      win.replaceChildren(...blocks);
    } else if (where === 'start') {
      win.prepend(...blocks);
    } else {
      win.append(...blocks);
    }
  }

  function prepend(from, to) {
    request(from, to, function (blocks) {
      const keep = anchor();
      put('start', blocks);
      a = from;
      settle(keep);
    });
  }

  function append(from, to) {
    request(from, to, function (blocks) {
      const keep = anchor();
      put('end', blocks);
      b = a + win.children.length;
      settle(keep);
    });
  }

  function report(what) {
    window.__talvio.ready.then(function (host) {
      requestAnimationFrame(function () {
        requestAnimationFrame(what.bind(null, host));
      });
    });
  }

  // A chat that came whole is moved into the document a few screens at a time once the viewport
  // is served, so that no single layout keeps input waiting.
  function fill() {
    if (b < n) {
      append(b, Math.min(n, b + fillCount));
    } else if (a > 0) {
      prepend(Math.max(0, a - fillCount), a);
    } else if (!whole) {
      whole = true;
      report(function (host) { host.whole(boot.serial); });
    }
  }

  // Puts block i a quarter down the viewport: read from there on, with some context above it.
  function scrollToBlock(i) {
    pinned = false;
    scrollTo(scrollX, Math.max(0, rootY + tops[i - a] - innerHeight / 4));
  }

  // Goes to block i: at once when it is in the document, else the window moves there, as it does
  // for a drag of the scroll bar, and the margins around it follow as they do for any scroll.
  function show(i) {
    target = i;
    const shown = function (host) { host.shown(location.href, i - (boot.lead || 0)); };
    if (i >= a && i < b && tops.length > i - a + 1) {
      mark();
      scrollToBlock(i);
      report(shown);
      return;
    }
    const from = backward(i, innerHeight);
    request(from, forward(i, 1.5 * innerHeight), function (blocks) {
      put('replace', blocks);
      a = from;
      b = from + win.children.length;
      settle(null);
      scrollToBlock(i);
      report(shown);
    });
  }

  function update() {
    if (busy || n === 0 || (!store && !view)) return;
    if (going >= 0) {
      const i = Math.min(going, n - 1);
      going = -1;
      show(i);
      return;
    }
    const vh = innerHeight;
    const y = scrollY - rootY;
    const margin = 2 * vh;
    const windowTop = tops[0];
    const windowBottom = tops[tops.length - 1];
    if (b <= a || windowBottom < y - margin || windowTop > y + vh + margin) {
      // Just enough for the screen, so that it fills at once; the margins follow. At the bottom
      // of the document the reader wants the last messages, whatever the estimates say.
      const atEnd = scrollY + vh >= document.documentElement.scrollHeight - 2;
      const target = blockAt(Math.max(0, y));
      const from = atEnd ? backward(n, 1.5 * vh) : backward(target, vh / 2);
      request(from, atEnd ? n : forward(target, 1.5 * vh), function (blocks) { jump(from, blocks); });
      return;
    }
    if (a > 0 && windowTop > y - margin / 2) {
      prepend(backward(a, margin), a);
      return;
    }
    if (b < n && windowBottom < y + vh + margin / 2) {
      append(b, forward(b, margin + vh));
      return;
    }
    const filling = store !== null;
    if (!filling && (windowTop < y - 3 * margin || windowBottom > y + vh + 3 * margin)) trim(y, vh, margin);
    if (unsettled && (a === 0 || windowTop <= y) && (b === n || windowBottom >= y + vh)) {
      unsettled = false;
      const shownAt = scrollY;
      report(function (host) { host.settled(boot.serial, shownAt); });
    }
    if (filling) fill();
  }

  // Goes to block i, highlighted, with find marked in it.
  function goToBlock(i, find) {
    if (!(i >= 0) || (n !== 0 && i >= n)) return false;
    going = i;
    if (marked && find !== finding) {
      // The same block with another text: marked anew.
      marked.classList.remove('tv-hit');
      window.__talvioMarks.remove(marked);
      marked = null;
    }
    finding = find || '';
    update();
    return true;
  }

  // Goes to the block that holds a message's anchor (a quote's target): found in the document or
  // in the chat that came whole, else the host finds it in the page it holds. The name has been
  // checked to be an anchor name and travels as data.
  function goToAnchor(name) {
    const element = document.getElementById(name);
    const block = element ? element.closest('.tvb') : null;
    if (block && block.parentElement === win) {
      goToBlock(a + Array.prototype.indexOf.call(win.children, block), '');
      return;
    }
    if (store) {
      for (let i = 0; i < store.length; ++i) {
        if (store[i].querySelector('a[id="' + name + '"]')) {
          goToBlock(i, '');
          return;
        }
      }
      return;
    }
    if (!view || n === 0) {
      seeking = name;
      return;
    }
    view.anchorBlock(boot.serial, name, function (i) {
      if (i >= 0) goToBlock(i, '');
    });
  }

  function takeLayout(count, text) {
    if (n !== 0 || !count) return;
    const atEnd = scrollY > 0 && scrollY + innerHeight >= document.documentElement.scrollHeight - 2;
    const keep = anchor();
    if (b > 0) fallbackHeight = (tops[b - a] - tops[0]) / (b - a);
    n = count;
    units = text ? decodeUnits(text) : null;
    heights = new Float64Array(n);
    measured = new Uint8Array(n);
    tree = new Float64Array(n + 1);
    while (topBit * 2 <= n) topBit *= 2;
    rebuild();
    settle(keep);
    // A reader who went to the bottom of the first screen wanted the end of the chat.
    if (atEnd) scrollTo(scrollX, document.documentElement.scrollHeight);
    update();
    if (seeking) {
      const name = seeking;
      seeking = null;
      goToAnchor(name);
    }
  }

  rootY = root.getBoundingClientRect().top + scrollY;
  metrics = measureMetrics();
  settle(null);
  new ResizeObserver(function () {
    settle(anchor());
    update();
  }).observe(win);
  addEventListener('scroll', function () {
    unsettled = true;
    pinned = n !== 0 && b === n && scrollY + innerHeight >= document.documentElement.scrollHeight - 2;
    update();
  }, {passive: true});
  addEventListener('resize', function () {
    if (n === 0) return;
    const keep = anchor();
    const width = metrics.width;
    rootY = root.getBoundingClientRect().top + scrollY;
    metrics = measureMetrics();
    // Wrapping changes with the width: what was measured before no longer holds.
    if (metrics.width !== width) measured.fill(0);
    rebuild();
    settle(keep);
    update();
  });
  if (store) takeLayout(store.length, null);
  window.__talvio.ready.then(function (host) {
    view = host;
    if (store) return;
    host.layoutReady.connect(function (serial, count, text) {
      if (serial === boot.serial) takeLayout(count, text);
    });
    // The layout may have been sent before this page listened.
    host.layout(boot.serial, function (answer) {
      if (answer) takeLayout(answer.count, answer.units);
    });
  });
  // For tests and benchmarks: which blocks are in the document and how tall the whole chat is.
  Object.defineProperty(window, '__talvioWindow', {
    value: Object.freeze({
      state: function () {
        return {first: a, end: b, count: n, total: prefix(n), busy: busy, target: target};
      },
      // Goes to the message of the ordinal (its sender line's place on the page), highlighted.
      goTo: function (ordinal, find) { return goToBlock(ordinal + (boot.lead || 0), find); },
      goToAnchor: goToAnchor,
    }),
  });
})();
