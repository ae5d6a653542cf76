// A group's rows written set-wise (on a server engine) end exactly as rows written one at a
// time: the same rows and values, counters and error file, with new and existing rows mixed
// in a group, a key seen twice, rows of different column sets, a row the database refuses,
// price withdrawals between the rows, groups that end in the middle, and "Permitir solo
// altas". On the embedded engine both ways are one at a time; the cases hold there too.

#include "PaqueteDePrueba.h"
#include "ReceptionDatabase.h"
#include "tests/core/QtPrint.h"

#include "reception/ImportadorTabla.h"
#include "reception/RecepcionMaestros.h"

#include "db/DB_Dll.h"
#include "platform/Logger.h"
#include "platform/TextFile.h"
#include "platform/ado/Connection.h"
#include "platform/ado/Recordset.h"

#include <QDir>

namespace {

using recepcion::FinRecepcion;
using recepcion::ImportadorTabla;
using recepcion::ResumenRecepcion;

QString art(const char *codigo) { return QString::fromUtf8(codigo).rightJustified(25); }

const QStringList kUnidad = {"IdUnidad", "Descripcion", "Abreviatura", "Decimales", "RECEPCION", "TRANSMISION"};
const QStringList kVendedor = {"IdVendedor", "Nombre", "Comision", "FechaAlta", "Activo", "RECEPCION", "TRANSMISION"};
const QStringList kEquiv = {"IdArticulo",  "IdUnidad",  "IdUnidad_Equiv", "Factor",
                            "Coeficiente", "RECEPCION", "TRANSMISION"};
const QStringList kPrecio = {"IdLista", "IdArticulo", "Precio", "TipoLista", "RECEPCION", "TRANSMISION"};

PaqueteDePrueba paqueteMezclado(bool conRechazo)
{
    PaqueteDePrueba p;
    p.tabla("V_TA_UNIDAD", kUnidad,
            {
                fila({"   1", "Unidad nueva", "UN", "2"}),             // existing
                fila({"   2", "Dos", "NULL", "1"}),                    // new, without Abreviatura
                fila({"   3", "Tres", "TR", "NULL"}),                  // new, without Decimales
                fila({"a", "alfa minúscula", "al", "0"}),              // existing as "   A"
                fila({"2", "Dos otra vez", "DO", "NULL"}),             // the key of line 2 again
                conRechazo ? fila({"   6", "Dos otra vez", "SE", "1"}) // refused: Descripcion is unique
                           : fila({"   6", "Seis", "SE", "1"}),
                fila({"   7", "Siete", "SI", "3"}),             // new
                fila({"   1", "Unidad de nuevo", "NULL", "5"}), // existing, seen again
            });
    p.tabla("V_TA_VENDEDORES", kVendedor,
            {
                fila({"   1", "Ana", "2", "31/12/2020", "1"}),            // existing, whole number
                fila({"   2", "Bea", "2,5", "01/02/2021 10:30:00", "0"}), // new, a fraction
                fila({"   3", "Carla", "3", "NULL", "1"}),                // new, no date
                fila({"   4", "Dora", "NULL", "15/03/2024", "NULL"}),     // new, fewer columns
                fila({"   2", "Bea María", "12,75", "NULL", "1"}),        // the key of line 2 again
            });
    p.tabla("S_TA_EQUIV", kEquiv,
            {
                fila({art("A1"), "   1", "   2", "12", "1"}),     // existing
                fila({art("A1"), "   1", "   3", "6,5", "NULL"}), // new
                fila({art("A1"), "   2", "   1", "0,5", "2"}),    // new: the same terms in another order
                fila({art("a1"), "1", "2", "24", "NULL"}),        // the first key again, in other case
            });
    p.tabla("V_MA_PRECIOS", kPrecio,
            {
                fila({"   1", art("A1"), "10,25", "V"}), // existing
                fila({"   1", art("B2"), "7", "V"}),     // new
                QStringLiteral("DELETE FROM V_MA_PRECIOS WHERE TIPOLISTA='V' AND IDLISTA='   1' AND IDARTICULO='%1'")
                    .arg(art("A1")),
                fila({"   1", art("A1"), "11", "V"}),   // inserted again after its withdrawal
                fila({"   2", art("A1"), "NULL", "V"}), // new, without a price
                fila({"   1", art("B2"), "8,5", "V"}),  // the key of line 2 again
            });
    return p;
}

class ReceptionSetwise : public ReceptionDatabaseTest {
protected:
    struct Resultado {
        long inserciones = 0, modificaciones = 0, rechazados = 0, leidos = 0;
        int repeticiones = 0; // groups written again one row at a time
        QString errores;
        QStringList filas;
    };

