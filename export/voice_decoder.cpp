// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "voice_decoder.h"

#include "platform/file_ops.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
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

struct VoiceDecodeQueue::Running {
    pid_t pid = 0;
    std::string temporary;
    std::string output;
    std::chrono::steady_clock::time_point deadline;
    std::size_t tag = 0;
};

VoiceDecodeQueue::VoiceDecodeQueue(std::string program, Done done, unsigned parallel, int timeoutSeconds)
    : m_program(std::move(program)),
      m_done(std::move(done)),
      m_parallel(parallel != 0 ? parallel : std::max(1u, std::thread::hardware_concurrency())),
      m_timeoutSeconds(timeoutSeconds) {}

VoiceDecodeQueue::~VoiceDecodeQueue() {
    finish();
}

void VoiceDecodeQueue::add(const std::string& opusPath, const std::string& wavPath, std::size_t tag) {
    while (m_running.size() >= m_parallel)
        reap();
    Running run;
    run.output = absolute(wavPath);
    // opusdec opens its output by name and would follow a link planted there: it writes into a
    // file made for it, under a name nobody can guess.
    const platform::NewFile temporary = platform::createFileBeside(run.output);
    if (temporary.path.empty()) {
        m_done(tag, "cannot write beside " + run.output + ": " + std::strerror(errno));
        return;
    }
    ::close(temporary.fd);
    run.temporary = temporary.path;
    run.tag = tag;
    std::vector<std::string> arguments{m_program, "--quiet", "--force-wav", absolute(opusPath),
                                       run.temporary};
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    const int spawned = posix_spawnp(&run.pid, m_program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        ::unlink(run.temporary.c_str());
        m_done(tag, "cannot run " + m_program + ": " + std::strerror(spawned));
        return;
    }
    // A damaged file must not hold the export up for ever; polling keeps this free of signals.
    run.deadline = std::chrono::steady_clock::now() + std::chrono::seconds(m_timeoutSeconds);
    m_running.push_back(std::move(run));
}

void VoiceDecodeQueue::finish() {
    while (!m_running.empty())
        reap();
}

void VoiceDecodeQueue::reap() {
    bool ended = false;
    for (std::size_t i = 0; i < m_running.size();) {
        Running& run = m_running[i];
        int status = 0;
        std::string error;
        const pid_t done = ::waitpid(run.pid, &status, WNOHANG);
        if (done == 0 || (done < 0 && errno == EINTR)) {
            if (std::chrono::steady_clock::now() <= run.deadline) {
                ++i;
                continue;
            }
            ::kill(run.pid, SIGKILL);
            while (::waitpid(run.pid, &status, 0) < 0 && errno == EINTR) {
            }
            error =
                m_program + " took longer than " + std::to_string(m_timeoutSeconds) + " s and was stopped";
        } else if (done < 0) {
            error = m_program + " was lost: " + std::strerror(errno);
        } else {
            struct stat info {};
            if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || ::stat(run.temporary.c_str(), &info) != 0 ||
                info.st_size <= 44) {
                error = m_program + " could not decode it (" + describe(status) + ")";
            } else if (::rename(run.temporary.c_str(), run.output.c_str()) != 0) {
                error = "cannot write " + run.output + ": " + std::strerror(errno);
            }
        }
        if (!error.empty())
            ::unlink(run.temporary.c_str());
        const std::size_t tag = run.tag;
        m_running.erase(m_running.begin() + static_cast<std::ptrdiff_t>(i));
        m_done(tag, error);
        ended = true;
    }
    if (!ended) {
        if (m_pulse)
            m_pulse();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

std::string decodeVoiceNote(const std::string& program, const std::string& opusPath,
                            const std::string& wavPath, int timeoutSeconds) {
    std::string result;
    VoiceDecodeQueue queue(
        program, [&result](std::size_t, const std::string& error) { result = error; }, 1, timeoutSeconds);
    queue.add(opusPath, wavPath, 0);
    queue.finish();
    return result;
}

}  // namespace talvio
