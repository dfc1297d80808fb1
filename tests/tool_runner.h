// Runs the built corvel-level with arguments as given (no shell), capturing its output and status.
#pragma once

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

struct ToolResult {
    int status = -1;  // exit status, or -1 when it did not exit normally
    std::string out;
    std::string err;
};

inline std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline ToolResult runTool(const std::vector<std::string>& args) {
    static int serial = 0;
    std::string stem = "/tmp/corvel-tool-" + std::to_string(::getpid()) + "-" + std::to_string(serial++);
    std::string outPath = stem + ".out", errPath = stem + ".err";
    std::vector<std::string> all{CORVEL_LEVEL_TOOL};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    argv.reserve(all.size() + 1);
    for (auto& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&files, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ToolResult result;
    pid_t pid;
    if (posix_spawn(&pid, argv[0], &files, nullptr, argv.data(), environ) == 0) {
        int wstatus = 0;
        waitpid(pid, &wstatus, 0);
        if (WIFEXITED(wstatus)) result.status = WEXITSTATUS(wstatus);
    }
    posix_spawn_file_actions_destroy(&files);
    result.out = slurp(outPath);
    result.err = slurp(errPath);
    std::remove(outPath.c_str());
    std::remove(errPath.c_str());
    return result;
}
