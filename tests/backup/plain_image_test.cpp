// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "backup/plain_image.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <utility>
#include <vector>

namespace talvio::backup {
namespace {

// Growing past several mappings in pieces of odd sizes keeps every byte in order, and a moved
// image takes the bytes along while the one moved from is empty.
TEST(PlainImage, GrowsInPlaceAndMovesWhole) {
    std::vector<std::uint8_t> expected;
    ImageSink sink;
    std::uint32_t state = 7;
    for (std::size_t piece = 1; expected.size() < (std::size_t{5} << 20); piece = piece * 3 + 1) {
        std::vector<std::uint8_t> bytes(piece % 700'001);
        for (std::uint8_t& b : bytes) {
            state = state * 1664525u + 1013904223u;
            b = static_cast<std::uint8_t>(state >> 24);
        }
        ASSERT_TRUE(sink.write(bytes));
        expected.insert(expected.end(), bytes.begin(), bytes.end());
    }
    PlainImage image = std::move(sink.image());
    EXPECT_EQ(sink.image().size(), 0u);
    ASSERT_EQ(image.size(), expected.size());
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), image.bytes().begin()));

    PlainImage other;
    other = std::move(image);
    EXPECT_EQ(other.size(), expected.size());
    EXPECT_TRUE(image.bytes().empty());
    other.clear();
    EXPECT_TRUE(other.bytes().empty());
    EXPECT_TRUE(other.append({}));
}

TEST(PlainImage, DiscardEmptiesTheSink) {
    ImageSink sink;
    const std::uint8_t bytes[] = {1, 2, 3};
    ASSERT_TRUE(sink.write(bytes));
    sink.discard();
    EXPECT_EQ(sink.image().size(), 0u);
    ASSERT_TRUE(sink.write(bytes));
    EXPECT_EQ(sink.image().bytes()[2], 3);
}

}  // namespace
}  // namespace talvio::backup
