// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "voice_decoder.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <thread>
#include <vector>

extern char** environ;

namespace talvio {
namespace {

// opusdec reads "-" as standard input and "file:..." as an address: absolute paths are always
// read as plain files.
std::string absolute(const std::string& path) {
    std::error_code ec;
    const std::filesystem::path result = std::filesystem::absolute(path, ec);
    return ec ? path : result.string();
}

std::string describe(int status) {
    if (WIFEXITED(status))
        return "exit status " + std::to_string(WEXITSTATUS(status));
    if (WIFSIGNALED(status))
        return "ended by signal " + std::to_string(WTERMSIG(status));
    return "status " + std::to_string(status);
}

}  // namespace

std::string defaultVoiceDecoder() {
    std::error_code ec;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (!ec) {
        const std::filesystem::path beside = self.parent_path() / "opusdec";
        if (::access(beside.c_str(), X_OK) == 0)
            return beside.string();
    }
    return "opusdec";
}

std::string decodeVoiceNote(const std::string& program, const std::string& opusPath,
                            const std::string& wavPath, int timeoutSeconds) {
    const std::string input = absolute(opusPath);
    const std::string output = absolute(wavPath);
    const std::string temporary = output + ".part-" + std::to_string(::getpid());
    std::vector<std::string> arguments{program, "--quiet", "--force-wav", input, temporary};
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return "cannot run " + program + ": " + std::strerror(spawned);

    // A damaged file must not hold the export up for ever; polling keeps this free of signals.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
    int status = 0;
    while (true) {
        const pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid)
            break;
        if (done < 0 && errno != EINTR)
            return program + " was lost: " + std::strerror(errno);
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(pid, SIGKILL);
            while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
            }
            ::unlink(temporary.c_str());
            return program + " took longer than " + std::to_string(timeoutSeconds) + " s and was stopped";
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    struct stat info {};
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || ::stat(temporary.c_str(), &info) != 0 ||
        info.st_size <= 44) {
        ::unlink(temporary.c_str());
        return program + " could not decode it (" + describe(status) + ")";
    }
    if (::rename(temporary.c_str(), output.c_str()) != 0) {
        const std::string reason = std::strerror(errno);
        ::unlink(temporary.c_str());
        return "cannot write " + output + ": " + reason;
    }
    return {};
}

}  // namespace talvio
