#include "archive/RunTool.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace tolmere {

std::vector<std::string> SplitCommandLine(const std::string& line) {
    std::vector<std::string> args;
    std::size_t i = 0;
    const std::size_t n = line.size();
    auto blank = [&](std::size_t at) { return line[at] == ' ' || line[at] == '\t'; };

    // The program name: no escapes at all, quotes only group.
    std::string program;
    bool quoted = false;
    for (; i < n && (quoted || !blank(i)); ++i) {
        if (line[i] == '"')
            quoted = !quoted;
        else
            program += line[i];
    }
    args.push_back(program);

    while (true) {
        while (i < n && blank(i))
            ++i;
        if (i >= n)
            break;
        std::string arg;
        bool inQuotes = false;
        while (i < n && (inQuotes || !blank(i))) {
            std::size_t backslashes = 0;
            while (i < n && line[i] == '\\') {
                ++backslashes;
                ++i;
            }
            if (i < n && line[i] == '"') {
                arg.append(backslashes / 2, '\\');
                if (backslashes % 2 == 1) {
                    arg += '"';
                    ++i;
                } else if (inQuotes && i + 1 < n && line[i + 1] == '"') {
                    arg += '"'; // "" inside quotes is a literal quote
                    i += 2;
                } else {
                    inQuotes = !inQuotes;
                    ++i;
                }
            } else {
                arg.append(backslashes, '\\');
                if (i < n && (inQuotes || !blank(i)))
                    arg += line[i++];
            }
        }
        args.push_back(arg);
    }
    return args;
}

bool RunTool(const std::string& commandLine, const std::string& workingDir, int timeLimitMs) {
    const std::vector<std::string> args = SplitCommandLine(commandLine);
    if (args.empty() || args[0].empty())
        return false;
    std::vector<char*> argv;
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);

    // Everything the child needs is prepared before fork: a threaded parent's child
    // may only make async-signal-safe calls.
    int devNull = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    pid_t child = ::fork();
    if (child < 0) {
        if (devNull >= 0)
            ::close(devNull);
        return false;
    }
    if (child == 0) {
        if (devNull >= 0)
            ::dup2(devNull, STDIN_FILENO);
        if (::chdir(workingDir.c_str()) != 0)
            _exit(127);
        ::execv(argv[0], argv.data());
        _exit(127);
    }
    if (devNull >= 0)
        ::close(devNull);

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeLimitMs);
    auto pause = std::chrono::milliseconds(1);
    int status = 0;
    while (true) {
        pid_t done = ::waitpid(child, &status, WNOHANG);
        if (done == child)
            break;
        if (done < 0 && errno != EINTR)
            return false;
        if (std::chrono::steady_clock::now() >= deadline) {
            // The tool never leaves a half-written archive, so stopping it is safe.
            ::kill(child, SIGKILL);
            while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
            }
            return false;
        }
        std::this_thread::sleep_for(pause);
        if (pause < std::chrono::milliseconds(20))
            pause *= 2;
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace tolmere
