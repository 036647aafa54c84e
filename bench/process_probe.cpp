#include "bench/process_probe.h"

#include <chrono>
#include <fcntl.h>
#include <fstream>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace trellisk::bench {

namespace {

long long StatusKilobytes(const std::string& field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.starts_with(field + ":"))
            return std::stoll(line.substr(field.size() + 1));
    }
    return 0;
}

} // namespace

long long ResidentBytes() {
    return StatusKilobytes("VmRSS") * 1024;
}

long long PeakResidentBytes() {
    return StatusKilobytes("VmHWM") * 1024;
}

bool ResetPeakResident() {
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
    clear.flush();
    return clear.good();
}

double TimeFind(const std::string& dir) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    std::string program = "find";
    std::string format = "-printf";
    std::string pattern = "%p %s %T@\\n";
    std::string target = dir;
    char* argv[] = {program.data(), target.data(), format.data(), pattern.data(), nullptr};

    const auto started = std::chrono::steady_clock::now();
    pid_t child = 0;
    const int spawned = posix_spawnp(&child, "find", &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return -1;
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return -1;
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
}

} // namespace trellisk::bench
