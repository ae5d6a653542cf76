// FrmArtAlta: registration of a new article.
#include "FrmArtAltaModelo.h"

#include "ElCodigo.h"
#include "FilasLookup.h"
#include "Numeracion.h"
#include "Pasos.h"
#include "Rt_ImgThumbs.h"
#include "Sql.h"

#include "core/BuscarArticulo.h"
#include "core/Configuracion.h"
#include "core/RutinasDatos.h"
#include "db/DB_Dll.h"
#include "platform/Paths.h"
#include "platform/suite/Funciones.h"
#include "platform/suite/TratarError.h"
#include "platform/ui/Operator.h"

#include <QCoreApplication>

namespace articles {

namespace {

using platform::suite::gFunciones;

constexpr long kTexto = 8;
const QString kMaximo = QStringLiteral("SELECT MAX(IDARTICULO) AS MAXIMO FROM V_MA_ARTICULOS WHERE ");
const QString kSoloNumerados = QStringLiteral("SUBSTRING(IDARTICULO,1,1) = ' ' AND CHARINDEX('e',IDARTIculo,1) = 0");

// The highest numbered code above `desde` (all of them when empty): Null when none. A
// query that cannot run raises.
platform::Variant maximoCodigo(const QString &desde)
{
    QString sentencia = kMaximo + kSoloNumerados;
    if (!desde.isEmpty())
        sentencia =
            kMaximo + QStringLiteral("IDARTICULO > ") + sql::texto(desde) + QStringLiteral(" and ") + kSoloNumerados;
    ado::Recordset rs;
    if (!gDB().AbrirRecordset(sentencia, rs, nullptr, ado::adOpenForwardOnly, ado::adLockReadOnly, -1, true))
        throw sql::fallo(QStringLiteral("AltaArticulos"));
    const platform::Variant maximo = rs.EOF() ? platform::Variant::null() : rs.value(QStringLiteral("Maximo"));
    gDB().CierraRecordset(rs);
    return maximo;
}

// The number after `numero`, right-justified to 25; "" when it does not fit.
QString siguiente(const QString &numero)
{
    const std::optional<QString> mas = SumarUno(numero);
    if (!mas)
        throw platform::RuntimeError(13, QStringLiteral("No coinciden los tipos: '%1'").arg(numero.trimmed()));
    return mas->size() > 25 ? QString() : gFunciones().AlinearDerecha(*mas, 25);
}

} // namespace

// What one registration reads once and passes from step to step.
struct FrmArtAltaModelo::Alta {
    explicit Alta(FrmArtAltaModelo &form) : f(form) {}
    FrmArtAltaModelo &f;
    QString claseProveedor;
    QString claseVenta;
    QString codigo;
    QString descripcion;
    QString candidato;
    QString ruta;
    QString codigos[3]; // rubro, tipo, unidad
    QString descripciones[3];

