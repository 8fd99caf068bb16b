// korvin-savechild WRITER FOLDER: saves with one writer over and over (the
// two variants in turn) in FOLDER, the program folder, until it is killed.
#include "common/programfolder.h"
#include "hardening/writers.h"

#include <cstdio>

int main(int argc, char **argv)
{
    const korvin::test::Writer *writer = argc == 3 ? korvin::test::FindWriter(QString::fromUtf8(argv[1])) : nullptr;
    if (!writer) {
        std::fputs("usage: korvin-savechild WRITER FOLDER\n", stderr);
        return 2;
    }
    const QString folder = korvin::common::withSeparator(QString::fromLocal8Bit(argv[2]));
    korvin::common::SetProgramFolder(folder);
    std::fputs("started\n", stdout);
    std::fflush(stdout);
    for (int i = 0;; ++i)
        writer->save(folder, (i + 1) % 2); // 1, 0, 1 …: the order of the test's own two saves
}
