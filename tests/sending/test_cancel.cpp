// The cancellation of a transmission of movements, and the bulk stamping of unsent rows.

#include "SendingDatabase.h"

#include "tests/core/QtPrint.h"

#include "sending/AnulaTrans.h"
#include "sending/MarcarTransmitidos.h"

#include "db/DB_Dll.h"
#include "platform/suite/Estado.h"

namespace {

// A status window that records what it is shown and can ask to stop at a given line.
class EstadoGrabado : public platform::suite::Estado {
public:
    static QStringList &lineas()
    {
        static QStringList l;
        return l;
    }
    static QString &detenerEn()
    {
        static QString d;
        return d;
    }
    void Mostrar(const QString &titulo, int) override { lineas() << QStringLiteral("Mostrar ") + titulo; }
    void Actualizar(short &detener, const QString &l1, const QString &l2, const QString &l3) override
    {
        const QString linea = QStringList{l1, l2, l3}.join(QLatin1Char('|'));
        lineas() << linea;
        if (!detenerEn().isEmpty() && linea == detenerEn())
            detener = 1;
    }
    void Cerrar() override { lineas() << QStringLiteral("Cerrar"); }
};

class AnulacionTest : public SendingDatabaseTest {
protected:
    void SetUp() override
    {
        SendingDatabaseTest::SetUp();
        if (IsSkipped())
            return;
        EstadoGrabado::lineas().clear();
        EstadoGrabado::detenerEn().clear();
        platform::suite::releaseEstado();
        platform::suite::setEstadoFactory([] { return std::make_unique<EstadoGrabado>(); });
        // Transmission 5 of movements, 6 another one; rows of both, the same keys in places.
        for (const char *sql : {
                 "INSERT INTO MV_TRANSMISIONES (TIPO, TRANSMISION, ANULADO) VALUES ('T', 5, 0)",
                 "INSERT INTO MV_TRANSMISIONES (TIPO, TRANSMISION, ANULADO) VALUES ('M', 5, 0)",
                 "INSERT INTO V_MV_CPTE (TC, IDCOMPROBANTE, IDCOMPLEMENTO, TRANSMISION) VALUES ('FA', '000100000001A', "
                 "0, 5)",
                 "INSERT INTO V_MV_CPTE (TC, IDCOMPROBANTE, IDCOMPLEMENTO, TRANSMISION) VALUES ('FA', '000100000002A', "
                 "0, 5)",
                 "INSERT INTO V_MV_CPTE (TC, IDCOMPROBANTE, IDCOMPLEMENTO, TRANSMISION) VALUES ('FA', '000100000003A', "
                 "0, 6)",
                 // The catalogue keys these by CODIGO only: the row of transmission 6 must stay.
                 "INSERT INTO TA_COMPROBANTES (CODIGO, TALONARIO, TRANSMISION) VALUES ('FA', 1, 5)",
                 "INSERT INTO TA_COMPROBANTES (CODIGO, TALONARIO, TRANSMISION) VALUES ('FA', 2, 6)",
                 // A price whose list has no header: its TipoLista key is Null.
                 "INSERT INTO MA_PRECIOS (IdLista, IdArticulo, Precio, TRANSMISION) VALUES ('   1', 'A1', 1, 5)",
                 "INSERT INTO MA_CUENTAS (Codigo, Descripcion, TRANSMISION) VALUES ('1.1', 'Caja', 5)",
                 "INSERT INTO AUX_MV_APLICACION_TR (TRANSMISION, idAplicacion) VALUES (5, 1)",
                 "INSERT INTO AUX_MV_APLICACION_TR (TRANSMISION, idAplicacion) VALUES (5, 2)",
                 "INSERT INTO AUX_MV_APLICACION_TR (TRANSMISION, idAplicacion) VALUES (6, 1)",
             })
            exec(QString::fromUtf8(sql));
    }
    void TearDown() override
    {
        platform::suite::releaseEstado();
        platform::suite::setEstadoFactory(nullptr);
        SendingDatabaseTest::TearDown();
    }
    QString anulada(const char *tipo)
    {
        return scalar(QStringLiteral("SELECT COUNT(*) FROM MV_TRANSMISIONES WHERE TRANSMISION = 5 AND TIPO = '%1' "
                                     "AND ANULADO = 1")
                          .arg(QLatin1String(tipo)));
    }
};

TEST_P(AnulacionTest, ResetsOnlyItsOwnRowsAndMarksTheTransmission)
{
    ASSERT_TRUE(AnulaTrans::AnularTransmision(5, QStringLiteral("t"), gDB()).ok());
    EXPECT_EQ(count(QStringLiteral("V_MV_CPTE"), QStringLiteral("TRANSMISION = 0")), 2);
    EXPECT_EQ(count(QStringLiteral("V_MV_CPTE"), QStringLiteral("TRANSMISION = 6")), 1);
    EXPECT_EQ(scalar(QStringLiteral("SELECT TRANSMISION FROM TA_COMPROBANTES WHERE TALONARIO = 1")),
              QStringLiteral("0"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT TRANSMISION FROM TA_COMPROBANTES WHERE TALONARIO = 2")),
              QStringLiteral("6"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT TRANSMISION FROM MA_PRECIOS")), QStringLiteral("0"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT TRANSMISION FROM MA_CUENTAS")), QStringLiteral("0"));
    EXPECT_EQ(count(QStringLiteral("AUX_MV_APLICACION_TR")), 1);
    EXPECT_EQ(count(QStringLiteral("AUX_MV_APLICACION_TR"), QStringLiteral("TRANSMISION = 6")), 1);
    EXPECT_EQ(anulada("T"), QStringLiteral("1"));
    EXPECT_EQ(anulada("M"), QStringLiteral("0"));
    EXPECT_TRUE(EstadoGrabado::lineas().contains(QStringLiteral("V_MV_CPTE|2 de 2|")));
}

TEST_P(AnulacionTest, OtherTypesDoNothing)
{
    for (const char *tipo : {"M", "N", ""})
        EXPECT_TRUE(AnulaTrans::AnularTransmision(5, QString::fromLatin1(tipo), gDB()).ok()) << tipo;
    EXPECT_TRUE(EstadoGrabado::lineas().isEmpty());
    EXPECT_EQ(count(QStringLiteral("V_MV_CPTE"), QStringLiteral("TRANSMISION = 5")), 2);
    EXPECT_EQ(anulada("T"), QStringLiteral("0"));
}

TEST_P(AnulacionTest, AFailedStepLeavesTheTransmissionUncancelled)
{
    exec(QStringLiteral("DROP TABLE V_MV_STOCK"));
    operatorScript().expect(QStringLiteral("no se marcó como anulada"), platform::vbOK);
    EXPECT_FALSE(AnulaTrans::AnularTransmision(5, QStringLiteral("T"), gDB()).ok());
    EXPECT_EQ(count(QStringLiteral("V_MV_CPTE"), QStringLiteral("TRANSMISION = 0")), 2); // the rest was done
    EXPECT_EQ(anulada("T"), QStringLiteral("0"));
}

TEST_P(AnulacionTest, AStopRequestEndsTheRunUnmarked)
{
    EstadoGrabado::detenerEn() = QStringLiteral("V_MV_CPTE|1 de 2|");
    EXPECT_FALSE(AnulaTrans::AnularTransmision(5, QStringLiteral("T"), gDB()).ok());
    EXPECT_EQ(count(QStringLiteral("V_MV_CPTE"), QStringLiteral("TRANSMISION = 5")), 2);
    EXPECT_EQ(anulada("T"), QStringLiteral("0"));
}

IMAESTROS_DATABASE_TESTS(AnulacionTest);

class MarcadoTest : public SendingDatabaseTest {};

TEST_P(MarcadoTest, StampsEveryUnsentRowOnce)
{
    pruebas::llenarMaestros(cnn());
    exec(QStringLiteral("UPDATE V_TA_UNIDAD SET TRANSMISION = 3 WHERE IdUnidad = '  K1'"));
    exec(QStringLiteral("UPDATE MA_PRECIOS SET TRANSMISION = NULL"));
    envio::VistaEnvio vista;
    const auto marcado = envio::MarcarTransmitidos(
        gDB(), [] { return QStringLiteral("7"); }, QStringLiteral("K2"), vista);
    ASSERT_TRUE(marcado.ok()) << marcado.message().toStdString();
    EXPECT_EQ(marcado.value().tablas, 24);
    EXPECT_EQ(marcado.value().articulos, 3);
    EXPECT_EQ(marcado.value().precios, 1);
    EXPECT_EQ(count(QStringLiteral("V_TA_UNIDAD"), QStringLiteral("TRANSMISION = 7")), 2);
    EXPECT_EQ(count(QStringLiteral("V_TA_UNIDAD"), QStringLiteral("TRANSMISION = 3")), 1);
    EXPECT_EQ(count(QStringLiteral("V_MA_ARTICULOS"), QStringLiteral("TRANSMISION = 7 AND DESDETRIGGER = 1")), 3);
    EXPECT_EQ(count(QStringLiteral("MA_PRECIOS"), QStringLiteral("TRANSMISION = 7 AND IdLista = '  K2'")), 1);
    EXPECT_EQ(count(QStringLiteral("MA_PRECIOS"), QStringLiteral("TRANSMISION IS NULL")), 2);
    EXPECT_EQ(count(QStringLiteral("S_TA_EQUIV"), QStringLiteral("TRANSMISION = 0")), 3);
}

TEST_P(MarcadoTest, ANumberThatIsNotDigitsStampsNothing)
{
    pruebas::llenarMaestros(cnn(), 1);
    envio::VistaEnvio vista;
    for (const char *numero : {"7 OR 1=1", "", " 7"})
        EXPECT_FALSE(envio::MarcarTransmitidos(
                         gDB(), [&] { return QString::fromLatin1(numero); }, QString(), vista)
                         .ok())
            << numero;
    EXPECT_EQ(count(QStringLiteral("V_TA_UNIDAD"), QStringLiteral("TRANSMISION <> 0")), 0);
}

IMAESTROS_DATABASE_TESTS(MarcadoTest);

} // namespace
