// mpq2k is only ever used as a separate process, so these tests run the built binary the way
// the editor does: with the game directory as its current directory, judging it by its exit
// status, its stderr and the files it leaves behind.
#include <StormLib.h>

#include "support/TableText.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

class ScratchDir {
public:
    ScratchDir() {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base != nullptr ? base : "/tmp") + "/mpq2k-test-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("mkdtemp failed");
        }
        path_ = pattern;
    }
    ~ScratchDir() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << path;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool Exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

std::vector<std::string> DirNames(const std::string& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

using tolmere::testing::TableText;

struct RunResult {
    int exitCode = -1; // -signal when killed
    std::string out;
    std::string err;
    double seconds = 0;
};

// fork/exec with chdir in the child: the test process keeps its own working directory.
pid_t Spawn(const std::string& dir, const std::vector<std::string>& args, int outFd, int errFd) {
    std::vector<char*> argv;
    std::string program = MPQ2K;
    argv.push_back(program.data());
    std::vector<std::string> copies = args;
    for (std::string& arg : copies) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::chdir(dir.c_str()) != 0) {
            ::_exit(126);
        }
        ::dup2(outFd, STDOUT_FILENO);
        ::dup2(errFd, STDERR_FILENO);
        const int devNull = ::open("/dev/null", O_RDONLY);
        ::dup2(devNull, STDIN_FILENO);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    return pid;
}

int DecodeStatus(int status) {
    if (WIFEXITED(status)) {
        return WEXITSTATUS(status);
    }
    return WIFSIGNALED(status) ? -WTERMSIG(status) : -1000;
}

RunResult RunTool(const std::string& dir, const std::vector<std::string>& args) {
    int outPipe[2];
    int errPipe[2];
    RunResult result;
    if (::pipe(outPipe) != 0 || ::pipe(errPipe) != 0) {
        return result;
    }
    const auto start = Clock::now();
    const pid_t pid = Spawn(dir, args, outPipe[1], errPipe[1]);
    ::close(outPipe[1]);
    ::close(errPipe[1]);
    pollfd fds[2] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}};
    std::string* sinks[2] = {&result.out, &result.err};
    int open = 2;
    while (open > 0) {
        if (::poll(fds, 2, -1) < 0) {
            break;
        }
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd >= 0 && (fds[i].revents & (POLLIN | POLLHUP)) != 0) {
                char buffer[4096];
                const ssize_t got = ::read(fds[i].fd, buffer, sizeof buffer);
                if (got > 0) {
                    sinks[i]->append(buffer, static_cast<std::size_t>(got));
                } else {
                    ::close(fds[i].fd);
                    fds[i].fd = -1;
                    --open;
                }
            }
        }
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    result.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    result.exitCode = DecodeStatus(status);
    return result;
}

int CountLines(const std::string& text) {
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

// One problem, one line, in the tool's voice.
void ExpectOneErrorLine(const RunResult& result) {
    EXPECT_EQ(CountLines(result.err), 1) << result.err;
    EXPECT_EQ(result.err.rfind("mpq2k: ", 0), 0u) << result.err;
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
        ASSERT_TRUE(SFileCreateFile(mpq, name.c_str(), 0, static_cast<DWORD>(bytes.size()), 0,
                                    MPQ_FILE_IMPLODE, &file))
            << name;
        ASSERT_TRUE(SFileWriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()),
                                   MPQ_COMPRESSION_PKWARE));
        ASSERT_TRUE(SFileFinishFile(file));
    }
    ASSERT_TRUE(SFileCloseArchive(mpq));
}

struct StoredInfo {
    bool found = false;
    DWORD flags = 0;
    DWORD compressedSize = 0;
};

