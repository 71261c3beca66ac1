// SPDX-License-Identifier: MIT
// mpq2k: the editor's only way into the game's MPQ archives. The editor runs it with the game
// directory as the current directory and reads nothing but the exit status and stderr.
#include "Commands.h"
#include "Report.h"
#include "TempFiles.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

// The build passes it; the fallback keeps a build by other means compiling.
#ifndef TOLMERE_VERSION
#define TOLMERE_VERSION "unknown"
#endif

namespace {

const char kUsage[] =
    "usage: mpq2k COMMAND ARGS...\n"
    "\n"
    "  e ARCHIVE NAME DIR\\   extract NAME into DIR, as its last path component\n"
    "  a ARCHIVE FILE NAME [FILE NAME]...\n"
    "                        store each FILE as its NAME (replacing it), creating ARCHIVE if\n"
    "                        missing; all of them go in, or on any failure none\n"
    "  s SCRIPT              run a script of lines \"o ARCHIVE\", \"x NAME DIR\\\", \"c ARCHIVE\"\n"
    "                        (\"O\" and \"X\" skip an archive or a file that is not there)\n"
    "  l ARCHIVE             list the files (name, tab, size), one per line\n"
    "  -h, --help            show this text\n"
    "  --version             show the version\n"
    "\n"
    "Archive names are matched without regard to case. Names inside an archive use \"\\\"\n"
    "(\"/\" is accepted and converted). Written archives are MPQ version 1 with imploded\n"
    "files and a (listfile). Writers into one folder take turns: a second one waits up to\n"
    "3 seconds, then gives up.\n"
    "\n"
    "Exit status: 0 success, 1 failure, 2 usage error, 3 the file is not in the archive,\n"
    "4 there is no such archive, 5 the archive is busy (another mpq2k is writing).\n";

int Usage(const char* problem) {
    mpq2k::ReportError(std::string(problem) + " (mpq2k --help shows the usage)");
    return mpq2k::kExitUsage;
}

} // namespace

int main(int argc, char** argv) {
    mpq2k::InstallCleanupHandlers();
    if (argc < 2) {
        return Usage("no command given");
    }
    const std::string command = argv[1];
    const int operands = argc - 2;
    if (command == "--help" || command == "-h") {
        std::fputs(kUsage, stdout);
        return mpq2k::kExitOk;
    }
    if (command == "--version") {
        std::fputs("mpq2k " TOLMERE_VERSION "\n", stdout);
        return mpq2k::kExitOk;
    }
    if (command == "e") {
        return operands == 3 ? mpq2k::RunExtract(argv[2], argv[3], argv[4])
                             : Usage("e needs ARCHIVE NAME DIR");
    }
    if (command == "a") {
        // After the archive, FILE NAME pairs: an odd count means a pair lost a half, and
        // guessing which would store the wrong file under the wrong name.
        return operands >= 3 && operands % 2 == 1
                   ? mpq2k::RunAdd(argv[2], std::vector<std::string>(argv + 3, argv + argc))
                   : Usage("a needs ARCHIVE FILE NAME [FILE NAME]...");
    }
    if (command == "s") {
        return operands == 1 ? mpq2k::RunScript(argv[2]) : Usage("s needs SCRIPT");
    }
    if (command == "l") {
        return operands == 1 ? mpq2k::RunList(argv[2]) : Usage("l needs ARCHIVE");
    }
    return Usage(("unknown command '" + command + "'").c_str());
}
