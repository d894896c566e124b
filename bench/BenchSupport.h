// What the benchmarks share: timing a shell command as a whole process.
#pragma once

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

// Seconds the command took; a command that fails is named on standard error.
inline double TimeShell(const std::string &command)
{
    const auto t0 = std::chrono::steady_clock::now();
    const int rc = std::system(command.c_str());
    const auto t1 = std::chrono::steady_clock::now();
    if (rc != 0) std::fprintf(stderr, "command failed (%d): %s\n", rc, command.c_str());
    return std::chrono::duration<double>(t1 - t0).count();
}
