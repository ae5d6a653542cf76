// Accounting entries: written entry by entry in transactions, a failed entry rejected whole,
// the fiscal calendar offered when an entry's date has none; and voucher actions, which
// delete the accounting row they name.

#include "PaqueteDePrueba.h"
#include "ReceptionDatabase.h"
#include "tests/core/QtPrint.h"

#include "reception/ErroresRecepcion.h"
#include "reception/ImportadorTabla.h"

#include "db/DB_Dll.h"
#include "platform/TextFile.h"

#include <QDir>

namespace {

using recepcion::ResultadoTabla;

const QStringList kAsiento = {"CUENTA", "SECUENCIA",   "MES_OPERATIVO", "NUMERO ASIENTO", "PERIODO",   "TIPO_REG",
                              "FECHA",  "Descripcion", "DEBE-HABER",    "IMPORTE",        "RECEPCION", "TRANSMISION"};

QString linea(const char *cuenta, int secuencia, int asiento, const char *fecha, const char *importe)
{
    return fila({cuenta, QString::number(secuencia), "3", QString::number(asiento), "2024", "   1", fecha,
                 "Venta O'Brien", "D", importe});
}

class ReceptionAccounting : public ReceptionDatabaseTest {
protected:
    ResultadoTabla importar(const QString &tabla, const PaqueteDePrueba &paquete)
    {
        const QString carpeta = QDir(home()).filePath(QStringLiteral("paquete"));
        QDir(carpeta).removeRecursively();
        QDir().mkpath(carpeta);
        EXPECT_TRUE(paquete.escribirCarpeta(carpeta).ok());
        EXPECT_TRUE(m_errores.abrir(QDir(carpeta).filePath(QStringLiteral("Errores.TXT"))).ok());
        recepcion::ContextoImportacion ctx{
            gDB(), m_estado, m_errores, m_vista, recepcion::ArchivosPaquete(carpeta), QStringLiteral("3"), false, {}};
        recepcion::ImportadorTabla importador(ctx);
        const ResultadoTabla r = importador.ImportarTabla(tabla, false);
        EXPECT_TRUE(m_errores.cerrar().ok());
        return r;
    }
    QString errores() const
    {
        const auto text = platform::textfile::readAll(m_errores.ruta());
        return text.ok() ? text.value() : QString();
    }
    recepcion::EstadoRecepcion m_estado;
    recepcion::ErroresRecepcion m_errores;
    recepcion::VistaRecepcion m_vista;
};

TEST_P(ReceptionAccounting, AnEntryWithoutItsCalendarOffersToCreateItAndEndsTheProgram)
{
    PaqueteDePrueba p;
    p.tabla("MV_ASIENTOS", kAsiento,
            {linea("1.1.01", 1, 7, "15/03/2024", "150,5"), linea("2.1.01", 2, 7, "15/03/2024", "150,5")});
    operatorScript().expect("Debe crear el calendario para el año 2024 y volver a realizar la recepción",
                            platform::vbYes);
    operatorScript().expect("El calendario para el año 2024 se ha creado con éxito.Deberá ejecutar", platform::vbOK);
    EXPECT_EQ(importar("MV_ASIENTOS", p), ResultadoTabla::Terminar);
    EXPECT_TRUE(m_estado.FinalizarPrograma);
    EXPECT_EQ(count("MV_ASIENTOS"), 0);
    EXPECT_EQ(count("TA_CALENDARIO"), 366);
    EXPECT_EQ(m_estado.CantErrores, 2);
    EXPECT_TRUE(errores().contains(QStringLiteral("Línea 1: error 547"))) << errores().toStdString();
    EXPECT_TRUE(errores().contains(QStringLiteral("Línea 2: error 547")));

    // Declined: nothing is created and the program ends all the same.
    p.tabla("MV_ASIENTOS", kAsiento, {linea("1.1.01", 1, 8, "02/01/2025", "10")});
    operatorScript().expect("Debe crear el calendario para el año 2025", platform::vbNo);
    m_estado = {};
    EXPECT_EQ(importar("MV_ASIENTOS", p), ResultadoTabla::Terminar);
    EXPECT_EQ(count("TA_CALENDARIO"), 366);
}

TEST_P(ReceptionAccounting, EntriesAreWrittenWholeOrRejectedWhole)
{
    exec(recepcion::sentenciaCalendario(gDB(), 2024));
    PaqueteDePrueba p;
    p.tabla("MV_ASIENTOS", kAsiento,
            {linea("1.1.01", 1, 7, "15/03/2024", "150,5"), linea("2.1.01", 2, 7, "15/03/2024", "150,5"),
             // The second entry has a line that cannot be stored: the whole entry stays out.
             linea("1.1.01", 1, 8, "16/03/2024", "20"), linea("2.1.01", 2, 8, "16/03/2024", "veinte"),
             linea("1.1.01", 1, 9, "17/03/2024", "NULL")});
    operatorScript().expect("Se han producido errores de actualización", platform::vbOK);
    EXPECT_EQ(importar("MV_ASIENTOS", p), ResultadoTabla::Completa);
    EXPECT_EQ(count("MV_ASIENTOS"), 3);
    EXPECT_EQ(m_estado.CantErrores, 2);
    EXPECT_TRUE(errores().contains(QStringLiteral("Línea 3: otra línea del mismo asiento fue rechazada")));
    EXPECT_TRUE(errores().contains(QStringLiteral("Línea 4: la columna IMPORTE espera un número")));
    EXPECT_EQ(scalar("SELECT [DEBE-HABER] FROM MV_ASIENTOS WHERE [NUMERO ASIENTO] = 7 AND SECUENCIA = 2"),
              QStringLiteral("D"));
    EXPECT_EQ(scalar("SELECT Descripcion FROM MV_ASIENTOS WHERE [NUMERO ASIENTO] = 9"),
              QStringLiteral("Venta O'Brien"));
    EXPECT_EQ(scalar("SELECT RECEPCION FROM MV_ASIENTOS WHERE [NUMERO ASIENTO] = 9"), QStringLiteral("3"));

    // Received again, an entry replaces its stored rows.
    p.tabla("MV_ASIENTOS", kAsiento, {linea("1.1.01", 1, 7, "15/03/2024", "99")});
    m_estado = {};
    EXPECT_EQ(importar("MV_ASIENTOS", p), ResultadoTabla::Completa);
    EXPECT_EQ(count("MV_ASIENTOS"), 3);
    EXPECT_EQ(scalar("SELECT IMPORTE FROM MV_ASIENTOS WHERE [NUMERO ASIENTO] = 7 AND SECUENCIA = 1"),
              QStringLiteral("99"));
}

TEST_P(ReceptionAccounting, AVoucherActionDeletesTheRowItNames)
{
    exec("INSERT INTO TA_CALENDARIO (FECHA) VALUES ('15/03/2024')");
    const QString insert = QStringLiteral(
        "INSERT INTO MV_ASIENTOS (CUENTA, SECUENCIA, MES_OPERATIVO, [NUMERO ASIENTO], PERIODO, TIPO_REG, FECHA, TC, "
        "SUCURSAL, NUMERO, LETRA) VALUES ('%1', %2, 3, 7, '  2024', '   1', '15/03/2024', 'FC', '0001', '%3', 'A')");
    exec(insert.arg("1.1.01").arg(1).arg("00001234"));
    exec(insert.arg("2.1.01").arg(2).arg("00009999"));
    PaqueteDePrueba p;
    p.tabla("V_MV_CPTEACCIONES",
            {"TC", "IDCOMPROBANTE", "PERIODO", "TIPO_REG", "FECHA", "MES_OPERATIVO", "NUMEROASIENTO", "RECEPCION",
             "TRANSMISION"},
            {fila({"FC", "000100001234A", "2024", "1", "15/03/2024", "3", "7"}),
             fila({"FC", "000100005555A", "2024", "1", "15/03/2024", "3", "7"})});
    EXPECT_EQ(importar("V_MV_CPTEACCIONES", p), ResultadoTabla::Completa);
    EXPECT_EQ(m_estado.CantErrores, 0) << errores().toStdString();
    EXPECT_EQ(count("MV_ASIENTOS"), 1);
    EXPECT_EQ(scalar("SELECT NUMERO FROM MV_ASIENTOS"), QStringLiteral("00009999"));
}

IMAESTROS_DATABASE_TESTS(ReceptionAccounting);

} // namespace
