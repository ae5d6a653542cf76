#pragma once

#include "db/DB_Dll.h"
#include "platform/Result.h"

#include <QString>
#include <QStringList>

// What the connection dialog does, without a window: the boxes are plain texts that
// the form copies in and out. Registered connections come from BASES.TXT.
class FrmAccesoLogic {
public:
    // Rechazado: a text the record cannot hold (a comma, a character outside Windows-1252).
    enum class Registro { Registrado, YaExiste, Rechazado, SinConexion, Fallo };

    // Combo entries; the first two are SQL Server and Oracle.
    static QStringList plataformas();
    // The hint a box shows while empty (shown as placeholder, never taken as a value).
    static QString hint(const QString &controlName);
    // "<DATABASE> / <SERVER>": both trimmed and upper-cased, the server cut before ":".
    static QString claveConexion(const QString &baseDatos, const QString &servidor);

    // Box texts and the combo index.
    QString TxtDbName;
    QString TxtServidor;
    QString TxtUserId;
    QString TxtUserPassword;
    QString TxtPuerto = QStringLiteral("1433");
    int CboPlataformaDB = 0;
    bool Aceptar = false;

    // The registered names and the selected one (-1: none).
    const QStringList &lstBases() const { return m_lista; }
    int listIndex() const { return m_indice; }

    // Form_Load: fills the list (selecting its first entry fills the boxes).
    void cargar();
    void llenarlist();
    // Selects a list entry and shows its record (lstBases_Click).
    void seleccionar(int index);
    void DatosBase(const QString &Nombre);
    void AsignarDatosBase();
    // Test connection on gDB's connection: true only when it really opened.
    bool ExisteBaseDeDatos(const QString &Servidor, const QString &BaseDatos, const QString &Usuario,
                           const QString &Password, const QString &Proveedor);
    // Registers the connection in the boxes after a test connection.
    Registro CmdRegistrar();
    // Writes the launcher "Timer Tareas.desktop" to the user's desktop folder (as XDG
    // names it): it starts this executable with lineaDeComando(). An existing one is replaced.
    platform::Status CmdLineaComando();
    // The command line of the connection in the boxes: server (with its platform's mark),
    // database and user. The password is left out: a launcher file is readable text.
    QString lineaDeComando() const;
    // Runs a command line and waits for its end.
    bool EjecutarCmdRegDB(const QString &Archivo, QString &ErrDevuelto);

    // The values the caller reads back after Aceptar.
    DB_Dll::DatosAcceso datos() const;
    void asignar(const DB_Dll::DatosAcceso &datos);

private:
    QString servidorConMarca() const;
    bool abrePrincipal(const QString &servidor);
    bool registrar(const QString &clave, const QString &servidor);
    void registrarOdbc();

    QStringList m_lista;
    int m_indice = -1;
    QString m_servidor;
    QString m_baseDatos;
    QString m_usuario;
    QString m_password;
    QString m_puerto; // empty until a record or a registration sets it
};