StoredInfo Inspect(const std::string& archive, const std::string& name) {
    StoredInfo info;
    HANDLE mpq = nullptr;
    if (!SFileOpenArchive(archive.c_str(), 0, MPQ_OPEN_READ_ONLY, &mpq)) {
        return info;
    }
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

std::uint64_t FileSize(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

bool HasTempLeftovers(const std::string& dir) {
    for (const std::string& name : DirNames(dir)) {
        if (name.find(".mpq2k-") != std::string::npos) {
            return true;
        }
    }
    return false;
}

// Sets a flag on one block table entry, re-encrypting the table as the format requires.
// Changes block table entry `index` (position, compressed size, file size, flags).
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
    std::string bytes = ReadFile(path);
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
    WriteFile(path, bytes);
}

void SetBlockFlag(const std::string& path, std::uint32_t index, std::uint32_t flag) {
    ChangeBlock(path, index, [flag](std::uint32_t* entry) { entry[3] |= flag; });
}

const char kTableName[] = "data\\global\\excel\\UniqueItems.txt";

// ---------------------------------------------------------------------------------------

TEST(Mpq2kAdd, CreatesAVersionOneArchiveWithImplodedFilesAndListfile) {
    ScratchDir game;
    const std::string table = TableText(1, 100 * 1024);
    WriteFile(game / "UniqueItems.txt", table);

    const RunResult add =
        RunTool(game.Path(), {"a", "patch_d2.mpq", "UniqueItems.txt", kTableName});
    ASSERT_EQ(add.exitCode, 0) << add.err;
    EXPECT_EQ(add.err, "");

    const std::string bytes = ReadFile(game / "patch_d2.mpq");
    ASSERT_GE(bytes.size(), 32u);
    EXPECT_EQ(bytes.substr(0, 4), std::string("MPQ\x1A", 4));
    EXPECT_EQ(bytes[12], 0) << "format version 1 is stored as 0";
    EXPECT_EQ(bytes[13], 0);
    EXPECT_EQ(bytes[14], 3) << "4 KB sectors";

    const StoredInfo stored = Inspect(game / "patch_d2.mpq", kTableName);
    ASSERT_TRUE(stored.found);
    EXPECT_NE(stored.flags & MPQ_FILE_IMPLODE, 0u);
    EXPECT_EQ(stored.flags & (MPQ_FILE_COMPRESS | MPQ_FILE_SINGLE_UNIT), 0u);
    EXPECT_LT(stored.compressedSize, table.size());

    const RunResult list = RunTool(game.Path(), {"l", "patch_d2.mpq"});
    ASSERT_EQ(list.exitCode, 0) << list.err;
    EXPECT_EQ(Lines(list.out),
              (std::vector<std::string>{"(listfile)\t" +
                                            std::to_string(std::string(kTableName).size() + 2),
                                        std::string(kTableName) + "\t102400"}));
}

TEST(Mpq2kAdd, AddThenExtractGivesTheSameBytes) {
    ScratchDir game;
    fs::create_directory(game / "tmp08187262");
    const std::string table = TableText(2, 100 * 1024);
    WriteFile(game / "in.txt", table);
    ASSERT_EQ(RunTool(game.Path(), {"a", "patch_d2.mpq", "in.txt", kTableName}).exitCode, 0);

    const RunResult extract =
        RunTool(game.Path(), {"e", "patch_d2.mpq", kTableName, "tmp08187262\\"});
    ASSERT_EQ(extract.exitCode, 0) << extract.err;
    EXPECT_EQ(ReadFile(game / "tmp08187262/UniqueItems.txt"), table);
    EXPECT_EQ(DirNames(game / "tmp08187262"), std::vector<std::string>{"UniqueItems.txt"});
}

TEST(Mpq2kAdd, ReplacesAndKeepsTheOtherFiles) {
    ScratchDir game;
    fs::create_directory(game / "out");
    WriteFile(game / "a1.txt", TableText(3, 5000));
    WriteFile(game / "a2.txt", TableText(4, 7000));
    WriteFile(game / "b.txt", TableText(5, 6000));
    ASSERT_EQ(RunTool(game.Path(), {"a", "x.mpq", "a1.txt", "data\\a.txt"}).exitCode, 0);
    ASSERT_EQ(RunTool(game.Path(), {"a", "x.mpq", "b.txt", "data\\b.txt"}).exitCode, 0);
    ASSERT_EQ(RunTool(game.Path(), {"a", "x.mpq", "a2.txt", "data\\a.txt"}).exitCode, 0);

    ASSERT_EQ(RunTool(game.Path(), {"e", "x.mpq", "data\\a.txt", "out\\"}).exitCode, 0);
    ASSERT_EQ(RunTool(game.Path(), {"e", "x.mpq", "data\\b.txt", "out\\"}).exitCode, 0);
    EXPECT_EQ(ReadFile(game / "out/a.txt"), ReadFile(game / "a2.txt"));
    EXPECT_EQ(ReadFile(game / "out/b.txt"), ReadFile(game / "b.txt"));
    EXPECT_EQ(Lines(RunTool(game.Path(), {"l", "x.mpq"}).out).size(), 3u);
    EXPECT_FALSE(HasTempLeftovers(game.Path()));
}

TEST(Mpq2kAdd, StoresForwardSlashesAsBackslashes) {
    ScratchDir game;
    WriteFile(game / "in.txt", "hello");
    ASSERT_EQ(RunTool(game.Path(), {"a", "x.mpq", "in.txt", "data/global/excel/Foo.txt"}).exitCode,
              0);
    EXPECT_TRUE(Inspect(game / "x.mpq", "data\\global\\excel\\Foo.txt").found);
    const std::vector<std::string> listed = Lines(RunTool(game.Path(), {"l", "x.mpq"}).out);
    EXPECT_NE(std::find(listed.begin(), listed.end(), "data\\global\\excel\\Foo.txt\t5"),
              listed.end());
}

TEST(Mpq2kAdd, FindsArchivesWhateverTheirCase) {
    ScratchDir game;
    fs::create_directory(game / "out");
    WriteFile(game / "one.txt", "one");
    WriteFile(game / "two.txt", "two");
    ASSERT_EQ(RunTool(game.Path(), {"a", "Patch_D2.mpq", "one.txt", "data\\one.txt"}).exitCode, 0);

    const RunResult add = RunTool(game.Path(), {"a", "patch_d2.mpq", "two.txt", "data\\two.txt"});
    ASSERT_EQ(add.exitCode, 0) << add.err;
    const RunResult extract = RunTool(game.Path(), {"e", "PATCH_D2.MPQ", "data\\one.txt", "out\\"});
    ASSERT_EQ(extract.exitCode, 0) << extract.err;
    EXPECT_EQ(ReadFile(game / "out/one.txt"), "one");
    EXPECT_EQ(DirNames(game.Path()),
              (std::vector<std::string>{"Patch_D2.mpq", "one.txt", "out", "two.txt"}));
    EXPECT_TRUE(Inspect(game / "Patch_D2.mpq", "data\\two.txt").found);
}

TEST(Mpq2kAdd, GrowsAFullHashTable) {
    ScratchDir game;
    fs::create_directory(game / "out");
    BuildArchive(game / "small.mpq", {{"data\\a.txt", "a"}, {"data\\b.txt", "b"}}, true, 4);
    for (int i = 0; i < 12; ++i) {
        const std::string name = "data\\new" + std::to_string(i) + ".txt";
        WriteFile(game / "in.txt", "content " + std::to_string(i));
        const RunResult add = RunTool(game.Path(), {"a", "small.mpq", "in.txt", name});
        ASSERT_EQ(add.exitCode, 0) << name << ": " << add.err;
    }
    for (int i = 0; i < 12; ++i) {
        const std::string name = "data\\new" + std::to_string(i) + ".txt";
        ASSERT_EQ(RunTool(game.Path(), {"e", "small.mpq", name, "out\\"}).exitCode, 0);
        EXPECT_EQ(ReadFile(game / ("out/new" + std::to_string(i) + ".txt")),
                  "content " + std::to_string(i));
    }
    EXPECT_TRUE(Inspect(game / "small.mpq", "data\\a.txt").found);
}

TEST(Mpq2kAdd, ReplacesInAnArchiveWithoutListfile) {
    // The game's own patch archive has no (listfile); StormLib cannot name its files.
    ScratchDir game;
    fs::create_directory(game / "out");
    BuildArchive(game / "patch_d2.mpq",
                 {{kTableName, TableText(6, 20000)}, {"data\\other.txt", TableText(7, 9000)}},
                 false, 16);
    const std::string table = TableText(8, 30000);
    WriteFile(game / "in.txt", table);

    const RunResult add = RunTool(game.Path(), {"a", "patch_d2.mpq", "in.txt", kTableName});
    ASSERT_EQ(add.exitCode, 0) << add.err;
    ASSERT_EQ(RunTool(game.Path(), {"e", "patch_d2.mpq", kTableName, "out\\"}).exitCode, 0);
    EXPECT_EQ(ReadFile(game / "out/UniqueItems.txt"), table);
    ASSERT_EQ(RunTool(game.Path(), {"e", "patch_d2.mpq", "data\\other.txt", "out\\"}).exitCode, 0);
    EXPECT_EQ(ReadFile(game / "out/other.txt"), TableText(7, 9000));
}

TEST(Mpq2kAdd, RepeatedAddsOfOneNameDoNotGrowTheArchive) {
    ScratchDir game;
    std::map<std::string, std::string> files;
    for (int i = 0; i < 20; ++i) {
        files["data\\global\\excel\\t" + std::to_string(i) + ".txt"] = TableText(100 + i, 20000);
    }
    BuildArchive(game / "patch_d2.mpq", files, true, 64);
    WriteFile(game / "in.txt", TableText(9, 100 * 1024));
    const std::uint64_t before = FileSize(game / "patch_d2.mpq");

    for (int i = 0; i < 20; ++i) {
        ASSERT_EQ(RunTool(game.Path(), {"a", "patch_d2.mpq", "in.txt", kTableName}).exitCode, 0);
    }
    const StoredInfo stored = Inspect(game / "patch_d2.mpq", kTableName);
    ASSERT_TRUE(stored.found);
    EXPECT_LE(FileSize(game / "patch_d2.mpq"), before + stored.compressedSize + 64 * 1024);
}

TEST(Mpq2kAdd, AlternatingNamesDoNotGrowTheArchive) {
    // A replaced file that is not the last one leaves a hole; holes must not pile up.
    ScratchDir game;
    std::map<std::string, std::string> files;
    for (int i = 0; i < 20; ++i) {
        files["data\\global\\excel\\t" + std::to_string(i) + ".txt"] = TableText(200 + i, 20000);
    }
    BuildArchive(game / "patch_d2.mpq", files, true, 64);
    WriteFile(game / "a.txt", TableText(10, 100 * 1024));
    WriteFile(game / "b.txt", TableText(11, 100 * 1024));
    const std::uint64_t before = FileSize(game / "patch_d2.mpq");

    for (int i = 0; i < 10; ++i) {
        ASSERT_EQ(RunTool(game.Path(), {"a", "patch_d2.mpq", "a.txt", "data\\a.txt"}).exitCode, 0);
        ASSERT_EQ(RunTool(game.Path(), {"a", "patch_d2.mpq", "b.txt", "data\\b.txt"}).exitCode, 0);
    }
    const std::uint64_t added = Inspect(game / "patch_d2.mpq", "data\\a.txt").compressedSize +
                                Inspect(game / "patch_d2.mpq", "data\\b.txt").compressedSize;
    EXPECT_LE(FileSize(game / "patch_d2.mpq"), before + added + 64 * 1024);
    EXPECT_FALSE(HasTempLeftovers(game.Path()));
}

TEST(Mpq2kAdd, HandlesArchivesWithThousandsOfFiles) {
    // The game's base archive holds over ten thousand files; its tables span many pages.
    ScratchDir game;
    fs::create_directory(game / "out");
    std::map<std::string, std::string> files;
    for (int i = 0; i < 6000; ++i) {
        files["data\\many\\f" + std::to_string(i) + ".txt"] = "file " + std::to_string(i);
    }
    BuildArchive(game / "d2data.mpq", files, true, 8192);
    WriteFile(game / "in.txt", "replaced");

    const RunResult add =
        RunTool(game.Path(), {"a", "D2data.mpq", "in.txt", "data\\many\\f17.txt"});
    ASSERT_EQ(add.exitCode, 0) << add.err;
    EXPECT_EQ(Lines(RunTool(game.Path(), {"l", "d2data.mpq"}).out).size(), 6001u);
    ASSERT_EQ(RunTool(game.Path(), {"e", "d2data.mpq", "data\\many\\f17.txt", "out\\"}).exitCode,
              0);
    ASSERT_EQ(RunTool(game.Path(), {"e", "d2data.mpq", "data\\many\\f5999.txt", "out\\"}).exitCode,
              0);
    EXPECT_EQ(ReadFile(game / "out/f17.txt"), "replaced");
    EXPECT_EQ(ReadFile(game / "out/f5999.txt"), "file 5999");
}

TEST(Mpq2kAdd, KeepsTheArchivesPermissions) {
    ScratchDir game;
    WriteFile(game / "in.txt", "x");
    ASSERT_EQ(RunTool(game.Path(), {"a", "x.mpq", "in.txt", "data\\x.txt"}).exitCode, 0);
    ASSERT_EQ(::chmod((game / "x.mpq").c_str(), 0640), 0);
    ASSERT_EQ(RunTool(game.Path(), {"a", "x.mpq", "in.txt", "data\\y.txt"}).exitCode, 0);
    struct stat st {};
    ASSERT_EQ(::stat((game / "x.mpq").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

TEST(Mpq2kAdd, FailureLeavesTheArchiveAsItWas) {
    ScratchDir game;
    WriteFile(game / "in.txt", "x");
    ASSERT_EQ(RunTool(game.Path(), {"a", "x.mpq", "in.txt", "data\\x.txt"}).exitCode, 0);
    const std::string original = ReadFile(game / "x.mpq");

    const RunResult missing = RunTool(game.Path(), {"a", "x.mpq", "nope.txt", "data\\x.txt"});
    EXPECT_EQ(missing.exitCode, 1);
    ExpectOneErrorLine(missing);
    const RunResult internal = RunTool(game.Path(), {"a", "x.mpq", "in.txt", "(listfile)"});
    EXPECT_EQ(internal.exitCode, 1);
    ExpectOneErrorLine(internal);

    EXPECT_EQ(ReadFile(game / "x.mpq"), original);
    EXPECT_EQ(DirNames(game.Path()), (std::vector<std::string>{"in.txt", "x.mpq"}));
}

// ---------------------------------------------------------------------------------------

TEST(Mpq2kExtract, RefusesNamesWithoutAFileName) {
    ScratchDir game;
    fs::create_directory(game / "out");
    WriteFile(game / "in.txt", "x");
    ASSERT_EQ(RunTool(game.Path(), {"a", "x.mpq", "in.txt", "data\\x.txt"}).exitCode, 0);

    for (const char* name : {"data\\", "data\\.", "data\\..", "..", ".", "data/.."}) {
        const RunResult result = RunTool(game.Path(), {"e", "x.mpq", name, "out\\"});
        EXPECT_EQ(result.exitCode, 1) << name;
        ExpectOneErrorLine(result);
    }
    EXPECT_TRUE(DirNames(game / "out").empty());
    EXPECT_EQ(DirNames(game.Path()), (std::vector<std::string>{"in.txt", "out", "x.mpq"}));
}

TEST(Mpq2kExtract, UsesOnlyTheLastComponent) {
    ScratchDir game;
    fs::create_directory(game / "deep");
    fs::create_directory(game / "deep/out");
    WriteFile(game / "deep/in.txt", "payload");
    const std::string name = "..\\..\\..\\evil.txt";
    ASSERT_EQ(RunTool(game / "deep", {"a", "x.mpq", "in.txt", name}).exitCode, 0);

    const RunResult result = RunTool(game / "deep", {"e", "x.mpq", name, "out/"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(ReadFile(game / "deep/out/evil.txt"), "payload");
    EXPECT_FALSE(Exists(game / "evil.txt"));
    EXPECT_EQ(DirNames(game.Path()), std::vector<std::string>{"deep"});
}

TEST(Mpq2kExtract, ReportsAMissingFile) {
    ScratchDir game;
    fs::create_directory(game / "out");
    WriteFile(game / "in.txt", "x");
    ASSERT_EQ(RunTool(game.Path(), {"a", "x.mpq", "in.txt", "data\\x.txt"}).exitCode, 0);
    // The editor goes on to the next archive only for these two exit codes.
    const RunResult result = RunTool(game.Path(), {"e", "x.mpq", "data\\nope.txt", "out\\"});
    EXPECT_EQ(result.exitCode, 3);
    ExpectOneErrorLine(result);
    EXPECT_NE(result.err.find("data\\nope.txt"), std::string::npos);
    EXPECT_TRUE(DirNames(game / "out").empty());

    const RunResult noArchive = RunTool(game.Path(), {"e", "none.mpq", "data\\x.txt", "out\\"});
    EXPECT_EQ(noArchive.exitCode, 4);
    ExpectOneErrorLine(noArchive);

    // A name that matches two archives only when case is ignored names neither.
    WriteFile(game / "X.MPQ", ReadFile(game / "x.mpq"));
    const RunResult twice = RunTool(game.Path(), {"e", "X.mpq", "data\\x.txt", "out\\"});
    EXPECT_EQ(twice.exitCode, 1);
    EXPECT_NE(twice.err.find("more than one file"), std::string::npos);
}

TEST(Mpq2kExtract, ReadsSingleUnitFilesButDoesNotWriteIntoTheirArchive) {
    ScratchDir game;
    fs::create_directory(game / "out");
    BuildArchive(game / "x.mpq", {{"data\\a.txt", "sectored"}}, true, 16);
    HANDLE mpq = nullptr;
    ASSERT_TRUE(SFileOpenArchive((game / "x.mpq").c_str(), 0, 0, &mpq));
    const std::string single(5000, 's');
    HANDLE file = nullptr;
    ASSERT_TRUE(SFileCreateFile(mpq, "data\\single.txt", 0, static_cast<DWORD>(single.size()), 0,
                                MPQ_FILE_COMPRESS | MPQ_FILE_SINGLE_UNIT, &file));
    ASSERT_TRUE(SFileWriteFile(file, single.data(), static_cast<DWORD>(single.size()),
                               MPQ_COMPRESSION_ZLIB));
    ASSERT_TRUE(SFileFinishFile(file));
    ASSERT_TRUE(SFileCloseArchive(mpq));

    const RunResult extract = RunTool(game.Path(), {"e", "x.mpq", "data\\single.txt", "out\\"});
    ASSERT_EQ(extract.exitCode, 0) << extract.err;
    EXPECT_EQ(ReadFile(game / "out/single.txt"), single);

    const std::string before = ReadFile(game / "x.mpq");
    WriteFile(game / "in.txt", "x");
    const RunResult add = RunTool(game.Path(), {"a", "x.mpq", "in.txt", "data\\b.txt"});
    EXPECT_EQ(add.exitCode, 1);
    ExpectOneErrorLine(add);
    EXPECT_NE(add.err.find("does not write into it"), std::string::npos) << add.err;
    EXPECT_EQ(ReadFile(game / "x.mpq"), before);

    // A single-unit file claiming far more bytes than it stores is refused unread.
    ChangeBlock(game / "x.mpq", 1, [](std::uint32_t* entry) { entry[2] = 0x40000000; });
    const RunResult bomb = RunTool(game.Path(), {"e", "x.mpq", "data\\single.txt", "out\\"});
    EXPECT_EQ(bomb.exitCode, 1);
    EXPECT_NE(bomb.err.find("claims more data"), std::string::npos) << bomb.err;
}

TEST(Mpq2kAdd, WritersTakeTurnsAndAHeldLockMeansBusy) {
    ScratchDir game;
    // Two writers at the same moment, twenty times: both files land every time.
    for (int round = 0; round < 20; ++round) {
        WriteFile(game / "a.txt", "a" + std::to_string(round));
        WriteFile(game / "b.txt", "b" + std::to_string(round));
        int devNull = ::open("/dev/null", O_WRONLY);
        const pid_t first =
            Spawn(game.Path(), {"a", "x.mpq", "a.txt", "data\\a.txt"}, devNull, devNull);
        const pid_t second =
            Spawn(game.Path(), {"a", "x.mpq", "b.txt", "data\\b.txt"}, devNull, devNull);
        int status = 0;
        ASSERT_EQ(::waitpid(first, &status, 0), first);
        EXPECT_EQ(DecodeStatus(status), 0) << round;
        ASSERT_EQ(::waitpid(second, &status, 0), second);
        EXPECT_EQ(DecodeStatus(status), 0) << round;
        ::close(devNull);
        fs::create_directories(game / "out");
        ASSERT_EQ(RunTool(game.Path(), {"e", "x.mpq", "data\\a.txt", "out\\"}).exitCode, 0);
        ASSERT_EQ(RunTool(game.Path(), {"e", "x.mpq", "data\\b.txt", "out\\"}).exitCode, 0);
        EXPECT_EQ(ReadFile(game / "out/a.txt"), "a" + std::to_string(round));
        EXPECT_EQ(ReadFile(game / "out/b.txt"), "b" + std::to_string(round));
    }
    // A writer that never lets go: the next one gives up with one line, changing nothing.
    const int held = ::open(game.Path().c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    const std::string before = ReadFile(game / "x.mpq");
    const RunResult busy = RunTool(game.Path(), {"a", "x.mpq", "a.txt", "data\\c.txt"});
    ::close(held);
    EXPECT_EQ(busy.exitCode, 5);
    ExpectOneErrorLine(busy);
    EXPECT_NE(busy.err.find("archive busy"), std::string::npos);
    EXPECT_EQ(ReadFile(game / "x.mpq"), before);
}

// ---------------------------------------------------------------------------------------

TEST(Mpq2kScript, RunsEveryLineAndReportsTheMissingFile) {
    ScratchDir game;
    fs::create_directory(game / "tmp08187262");
    const std::string items = TableText(12, 30000);
    const std::string sprite(5000, '\x7f');
    WriteFile(game / "items.txt", items);
    WriteFile(game / "sprite.dc6", sprite);
    ASSERT_EQ(RunTool(game.Path(), {"a", "Patch_D2.mpq", "items.txt", kTableName}).exitCode, 0);
    ASSERT_EQ(
        RunTool(game.Path(), {"a", "Patch_D2.mpq", "sprite.dc6", "data\\GLOBAL\\Items\\foo.dc6"})
            .exitCode,
        0);

    WriteFile(game / "script.txt", "o patch_d2.mpq\r\n"
                                   "x data\\global\\excel\\Missing.txt tmp08187262\\ \r\n"
                                   "x data\\GLOBAL\\Items\\foo.dc6 tmp08187262\\ \n"
                                   "\r\n"
                                   "x data\\global\\excel\\UniqueItems.txt tmp08187262\\\r\n"
                                   "c patch_d2.mpq\n");
    const RunResult result = RunTool(game.Path(), {"s", "script.txt"});
    EXPECT_EQ(result.exitCode, 1);
    ExpectOneErrorLine(result);
    EXPECT_NE(result.err.find("Missing.txt"), std::string::npos) << result.err;
    EXPECT_EQ(ReadFile(game / "tmp08187262/foo.dc6"), sprite);
    EXPECT_EQ(ReadFile(game / "tmp08187262/UniqueItems.txt"), items);
    EXPECT_EQ(DirNames(game / "tmp08187262"),
              (std::vector<std::string>{"UniqueItems.txt", "foo.dc6"}));
}

TEST(Mpq2kScript, SucceedsWhenEveryLineDoes) {
    ScratchDir game;
    fs::create_directory(game / "tmp");
    WriteFile(game / "in.txt", "abc");
    ASSERT_EQ(RunTool(game.Path(), {"a", "x.mpq", "in.txt", "data\\a.txt"}).exitCode, 0);
    WriteFile(game / "script.txt", "o x.mpq\nx data\\a.txt tmp\\ \nc x.mpq\n");
    const RunResult result = RunTool(game.Path(), {"s", "script.txt"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(ReadFile(game / "tmp/a.txt"), "abc");
}

TEST(Mpq2kScript, OptionalLinesPassOverWhatIsNotThereButNotOverWhatIsBroken) {
    ScratchDir game;
    fs::create_directory(game / "tmp");
    WriteFile(game / "in.txt", "abc");
    WriteFile(game / "bad.mpq", "not an archive");
    ASSERT_EQ(RunTool(game.Path(), {"a", "x.mpq", "in.txt", "data\\a.txt"}).exitCode, 0);
    const struct {
        const char* script;
        int exitCode;
    } cases[] = {
        {"O none.mpq\nX data\\a.txt tmp\\\nc none.mpq\n"
         "O x.mpq\nX data\\missing.txt tmp\\\nX data\\a.txt tmp\\\nc x.mpq\n",
         0},
        {"O bad.mpq\nX data\\a.txt tmp\\\nc bad.mpq\n", 1},
        {"o none.mpq\nc none.mpq\n", 1},
        {"O x.mpq\nx data\\missing.txt tmp\\\nc x.mpq\n", 1},
    };
    for (const auto& c : cases) {
        WriteFile(game / "script.txt", c.script);
        const RunResult result = RunTool(game.Path(), {"s", "script.txt"});
        EXPECT_EQ(result.exitCode, c.exitCode) << c.script << result.err;
        if (c.exitCode == 0)
            EXPECT_EQ(result.err, "");
    }
    EXPECT_EQ(ReadFile(game / "tmp/a.txt"), "abc");
}

TEST(Mpq2kScript, UnknownLinesFailButTheRestRuns) {
    ScratchDir game;
    fs::create_directory(game / "tmp");
    WriteFile(game / "in.txt", "abc");
    ASSERT_EQ(RunTool(game.Path(), {"a", "x.mpq", "in.txt", "data\\a.txt"}).exitCode, 0);
    WriteFile(game / "script.txt", "o x.mpq\nq what\nx data\\a.txt tmp\\\nc x.mpq\n");
    const RunResult result = RunTool(game.Path(), {"s", "script.txt"});
    EXPECT_EQ(result.exitCode, 1);
    ExpectOneErrorLine(result);
    EXPECT_EQ(ReadFile(game / "tmp/a.txt"), "abc");
}

TEST(Mpq2kScript, AFailedOpenDoesNotLeaveThePreviousArchiveInUse) {
    ScratchDir game;
    fs::create_directory(game / "tmp");
    WriteFile(game / "in.txt", "abc");
    ASSERT_EQ(RunTool(game.Path(), {"a", "x.mpq", "in.txt", "data\\a.txt"}).exitCode, 0);
    WriteFile(game / "script.txt", "o x.mpq\nx data\\a.txt tmp\\\no gone.mpq\n"
                                   "x data\\a.txt tmp\\again\\\nc gone.mpq\n");
    fs::create_directory(game / "tmp/again");
    const RunResult result = RunTool(game.Path(), {"s", "script.txt"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(CountLines(result.err), 2) << result.err; // the "o" and the "x" after it
    EXPECT_EQ(ReadFile(game / "tmp/a.txt"), "abc");
    EXPECT_TRUE(DirNames(game / "tmp/again").empty());
}

// ---------------------------------------------------------------------------------------

class Mpq2kDamaged : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directory(game_ / "out");
        std::map<std::string, std::string> files;
        for (int i = 0; i < 8; ++i) {
            files["data\\f" + std::to_string(i) + ".txt"] = TableText(300 + i, 10000);
        }
        BuildArchive(game_ / "good.mpq", files, true, 16);
    }

    // Every command on a damaged archive: non-zero, no hang, one line, archive untouched.
    void ExpectRefused(const std::string& archive) {
        const std::string before = ReadFile(game_ / archive);
        WriteFile(game_ / "in.txt", "x");
        WriteFile(game_ / "script.txt", "o " + archive + "\nc " + archive + "\n");
        const std::vector<std::vector<std::string>> commands = {
            {"l", archive},
            {"e", archive, "data\\f1.txt", "out\\"},
            {"a", archive, "in.txt", "data\\f1.txt"},
            {"s", "script.txt"}};
        for (const auto& command : commands) {
            const RunResult result = RunTool(game_.Path(), command);
            EXPECT_NE(result.exitCode, 0) << command[0];
            EXPECT_GT(result.exitCode, 0) << "killed by a signal: " << command[0];
            // Refused, never waited on: a bound loose enough for a loaded machine.
            EXPECT_LT(result.seconds, 10.0) << command[0];
            ExpectOneErrorLine(result);
        }
        EXPECT_EQ(ReadFile(game_ / archive), before);
        EXPECT_FALSE(HasTempLeftovers(game_.Path()));
        EXPECT_TRUE(DirNames(game_ / "out").empty());
    }

    ScratchDir game_;
};

TEST_F(Mpq2kDamaged, TruncatedArchive) {
    const std::string bytes = ReadFile(game_ / "good.mpq");
    WriteFile(game_ / "cut.mpq", bytes.substr(0, bytes.size() / 2));
    ExpectRefused("cut.mpq");
    WriteFile(game_ / "stub.mpq", bytes.substr(0, 20));
    ExpectRefused("stub.mpq");
}

TEST_F(Mpq2kDamaged, HeaderClaimingHugeTables) {
    std::string bytes = ReadFile(game_ / "good.mpq");
    const std::uint32_t huge = 0x0FFFFFFF;
    std::string blocks = bytes;
    std::memcpy(&blocks[28], &huge, 4); // block table entries
    WriteFile(game_ / "blocks.mpq", blocks);
    ExpectRefused("blocks.mpq");

    std::string hashes = bytes;
    std::memcpy(&hashes[24], &huge, 4); // hash table entries
    WriteFile(game_ / "hashes.mpq", hashes);
    ExpectRefused("hashes.mpq");
}

TEST_F(Mpq2kDamaged, FileMarkedAsPatch) {
    // StormLib 9.22 overruns a heap buffer reading such an entry; it must never see one.
    std::string bytes = ReadFile(game_ / "good.mpq");
    WriteFile(game_ / "patched.mpq", bytes);
    SetBlockFlag(game_ / "patched.mpq", 1, MPQ_FILE_PATCH_FILE);
    ExpectRefused("patched.mpq");

    std::map<std::string, std::string> files;
    for (int i = 0; i < 5000; ++i) {
        files["data\\many\\f" + std::to_string(i) + ".txt"] = "file " + std::to_string(i);
    }
    BuildArchive(game_ / "large.mpq", files, true, 8192);
    SetBlockFlag(game_ / "large.mpq", 4500, MPQ_FILE_PATCH_FILE);
    ExpectRefused("large.mpq");
}

TEST_F(Mpq2kDamaged, FileClaimingMoreThanItStores) {
    std::string bytes = ReadFile(game_ / "good.mpq");
    WriteFile(game_ / "claims.mpq", bytes);
    ChangeBlock(game_ / "claims.mpq", 1, [](std::uint32_t* entry) { entry[2] = 0x40000000; });
    ExpectRefused("claims.mpq");
}

TEST_F(Mpq2kDamaged, NotAnArchiveAtAll) {
    WriteFile(game_ / "text.mpq", std::string(4096, 'a'));
    ExpectRefused("text.mpq");
}

// ---------------------------------------------------------------------------------------

TEST(Mpq2kList, ListsNamesAndSizesSorted) {
    ScratchDir game;
    BuildArchive(game / "x.mpq",
                 {{"data\\b.txt", "bb"}, {"data\\a.txt", "a"}, {"Data\\C.txt", "ccc"}}, true, 16);
    const RunResult result = RunTool(game.Path(), {"l", "X.MPQ"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const std::vector<std::string> lines = Lines(result.out);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].rfind("(listfile)\t", 0), 0u);
    EXPECT_EQ(lines[1], "data\\a.txt\t1");
    EXPECT_EQ(lines[2], "data\\b.txt\t2");
    EXPECT_EQ(lines[3], "Data\\C.txt\t3");
}

TEST(Mpq2kUsage, ExitCodes) {
    ScratchDir game;
    EXPECT_EQ(RunTool(game.Path(), {}).exitCode, 2);
    EXPECT_EQ(RunTool(game.Path(), {"q"}).exitCode, 2);
    EXPECT_EQ(RunTool(game.Path(), {"e", "x.mpq"}).exitCode, 2);
    EXPECT_EQ(RunTool(game.Path(), {"a", "x.mpq", "f"}).exitCode, 2);
    const RunResult help = RunTool(game.Path(), {"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("usage"), std::string::npos);
    EXPECT_EQ(RunTool(game.Path(), {"s", "missing-script.txt"}).exitCode, 1);
}

// ---------------------------------------------------------------------------------------

class Mpq2kCrash : public ::testing::Test {
protected:
    // About 3.5 MB of imploded tables, the size of a modded patch archive.
    void SetUp() override {
        for (int i = 0; i < 140; ++i) {
            others_["data\\global\\excel\\table" + std::to_string(i) + ".txt"] =
                TableText(1000 + i, 40000);
        }
        std::map<std::string, std::string> files = others_;
        files[kTableName] = TableText(1, 100 * 1024);
        current_ = files[kTableName];
        BuildArchive(game_ / "patch_d2.mpq", files, true, 256);
        fs::create_directory(game_ / "tmp");

        std::string script = "o patch_d2.mpq\r\n";
        for (const auto& item : others_) {
            script += "x " + item.first + " tmp\\ \r\n";
        }
        WriteFile(game_ / "check.txt", script + "c patch_d2.mpq\r\n");
    }

    // The archive opens, NAME holds the old or the new bytes, and everything else survived.
    void CheckArchive(const std::string& candidate) {
        const RunResult list = RunTool(game_.Path(), {"l", "patch_d2.mpq"});
        ASSERT_EQ(list.exitCode, 0) << list.err;
        ASSERT_EQ(Lines(list.out).size(), others_.size() + 2);

        fs::remove_all(game_ / "tmp");
        fs::create_directory(game_ / "tmp");
        const RunResult table = RunTool(game_.Path(), {"e", "patch_d2.mpq", kTableName, "tmp\\"});
        ASSERT_EQ(table.exitCode, 0) << table.err;
        const std::string stored = ReadFile(game_ / "tmp/UniqueItems.txt");
        ASSERT_TRUE(stored == current_ || stored == candidate);
        if (stored == candidate && candidate != current_) {
            current_ = candidate;
            ++landed_;
        }

        const RunResult rest = RunTool(game_.Path(), {"s", "check.txt"});
        ASSERT_EQ(rest.exitCode, 0) << rest.err;
        for (const auto& item : others_) {
            const std::string leaf = item.first.substr(item.first.rfind('\\') + 1);
            ASSERT_EQ(ReadFile(game_ / ("tmp/" + leaf)), item.second) << item.first;
        }
    }

    ScratchDir game_;
    std::map<std::string, std::string> others_;
    std::string current_;
    int landed_ = 0;
};

TEST_F(Mpq2kCrash, SigkillAtAnyMomentLeavesOldOrNewContent) {
    const std::string first = TableText(2, 100 * 1024);
    WriteFile(game_ / "in.txt", first);
    const RunResult timed = RunTool(game_.Path(), {"a", "patch_d2.mpq", "in.txt", kTableName});
    ASSERT_EQ(timed.exitCode, 0) << timed.err;
    CheckArchive(first);
    ASSERT_EQ(current_, first);
    const auto runMicros = static_cast<int>(timed.seconds * 1e6);

    const unsigned seed = std::random_device{}();
    SCOPED_TRACE("seed " + std::to_string(seed) + ", one run " + std::to_string(runMicros) + " us");
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> delay(0, runMicros);
    const int devNull = ::open("/dev/null", O_WRONLY);
    for (int round = 0; round < 30; ++round) {
        const std::string candidate = TableText(5000 + round, 100 * 1024);
        WriteFile(game_ / "in.txt", candidate);
        const pid_t pid =
            Spawn(game_.Path(), {"a", "patch_d2.mpq", "in.txt", kTableName}, devNull, devNull);
        ASSERT_GT(pid, 0);
        std::this_thread::sleep_for(std::chrono::microseconds(delay(rng)));
        ::kill(pid, SIGKILL);
        int status = 0;
        ::waitpid(pid, &status, 0);
        SCOPED_TRACE("round " + std::to_string(round));
        CheckArchive(candidate);
        if (HasFatalFailure()) {
            break;
        }
    }
    ::close(devNull);
    std::cout << "[          ] " << landed_ << " of 30 killed runs had already committed\n";

    // A normal run sweeps up what the killed ones left behind.
    const std::string last = TableText(3, 100 * 1024);
    WriteFile(game_ / "in.txt", last);
    ASSERT_EQ(RunTool(game_.Path(), {"a", "patch_d2.mpq", "in.txt", kTableName}).exitCode, 0);
    CheckArchive(last);
    EXPECT_EQ(current_, last);
    EXPECT_EQ(DirNames(game_.Path()),
              (std::vector<std::string>{"check.txt", "in.txt", "patch_d2.mpq", "tmp"}));
}

TEST_F(Mpq2kCrash, SigtermRemovesTheTemporaryCopy) {
    const int devNull = ::open("/dev/null", O_WRONLY);
    for (int round = 0; round < 5; ++round) {
        const std::string candidate = TableText(7000 + round, 100 * 1024);
        WriteFile(game_ / "in.txt", candidate);
        const pid_t pid =
            Spawn(game_.Path(), {"a", "patch_d2.mpq", "in.txt", kTableName}, devNull, devNull);
        ASSERT_GT(pid, 0);
        std::this_thread::sleep_for(std::chrono::milliseconds(5 + 8 * round));
        ::kill(pid, SIGTERM);
        int status = 0;
        ::waitpid(pid, &status, 0);
        EXPECT_FALSE(HasTempLeftovers(game_.Path()));
        CheckArchive(candidate);
    }
    ::close(devNull);
}

} // namespace
