// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
// A phone folder made the way an attacker would: links to files outside, linked folders, relative
// links that climb out, ".." paths and special files.
#include "sources/folder_boundary.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <sys/stat.h>

namespace talvio {
namespace {

namespace fs = std::filesystem;
using Place = FolderBoundary::Place;

class FolderBoundaryTest : public ::testing::Test {
protected:
    FolderBoundaryTest() {
        test::writeFile(outside() + "secret.txt", "private");
        test::writeFile(phone() + "Library/Media/a/photo.jpg", "picture");
        fs::create_directories(phone() + "Library/Media/b");
    }
    std::string phone() const { return dir.path() + "phone/"; }
    std::string outside() const { return dir.path() + "private/"; }
    std::string media() const { return phone() + "Library/"; }
    test::TempDir dir;
};

TEST_F(FolderBoundaryTest, FilesInsideAndLinksThatStayInside) {
    const FolderBoundary boundary(media());
    EXPECT_EQ(boundary.place(media() + "Media/a/photo.jpg"), Place::Inside);
    fs::create_symlink("../a/photo.jpg", media() + "Media/b/same.jpg");
    EXPECT_EQ(boundary.place(media() + "Media/b/same.jpg"), Place::Inside);
    EXPECT_TRUE(boundary.holdsFile(media() + "Media/b/same.jpg"));
    // A relative folder works as well as an absolute one.
    const fs::path before = fs::current_path();
    fs::current_path(phone());
    EXPECT_EQ(FolderBoundary("Library/").place("Library/Media/a/photo.jpg"), Place::Inside);
    fs::current_path(before);
}

TEST_F(FolderBoundaryTest, EveryWayOutIsRefused) {
    const FolderBoundary boundary(media());
    fs::create_symlink(outside() + "secret.txt", media() + "Media/a/x.jpg");
    fs::create_symlink("../../../../private/secret.txt", media() + "Media/a/relative.opus");
    fs::create_symlink(outside(), media() + "Media/linked");
    for (const std::string& path :
         {media() + "Media/a/x.jpg", media() + "Media/a/relative.opus", media() + "Media/linked/secret.txt",
          media() + "../../private/secret.txt", media() + "Media/../Media/a/photo.jpg",
          media() + "Media/missing/../../../private/secret.txt", phone() + "outside-library.jpg"}) {
        EXPECT_EQ(boundary.place(path), Place::Outside) << path;
        EXPECT_FALSE(boundary.holdsFile(path)) << path;
    }
    // Nothing but a folder: a missing folder holds nothing either.
    EXPECT_EQ(FolderBoundary("").place(media() + "Media/a/photo.jpg"), Place::Outside);
}

TEST_F(FolderBoundaryTest, WhatIsNoFileInsideIsMissing) {
    const FolderBoundary boundary(media());
    ASSERT_EQ(::mkfifo((media() + "Media/a/pipe.opus").c_str(), 0600), 0);
    EXPECT_EQ(boundary.place(media() + "Media/a/pipe.opus"), Place::Missing);
    EXPECT_EQ(boundary.place(media() + "Media/a/gone.jpg"), Place::Missing);
    EXPECT_EQ(boundary.place(media() + "Media/b"), Place::Missing);
    // A message without a file names the folder itself.
    EXPECT_EQ(boundary.place(media()), Place::Missing);
    fs::create_symlink(media() + "Media/a/nowhere.jpg", media() + "Media/a/dangling.jpg");
    EXPECT_EQ(boundary.place(media() + "Media/a/dangling.jpg"), Place::Missing);
    // A resource folder that is not there: its paths are missing, not outside.
    const FolderBoundary absent(dir.path() + "absent/Library/");
    EXPECT_EQ(absent.place(dir.path() + "absent/Library/x.opus"), Place::Missing);
}

}  // namespace
}  // namespace talvio