    void TearDown() override
    {
        ImportadorTabla::setEscritura(ImportadorTabla::Escritura::Automatica);
        ImportadorTabla::setTamanoGrupo(2000);
        ReceptionDatabaseTest::TearDown();
    }

    // The tables as they stood before each reception.
    void sembrar()
    {
        for (const char *tabla :
             {"V_TA_UNIDAD", "V_TA_VENDEDORES", "S_TA_EQUIV", "MA_PRECIOS", "V_MA_PRECIOSCAB", "MV_TRANSMISIONES"})
            exec(QStringLiteral("DELETE FROM %1").arg(QLatin1String(tabla)));
        exec("INSERT INTO V_TA_UNIDAD (IdUnidad, Descripcion, Abreviatura, Decimales) VALUES ('   1', 'Unidad', 'U', "
             "0)");
        exec(
            "INSERT INTO V_TA_UNIDAD (IdUnidad, Descripcion, Abreviatura, Decimales) VALUES ('   A', 'Alfa', 'AL', 1)");
        exec("INSERT INTO V_TA_VENDEDORES (IdVendedor, Nombre, Comision, Activo) VALUES ('   1', 'Ana', 1.5, 0)");
        exec(QStringLiteral("INSERT INTO S_TA_EQUIV (IdArticulo, IdUnidad, IdUnidad_Equiv, Factor, Coeficiente) "
                            "VALUES ('%1', '   1', '   2', 10, 1)")
                 .arg(art("A1")));
        exec("INSERT INTO V_MA_PRECIOSCAB (IdLista, Descripcion, TipoLista) VALUES ('   1', 'Minorista', 'V')");
        exec(
            QStringLiteral("INSERT INTO V_MA_PRECIOS (IdLista, IdArticulo, Precio, TipoLista) VALUES ('   1', '%1', 9, "
                           "'V')")
                .arg(art("A1")));
    }

    QStringList volcado()
    {
        const char *consultas[] = {
            "SELECT IdUnidad, Descripcion, Abreviatura, Decimales, RECEPCION FROM V_TA_UNIDAD ORDER BY IdUnidad",
            "SELECT IdVendedor, Nombre, Comision, FechaAlta, Activo, RECEPCION FROM V_TA_VENDEDORES ORDER BY "
            "IdVendedor",
            "SELECT IdArticulo, IdUnidad, IdUnidad_Equiv, Factor, Coeficiente, RECEPCION FROM S_TA_EQUIV ORDER BY "
            "IdArticulo, IdUnidad, IdUnidad_Equiv",
            "SELECT IdLista, IdArticulo, Precio, TipoLista, RECEPCION FROM V_MA_PRECIOS ORDER BY IdLista, IdArticulo",
        };
        QStringList filas;
        for (const char *sql : consultas) {
            auto rs = gDB().gCnn.Execute(QString::fromLatin1(sql));
            for (; !rs->EOF(); rs->MoveNext()) {
                QStringList valores;
                for (int i = 0; i < rs->fields().Count(); ++i) {
                    const platform::Variant v = rs->field(i).Value();
                    valores << (v.isNull() ? QStringLiteral("<null>") : v.toString());
                }
                filas << valores.join(QLatin1Char('|'));
            }
        }
        return filas;
    }

