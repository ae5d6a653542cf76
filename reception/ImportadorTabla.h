#pragma once

#include "ArchivosPaquete.h"
#include "EscritorFilas.h"
#include "EstadoRecepcion.h"
#include "ReglasTablas.h"
#include "TablaLocal.h"

#include "platform/RuntimeError.h"
#include "platform/ado/Errors.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class DB_Dll;

namespace package {
class LineReader;
}

namespace recepcion {

class ErroresRecepcion;

enum class ResultadoTabla {
    Completa,     // every line was read (rejected rows are in the error file)
    Ausente,      // the package does not hold the table
    FaltaArchivo, // the control file names the table and the package lacks its data file
    SinControl,   // the package has no control file: nothing was read
    Detenida,     // the operator asked to stop: what was read before is kept
    Fallida,      // the database failed under the run and the operator left
    Terminar,     // the calendar question ends the program
};

// What one reception hands to the import of each of its tables.
struct ContextoImportacion {
    DB_Dll &db;
    EstadoRecepcion &estado;
    ErroresRecepcion &errores;
    VistaRecepcion &vista;
    ArchivosPaquete paquete;
    QString numeroRecepcion; // written into RECEPCION ("0" for the unattended run)
    bool soloAltas = false;  // "Permitir solo altas": existing rows are left as they are
    // Shows the error file to the operator without waiting (the desktop's); may be empty.
    std::function<void(const QString &ruta)> mostrarErrores;
};

// Loads one table of an unpacked package: its field list from the control file, its rows
// from its data file. Values are matched to the local table's columns by the field list's
// names (RECEPCION and TRANSMISION, which the data lines leave out, are found by name); each
// row is looked up by its key and inserted or updated, rows are committed in groups, and
// every row the program or the database rejects goes to the error file with its reason.
class ImportadorTabla {
public:
    explicit ImportadorTabla(ContextoImportacion &contexto);
    ~ImportadorTabla();

    ResultadoTabla ImportarTabla(const QString &tabla, bool mostrarEstado);

    // Rows written in one transaction (a failing row is still reported alone).
    static void setTamanoGrupo(int filas);

    // How a group's rows reach a server engine (PostgreSQL, SQL Server): by default a few
    // statements per group (its keys looked up at once, its new rows in multi-row INSERTs,
    // its changes in one UPDATE per column set); FilaPorFila sends each row on its own, as
    // the embedded and Oracle engines always do. The results are the same either way.
    enum class Escritura { Automatica, FilaPorFila };
    static void setEscritura(Escritura escritura);

private:
    struct Plan;
    struct Operacion;
    struct Leida;
    class ColaLeidas;
    enum class Efecto { Insertada, Modificada, Ninguno };
    class ErrorDeEjecucion; // a failure of the run, not of one row

    // ImportadorTabla.cpp: the table, its plan and its lines.
    std::optional<ResultadoTabla> leerControl(const QString &tabla);
    void armarPlan(const QString &tabla, const QStringList &campos, bool precios);
    ResultadoTabla leerDatos(const QString &ruta, bool mostrarEstado);
    bool seguirLeyendo() const;
    void leerLineas(package::LineReader &lector, bool mostrarEstado);
    void leerAdelante(package::LineReader &lector, ColaLeidas &cola) const;
    void prepararLinea(Leida &leida) const;
    void tomarLinea(Leida &leida, bool mostrarEstado);
    QString motivoCampos(const QStringList &campos) const;
    std::optional<Operacion> armarFila(const QStringList &campos, const QString &linea, long numero,
                                       QString &motivo) const;
    QString armarClave(const QStringList &campos, Valores &clave, bool &vacia) const;
    void rechazar(const QString &motivo, const QString &linea);
    void rechazarLarga(qint64 bytes, const QString &comienzo);
    void mostrarProgreso(bool mostrarEstado, const QString &linea, bool forzar);
    void informarErrores();

    // ImportadorFilas.cpp: groups, writes and their failures.
    void agregar(Operacion operacion);
    void confirmarGrupo();
    void descartarGrupo();
    void repetirGrupoFilaPorFila();
    Efecto escribir(const Operacion &op);
    Efecto escribirFila(const Operacion &op);
    bool enConjunto();
    void escribirPendientes(size_t fin);
    void escribirLote(size_t desde, size_t hasta);
    std::vector<bool> existentes(size_t desde, size_t hasta);
    void insertarLote(const std::vector<const Operacion *> &filas);
    void actualizarLote(const std::vector<std::pair<std::vector<int>, Valores>> &filas);
    void contar(Efecto efecto, long &inserciones, long &modificaciones);
    QString sentenciaInsert(const std::vector<int> &columnas);
    QString sentenciaUpdate(const std::vector<int> &columnas);
    bool seguirTrasFalla(const platform::RuntimeError &error);
    void fallaDeEjecucion(const platform::RuntimeError &error);
    static bool esFallaDeConexion(const platform::RuntimeError &error, const ado::Errors &errores);
    QString motivoDe(const platform::RuntimeError &error) const;

    // ImportadorAsientos.cpp: accounting entries, their deletion and the calendar.
    void agregarAsiento(const QStringList &campos, const QString &linea);
    void cerrarAsiento();
    std::optional<Operacion> armarBorradoAsiento(const QStringList &campos, const QString &linea);
    Efecto borrarAsiento(const Operacion &op);
    void preguntarCalendario(const QString &fecha);

    ContextoImportacion &m_ctx;
    EscritorFilas m_escritor;
    std::unique_ptr<Plan> m_plan;
    std::vector<Operacion> m_grupo;
    size_t m_pendientes = 0;  // m_grupo's rows from here on are not written yet (set-wise)
    int m_motorServidor = -1; // set-wise writes: 0 no, 1 SQL Server, 2 PostgreSQL (-1: unknown)
    // The set-wise lookups of the table in hand, and the rows written in it: see existentes().
    QString m_tablaBusquedas;
    QSet<QString> m_busquedas;
    long m_escritasTabla = 0;
    long m_escritasAlPreparar = 0;
    long m_gInserciones = 0; // counted in the open group, confirmed on commit
    long m_gModificaciones = 0;
    long m_linea = 0;
    long m_entradasAlEmpezar = 0;
    bool m_detener = false;
    bool m_fallida = false;
    qint64 m_bytesLeidos = 0; // of the table's file, for the progress within the table
    qint64 m_bytesArchivo = 0;
    Refresco m_refrescoVista{100};
    Refresco m_refrescoEstado{1000};
    QHash<QByteArray, QString> m_inserts;
    QHash<QByteArray, QString> m_updates;
    struct Asiento;
    std::unique_ptr<Asiento> m_asiento;
};

// The fiscal calendar statement of the local engine for the given year (SQLite has no
// procedures: its schema emulates VK_CREACALENDARIO with a view).
QString sentenciaCalendario(const DB_Dll &db, int anio);

} // namespace recepcion