    bool ajustes();
    bool existente();
    bool nuevoCodigo();
    bool codigoLibre();
    bool rutaImagen();
    bool codigosLookup();
    bool filasLookup();
    bool filaArticulo();
    bool imagen();
    bool filaPrecio();
    void buscar();
    bool falla();
};

bool FrmArtAltaModelo::Alta::falla()
{
    f.m_error = true;
    return false;
}

bool FrmArtAltaModelo::Alta::ajustes()
{
    f.m_error = false;
    claseProveedor = f.m_retail ? sql::clase(ModGlobal::Cfg(QStringLiteral("ClasePrecioListaProv"))) : QString();
    claseVenta = sql::clase(ModGlobal::Cfg(QStringLiteral("ClasePrecioVenta")));
    codigo = f.texto(QStringLiteral("Codigo"));
    descripcion = f.texto(QStringLiteral("Descripcion"));
    return true;
}

// A bar code that is registered already: the article is updated instead. The update works
// on the article the bar code names now: when the box was changed after its confirmation,
// the article shown before (or the new one begun) is not the one to write.
bool FrmArtAltaModelo::Alta::existente()
{
    ado::Recordset rs;
    if (!codigo.trimmed().isEmpty()
        && gDB().ExisteEnTabla(QStringLiteral("V_MA_ARTICULOS"), codigo, QStringLiteral("codigobarra"), &rs, kTexto,
                               QString(), true)) {
        if (codigo.trimmed() != f.m_codigoConfirmado)
            f.ponerTexto(QStringLiteral("IdArticulo"), gFunciones().NuloAVacio(rs.value(QStringLiteral("IdArticulo"))));
        gDB().CierraRecordset(rs);
        f.m_nuevo = false;
        f.m_existente = true;
        f.ActualizarDatos(); // its outcome is the form's error flag
        return false;
    }
    if (codigo.isEmpty() && !descripcion.isEmpty()) {
        f.m_nuevo = true;
        f.m_existente = false;
    }
    return f.entradasValidas() || falla();
}

bool FrmArtAltaModelo::Alta::nuevoCodigo()
{
    f.CodArtNuevo.clear();
    const platform::Variant maximo = maximoCodigo(QString());
    candidato = maximo.isNull() ? gFunciones().AlinearDerecha(QStringLiteral("1"), 25) : siguiente(maximo.toString());
    while (!candidato.isEmpty()
           && gDB().ExisteEnTabla(QStringLiteral("V_MA_ARTICULOS"), candidato, QStringLiteral("IdArticulo"), nullptr,
                                  kTexto, QString(), true))
        buscar();
    return true;
}

// The candidate is taken: the next one comes after the highest code above it (or right
// after it when there is none above).
void FrmArtAltaModelo::Alta::buscar()
{
    const platform::Variant maximo = maximoCodigo(candidato);
    candidato = siguiente(maximo.isNull() ? candidato : maximo.toString());
    f.LblProceso = QStringLiteral("Buscando Codigo ") + candidato;
    emit f.repintar();
    QCoreApplication::processEvents();
}

bool FrmArtAltaModelo::Alta::codigoLibre()
{
    QString buscado = candidato;
    ModGlobal::ArticuloBuscado resultado;
    std::int16_t porCodigoBarra = 0;
    std::int16_t aviso = 0;
    const bool tomado = !candidato.trimmed().isEmpty()
        && ModGlobal::BuscarArticulo(buscado, nullptr, true, porCodigoBarra, resultado, QString(), QString(), QString(),
                                     aviso);
    if (!tomado && !candidato.trimmed().isEmpty())
        return true;
    platform::msgBox(QStringLiteral("Error al obtener el nuevo codigo ") + candidato
                         + QStringLiteral("\r\nNo se pudo dar de alta automaticamente"),
                     platform::vbCritical | platform::vbOKOnly, QStringLiteral("Atención"));
    return falla();
}

bool FrmArtAltaModelo::Alta::rutaImagen()
{
    ruta = f.rutaDeImagen(candidato.trimmed());
    f.ponerTexto(QStringLiteral("RutaImagen"), ruta);
    return true;
}

// A code left blank with a description typed gets its code from the description.
bool FrmArtAltaModelo::Alta::codigosLookup()
{
    for (int i = 0; i < 3; ++i) {
        codigos[i] = gFunciones().AlinearDerecha(f.texto(QString::fromLatin1(kTablasLookup[i].campo)).trimmed(), 4);
        descripciones[i] = f.descripcionDe(QString::fromLatin1(kTablasLookup[i].campo));
    }
    for (int i = 0; i < 3; ++i) {
        if (!codigos[i].trimmed().isEmpty() || descripciones[i].trimmed().isEmpty())
            continue;
        codigos[i] = ElCodigo(QString::fromLatin1(kTablasLookup[i].tabla), descripciones[i]);
        if (codigos[i].isEmpty())
            return falla(); // the operator was told why
    }
    return true;
}

bool FrmArtAltaModelo::Alta::filasLookup()
{
    for (int i = 0; i < 3; ++i)
        EscribirFilaLookup(i, codigos[i], descripciones[i], descripciones[i]);
    return true;
}

bool FrmArtAltaModelo::Alta::filaArticulo()
{
    QString columnas = QStringLiteral("IdArticulo,CodigoBarra,Descripcion,IdUnidad,UsaSerie,UsaLote,Exento,Suspendido,"
                                      "idTipo,idRubro, fhultimocosto, fhalta, Costo, precio")
        + claseVenta;
    const QString costo = Importe::desdeTexto(f.texto(QStringLiteral("costo"))).textoSql();
    QStringList valores = {sql::texto(candidato),
                           sql::texto(gFunciones().AlinearDerecha(codigo, 25)),
                           sql::texto(descripcion),
                           sql::texto(codigos[2]),
                           QStringLiteral("0,0,0,0"),
                           sql::texto(codigos[1]),
                           sql::texto(codigos[0]),
                           sql::fecha(ModGlobal::FechaServidor()),
                           sql::fecha(ModGlobal::FechaServidor()),
                           costo,
                           Importe::desdeTexto(f.texto(QStringLiteral("Precio"))).textoSql()};
    if (f.m_retail) {
        columnas += QStringLiteral(", precio") + claseProveedor;
        valores << Importe::desdeTexto(f.texto(QStringLiteral("costo")).trimmed()).textoSql();
    }
    columnas += QStringLiteral(", CuentaProveedor, CodigoArtProveedor,RutaImagen");
    valores << sql::texto(f.texto(QStringLiteral("CuentaProveedor")).trimmed())
            << sql::texto(gFunciones().AlinearDerecha(f.texto(QStringLiteral("CodigoArtProveedor")).trimmed(), 25))
            << sql::texto(f.texto(QStringLiteral("RutaImagen")).trimmed());
    if (!sql::ejecutarAvisando(QStringLiteral("INSERT INTO V_MA_ARTICULOS (") + columnas + QStringLiteral(") VALUES (")
                               + valores.join(QLatin1Char(',')) + QLatin1Char(')')))
        return falla();
    f.CodArtNuevo = candidato;
    return true;
}

bool FrmArtAltaModelo::Alta::imagen()
{
    if (f.hayImagen() && !ruta.isEmpty()) {
        f.guardarImagen(ruta);
        f.GenerarMiniaturas(f.m_carpetaImagenes, f.texto(QStringLiteral("RutaImagen")).trimmed(), candidato.trimmed());
    }
    return true;
}

bool FrmArtAltaModelo::Alta::filaPrecio()
{
    if (f.pIdLista.isEmpty())
        return false;
    const QString lista = sql::texto(gFunciones().AlinearDerecha(f.pIdLista, 4));
    const QString tipo = QStringLiteral("'") + sql::tipoLista() + QStringLiteral("'");
    if (!sql::ejecutarAvisando(QStringLiteral("INSERT INTO V_MA_PRECIOS (IDLISTA,Nombre,IdArticulo,ConIVA,Precio1,"
                                              "Precio2,Precio3,Precio4,Precio5,TipoLista) VALUES (")
                               + lista + QLatin1Char(',') + sql::texto(descripcion) + QLatin1Char(',')
                               + sql::texto(candidato) + QStringLiteral(",1,0,0,0,0,0,") + tipo + QLatin1Char(')')))
        return falla();
    const QString precio = Importe::desdeTexto(f.texto(QStringLiteral("precio"))).textoSql();
    if (!sql::ejecutarAvisando(QStringLiteral("UPDATE V_MA_PRECIOS SET PRECIO") + claseVenta + QLatin1Char('=') + precio
                               + QStringLiteral(" WHERE IDARTICULO=") + sql::texto(candidato)
                               + QStringLiteral(" AND IDLISTA=") + lista))
        return falla();
    return true;
}

void FrmArtAltaModelo::AltaArticulos()
{
    asegurarCarga();
    Alta alta(*this);
    const Manejador manejar = [this](const platform::RuntimeError &error) {
        m_error = true;
        return respuestaDe(platform::suite::TratarError(error, QString(), QStringLiteral("AltaArticulos")));
    };
    PasoAPaso({[&] { return alta.ajustes(); }, [&] { return alta.existente(); }, [&] { return alta.nuevoCodigo(); },
               [&] { return alta.codigoLibre(); }, [&] { return alta.rutaImagen(); },
               [&] { return alta.codigosLookup(); }, [&] { return alta.filasLookup(); },
               [&] { return alta.filaArticulo(); }, [&] { return alta.imagen(); }, [&] { return alta.filaPrecio(); }},
              manejar);
}

} // namespace articles