    Resultado recibir(const PaqueteDePrueba &paquete, ImportadorTabla::Escritura escritura, int grupo,
                      bool soloAltas = false)
    {
        sembrar();
        ImportadorTabla::setEscritura(escritura);
        ImportadorTabla::setTamanoGrupo(grupo);
        const QString zip = QDir(home()).filePath(QStringLiteral("paquete.zip"));
        EXPECT_TRUE(paquete.escribir(zip).ok());
        ado::Recordset rsTabla;
        gDB().AbrirRecordset(QStringLiteral("SELECT * FROM MV_TRANSMISIONES"), rsTabla, &gDB().gCnn, ado::adOpenDynamic,
                             ado::adLockOptimistic, -1, true);
        int repeticiones = 0;
        const int oyente = platform::logger().addSink([&](platform::Logger::Level, const QString &texto) {
            repeticiones += texto.contains(QStringLiteral("escrito de nuevo fila por fila")) ? 1 : 0;
        });
        recepcion::RecepcionMaestros recepcion(gDB());
        const ResumenRecepcion r =
            recepcion.RecibirMaestros({QStringLiteral("1"), QStringLiteral("Ana"), zip, soloAltas}, rsTabla);
        platform::logger().removeSink(oyente);
        gDB().CierraRecordset(rsTabla);
        EXPECT_EQ(r.fin, FinRecepcion::Completa) << r.motivo.toStdString();
        Resultado out;
        out.inserciones = r.inserciones;
        out.modificaciones = r.modificaciones;
        out.rechazados = r.rechazados;
        out.leidos = r.leidos;
        out.repeticiones = repeticiones;
        const auto texto = platform::textfile::readAll(r.archivoErrores);
        out.errores = texto.ok() ? texto.value() : QString();
        out.filas = volcado();
        return out;
    }

    void esperarIguales(const Resultado &a, const Resultado &b)
    {
        EXPECT_EQ(a.inserciones, b.inserciones);
        EXPECT_EQ(a.modificaciones, b.modificaciones);
        EXPECT_EQ(a.rechazados, b.rechazados);
        EXPECT_EQ(a.leidos, b.leidos);
        EXPECT_EQ(a.errores, b.errores);
        EXPECT_EQ(a.filas, b.filas);
    }

