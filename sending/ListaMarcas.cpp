#include "ListaMarcas.h"

#include "Instantanea.h"

#include "platform/RuntimeError.h"
#include "platform/ado/Backend.h"
#include "platform/ado/Connection.h"

#include <QDataStream>
#include <QDir>
#include <QSet>

#include <algorithm>
#include <utility>

namespace envio {

namespace {

// How one value is kept in the file: a kind, then its text or number.
void escribir(QDataStream &out, const platform::Variant &valor)
{
    using Kind = platform::Variant::Kind;
    const Kind kind = valor.kind();
    out << quint8(kind);
    switch (kind) {
    case Kind::Bool:
        out << valor.toBool();
        break;
    case Kind::Int:
        out << qint64(valor.toInt64());
        break;
    case Kind::Double:
        out << valor.toDouble();
        break;
    case Kind::DateTime:
        out << valor.toDateTime();
        break;
    case Kind::Bytes:
        out << valor.toBytes();
        break;
    case Kind::Text:
        out << valor.toString();
        break;
    default:
        break;
    }
}

platform::Variant leerValor(QDataStream &in)
{
    using Kind = platform::Variant::Kind;
    quint8 kind = 0;
    in >> kind;
    switch (Kind(kind)) {
    case Kind::Null:
        return platform::Variant::null();
    case Kind::Bool: {
        bool b = false;
        in >> b;
        return platform::Variant(b);
    }
    case Kind::Int: {
        qint64 n = 0;
        in >> n;
        return platform::Variant(static_cast<long long>(n));
    }
    case Kind::Double: {
        double d = 0;
        in >> d;
        return platform::Variant(d);
    }
    case Kind::DateTime: {
        QDateTime t;
        in >> t;
        return platform::Variant(t);
    }
    case Kind::Bytes: {
        QByteArray b;
        in >> b;
        return platform::Variant(b);
    }
    case Kind::Text: {
        QString s;
        in >> s;
        return platform::Variant(s);
    }
    default:
        return platform::Variant();
    }
}

// Values bound by one multi-row INSERT into the table of keys.
constexpr int kValoresPorInsercion = 1000;

[[noreturn]] void fallaArchivo(const QString &detalle)
{
    throw platform::RuntimeError(75, QStringLiteral("No se pudo guardar la lista de filas a marcar: ") + detalle,
                                 QStringLiteral("ListaMarcas"));
}

} // namespace

ListaMarcas::ListaMarcas() = default;

ListaMarcas::~ListaMarcas() = default;

bool ListaMarcas::abrir()
{
    if (m_archivo)
        return true;
    m_archivo = std::make_unique<QTemporaryFile>(QDir::temp().filePath(QStringLiteral("imaestros-marcas-XXXXXX")));
    return m_archivo->open();
}

int ListaMarcas::sentencia(const QString &tabla, const QString &asignaciones, const QStringList &claves, bool conNumero)
{
    m_modelos.push_back(Modelo{tabla, asignaciones, claves, conNumero});
    return int(m_modelos.size()) - 1;
}

void ListaMarcas::agregar(int sentencia, const Valores &valores)
{
    if (!abrir())
        fallaArchivo(m_archivo->errorString());
    QDataStream out(m_archivo.get());
    out << qint32(sentencia) << quint16(valores.size());
    for (const platform::Variant &valor : valores)
        escribir(out, valor);
    if (out.status() != QDataStream::Ok)
        fallaArchivo(m_archivo->errorString());
    ++m_cantidad;
}

QString ListaMarcas::textoPara(const Modelo &modelo, const Valores &valores) const
{
    QStringList condiciones;
    for (qsizetype i = 0; i < modelo.claves.size(); ++i) {
        const bool nulo = size_t(i) < valores.size() && valores[size_t(i)].isNull();
        condiciones << modelo.claves[i] + (nulo ? QStringLiteral(" IS NULL") : QStringLiteral(" = ?"));
    }
    return QStringLiteral("UPDATE ") + modelo.tabla + QStringLiteral(" SET ") + modelo.asignaciones
        + QStringLiteral(" WHERE ") + condiciones.join(QStringLiteral(" AND "));
}

bool ListaMarcas::leer(QDataStream &in, qint32 &cual, Valores &claves) const
{
    quint16 cuantos = 0;
    in >> cual >> cuantos;
    claves.clear();
    for (quint16 i = 0; i < cuantos; ++i)
        claves.push_back(leerValor(in));
    return in.status() == QDataStream::Ok && cual >= 0 && size_t(cual) < m_modelos.size()
        && cuantos == m_modelos[size_t(cual)].claves.size();
}

// The rows of one statement on their way to its temporary table of keys, and the UPDATE
// that stamps them: "UPDATE <tabla> SET ... WHERE EXISTS (SELECT 1 FROM <claves> K WHERE
// K.m = <Null keys> AND <tabla>.<clave> = K.c1 AND ...)". The table takes the key columns'
// types (and collations) from the stamped table, so a key compares as it does there.
struct ListaMarcas::Tramo {
    Tramo(ado::Connection &cnn, Motor motor, const Modelo &modelo) : m_cnn(cnn), m_motor(motor), m_modelo(modelo)
    {
        const int columnas = int(modelo.claves.size()) + 1;
        m_porSentencia = std::max(1, kValoresPorInsercion / columnas);
        crear();
    }

