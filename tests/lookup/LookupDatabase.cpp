#include "LookupDatabase.h"

#include "lookup/Lib_FrmCons3Logic.h"
#include "lookup/Lib_FrmCons3TreeLogic.h"

#include "db/DB_Dll.h"
#include "platform/Paths.h"

#include <QThreadPool>

#include <gtest/gtest.h>

void LookupDatabaseTest::SetUp()
{
    SuiteDatabaseTest::SetUp();
    if (IsSkipped() || HasFatalFailure())
        return;
    platform::setProgramFolder(m_home.path());
    recreateTable(QStringLiteral("V_TA_RUBROS"),
                  QStringLiteral("IdRubro varchar(4) NOT NULL PRIMARY KEY, Descripcion varchar(60) NULL, Activo int"));
    for (const char *row : {"'  12', 'Tornillos', 1", "'   1', 'Arandelas', 1", "'   2', 'Tuercas', 1",
                            "'   5', 'Bulones', 0", "'  15', 'O''Brien', 1", "'  20', NULL, 1"})
        exec(QStringLiteral("INSERT INTO V_TA_RUBROS VALUES (%1)").arg(QString::fromLatin1(row)));
    recreateTable(
        QStringLiteral("VT_MA_ARTICULOS"),
        QStringLiteral("IDARTICULO varchar(25) NOT NULL PRIMARY KEY, DESCRIPCION varchar(200) NULL, "
                       "PRECIO1 numeric(18,4) NULL, PUNTOPEDIDO numeric(18,4) NULL, Stock numeric(18,4) NULL, "
                       "SUSPENDIDO int, Cantidad varchar(20) NULL"));
    recreateTable(QStringLiteral("V_MV_FALTANTES"),
                  QStringLiteral("FechaHora datetime NULL, IdArticulo varchar(25) NULL, Descripcion varchar(100) NULL, "
                                 "Usuario varchar(50) NULL"));
    recreateTable(QStringLiteral("V_TA_FAMILIAS"),
                  QStringLiteral("IdFamilia varchar(10) NOT NULL PRIMARY KEY, Descripcion varchar(60) NULL"));
    recreateTable(QStringLiteral("MA_POSICIONES"),
                  QStringLiteral("IDPOSICION varchar(10) NOT NULL PRIMARY KEY, DESCRIPCION varchar(60) NULL"));
    recreateTable(QStringLiteral("TA_CCOSTO"),
                  QStringLiteral("CODIGO varchar(10) NOT NULL PRIMARY KEY, DESCRIPCION varchar(60) NULL"));
    // gDB opened before these tables were remade: a new connection reads their new columns.
    releaseSharedDatabases();
    DB_Dll &db = gDB();
    db.gUsuario = QStringLiteral("ana");
    db.OpenServerADODB(false, 3, connectionString(), false, false);
    ASSERT_TRUE(db.gOpenFlag);
}

void LookupDatabaseTest::TearDown()
{
    // Reads a closed list left running end before the next test remakes the tables.
    QThreadPool::globalInstance()->waitForDone();
    platform::setProgramFolder(QString());
    SuiteDatabaseTest::TearDown();
}

void LookupDatabaseTest::config(const QString &key, const QString &value)
{
    exec(QStringLiteral("DELETE FROM TA_CONFIGURACION WHERE CLAVE = '%1'").arg(key));
    exec(QStringLiteral("INSERT INTO TA_CONFIGURACION (CLAVE, VALOR) VALUES ('%1', '%2')").arg(key, value));
}

void ScriptedPresenter::showList(lookup::Lib_FrmCons3Logic &form)
{
    ++shown;
    if (list)
        list(form);
}

void ScriptedPresenter::showTree(lookup::Lib_FrmCons3TreeLogic &form)
{
    ++shown;
    if (tree)
        tree(form);
}
