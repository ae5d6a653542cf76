#include "ArticlesDatabase.h"

#include "core/Globals.h"
#include "platform/Paths.h"
#include "platform/ado/Recordset.h"

#include <QStringList>

void ArticlesDatabaseTest::SetUp()
{
    SuiteDatabaseTest::SetUp();
    if (IsSkipped() || HasFatalFailure())
        return;
    ASSERT_TRUE(m_home.isValid());
    platform::setProgramFolder(m_home.path());
    for (const char *tabla : {"V_TA_UNIDAD", "V_TA_RUBROS", "V_TA_TIPOARTICULO", "V_TA_FAMILIAS", "S_TA_EQUIV"})
        exec(QStringLiteral("DELETE FROM ") + QString::fromLatin1(tabla));
    ModGlobal::gCantidadDecimales = QStringLiteral("2");
}

void ArticlesDatabaseTest::TearDown()
{
    ModGlobal::gCantidadDecimales.clear();
    platform::setProgramFolder(QString());
    SuiteDatabaseTest::TearDown();
}

namespace {
QString q(const QString &texto)
{
    return QLatin1Char('\'') + QString(texto).replace(u'\'', QStringLiteral("''")) + u'\'';
}
} // namespace

void ArticlesDatabaseTest::configurar(const QString &clave, const QString &valor)
{
    exec(QStringLiteral("INSERT INTO TA_CONFIGURACION (CLAVE, VALOR) VALUES (%1, %2)").arg(q(clave), q(valor)));
}

void ArticlesDatabaseTest::cuenta(const QString &codigo, const QString &opcional, const QString &razonSocial,
                                  const QString &tipoVista)
{
    exec(QStringLiteral("INSERT INTO MA_CUENTAS (Codigo, CodigoOpcional, Descripcion, Razon_Social, TipoVista) "
                        "VALUES (%1, %2, %3, %3, %4)")
             .arg(q(codigo), q(opcional), q(razonSocial), tipoVista.isNull() ? QStringLiteral("NULL") : q(tipoVista)));
}

void ArticlesDatabaseTest::unidad(const QString &codigo, const QString &descripcion)
{
    exec(QStringLiteral("INSERT INTO V_TA_UNIDAD (IdUnidad, Descripcion) VALUES (%1, %2)")
             .arg(q(codigo), q(descripcion)));
}

void ArticlesDatabaseTest::rubro(const QString &codigo, const QString &descripcion)
{
    exec(QStringLiteral("INSERT INTO V_TA_RUBROS (IdRubro, Descripcion) VALUES (%1, %2)")
             .arg(q(codigo), q(descripcion)));
}

void ArticlesDatabaseTest::tipo(const QString &codigo, const QString &descripcion)
{
    exec(QStringLiteral("INSERT INTO V_TA_TIPOARTICULO (IdTipo, Descripcion) VALUES (%1, %2)")
             .arg(q(codigo), q(descripcion)));
}

void ArticlesDatabaseTest::lista(const QString &codigo, const QString &descripcion)
{
    exec(QStringLiteral("INSERT INTO V_MA_PRECIOSCAB (IdLista, Descripcion, TipoLista) VALUES (%1, %2, 'V')")
             .arg(q(pad(codigo, 4)), q(descripcion)));
}

void ArticlesDatabaseTest::articulo(const QString &id, const QString &codigoBarra, const QString &descripcion)
{
    exec(QStringLiteral("INSERT INTO V_MA_ARTICULOS (IdArticulo, CodigoBarra, Descripcion) VALUES (%1, %2, %3)")
             .arg(q(pad(id, 25)), q(pad(codigoBarra, 25)), q(descripcion)));
}

QString ArticlesDatabaseTest::fila(const QString &sql)
{
    auto rs = cnn().Execute(sql);
    if (!rs || rs->State() != ado::adStateOpen || rs->EOF())
        return QString();
    QStringList valores;
    for (int i = 0; i < rs->fields().Count(); ++i) {
        const platform::Variant v = rs->field(i).Value();
        valores << (v.isNull() ? QStringLiteral("<null>") : v.toString());
    }
    return valores.join(QLatin1Char('|'));
}
