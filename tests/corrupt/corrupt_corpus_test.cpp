// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
// Every damaged variant that talvio-corrupt writes of the three fixtures, loaded and rendered
// through the viewer's code, each in a child process under a watchdog.
#include "load_in_child.h"
#include "sources/program_state.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <vector>

namespace talvio::test {
namespace {

// Far above what any variant needs (milliseconds; a few seconds for the multi-megabyte texts
// under the sanitizers), far below a hang.
constexpr unsigned kSecondsPerVariant = 60;

struct Variant {
    std::string name;
    std::string expect;
};

std::vector<Variant> variantsOf(const std::string& corpus) {
    std::istringstream list(readFile(corpus + "/variants.txt"));
    std::vector<Variant> variants;
    std::string line;
    while (std::getline(list, line)) {
        const std::size_t tab = line.find('\t');
        if (tab != std::string::npos)
            variants.push_back({line.substr(0, tab), line.substr(tab + 1)});
    }
    return variants;
}

long figure(const std::string& summary, const std::string& name) {
    const std::size_t at = summary.find(name + " ");
    return at == std::string::npos ? -1 : std::stol(summary.substr(at + name.size() + 1));
}

struct Fixture {
    const char* corpus;
    int kind;
};

class CorruptCorpus : public ::testing::TestWithParam<Fixture> {};

TEST_P(CorruptCorpus, EveryVariantEndsInItsOutcomeUnchanged) {
    const Fixture& fixture = GetParam();
    const std::string corpus = std::string(TALVIO_CORRUPT_CORPUS) + "/" + fixture.corpus;
    const std::string resources = fixture.kind == kSourceIPhone ? TALVIO_CORRUPT_RESOURCES : "";
    const std::vector<Variant> variants = variantsOf(corpus);
    ASSERT_GT(variants.size(), 100u) << "the corpus is missing or small: " << corpus;
    ASSERT_EQ(variants.front().name, "intact");

    std::string intact;
    double slowest = 0;
    std::string slowestName;
    for (const Variant& variant : variants) {
        SCOPED_TRACE(fixture.corpus + std::string("/") + variant.name);
        const std::string folder = corpus + "/" + variant.name + "/";
        const auto before = inputSnapshot(folder);
        const auto resourcesBefore = resources.empty() ? decltype(before)() : inputSnapshot(resources);
        const ChildOutcome outcome = runInChild(
            [&] { return loadAndRenderSummary(fixture.kind, folder, resources); }, kSecondsPerVariant);
        EXPECT_EQ(outcome.end, ChildOutcome::End::Finished) << describe(outcome);
        EXPECT_EQ(inputSnapshot(folder), before) << "the load changed the folder";
        if (!resources.empty()) {
            EXPECT_EQ(inputSnapshot(resources), resourcesBefore) << "the load changed the resource folder";
        }
        if (outcome.seconds > slowest) {
            slowest = outcome.seconds;
            slowestName = variant.name;
        }
        if (outcome.end != ChildOutcome::End::Finished)
            continue;

        const std::string& summary = outcome.output;
        if (variant.expect == "intact") {
            intact = summary;
            EXPECT_GE(figure(summary, "rows"), 2) << summary;
            EXPECT_GT(figure(summary, "blocks"), 0) << summary;
        } else if (variant.expect == "same-as-intact") {
            EXPECT_EQ(summary, intact);
        } else if (variant.expect == "no-messages") {
            EXPECT_EQ(figure(summary, "blocks"), 0) << summary;
        } else if (variant.expect == "no-contacts") {
            EXPECT_EQ(figure(summary, "rows"), 0) << summary;
        } else {
            EXPECT_EQ(variant.expect, "any");
        }
    }
    std::cout << variants.size() << " variants of " << fixture.corpus << "; the slowest, " << slowestName
              << ", took " << slowest << " s\n";
}

INSTANTIATE_TEST_SUITE_P(Fixtures, CorruptCorpus,
                         ::testing::Values(Fixture{"legacy", kSourceAndroid},
                                           Fixture{"modern", kSourceAndroid},
                                           Fixture{"iphone", kSourceIPhone}),
                         [](const auto& test) { return std::string(test.param.corpus); });

}  // namespace
}  // namespace talvio::test
