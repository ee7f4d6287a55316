// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
// window.external for the chat page. The host appends the call with the bridge's vocabulary:
// [name, id, isMethod, propertyValue]. Properties answer at once, so that the page's test
// "CB_IsOurCustomBrowser != null" holds from the first click; the play methods travel over the web
// channel, and calls made before the channel is up wait for it.
(function (names) {
  'use strict';
  let bridge = null;
  const waiting = [];
  const external = {};
  for (const [name, , isMethod, value] of names) {
    if (!isMethod) {
      external[name] = value;
      continue;
    }
    external[name] = function () {
      const args = Array.prototype.slice.call(arguments);
      if (bridge) {
        bridge.call(name, args);
      } else {
        waiting.push([name, args]);
      }
    };
  }
  Object.freeze(external);
  Object.defineProperty(window, 'external', {value: external, writable: false, configurable: false});

  const ready = new Promise(function (resolve) {
    new QWebChannel(qt.webChannelTransport, function (channel) {
      bridge = channel.objects.talvioBridge;
      for (const [name, args] of waiting.splice(0)) bridge.call(name, args);
      resolve(channel.objects.talvioView);
    });
  });
  Object.defineProperty(window, '__talvio', {value: Object.freeze({ready: ready})});
})
