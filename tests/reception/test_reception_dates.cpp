// A package's dates are stored as sent whatever the machine's time zone: also a time that
// the zone skips or repeats when it changes its clocks, and a midnight that does not exist
// where the clocks go forward at midnight.

#include <cstdio> // before Recordset.h, which takes the C library's EOF macro away

#include "reception/TablaLocal.h"

#include "platform/ado/Command.h"
#include "platform/ado/Connection.h"
#include "platform/ado/Recordset.h"

#include <QTemporaryDir>
#include <QTimeZone>

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

namespace {

struct Caso {
    const char *texto;
    QDate fecha;
    QTime hora;
};

const Caso kCasos[] = {
    {"31/12/2020", QDate(2020, 12, 31), QTime(0, 0)},
    {"01/02/2021 10:30:00", QDate(2021, 2, 1), QTime(10, 30)},
    {"28/03/2021 02:30", QDate(2021, 3, 28), QTime(2, 30)},         // Madrid: skipped
    {"31/10/2021 02:30:00", QDate(2021, 10, 31), QTime(2, 30)},     // Madrid: twice
    {"30/12/2007", QDate(2007, 12, 30), QTime(0, 0)},               // Buenos Aires: no midnight
    {"15/03/2008 23:30:15", QDate(2008, 3, 15), QTime(23, 30, 15)}, // Buenos Aires: twice
};

// Runs in a process of its own, since the zone is read once: receives every case's text as
// a date column's value, writes it into an embedded database, reads it back and exits 0
// when every date and time is the one sent; else names what differs on stderr.
[[noreturn]] void guardarEnZona(const char *zona)
{
    if (zona)
        qputenv("TZ", zona);
    else
        qunsetenv("TZ");
    tzset();
    if (zona && QTimeZone::systemTimeZoneId() != QByteArray(zona)) {
        std::fprintf(stderr, "la zona del sistema es %s\n", QTimeZone::systemTimeZoneId().constData());
        std::_Exit(2);
    }
    QTemporaryDir carpeta;
    ado::Connection cnn;
    cnn.Open(
        QStringLiteral("Provider=SQLite;Data Source=%1;Mode=Create").arg(carpeta.filePath(QStringLiteral("f.db"))));
    cnn.Execute(QStringLiteral("CREATE TABLE T_FECHAS (N INT, F DATETIME)"));
    const recepcion::ColumnaLocal columna{QStringLiteral("F"), ado::adDBTimeStamp, 0, recepcion::ClaseColumna::Fecha};
    ado::Command insertar;
    insertar.setActiveConnection(&cnn);
    insertar.setCommandText(QStringLiteral("INSERT INTO T_FECHAS (N, F) VALUES (?, ?)"));
    insertar.Parameters().Append(
        insertar.CreateParameter(QStringLiteral("n"), ado::adInteger, ado::adParamInput, 0, 0));
    insertar.Parameters().Append(
        insertar.CreateParameter(QStringLiteral("f"), ado::adDBTimeStamp, ado::adParamInput, 0, platform::Variant()));
    int n = 0;
    for (const Caso &c : kCasos) {
        const platform::Result<platform::Variant> valor = recepcion::valorPara(columna, QString::fromUtf8(c.texto));
        if (!valor.ok()) {
            std::fprintf(stderr, "%s: %s\n", c.texto, qPrintable(valor.message()));
            std::_Exit(1);
        }
        insertar.Parameters().Item(0).setValue(n++);
        insertar.Parameters().Item(1).setValue(valor.value());
        insertar.Execute();
    }
    bool bien = true;
    auto rs = cnn.Execute(QStringLiteral("SELECT N, F FROM T_FECHAS ORDER BY N"));
    for (const Caso &c : kCasos) {
        const QDateTime leida = rs->EOF() ? QDateTime() : rs->field(1).Value().toDateTime();
        if (leida.date() != c.fecha || leida.time() != c.hora) {
            std::fprintf(stderr, "%s se guardó como %s\n", c.texto,
                         qPrintable(leida.date().toString(Qt::ISODate) + QLatin1Char(' ') + leida.time().toString()));
            bien = false;
        }
        if (!rs->EOF())
            rs->MoveNext();
    }
    std::fflush(stderr);
    std::_Exit(bien ? 0 : 1);
}

TEST(ReceptionDatesDeathTest, AreStoredAsSentInEveryTimeZone)
{
    const char *zonas[] = {nullptr, "UTC", "America/Argentina/Buenos_Aires", "Europe/Madrid"};
    for (const char *zona : zonas)
        EXPECT_EXIT(guardarEnZona(zona), ::testing::ExitedWithCode(0), "") << (zona ? zona : "TZ sin fijar");
}

} // namespace
