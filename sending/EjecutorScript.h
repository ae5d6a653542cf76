#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <functional>

class DB_Dll;

// Runs a text file of SQL statements on the main connection, built around scripts that drop
// and create views: blocks separated by "GO" or "/" lines, date placeholders filled in, and
// passes repeated so that an object that needs one created further down is created on a
// later pass. Errors it does not expect go to a log file in the temporary folder.
class EjecutorScript {
public:
    explicit EjecutorScript(DB_Dll &db);

    // Opens a file with the desktop's program for it (the log, after a run with errors).
    // Replaceable (tests).
    using Abridor = std::function<void(const QString &ruta, bool mostrar)>;
    void setAbridor(Abridor abridor) { m_abridor = std::move(abridor); }
    // The clock the placeholders and the log's name take (tests).
    void setReloj(std::function<QDateTime()> reloj) { m_reloj = std::move(reloj); }

    // Runs the script. An empty path does nothing. Pass 1 runs every block; each later pass
    // (at most 20 in all) runs again only the blocks that failed because an object was
    // missing (native error 208), and never one holding "drop ". Errors 208, 1779, 1781,
    // 1913, 2714 and 2729 (an object missing or already there) are not logged, except that
    // a block still missing an object after the last pass is logged as unresolved (a drop
    // that finds nothing is not). With errors logged, the operator is told and the log is
    // opened.
    void VerVistas(const QString &ruta);
    // Opens the file (quoted when its path holds a blank) with the desktop's program.
    void Ejecutar2(const QString &ruta, bool mostrar);

    // What the last run did.
    const QString &archivoLog() const { return m_log; }
    int pasadas() const { return m_pasadas; }
    int erroresRegistrados() const { return m_registrados; }
    const QStringList &pendientes() const { return m_pendientes; } // blocks still missing an object

    // The blocks of a script's lines; the placeholders of a block filled for `ahora`.
    static QStringList bloques(const QStringList &lineas);
    static QString reemplazarFechas(const QString &bloque, const QDateTime &ahora);

private:
    bool leer(const QString &ruta, QStringList &lineas);
    void registrar(long nativo, const QString &descripcion, const QString &bloque);

    DB_Dll &m_db;
    Abridor m_abridor;
    std::function<QDateTime()> m_reloj;
    QString m_log;
    int m_pasadas = 0;
    int m_registrados = 0;
    QStringList m_pendientes;
};
