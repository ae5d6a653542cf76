// lookup_bench: the lookup list over a view of N articles in the embedded database.
//
// The lookup runs as the forms run it: the shared lookup object with the program's query
// masks, the article mask's statement (TopConsArt raised to N) and the real list window,
// and again with the article form's own request, whose statement has no ORDER BY (the list
// is then read in its order by the engine; its ordered read is that request's baseline),
// shown offscreen. Measured, each the best of three rounds:
//   - ado read: the same statement opened through the ado layer and every field of every
//     row read, nothing else (the baseline: the full read);
//   - first screen: from the call to the window having painted its first rows;
//   - every row: until the rows past the first screen, read in the background, are in the
//     list, with the longest pause of the window's event loop meanwhile;
//   - keystroke: one incremental-search change of the search box that matches no row (the
//     whole list is scanned), and one that matches a row near the end;
//   - memory: heap held by the loaded list against the size of the rows' text (UTF-8).
// Bounds: the first screen at most 0.2 of the ado read, a keystroke under 1/100 of the ado
// read, the list's memory (measured once its window is closed) under 3 times the text.
// Exits 1 when one is missed.
//
//     lookup_bench [N]        (without N: 100000 articles, then 20000)

#include "lookup/Lib_ClsCons3.h"
#include "lookup/Lib_FrmCons3Logic.h"
#include "lookup/ui/Lib_FrmCons3.h"

#include "core/MascaraConsulta.h"
#include "core/SharedLookup.h"
#include "db/DB_Dll.h"
#include "platform/Paths.h"
#include "platform/ado/Connection.h"
#include "platform/ado/Recordset.h"
#include "platform/ui/Operator.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>

#include <malloc.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace {

constexpr int kRounds = 3;

struct Round {
    double adoMs = 0, loadedMs = 0, firstScreenMs = 0, everyRowMs = 0, longestPauseMs = 0, keyNoMatchMs = 0,
           keyLateMatchMs = 0;
    std::size_t heapBytes = 0, modelBytes = 0, textBytes = 0;
    int rows = 0, firstRows = 0;
    bool firstScreenOnTop = true; // the first screen's rows are the top of the whole list, in order
};

// Every arena's chunks in use, the large (mapped) ones included.
std::size_t heapInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

void fill(ado::Connection &cnn, int n)
{
    cnn.Execute(QStringLiteral("CREATE TABLE TA_CONFIGURACION (CLAVE varchar(100) NOT NULL PRIMARY KEY, "
                               "VALOR varchar(255) NULL, VALORAUX varchar(255) NULL)"));
    cnn.Execute(QStringLiteral("INSERT INTO TA_CONFIGURACION (CLAVE, VALOR) VALUES ('TopConsArt', '%1')").arg(n));
    cnn.Execute(QStringLiteral("CREATE TABLE MA_ARTICULOS (IDARTICULO varchar(25) NOT NULL PRIMARY KEY, "
                               "DESCRIPCION varchar(100) NULL, SUSPENDIDO int NULL)"));
    cnn.Execute(QStringLiteral("CREATE VIEW VT_MA_ARTICULOS AS SELECT IDARTICULO, DESCRIPCION, SUSPENDIDO FROM "
                               "MA_ARTICULOS"));
    const char *colours[] = {"ROJO", "VERDE", "AZUL", "NEGRO", "BLANCO", "GRIS", "AMARILLO"};
    cnn.BeginTrans();
    for (int first = 0; first < n; first += 500) {
        QString insert = QStringLiteral("INSERT INTO MA_ARTICULOS (IDARTICULO, DESCRIPCION, SUSPENDIDO) VALUES ");
        for (int i = first; i < std::min(n, first + 500); ++i) {
            // scattered descriptions, so the list's order is not the order of insertion
            const int key = int((long long)i * 7919 % n);
            insert += QStringLiteral("('%1', 'ARTICULO DE PRUEBA %2 COLOR %3', 0)%4")
                          .arg(QString::number(i).rightJustified(25), QString::number(key).rightJustified(6, u'0'),
                               QString::fromLatin1(colours[i % 7]),
                               i + 1 < std::min(n, first + 500) ? QStringLiteral(",") : QString());
        }
        cnn.Execute(insert);
    }
    cnn.CommitTrans();
}

double adoRead(const QString &statement)
{
    QElapsedTimer timer;
    timer.start();
    ado::Recordset rs;
    gDB().AbrirRecordset(statement, rs, nullptr, ado::adOpenForwardOnly, ado::adLockReadOnly, -1, true);
    const int fields = rs.fields().Count();
    std::size_t touched = 0;
    for (; !rs.EOF(); rs.MoveNext()) {
        for (int i = 0; i < fields; ++i)
            touched += rs.field(i).Value().isNull() ? 0 : 1;
    }
    gDB().CierraRecordset(rs);
    const double ms = timer.nsecsElapsed() / 1e6;
    if (touched == 0)
        std::fprintf(stderr, "no rows read\n");
    return ms;
}

