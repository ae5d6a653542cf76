#pragma once

#include "platform/RuntimeError.h"
#include "platform/Variant.h"
#include "platform/ado/Connection.h"
#include "platform/ado/Recordset.h"
#include "platform/suite/CmdDlg.h"

#include <QString>

#include <functional>
#include <memory>
#include <optional>

// The database class: one instance owns one connection, and every statement of the
// system runs through it. Public variables keep their historical names because the
// callers read and set them directly.
//
// Server text marks: "#" anywhere marks Oracle (gDBName is the data source), "!" in
// front marks SQLite (gDBName is the database file), "%host[:port]" in front marks
// PostgreSQL (port 5432 by default); anything else is SQL Server.
//
// Nothing here shows a window: questions go through platform/ui/Operator.h, and the
// connection dialog is reached through a hook that the desktop installs.
class DB_Dll {
public:
    enum class Plataforma { SqlServer, Oracle, SQLite, PostgreSQL };

    // What the connection dialog edits. `plataforma` is the combo index:
    // 0 SQL Server, 1 Oracle, 2 SQLite, 3 PostgreSQL.
    struct DatosAcceso {
        QString dbName;
        QString servidor;
        QString usuario;
        QString password;
        int plataforma = 0;
    };
    // Shows the connection dialog modally; returns its `Aceptar`. Unset: counts as cancelled.
    using DialogoAcceso = std::function<bool(DatosAcceso &)>;
    static void setDialogoAcceso(DialogoAcceso dialog);
    // Ends the program at once (the "No" of the lost-connection question). Default: exit(1).
    static void setTerminarPrograma(std::function<void()> terminate);

    DB_Dll();
    ~DB_Dll();
    DB_Dll(const DB_Dll &) = delete;
    DB_Dll &operator=(const DB_Dll &) = delete;

    // ---- public variables, in declaration order ----
    platform::suite::CmdDlg CmdDlg; // asks for an Access file
    bool gOpenFlag = false;
    platform::Variant gIgnoraPassWord; // not used
    ado::Connection gCnn;
    std::shared_ptr<ado::Recordset> glrcs; // not used
    platform::Variant gCursorLocation;     // not used
    QString gProveedor;
    QString gDsn; // not used
    QString gServidor;
    QString gDBName;
    QString gUsuario;
    bool gEsAdmin = false;
    QString gUserPassWord;
    QString gConnString;
    QString gExtended;
    QString gLogErr;
    bool ParametrosSQL = false; // not used
    int gVKTimeOut = 0;         // not used

    // ---- connection opening (outcome in gOpenFlag; nothing is raised) ----
    void OpenServerADODB(bool PideParametrosSQL, long lCursor, const QString &ConnString, bool ValidaAdmin,
                         bool MuestraError);
    // Reopens gCnn with its own connection string; the command time-out is restored after.
    void ReintentaConectar();
    // What a connection was opened with, to open it again after another one.
    struct Ajustes {
        QString servidor, base, usuario, clave, cadena;
    };
    Ajustes ajustesDeConexion() const { return {gServidor, gDBName, gUsuario, gUserPassWord, gConnString}; }
    // Closes gCnn when open (failures ignored) and opens it with `ajustes`, as
    // OpenServerADODB(false, 3, cadena, true, true) does: the outcome is in gOpenFlag.
    void reabrirCon(const Ajustes &ajustes);
    // Closes gCnn when open; failures are ignored.
    void cerrarConexion();
    // The road for runs of many statements in one transaction that roll the whole transaction
    // back when one fails (the reception, the sending): `false` while they run, `true` after
    // (see ado::Connection::setStatementRollback; on PostgreSQL the connection is opened
    // again, statements are prepared on the server and none gets its own savepoint). Kept
    // when the connection is opened again. False when the change was refused (inside a
    // transaction, or the reopening failed); the reason stays in gCnn's errors.
    bool setStatementRollback(bool on);
    // Opens a local Access database: there is no Jet provider on this system, so the
    // open fails with the provider's error, shown in a critical message box.
    void OpenLocalADODB(const QString &ConnString, const QString &CadenaID, const QString &CadenaPWD);
    QString pSQLOLEDB() const { return QStringLiteral("SQLOLEDB"); }
    QString pJETOLEDB40() const { return QStringLiteral("Microsoft.Jet.OLEDB.4.0"); }
    QString pJETOLEDB35() const { return QStringLiteral("Microsoft.Jet.OLEDB.3.51"); }

