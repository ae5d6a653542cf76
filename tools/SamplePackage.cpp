#include "SamplePackage.h"

#include "package/ControlFile.h"
#include "package/Format.h"
#include "package/LineWriter.h"
#include "reception/ReglasTablas.h"

#include "platform/Paths.h"
#include "platform/TextFile.h"
#include "platform/ado/Connection.h"
#include "platform/ado/Recordset.h"
#include "platform/suite/Funciones.h"
#include "schema/Schema.h"
#include "zip/Zip32.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QTemporaryDir>

namespace samplepackage {

namespace {

using platform::Variant;

struct Column {
    QString name;
    ado::DataType type = ado::adVarChar;
    long size = 0;
    bool written = true; // in the data lines (not ID, IMAGEN, TRANSMISION, RECEPCION)
};

enum class Kind { Text, Integer, Decimal, Boolean, Date, Other };

Kind kindOf(ado::DataType t)
{
    switch (t) {
    case ado::adSmallInt:
    case ado::adInteger:
    case ado::adTinyInt:
    case ado::adUnsignedTinyInt:
    case ado::adBigInt:
        return Kind::Integer;
    case ado::adSingle:
    case ado::adDouble:
    case ado::adCurrency:
    case ado::adDecimal:
    case ado::adNumeric:
        return Kind::Decimal;
    case ado::adBoolean:
        return Kind::Boolean;
    case ado::adDate:
    case ado::adDBDate:
    case ado::adDBTimeStamp:
        return Kind::Date;
    case ado::adChar:
    case ado::adVarChar:
    case ado::adLongVarChar:
    case ado::adWChar:
    case ado::adVarWChar:
    case ado::adLongVarWChar:
    case ado::adBSTR:
        return Kind::Text;
    default:
        return Kind::Other;
    }
}

bool is(const QString &name, const char *other) { return name.compare(QLatin1String(other), Qt::CaseInsensitive) == 0; }

// The columns of every package table, read from the suite's schema as the sending reads them.
platform::Result<QHash<QString, QList<Column>>> readColumns()
{
    using R = platform::Result<QHash<QString, QList<Column>>>;
    ado::Connection cnn;
    QHash<QString, QList<Column>> out;
    try {
        cnn.Open(QStringLiteral("Provider=SQLite;Data Source=:memory:"));
        if (const platform::Status made = schema::createSuiteDatabase(cnn); !made.ok())
            return R::failure(made.message());
        for (const QString &table : package::tableOrder() + package::extraTables()) {
            auto rs = cnn.Execute(QStringLiteral("SELECT * FROM %1 WHERE 1 = 0").arg(table));
            QList<Column> columns;
            for (int i = 0; i < rs->fields().Count(); ++i) {
                const ado::Field f = rs->field(i);
                const QString name = f.Name();
                if (is(name, "ID") || is(name, "IMAGEN"))
                    continue;
                columns.append({name, f.Type(), f.DefinedSize(), !is(name, "TRANSMISION") && !is(name, "RECEPCION")});
            }
            out.insert(table, columns);
        }
    } catch (const platform::RuntimeError &e) {
        return R::failure(QStringLiteral("No se pudo leer el esquema: ") + e.Description());
    }
    return out;
}

const QStringList &phrases()
{
    static const QStringList list = {
        QStringLiteral("Tornillo cabeza 'Phillips' n° 8"),
        QStringLiteral("Ñandú Ópticas S.A."),
        QStringLiteral("Café d'Oro, 500 g"),
        QStringLiteral("Azúcar refinada; bolsa 1 kg"),
        QStringLiteral("Pingüino -- cuaderno espiral"),
        QStringLiteral("Señalización /* vial */"),
        QStringLiteral("O'Higgins 1234, 3° \"B\""),
        QStringLiteral("Lámpara LED 9W cálida"),
    };
    return list;
}

class Generator {
public:
    Generator(const Options &o, QHash<QString, QList<Column>> columns) : m_o(o), m_columns(std::move(columns)) {}
    platform::Status write(const QString &folder);

private:
    int rowsOf(const QString &table) const;
    QList<Variant> keyOf(const QString &table, int row) const;
    Variant value(const QString &table, const Column &c, int column, int row) const;
    Variant text(const Column &c, int column, int row) const;
    QString articleCode(int n) const;
    platform::Status writeTable(const QString &folder, const QString &table);

