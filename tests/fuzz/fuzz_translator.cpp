// The translator and the translation cache over generated and mutated statements: no crash,
// no hang, and the cache always gives what the translator gives.
#include "FuzzInput.h"
#include "platform/ado/ParameterMarkers.h"
#include "platform/ado/SqlTranslator.h"
#include "platform/ado/sqlite/TranslationCache.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

using namespace ado;

namespace {

// A table every statement may name, so that the typed translation runs too.
class FuzzCatalog : public ColumnCatalog {
public:
    QList<CatalogColumn> columns(const QString &table) override
    {
        if (table.compare(QLatin1String("T_FZ"), Qt::CaseInsensitive) != 0)
            return {};
        return {
            {QStringLiteral("ID"), QStringLiteral("INT")},     {QStringLiteral("TXT"), QStringLiteral("VARCHAR(12)")},
            {QStringLiteral("N"), QStringLiteral("INT")},      {QStringLiteral("M"), QStringLiteral("MONEY")},
            {QStringLiteral("F"), QStringLiteral("DATETIME")}, {QStringLiteral("D"), QStringLiteral("DECIMAL(10,2)")},
            {QStringLiteral("B"), QStringLiteral("BIT")}};
    }
};

std::string describe(const QString &sql)
{
    QString shown = sql.left(300);
    shown.replace(QChar(0), QStringLiteral("\\0"));
    return shown.toStdString();
}

TEST(FuzzTranslator, NoCrashNoHangAndTheCacheAgrees)
{
    const quint64 seed = fuzz::FuzzInput::seedFromEnvironment();
    const int cases = fuzz::FuzzInput::casesFromEnvironment(10000);
    RecordProperty("seed", std::to_string(seed));
    fuzz::FuzzInput input(seed);
    FuzzCatalog catalog;
    const SqlTranslator plain(Dialect::SQLite);
    const SqlTranslator sqlite(Dialect::SQLite, &catalog);
    const SqlTranslator postgresql(Dialect::PostgreSQL, &catalog);
    TranslationCache cache(Dialect::SQLite);
    for (int k = 0; k < cases; ++k) {
        const QString sql = input.statement();
        SCOPED_TRACE("seed " + std::to_string(seed) + ", case " + std::to_string(k) + ": " + describe(sql));
        QElapsedTimer clock;
        clock.start();
        sqlite.translate(sql);
        postgresql.translate(sql);
        const QList<TranslatedStatement> expected = plain.translate(sql);
        const QList<TranslatedStatement> cached = cache.translate(sql);
        ASSERT_EQ(cached.size(), expected.size());
        for (qsizetype i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(cached[i].kind, expected[i].kind);
            EXPECT_EQ(cached[i].sql, expected[i].sql);
        }
        QList<TranslatedStatement> bound;
        std::vector<QStringView> literals;
        if (cache.translateBound(sql, bound, literals)) {
            EXPECT_EQ(bound.size(), expected.size());
        }
        if (!sql.contains(QLatin1String("@vkp"), Qt::CaseInsensitive)) {
            int markers = 0;
            std::vector<int> order;
            ParameterMarkers::positional(ParameterMarkers::named(sql, markers), order);
            EXPECT_EQ(int(order.size()), markers);
        }
        EXPECT_LT(clock.elapsed(), 2000) << "slow translation";
        if (HasFatalFailure())
            return;
    }
}

} // namespace
