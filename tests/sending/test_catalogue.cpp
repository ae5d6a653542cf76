// The table-key catalogue, as a table of names and the keys they give.

#include "tests/core/QtPrint.h"

#include "package/Format.h"
#include "sending/TablaClaves.h"

#include <gtest/gtest.h>

namespace {

QStringList llenas(const ModGruposEmp::Claves &claves)
{
    QStringList l;
    for (const QString &c : claves) {
        if (!c.isEmpty())
            l << c;
    }
    return l;
}

TEST(TablaClaves, KeysByName)
{
    const struct {
        const char *tabla;
        QStringList claves;
    } casos[] = {
        // "@ADMIN_" in any case is dropped first.
        {"@ADMIN_V_TA_DEPOSITO", {"IDDEPOSITO"}},
        {"@admin_MA_CUENTAS", {"codigo"}},
        // The naming rule keeps the caller's spelling and drops one final S.
        {"v_ta_bancos", {"IDbanco"}},
        {"V_TA_BANCOS", {"IDBANCO"}},
        {"V_TA_Tecnicos", {"IDTecnico"}},
        {"V_TA_DESTINO", {"IDDESTINO"}},
        {"TA_Rubros", {"IDRubro"}},
        {"P_MA_Empresas", {"IDEmpresa"}},
        {"P_TA_TITULOs", {"IDTITULO"}},
        {"P_TA_Grupos", {"IDGrupo"}},
        {"P_TA_Areas", {"IDAreas"}},
        {"P_TA_Funciones", {"IDFunciones"}},
        // Fixed names in the groups.
        {"V_TA_Cajas", {"IDCajas"}},
        {"V_TA_TipoArticulo", {"IDTIPO"}},
        {"TA_TipoArticulo", {"IDTIPO"}},
        {"V_TA_CPRA_VTA", {"IDCOND_CPRA_VTA"}},
        {"MA_ARTICULOS", {"IDARTICULO", "DESCRIPCION"}},
        {"V_MA_ARTICULOS", {"IDARTICULO"}},
        // Exact names, before any prefix rule.
        {"V_MA_PRECIOS", {"IDLISTA", "TipoLista", "IDARTICULO"}},
        {"s_ta_equiv", {"IDARTICULO", "IDUNIDAD", "IDUNIDAD_EQUIV"}},
        {"S_TA_EQUIV", {"IDARTICULO", "IDUNIDAD", "IDUNIDAD_EQUIV"}},
        {"V_MA_INSUMOSTAREAS", {"IDARTICULO", "IDTAREA"}},
        {"MA_CONTACTOS", {"NOMBRE_Y_APELLIDO"}},
        {"MV_ASIENTOS",
         {"CUENTA", "SECUENCIA", "TC", "SUCURSAL", "NUMERO", "LETRA", "[NUMERO ASIENTO]", "MES_OPERATIVO"}},
        {"MV_ASIENTOSCCOSTO",
         {"PERIODO", "MES_OPERATIVO", "[NUMERO ASIENTO]", "CUENTA", "SECUENCIA", "CCOSTO", "TIPO_REG"}},
        // "TA_": CODIGO unless listed.
        {"TA_ESTADOS", {"CODIGO"}},
        {"TA_PAISES", {"CODIGO"}},
        {"TA_TIPODOCUMENTO", {"CODIGO"}},
        {"TA_COMPROBANTES", {"CODIGO"}},
        {"TA_CCOSTO", {"CODIGO"}},
        {"TA_CONFIGURACION", {"Clave"}},
        {"ta_menu", {"Menu", "Clave"}},
        // "MA_" by its first six characters.
        {"MA_CUENTASADIC", {"CODIGO"}},
        {"MA_CUENTAS", {"codigo"}},
        {"MA_CUENTASSUC", {"CODIGO", "SUCURSAL"}},
        {"MA_PROVEEDORES", {"Codigo", "Razon_Social"}},
        {"MA_CLIENTES", {"Codigo", "Codigo_sucursal"}},
        {"MA_CONCEPTOS", {"id"}},
        {"MA_ESTANTES", {"ID"}},
        {"MA_CASH-GRUPO", {"CODIGO_CASH"}},
        {"MA_OTRA", {"Codigo"}},
        // "[MA" and "MV_".
        {"[MA_CAJAS]", {"Codigo", "nombre"}},
        {"[MA_OTRA]", {}},
        {"MV_PROYECTOS", {"ID", "ASUNTO"}},
        {"MV_AGENDA", {"ID"}},
        // Names no rule knows.
        {"MV_TRANSMISIONES", {}},
        {"B_ALIAS", {}},
        {"B_CODIGOS", {}},
        {"", {}},
    };
    for (const auto &c : casos)
        EXPECT_EQ(llenas(ModGruposEmp::claves(QString::fromUtf8(c.tabla))), c.claves) << c.tabla;
}

TEST(TablaClaves, EveryPositionIsSetAndFilledInOrder)
{
    QString c[8];
    for (QString &clave : c)
        clave = QStringLiteral("antes");
    ModGruposEmp::TablaClaves(QStringLiteral("V_MA_PRECIOSCAB"), c[0], c[1], c[2], c[3], c[4], c[5], c[6], c[7]);
    EXPECT_EQ(c[0], QStringLiteral("IDLISTA"));
    EXPECT_EQ(c[1], QStringLiteral("TIPOLISTA"));
    for (int i = 2; i < 8; ++i)
        EXPECT_TRUE(c[i].isEmpty()) << i;
}

// Every table a sending stamps is addressed by a key: none would be stamped whole.
TEST(TablaClaves, EveryTableOfThePackageHasAKey)
{
    for (const QString &tabla : package::tableOrder())
        EXPECT_FALSE(ModGruposEmp::claves(tabla)[0].isEmpty()) << tabla.toStdString();
}

} // namespace
