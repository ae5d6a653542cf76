#include "Anfitrion.h"

#include "FrmArtAlta.h"

#include "core/LineaComandos.h"

namespace articles::ui {

bool PedidoAlta::pedido(const QString &lineaDeComandos)
{
    return ModGlobal::ValorDeClave(lineaDeComandos, QStringLiteral("@Menu"))
               .trimmed()
               .compare(QLatin1String("FrmArtAlta"), Qt::CaseInsensitive)
        == 0;
}

PedidoAlta PedidoAlta::desdeLinea(const QString &lineaDeComandos)
{
    PedidoAlta p;
    p.lista = ModGlobal::ValorDeClave(lineaDeComandos, QStringLiteral("@Lista")).trimmed();
    p.codigo = ModGlobal::ValorDeClave(lineaDeComandos, QStringLiteral("@Codigo")).trimmed();
    p.desdeConsulta = ModGlobal::ValorDeClave(lineaDeComandos, QStringLiteral("@DesdeConsulta"))
                          .trimmed()
                          .compare(QLatin1String("SI"), Qt::CaseInsensitive)
        == 0;
    return p;
}

QString RespuestaAlta::texto() const
{
    return QStringLiteral("pAceptar=") + (pAceptar ? QStringLiteral("SI") : QStringLiteral("NO"))
        + QStringLiteral("\nCodArtNuevo=") + CodArtNuevo + QLatin1Char('\n');
}

RespuestaAlta MostrarAltaArticulos(const PedidoAlta &pedido)
{
    FrmArtAlta ventana;
    FrmArtAltaModelo &m = ventana.modelo();
    m.pIdLista = pedido.lista;
    m.DesdeConsulta = pedido.desdeConsulta;
    if (!pedido.codigo.isEmpty()) {
        m.CodArtNuevo = pedido.codigo;
        ventana.PonerCodigo();
    }
    ventana.exec();
    return RespuestaAlta{m.pAceptar, m.CodArtNuevo};
}

} // namespace articles::ui
