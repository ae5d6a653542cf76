// The stamps a sending owes, written set-wise through a temporary table of keys: exactly the
// rows added are stamped, keys holding NULL included, across several INSERT batches.

#include "SendingDatabase.h"

#include "sending/ListaMarcas.h"

#include "db/DB_Dll.h"
#include "platform/ado/Connection.h"

namespace {

class MarcasTest : public SendingDatabaseTest {};

TEST_P(MarcasTest, StampsExactlyTheRowsAddedNullKeysIncluded)
{
    recreateTable(QStringLiteral("VK_PRUEBA_MARCAS"),
                  QStringLiteral("A varchar(10) NULL, B int NULL, C varchar(20) NULL, TRANSMISION int NULL"));
    constexpr int kFilas = 1500;
    const auto a = [](int i) {
        return i % 7 == 0 ? platform::Variant::null() : platform::Variant(QStringLiteral("a%1").arg(i));
    };
    const auto b = [](int i) {
        return i % 5 == 0 && i % 7 != 0 ? platform::Variant::null() : platform::Variant(static_cast<long long>(i));
    };
    envio::Sentencia insertar(
        cnn(), QStringLiteral("INSERT INTO VK_PRUEBA_MARCAS (A, B, C, TRANSMISION) VALUES (?, ?, 'x', 0)"));
    cnn().BeginTrans();
    for (int i = 0; i < kFilas; ++i)
        insertar.ejecutar({a(i), b(i)});
    cnn().CommitTrans();

    envio::ListaMarcas marcas;
    const int marca =
        marcas.sentencia(QStringLiteral("VK_PRUEBA_MARCAS"), QStringLiteral("C = 'enviada', TRANSMISION = ?"),
                         {QStringLiteral("A"), QStringLiteral("B")}, true);
    for (int i = 0; i < kFilas; i += 2)
        marcas.agregar(marca, {a(i), b(i)});
    ado::Connection &db = gDB().gCnn;
    long ultimo = 0;
    db.BeginTrans();
    marcas.aplicar(db, platform::Variant(7), [&](long hechas) { ultimo = hechas; });
    db.CommitTrans();

    EXPECT_EQ(ultimo, kFilas / 2);
    EXPECT_EQ(count(QStringLiteral("VK_PRUEBA_MARCAS"), QStringLiteral("TRANSMISION = 7 AND C = 'enviada'")),
              kFilas / 2);
    EXPECT_EQ(count(QStringLiteral("VK_PRUEBA_MARCAS"), QStringLiteral("TRANSMISION = 0 AND C = 'x'")), kFilas / 2);
    EXPECT_EQ(count(QStringLiteral("VK_PRUEBA_MARCAS"), QStringLiteral("TRANSMISION = 7 AND B % 2 = 1")), 0);
    EXPECT_EQ(count(QStringLiteral("VK_PRUEBA_MARCAS"), QStringLiteral("TRANSMISION = 7 AND A IS NULL")),
              count(QStringLiteral("VK_PRUEBA_MARCAS"), QStringLiteral("A IS NULL AND B % 2 = 0")));
    exec(QStringLiteral("DROP TABLE VK_PRUEBA_MARCAS"));
}

IMAESTROS_DATABASE_TESTS(MarcasTest);

} // namespace
