// SPDX-License-Identifier: MIT
// mpq2k is only ever used as a separate process, so these tests run the built binary the way
// the editor does: with the game directory as its current directory, judging it by its exit
// status, its stderr and the files it leaves behind.
#include <StormLib.h>

#include "support/TableText.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <iostream>
#include <map>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Args = std::vector<std::string>;
using tolmere::testing::ListDir;
using tolmere::testing::ReadBytes;
using tolmere::testing::TableText;
using tolmere::testing::TempDir;
using tolmere::testing::WriteBytes;

struct RunResult {
    int exitCode = -1; // -signal when killed
    std::string out;
    std::string err;
    double seconds = 0;
};

// fork/exec with chdir in the child: the test process keeps its own working directory.
// `setting` ("NAME=VALUE"), when given, is added to the child's environment.
pid_t Spawn(const std::string& dir, Args args, int outFd, int errFd, std::string setting = "") {
    std::string program = MPQ2K;
    std::vector<char*> argv{program.data()};
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (char** entry = environ; *entry != nullptr; ++entry)
        envp.push_back(*entry);
    if (!setting.empty())
        envp.push_back(setting.data());
    envp.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::chdir(dir.c_str()) != 0)
            ::_exit(126);
        ::dup2(outFd, STDOUT_FILENO);
        ::dup2(errFd, STDERR_FILENO);
        ::dup2(::open("/dev/null", O_RDONLY), STDIN_FILENO);
        ::execve(argv[0], argv.data(), envp.data());
        ::_exit(127);
    }
    return pid;
}

int Wait(pid_t pid) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status)     ? WEXITSTATUS(status)
           : WIFSIGNALED(status) ? -WTERMSIG(status)
                                 : -1000;
}

std::string Drain(std::FILE* file) {
    std::rewind(file);
    std::string text;
    char buffer[4096];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
        text.append(buffer, got);
    std::fclose(file);
    return text;
}

RunResult RunTool(const std::string& dir, const Args& args) {
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    const auto start = std::chrono::steady_clock::now();
    RunResult result;
    result.exitCode = Wait(Spawn(dir, args, ::fileno(out), ::fileno(err)));
    result.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    result.out = Drain(out);
    result.err = Drain(err);
    return result;
}

// A run told to stop at a hold point (MPQ2K_TEST_HOLD): it writes the stage's name into a FIFO
// and waits there until the test closes its end.
class HeldRun {
public:
    HeldRun(const std::string& dir, const Args& args, const std::string& stage) : stage_(stage) {
        const std::string fifo = fifos_.File("hold");
        if (::mkfifo(fifo.c_str(), 0600) != 0)
            throw std::runtime_error("cannot make " + fifo);
        // Opened first, without waiting, so that the run never waits for a reader.
        reader_ = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        devNull_ = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        pid_ = Spawn(dir, args, devNull_, devNull_, "MPQ2K_TEST_HOLD=" + stage + ":" + fifo);
        // Readable once the run has ended (glibc 2.36 declares pidfd_open without C linkage).
        ended_ = static_cast<int>(::syscall(SYS_pidfd_open, pid_, 0));
    }
    ~HeldRun() { Finish(); }
    HeldRun(const HeldRun&) = delete;
    HeldRun& operator=(const HeldRun&) = delete;

    // True once the run stands at the stage; false when it ended without reaching it.
    bool Arrived() {
        pollfd either[] = {{reader_, POLLIN, 0}, {ended_, POLLIN, 0}};
        while (::poll(either, 2, -1) < 0 && errno == EINTR) {
        }
        char line[64] = {};
        return (either[0].revents & POLLIN) != 0 && ::read(reader_, line, sizeof line - 1) > 0 &&
               line == stage_ + "\n";
    }
    // Lets the run go on and returns its exit code.
    int Finish() {
        if (pid_ > 0) {
            ::close(reader_);
            exitCode_ = Wait(pid_);
            ::close(ended_);
            ::close(devNull_);
            pid_ = -1;
        }
        return exitCode_;
    }

private:
    std::string stage_;
    TempDir fifos_;
    int reader_ = -1;
    int devNull_ = -1;
    int ended_ = -1;
    pid_t pid_ = -1;
    int exitCode_ = -1;
};

