// FrmArtAlta: writing the article shown in the form (and, for a new one, its unit
// equivalences and price row).
#include "FrmArtAltaModelo.h"

#include "ElCodigo.h"
#include "FilasLookup.h"
#include "Pasos.h"
#include "Rt_ImgThumbs.h"
#include "Sql.h"

#include "core/CampoValor.h"
#include "core/Configuracion.h"
#include "core/Sentencias.h"
#include "db/DB_Dll.h"
#include "platform/Paths.h"
#include "platform/suite/Funciones.h"
#include "platform/ui/Operator.h"

namespace articles {

namespace {

using ModGlobal::AgregarCampo;
using platform::suite::gFunciones;

constexpr long kTexto = 8;
const QString kComilla = QStringLiteral("'");
const QString kNumero = QStringLiteral("@");
const QString kMoneda = QStringLiteral("   1");

QString relleno(const QString &texto, int ancho) { return gFunciones().AlinearDerecha(texto.trimmed(), ancho); }

bool es(const QString &a, const char *b) { return a.compare(QLatin1String(b), Qt::CaseInsensitive) == 0; }

} // namespace

struct FrmArtAltaModelo::Actualizacion {
    explicit Actualizacion(FrmArtAltaModelo &form) : f(form) {}
    FrmArtAltaModelo &f;
    int caja = 0; // the box the column loop is at: the one an error names
    const Manejador *manejar = nullptr;
    QString claseProveedor;
    QString tipoLista;
    QString id;
    QString ruta;
    QString lista;
    QString codigos[3];
    QStringList sentencias;