// Shows the real window, measures, then accepts the first row.
class BenchPresenter : public lookup::LookupPresenter {
public:
    QElapsedTimer *clock = nullptr;
    std::size_t heapBefore = 0;
    Round round;
    QString statement;

    int firstScreenRows() const override { return lookup::ui::Lib_FrmCons3::rowsOnFirstScreen(); }

    void showList(lookup::Lib_FrmCons3Logic &form) override
    {
        round = Round{};
        round.loadedMs = clock->nsecsElapsed() / 1e6;
        round.firstRows = form.ListView1().rows();
        statement = form.listStatement(); // the baseline reads what the list reads
        {
            lookup::ui::Lib_FrmCons3 window(form);
            window.show();
            window.grab(); // paints the first screen of rows
            round.firstScreenMs = clock->nsecsElapsed() / 1e6;
            const QStringList firstScreen = topRows(form, round.firstRows);
            waitForEveryRow(form);
            round.everyRowMs = clock->nsecsElapsed() / 1e6;
            round.firstScreenOnTop = topRows(form, round.firstRows) == firstScreen;
            readEveryRow(form);
            round.keyNoMatchMs = keystroke(form, QStringLiteral("ZZZ"));
            round.keyLateMatchMs = keystroke(form, QStringLiteral("ARTICULO DE PRUEBA 0999"));
            form.CmbSearch_Change(0, QString());
        }
        // The list as the logic holds it; the window (its view and screen buffer) is gone.
        round.heapBytes = heapInUse() - heapBefore;
        round.modelBytes = form.ListView1().memoryBytes();
        round.textBytes = form.ListView1().textBytes();
        round.rows = form.ListView1().rows();
        form.CmdAceptar_Click();
    }
    void showTree(lookup::Lib_FrmCons3TreeLogic &) override {}

private:
    // Runs the window's event loop until the background read is in, timing its ticks.
    void waitForEveryRow(lookup::Lib_FrmCons3Logic &form)
    {
        if (!form.loading())
            return;
        QEventLoop loop;
        QObject::connect(&form, &lookup::Lib_FrmCons3Logic::loadingChanged, &loop, [&loop](bool loading) {
            if (!loading)
                loop.quit();
        });
        QElapsedTimer tick;
        tick.start();
        QTimer ticker;
        ticker.setInterval(1);
        QObject::connect(&ticker, &QTimer::timeout, &loop, [&] {
            round.longestPauseMs = std::max(round.longestPauseMs, tick.nsecsElapsed() / 1e6);
            tick.restart();
        });
        ticker.start();
        loop.exec();
        round.longestPauseMs = std::max(round.longestPauseMs, tick.nsecsElapsed() / 1e6);
    }
    static QStringList topRows(lookup::Lib_FrmCons3Logic &form, int rows)
    {
        const lookup::LookupListModel &model = form.ListView1();
        QStringList top;
        for (int row = 0; row < std::min(rows, model.rows()); ++row) {
            for (int column = 0; column < model.columns(); ++column)
                top << model.cell(row, column);
        }
        return top;
    }
    static void readEveryRow(lookup::Lib_FrmCons3Logic &form)
    {
        const lookup::LookupListModel &model = form.ListView1();
        qsizetype total = 0;
        for (int row = 0; row < model.rows(); ++row) {
            for (int column = 0; column < model.columns(); ++column)
                total += model.data(model.index(row, column), Qt::DisplayRole).toString().size();
        }
        if (total == 0)
            std::fprintf(stderr, "no text read\n");
    }
    static double keystroke(lookup::Lib_FrmCons3Logic &form, const QString &text)
    {
        double best = std::numeric_limits<double>::max();
        for (int i = 0; i < 5; ++i) {
            form.CmbSearch_Change(0, QString());
            QElapsedTimer timer;
            timer.start();
            form.CmbSearch_Change(0, text);
            best = std::min(best, timer.nsecsElapsed() / 1e6);
        }
        return best;
    }
};

Round lookupRound(const std::shared_ptr<BenchPresenter> &presenter, const QString &pedido)
{
    QElapsedTimer clock;
    presenter->clock = &clock;
    presenter->heapBefore = heapInUse();
    clock.start();
    SharedLookup &consulta = gConsulta();
    consulta.CampoDevuelto = QStringLiteral("IDARTICULO");
    consulta.ConsultaSearch(pedido);
    if (consulta.ValorDevuelto.isEmpty())
        std::fprintf(stderr, "nothing chosen\n");
    return presenter->round;
}

bool check(const char *what, double value, double bound, const char *unit)
{
    const bool ok = value <= bound;
    std::printf("  %-40s %10.2f %s   bound %10.2f %s   %s\n", what, value, unit, bound, unit, ok ? "ok" : "MISSED");
    return ok;
}

