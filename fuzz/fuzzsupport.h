#pragma once
// Shared by the fuzz targets: a scratch folder of the process, input bytes as
// a file in it, and the check that stops the run when an invariant breaks
// (libFuzzer keeps the input that did it).
#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(cond)                                                                                               \
    do {                                                                                                               \
        if (!(cond)) {                                                                                                 \
            std::fprintf(stderr, "invariant broken: %s (%s:%d)\n", #cond, __FILE__, __LINE__);                         \
            std::abort();                                                                                              \
        }                                                                                                              \
    } while (0)

namespace korvin::fuzz {

// The input as bytes.
inline QByteArray bytesOf(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
}

// A folder of this process, in memory where the system offers it, with a
// trailing separator; made the program folder too. Emptied by clearScratch.
QString scratch();
void clearScratch();
// A subfolder of scratch() with a trailing separator.
QString scratchFolder(const QString &name);

// Writes bytes to scratch() + name (replacing it) and returns the path.
QString putFile(const QString &name, const QByteArray &bytes);
// The file's bytes, or an empty array.
QByteArray fileBytes(const QString &path);
// Names of the files in a folder.
QStringList filesIn(const QString &folder);

} // namespace korvin::fuzz