    bool preparar();
    bool codigosLookup();
    bool filasLookup();
    bool columnas();
    void columna(const CajaTexto &c);
    bool sentenciaArticulo();
    void sentenciaPrecio();
    void columnasPrecio();
    bool equivalencias();
    bool transaccion();
    bool segundaFilaPrecio();
    bool codigoBarra();
    bool imagen();
};

bool FrmArtAltaModelo::Actualizacion::preparar()
{
    claseProveedor = f.m_retail ? sql::clase(ModGlobal::Cfg(QStringLiteral("ClasePrecioListaProv"))) : QString();
    tipoLista = sql::tipoLista();
    id = f.texto(QStringLiteral("idarticulo")).trimmed();
    ruta = f.rutaDeImagen(id);
    f.ponerTexto(QStringLiteral("RutaImagen"), ruta);
    lista = f.pIdLista;
    f.m_clasePrecioVenta = sql::clase(ModGlobal::Cfg(QStringLiteral("ClasePrecioVenta")));
    return true;
}

// The description boxes decide the codes: each description gets its code (created when
// new); a description that can get none stops the save after ElCodigo's message.
bool FrmArtAltaModelo::Actualizacion::codigosLookup()
{
    for (int i = 0; i < 3; ++i) {
        QString descripcion = f.descripcionDe(QString::fromLatin1(kTablasLookup[i].campo));
        codigos[i].clear();
        if (descripcion.trimmed().isEmpty())
            continue;
        codigos[i] = ElCodigo(QString::fromLatin1(kTablasLookup[i].tabla), descripcion);
        if (codigos[i].isEmpty()) {
            f.m_error = true;
            return false;
        }
    }
    for (int i = 0; i < 3; ++i)
        f.ponerTexto(QString::fromLatin1(kTablasLookup[i].campo), gFunciones().AlinearDerecha(codigos[i], 4));
    return true;
}

// The insert takes the description label's caption, the update the description box.
bool FrmArtAltaModelo::Actualizacion::filasLookup()
{
    for (int i = 0; i < 3; ++i) {
        const QString campo = QString::fromLatin1(kTablasLookup[i].campo);
        QString etiqueta;
        for (const Etiqueta &e : f.lblDesc) {
            if (e.DataField.compare(campo, Qt::CaseInsensitive) == 0)
                etiqueta = e.Caption;
        }
        EscribirFilaLookup(i, codigos[i], etiqueta, f.descripcionDe(campo));
    }
    return true;
}

void FrmArtAltaModelo::Actualizacion::columna(const CajaTexto &c)
{
    const QString campo = c.DataField;
    const QString valor = c.Text.trimmed();
    if (es(campo, "Codigo"))
        AgregarCampo(QStringLiteral("CodigoBarra"), relleno(valor, 25), kComilla, false);
    else if (es(campo, "IdArticulo"))
        AgregarCampo(QStringLiteral("IdArticulo"), relleno(valor, 25), kComilla, true);
    else if (es(campo, "Precio"))
        AgregarCampo(QStringLiteral("Precio") + f.m_clasePrecioVenta, valor, kNumero, false);
    else if (es(campo, "Costo")) {
        if (f.m_retail)
            AgregarCampo(QStringLiteral("Precio") + claseProveedor, valor, kNumero, false);
        AgregarCampo(QStringLiteral("Costo"), valor, kNumero, false);
    } else if (es(campo, "Descripcion") || es(campo, "idFamilia") || es(campo, "CuentaProveedor")
               || es(campo, "RutaImagen"))
        AgregarCampo(campo, valor, kComilla, false);
    else if (es(campo, "TasaIva"))
        AgregarCampo(campo, valor, kNumero, false);
    else if (es(campo, "IdUnidad") || es(campo, "IdRubro") || es(campo, "IdTipo"))
        AgregarCampo(campo, relleno(valor, 4), kComilla, false);
    else if (es(campo, "CodigoArtProveedor"))
        AgregarCampo(campo, relleno(valor, 25), kComilla, false);
}

bool FrmArtAltaModelo::Actualizacion::columnas()
{
    sentencias = QStringList{QString()};
    for (caja = 0; caja < f.txtFields.size(); ++caja) {
        // a box's failure is answered for that box: again, the next box, or leave
        for (;;) {
            try {
                columna(f.txtFields[caja]);
                break;
            } catch (const platform::RuntimeError &error) {
                const Respuesta respuesta = (*manejar)(error);
                if (respuesta == Respuesta::Salir)
                    return false;
                if (respuesta == Respuesta::Seguir)
                    break;
            }
        }
    }
    caja = 0; // past the loop an error names the first box
    id = f.texto(QStringLiteral("IdArticulo")).trimmed();
    return true;
}

bool FrmArtAltaModelo::Actualizacion::sentenciaArticulo()
{
    if (!f.m_existente && !f.m_nuevo)
        return true;
    AgregarCampo(QStringLiteral("DESDETRIGGER"), QStringLiteral("0"), kComilla, false);
    QString condicion = QStringLiteral(" Where IdArticulo = ") + sql::texto(relleno(id, 25));
    ModGlobal::ArmarSentencia(ModGlobal::gCampos, sentencias, QStringLiteral("v_ma_articulos"), f.m_existente,
                              condicion, false);
    if (f.m_existente && !lista.trimmed().isEmpty())
        sentenciaPrecio();
    return true;
}

// The row of the working list: its price and currency change, or it is inserted.
void FrmArtAltaModelo::Actualizacion::sentenciaPrecio()
{
    QString condicion = QStringLiteral("IDLISTA=") + sql::texto(relleno(lista, 4)) + QStringLiteral(" AND IDARTICULO=")
        + sql::texto(relleno(id, 25));
    ado::Recordset rs;
    const bool abierto = gDB().AbrirRecordset(QStringLiteral("SELECT * FROM V_MA_PRECIOS WHERE ") + condicion, rs,
                                              nullptr, ado::adOpenForwardOnly, ado::adLockReadOnly, -1, true);
    if (!abierto)
        throw sql::fallo(QStringLiteral("ActualizarDatos"));
    const bool hay = !rs.EOF();
    gDB().CierraRecordset(rs);
    if (hay) {
        AgregarCampo(QStringLiteral("PRECIO") + f.m_clasePrecioVenta, f.texto(QStringLiteral("Precio")), kNumero, true);
        AgregarCampo(QStringLiteral("IDMONEDA"), kMoneda, kComilla, false);
        ModGlobal::ArmarSentencia(ModGlobal::gCampos, sentencias, QStringLiteral("V_MA_PRECIOS"), true, condicion,
                                  false);
    } else {
        columnasPrecio();
        ModGlobal::ArmarSentencia(ModGlobal::gCampos, sentencias, QStringLiteral("V_MA_PRECIOS"), false, condicion,
                                  false);
    }
}

void FrmArtAltaModelo::Actualizacion::columnasPrecio()
{
    const QString listaRellena = relleno(lista, 4); // as every query of the list pads it
    const QString nombre = gDB()
                               .DatosTabla(QStringLiteral("V_MA_PRECIOSCAB"), listaRellena, QStringLiteral("Nombre"),
                                           QStringLiteral("IdLista"), kTexto, QString(), true)
                               .toString();
    AgregarCampo(QStringLiteral("IDLISTA"), listaRellena, kComilla, true);
    AgregarCampo(QStringLiteral("NOMBRE"), nombre, kComilla, false);
    AgregarCampo(QStringLiteral("IDARTICULO"), relleno(f.texto(QStringLiteral("IDARTICULO")), 25), kComilla, false);
    AgregarCampo(QStringLiteral("COSTO"), Importe::desdeTexto(f.texto(QStringLiteral("COSTO"))).texto(), kNumero,
                 false);
    AgregarCampo(QStringLiteral("PRECIO") + f.m_clasePrecioVenta,
                 Importe::desdeTexto(f.texto(QStringLiteral("Precio"))).texto(), kNumero, false);
    AgregarCampo(QStringLiteral("IDMONEDA"), kMoneda, kComilla, false);
    AgregarCampo(QStringLiteral("TIPOLISTA"), tipoLista, kComilla, false);
    AgregarCampo(QStringLiteral("DESCRIPCIONARTICULO"), f.texto(QStringLiteral("descripcion")), kComilla, false);
    AgregarCampo(QStringLiteral("RUBRO"), relleno(f.texto(QStringLiteral("IdRubro")), 4), kComilla, false);
    AgregarCampo(QStringLiteral("Idunidad"), relleno(f.texto(QStringLiteral("IdUnidad")), 4), kComilla, false);
}

// A new article takes the unit equivalences that other articles share with every article
// (PARATODOS) for its unit.
bool FrmArtAltaModelo::Actualizacion::equivalencias()
{
    if (!f.m_nuevo)
        return true;
    const QString a = sql::texto(relleno(f.texto(QStringLiteral("IDARTICULO")), 25));
    const QString u = sql::texto(relleno(f.texto(QStringLiteral("IDUNIDAD")), 4));
    const QString sentencia =
        QStringLiteral("SELECT IDUNIDAD,IDUNIDAD_EQUIV,COEFICIENTE FROM S_TA_EQUIV WHERE (IDARTICULO <> %1 AND "
                       "IDUNIDAD=%2 AND PARATODOS=1) OR (IDARTICULO <> %1 AND IDUNIDAD_EQUIV=%2 AND PARATODOS=1) "
                       "GROUP BY IDUNIDAD,IDUNIDAD_EQUIV,COEFICIENTE")
            .arg(a, u);
    ado::Recordset rs;
    if (!gDB().AbrirRecordset(sentencia, rs, nullptr, ado::adOpenForwardOnly, ado::adLockReadOnly, -1, true))
        throw sql::fallo(QStringLiteral("ActualizarDatos"));
    for (; !rs.EOF(); rs.MoveNext()) {
        const QString unidad = gFunciones().NuloAVacio(rs.value(QStringLiteral("IdUnidad")));
        const QString equivalente = gFunciones().NuloAVacio(rs.value(QStringLiteral("IDUNIDAD_EQUIV")));
        sentencias << QStringLiteral("delete s_ta_equiv where idarticulo = ") + a + QStringLiteral(" and idunidad = ")
                + sql::texto(unidad) + QStringLiteral(" and IDUNIDAD_EQUIV = ") + sql::texto(equivalente);
        AgregarCampo(QStringLiteral("IdArticulo"), relleno(f.texto(QStringLiteral("IDARTICULO")), 25), kComilla, true);
        AgregarCampo(QStringLiteral("IdUnidad"), unidad, kComilla, false);
        AgregarCampo(QStringLiteral("IDUNIDAD_EQUIV"), equivalente, kComilla, false);
        AgregarCampo(QStringLiteral("Coeficiente"), gFunciones().NuloAVacio(rs.value(QStringLiteral("Coeficiente"))),
                     kNumero, false);
        AgregarCampo(QStringLiteral("PARATODOS"), QStringLiteral("1"), kComilla, false);
        QString sinCondicion;
        ModGlobal::ArmarSentencia(ModGlobal::gCampos, sentencias, QStringLiteral("S_TA_EQUIV"), false, sinCondicion,
                                  false);
    }
    gDB().CierraRecordset(rs);
    return true;
}

bool FrmArtAltaModelo::Actualizacion::transaccion()
{
    std::int32_t nativo = 0;
    QString script;
    QString textoError;
    ModGlobal::GActualizarDatoScript(sentencias, f.m_error, nativo, false, false, script, textoError, true);
    return !f.m_error;
}

bool FrmArtAltaModelo::Actualizacion::segundaFilaPrecio()
{
    if (!f.m_nuevo || lista.trimmed().isEmpty())
        return true;
    ModGlobal::gCampos.clear();
    sentencias = QStringList{QString()};
    columnasPrecio();
    QString sinCondicion;
    ModGlobal::ArmarSentencia(ModGlobal::gCampos, sentencias, QStringLiteral("V_MA_PRECIOS"), false, sinCondicion,
                              false);
    transaccion(); // a failure leaves the error flag set; the bar code and picture still follow
    return true;
}

bool FrmArtAltaModelo::Actualizacion::codigoBarra()
{
    ado::Recordset &rs = f.m_rsArticulo;
    const QString sentencia =
        QStringLiteral("SELECT * FROM v_ma_articulos WHERE IDARTICULO = ") + sql::texto(relleno(id, 25));
    if (!gDB().AbrirRecordset(sentencia, rs, nullptr, ado::adOpenDynamic, ado::adLockOptimistic, -1, true))
        throw sql::fallo(QStringLiteral("ActualizarDatos"));
    if (!rs.EOF()) {
        rs.MoveFirst();
        if (es(ModGlobal::Cfg(QStringLiteral("CodigoBarraAutomatico")), "SI"))
            rs.field(QStringLiteral("CodigoBarra"))
                .setValue(gFunciones().AlinearDerecha(gFunciones().NuloAVacio(rs.value(QStringLiteral("Id"))), 25));
        rs.Update();
    }
    gDB().CierraRecordset(rs);
    return true;
}

bool FrmArtAltaModelo::Actualizacion::imagen()
{
    if (!f.hayImagen() || ruta.isEmpty())
        return true;
    f.guardarImagen(ruta);
    f.GenerarMiniaturas(f.m_carpetaImagenes, f.texto(QStringLiteral("RutaImagen")).trimmed(),
                        f.texto(QStringLiteral("IDARTICULO")).trimmed());
    return true;
}

// An update of a stored article writes the row its code names; a blank or unknown code
// would change no row and write a price row of nobody's, and must not pass for a save.
bool FrmArtAltaModelo::articuloAActualizar()
{
    if (!m_existente)
        return true;
    const QString id = texto(QStringLiteral("IdArticulo")).trimmed();
    QString mensaje;
    if (id.isEmpty())
        mensaje = QStringLiteral("Falta el código del artículo a modificar; no se grabó nada.");
    else if (!gDB().ExisteEnTablaST(QStringLiteral("V_MA_ARTICULOS"), relleno(id, 25), QStringLiteral("IdArticulo"),
                                    nullptr, kTexto, QString(), true))
        mensaje = QStringLiteral("El artículo %1 no existe en la base; no se grabó nada.").arg(id);
    if (mensaje.isEmpty())
        return true;
    m_error = true;
    platform::msgBox(mensaje, platform::vbCritical, QStringLiteral("Aviso al operador..."));
    enfocar({Control::Tipo::txtFields, kIdArticulo});
    return false;
}

void FrmArtAltaModelo::ActualizarDatos()
{
    asegurarCarga();
    Actualizacion a(*this);
    const Manejador manejar = [this, &a](const platform::RuntimeError &error) {
        gFunciones().Restablecer(0);
        m_error = true;
        const CajaTexto &caja = txtFields[a.caja];
        const int respuesta = ModGlobal::ErroresActualizacion(error, caja.DataField);
        if (respuesta == 3 || respuesta == 4 || respuesta == 5)
            return respuestaDe(respuesta);
        enfocar({Control::Tipo::txtFields, a.caja});
        return Respuesta::Salir;
    };
    a.manejar = &manejar;
    m_error = false;
    PasoAPaso({[&] { return entradasValidas(); }, [&] { return articuloAActualizar(); }, [&] { return a.preparar(); },
               [&] { return a.codigosLookup(); }, [&] { return a.filasLookup(); }, [&] { return a.columnas(); },
               [&] { return a.sentenciaArticulo(); }, [&] { return a.equivalencias(); },
               [&] { return a.transaccion(); }, [&] { return a.segundaFilaPrecio(); }, [&] { return a.codigoBarra(); },
               [&] { return a.imagen(); }},
              manejar);
}

} // namespace articles
