#pragma once
// The demo day's random numbers. std::mt19937 is fully specified by the
// standard, the standard distributions are not: every draw below is made from
// the raw 32-bit outputs, so a seed gives the same day on every platform.
#include <QVector>
#include <QtGlobal>
#include <initializer_list>
#include <random>

namespace korvin::demodata {

// Mixes numbers into one seed (for independent streams per course, race, ...).
inline quint32 mixSeed(std::initializer_list<quint32> parts)
{
    quint32 h = 0x9e3779b9u;
    for (quint32 p : parts) {
        h ^= p + 0x7f4a7c15u + (h << 6) + (h >> 2);
        h *= 0x85ebca6bu;
        h ^= h >> 13;
    }
    return h;
}

class Rng {
public:
    explicit Rng(quint32 seed) : m_engine(seed) {}

    quint32 next() { return quint32(m_engine()); }

    // Uniform whole number in lo..hi (inclusive), by rejection sampling.
    int range(int lo, int hi)
    {
        if (hi <= lo)
            return lo;
        const quint64 span = quint64(qint64(hi) - qint64(lo)) + 1;
        const quint64 limit = (quint64(1) << 32) - ((quint64(1) << 32) % span);
        quint64 v;
        do {
            v = next();
        } while (v >= limit);
        return int(qint64(lo) + qint64(v % span));
    }

    // True with the given chance in percent.
    bool chance(int percent) { return range(0, 99) < percent; }

    // A bell-shaped whole number around 0: the sum of four uniform draws in
    // -spread..spread, divided by two.
    int bell(int spread)
    {
        int s = 0;
        for (int i = 0; i < 4; ++i)
            s += range(-spread, spread);
        return s / 2;
    }

    template <class T>
    const T &pick(const QVector<T> &list)
    {
        return list[range(0, int(list.size()) - 1)];
    }

    // Index drawn with the given whole-number weights.
    int weighted(const QVector<int> &weights)
    {
        int total = 0;
        for (int w : weights)
            total += w;
        int r = range(0, total - 1);
        for (int i = 0; i < weights.size(); ++i) {
            if (r < weights[i])
                return i;
            r -= weights[i];
        }
        return int(weights.size()) - 1;
    }

    template <class T>
    void shuffle(QVector<T> &list)
    {
        for (int i = int(list.size()) - 1; i > 0; --i)
            std::swap(list[i], list[range(0, i)]);
    }

private:
    std::mt19937 m_engine;
};

} // namespace korvin::demodata
