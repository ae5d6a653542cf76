#pragma once

#include "platform/Variant.h"

#include <QString>
#include <QStringList>

#include <random>

namespace fuzz {

// Statements and values for the fuzz tests, from one seeded generator: the statements the
// system writes, statements made from a small grammar of the dialect it sends, and
// mutations of both (cut short, characters and tokens dropped, doubled or replaced by the
// ones that end literals, names, comments and groups).
class FuzzInput {
public:
    explicit FuzzInput(quint64 seed) : m_random(seed) {}
    // IMAESTROS_FUZZ_SEED, or a fixed seed; printed by the tests so a failure repeats.
    static quint64 seedFromEnvironment();
    // IMAESTROS_FUZZ_CASES, or `fallback`.
    static int casesFromEnvironment(int fallback);

    QString statement(); // one of the three kinds, chosen at random
    QString written();   // one the system writes, as it writes it
    QString generated(); // from the grammar
    QString mutated(const QString &sql);
    platform::Variant value(); // any kind, odd ones included
    int below(int n) { return int(m_random() % quint64(std::max(n, 1))); }

private:
    QString pick(const QStringList &items) { return items[below(int(items.size()))]; }
    QString expression(int depth);
    QString condition(int depth);
    QString literal();
    QString name();

    std::mt19937_64 m_random;
};

} // namespace fuzz