    const Options &m_o;
    QHash<QString, QList<Column>> m_columns;
    QHash<QString, QStringList> m_keys; // upper-case key column name -> keys written so far
};

int Generator::rowsOf(const QString &table) const
{
    if (is(table, "V_MA_ARTICULOS") || is(table, "S_TA_EQUIV") || is(table, "B_CODIGOS"))
        return m_o.articles;
    if (is(table, "V_MA_PRECIOSCAB"))
        return m_o.pricesPerArticle;
    if (is(table, "V_MA_PRECIOS"))
        return m_o.articles * m_o.pricesPerArticle;
    if (is(table, "V_MA_INSUMOS") || is(table, "V_MA_INSUMOSTAREAS"))
        return std::min(m_o.articles > 1 ? m_o.articles - 1 : 0, m_o.rowsPerSmallTable);
    return m_o.rowsPerSmallTable;
}

QString Generator::articleCode(int n) const
{
    return platform::suite::gFunciones().AlinearDerecha(QString::number(1000 + n), 25);
}

// Unique keys, right-aligned as the suite stores them.
QList<Variant> Generator::keyOf(const QString &table, int row) const
{
    const auto &f = platform::suite::gFunciones();
    const auto small = [&](int n) { return Variant(f.AlinearDerecha(QString::number(n + 1), 4)); };
    if (is(table, "V_MA_INSUMOS"))
        return {Variant(articleCode(row)), Variant(articleCode(row + 1))};
    if (is(table, "V_MA_INSUMOSTAREAS"))
        return {Variant(articleCode(row)), small(row % m_o.rowsPerSmallTable)};
    if (is(table, "S_TA_EQUIV"))
        return {Variant(articleCode(row)), small(0), small(1)};
    if (is(table, "V_MA_PRECIOS"))
        return {small(row / std::max(1, m_o.articles)), Variant(articleCode(row % std::max(1, m_o.articles)))};
    if (is(table, "V_MA_ARTICULOS") || is(table, "B_CODIGOS"))
        return {Variant(is(table, "B_CODIGOS") ? QStringLiteral("779%1").arg(row, 10, 10, QLatin1Char('0'))
                                               : articleCode(row))};
    if (is(table, "V_TA_FAMILIAS"))
        return {Variant(QStringLiteral("F%1").arg(row + 1, 2, 10, QLatin1Char('0')))};
    if (is(table, "MA_CUENTAS") || is(table, "MA_CUENTASADIC"))
        return {Variant(QStringLiteral("1.1.01.%1").arg(row + 1, 3, 10, QLatin1Char('0')))};
    if (is(table, "B_ALIAS"))
        return {Variant(QStringLiteral("Alias %1").arg(row + 1))};
    return {small(row)};
}

Variant Generator::text(const Column &c, int column, int row) const
{
    const QString &n = c.name;
    auto fit = [&](const QString &s) { return Variant(c.size > 0 ? s.left(int(c.size)) : s); };
    const auto reference = m_keys.constFind(n.toUpper());
    if (reference != m_keys.constEnd() && !reference->isEmpty())
        return Variant(reference->at(row % reference->size()));
    if (is(n, "CuentaProveedor") || is(n, "Cuenta"))
        return text(Column{QStringLiteral("CODIGO"), c.type, c.size, true}, column, row);
    if (n.startsWith(QLatin1String("CodigoBarra"), Qt::CaseInsensitive))
        return fit(QStringLiteral("779%1%2").arg(column % 10).arg(row, 9, 10, QLatin1Char('0')));
    if (is(n, "Email"))
        return fit(QStringLiteral("ventas%1@ejemplo.com.ar").arg(row));
    if (is(n, "Telefono"))
        return fit(QStringLiteral("011 4%1-%2")
                       .arg(row % 1000, 3, 10, QLatin1Char('0'))
                       .arg(row * 7 % 10000, 4, 10, QLatin1Char('0')));
    if (is(n, "Cuit"))
        return fit(QStringLiteral("30-%1-1").arg(70000000 + row));
    if (c.size == 1)
        return Variant(QString(QLatin1Char("VCA"[row % 3])));
    if (c.size >= 30)
        return fit(QStringLiteral("%1 %2").arg(phrases().at((row + column) % phrases().size())).arg(row + 1));
    return fit(QStringLiteral("%1%2").arg(n.left(1).toUpper()).arg(row + 1));
}

Variant Generator::value(const QString &table, const Column &c, int column, int row) const
{
    Q_UNUSED(table)
    row += m_o.seed - 1; // another seed, other values (the keys stay)
    if ((row + column) % 9 == 4 && !is(c.name, "Descripcion"))
        return Variant::null();
    switch (kindOf(c.type)) {
    case Kind::Integer:
        return Variant((row * 7 + column) % 30 + 1);
    case Kind::Decimal:
        return Variant(double((row * 37 + column * 11) % 100000) / 100.0 + 0.25 * (column % 2));
    case Kind::Boolean:
        return Variant((row + column) % 2 == 0);
    case Kind::Date: {
        QDateTime d(QDate(2020, 1, 1).addDays((row * 13 + column) % 1500), QTime(0, 0));
        if (row % 3 == 1)
            d.setTime(QTime(10, 30, 15));
        return Variant(d);
    }
    case Kind::Text:
    case Kind::Other:
        break;
    }
    return text(c, column, row);
}

platform::Status Generator::writeTable(const QString &folder, const QString &table)
{
    const QList<Column> columns = m_columns.value(table);
    const recepcion::ReglaTabla *rule = recepcion::reglaTabla(table);
    QStringList keyColumns;
    if (rule) {
        for (const recepcion::TerminoClave &t : rule->claves)
            keyColumns << t.columna;
    } else if (!columns.isEmpty()) {
        keyColumns << columns.first().name;
    }
    package::LineWriter out;
    if (platform::Status s = out.open(platform::joinPath(folder, table + QStringLiteral(".dat"))); !s.ok())
        return s;
    if (is(table, "V_MA_PRECIOS") && m_o.articles > 0)
        out.write(package::writePriceDeletion(QStringLiteral("1"), articleCode(0).trimmed()));
    QStringList written;
    const int rows = rowsOf(table);
    for (int row = 0; row < rows; ++row) {
        const QList<Variant> key = keyOf(table, row);
        QStringList values;
        for (int i = 0; i < columns.size(); ++i) {
            const Column &c = columns[i];
            if (!c.written)
                continue;
            qsizetype k = keyColumns.size() - 1;
            while (k >= 0 && !is(keyColumns[k], c.name.toLatin1().constData()))
                --k;
            const Variant v = k >= 0 && k < key.size() ? key[k] : value(table, c, i, row);
            values << package::writeValue(v, kindOf(c.type) == Kind::Boolean);
        }
        out.write(package::writeLine(values));
        if (keyColumns.size() == 1)
            written << key.first().toString();
    }
    if (keyColumns.size() == 1 && !m_keys.contains(keyColumns.first().toUpper()))
        m_keys.insert(keyColumns.first().toUpper(), written);
    return out.commit();
}

platform::Status Generator::write(const QString &folder)
{
    package::ControlFile control;
    control.writeHeader(QStringLiteral("1"), QStringLiteral("Generador de muestras"),
                        platform::joinPath(folder, package::controlFileWrittenName()), m_o.database, true);
    for (const QString &table : package::tableOrder() + package::extraTables()) {
        QStringList names;
        for (const Column &c : m_columns.value(table))
            names << c.name;
        control.writeBlock(table, names);
        if (platform::Status s = writeTable(folder, table); !s.ok())
            return s;
    }
    if (platform::Status s = control.save(platform::joinPath(folder, package::controlFileWrittenName())); !s.ok())
        return s;
    if (m_o.origin.isEmpty())
        return {};
    return platform::textfile::writeLines(
        platform::joinPath(folder, package::originFileName()),
        {QStringLiteral("Control de transmisión"), QString(), QString(), QString(), QString(), QString(), m_o.origin});
}

} // namespace

platform::Status writeFiles(const QString &folder, const Options &options)
{
    platform::Result<QHash<QString, QList<Column>>> columns = readColumns();
    if (!columns.ok())
        return platform::Status::failure(columns.message());
    if (!QDir().mkpath(folder))
        return platform::Status::failure(QStringLiteral("No se puede crear la carpeta \"%1\"").arg(folder));
    return Generator(options, columns.value()).write(folder);
}

platform::Status generate(const QString &archive, const Options &options)
{
    QTemporaryDir staging;
    if (!staging.isValid())
        return platform::Status::failure(QStringLiteral("No se puede crear una carpeta temporal"));
    if (platform::Status s = writeFiles(staging.path(), options); !s.ok())
        return s;
    const QStringList files = QDir(staging.path()).entryList(QDir::Files, QDir::Name);
    QStringList paths;
    for (const QString &file : files)
        paths << platform::joinPath(staging.path(), file);
    const QString packed = platform::joinPath(staging.path(), package::archiveName());
    ziplayer::Zip32 zip;
    ziplayer::ZipOptions zipOptions;
    zipOptions.dropFolderNames = 1;
    zipOptions.level = '9';
    zipOptions.quiet = 1;
    if (zip.ZpInit(ziplayer::ZipCallbacks{}) != ziplayer::ZE_OK || zip.ZpSetOptions(zipOptions) != ziplayer::ZE_OK)
        return platform::Status::failure(QStringLiteral("No se pudo preparar la compresión"));
    if (const int code = zip.ZpArchive(int(paths.size()), packed, paths); code != ziplayer::ZE_OK)
        return platform::Status::failure(
            QStringLiteral("No se pudo comprimir el paquete: %1").arg(ziplayer::Zip32::describe(code)));
    QFile::remove(archive);
    if (!QFile::copy(packed, archive))
        return platform::Status::failure(QStringLiteral("No se puede escribir \"%1\"").arg(archive));
    return {};
}

} // namespace samplepackage
