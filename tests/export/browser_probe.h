// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include "tests/export/page_scan.h"
#include "tests/support/run_command.h"

#include <filesystem>
#include <string>

namespace talvio::test {

inline bool haveChromium() {
    return std::filesystem::exists("/usr/bin/chromium");
}

// Opens an exported page from disk in headless Chromium, as a user's browser would, and says what
// it found, sorted and joined by commas: "image" or "broken image" for each picture, "AUDIO" or
// "VIDEO" for each player link whose media got data to play ("… not ready" or "… error" when not),
// and "literal" when a message shows the text literal as typed (markup in it not taken as
// markup). The probe lies beside the page, so that whatever the page refers to resolves as from
// it. Returns the browser's output instead when it found nothing.
inline std::string probeExportedPage(const std::string& page, const std::string& scratch,
                                     const std::string& literal = "a<b>&c") {
    const std::string probe = std::filesystem::path(page).replace_filename("probe.html").string();
    writeFile(probe, readFile(page) + R"(<script>
// The links are clicked as soon as the page is parsed: a media element that is fetching holds the
// document's load event back until it has data, and the dump waits for that event.
var out = [], pending = 0, loaded = false;
function done() {
  if (!loaded || pending > 0) return;
  out.sort();
  document.body.setAttribute('data-result', out.join(','));
}
document.addEventListener('DOMContentLoaded', function () {
  document.querySelectorAll('a[onclick]').forEach(function (a) {
    var parent = a.parentNode;
    ++pending;
    a.onclick();
    var m = parent.querySelector('audio,video');
    m.muted = true;
    function settle(what) { out.push(what); --pending; done(); }
    m.addEventListener('loadeddata', function () {
      settle(m.tagName + (m.readyState >= 2 && m.duration > 0.5 ? '' : ' not ready'));
    });
    m.addEventListener('error', function () { settle(m.tagName + ' error'); });
  });
});
window.addEventListener('load', function () {
  for (var i = 0; i < document.images.length; ++i)
    out.push(document.images[i].naturalWidth > 0 ? 'image' : 'broken image');
  var texts = document.querySelectorAll('.MsgHistory');
  for (var i = 0; i < texts.length; ++i)
    if (texts[i].textContent.indexOf(LITERAL) >= 0 && texts[i].querySelector('b') == null) out.push('literal');
  loaded = true;
  done();
});
</script>)");
    // The literal goes in as a script string.
    std::string text = readFile(probe);
    std::string quoted = "'";
    for (const char c : literal)
        quoted += c == '\'' || c == '\\' ? std::string("\\") + c : std::string(1, c);
    text.replace(text.find("LITERAL"), 7, quoted + "'");
    writeFile(probe, text);
    const CommandResult run = runCommand(
        "timeout 90 /usr/bin/chromium --headless --no-sandbox --disable-gpu --no-first-run "
        "--disable-background-networking --disable-component-update --disable-sync --user-data-dir=" +
        scratch + "chromium --virtual-time-budget=15000 --dump-dom file://" + probe);
    std::filesystem::remove(probe);
    const std::vector<std::string> result = textsBetween(run.out, "data-result=\"", "\"");
    return result.size() == 1 ? result[0] : run.out;
}

}  // namespace talvio::test
