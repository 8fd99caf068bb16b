// The racing authority's payout file: every record read for the day and race
// of the first record, by its race text and by its race number.
#include "fuzzsupport.h"
#include "platform/sjis.h"
#include "racing/payouts.h"

using namespace korvin;
using namespace korvin::racing;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = fuzz::bytesOf(data, size);
    const QString path = fuzz::putFile(QStringLiteral("005阪.dat"), bytes);
    const QString day = platform::fromSjis(bytes.mid(5, 1));
    const QString raceText = platform::fromSjis(bytes.mid(6, 2));
    PayoutArea byText, byNumber;
    FillPayoutArea(byText, path, day, raceText);
    bool numeric = false;
    const int race = raceText.trimmed().toInt(&numeric);
    FillPayoutArea(byNumber, path, day, race);
    for (const PayoutArea *a : {&byText, &byNumber}) {
        FUZZ_CHECK(a->placeRows >= 3 && a->placeRows <= 5);
        for (const PayoutLabel &l : a->Wide)
            FUZZ_CHECK(l.text.isEmpty() && !l.visible);
    }
    // The first record names its own day and race (unless its day byte is
    // half of a double-byte character, which no day text matches).
    const bool dayRoundTrips = platform::toSjis(day) == bytes.mid(5, 1);
    if (size >= 310 && dayRoundTrips) {
        FUZZ_CHECK(byText.shown);
        FUZZ_CHECK(byNumber.shown || !numeric);
    }
    if (size < 310)
        FUZZ_CHECK(!byText.shown && !byNumber.shown);
    // The same file read again shows the same.
    PayoutArea again;
    FillPayoutArea(again, path, day, raceText);
    for (int i = 0; i < 5; ++i)
        FUZZ_CHECK(again.Fuku[i].text == byText.Fuku[i].text && again.Fuku[i].visible == byText.Fuku[i].visible);
    return 0;
}
