// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "load_in_child.h"

#include "fuzz/page_check.h"
#include "sources/android_weixin.h"
#include "sources/chat_page.h"
#include "sources/contact_table.h"
#include "sources/iphone_weixin.h"
#include "sources/phone_folder.h"
#include "sources/program_state.h"
#include "tests/support/temp_dir.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <memory>
#include <stdexcept>

namespace talvio::test {

ChildOutcome runInChild(const std::function<std::string()>& work, unsigned seconds) {
    int channel[2];
    if (::pipe(channel) != 0)
        throw std::runtime_error("pipe failed");
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = ::fork();
    if (child < 0)
        throw std::runtime_error("fork failed");
    if (child == 0) {
        // A group of its own, so that whatever the work starts can be ended with it, and a channel
        // that programs it starts do not inherit (they would keep it open after the child died).
        ::setpgid(0, 0);
        ::close(channel[0]);
        ::fcntl(channel[1], F_SETFD, FD_CLOEXEC);
        ::alarm(seconds);
        char status = 'F';
        std::string text;
        try {
            text = work();
        } catch (const std::exception& e) {
            status = 'X';
            text = e.what();
        }
        text.insert(text.begin(), status);
        for (std::size_t written = 0; written < text.size();) {
            const ssize_t n = ::write(channel[1], text.data() + written, text.size() - written);
            if (n <= 0)
                ::_exit(4);
            written += static_cast<std::size_t>(n);
        }
        // No exit handlers: the child shares the test's state and must not tear it down.
        ::_exit(0);
    }
    ::setpgid(child, child);
    ::close(channel[1]);
    std::string text;
    char buffer[65536];
    int status = 0;
    bool ended = false;
    while (true) {
        pollfd ready{channel[0], POLLIN, 0};
        if (::poll(&ready, 1, 200) > 0) {
            const ssize_t n = ::read(channel[0], buffer, sizeof buffer);
            if (n <= 0)
                break;
            text.append(buffer, static_cast<std::size_t>(n));
        } else if (::waitpid(child, &status, WNOHANG) == child) {
            // Ended while a program it started may still hold the channel: take what is there.
            ended = true;
            ::fcntl(channel[0], F_SETFL, O_NONBLOCK);
            for (ssize_t n = 0; (n = ::read(channel[0], buffer, sizeof buffer)) > 0;)
                text.append(buffer, static_cast<std::size_t>(n));
            break;
        }
    }
    ::close(channel[0]);
    if (!ended)
        ::waitpid(child, &status, 0);
    ::kill(-child, SIGKILL);

    ChildOutcome outcome;
    outcome.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (WIFSIGNALED(status)) {
        outcome.signal = WTERMSIG(status);
        outcome.end = outcome.signal == SIGALRM ? ChildOutcome::End::TimedOut : ChildOutcome::End::Crashed;
    } else if (WEXITSTATUS(status) == 0 && !text.empty()) {
        outcome.end = text[0] == 'F' ? ChildOutcome::End::Finished : ChildOutcome::End::Failed;
        outcome.output = text.substr(1);
    } else {
        outcome.exitCode = WEXITSTATUS(status);
    }
    return outcome;
}

std::string describe(const ChildOutcome& outcome) {
    switch (outcome.end) {
        case ChildOutcome::End::Finished:
            return "finished";
        case ChildOutcome::End::Failed:
            return "failed: " + outcome.output;
        case ChildOutcome::End::Crashed:
            return outcome.signal != 0 ? "crashed (signal " + std::to_string(outcome.signal) + ")"
                                       : "crashed (exit status " + std::to_string(outcome.exitCode) + ")";
        case ChildOutcome::End::TimedOut:
            return "did not return within its time";
    }
    return "?";
}

std::string loadAndRenderSummary(int sourceKind, const std::string& folder, const std::string& resources) {
    resetProgramState();
    contactTable().destroy();
    programState().timeZoneBias = 0;
    setLoadPaths(sourceKind, folder, resources);
    std::unique_ptr<CChatSoftware> source;
    if (sourceKind == kSourceIPhone) {
        source = std::make_unique<CIphoneWeiXin>(chosenPhoneFolder());
    } else {
        source = std::make_unique<CAndroidWeiXin>(chosenPhoneFolder());
    }
    source->LoadContacts(contactTable());

    const ContactTable& table = contactTable();
    std::string rows;
    std::size_t blocks = 0;
    for (int i = 0; i < table.count(); ++i) {
        const ContactEntry& entry = table.row(i);
        rows += "row\t" + std::to_string(i) + '\t' + entry.jid + '\t' + entry.displayName + '\t' +
                entry.picturePath + '\t' + std::to_string(entry.messageCount) + '\t' + entry.lastMessageTime +
                '\n';
        for (const int mode : {kViewer, kStandAlone}) {
            ChatPageBuffer buffer;
            const RenderOutcome outcome = renderContact(*source, entry, mode, buffer);
            const std::string& page = buffer.text();
            const bool noMessage = entry.messageCount < 1 && mode == kViewer;
            std::string shape;
            if (!outcome.readable) {
                fuzz::ReadPage read;
                if (auto fault = fuzz::readChatPage(page, mode, read))
                    throw std::runtime_error("page of row " + std::to_string(i) + ": " + *fault);
                if (read.unreadable.empty())
                    throw std::runtime_error("page of row " + std::to_string(i) + ": no notice of why");
                blocks += read.blocks.size();
                shape = "not read, " + std::to_string(read.blocks.size()) + " blocks";
            } else {
                fuzz::ReadPage read;
                if (auto fault = fuzz::readChatPage(page, mode, read))
                    throw std::runtime_error("page of row " + std::to_string(i) + ": " + *fault);
                if (read.noMessage != noMessage)
                    throw std::runtime_error("page of row " + std::to_string(i) + ": wrong No message block");
                blocks += read.blocks.size();
                shape = std::to_string(read.blocks.size()) + " blocks, " + std::to_string(page.size()) +
                        " bytes, " + std::to_string(std::hash<std::string>{}(page));
            }
            rows += "page\t" + std::to_string(i) + '\t' + std::to_string(mode) + '\t' + shape + '\n';
        }
    }
    return "rows " + std::to_string(table.count()) + "\nblocks " + std::to_string(blocks) + "\n" + rows;
}

namespace {

// By hand rather than with recursive_directory_iterator, which stats what links point to and
// throws on a link to itself.
void snapshotInto(const std::filesystem::path& folder, const std::string& prefix,
                  std::map<std::string, std::string>& entries) {
    for (const auto& item : std::filesystem::directory_iterator(folder)) {
        const std::string path = item.path().string();
        const std::string relative = prefix + item.path().filename().string();
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0) {
            entries[relative] = "gone";
        } else if (S_ISLNK(info.st_mode)) {
            entries[relative] = "link to " + std::filesystem::read_symlink(item.path()).string();
        } else if (S_ISREG(info.st_mode)) {
            const std::string bytes = readFile(path);
            entries[relative] = "file " + std::to_string(bytes.size()) + " " +
                                std::to_string(std::hash<std::string>{}(bytes)) + " " +
                                std::to_string(info.st_mtim.tv_sec) + "." +
                                std::to_string(info.st_mtim.tv_nsec);
        } else if (S_ISDIR(info.st_mode)) {
            entries[relative] = "folder";
            snapshotInto(item.path(), relative + "/", entries);
        } else if (S_ISFIFO(info.st_mode)) {
            entries[relative] = "fifo";
        } else {
            entries[relative] = "other";
        }
    }
}

}  // namespace

std::map<std::string, std::string> inputSnapshot(const std::string& folder) {
    std::map<std::string, std::string> entries;
    snapshotInto(folder, "", entries);
    return entries;
}

}  // namespace talvio::test
