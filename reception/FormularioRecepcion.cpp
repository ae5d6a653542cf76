#include "FormularioRecepcion.h"

#include "EnvioRemoto.h"

#include "core/Acceso.h"
#include "core/Globals.h"
#include "core/Inicio.h"
#include "core/Rutinas.h"
#include "core/RutinasDatos.h"
#include "core/SharedLookup.h"
#include "db/DB_Dll.h"
#include "db/LBM_Bases.h"
#include "platform/Logger.h"
#include "platform/Paths.h"
#include "platform/suite/CmdDlg.h"
#include "platform/suite/Controles.h"
#include "platform/suite/Funciones.h"
#include "platform/suite/Sistema.h"
#include "platform/suite/TratarError.h"
#include "platform/ui/Operator.h"
#include "zip/PrivateFolder.h"

#include <QFileInfo>

namespace recepcion {

namespace {

bool mismo(const QString &a, const char *b) { return a.trimmed().compare(QLatin1String(b), Qt::CaseInsensitive) == 0; }

bool soloDigitos(const QString &texto)
{
    if (texto.isEmpty())
        return false;
    for (QChar c : texto) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return true;
}

const QString kAviso = QStringLiteral("Aviso al operador...");
// Prefix of the folder the road builds its package in, inside the temporary folder.
constexpr char kCarpetaDelCamino[] = "imaestros-camino-"; // not hidden: the folder list shows it
const QString kCRLF = QStringLiteral("\r\n");

} // namespace

// The run's progress drawn on the form's labels and bar.
class FormularioRecepcion::Progreso : public VistaRecepcion {
public:
    explicit Progreso(FormularioRecepcion &f) : m_f(f) {}
    void actualizando(const QString &texto) override { m_f.lblActualizando = texto; }
    void contadores(long inserciones, long modificaciones, long errores) override
    {
        m_f.lblInserts = QStringLiteral("Inserciones: %1").arg(inserciones);
        m_f.lblUpdates = QStringLiteral("Modificaciones: %1").arg(modificaciones);
        m_f.lblErrores = QStringLiteral("Errores: %1").arg(errores);
    }
    void avance(int valor, int maximo) override
    {
        m_f.PBImportarValor = std::min(valor, maximo);
        m_f.PBImportarMaximo = maximo;
        m_f.PBImportarTabla = 0;
        m_f.refrescar();
    }
    void avanceTabla(double fraccion) override { m_f.PBImportarTabla = fraccion; }
    void atender() override
    {
        m_f.refrescar();
        m_f.m_vista->atender();
    }

private:
    FormularioRecepcion &m_f;
};

FormularioRecepcion::FormularioRecepcion(DB_Dll &db)
    : m_db(db), m_recepcion(db), m_progreso(std::make_unique<Progreso>(*this))
{
    txtFields = {
        Caja{QStringLiteral("Transmision"), QString(), QString(), true, true, 9},
        Caja{QStringLiteral("Responsable_Recepcion"), QString(), QString(), true, true, 0},
        Caja{QStringLiteral("Ubicacion_Archivo"), QStringLiteral("Ruta"), QString(), true, true, 0},
        Caja{QStringLiteral("Fecha_Hasta"), QStringLiteral("FECHA"), QString(), true, false, 10},
        Caja{QStringLiteral("Fecha_Desde"), QStringLiteral("FECHA"), QString(), true, false, 10},
    };
    m_recepcion.setVista(m_progreso.get());
}

FormularioRecepcion::~FormularioRecepcion() = default;

void FormularioRecepcion::setVista(VistaFormulario *vista) { m_vista = vista ? vista : &m_vistaNula; }

void FormularioRecepcion::setMostrarErrores(std::function<void(const QString &)> mostrar)
{
    m_recepcion.setMostrarErrores(std::move(mostrar));
}

void FormularioRecepcion::refrescar() { m_vista->refrescar(); }

int FormularioRecepcion::IndiceCampo(const QString &campo) const
{
    QStringList campos;
    for (const Caja &c : txtFields)
        campos << c.campo;
    return platform::suite::gControles().IndiceCampo(campo, campos);
}

unsigned FormularioRecepcion::colorCaja(int indice, bool conFoco) const
{
    if (conFoco)
        return 0x00FFFF;                               // &H00FFFF00
    return indice == kUbicacion ? 0xC0FFFF : 0xFFFFFF; // &H00FFFFC0, white
}

// ------------------------------------------------------------------ load and unload

void FormularioRecepcion::Form_Load()
{
    // Start-up (IniciarSistema) and the unattended run are the program's, before this.
    auto &f = platform::suite::gFunciones();
    gConsulta().gConnString = m_db.gConnString;
    f.AjustarFormulario(this, 0);
    f.Restablecer(0);
    m_recepcion.Separador = QStringLiteral("\t");
    Inicializa();
    m_vista->enfocar(kTransmision, 0, int(txtFields[kTransmision].texto.trimmed().size()));
    ArchivoBases = platform::findFileNoCase(platform::programFolder(), QStringLiteral("BASES.TXT"));
    CargarBases();
    refrescar();
}

void FormularioRecepcion::Form_Unload()
{
    if (m_corriendo)
        return; // never under a run: it still uses the connection and the recordset
    m_db.CierraRecordset(rsTabla);
    ModGlobal::Finalizar();
    m_vista->terminarPrograma();
}

// ------------------------------------------------------------------ commands

void FormularioRecepcion::UtilNet1_click(const QString &palabra)
{
    const QString p = palabra.trimmed().toUpper();
    if (m_corriendo) {
        // Only the interruption: any other command would change what the run is using (on the
        // road, the company's connection).
        refrescar(); // a pressed button may have changed the toolbar's flags
        if (p == QLatin1String("CERRAR"))
            puedeCerrar();
        return;
    }
    if (p == QLatin1String("GRABAR")) {
        grabar();
        if (m_cerrarAlTerminar) {
            Form_Unload(); // the run has stopped and the connection is the form's own again
            return;
        }
    } else if (p == QLatin1String("CONSULTAR")) {
        ConsultarCampo();
    } else if (p == QLatin1String("CANCELAR")) {
        Inicializa();
        m_vista->enfocar(kTransmision, 0, int(txtFields[kTransmision].texto.size()));
        Grabando = false;
    } else if (p == QLatin1String("CERRAR")) {
        Form_Unload();
        return;
    }
    refrescar();
}

void FormularioRecepcion::grabar()
{
    // The road's package is built in a folder of this run's in the temporary folder (only
    // this user can enter it), removed when the run ends however it ends.
    std::unique_ptr<ziplayer::PrivateFolder> paqueteDelCamino;
    if (optDB) {
        QString temporal = qEnvironmentVariable("TEMP");
        if (temporal.isEmpty())
            temporal = platform::suite::gSistema().CarpetaTemporal();
        ziplayer::PrivateFolder::removeAbandoned(temporal, QString::fromLatin1(kCarpetaDelCamino));
        paqueteDelCamino = std::make_unique<ziplayer::PrivateFolder>(temporal, QString::fromLatin1(kCarpetaDelCamino));
        if (!paqueteDelCamino->status().ok()) {
            platform::msgBox(paqueteDelCamino->status().message(), platform::vbCritical,
                             QStringLiteral("Aviso al operador!"));
            return;
        }
        if (!desdeBaseDeDatos(paqueteDelCamino->path()))
            return;
    }
    Grabando = true;
    bool corrio = false;
    if (Datosvalidos()) {
        if (ModoConsulta) {
            // The number of a stored reception: never a second reception under it.
            estado().ProcesoCancelado = true;
            platform::msgBox(QStringLiteral("Ya existe la recepción N° %1: no se graba otra con el mismo número!!!")
                                 .arg(txtFields[kTransmision].texto.trimmed()),
                             platform::vbInformation, kAviso);
        } else {
            DetalleOn(false);
            estado().Interrumpir = false;
            m_corriendo = true;
            refrescar();
            m_ultima = m_recepcion.RecibirMaestros({txtFields[kTransmision].texto.trimmed(),
                                                    txtFields[kResponsable].texto.trimmed(),
                                                    txtFields[kUbicacion].texto.trimmed(), ChkSoloAltas},
                                                   rsTabla);
            m_corriendo = false;
            corrio = true;
            if (m_ultima.fin == FinRecepcion::Terminar) {
                m_vista->terminarPrograma();
                return;
            }
            if (m_cerrarAlTerminar) {
                Grabando = false;
                return; // recorded as interrupted; the form closes
            }
            if (!estado().ProcesoCancelado) {
                Inicializa();
                m_vista->enfocar(kTransmision, 0, int(txtFields[kTransmision].texto.size()));
            }
        }
    }
    Grabando = false;
    if (corrio)
        avisoFinal(m_ultima);
    Inicializa();
    UtilNet1.cerrar = true;
}

// "Finalizado" only after a complete run, with what it loaded; any other end says what
// happened.
void FormularioRecepcion::avisoFinal(const ResumenRecepcion &r)
{
    const QString texto = r.fin == FinRecepcion::Completa ? QStringLiteral("Finalizado") + kCRLF + kCRLF
            + QStringLiteral("%1 tablas, %2 registros leídos: %3 insertados, %4 modificados, %5 rechazados.")
                  .arg(r.tablas)
                  .arg(r.leidos)
                  .arg(r.inserciones)
                  .arg(r.modificaciones)
                  .arg(r.rechazados)
                                                          : r.linea();
    platform::msgBox(texto, platform::vbOKOnly, tituloAplicacion());
}

bool FormularioRecepcion::puedeCerrar()
{
    if (!m_corriendo)
        return true;
    if (m_cerrarAlTerminar)
        return false; // already stopping
    const QString enCurso = m_esperandoEnvio
        ? QStringLiteral("Se está generando el paquete en la base de datos de la empresa.")
        : QStringLiteral("Hay una recepción en curso: si la interrumpe, se conserva lo ya grabado y se "
                         "descarta el grupo de registros en curso.");
    if (platform::msgBox(enCurso + kCRLF + QStringLiteral("¿Desea interrumpir la recepción y cerrar el programa?"),
                         platform::vbYesNo | platform::vbQuestion | platform::vbDefaultButton2,
                         QStringLiteral("Aviso al Operador"))
        == platform::vbYes) {
        m_cerrarAlTerminar = true;
        interrumpir();
    }
    return false;
}

void FormularioRecepcion::interrumpir()
{
    estado().Interrumpir = true;
    if (m_esperandoEnvio) {
        if (EnvioMaestros *envio = envioRegistrado())
            envio->interrumpir();
    }
}

// The company's database builds the package (the sending), then the connection the
// command began with is reopened.
bool FormularioRecepcion::desdeBaseDeDatos(const QString &carpeta)
{
    // The connection string too: a run opened from one is reopened from it.
    const DB_Dll::Ajustes guardada = m_db.ajustesDeConexion();
    const QString empresa = CmbEmpresasTexto.trimmed();
    QString nombre, base, usuario, clave, servidor;
    try {
        LBM_Common::LeerBase(empresa, nombre, base, usuario, clave, servidor, ArchivoBases);
    } catch (const platform::RuntimeError &e) {
        platform::logger().error(e.Description());
    }
    if (empresa.isEmpty() || nombre.trimmed().compare(empresa, Qt::CaseInsensitive) != 0 || base.trimmed().isEmpty()) {
        platform::msgBox(QStringLiteral("Debe seleccionar una empresa..."), platform::vbInformation,
                         QStringLiteral("Aviso al operador!"));
        return false;
    }
    EnvioMaestros *envio = envioRegistrado();
    if (!envio) {
        platform::msgBox(QStringLiteral("El envío desde otra base de datos no está disponible en este programa."),
                         platform::vbInformation, QStringLiteral("Aviso al operador!"));
        return false;
    }
    LBM_Common::SepararServidor(servidor, base);
    m_db.reabrirCon({ModGlobal::ServidorSinPuerto(servidor), base, usuario,
                     platform::suite::gFunciones().Decodificar(clave), QString()});
    if (!m_db.gOpenFlag) {
        m_db.reabrirCon(guardada);
        return false;
    }
    estado().Interrumpir = false;
    m_esperandoEnvio = m_corriendo = true;
    refrescar();
    const platform::Result<QString> paquete =
        envio->enviar({txtFields[kResponsable].texto, carpeta, chkPrecios, ChkMovimientos, ChkMaestros});
    m_esperandoEnvio = m_corriendo = false;
    envio->ocultar();
    m_db.reabrirCon(guardada); // only now that the sending has stopped
    if (m_cerrarAlTerminar)
        return false;
    if (!paquete.ok()) {
        platform::msgBox(paquete.message(), platform::vbCritical, QStringLiteral("Aviso al operador!"));
        return false;
    }
    txtFields[kUbicacion].texto = paquete.value();
    return true;
}

void FormularioRecepcion::CmbEmpresas_GotFocus()
{
    FrmDbEnabled = txtFields[kUbicacion].texto.trimmed().isEmpty();
    refrescar();
}

// ------------------------------------------------------------------ boxes

void FormularioRecepcion::Inicializa()
{
    ModoConsulta = false;
    NombreTabla = QStringLiteral("MV_TRANSMISIONES");
    AbrirRecordset(NombreTabla);
    for (Caja &c : txtFields) // LimpiarControles
        c.texto.clear();
    if (rsTabla.State() == ado::adStateOpen) { // EnlazarCampos: the boxes take their columns' widths
        for (Caja &c : txtFields) {
            const int i = rsTabla.fields().indexOf(c.campo);
            if (i >= 0 && m_db.ADOText(long(rsTabla.field(i).Type())))
                c.largoMaximo = int(rsTabla.field(i).DefinedSize());
        }
    }
    long ultimo = 0;
    try {
        ultimo = long(m_db.BuscaUltimoCodigo(NombreTabla, QStringLiteral("Transmision"), platform::Variant(8),
                                             QStringLiteral(" TIPO='N'"))
                          .toDouble());
    } catch (const platform::RuntimeError &e) {
        platform::suite::TratarError(e, QString(), QStringLiteral("Inicializa"));
    }
    txtFields[kTransmision].texto = QString::number(ultimo + 1);
    estado().RegistrosRecibidos = 0;
    PBImportarValor = 0;
    DetalleOn(false);
    lblActualizando = QStringLiteral("...");
}

void FormularioRecepcion::AbrirRecordset(const QString &tablaActiva)
{
    m_db.AbrirRecordset(QStringLiteral("SELECT * FROM ") + tablaActiva, rsTabla, &m_db.gCnn, ado::adOpenDynamic,
                        ado::adLockOptimistic, -1, true);
}

void FormularioRecepcion::DetalleOn(bool on)
{
    for (int i = 1; i < txtFields.size(); ++i)
        txtFields[i].habilitada = on;
    if (on) {
        UtilNet1 = BotonesBarra{false, false, false, false, false, true, true, false};
        if (!ModGlobal::gUsuarioLogeado.trimmed().isEmpty()) {
            const int i = IndiceCampo(QStringLiteral("RESPONSABLE_RECEPCION"));
            txtFields[i].texto = ModGlobal::gUsuarioLogeado;
            txtFields[i].habilitada = false;
        }
    } else {
        UtilNet1 = BotonesBarra{false, false, false, false, false, false, false, true};
    }
    frmZIPEnabled = FrmDbEnabled = optZIPEnabled = optDBEnabled = on;
    UtilNet1.cancelar = on;
    if (ModoConsulta) {
        UtilNet1.cerrar = false;
        UtilNet1.cancelar = true;
    }
}

void FormularioRecepcion::CargarBases()
{
    CmbEmpresasItems.clear();
    CmbEmpresasTexto.clear();
    if (!ModGlobal::ExisteArchivoSinComillas(ArchivoBases))
        return;
    const auto registros = LBM_Common::leerRegistros(ArchivoBases);
    CmbEmpresasItems << QString();
    if (registros.ok()) {
        for (const LBM_Common::RegistroBase &r : registros.value())
            CmbEmpresasItems << r.nombre;
    }
}

void FormularioRecepcion::optDB_Click()
{
    optDB = true;
    optZIP = false;
    FrmDbEnabled = true;
    frmZIPEnabled = false;
    // The focus would go to the hidden date box: it stays where it is.
    refrescar();
}

void FormularioRecepcion::optZIP_Click()
{
    optZIP = true;
    optDB = false;
    frmZIPEnabled = true;
    FrmDbEnabled = false;
    refrescar();
    m_vista->enfocar(IndiceCampo(QStringLiteral("ubicacion_archivo")));
}

void FormularioRecepcion::txtFields_GotFocus(int indice)
{
    IndiceActual = indice;
    UtilNet1.consultar = !txtFields[indice].tag.trimmed().isEmpty();
    refrescar();
}

void FormularioRecepcion::txtFields_LostFocus(int indice)
{
    Q_UNUSED(indice)
    FrmDbEnabled = txtFields[IndiceCampo(QStringLiteral("ubicacion_archivo"))].texto.trimmed().isEmpty();
    refrescar();
}

void FormularioRecepcion::txtFields_KeyDown(int indice, int keyCode)
{
    if (m_corriendo)
        return; // the boxes are locked under a run
    if (platform::suite::gControles().EsTeclaAceptar(keyCode)) {
        CampoValida(indice);
        if (!estado().ProcesoCancelado)
            m_vista->pasarFoco(indice);
    }
    UtilNet1.consultar = !txtFields[indice].tag.trimmed().isEmpty();
    refrescar();
}

// The number box takes digits only; the date boxes digits and "/".
int FormularioRecepcion::txtFields_KeyPress(int indice, int keyAscii)
{
    if (keyAscii == 27 || keyAscii < 32)
        return keyAscii;
    const bool digito = keyAscii >= '0' && keyAscii <= '9';
    if (mismo(txtFields[indice].campo, "Transmision"))
        return digito ? keyAscii : 0;
    if (mismo(txtFields[indice].tag, "FECHA"))
        return digito || keyAscii == '/' ? keyAscii : 0;
    return keyAscii;
}

void FormularioRecepcion::txtFields_MouseDown(int indice, int boton)
{
    if (m_corriendo)
        return;
    IndiceActual = indice;
    if (boton == 2)
        ConsultarCampo();
}

void FormularioRecepcion::CampoValida(int indice)
{
    estado().ProcesoCancelado = false;
    Caja &caja = txtFields[indice];
    const QString texto = caja.texto.trimmed();
    QString mensaje;
    if (mismo(caja.campo, "Transmision")) {
        if (texto.isEmpty()) {
            mensaje = QStringLiteral(" Debe informar el Número de Recepción!!!");
        } else if (!soloDigitos(texto)) {
            mensaje = QStringLiteral("El Número de Recepción debe tener sólo dígitos!!!");
        } else if (m_db.ExisteEnTabla(NombreTabla, texto, caja.campo, &rsTabla, 8,
                                      QStringLiteral(" TRANSMISION= ") + texto + QStringLiteral(" AND TIPO='N'"),
                                      false)) {
            ModoConsulta = true;
            DetalleOn(false);
            if (!Grabando)
                MostrarRegistro();
        } else {
            ModoConsulta = false;
            if (!Grabando)
                Inicializa();
            DetalleOn(true);
        }
    } else if (mismo(caja.campo, "RESPONSABLE_RECEPCION")) {
        if (Grabando && texto.isEmpty())
            mensaje = QStringLiteral("Debe ingresar un Responsable de envío!!!");
    } else if (mismo(caja.campo, "UBICACION_ARCHIVO") && Grabando) {
        if (texto.isEmpty())
            mensaje = QStringLiteral("Debe ingresar un archivo con extensión .ZIP!!!");
        else if (!QFileInfo(platform::fromWindowsPath(texto)).isFile())
            mensaje = QStringLiteral("Ruta o nombre de archivo inexistente!!!");
    }
    if (mensaje.isEmpty()) {
        if (!caja.tag.isEmpty())
            VerRelacion();
        return;
    }
    estado().ProcesoCancelado = true;
    platform::msgBox(mensaje, platform::vbInformation, kAviso);
    m_vista->enfocar(indice);
}

bool FormularioRecepcion::Datosvalidos()
{
    estado().ProcesoCancelado = false;
    for (int i = 0; i < txtFields.size() && !estado().ProcesoCancelado; ++i)
        CampoValida(i);
    return !estado().ProcesoCancelado;
}

// The lookup of the current box: a file for the path, a date, or the lookup browser.
void FormularioRecepcion::ConsultarCampo()
{
    Caja &caja = txtFields[IndiceActual];
    const QString tag = caja.tag.trimmed();
    if (tag.isEmpty())
        return;
    auto &f = platform::suite::gFunciones();
    SharedLookup &consulta = gConsulta();
    consulta.gUsarMascarasConsultas = true;
    consulta.gRutaMascaraConsultas = f.AgregarBarra(platform::programFolder()) + QStringLiteral("CONSULTAS.VKR");
    QString valor;
    if (mismo(tag, "FECHA")) {
        valor = f.PedirFecha();
    } else if (mismo(tag, "TA_USUARIOS")) {
        consulta.CampoDevuelto = QStringLiteral("NOMBRE");
        consulta.ConsultaSearch(
            QStringLiteral("SELECT NOMBRE,SISTEMA  FROM TA_USUARIOS WHERE SISTEMA = 'QD000PR' ORDER BY NOMBRE "));
        valor = consulta.ValorDevuelto.trimmed();
    } else if (mismo(tag, "Ruta")) {
        platform::suite::CmdDlg dialogo;
        dialogo.Filtro = QStringLiteral("Archivos comprimidos  *.ZIP | *.ZIP");
        dialogo.MostrarAbrir();
        if (!dialogo.Cancelado())
            caja.texto = dialogo.NombreArchivo();
        refrescar();
        return;
    } else {
        QString tabla = tag, descripcion, codigo, tercera;
        ModGlobal::DefinicionConsulta(tabla, descripcion, codigo, tercera, true, QString());
        valor = codigo.trimmed();
    }
    caja.texto = valor;
    txtFields_KeyDown(IndiceActual, 13);
}

// The stored reception in the boxes, each from the column its data field names.
void FormularioRecepcion::MostrarRegistro()
{
    ModoConsulta = true;
    if (rsTabla.State() != ado::adStateOpen || rsTabla.EOF())
        return;
    const auto &f = platform::suite::gFunciones();
    for (Caja &c : txtFields) {
        if (rsTabla.fields().indexOf(c.campo) >= 0)
            c.texto = f.NuloAVacio(rsTabla.value(c.campo));
    }
}

} // namespace recepcion