    // The platform a server text marks, and the connection string for the four texts.
    static Plataforma plataformaDe(const QString &servidor);
    QString construyeConnString() const;
    // The server text with the mark of the dialog's platform (0 keeps the text as typed,
    // 1 adds "#" when missing, 2 and 3 put "!" or "%" in front of the bare server).
    static QString marcaServidor(const QString &servidor, int plataforma);
    // The database file an embedded (SQLite) connection names when that file does not
    // exist; empty for any other platform or an existing file.
    static QString archivoSqliteFaltante(const QString &servidor, const QString &dbName);
    // The connection string for these texts (SQL Server's gets `extended` appended).
    static QString connStringPara(const QString &servidor, const QString &dbName, const QString &usuario,
                                  const QString &password, const QString &extended = QString());

    // ---- statements ----
    // Runs an action statement (or batch); the rewritten text is written back. Returns
    // false when the statement failed: its errors then stay in gCnn.errors() (never
    // empty after a failure). A truncation warning (8152) on a statement that succeeded
    // is cleared unless the text holds "TRANS". Nothing is shown, nothing raised.
    bool EjecutaConsultaSQL(QString &SentenciaSQL, long *RecordsAffected = nullptr,
                            std::shared_ptr<ado::Recordset> *Lrcs = nullptr);
    bool EjecutaConsultaSQL(const QString &SentenciaSQL);
    // Opens Lrcs on the statement (synonyms applied, "@Admin_" removed, Oracle rewrite when
    // asked); a lost connection is reopened (three tries, then the operator is asked);
    // other failures go to TratamientoErrores. Returns whether Lrcs is open. Never raises.
    bool AbrirRecordset(QString &SentenciaSQL, ado::Recordset &Lrcs, ado::Connection *Conexionactiva = nullptr,
                        int CursorType = ado::adOpenForwardOnly, int LockType = ado::adLockReadOnly, long Options = -1,
                        bool ConvOracle = false);
    bool AbrirRecordset(const QString &SentenciaSQL, ado::Recordset &Lrcs, ado::Connection *Conexionactiva = nullptr,
                        int CursorType = ado::adOpenForwardOnly, int LockType = ado::adLockReadOnly, long Options = -1,
                        bool ConvOracle = false);
    // Closes Lrcs when open (a pending edit is cancelled first); failures are ignored.
    void CierraRecordset(ado::Recordset &Lrcs);
    // Twin of EjecutaConsultaSQL; its failure is shown titled "Aviso al operador!!!".
    bool EjecutaConsultaRSQL(QString &SentenciaSQL, long *RecordsAffected = nullptr,
                             std::shared_ptr<ado::Recordset> *Lrcs = nullptr);

    // ---- synonym views for restricted users ----
    QString SS_TSinonimos(const QString &sentencia) const;

    // ---- error dialog and log ----
    platform::Variant ArchivoErrores() const { return platform::Variant(gLogErr); }
    void setArchivoErrores(const platform::Variant &archivo) { gLogErr = archivo.toString(); }
    // Shows the error (buttons default 18), appends the VKERR.LOG line, returns the answer
    // (4 retry, 5 next statement, other leave); error number 0 returns 0 and does nothing.
    int TratamientoErrores(const platform::RuntimeError &error, int buttons = 18,
                           const std::optional<QString> &routine = std::nullopt);

    // ---- Oracle ----
    // Rewrites for Oracle when gConnString holds "ORACLE"; else returns the text unchanged.
    // Raises RuntimeError(5) on a TOP without a following blank or an unpaired apostrophe.
    QString ORACLE_Dicc(const QString &sentencia) const;
    // Empties (and returns empty) a statement holding "SET NOCOUNT" or "IF NOT EXIST".
    static QString LimpiaSentenciaOracle(QString &sentencia);
    // Runs a batch statement by statement on gCnn; the batch is consumed (left empty) and
    // each statement's records affected are added to `count`. Raises on the first failure.
    QString EjecutaLoteOracle(QString &lote, long &count);

    // ---- SQL values and column-type classes ----
    // kind "@": number with "." as decimal point (Null "0"); "'": quoted text with
    // apostrophes doubled (Null "NULL"); anything else: the value's text unchanged.
    QString SQLValue(const platform::Variant &value, const QString &kind) const;
    bool adodate(long type) const;
    bool ADOText(long type) const;
    bool ADONumeric(long type) const;
    bool ADOCurrency(long type) const;
    bool ADOBoolean(long type) const;
    QString ADOComilla(long type) const;

