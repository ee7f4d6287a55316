// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "tools/iphone_process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>

extern char** environ;

namespace talvio::fixture {

Failure runProgram(const std::vector<std::string>& arguments, const char* package) {
    if (arguments.empty())
        return "no program to run";
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        return "cannot run " + arguments[0] + ": " + std::strerror(spawned) + " (install the package " +
               package + ")";
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR)
            return "lost " + arguments[0] + ": " + std::strerror(errno);
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
        return std::nullopt;
    std::string command;
    for (const std::string& argument : arguments)
        command += (command.empty() ? "" : " ") + argument;
    if (WIFEXITED(status))
        return command + ": exit status " + std::to_string(WEXITSTATUS(status));
    return command + ": ended by signal " + std::to_string(WTERMSIG(status));
}

std::filesystem::path scratchBeside(const std::filesystem::path& file, const char* suffix) {
    std::filesystem::path path = file;
    path += ".part-" + std::to_string(::getpid()) + suffix;
    return path;
}

Failure renameInto(const std::filesystem::path& made, const std::filesystem::path& file) {
    std::error_code error;
    std::filesystem::rename(made, file, error);
    if (error)
        return "cannot write " + file.string() + ": " + error.message();
    return std::nullopt;
}

}  // namespace talvio::fixture