int CountLines(const std::string& text) {
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// One problem, one line, in the tool's voice.
void ExpectOneErrorLine(const RunResult& result) {
    EXPECT_EQ(CountLines(result.err), 1) << result.err;
    EXPECT_EQ(result.err.rfind("mpq2k: ", 0), 0u) << result.err;
}

bool HasTempLeftovers(const std::string& dir) {
    return ListDir(dir).find(".mpq2k-") != std::string::npos;
}

// Archives the game itself would ship, built directly with StormLib.
void BuildArchive(const std::string& path, const std::map<std::string, std::string>& files,
                  bool withListfile, DWORD maxFiles) {
    SFILE_CREATE_MPQ info;
    std::memset(&info, 0, sizeof info);
    info.cbSize = sizeof info;
    info.dwMpqVersion = MPQ_FORMAT_VERSION_1;
    info.dwFileFlags1 = withListfile ? MPQ_FILE_IMPLODE : 0;
    info.dwSectorSize = 0x1000;
    info.dwMaxFileCount = maxFiles;
    HANDLE mpq = nullptr;
    ASSERT_TRUE(SFileCreateArchive2(path.c_str(), &info, &mpq)) << GetLastError();
    for (const auto& [name, bytes] : files) {
        HANDLE file = nullptr;
        const auto size = static_cast<DWORD>(bytes.size());
        ASSERT_TRUE(SFileCreateFile(mpq, name.c_str(), 0, size, 0, MPQ_FILE_IMPLODE, &file));
        ASSERT_TRUE(SFileWriteFile(file, bytes.data(), size, MPQ_COMPRESSION_PKWARE));
        ASSERT_TRUE(SFileFinishFile(file));
    }
    ASSERT_TRUE(SFileCloseArchive(mpq));
}

std::map<std::string, std::string> ManyFiles(const std::string& folder, int count, int seed = -1) {
    std::map<std::string, std::string> files;
    for (int i = 0; i < count; ++i)
        files[folder + std::to_string(i) + ".txt"] =
            seed < 0 ? "file " + std::to_string(i) : TableText(seed + i, 20000);
    return files;
}

struct StoredInfo {
    bool found = false;
    DWORD flags = 0;
    DWORD compressedSize = 0;
};

StoredInfo Inspect(const std::string& archive, const std::string& name) {
    StoredInfo info;
    HANDLE mpq = nullptr;
    if (!SFileOpenArchive(archive.c_str(), 0, MPQ_OPEN_READ_ONLY, &mpq))
        return info;
    HANDLE file = nullptr;
    if (SFileOpenFileEx(mpq, name.c_str(), SFILE_OPEN_FROM_MPQ, &file)) {
        info.found = true;
        SFileGetFileInfo(file, SFileInfoFlags, &info.flags, sizeof info.flags, nullptr);
        SFileGetFileInfo(file, SFileInfoCompressedSize, &info.compressedSize,
                         sizeof info.compressedSize, nullptr);
        SFileCloseFile(file);
    }
    SFileCloseArchive(mpq);
    return info;
}

// Changes block table entry `index` (position, compressed size, file size, flags),
// decrypting and encrypting the table again as the format requires.
void ChangeBlock(const std::string& path, std::uint32_t index,
                 const std::function<void(std::uint32_t* entry)>& change) {
    std::uint32_t table[0x500];
    std::uint32_t seed = 0x00100001;
    for (std::uint32_t index1 = 0; index1 < 0x100; ++index1) {
        for (std::uint32_t index2 = index1, i = 0; i < 5; ++i, index2 += 0x100) {
            seed = (seed * 125 + 3) % 0x2AAAAB;
            const std::uint32_t high = (seed & 0xFFFF) << 0x10;
            seed = (seed * 125 + 3) % 0x2AAAAB;
            table[index2] = high | (seed & 0xFFFF);
        }
    }
    const auto crypt = [&](std::vector<std::uint32_t>& words, bool decrypt) {
        std::uint32_t key = 0xEC83B3A3; // the block table's key
        std::uint32_t state = 0xEEEEEEEE;
        for (std::uint32_t& word : words) {
            state += table[0x400 + (key & 0xFF)];
            const std::uint32_t in = word;
            word = in ^ (key + state);
            const std::uint32_t plain = decrypt ? word : in;
            key = ((~key << 0x15) + 0x11111111) | (key >> 0x0B);
            state = plain + state + (state << 5) + 3;
        }
    };
    std::string bytes = ReadBytes(path);
    std::uint32_t blockPos = 0;
    std::uint32_t blockCount = 0;
    std::memcpy(&blockPos, &bytes[20], 4);
    std::memcpy(&blockCount, &bytes[28], 4);
    ASSERT_LT(index, blockCount);
    std::vector<std::uint32_t> words(blockCount * 4);
    std::memcpy(words.data(), &bytes[blockPos], words.size() * 4);
    crypt(words, true);
    change(&words[index * 4]);
    crypt(words, false);
    std::memcpy(&bytes[blockPos], words.data(), words.size() * 4);
    WriteBytes(path, bytes);
}

const char kTableName[] = "data\\global\\excel\\UniqueItems.txt";

// A scratch game directory and the tool run in it.
class Mpq2k : public ::testing::Test {
protected:
    RunResult Run(const Args& args) { return RunTool(game_.Path(), args); }
    // Adds `bytes` (written to in.txt) to the archive as `name`; the tool's exit code.
    int Add(const std::string& archive, const std::string& name, const std::string& bytes) {
        WriteBytes(Game("in.txt"), bytes);
        return Run({"a", archive, "in.txt", name}).exitCode;
    }
    // What the archive holds as `name`, extracted into a fresh out/, or "<failed>".
    std::string Extract(const std::string& archive, const std::string& name) {
        fs::remove_all(Game("out"));
        fs::create_directory(Game("out"));
        if (Run({"e", archive, name, "out\\"}).exitCode != 0)
            return "<failed>";
        return ReadBytes(Game("out/" + name.substr(name.find_last_of("\\/") + 1)));
    }
    std::string Game(const std::string& name) const { return game_.File(name); }
    // Runs a command expected to fail with `exitCode` and one error line naming `named`.
    RunResult RunFailing(const Args& args, int exitCode, const std::string& named = "") {
        const RunResult result = Run(args);
        EXPECT_EQ(result.exitCode, exitCode) << args[0] << " " << result.err;
        ExpectOneErrorLine(result);
        EXPECT_NE(result.err.find(named), std::string::npos) << result.err;
        return result;
    }

    TempDir game_;
};

// ---------------------------------------------------------------------------------------

TEST_F(Mpq2k, AddCreatesAVersionOneArchiveOfImplodedFilesWithAListfile) {
    const std::string table = TableText(1, 100 * 1024);
    WriteBytes(Game("UniqueItems.txt"), table);
    const RunResult add = Run({"a", "patch_d2.mpq", "UniqueItems.txt", kTableName});
    ASSERT_EQ(add.exitCode, 0) << add.err;
    EXPECT_EQ(add.err, "");

    const std::string bytes = ReadBytes(Game("patch_d2.mpq"));
    ASSERT_GE(bytes.size(), 32u);
    EXPECT_EQ(bytes.substr(0, 4), std::string("MPQ\x1A", 4));
    EXPECT_EQ(bytes.substr(12, 3), std::string("\0\0\3", 3)) << "format version 1, 4 KB sectors";
    const StoredInfo stored = Inspect(Game("patch_d2.mpq"), kTableName);
    ASSERT_TRUE(stored.found);
    EXPECT_EQ(stored.flags & (MPQ_FILE_IMPLODE | MPQ_FILE_COMPRESS | MPQ_FILE_SINGLE_UNIT),
              static_cast<DWORD>(MPQ_FILE_IMPLODE));
    EXPECT_LT(stored.compressedSize, table.size());
    const RunResult list = Run({"l", "patch_d2.mpq"});
    ASSERT_EQ(list.exitCode, 0) << list.err;
    EXPECT_EQ(Lines(list.out),
              (std::vector<std::string>{"(listfile)\t" +
                                            std::to_string(std::string(kTableName).size() + 2),
                                        std::string(kTableName) + "\t102400"}));

    // Extraction gives the same bytes and nothing else; forward slashes are stored as
    // backslashes.
    EXPECT_EQ(Extract("patch_d2.mpq", kTableName), table);
    EXPECT_EQ(ListDir(Game("out")), "UniqueItems.txt");
    ASSERT_EQ(Add("patch_d2.mpq", "data/global/excel/Foo.txt", "hello"), 0);
    EXPECT_TRUE(Inspect(Game("patch_d2.mpq"), "data\\global\\excel\\Foo.txt").found);
    const std::vector<std::string> listed = Lines(Run({"l", "patch_d2.mpq"}).out);
    EXPECT_NE(std::find(listed.begin(), listed.end(), "data\\global\\excel\\Foo.txt\t5"),
              listed.end());
}

TEST_F(Mpq2k, AddReplacesAndKeepsTheOtherFilesWhateverTheArchivesCase) {
    ASSERT_EQ(Add("Patch_D2.mpq", "data\\a.txt", TableText(3, 5000)), 0);
    ASSERT_EQ(Add("patch_d2.mpq", "data\\b.txt", TableText(5, 6000)), 0);
    ASSERT_EQ(Add("PATCH_D2.MPQ", "data\\a.txt", TableText(4, 7000)), 0);
    EXPECT_EQ(Extract("patch_D2.mpq", "data\\a.txt"), TableText(4, 7000));
    EXPECT_EQ(Extract("patch_d2.mpq", "data\\b.txt"), TableText(5, 6000));
    EXPECT_EQ(Lines(Run({"l", "patch_d2.mpq"}).out).size(), 3u);
    EXPECT_EQ(ListDir(game_.Path()), "Patch_D2.mpq in.txt out"); // one archive, no leftovers

    // The game's own patch archive has no (listfile): StormLib cannot name its files.
    BuildArchive(Game("bare.mpq"),
                 {{kTableName, TableText(6, 20000)}, {"data\\other.txt", TableText(7, 9000)}},
                 false, 16);
    ASSERT_EQ(Add("bare.mpq", kTableName, TableText(8, 30000)), 0);
    EXPECT_EQ(Extract("bare.mpq", kTableName), TableText(8, 30000));
    EXPECT_EQ(Extract("bare.mpq", "data\\other.txt"), TableText(7, 9000));
}

TEST_F(Mpq2k, AddGrowsAFullHashTableAndHandlesThousandsOfFiles) {
    BuildArchive(Game("small.mpq"), {{"data\\a.txt", "a"}, {"data\\b.txt", "b"}}, true, 4);
    for (int i = 0; i < 12; ++i)
        ASSERT_EQ(Add("small.mpq", "data\\new" + std::to_string(i) + ".txt", std::to_string(i)), 0);
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(Extract("small.mpq", "data\\new" + std::to_string(i) + ".txt"),
                  std::to_string(i));
    EXPECT_EQ(Extract("small.mpq", "data\\a.txt"), "a");

    // The game's base archive holds over ten thousand files; its tables span many pages.
    BuildArchive(Game("d2data.mpq"), ManyFiles("data\\many\\f", 6000), true, 8192);
    ASSERT_EQ(Add("D2data.mpq", "data\\many\\f17.txt", "replaced"), 0);
    EXPECT_EQ(Lines(Run({"l", "d2data.mpq"}).out).size(), 6001u);
    EXPECT_EQ(Extract("d2data.mpq", "data\\many\\f17.txt"), "replaced");
    EXPECT_EQ(Extract("d2data.mpq", "data\\many\\f5999.txt"), "file 5999");
}

TEST_F(Mpq2k, RepeatedAddsDoNotGrowTheArchive) {
    // A replaced file that is not the last one leaves a hole; holes must not pile up.
    BuildArchive(Game("patch_d2.mpq"), ManyFiles("data\\global\\excel\\t", 20, 100), true, 64);
    const std::uint64_t before = fs::file_size(Game("patch_d2.mpq"));
    for (int i = 0; i < 10; ++i)
        ASSERT_EQ(Add("patch_d2.mpq", kTableName, TableText(9, 100 * 1024)), 0);
    for (int i = 0; i < 10; ++i) {
        ASSERT_EQ(Add("patch_d2.mpq", "data\\a.txt", TableText(10, 100 * 1024)), 0);
        ASSERT_EQ(Add("patch_d2.mpq", "data\\b.txt", TableText(11, 100 * 1024)), 0);
    }
    std::uint64_t added = 0;
    for (const char* name : {kTableName, "data\\a.txt", "data\\b.txt"})
        added += Inspect(Game("patch_d2.mpq"), name).compressedSize;
    EXPECT_LE(fs::file_size(Game("patch_d2.mpq")), before + added + 64 * 1024);
    EXPECT_FALSE(HasTempLeftovers(game_.Path()));
}

TEST_F(Mpq2k, AddKeepsTheArchivesModeAndAFailedAddLeavesItAsItWas) {
    ASSERT_EQ(Add("x.mpq", "data\\x.txt", "x"), 0);
    fs::permissions(Game("x.mpq"), fs::perms(0640));
    ASSERT_EQ(Add("x.mpq", "data\\y.txt", "y"), 0);
    EXPECT_EQ(fs::status(Game("x.mpq")).permissions(), fs::perms(0640));

    const std::string original = ReadBytes(Game("x.mpq"));
    RunFailing({"a", "x.mpq", "nope.txt", "data\\x.txt"}, 1);
    RunFailing({"a", "x.mpq", "in.txt", "(listfile)"}, 1);
    EXPECT_EQ(ReadBytes(Game("x.mpq")), original);
    EXPECT_EQ(ListDir(game_.Path()), "in.txt x.mpq");
}

TEST_F(Mpq2k, ANameMatchingTwoArchivesRegardlessOfCaseNamesNeither) {
    ASSERT_EQ(Add("x.mpq", "data\\x.txt", "x"), 0);
    fs::copy_file(Game("x.mpq"), Game("X.MPQ"));
    fs::create_directory(Game("out"));
    const std::string archive = ReadBytes(Game("x.mpq"));
    WriteBytes(Game("script.txt"), "o X.mpq\nx data\\x.txt out\\\nc X.mpq\n");
    for (const Args& args :
         {Args{"e", "X.mpq", "data\\x.txt", "out\\"}, Args{"a", "X.mpq", "in.txt", "data\\y.txt"},
          Args{"l", "X.mpq"}, Args{"s", "script.txt"}}) {
        const RunResult result = Run(args);
        EXPECT_EQ(result.exitCode, 1) << args[0];
        EXPECT_NE(result.err.find("more than one file matches this name"), std::string::npos)
            << args[0] << ": " << result.err;
    }
    EXPECT_EQ(ReadBytes(Game("x.mpq")), archive);
    EXPECT_EQ(ReadBytes(Game("X.MPQ")), archive);
    EXPECT_EQ(ListDir(game_.Path()), "X.MPQ in.txt out script.txt x.mpq");
    EXPECT_EQ(ListDir(Game("out")), "");
}

TEST_F(Mpq2k, ExtractWritesOnlyTheLastComponentIntoTheFolderGiven) {
    ASSERT_EQ(Add("x.mpq", "data\\x.txt", "x"), 0);
    fs::create_directory(Game("out"));
    for (const char* name : {"data\\", "data\\.", "data\\..", "..", ".", "data/.."})
        RunFailing({"e", "x.mpq", name, "out\\"}, 1);
    // The editor goes on to the next archive only for these two exit codes.
    RunFailing({"e", "x.mpq", "data\\nope.txt", "out\\"}, 3, "data\\nope.txt");
    RunFailing({"e", "none.mpq", "data\\x.txt", "out\\"}, 4);
    EXPECT_EQ(ListDir(Game("out")), "");

    // A name climbing out of the folder lands inside it.
    const std::string evil = "..\\..\\..\\evil.txt";
    fs::create_directories(Game("deep/out"));
    WriteBytes(Game("deep/in.txt"), "payload");
    ASSERT_EQ(RunTool(Game("deep"), {"a", "x.mpq", "in.txt", evil}).exitCode, 0);
    const RunResult result = RunTool(Game("deep"), {"e", "x.mpq", evil, "out/"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(ReadBytes(Game("deep/out/evil.txt")), "payload");
    EXPECT_EQ(ListDir(game_.Path()), "deep in.txt out x.mpq");
}

TEST_F(Mpq2k, ReadsSingleUnitFilesButDoesNotWriteIntoTheirArchive) {
    BuildArchive(Game("x.mpq"), {{"data\\a.txt", "sectored"}}, true, 16);
    HANDLE mpq = nullptr;
    ASSERT_TRUE(SFileOpenArchive(Game("x.mpq").c_str(), 0, 0, &mpq));
    const std::string single(5000, 's');
    HANDLE file = nullptr;
    ASSERT_TRUE(SFileCreateFile(mpq, "data\\single.txt", 0, static_cast<DWORD>(single.size()), 0,
                                MPQ_FILE_COMPRESS | MPQ_FILE_SINGLE_UNIT, &file));
    ASSERT_TRUE(SFileWriteFile(file, single.data(), static_cast<DWORD>(single.size()),
                               MPQ_COMPRESSION_ZLIB));
    ASSERT_TRUE(SFileFinishFile(file));
    ASSERT_TRUE(SFileCloseArchive(mpq));
    EXPECT_EQ(Extract("x.mpq", "data\\single.txt"), single);

    const std::string before = ReadBytes(Game("x.mpq"));
    WriteBytes(Game("in.txt"), "x");
    RunFailing({"a", "x.mpq", "in.txt", "data\\b.txt"}, 1, "does not write into it");
    EXPECT_EQ(ReadBytes(Game("x.mpq")), before);

    // A single-unit file claiming far more bytes than it stores is refused unread.
    ChangeBlock(Game("x.mpq"), 1, [](std::uint32_t* entry) { entry[2] = 0x40000000; });
    RunFailing({"e", "x.mpq", "data\\single.txt", "out\\"}, 1, "claims more data");
}

TEST_F(Mpq2k, WritersTakeTurnsAndAHeldLockMeansBusy) {
    // Two writers at the same moment, twenty times: both files land every time.
    const int devNull = ::open("/dev/null", O_WRONLY);
    for (int round = 0; round < 20; ++round) {
        WriteBytes(Game("a.txt"), "a" + std::to_string(round));
        WriteBytes(Game("b.txt"), "b" + std::to_string(round));
        const pid_t first =
            Spawn(game_.Path(), {"a", "x.mpq", "a.txt", "data\\a.txt"}, devNull, devNull);
        const pid_t second =
            Spawn(game_.Path(), {"a", "x.mpq", "b.txt", "data\\b.txt"}, devNull, devNull);
        EXPECT_EQ(Wait(first), 0) << round;
        EXPECT_EQ(Wait(second), 0) << round;
        EXPECT_EQ(Extract("x.mpq", "data\\a.txt"), "a" + std::to_string(round));
        EXPECT_EQ(Extract("x.mpq", "data\\b.txt"), "b" + std::to_string(round));
    }
    ::close(devNull);
    // A writer that never lets go: the next one gives up with one line, changing nothing.
    const int held = ::open(game_.Path().c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    const std::string before = ReadBytes(Game("x.mpq"));
    RunFailing({"a", "x.mpq", "a.txt", "data\\c.txt"}, 5, "archive busy");
    ::close(held);
    EXPECT_EQ(ReadBytes(Game("x.mpq")), before);
}

// The first writer stops with its new archive complete beside the old one, just before the
// rename; the second starts then. Whether the second found the lock taken, and both exit codes.
struct Race {
    bool secondWaited = false;
    int first = -1;
    int second = -1;
};

Race RaceAHeldWriter(const std::string& firstDir, const Args& firstArgs,
                     const std::string& secondDir, const Args& secondArgs) {
    Race race;
    HeldRun first(firstDir, firstArgs, "copied");
    if (!first.Arrived()) {
        ADD_FAILURE() << "the first writer ended before its rename";
        return race;
    }
    HeldRun second(secondDir, secondArgs, "busy");
    race.secondWaited = second.Arrived();
    // A waiting second writer tries the lock again only once the first has ended.
    race.first = first.Finish();
    race.second = second.Finish();
    return race;
}

// The archive's files, without the (listfile), as "name\tsize".
std::vector<std::string> Listed(const std::string& dir, const std::string& archive) {
    std::vector<std::string> lines = Lines(RunTool(dir, {"l", archive}).out);
    lines.erase(
        std::remove_if(lines.begin(), lines.end(),
                       [](const std::string& line) { return line.rfind("(listfile)\t", 0) == 0; }),
        lines.end());
    return lines;
}

::testing::AssertionResult Lists(const std::string& dir, const std::string& archive,
                                 const std::string& line) {
    const std::vector<std::string> lines = Listed(dir, archive);
    if (std::find(lines.begin(), lines.end(), line) != lines.end())
        return ::testing::AssertionSuccess();
    std::string all;
    for (const std::string& listed : lines)
        all += " [" + listed + "]";
    return ::testing::AssertionFailure() << archive << " holds only" << all;
}

TEST_F(Mpq2k, WritersThroughDifferentLinksToOneArchiveTakeTurns) {
    // Game folders sharing one archive, as launchers set them up: g1's link is relative,
    // g2's absolute.
    const struct {
        const char* name;
        bool made; // the shared archive exists before the writers start
        const char* firstDir;
        const char* firstArchive;
        const char* secondDir;
        const char* secondArchive;
    } cases[] = {
        {"links in two folders", true, "g1", "patch_d2.mpq", "g2", "PATCH_D2.MPQ"},
        {"a link and the archive itself", true, "g1", "patch_d2.mpq", "shared", "patch_d2.mpq"},
        {"links to an archive not made yet", false, "g1", "patch_d2.mpq", "g2", "patch_d2.mpq"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const TempDir root;
        for (const char* folder : {"shared", "g1", "g2"})
            fs::create_directory(root.File(folder));
        const std::string shared = root.File("shared/patch_d2.mpq");
        fs::create_symlink("../shared/patch_d2.mpq", root.File("g1/patch_d2.mpq"));
        fs::create_symlink(shared, root.File("g2/patch_d2.mpq"));
        std::vector<std::string> expected{"data\\a.txt\t1", "data\\b.txt\t1"};
        if (c.made) {
            BuildArchive(shared, {{"data\\seed.txt", "seed"}}, true, 16);
            expected.push_back("data\\seed.txt\t4");
        }
        WriteBytes(root.File(std::string(c.firstDir) + "/a.txt"), "a");
        WriteBytes(root.File(std::string(c.secondDir) + "/b.txt"), "b");

        const Race race =
            RaceAHeldWriter(root.File(c.firstDir), {"a", c.firstArchive, "a.txt", "data\\a.txt"},
                            root.File(c.secondDir), {"a", c.secondArchive, "b.txt", "data\\b.txt"});
        EXPECT_TRUE(race.secondWaited);
        EXPECT_EQ(race.first, 0);
        EXPECT_EQ(race.second, 0);
        EXPECT_EQ(Listed(root.File("shared"), "patch_d2.mpq"), expected);
        for (const char* folder : {"shared", "g1", "g2"})
            EXPECT_FALSE(HasTempLeftovers(root.File(folder))) << folder;
        EXPECT_TRUE(fs::is_symlink(root.File("g1/patch_d2.mpq")));
        EXPECT_TRUE(fs::is_symlink(root.File("g2/patch_d2.mpq")));
    }
}

TEST_F(Mpq2k, AWriterKeepsItsFoldersLockUntilItsRename) {
    // The first writer stops in g1 with its copy of x.mpq made. Whoever writes into g1 must
    // wait for it; a writer into another folder need not.
    const struct {
        const char* name;
        const char* dir;
        const char* archive;
        bool waits;
    } cases[] = {
        {"the same archive", "g1", "x.mpq", true},
        {"another archive in the folder", "g1", "y.mpq", true},
        {"an archive in another folder", "g2", "x.mpq", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const TempDir root;
        for (const char* folder : {"g1", "g2"}) {
            fs::create_directory(root.File(folder));
            BuildArchive(root.File(std::string(folder) + "/x.mpq"), {{"data\\seed.txt", "seed"}},
                         true, 16);
        }
        WriteBytes(root.File("g1/a.txt"), "a");
        WriteBytes(root.File(std::string(c.dir) + "/b.txt"), "b");

        const Race race =
            RaceAHeldWriter(root.File("g1"), {"a", "x.mpq", "a.txt", "data\\a.txt"},
                            root.File(c.dir), {"a", c.archive, "b.txt", "data\\b.txt"});
        EXPECT_EQ(race.secondWaited, c.waits);
        EXPECT_EQ(race.first, 0);
        EXPECT_EQ(race.second, 0);
        EXPECT_TRUE(Lists(root.File("g1"), "x.mpq", "data\\a.txt\t1"));
        EXPECT_TRUE(Lists(root.File(c.dir), c.archive, "data\\b.txt\t1"));
    }
}

// The editor writes a set's two tables with one run, from the game folder.
const char kSetItems[] = "data\\GLOBAL\\Excel\\SetItems.txt";
const char kSets[] = "data\\GLOBAL\\Excel\\Sets.txt";

std::map<std::string, std::string> PatchWithASet() {
    return {{"data\\GLOBAL\\Excel\\Weapons.txt", TableText(20, 9000)},
            {"data\\GLOBAL\\Excel\\Armor.txt", TableText(21, 7000)},
            {kSets, TableText(22, 3000)}};
}

TEST_F(Mpq2k, AddStoresSeveralFilesInOneRunAndLeavesTheOthersAsTheyWere) {
    // Every row writes two files; a check that leaves out either name, or either old copy,
    // finds the other one changed.
    const struct {
        const char* name;
        bool made; // the archive exists before the run
        bool withListfile;
        std::string first;
        std::string second;
    } cases[] = {
        {"a new file, then a replaced one", true, true, kSetItems, kSets},
        {"a replaced file, then a new one", true, true, kSets, kSetItems},
        {"two replaced in the game's patch, without a (listfile)", true, false, kSets,
         "data\\GLOBAL\\Excel\\Weapons.txt"},
        {"a new archive", false, true, kSetItems, kSets},
        {"one leaf name in two folders, either separator", true, true, "data\\a\\Sets.txt",
         "data/b/SETS.txt"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove(Game("patch_d2.mpq"));
        std::map<std::string, std::string> expected;
        if (c.made) {
            expected = PatchWithASet();
            BuildArchive(Game("patch_d2.mpq"), expected, c.withListfile, 16);
        }
        const std::string firstBytes = TableText(30, 12000);
        const std::string secondBytes = TableText(31, 5000);
        WriteBytes(Game("tmp08187262.tmp"), firstBytes);
        WriteBytes(Game("tmp08187262.tmp3"), secondBytes);
        const RunResult add =
            Run({"a", "patch_d2.mpq", "tmp08187262.tmp", c.first, "tmp08187262.tmp3", c.second});
        EXPECT_EQ(add.exitCode, 0) << add.err;
        EXPECT_EQ(add.err, "");

        std::string second = c.second;
        std::replace(second.begin(), second.end(), '/', '\\');
        expected[c.first] = firstBytes;
        expected[second] = secondBytes;
        for (const auto& [name, bytes] : expected)
            EXPECT_EQ(Extract("patch_d2.mpq", name), bytes) << name;
        EXPECT_EQ(Listed(game_.Path(), "patch_d2.mpq").size(), expected.size());
        EXPECT_EQ(ListDir(game_.Path()), "out patch_d2.mpq tmp08187262.tmp tmp08187262.tmp3");
    }
}

TEST_F(Mpq2k, AddOfSeveralFilesChangesNothingWhenOneIsRefused) {
    BuildArchive(Game("patch_d2.mpq"), PatchWithASet(), true, 16);
    const std::string before = ReadBytes(Game("patch_d2.mpq"));
    WriteBytes(Game("t.tmp"), TableText(30, 12000));
    WriteBytes(Game("t.tmp3"), TableText(31, 5000));
    const struct {
        const char* name;
        Args args;
        int exitCode;
        const char* named; // in the error
    } cases[] = {
        {"the second file missing",
         {"a", "patch_d2.mpq", "t.tmp", kSetItems, "gone.tmp", kSets},
         1,
         "Sets.txt: gone.tmp: "},
        {"the first file missing",
         {"a", "patch_d2.mpq", "gone.tmp", kSetItems, "t.tmp3", kSets},
         1,
         "SetItems.txt: gone.tmp: "},
        {"the second file missing from a new archive",
         {"a", "new.mpq", "t.tmp", kSetItems, "gone.tmp", kSets},
         1,
         "Sets.txt: gone.tmp: "},
        {"the second name no file name",
         {"a", "patch_d2.mpq", "t.tmp", kSets, "t.tmp3", "data\\"},
         1,
         "'data\\' is not a file name"},
        {"the second name StormLib's",
         {"a", "patch_d2.mpq", "t.tmp", kSets, "t.tmp3", "(listfile)"},
         1,
         "(listfile) is maintained"},
        {"one name twice, in another case and separator",
         {"a", "patch_d2.mpq", "t.tmp", kSets, "t.tmp3", "DATA/global/excel/SETS.TXT"},
         2,
         "DATA\\global\\excel\\SETS.TXT: given twice"},
        {"a pair without its name", {"a", "patch_d2.mpq", "t.tmp", kSetItems, "t.tmp3"}, 2, ""},
        {"no pair", {"a", "patch_d2.mpq"}, 2, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RunFailing(c.args, c.exitCode, c.named);
        EXPECT_EQ(ReadBytes(Game("patch_d2.mpq")), before);
        EXPECT_EQ(ListDir(game_.Path()), "patch_d2.mpq t.tmp t.tmp3");
    }
}

TEST_F(Mpq2k, RunsRemoveTheTemporariesOfKilledRunsAndNothingElse) {
    ASSERT_EQ(Add("x.mpq", "data\\a.txt", "a"), 0);
    WriteBytes(Game("script.txt"), "o x.mpq\nx data\\a.txt out\\\nc x.mpq\n");
    const struct {
        const char* name;
        bool held; // flocked by a live process
        bool kept;
    } files[] = {
        {"x.mpq.mpq2k-Ab12Cd", false, false},     // a killed writer's copy
        {"x.mpq.mpq2k-Ab12Cd.tmp", false, false}, // StormLib's compaction file beside it
        {"y.mpq.mpq2k-Zz0zZ9.tmp", false, false}, // the same, its copy already removed
        {".b.txt.mpq2k-Qr5St6", false, false},    // a killed extraction's file
        {"x.mpq.mpq2k-Ef34Gh", true, true},       // a live writer's copy
        {"x.mpq.mpq2k-Ef34Gh.tmp", false, true},  // and StormLib's file beside it
        {".b.txt.mpq2k-Hh88Hh", true, true},      // a live extraction's file
        // Names that are almost ours.
        {"x.mpq.mpq2k-Ab12C", false, true},      // five random characters
        {"x.mpq.mpq2k-Ab12Cd7", false, true},    // seven
        {"x.mpq.mpq2k-Ab12Cd.bak", false, true}, // another ending
        {"x.mpq.mpq2k-Ab_2Cd", false, true},     // not a letter or digit
        {"x.mpq.mpq2k_Ab12Cd", false, true},     // another separator
        {".mpq2k-Ab12Cd", false, true},          // no name in front
    };
    const struct {
        const char* name;
        Args args;
        std::string folder; // the one the command cleans
    } commands[] = {
        {"a, in the archive's folder", {"a", "x.mpq", "in.txt", "data\\b.txt"}, game_.Path()},
        {"e, in the folder it extracts into", {"e", "x.mpq", "data\\a.txt", "out\\"}, Game("out")},
        {"s, in the folder it extracts into", {"s", "script.txt"}, Game("out")},
    };
    for (const auto& command : commands) {
        SCOPED_TRACE(command.name);
        fs::create_directory(Game("out"));
        std::vector<int> holders;
        for (const auto& file : files) {
            const std::string path = command.folder + "/" + file.name;
            WriteBytes(path, "leftover");
            if (file.held) {
                holders.push_back(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
                ASSERT_EQ(::flock(holders.back(), LOCK_EX), 0);
            }
        }
        WriteBytes(Game("in.txt"), "b");
        const RunResult result = Run(command.args);
        EXPECT_EQ(result.exitCode, 0) << result.err;
        for (const auto& file : files) {
            const std::string path = command.folder + "/" + file.name;
            EXPECT_EQ(fs::exists(path), file.kept) << file.name;
            fs::remove(path);
        }
        for (const int fd : holders)
            ::close(fd);
        fs::remove_all(Game("out"));
    }
}

TEST_F(Mpq2k, ScriptsRunEveryLineAndFailWhenOneFails) {
    const std::string items = TableText(12, 30000);
    const std::string sprite(5000, '\x7f');
    ASSERT_EQ(Add("Patch_D2.mpq", kTableName, items), 0);
    ASSERT_EQ(Add("Patch_D2.mpq", "data\\GLOBAL\\Items\\foo.dc6", sprite), 0);
    WriteBytes(Game("bad.mpq"), "not an archive");
    const std::string foo = "data\\GLOBAL\\Items\\foo.dc6 tmp\\";
    const struct {
        std::string script;
        int exitCode;
        int errorLines;    // -1: not counted
        const char* named; // in the error
        const char* extracted;
    } cases[] = {
        // CR LF and LF, a blank line, a space after the folder or none.
        {"o patch_d2.mpq\r\nx data\\global\\excel\\Missing.txt tmp\\ \r\nx " + foo +
             " \n\r\n"
             "x data\\global\\excel\\UniqueItems.txt tmp\\\r\nc patch_d2.mpq\n",
         1, 1, "Missing.txt", "UniqueItems.txt again foo.dc6"},
        {"o patch_d2.mpq\nx " + foo + " \nc patch_d2.mpq\n", 0, 0, "", "again foo.dc6"},
        // Optional lines pass over what is not there, but not over what is broken.
        {"O none.mpq\nX " + foo + "\nc none.mpq\nO patch_d2.mpq\nX data\\missing.txt tmp\\\nX " +
             foo + "\nc patch_d2.mpq\n",
         0, 0, "", "again foo.dc6"},
        {"O bad.mpq\nX " + foo + "\nc bad.mpq\n", 1, -1, "", "again"},
        {"o none.mpq\nc none.mpq\n", 1, -1, "", "again"},
        {"O patch_d2.mpq\nx data\\missing.txt tmp\\\nc patch_d2.mpq\n", 1, -1, "", "again"},
        {"o patch_d2.mpq\nq what\nx " + foo + "\nc patch_d2.mpq\n", 1, 1, "", "again foo.dc6"},
        // A failed open leaves no archive in use: the "o" and the "x" after it fail.
        {"o patch_d2.mpq\nx " + foo + "\no gone.mpq\nx " + foo + "again\\\nc gone.mpq\n", 1, 2, "",
         "again foo.dc6"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.script);
        fs::remove_all(Game("tmp"));
        fs::create_directories(Game("tmp/again"));
        WriteBytes(Game("script.txt"), c.script);
        const RunResult result = Run({"s", "script.txt"});
        EXPECT_EQ(result.exitCode, c.exitCode) << result.err;
        if (c.errorLines >= 0) {
            EXPECT_EQ(CountLines(result.err), c.errorLines) << result.err;
        }
        if (c.errorLines > 0) {
            EXPECT_EQ(result.err.rfind("mpq2k: ", 0), 0u) << result.err;
        }
        EXPECT_NE(result.err.find(c.named), std::string::npos) << result.err;
        EXPECT_EQ(ListDir(Game("tmp")), c.extracted);
        EXPECT_EQ(ListDir(Game("tmp/again")), "");
        if (fs::exists(Game("tmp/foo.dc6"))) {
            EXPECT_EQ(ReadBytes(Game("tmp/foo.dc6")), sprite);
        }
        if (fs::exists(Game("tmp/UniqueItems.txt"))) {
            EXPECT_EQ(ReadBytes(Game("tmp/UniqueItems.txt")), items);
        }
    }
}

TEST_F(Mpq2k, ListsNamesAndSizesSortedAndUsageErrorsExitWithTwo) {
    BuildArchive(Game("x.mpq"),
                 {{"data\\b.txt", "bb"}, {"data\\a.txt", "a"}, {"Data\\C.txt", "ccc"}}, true, 16);
    const RunResult list = Run({"l", "X.MPQ"});
    ASSERT_EQ(list.exitCode, 0) << list.err;
    const std::vector<std::string> lines = Lines(list.out);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].rfind("(listfile)\t", 0), 0u);
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 1, lines.end()),
              (std::vector<std::string>{"data\\a.txt\t1", "data\\b.txt\t2", "Data\\C.txt\t3"}));

    for (const Args& args : {Args{}, Args{"q"}, Args{"e", "x.mpq"}, Args{"a", "x.mpq", "f"}})
        EXPECT_EQ(Run(args).exitCode, 2) << args.size();
    const RunResult help = Run({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("usage"), std::string::npos);
    EXPECT_EQ(Run({"s", "missing-script.txt"}).exitCode, 1);
}

// ---------------------------------------------------------------------------------------

class Mpq2kDamaged : public Mpq2k {
protected:
    void SetUp() override {
        BuildArchive(Game("good.mpq"), ManyFiles("data\\f", 8, 300), true, 16);
        good_ = ReadBytes(Game("good.mpq"));
        fs::create_directory(Game("out"));
    }
    // Every command on a damaged archive: non-zero, no hang, one line, archive untouched.
    void ExpectRefused(const std::string& archive, const std::string& bytes,
                       const std::function<void(std::uint32_t*)>& change = nullptr,
                       std::uint32_t block = 1) {
        SCOPED_TRACE(archive);
        WriteBytes(Game(archive), bytes);
        if (change)
            ChangeBlock(Game(archive), block, change);
        const std::string before = ReadBytes(Game(archive));
        WriteBytes(Game("in.txt"), "x");
        WriteBytes(Game("script.txt"), "o " + archive + "\nc " + archive + "\n");
        for (const Args& command :
             {Args{"l", archive}, Args{"e", archive, "data\\f1.txt", "out\\"},
              Args{"a", archive, "in.txt", "data\\f1.txt"}, Args{"s", "script.txt"}}) {
            const RunResult result = Run(command);
            EXPECT_GT(result.exitCode, 0) << command[0] << " (negative: killed by a signal)";
            // Refused, never waited on: a bound loose enough for a loaded machine.
            EXPECT_LT(result.seconds, 10.0) << command[0];
            ExpectOneErrorLine(result);
        }
        EXPECT_EQ(ReadBytes(Game(archive)), before);
        EXPECT_FALSE(HasTempLeftovers(game_.Path()));
        EXPECT_EQ(ListDir(Game("out")), "");
    }
    // The good archive with one header word changed.
    std::string WithHeaderWord(std::size_t at, std::uint32_t value) const {
        std::string bytes = good_;
        std::memcpy(&bytes[at], &value, 4);
        return bytes;
    }
    std::string good_;
};

TEST_F(Mpq2kDamaged, EveryCommandRefusesItQuicklyInOneLine) {
    ExpectRefused("cut.mpq", good_.substr(0, good_.size() / 2));
    ExpectRefused("stub.mpq", good_.substr(0, 20));
    ExpectRefused("text.mpq", std::string(4096, 'a'));
    ExpectRefused("blocks.mpq", WithHeaderWord(28, 0x0FFFFFFF)); // block table entries
    ExpectRefused("hashes.mpq", WithHeaderWord(24, 0x0FFFFFFF)); // hash table entries
    // StormLib 9.22 overruns a heap buffer reading an entry marked as a patch.
    const auto patch = [](std::uint32_t* entry) { entry[3] |= MPQ_FILE_PATCH_FILE; };
    ExpectRefused("patched.mpq", good_, patch);
    // StormLib sizes its buffers by the sizes an entry claims: more than its sectors
    // describe, or, stored plain, more than its stored bytes.
    ExpectRefused("claims.mpq", good_, [](std::uint32_t* entry) { entry[2] = 0x40000000; });
    ExpectRefused("plain.mpq", good_, [](std::uint32_t* entry) {
        entry[3] &= ~static_cast<std::uint32_t>(MPQ_FILE_IMPLODE);
        entry[2] = entry[1] + 1;
    });
    BuildArchive(Game("large.mpq"), ManyFiles("data\\many\\f", 5000), true, 8192);
    ExpectRefused("large.mpq", ReadBytes(Game("large.mpq")), patch, 4500);
}

// ---------------------------------------------------------------------------------------

class Mpq2kCrash : public Mpq2k {
protected:
    // About 3.5 MB of imploded tables, the size of a modded patch archive.
    void SetUp() override {
        for (int i = 0; i < 140; ++i)
            others_["data\\global\\excel\\table" + std::to_string(i) + ".txt"] =
                TableText(1000 + i, 40000);
        std::map<std::string, std::string> files = others_;
        current_ = files[kTableName] = TableText(1, 100 * 1024);
        BuildArchive(Game("patch_d2.mpq"), files, true, 256);
        std::string script = "o patch_d2.mpq\r\n";
        for (const auto& item : others_)
            script += "x " + item.first + " tmp\\ \r\n";
        WriteBytes(Game("check.txt"), script + "c patch_d2.mpq\r\n");
    }
    pid_t StartAdd(const std::string& candidate, int devNull) {
        WriteBytes(Game("in.txt"), candidate);
        return Spawn(game_.Path(), {"a", "patch_d2.mpq", "in.txt", kTableName}, devNull, devNull);
    }

    // The archive opens, the table holds the old or the new bytes, and everything else
    // survived.
    void CheckArchive(const std::string& candidate) {
        const RunResult list = Run({"l", "patch_d2.mpq"});
        ASSERT_EQ(list.exitCode, 0) << list.err;
        ASSERT_EQ(Lines(list.out).size(), others_.size() + 2);
        const std::string stored = Extract("patch_d2.mpq", kTableName);
        ASSERT_TRUE(stored == current_ || stored == candidate);
        if (stored == candidate && candidate != current_) {
            current_ = candidate;
            ++landed_;
        }
        fs::remove_all(Game("tmp"));
        fs::create_directory(Game("tmp"));
        const RunResult rest = Run({"s", "check.txt"});
        ASSERT_EQ(rest.exitCode, 0) << rest.err;
        for (const auto& item : others_)
            ASSERT_EQ(ReadBytes(Game("tmp/" + item.first.substr(item.first.rfind('\\') + 1))),
                      item.second)
                << item.first;
    }

    std::map<std::string, std::string> others_;
    std::string current_;
    int landed_ = 0;
};

TEST_F(Mpq2kCrash, SigkillAtAnyMomentLeavesOldOrNewContent) {
    const std::string first = TableText(2, 100 * 1024);
    WriteBytes(Game("in.txt"), first);
    const RunResult timed = Run({"a", "patch_d2.mpq", "in.txt", kTableName});
    ASSERT_EQ(timed.exitCode, 0) << timed.err;
    CheckArchive(first);
    ASSERT_EQ(current_, first);
    const auto runMicros = static_cast<int>(timed.seconds * 1e6);

    const unsigned seed = std::random_device{}();
    SCOPED_TRACE("seed " + std::to_string(seed) + ", one run " + std::to_string(runMicros) + " us");
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> delay(0, runMicros);
    const int devNull = ::open("/dev/null", O_WRONLY);
    for (int round = 0; round < 30 && !HasFatalFailure(); ++round) {
        const std::string candidate = TableText(5000 + round, 100 * 1024);
        const pid_t pid = StartAdd(candidate, devNull);
        ASSERT_GT(pid, 0);
        std::this_thread::sleep_for(std::chrono::microseconds(delay(rng)));
        ::kill(pid, SIGKILL);
        Wait(pid);
        SCOPED_TRACE("round " + std::to_string(round));
        CheckArchive(candidate);
    }
    ::close(devNull);
    std::cout << "[          ] " << landed_ << " of 30 killed runs had already committed\n";

    // A normal run sweeps up what the killed ones left behind.
    const std::string last = TableText(3, 100 * 1024);
    ASSERT_EQ(Add("patch_d2.mpq", kTableName, last), 0);
    CheckArchive(last);
    EXPECT_EQ(current_, last);
    EXPECT_EQ(ListDir(game_.Path()), "check.txt in.txt out patch_d2.mpq tmp");
}

TEST_F(Mpq2kCrash, SigtermRemovesTheTemporaryCopy) {
    const int devNull = ::open("/dev/null", O_WRONLY);
    for (int round = 0; round < 5; ++round) {
        const std::string candidate = TableText(7000 + round, 100 * 1024);
        const pid_t pid = StartAdd(candidate, devNull);
        ASSERT_GT(pid, 0);
        std::this_thread::sleep_for(std::chrono::milliseconds(5 + 8 * round));
        ::kill(pid, SIGTERM);
        Wait(pid);
        EXPECT_FALSE(HasTempLeftovers(game_.Path()));
        CheckArchive(candidate);
    }
    ::close(devNull);
}

} // namespace