    void agregar(const Valores &claves)
    {
        qint64 nulos = 0;
        for (size_t i = 0; i < claves.size(); ++i) {
            if (claves[i].isNull())
                nulos |= qint64(1) << i;
        }
        m_mascaras.insert(nulos);
        m_pendientes.insert(m_pendientes.end(), claves.begin(), claves.end());
        m_pendientes.push_back(platform::Variant(static_cast<long long>(nulos)));
        if (++m_filasPendientes == m_porSentencia)
            insertar();
    }

    void terminar(const platform::Variant &numero)
    {
        insertar();
        // PostgreSQL knows nothing of a fresh temporary table: without its size the planner
        // probes the stamped table's index once per key instead of joining the two.
        if (m_motor == Motor::PostgreSQL)
            m_cnn.Execute(QStringLiteral("ANALYZE ") + nombre());
        for (const qint64 nulos : std::as_const(m_mascaras)) {
            Sentencia marcar(m_cnn, textoMarca(nulos));
            marcar.sinLimiteDeTiempo();
            marcar.ejecutar(m_modelo.conNumero ? Valores{numero} : Valores{});
        }
        m_cnn.Execute(QStringLiteral("DROP TABLE ") + nombre());
    }

private:
    QString nombre() const
    {
        return m_motor == Motor::SqlServer ? QStringLiteral("#vk_marcas") : QStringLiteral("vk_marcas");
    }

    void crear()
    {
        QStringList columnas;
        for (qsizetype i = 0; i < m_modelo.claves.size(); ++i)
            columnas << m_modelo.claves[i] + QStringLiteral(" AS c%1").arg(i + 1);
        columnas << QStringLiteral("0 AS m");
        const QString lista = columnas.join(QStringLiteral(", "));
        if (m_motor == Motor::SqlServer)
            m_cnn.Execute(QStringLiteral("SELECT %1 INTO %2 FROM %3 WHERE 1 = 0").arg(lista, nombre(), m_modelo.tabla));
        else
            m_cnn.Execute(QStringLiteral("CREATE TEMP TABLE %1 AS SELECT %2 FROM %3 WHERE 1 = 0")
                              .arg(nombre(), lista, m_modelo.tabla));
        if (m_motor == Motor::SQLite)
            indexar();
    }

    // SQLite's copy keeps the columns' affinity but not their collation: the index gets it
    // back, or the comparison with the table's column could not use it.
    void indexar()
    {
        const std::vector<ado::SchemaColumn> definidas = m_cnn.Columns(m_modelo.tabla);
        QStringList columnas;
        for (qsizetype i = 0; i < m_modelo.claves.size(); ++i) {
            QString clave = m_modelo.claves[i];
            clave.remove(QLatin1Char('[')).remove(QLatin1Char(']'));
            QString orden;
            for (const ado::SchemaColumn &c : definidas) {
                if (c.Name.compare(clave, Qt::CaseInsensitive) == 0)
                    orden = ordenSqlite(c.Type);
            }
            columnas << QStringLiteral("c%1").arg(i + 1) + orden;
        }
        columnas << QStringLiteral("m");
        m_cnn.Execute(
            QStringLiteral("CREATE INDEX temp.vk_marcas_k ON vk_marcas (%1)").arg(columnas.join(QStringLiteral(", "))));
    }

    void insertar()
    {
        if (m_filasPendientes == 0)
            return;
        std::shared_ptr<Sentencia> &s = m_inserciones[m_filasPendientes];
        if (!s) {
            QStringList columnas;
            for (qsizetype i = 0; i < m_modelo.claves.size(); ++i)
                columnas << QStringLiteral("c%1").arg(i + 1);
            columnas << QStringLiteral("m");
            const QString fila = QStringLiteral("(")
                + QStringList(columnas.size(), QStringLiteral("?")).join(QStringLiteral(", ")) + QLatin1Char(')');
            s = std::make_shared<Sentencia>(
                m_cnn,
                QStringLiteral("INSERT INTO %1 (%2) VALUES ").arg(nombre(), columnas.join(QStringLiteral(", ")))
                    + QStringList(m_filasPendientes, fila).join(QStringLiteral(", ")));
            s->sinLimiteDeTiempo();
        }
        s->ejecutar(m_pendientes);
        m_pendientes.clear();
        m_filasPendientes = 0;
    }

