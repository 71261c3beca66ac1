// SPDX-License-Identifier: MIT
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

namespace {

// The tool says one line per problem; keep the tail of whatever it writes.
constexpr std::size_t kKeptErrorBytes = 4096;

void Drain(int fd, std::string& kept) {
    char buffer[1024];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got <= 0)
            return;
        kept.append(buffer, static_cast<std::size_t>(got));
        if (kept.size() > kKeptErrorBytes)
            kept.erase(0, kept.size() - kKeptErrorBytes);
    }
}

std::string LastLine(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    const std::size_t cut = text.find_last_of('\n');
    return cut == std::string::npos ? text : text.substr(cut + 1);
}

} // namespace

std::string ToolRun::Reason() const {
    if (!started)
        return "the archive tool could not be started";
    if (timedOut)
        return "the archive tool was still running after " + std::to_string(timeLimitMs / 1000) +
               " s and was stopped";
    if (!lastErrorLine.empty())
        return lastErrorLine;
    return "the archive tool ended with exit code " + std::to_string(exitCode);
}

ToolRun RunTool(const std::string& commandLine, const std::string& workingDir, int timeLimitMs) {
    ToolRun run;
    run.timeLimitMs = timeLimitMs;
    const std::vector<std::string> args = SplitCommandLine(commandLine);
    if (args.empty() || args[0].empty())
        return run;
    std::vector<char*> argv;
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);

    // Everything the child needs is prepared before fork: a threaded parent's child
    // may only make async-signal-safe calls.
    int devNull = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    int errors[2];
    if (::pipe2(errors, O_CLOEXEC) != 0) {
        if (devNull >= 0)
            ::close(devNull);
        return run;
    }
    pid_t child = ::fork();
    if (child < 0) {
        if (devNull >= 0)
            ::close(devNull);
        ::close(errors[0]);
        ::close(errors[1]);
        return run;
    }
    if (child == 0) {
        if (devNull >= 0)
            ::dup2(devNull, STDIN_FILENO);
        ::dup2(errors[1], STDERR_FILENO);
        if (::chdir(workingDir.c_str()) != 0)
            _exit(127);
        ::execv(argv[0], argv.data());
        _exit(127);
    }
    if (devNull >= 0)
        ::close(devNull);
    ::close(errors[1]);
    // Read as it comes, so that a talkative tool never blocks on a full pipe.
    ::fcntl(errors[0], F_SETFL, ::fcntl(errors[0], F_GETFL) | O_NONBLOCK);
    std::string errorText;

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeLimitMs);
    auto pause = std::chrono::milliseconds(1);
    int status = 0;
    while (true) {
        Drain(errors[0], errorText);
        pid_t done = ::waitpid(child, &status, WNOHANG);
        if (done == child)
            break;
        if (done < 0 && errno != EINTR) {
            ::close(errors[0]);
            return run;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            // The tool never leaves a half-written archive, so stopping it is safe.
            ::kill(child, SIGKILL);
            while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
            }
            ::close(errors[0]);
            run.started = true;
            run.timedOut = true;
            return run;
        }
        std::this_thread::sleep_for(pause);
        if (pause < std::chrono::milliseconds(20))
            pause *= 2;
    }
    Drain(errors[0], errorText);
    ::close(errors[0]);
    // 127: the child could not enter the directory or start the program.
    run.started = !(WIFEXITED(status) && WEXITSTATUS(status) == 127);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.lastErrorLine = LastLine(errorText);
    return run;
}

} // namespace tolmere
