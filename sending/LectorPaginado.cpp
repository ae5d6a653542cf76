#include "LectorPaginado.h"

#include "db/DB_Dll.h"
#include "platform/ado/Recordset.h"

namespace envio {

namespace {

// The name a recordset gives a column that a statement names "alias.[COLUMNA]".
QString nombreCampo(const QString &columna)
{
    QString nombre = columna.mid(columna.lastIndexOf(QLatin1Char('.')) + 1);
    return nombre.remove(QLatin1Char('[')).remove(QLatin1Char(']'));
}

constexpr int kSinPaginas = -1;

} // namespace

LectorPaginado::LectorPaginado(DB_Dll &db, ConsultaTabla consulta, int tamanoPagina)
    : m_db(db), m_consulta(std::move(consulta)), m_tamano(tamanoPagina)
{}

LectorPaginado::~LectorPaginado() = default;

QString LectorPaginado::donde(const QStringList &extra) const
{
    const QStringList condiciones = m_consulta.condiciones + extra;
    return condiciones.isEmpty() ? QString() : QStringLiteral(" WHERE ") + condiciones.join(QStringLiteral(" AND "));
}

long LectorPaginado::cantidad()
{
    Sentencia contar(
        m_db.gCnn,
        paraUsuario(m_db, QStringLiteral("SELECT COUNT(*) AS CANTIDAD FROM ") + m_consulta.origen + donde({})));
    const std::shared_ptr<ado::Recordset> rs = contar.abrir(m_consulta.valores);
    return rs->EOF() ? 0 : long(rs->field(0).Value().toInt64());
}

bool LectorPaginado::tieneNulos(const QString &clave)
{
    Sentencia buscar(m_db.gCnn,
                     paraUsuario(m_db,
                                 QStringLiteral("SELECT TOP 1 1 AS HAY FROM ") + m_consulta.origen
                                     + donde({clave + QStringLiteral(" IS NULL")})));
    return !buscar.abrir(m_consulta.valores)->EOF();
}

bool LectorPaginado::clavesUnicas()
{
    const QString lista = m_claves.join(QStringLiteral(", "));
    Sentencia buscar(m_db.gCnn,
                     paraUsuario(m_db,
                                 QStringLiteral("SELECT TOP 1 ") + lista + QStringLiteral(" FROM ") + m_consulta.origen
                                     + donde({}) + QStringLiteral(" GROUP BY ") + lista
                                     + QStringLiteral(" HAVING COUNT(*) > 1")));
    return buscar.abrir(m_consulta.valores)->EOF();
}

void LectorPaginado::elegirClaves()
{
    for (const QString &clave : m_consulta.claves) {
        if (!tieneNulos(clave))
            m_claves << clave;
    }
    if (!m_claves.isEmpty() && !clavesUnicas())
        m_claves.clear();
}

QString LectorPaginado::texto(int nivel) const
{
    const QString desde = QStringLiteral(" * FROM ") + m_consulta.origen;
    if (nivel == kSinPaginas)
        return QStringLiteral("SELECT") + desde + donde({});
    const QString top = QStringLiteral("SELECT TOP %1").arg(m_tamano);
    if (nivel == 0)
        return top + desde + donde({}) + QStringLiteral(" ORDER BY ") + m_claves.join(QStringLiteral(", "));
    QStringList extra;
    for (int i = 0; i < nivel - 1; ++i)
        extra << m_claves[i] + QStringLiteral(" = ?");
    extra << m_claves[nivel - 1] + QStringLiteral(" > ?");
    return top + desde + donde(extra) + QStringLiteral(" ORDER BY ")
        + m_claves.mid(nivel - 1).join(QStringLiteral(", "));
}

Sentencia &LectorPaginado::sentencia(int nivel)
{
    std::shared_ptr<Sentencia> &s = m_sentencias[nivel];
    if (!s)
        s = std::make_shared<Sentencia>(m_db.gCnn, paraUsuario(m_db, texto(nivel)));
    return *s;
}

Valores LectorPaginado::valoresNivel(int nivel) const
{
    Valores valores = m_consulta.valores;
    for (int i = 0; i < nivel; ++i)
        valores.push_back(m_ultima[size_t(i)]);
    return valores;
}

std::shared_ptr<ado::Recordset> LectorPaginado::siguiente()
{
    if (m_fin)
        return nullptr;
    if (!m_preparado) {
        elegirClaves();
        m_preparado = true;
    }
    if (m_claves.isEmpty()) {
        m_fin = true;
        return sentencia(kSinPaginas).abrir(m_consulta.valores);
    }
    for (;;) {
        std::shared_ptr<ado::Recordset> rs = sentencia(m_nivel).abrir(valoresNivel(m_nivel));
        const long filas = rs->RecordCount();
        if (filas > 0) {
            rs->MoveLast();
            m_ultima.clear();
            for (const QString &clave : m_claves)
                m_ultima.push_back(rs->field(nombreCampo(clave)).Value());
            rs->MoveFirst();
        }
        if (filas >= m_tamano) {
            m_nivel = int(m_claves.size()); // a full page: go on past its last row
            return rs;
        }
        // This level has no more rows: the next one up continues after the last row read.
        m_nivel = m_nivel <= 1 ? 0 : m_nivel - 1;
        if (m_nivel == 0)
            m_fin = true;
        if (filas > 0 || m_fin)
            return filas > 0 ? rs : nullptr;
    }
}

} // namespace envio
