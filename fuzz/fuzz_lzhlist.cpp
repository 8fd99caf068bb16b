// "CopyLZH.lst": the list as the copy window opens with it, saved and read
// again, is the same list; a list Shift-JIS cannot hold is refused unwritten.
#include "fuzzsupport.h"
#include "files/lzhcopy.h"

using namespace korvin;
using namespace korvin::files;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::clearScratch();
    const auto list = ReadFolderList(fuzz::putFile(QStringLiteral("CopyLZH.lst"), fuzz::bytesOf(data, size)));
    FUZZ_CHECK(list.has_value());
    const QString saved = fuzz::scratch() + QStringLiteral("saved.lst");
    QString error;
    if (!WriteFolderList(saved, *list, &error)) {
        FUZZ_CHECK(!error.isEmpty());
        FUZZ_CHECK(fuzz::filesIn(fuzz::scratch()) == QStringList{QStringLiteral("CopyLZH.lst")});
        return 0;
    }
    const auto again = ReadFolderList(saved);
    FUZZ_CHECK(again.has_value());
    FUZZ_CHECK(again->deleteSources == list->deleteSources && again->paths == list->paths);
    return 0;
}