    // ---- single-row lookups and maxima ----
    // Empty Variant when no row; otherwise a double (text for BuscaMaximo with key type 7).
    // A failed statement is raised to the caller.
    platform::Variant BuscaMaximo(const QString &Tabla, const QString &Campo, const platform::Variant &Tipo = {},
                                  const QString &Condicion = QString());
    platform::Variant BuscaMinimo(const QString &Tabla, const QString &Campo, const platform::Variant &Tipo = {},
                                  const QString &Condicion = QString());
    platform::Variant BuscaUltimoCodigo(const QString &QueTabla, const QString &QueCampo, const platform::Variant &Tipo,
                                        const QString &Condicion);
    // True when a row exists; with Lrcs, the rows stay open in it. Errors are asked about
    // ("Aviso al Operador", abort/retry/ignore) and never raised.
    bool ExisteEnTabla(const QString &Tabla, const QString &ValorBuscado, const QString &Campo, ado::Recordset *Lrcs,
                       long Tipodato, const QString &Condicion = QString(), bool SoloLectura = false);
    bool ExisteEnTablaST(const QString &Tabla, const QString &ValorBuscado, const QString &Campo, ado::Recordset *Lrcs,
                         long Tipodato, const QString &Condicion = QString(), bool SoloLectura = false);
    // The column's text of the first row; "" when none; empty Variant when the connection
    // was given up (gOpenFlag False) or the operator aborted after an error.
    platform::Variant DatosTabla(const QString &Tabla, const QString &ValorBuscado, const QString &CampoDevuelto,
                                 const QString &CampoBuscado, long Tipodato, const QString &Condicion = QString(),
                                 bool Recortar = false, bool Silencioso = false);

    // ---- schema ----
    // True when the connection lists a table or view of that name (any case); a failure
    // goes to TratamientoErrores and gives False.
    bool ExisteTablaDB(const QString &Tabla);
    bool ExisteCampoDB(const QString &Tabla, const QString &Campo);
    // True when the column exists afterwards (added with AddField when Agregar is set).
    bool VerCampoDB(const QString &Tabla, const QString &Campo, bool Agregar, const QString &Tipo, bool AceptaNulos,
                    const platform::Variant &Defecto = {});
    // "ALTER TABLE dbo.<t> ADD <c> <type> [NOT] NULL [DEFAULT <d>]"; true when it ran.
    bool AddField(const QString &Tabla, const QString &Campo, const QString &Tipo, bool AceptaNulos,
                  const platform::Variant &Defecto = {});

private:
    static void terminarPrograma();
    bool abrirConDialogo();
    QString cadenaLocal(const QString &ConnString, const QString &CadenaID, const QString &CadenaPWD) const;
    bool abreConexion(bool MuestraError);
    bool preguntaErrorConexion();
    void validaAdministrador(bool ValidaAdmin, bool MuestraError);
    bool ejecuta(QString &sentencia, long *recordsAffected, std::shared_ptr<ado::Recordset> *lrcs, bool auxiliar);
    bool reconectaPerdida(int &attempts);
    std::optional<platform::Variant> primerValor(const QString &statement, const QString &column);
    bool existe(const QString &statement, ado::Recordset *Lrcs, ado::Connection &cnn, bool SoloLectura, bool oracle);
};

// The shared instances (ModGlobal's globals), created on first use.
DB_Dll &gDB();
DB_Dll &gEstadisticas();
DB_Dll &gDBConsultas();
DB_Dll &gDBAuxiliar();
// Releases the four instances (Finalizar); the next access creates fresh ones.
void releaseSharedDatabases();

// Global setting SS_CONFIDENCIALIDAD (loaded with the configuration); read by SS_TSinonimos.
extern bool gSS_CONFIDENCIALIDAD;

// Leaves statement rollback to a run for as long as it lives, and gives it back after (see
// DB_Dll::setStatementRollback). A refused change only costs speed: the run is as sound.
class StatementRollbackOff {
public:
    explicit StatementRollbackOff(DB_Dll &db);
    ~StatementRollbackOff();
    StatementRollbackOff(const StatementRollbackOff &) = delete;
    StatementRollbackOff &operator=(const StatementRollbackOff &) = delete;

private:
    DB_Dll &m_db;
    bool m_changed = false;
};
