#pragma once

#include "Enlace.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QTemporaryFile>

#include <functional>
#include <memory>
#include <vector>

class QDataStream;

namespace ado {
class Connection;
}

namespace envio {

// The stamps a sending owes its rows, kept in a temporary file (not in memory) while the
// package is written, and run only once it has been delivered, inside the caller's
// transaction. They are written set-wise: the key values of one statement's rows go into a
// temporary table (multi-row INSERTs with bound values), and one UPDATE stamps every row of
// the table whose key is there; a key value that is Null is matched with IS NULL. (Oracle,
// whose temporary tables are made outside a transaction, runs one keyed UPDATE per row.)
class ListaMarcas {
public:
    ListaMarcas();
    ~ListaMarcas();

    // Declares a statement "UPDATE <tabla> SET <asignaciones> WHERE <clave> = ? AND ...".
    // `asignaciones` holds one "?" for the transmission number (bound first) when
    // `conNumero`. Returns its number for agregar(). `claves` must not be empty.
    int sentencia(const QString &tabla, const QString &asignaciones, const QStringList &claves, bool conNumero);
    // One row to stamp: the values of the statement's keys, in order.
    void agregar(int sentencia, const Valores &valores);
    long cantidad() const { return m_cantidad; }
    // Runs every stamp with `numero` for the transmission number; raises the connection's
    // RuntimeError on the first failure. `avance` hears the count of stamps handled, now
    // and then.
    void aplicar(ado::Connection &cnn, const platform::Variant &numero, const std::function<void(long)> &avance);
    // Forgets every stamp.
    void vaciar();

private:
    struct Modelo {
        QString tabla;
        QString asignaciones;
        QStringList claves;
        bool conNumero = false;
    };
    struct Tramo;
    QString textoPara(const Modelo &modelo, const Valores &valores) const;
    bool abrir();
    void aplicarPorFila(ado::Connection &cnn, const platform::Variant &numero, const std::function<void(long)> &avance);
    bool leer(QDataStream &in, qint32 &cual, Valores &claves) const;

    std::vector<Modelo> m_modelos;
    std::unique_ptr<QTemporaryFile> m_archivo;
    long m_cantidad = 0;
};

} // namespace envio
