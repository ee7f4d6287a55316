// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
// Exported pages read as the viewer shows them: a style of the export's own in their head, the
// page text around it as the renderer made it.
#include "export/export_run.h"
#include "sources/android_weixin.h"
#include "sources/chat_page.h"
#include "sources/contact_table.h"
#include "sources/media_copy.h"
#include "sources/page_presentation.h"
#include "sources/program_state.h"
#include "tests/sources/android_sql.h"
#include "tests/support/android_folder.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

namespace talvio {
namespace {

using test::contactRow;
using test::messageRow;

class ExportPresentationTest : public ::testing::Test {
protected:
    void SetUp() override { reset(); }
    void TearDown() override { reset(); }
    static void reset() {
        resetProgramState();
        contactTable().destroy();
        programState().timeZoneBias = 0;
    }
    test::TempDir dir;
};

TEST_F(ExportPresentationTest, ThePageHeadCarriesThePresentationAndTheTextStaysAsRendered) {
    test::makeAndroidFolder(
        dir.path() + "phone/",
        messageRow("491@s.whatsapp.net", 0, "0", "1618340700000", "BEGIN:VCARD\nEND:VCARD"),
        contactRow("491@s.whatsapp.net", "سلمى", nullptr));
    test::loadAndroidFolder(dir.path() + "phone/");
    CAndroidWeiXin source(chosenPhoneFolder());
    ExportRun run(source, dir.path() + "out");
    ASSERT_TRUE(run.run({0}).complete());
    const std::string page = test::readFile(dir.path() + "out/491.html");

    std::string head(pageHead(kStandAlone));
    ASSERT_TRUE(insertPresentationStyle(head));
    ASSERT_EQ(page.substr(0, head.size()), head);
    // The style comes after the page's own, once, and the rest is the renderer's text.
    EXPECT_LT(page.find(".MsgHistory {"), page.find(kPagePresentationStyle));
    EXPECT_EQ(page.find(kPagePresentationStyle), page.rfind(kPagePresentationStyle));
    EXPECT_NE(page.find("BEGIN:VCARD\nEND:VCARD</span>"), std::string::npos);
    EXPECT_EQ(page.substr(page.size() - kPageEnd.size()), kPageEnd);
}

}  // namespace
}  // namespace talvio
