#pragma once
// A payout record of the racing authority (1323 bytes) with the fields the
// reader takes: day at byte 5, race at 6-7, then the win, place, frame and
// pair entries.
#include "racing/payouts.h"

#include <QByteArray>

namespace korvin::test {

struct PayoutRecord {
    QByteArray b = QByteArray(racing::kPayoutRecordSize, '0');
    PayoutRecord(const QByteArray &day, const QByteArray &race)
    {
        b.replace(5, 1, day);
        b.replace(6, 2, race);
    }
    PayoutRecord &tan(int i, const QByteArray &horse, int pay) { return put(175 + 9 * i, horse, 177 + 9 * i, pay, 7); }
    PayoutRecord &fuku(int i, const QByteArray &horse, int pay) { return put(202 + 9 * i, horse, 204 + 9 * i, pay, 7); }
    PayoutRecord &waku(int i, const QByteArray &pair, int pay) { return put(247 + 9 * i, pair, 249 + 9 * i, pay, 7); }
    PayoutRecord &uma(int i, const QByteArray &pair, int pay) { return put(274 + 12 * i, pair, 278 + 12 * i, pay, 8); }
    PayoutRecord &put(int at, const QByteArray &key, int payAt, int pay, int width)
    {
        b.replace(at, key.size(), key);
        b.replace(payAt, width, QByteArray::number(pay).rightJustified(width, '0'));
        return *this;
    }
};

} // namespace korvin::test
