#pragma once

// The import's private structures, shared by its three source files.

#include "ImportadorTabla.h"

#include <algorithm>

namespace recepcion {

struct ImportadorTabla::Plan {
    QString tabla;
    const ReglaTabla *regla = nullptr;
    QStringList campos;                  // the control file's field list
    bool enControl = false;              // the control file names the table
    QStringList nombresDatos;            // the names the data lines carry: the list without RECEPCION/TRANSMISION
    std::vector<int> columnaDe;          // per data position: the local column, -1 when the table lacks it
    int columnaRecepcion = -1;           // the local RECEPCION column when the field list names it
    std::vector<int> posClave;           // per key term: its data position, -1 when the list lacks it
    std::vector<int> columnaClave;       // per key term: its local column, -1 when the table lacks it
    std::vector<ReglaDeColumna> reglaDe; // per data position: its column rule, resolved once
    std::vector<int> claveDe;            // per data position: the key term it holds, -1 for none
    bool precios = true;
    bool admiteMas = false; // lines may carry more values (a joined price row) than the list
    std::optional<TablaLocal> local;
    QString errorLocal;     // why the local table could not be read
    QString sqlBusqueda;    // SELECT 1 ... WHERE <key>
    QString condicionClave; // " WHERE k1 = ? AND k2 = ?"

    bool esClave(int columna) const
    {
        return std::find(columnaClave.begin(), columnaClave.end(), columna) != columnaClave.end();
    }
    int posicion(const QString &nombre) const
    {
        for (qsizetype i = 0; i < nombresDatos.size(); ++i) {
            if (nombresDatos[i].compare(nombre, Qt::CaseInsensitive) == 0)
                return int(i);
        }
        return -1;
    }
};

struct ImportadorTabla::Operacion {
    // Rechazo: a line rejected while rows before it wait to be written; it is reported after
    // them, so that the error file keeps the order of the lines.
    enum class Tipo { Fila, BorradoPrecio, BorradoAsiento, Rechazo };
    Tipo tipo = Tipo::Fila;
    long linea = 0;
    QString texto;
    QString motivo;                 // Rechazo: why
    mutable bool informado = false; // Rechazo: in the error file already (a replay goes past it)
    Valores clave;
    std::vector<int> columnas; // local columns written, in statement order
    Valores valores;           // their values
};

// A line read ahead of the writes, with what it comes to; the writes take it in the file's order.
struct ImportadorTabla::Leida {
    enum class Paso {
        Larga,   // longer than a package carries: rejected, its beginning shown
        Nada,    // read and counted; nothing to write
        Rechazo, // rejected for `motivo`, shown as `texto`
        Fila,    // `fila` to write (a row, or a withdrawn price)
        Campos,  // an accounting line: its `campos` go to the entries
    };
    Paso paso = Paso::Nada;
    long numero = 0;
    QString linea;
    qint64 bytes = 0;      // of the file, for the progress
    qint64 bytesLinea = 0; // Larga: the line's length in bytes
    QString motivo;
    QString texto;
    std::optional<Operacion> fila;
    QStringList campos;
};

struct ImportadorTabla::Asiento {
    QString clave;                 // PERIODO,TIPO_REG,MES_OPERATIVO,NUMERO ASIENTO of the entry
    std::vector<Operacion> lineas; // the entry's lines, ready to write
    QStringList rechazos;          // why each line could not be prepared ("" when it could)
    QString fecha;                 // FECHA of the entry's last line
};

// A failure that is not one row's: the connection was lost, or a transaction could not be
// begun or ended.
class ImportadorTabla::ErrorDeEjecucion {
public:
    explicit ErrorDeEjecucion(const platform::RuntimeError &e) : error(e) {}
    platform::RuntimeError error;
};

} // namespace recepcion
