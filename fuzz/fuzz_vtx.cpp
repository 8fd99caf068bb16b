// The host's VTX text file: the horse lines of the block of one race. The
// first byte picks the course, the second the race; the rest is the file.
#include "fuzzsupport.h"
#include "platform/sjis.h"
#include "platform/textfile.h"
#include "racecard/datalist.h"
#include "racing/codetables.h"

using namespace korvin;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    const QString course = racing::PlaceName(QStringLiteral("%1").arg(data[0] % 10 + 1, 2, 10, QLatin1Char('0')), 2);
    const int race = data[1] % 14; // 12 races, and two that no block has
    const QStringList lines = platform::splitLines(platform::fromSjis(fuzz::bytesOf(data + 2, size - 2)));
    const auto horses = racecard::ReadVtxBlock(lines, course, race);
    FUZZ_CHECK(horses.size() <= size_t(racecard::kDataRows));
    for (const racecard::VtxHorse &h : horses) {
        FUZZ_CHECK(h.Waku.size() <= 1 && h.Pace.size() <= 1);
        FUZZ_CHECK(h.T1.size() <= 4 && h.T2.size() <= 4 && h.D1.size() <= 4 && h.D2.size() <= 4);
    }
    // A block of 18 lines is closed: what follows it (here the file again) takes no part.
    if (horses.size() == size_t(racecard::kDataRows)) {
        const auto again = racecard::ReadVtxBlock(lines + lines, course, race);
        FUZZ_CHECK(again.size() == horses.size());
        for (size_t i = 0; i < horses.size(); ++i)
            FUZZ_CHECK(again[i].T1 == horses[i].T1 && again[i].D2 == horses[i].D2 && again[i].Pace == horses[i].Pace);
    }
    return 0;
}
