#pragma once

#include "Enlace.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <memory>

class DB_Dll;

namespace ado {
class Recordset;
}

namespace envio {

// A table's SELECT as the export builds it: "SELECT * FROM <origen> WHERE <condiciones>".
struct ConsultaTabla {
    QString origen;          // what follows FROM (a table, or a join with its aliases)
    QStringList condiciones; // joined with AND; their "?" markers take `valores` in order
    Valores valores;
    QStringList claves; // columns that identify a row, as the statement names them
};

// Reads the rows of a ConsultaTabla page by page, so that a table of any size is never held
// whole in memory. Pages follow the key columns: each query seeks past the last row read
// (an equal prefix and a greater next key), which every engine answers from the key's
// index. Key columns holding NULL take no part; when the remaining keys do not single out
// every row, the rows are read in one query.
class LectorPaginado {
public:
    LectorPaginado(DB_Dll &db, ConsultaTabla consulta, int tamanoPagina = 2000);
    ~LectorPaginado();

    // The rows of the query, counted once at the start.
    long cantidad();
    // The next page of rows; nullptr when every row has been read. Raises the connection's
    // RuntimeError.
    std::shared_ptr<ado::Recordset> siguiente();
    // The key columns the pages follow (empty: one query).
    const QStringList &clavesPagina() const { return m_claves; }

private:
    void elegirClaves();
    bool tieneNulos(const QString &clave);
    bool clavesUnicas();
    QString texto(int nivel) const;
    Sentencia &sentencia(int nivel);
    QString donde(const QStringList &extra) const;
    Valores valoresNivel(int nivel) const;

    DB_Dll &m_db;
    ConsultaTabla m_consulta;
    int m_tamano;
    bool m_preparado = false;
    bool m_fin = false;
    QStringList m_claves;
    int m_nivel = 0;  // 0: the first page; n: equal keys 1..n-1, key n greater
    Valores m_ultima; // key values of the last row read
    QHash<int, std::shared_ptr<Sentencia>> m_sentencias;
};

} // namespace envio