    void SetUp() override
    {
        ReceptionDatabaseTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        // A constraint the package knows nothing of, for a row the database refuses.
        exec("CREATE UNIQUE INDEX UX_UNIDAD_DESCRIPCION ON V_TA_UNIDAD (Descripcion)");
    }
};

TEST_P(ReceptionSetwise, AGroupWrittenSetWiseEndsAsRowsWrittenOneAtATime)
{
    const PaqueteDePrueba paquete = paqueteMezclado(false);
    const Resultado referencia = recibir(paquete, ImportadorTabla::Escritura::FilaPorFila, 2000);
    // What one row at a time gives, checked on its own.
    EXPECT_EQ(referencia.rechazados, 0) << referencia.errores.toStdString();
    EXPECT_EQ(referencia.inserciones, 4 + 3 + 2 + 3);
    EXPECT_EQ(referencia.modificaciones, 4 + 2 + 2 + 2);
    const std::string filas = referencia.filas.join('\n').toStdString();
    for (const char *fila : {"   2|Dos otra vez|DO|1|1", "   A|alfa minúscula|al|0|1", "   1|Unidad de nuevo|UN|5|1",
                             "   2|Bea María|12,75|01/02/2021 10:30:00|Verdadero|1",
                             "   4|Dora|<null>|15/03/2024|Verdadero|1", "                       A1|   1|   2|24|1|1",
                             "   1|                       A1|11|V|1", "   1|                       B2|8,5|V|1"})
        EXPECT_TRUE(referencia.filas.contains(QString::fromUtf8(fila))) << fila << "\n" << filas;

    // Each group in a few statements, none of them failing: no group is written again.
    for (const int grupo : {2000, 3, 1}) {
        SCOPED_TRACE(grupo);
        const Resultado enConjunto = recibir(paquete, ImportadorTabla::Escritura::Automatica, grupo);
        esperarIguales(enConjunto, referencia);
        EXPECT_EQ(enConjunto.repeticiones, 0);
    }
}

TEST_P(ReceptionSetwise, ARowTheDatabaseRefusesIsRejectedAloneAndTheRestOfItsGroupWritten)
{
    const PaqueteDePrueba paquete = paqueteMezclado(true);
    // The error file shows itself after the table with the rejected row.
    for (int i = 0; i < 3; ++i)
        operatorScript().expect("Se han producido errores de actualización", platform::vbOK);
    const Resultado referencia = recibir(paquete, ImportadorTabla::Escritura::FilaPorFila, 2000);
    EXPECT_EQ(referencia.rechazados, 1);
    EXPECT_EQ(referencia.inserciones, 3 + 3 + 2 + 3);
    EXPECT_TRUE(referencia.errores.contains(QStringLiteral("Línea 6: error 2627 de la base de datos")))
        << referencia.errores.toStdString();
    EXPECT_FALSE(referencia.filas.join('\n').contains(QStringLiteral("   6|")));
    EXPECT_TRUE(referencia.filas.contains(QStringLiteral("   7|Siete|SI|3|1")));
    // Only the failing row's group is written again, whatever the group size.
    for (const int grupo : {2000, 4}) {
        SCOPED_TRACE(grupo);
        const Resultado enConjunto = recibir(paquete, ImportadorTabla::Escritura::Automatica, grupo);
        esperarIguales(enConjunto, referencia);
        EXPECT_EQ(enConjunto.repeticiones, 1);
    }
}

TEST_P(ReceptionSetwise, OnlyNewRowsLeaveTheExistingOnesAsOneRowAtATimeDoes)
{
    const PaqueteDePrueba paquete = paqueteMezclado(false);
    const Resultado referencia = recibir(paquete, ImportadorTabla::Escritura::FilaPorFila, 2000, true);
    EXPECT_EQ(referencia.modificaciones, 0);
    EXPECT_TRUE(referencia.filas.contains(QStringLiteral("   1|Unidad|U|0|<null>")))
        << referencia.filas.join('\n').toStdString();
    EXPECT_TRUE(referencia.filas.contains(QStringLiteral("   2|Dos|<null>|1|1")))
        << referencia.filas.join('\n').toStdString();
    for (const int grupo : {2000, 2}) {
        SCOPED_TRACE(grupo);
        const Resultado enConjunto = recibir(paquete, ImportadorTabla::Escritura::Automatica, grupo, true);
        esperarIguales(enConjunto, referencia);
        EXPECT_EQ(enConjunto.repeticiones, 0);
    }
}

// Many rows of a few column sets: more than one statement of each kind per group.
TEST_P(ReceptionSetwise, GroupsLargerThanOneStatementEndAsRowsWrittenOneAtATime)
{
    QStringList unidades, precios;
    for (int i = 0; i < 1500; ++i) {
        const QString codigo = QString::number(i % 1200).rightJustified(4);
        unidades << fila({codigo, QStringLiteral("Unidad %1").arg(i),
                          i % 3 ? QStringLiteral("U") : QStringLiteral("NULL"), QString::number(i % 5)});
        precios << fila({QString::number(1 + i % 2).rightJustified(4), QString::number(i % 900).rightJustified(25),
                         i % 7 ? QStringLiteral("%1,5").arg(i) : QString::number(i), "V"});
    }
    PaqueteDePrueba paquete;
    paquete.tabla("V_TA_UNIDAD", kUnidad, unidades);
    paquete.tabla("V_MA_PRECIOS", kPrecio, precios);
    const Resultado referencia = recibir(paquete, ImportadorTabla::Escritura::FilaPorFila, 2000);
    EXPECT_EQ(referencia.rechazados, 0) << referencia.errores.toStdString();
    EXPECT_EQ(referencia.inserciones + referencia.modificaciones, 3000);
    const Resultado enConjunto = recibir(paquete, ImportadorTabla::Escritura::Automatica, 2000);
    esperarIguales(enConjunto, referencia);
    EXPECT_EQ(enConjunto.repeticiones, 0);
}

IMAESTROS_DATABASE_TESTS(ReceptionSetwise);

} // namespace
