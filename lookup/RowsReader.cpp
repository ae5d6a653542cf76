#include "lookup/RowsReader.h"

#include "platform/Variant.h"
#include "platform/ado/Connection.h"
#include "platform/ado/Recordset.h"
#include "platform/suite/Funciones.h"

#include <QMetaObject>
#include <QThreadPool>

#include <condition_variable>
#include <mutex>

namespace lookup {

namespace {

using platform::suite::gFunciones;

QString textOf(const platform::Variant &value) { return gFunciones().NuloAVacio(value); }

// A reorder point or stock as an amount: Null, blank or unreadable text reads as 0, so no
// row is ever left out because of its value.
double amountOf(const platform::Variant &value)
{
    if (value.isNumeric())
        return value.toDouble();
    try {
        return gFunciones().TextoAMoneda(textOf(value));
    } catch (const platform::RuntimeError &) {
        return 0.0;
    }
}

std::uint8_t stockLevel(double reorder, double stock)
{
    if (reorder == 0 && stock > 0)
        return 1;
    if (reorder > 0 && stock > reorder)
        return 2;
    if (reorder > 0 && stock < reorder)
        return 3;
    return 4;
}

} // namespace

void readRows(ado::Recordset &rs, const RowReading &reading, LookupListModel::Content &content,
              const std::atomic<bool> *stop)
{
    ado::Fields fields = rs.fields();
    const int count = fields.Count();
    content.rows.reset(count);
    if (rs.BOF() && rs.EOF())
        return;
    content.rows.reserve(std::size_t(std::max(0L, rs.RecordCount())));
    const int reorder = reading.articulos ? fields.indexOf(QStringLiteral("PUNTOPEDIDO")) : -1;
    const int stock = reading.articulos ? fields.indexOf(QStringLiteral("Stock")) : -1;
    // An empty list of defaults checks nothing (an empty text occurs in every text).
    const bool preCheck = reading.checkBoxes && !reading.valoresDefault.trimmed().isEmpty();
    const int checkField = preCheck ? fields.indexOf(reading.campoDevuelto) : -1;
    const bool coloured = reorder >= 0 && stock >= 0;
    for (; !rs.EOF(); rs.MoveNext()) {
        if (stop && stop->load(std::memory_order_relaxed))
            break;
        if (coloured)
            content.level.push_back(stockLevel(amountOf(rs.field(reorder).Value()), amountOf(rs.field(stock).Value())));
        content.rows.append(0, textOf(rs.field(0).Value()).trimmed());
        bool checked = false;
        if (checkField >= 0) {
            const platform::Variant value = rs.field(checkField).Value();
            checked = !value.isNull() && reading.valoresDefault.contains(textOf(value).trimmed(), Qt::CaseInsensitive);
        }
        content.checked.push_back(checked ? 1 : 0);
        for (int k = 1; k < count; ++k)
            content.rows.append(k, gFunciones().AlinearDerecha(textOf(rs.field(k).Value())));
    }
    content.rows.squeeze();
    content.checked.shrink_to_fit();
    content.level.shrink_to_fit();
}

struct BackgroundRows::Shared {
    std::atomic<bool> stop{false};
    mutable std::mutex mutex;
    std::condition_variable ended;
    bool done = false;
    bool ok = false;
    QString problem;
    LookupListModel::Content rows;
    QObject *owner = nullptr; // read and cleared under the mutex only, before the owner goes
    std::function<void()> finished;
};

namespace {

// The read itself, on the worker's thread: nothing here touches the window's connection,
// the logger or the operator.
bool readAll(const BackgroundRows::Request &request, LookupListModel::Content &rows, const std::atomic<bool> &stop,
             QString &problem)
{
    try {
        ado::Connection cnn;
        cnn.setCommandTimeout(request.commandTimeout);
        cnn.setIsolationLevel(request.isolationLevel);
        cnn.Open(request.connectionString);
        if (!request.defaultDatabase.isEmpty() && cnn.DefaultDatabase() != request.defaultDatabase)
            cnn.setDefaultDatabase(request.defaultDatabase);
        ado::Recordset rs;
        rs.Open(request.statement, cnn, ado::adOpenForwardOnly, ado::adLockReadOnly);
        if (rs.fields().Count() != request.columns) {
            problem =
                QStringLiteral("la sentencia dio %1 columnas y no %2").arg(rs.fields().Count()).arg(request.columns);
            return false;
        }
        readRows(rs, request.reading, rows, &stop);
        rs.Close();
        cnn.Close();
        return !stop.load();
    } catch (const platform::RuntimeError &error) {
        problem = error.Description();
    } catch (const std::exception &error) {
        problem = QString::fromLocal8Bit(error.what());
    } catch (...) {
        problem = QStringLiteral("error desconocido");
    }
    return false;
}

} // namespace

BackgroundRows::BackgroundRows(Request request, QObject *owner, std::function<void()> finished)
    : m_shared(std::make_shared<Shared>())
{
    m_shared->owner = owner;
    m_shared->finished = std::move(finished);
    std::shared_ptr<Shared> shared = m_shared;
    QThreadPool::globalInstance()->start([shared, request = std::move(request)] {
        LookupListModel::Content rows;
        QString problem;
        const bool ok = !shared->stop.load() && readAll(request, rows, shared->stop, problem);
        std::lock_guard lock(shared->mutex);
        shared->done = true;
        shared->ok = ok;
        shared->rows = std::move(rows);
        shared->problem = problem;
        shared->ended.notify_all();
        if (shared->owner)
            QMetaObject::invokeMethod(shared->owner, shared->finished, Qt::QueuedConnection);
    });
}

BackgroundRows::~BackgroundRows()
{
    m_shared->stop.store(true);
    std::lock_guard lock(m_shared->mutex);
    m_shared->owner = nullptr;
}

bool BackgroundRows::finished() const
{
    std::lock_guard lock(m_shared->mutex);
    return m_shared->done;
}

void BackgroundRows::wait()
{
    std::unique_lock lock(m_shared->mutex);
    m_shared->ended.wait(lock, [this] { return m_shared->done; });
}

bool BackgroundRows::ok() const
{
    std::lock_guard lock(m_shared->mutex);
    return m_shared->ok;
}

LookupListModel::Content BackgroundRows::takeRows()
{
    std::lock_guard lock(m_shared->mutex);
    return std::move(m_shared->rows);
}

QString BackgroundRows::problem() const
{
    std::lock_guard lock(m_shared->mutex);
    return m_shared->problem;
}

} // namespace lookup