    QString textoMarca(qint64 nulos) const
    {
        const QString &t = m_modelo.tabla;
        QStringList iguales{QStringLiteral("K.m = %1").arg(nulos)};
        QStringList vacias;
        for (qsizetype i = 0; i < m_modelo.claves.size(); ++i) {
            const QString columna = t + QLatin1Char('.') + m_modelo.claves[i];
            if (nulos & (qint64(1) << i)) {
                vacias << columna + QStringLiteral(" IS NULL");
                // Said of the key table too: the lookup then uses every column of its index,
                // not only those before the Null one (a scan per row otherwise).
                iguales << QStringLiteral("K.c%1 IS NULL").arg(i + 1);
            } else {
                iguales << columna + QStringLiteral(" = K.c%1").arg(i + 1);
            }
        }
        QString texto = QStringLiteral("UPDATE %1 SET %2 WHERE EXISTS (SELECT 1 FROM %3 K WHERE %4)")
                            .arg(t, m_modelo.asignaciones, nombre(), iguales.join(QStringLiteral(" AND ")));
        for (const QString &v : vacias)
            texto += QStringLiteral(" AND ") + v;
        return texto;
    }

    static QString ordenSqlite(int tipo)
    {
        switch (tipo) {
        case ado::adChar:
        case ado::adVarChar:
        case ado::adWChar:
        case ado::adVarWChar:
        case ado::adLongVarChar:
        case ado::adLongVarWChar:
        case ado::adBSTR:
            return QStringLiteral(" COLLATE VKTEXT");
        case ado::adDate:
        case ado::adDBDate:
        case ado::adDBTimeStamp:
            return QStringLiteral(" COLLATE VKDATE");
        default:
            return QString();
        }
    }

    ado::Connection &m_cnn;
    Motor m_motor;
    const Modelo &m_modelo;
    int m_porSentencia = 1;
    int m_filasPendientes = 0;
    Valores m_pendientes;
    QHash<int, std::shared_ptr<Sentencia>> m_inserciones;
    QSet<qint64> m_mascaras;
};

void ListaMarcas::aplicar(ado::Connection &cnn, const platform::Variant &numero,
                          const std::function<void(long)> &avance)
{
    if (m_cantidad == 0)
        return;
    const Motor motor = motorDe(cnn);
    if (motor == Motor::Oracle) {
        aplicarPorFila(cnn, numero, avance);
        return;
    }
    if (!m_archivo->flush() || !m_archivo->seek(0))
        fallaArchivo(m_archivo->errorString());
    QDataStream in(m_archivo.get());
    std::unique_ptr<Tramo> tramo;
    qint32 actual = -1;
    Valores claves;
    for (long hechas = 0; hechas < m_cantidad; ++hechas) {
        qint32 cual = 0;
        if (!leer(in, cual, claves))
            fallaArchivo(QStringLiteral("el archivo temporal está dañado"));
        if (cual != actual) {
            if (tramo)
                tramo->terminar(numero);
            tramo = std::make_unique<Tramo>(cnn, motor, m_modelos[size_t(cual)]);
            actual = cual;
        }
        tramo->agregar(claves);
        if (avance && (hechas + 1) % 1000 == 0)
            avance(hechas + 1);
    }
    tramo->terminar(numero);
    if (avance)
        avance(m_cantidad);
}

// One keyed UPDATE per row.
void ListaMarcas::aplicarPorFila(ado::Connection &cnn, const platform::Variant &numero,
                                 const std::function<void(long)> &avance)
{
    if (!m_archivo->flush() || !m_archivo->seek(0))
        fallaArchivo(m_archivo->errorString());
    QDataStream in(m_archivo.get());
    QHash<qint64, std::shared_ptr<Sentencia>> preparadas; // by statement and Null keys
    Valores claves;
    for (long hechas = 0; hechas < m_cantidad; ++hechas) {
        qint32 cual = 0;
        if (!leer(in, cual, claves))
            fallaArchivo(QStringLiteral("el archivo temporal está dañado"));
        const Modelo &modelo = m_modelos[size_t(cual)];
        Valores valores;
        if (modelo.conNumero)
            valores.push_back(numero);
        qint64 nulos = 0;
        for (size_t i = 0; i < claves.size(); ++i) {
            if (claves[i].isNull())
                nulos |= qint64(1) << i;
            else
                valores.push_back(claves[i]);
        }
        std::shared_ptr<Sentencia> &s = preparadas[(qint64(cual) << 16) | nulos];
        if (!s)
            s = std::make_shared<Sentencia>(cnn, textoPara(modelo, claves));
        s->ejecutar(valores);
        if (avance && (hechas + 1) % 1000 == 0)
            avance(hechas + 1);
    }
    if (avance)
        avance(m_cantidad);
}

void ListaMarcas::vaciar()
{
    m_modelos.clear();
    m_archivo.reset();
    m_cantidad = 0;
}

} // namespace envio