// One request, a warm-up and three measured rounds, against its bounds.
bool measure(const std::shared_ptr<BenchPresenter> &presenter, int n, const QString &pedido)
{
    lookupRound(presenter, pedido); // warm-up; learns the statement
    const QString statement = presenter->statement;
    Round best;
    best.adoMs = best.loadedMs = best.firstScreenMs = best.everyRowMs = best.longestPauseMs = best.keyNoMatchMs =
        best.keyLateMatchMs = std::numeric_limits<double>::max();
    for (int r = 0; r < kRounds; ++r) {
        best.adoMs = std::min(best.adoMs, adoRead(statement));
        const Round round = lookupRound(presenter, pedido);
        best.firstScreenMs = std::min(best.firstScreenMs, round.firstScreenMs);
        best.loadedMs = std::min(best.loadedMs, round.loadedMs);
        best.everyRowMs = std::min(best.everyRowMs, round.everyRowMs);
        best.longestPauseMs = std::min(best.longestPauseMs, round.longestPauseMs);
        best.keyNoMatchMs = std::min(best.keyNoMatchMs, round.keyNoMatchMs);
        best.keyLateMatchMs = std::min(best.keyLateMatchMs, round.keyLateMatchMs);
        best.heapBytes = std::max(best.heapBytes, round.heapBytes);
        best.modelBytes = round.modelBytes;
        best.textBytes = round.textBytes;
        best.rows = round.rows;
        best.firstRows = round.firstRows;
        best.firstScreenOnTop = best.firstScreenOnTop && round.firstScreenOnTop;
    }

    std::printf("lookup_bench: %d articles in a view of the embedded database, %d rows listed\n", n, best.rows);
    std::printf("  statement: %s\n", qPrintable(statement.trimmed()));
    std::printf("  %-40s %10.2f ms\n", "ado read (baseline)", best.adoMs);
    std::printf("  %-40s %10.2f ms  (%d rows, %.3f x ado read)\n", "first screen read, before the window",
                best.loadedMs, best.firstRows, best.loadedMs / best.adoMs);
    std::printf("  %-40s %10.2f ms  (%.2f x ado read)\n", "every row in the list", best.everyRowMs,
                best.everyRowMs / best.adoMs);
    std::printf("  %-40s %10.2f ms\n", "longest pause of the window meanwhile", best.longestPauseMs);
    std::printf("  %-40s %10.2f MB (model %0.2f MB)\n", "heap held by the loaded list", best.heapBytes / 1048576.0,
                best.modelBytes / 1048576.0);
    std::printf("  %-40s %10.2f MB\n", "rows' text (UTF-8)", best.textBytes / 1048576.0);
    bool ok = true;
    if (!best.firstScreenOnTop) {
        std::printf("  WRONG: the first screen is not the top of the whole list\n");
        ok = false;
    }
    ok = check("first screen / ado read", best.firstScreenMs / best.adoMs, 0.2, "x ") && ok;
    ok = check("keystroke matching no row", best.keyNoMatchMs, best.adoMs / 100, "ms") && ok;
    ok = check("keystroke matching a late row", best.keyLateMatchMs, best.adoMs / 100, "ms") && ok;
    ok = check("heap held / rows' text", double(best.heapBytes) / double(best.textBytes), 3.0, "x ") && ok;
    return ok;
}

// One size: a fresh database of n articles and the requests measured on it.
bool runSize(int n)
{
    QTemporaryDir home;
    platform::setProgramFolder(home.path());
    const QString file = home.filePath(QStringLiteral("bench.db"));
    {
        ado::Connection cnn;
        cnn.Open(QStringLiteral("Provider=SQLite;Data Source=%1;Mode=Create").arg(file));
        fill(cnn, n);
        cnn.Close();
    }
    DB_Dll &db = gDB();
    db.gUsuario = QStringLiteral("bench");
    db.OpenServerADODB(false, 3, QStringLiteral("Provider=SQLite;Data Source=%1").arg(file), false, false);
    if (!db.gOpenFlag) {
        std::fprintf(stderr, "cannot open %s\n", qPrintable(file));
        return false;
    }
    const QString masks = home.filePath(QStringLiteral("consultas.vkr"));
    ModGlobal::GenerarMascaraConsultas(masks);
    auto presenter = std::make_shared<BenchPresenter>();
    lookup::installLookup(presenter);
    gConsulta().gUsarMascarasConsultas = true;
    gConsulta().gRutaMascaraConsultas = masks;

    // The article mask's statement (its own ORDER BY), and the article form's F5 on the code,
    // whose statement has none: that list sorts itself, read in its order by the engine.
    bool ok = measure(presenter, n, QStringLiteral("V_MA_ARTICULOS"));
    ok = measure(presenter, n, QStringLiteral("select DESCRIPCION,IDARTICULO from VT_MA_ARTICULOS ")) && ok;
    releaseConsulta();
    releaseSharedDatabases();
    platform::setProgramFolder(QString());
    return ok;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    platform::setOperatorService(std::make_shared<platform::UnattendedOperator>());
    const std::vector<int> sizes =
        argc > 1 ? std::vector<int>{std::max(1000, std::atoi(argv[1]))} : std::vector<int>{100000, 20000};
    bool ok = true;
    for (const int n : sizes)
        ok = runSize(n) && ok;
    return ok ? 0 : 1;
}
