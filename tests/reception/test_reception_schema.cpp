// The suite's tables and views as the reception writes them, on every engine.

#include "ReceptionDatabase.h"
#include "tests/core/QtPrint.h"

#include "reception/ImportadorTabla.h"
#include "reception/Renglon.h"

#include "db/DB_Dll.h"
#include "platform/ado/Backend.h"
#include "platform/ado/Recordset.h"

#include <QStringList>

namespace {

class SuiteSchema : public ReceptionDatabaseTest {
protected:
    // The calendar procedure as the import runs it (SQLite emulates it with a view).
    void createCalendar(int year) { exec(recepcion::sentenciaCalendario(gDB(), year)); }
};

TEST_P(SuiteSchema, PackageTablesEndWithReceptionAndTransmission)
{
    const QStringList tables = {"V_TA_UNIDAD",     "V_TA_RUBROS",      "V_TA_TIPOARTICULO",  "V_TA_POLITICAPRECIOS",
                                "V_TA_PERCEPCION", "V_TA_FAMILIAS",    "V_TA_TARIFAFLETE",   "TA_ESTADOS",
                                "TA_PAISES",       "TA_TIPODOCUMENTO", "TA_CONDIVA",         "V_TA_CPRA_VTA",
                                "V_TA_CATEGORIA",  "V_TA_VENDEDORES",  "V_TA_MOTIVOCPRA",    "V_TA_MOTIVOVTA",
                                "V_TA_DEPOSITO",   "V_TA_TECNICOS",    "MA_CUENTAS",         "MA_CUENTASADIC",
                                "V_TA_TAREAS",     "V_MA_INSUMOS",     "V_MA_INSUMOSTAREAS", "V_MA_ARTICULOS",
                                "S_TA_EQUIV",      "V_MA_PRECIOSCAB",  "V_MA_PRECIOS",       "B_CODIGOS",
                                "B_ALIAS"};
    for (const QString &table : tables) {
        auto rs = cnn().Execute(QStringLiteral("SELECT * FROM ") + table);
        const ado::Fields fields = rs->fields();
        ASSERT_GE(fields.Count(), 3) << table.toStdString();
        EXPECT_EQ(fields.Item(fields.Count() - 2).Name().toUpper(), QStringLiteral("RECEPCION")) << table.toStdString();
        EXPECT_EQ(fields.Item(fields.Count() - 1).Name().toUpper(), QStringLiteral("TRANSMISION"))
            << table.toStdString();
    }
}

// Each view takes INSERT, UPDATE and DELETE into its base table; a column the write
// leaves out takes the table's default.
TEST_P(SuiteSchema, ViewsTakeEveryWrite)
{
    struct Case {
        const char *name;
        const char *insert;
        const char *update;
        const char *check; // reads the base table after the update
        const char *expected;
        const char *remove;
        const char *base;
    };
    const Case cases[] = {
        {"articles", "INSERT INTO V_MA_ARTICULOS (IdArticulo, Descripcion, Precio1) VALUES ('   A1', 'Tornillo', 12.5)",
         "UPDATE V_MA_ARTICULOS SET Descripcion = 'Tornillo 8' WHERE IdArticulo = '   A1'",
         "SELECT Descripcion, Suspendido, TRANSMISION FROM MA_ARTICULOS", "Tornillo 8|Falso|0",
         "DELETE FROM V_MA_ARTICULOS WHERE IdArticulo = '   A1'", "MA_ARTICULOS"},
        {"price lists", "INSERT INTO V_MA_PRECIOSCAB (IdLista, Descripcion, TipoLista) VALUES ('   1', 'Lista', 'V')",
         "UPDATE V_MA_PRECIOSCAB SET Descripcion = 'Mayorista' WHERE IdLista = '   1'",
         "SELECT Descripcion, IncluyeIva, TRANSMISION FROM MA_PRECIOSCAB", "Mayorista|Falso|0",
         "DELETE FROM V_MA_PRECIOSCAB WHERE IdLista = '   1'", "MA_PRECIOSCAB"},
        {"prices",
         "INSERT INTO V_MA_PRECIOS (IdLista, IdArticulo, Costo, TipoLista) VALUES ('   1', '   A1', 3.25, 'V')",
         "UPDATE V_MA_PRECIOS SET Precio = 7.5 WHERE IdLista = '   1' AND IdArticulo = '   A1'",
         "SELECT Precio, Costo, TRANSMISION FROM MA_PRECIOS", "7,5|3,25|0",
         "DELETE FROM V_MA_PRECIOS WHERE IdLista = '   1' AND IdArticulo = '   A1'", "MA_PRECIOS"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        exec(QString::fromUtf8(c.insert));
        EXPECT_EQ(count(QString::fromUtf8(c.base)), 1);
        exec(QString::fromUtf8(c.update));
        auto rs = cnn().Execute(QString::fromUtf8(c.check));
        ASSERT_FALSE(rs->EOF());
        QStringList values;
        for (int i = 0; i < rs->fields().Count(); ++i)
            values << rs->field(i).Value().toString();
        EXPECT_EQ(values.join(QLatin1Char('|')), QString::fromUtf8(c.expected));
        exec(QString::fromUtf8(c.remove));
        EXPECT_EQ(count(QString::fromUtf8(c.base)), 0);
    }
}

// The withdrawn-price line of a package deletes through the price view by its list type.
TEST_P(SuiteSchema, PriceDeletionLineRunsOnTheView)
{
    exec(QStringLiteral("INSERT INTO V_MA_PRECIOSCAB (IdLista, TipoLista) VALUES ('   2', 'V')"));
    exec(QStringLiteral("INSERT INTO V_MA_PRECIOS (IdLista, IdArticulo, Precio) VALUES ('   2', '%1', 10)")
             .arg(QStringLiteral("X9").rightJustified(25)));
    exec(QStringLiteral("DELETE FROM V_MA_PRECIOS WHERE TIPOLISTA='V' AND IDLISTA='   2' AND IDARTICULO='%1'")
             .arg(QStringLiteral("X9").rightJustified(25)));
    EXPECT_EQ(count(QStringLiteral("MA_PRECIOS")), 0);
}

TEST_P(SuiteSchema, CalendarProcedureFillsAYearOnce)
{
    const QString entry = QStringLiteral(
        "INSERT INTO MV_ASIENTOS (CUENTA, SECUENCIA, MES_OPERATIVO, [NUMERO ASIENTO], PERIODO, TIPO_REG, FECHA, "
        "[DEBE-HABER], IMPORTE) VALUES ('1.1.01', 1, 3, 7, '2024', '   1', '%1', 'D', 150.5)");
    try {
        exec(entry.arg(QStringLiteral("15/03/2024")));
        FAIL() << "an entry outside the calendar must be refused";
    } catch (const platform::RuntimeError &e) {
        EXPECT_EQ(e.Number(), ado::errnum::IntegrityViolation);
        EXPECT_EQ(cnn().errors().Item(0).NativeError, ado::native::ConstraintConflict);
    }
    createCalendar(2024);
    createCalendar(2024);
    EXPECT_EQ(count(QStringLiteral("TA_CALENDARIO")), 366);
    EXPECT_EQ(scalar(QStringLiteral("SELECT MES_OPERATIVO FROM TA_CALENDARIO WHERE FECHA = '29/02/2024'")),
              QStringLiteral("2"));
    exec(entry.arg(QStringLiteral("15/03/2024")));
    EXPECT_EQ(scalar(QStringLiteral("SELECT [DEBE-HABER] FROM MV_ASIENTOS WHERE [NUMERO ASIENTO] = 7")),
              QStringLiteral("D"));
}

TEST_P(SuiteSchema, LocalColumnListOfATable)
{
    QString tipos;
    const QStringList fuera = {"ID", "IMAGEN", "TRANSMISION", "RECEPCION"};
    EXPECT_EQ(recepcion::VerificaCampos("V_TA_UNIDAD", gDB(), fuera, true, tipos).toUpper(),
              QStringLiteral("[IDUNIDAD],[DESCRIPCION],[ABREVIATURA],[DECIMALES]"));
    EXPECT_EQ(tipos.split(QLatin1Char(',')).size(), 4) << tipos.toStdString();
    EXPECT_EQ(recepcion::VerificaCampos("V_TA_UNIDAD", gDB(), {"idunidad", "abreviatura"}, false, tipos).toUpper(),
              QStringLiteral("DESCRIPCION,DECIMALES,RECEPCION,TRANSMISION"));
    EXPECT_EQ(recepcion::VerificaCampos("NO_EXISTE", gDB(), fuera, true, tipos), QString());
    EXPECT_TRUE(tipos.isEmpty());
}

IMAESTROS_DATABASE_TESTS(SuiteSchema);

} // namespace
