#include "ListaMarcas.h"

#include "platform/RuntimeError.h"
#include "platform/ado/Connection.h"

#include <QDataStream>
#include <QDir>

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

platform::Variant leer(QDataStream &in)
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

void ListaMarcas::aplicar(ado::Connection &cnn, const platform::Variant &numero,
                          const std::function<void(long)> &avance)
{
    if (m_cantidad == 0)
        return;
    if (!m_archivo->flush() || !m_archivo->seek(0))
        fallaArchivo(m_archivo->errorString());
    QDataStream in(m_archivo.get());
    QHash<qint64, std::shared_ptr<Sentencia>> preparadas; // by statement and Null keys
    for (long hechas = 0; hechas < m_cantidad; ++hechas) {
        qint32 cual = 0;
        quint16 cuantos = 0;
        in >> cual >> cuantos;
        Valores claves;
        for (quint16 i = 0; i < cuantos; ++i)
            claves.push_back(leer(in));
        if (in.status() != QDataStream::Ok || cual < 0 || size_t(cual) >= m_modelos.size())
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
