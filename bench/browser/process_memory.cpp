// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "bench/browser/process_memory.h"

#include <dirent.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace talvio::bench {
namespace {

// Parent of every running process.
std::map<int, int> parents() {
    std::map<int, int> result;
    DIR* proc = opendir("/proc");
    if (proc == nullptr)
        return result;
    while (const dirent* entry = readdir(proc)) {
        const int pid = std::atoi(entry->d_name);
        if (pid <= 0)
            continue;
        const std::string path = "/proc/" + std::string(entry->d_name) + "/stat";
        FILE* file = std::fopen(path.c_str(), "r");
        if (file == nullptr)
            continue;
        char line[1024] = {};
        const bool read = std::fgets(line, sizeof line, file) != nullptr;
        std::fclose(file);
        // The command name may hold blanks and parentheses: the fields start after the last ')'.
        const char* close = read ? std::strrchr(line, ')') : nullptr;
        int parent = 0;
        if (close != nullptr && std::sscanf(close + 1, " %*c %d", &parent) == 1)
            result[pid] = parent;
    }
    closedir(proc);
    return result;
}

double pssBytes(int pid) {
    const std::string path = "/proc/" + std::to_string(pid) + "/smaps_rollup";
    FILE* file = std::fopen(path.c_str(), "r");
    if (file == nullptr)
        return 0;
    char line[256];
    double kilobytes = 0;
    while (std::fgets(line, sizeof line, file) != nullptr) {
        if (std::sscanf(line, "Pss: %lf kB", &kilobytes) == 1)
            break;
    }
    std::fclose(file);
    return kilobytes * 1024.0;
}

}  // namespace

double processTreeBytes() {
    const std::map<int, int> parent = parents();
    const int self = static_cast<int>(getpid());
    double total = 0;
    for (const auto& [pid, up] : parent) {
        for (int at = pid; at > 1;) {
            if (at == self) {
                total += pssBytes(pid);
                break;
            }
            const auto found = parent.find(at);
            if (found == parent.end())
                break;
            at = found->second;
        }
    }
    return total;
}

}  // namespace talvio::bench
