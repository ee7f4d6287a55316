// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "voice_decode_queue.h"

#include "platform/file_ops.h"
#include "platform/process.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <optional>
#include <system_error>
#include <thread>
#include <vector>

namespace talvio {
namespace {

// opusdec reads "-" as standard input and "file:..." as an address: absolute paths are always
// read as plain files.
std::string absolute(const std::string& path) {
    std::error_code ec;
    const std::filesystem::path result = std::filesystem::absolute(path, ec);
    return ec ? path : result.string();
}

}  // namespace

std::string defaultVoiceDecoder() {
    const std::string beside = platform::executableFolder() + "opusdec";
    if (beside != "opusdec" && ::access(beside.c_str(), X_OK) == 0)
        return beside;
    return "opusdec";
}

struct VoiceDecodeQueue::Running {
    std::optional<platform::ChildProcess> process;
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
    // A note that is no regular file (a FIFO in a copied folder) would hold the decoder until
    // its time runs out.
    std::error_code ec;
    if (!std::filesystem::is_regular_file(opusPath, ec)) {
        m_done(tag, "no voice note at " + opusPath);
        return;
    }
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
    std::string error;
    run.process = platform::ChildProcess::start(
        {m_program, "--quiet", "--force-wav", absolute(opusPath), run.temporary}, error);
    if (!run.process) {
        ::unlink(run.temporary.c_str());
        m_done(tag, "cannot run " + m_program + ": " + error);
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
        std::string error;
        const std::optional<std::string> end = run.process->poll();
        if (!end) {
            if (std::chrono::steady_clock::now() <= run.deadline) {
                ++i;
                continue;
            }
            run.process->kill();
            error =
                m_program + " took longer than " + std::to_string(m_timeoutSeconds) + " s and was stopped";
        } else {
            struct stat info {};
            if (!end->empty() || ::stat(run.temporary.c_str(), &info) != 0 || info.st_size <= 44) {
                error = m_program + " could not decode it (" + (end->empty() ? "exit status 0" : *end) + ")";
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
