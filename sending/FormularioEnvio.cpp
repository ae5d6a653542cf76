#include "FormularioEnvio.h"

#include "AnulaTrans.h"
#include "EjecutorScript.h"
#include "Enlace.h"
#include "MarcarTransmitidos.h"

#include "core/Configuracion.h"
#include "core/Globals.h"
#include "core/RutinasDatos.h"
#include "core/SharedLookup.h"
#include "db/DB_Dll.h"
#include "platform/Logger.h"
#include "platform/Paths.h"
#include "platform/suite/Funciones.h"
#include "platform/suite/TratarError.h"
#include "platform/ui/Operator.h"

#include <QDir>
#include <QFileInfo>

namespace envio {

namespace {

const QString kCRLF = QStringLiteral("\r\n");
const QString kTituloAviso = QStringLiteral("Aviso al operador...");
constexpr int kDigitosMaximo = 9;

bool esNumero(const QString &texto)
{
    if (texto.isEmpty() || texto.size() > kDigitosMaximo)
        return false;
    for (const QChar c : texto) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return true;
}

bool igual(const QString &a, const char *b) { return a.trimmed().compare(QLatin1String(b), Qt::CaseInsensitive) == 0; }

} // namespace

// Keeps the log box's text in the form's state and passes every call on to the form.
class FormularioEnvio::Vista : public VistaEnvio {
public:
    explicit Vista(FormularioEnvio &f) : m_f(f) {}
    VistaEnvio *destino = nullptr;
    void actualizando(const QString &texto) override
    {
        if (destino)
            destino->actualizando(texto);
    }
    void avance(double porcentaje) override
    {
        if (destino)
            destino->avance(porcentaje);
    }
    void registro(const QString &texto) override
    {
        m_f.txtLog = texto;
        if (destino)
            destino->registro(texto);
    }
    void atender() override
    {
        if (destino)
            destino->atender();
    }

private:
    FormularioEnvio &m_f;
};

const QStringList &FormularioEnvio::camposDeDatos()
{
    static const QStringList campos = {QStringLiteral("Transmision"), QStringLiteral("Responsable_Envio"),
                                       QStringLiteral("Ubicacion_Archivo"), QStringLiteral("IDLISTA")};
    return campos;
}

FormularioEnvio::FormularioEnvio(DB_Dll &db) : m_db(db), m_vista(std::make_unique<Vista>(*this)), m_envio(db)
{
    m_envio.setVista(m_vista.get());
}

FormularioEnvio::~FormularioEnvio() = default;

void FormularioEnvio::setVista(VistaEnvio *vista) { m_vista->destino = vista; }

void FormularioEnvio::aviso(const QString &mensaje)
{
    platform::msgBox(mensaje, platform::vbInformation, kTituloAviso);
}

std::optional<ResumenEnvio> FormularioEnvio::cargar()
{
    if (igual(ModGlobal::gParametroAdicional, "AUTO"))
        return GeneraAutomatica();
    gConsulta().gConnString = m_db.gConnString;
    const auto &f = platform::suite::gFunciones();
    f.AjustarFormulario(this, 0);
    f.Restablecer(0);
    Inicializa();
    // The desktop sending starts where the unattended one writes its package.
    const QString enviar = EnvioMaestros::carpetaAutomatica();
    if (!QFileInfo(enviar).isDir() && !QDir().mkpath(enviar))
        platform::logger().warning(QStringLiteral("No se pudo crear la carpeta de envío %1").arg(enviar));
    Dir1_Change(enviar);
    if (igual(ModGlobal::Cfg(QStringLiteral("RETAIL")), "SI")) {
        chkPrecios = true;
        ChkListas = true;
    }
    PrimeraActivacion = true;
    return std::nullopt;
}

// The incomplete sendings of type 'M' are reported together, once per loading, with the
// offer to cancel them. A sending stamps its rows only once its package is delivered, so an
// incomplete one left nothing to undo: cancelling marks its row (ANULADO), which is then not
// reported again.
void FormularioEnvio::activar()
{
    if (!PrimeraActivacion)
        return;
    PrimeraActivacion = false;
    QList<platform::Variant> numeros;
    QStringList lineas;
    try {
        Sentencia incompletas(m_db.gCnn,
                              QStringLiteral("Select * from mv_transmisiones where tipo = 'M' and fecha >= ? "
                                             "and FECHAFIN IS NULL AND NOT LOG IS NULL "
                                             "AND (ANULADO=0 OR ANULADO IS NULL) ORDER BY TRANSMISION"));
        const std::shared_ptr<ado::Recordset> rs = incompletas.abrir({platform::Variant(QDate(2005, 9, 28))});
        for (; !rs->EOF(); rs->MoveNext()) {
            const platform::Variant numero = rs->value(QStringLiteral("Transmision"));
            numeros << numero;
            lineas << QStringLiteral(" Numero: ") + numero.toString() + QStringLiteral(" Fecha: ")
                    + rs->value(QStringLiteral("Fecha")).toString() + QLatin1Char(' ')
                    + rs->value(QStringLiteral("Hora")).toString() + QStringLiteral(" Usuario:")
                    + rs->value(QStringLiteral("Responsable_Envio")).toString();
        }
    } catch (const platform::RuntimeError &error) {
        platform::logger().error(QStringLiteral("No se pudo buscar transmisiones incompletas: ") + error.Description());
        return;
    }
    if (numeros.isEmpty())
        return;
    const QString texto =
        (lineas.size() == 1 ? QStringLiteral("Se ha detectado una transmision incompleta!")
                            : QStringLiteral("Se han detectado %1 transmisiones incompletas!").arg(lineas.size()))
        + kCRLF + lineas.join(kCRLF);
    if (platform::msgBox(texto + kCRLF + QStringLiteral("-Desea anular los registros incompletos?"),
                         platform::vbYesNo | platform::vbCritical, QStringLiteral("Atencion!"))
        != platform::vbYes)
        return;
    const QString tipo = QStringLiteral("M");
    for (const platform::Variant &numero : std::as_const(numeros)) {
        if (AnulaTrans::anulaTipo(tipo)) {
            (void)AnulaTrans::AnularTransmision(std::int32_t(numero.toInt64()), tipo, m_db);
            continue;
        }
        try {
            Sentencia anular(
                m_db.gCnn,
                QStringLiteral("UPDATE MV_TRANSMISIONES SET ANULADO = 1 WHERE TIPO = 'M' AND TRANSMISION = ?"));
            anular.ejecutar({numero});
        } catch (const platform::RuntimeError &error) {
            platform::logger().error(
                QStringLiteral("No se pudo anular la transmisión %1: %2").arg(numero.toString(), error.Description()));
            platform::msgBox(
                QStringLiteral("No se pudo anular la transmisión %1: %2").arg(numero.toString(), error.Description()),
                platform::vbCritical, kTituloAviso);
        }
    }
}

void FormularioEnvio::Inicializa()
{
    ModoConsulta = false;
    TablaForm = QStringLiteral("MV_TRANSMISIONES");
    AbrirRecordset(TablaForm);
    for (CajaTexto &caja : txtFields) {
        caja.texto.clear();
        caja.tag.clear();
    }
    // The lookups the boxes offer: the suite's users, the price lists.
    txtFields[kResponsable].tag = QStringLiteral("TA_USUARIOS");
    txtFields[kLista].tag = QStringLiteral("V_MA_PRECIOSCAB");
    try {
        const platform::Variant ultimo = m_db.BuscaUltimoCodigo(TablaForm, QStringLiteral("Transmision"),
                                                                platform::Variant(8), QStringLiteral(" TIPO='M'"));
        txtFields[kTransmision].texto = QString::number(qint64(ultimo.toDouble()) + 1);
    } catch (const platform::RuntimeError &error) {
        platform::suite::TratarError(error, QString(), QStringLiteral("Inicializa"));
    }
    UnidadNegocio = ModGlobal::gUnidadNegocio;
    m_envio.RegistrosEnviados = 0;
    m_vista->registro(QString());
    DetalleOn(false);
    m_vista->actualizando(QStringLiteral("..."));
}

bool FormularioEnvio::AbrirRecordset(const QString &tablaActiva)
{
    return m_db.AbrirRecordset(QStringLiteral("SELECT top 1 * FROM ") + tablaActiva + QStringLiteral(" with(nolock)"),
                               m_rsTransmisiones, &m_db.gCnn, ado::adOpenDynamic, ado::adLockOptimistic, -1, true);
}

void FormularioEnvio::CampoValida(int i)
{
    if (m_corriendo)
        return; // the boxes are locked under a sending
    m_envio.HuboError = false;
    m_foco = -1;
    QString mensaje;
    const QString valor = txtFields[size_t(i)].texto.trimmed();
    const QString campo = camposDeDatos().value(i);
    if (campo == u"Transmision") {
        // Digits only: the number is written into statements.
        if (!esNumero(valor)) {
            mensaje = QStringLiteral(" Debe informar el Número de Transmisión!!!");
            m_envio.HuboError = true;
        } else if (m_db.ExisteEnTabla(TablaForm, valor, QStringLiteral("Transmision"), &m_rsTransmisiones, 8,
                                      QStringLiteral(" TRANSMISION= ") + valor + QStringLiteral(" AND TIPO='M'"),
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
    } else if (campo == u"Responsable_Envio" && valor.isEmpty() && Grabando) {
        mensaje = QStringLiteral("Debe ingresar un Responsable de envío!!!");
        m_envio.HuboError = true;
    }
    if (m_envio.HuboError) {
        aviso(mensaje);
        m_foco = i;
        return;
    }
    if (!txtFields[size_t(i)].tag.trimmed().isEmpty())
        VerRelacion();
}

bool FormularioEnvio::Datosvalidos()
{
    m_envio.HuboError = false;
    for (int i = 0; i < int(txtFields.size()) && !m_envio.HuboError; ++i)
        CampoValida(i);
    return !m_envio.HuboError;
}

void FormularioEnvio::DetalleOn(bool on)
{
    for (size_t i = 1; i < txtFields.size(); ++i)
        txtFields[i].habilitada = on;
    carpetasHabilitadas = on;
    UtilNet1.Nuevo = UtilNet1.Borrar = UtilNet1.Reporte = UtilNet1.Consulta = UtilNet1.Planilla = false;
    UtilNet1.Grabar = on;
    UtilNet1.Cerrar = !on;
    if (on && !ModGlobal::gUsuarioLogeado.trimmed().isEmpty()) {
        txtFields[kResponsable].texto = ModGlobal::gUsuarioLogeado;
        txtFields[kResponsable].habilitada = false;
    }
    if (on)
        Dir1_Change(Dir1);
    Frame2 = on;
    UtilNet1.Cancelar = on;
    txtFields[kUbicacion].habilitada = false;
    if (ModoConsulta) {
        UtilNet1.Cerrar = false;
        UtilNet1.Cancelar = true;
    }
}

void FormularioEnvio::MostrarRegistro()
{
    ModoConsulta = true;
    if (m_rsTransmisiones.State() != ado::adStateOpen || m_rsTransmisiones.EOF())
        return;
    ado::Fields campos = m_rsTransmisiones.fields();
    for (size_t i = 0; i < txtFields.size(); ++i) {
        const int c = campos.indexOf(camposDeDatos()[qsizetype(i)]);
        if (c >= 0)
            txtFields[i].texto = platform::suite::gFunciones().NuloAVacio(campos.Item(c).Value());
    }
}

void FormularioEnvio::Dir1_Change(const QString &carpeta)
{
    Dir1 = carpeta;
    txtFields[kUbicacion].texto = platform::suite::gFunciones().AgregarBarra(carpeta) + QStringLiteral("*.dat");
}

FormularioEnvio::Accion FormularioEnvio::UtilNet1_click(const QString &palabra)
{
    const QString p = palabra.trimmed().toUpper();
    if (m_corriendo) {
        // Only the interruption: Cancelar would start over under the run, Grabar run twice.
        if (p == u"CERRAR")
            puedeCerrar();
        return Accion::Nada;
    }
    if (p == u"GRABAR") {
        grabar();
        return m_reiniciado ? Accion::FocoNumero : Accion::Nada;
    }
    if (p == u"CONSULTAR")
        return ConsultarCampo();
    if (p == u"CERRAR")
        return Accion::Cerrar;
    if (p == u"CANCELAR") {
        Inicializa();
        Grabando = false;
        return Accion::FocoNumero;
    }
    return Accion::Nada;
}

void FormularioEnvio::grabar()
{
    m_ultimo = ResumenEnvio{};
    Grabando = true;
    m_reiniciado = false;
    bool hecho = false;
    if (Datosvalidos()) {
        EnviarMaestros();
        if (!HuboError()) {
            const QString enviadas = txtLog;
            Inicializa();
            m_vista->registro(enviadas); // the tables sent stay in view until the next command
            PFinalizado = true;
            hecho = m_reiniciado = true;
            if (m_avisarFin && !m_cerrarAlTerminar) {
                cambioDeCorrida(); // the form shows its new state under the message
                avisoFin();
            }
        } else if (m_envio.SinDatos || m_envio.interrumpido()) {
            Inicializa(); // its number is spent: its row stays cancelled, or incomplete
            m_reiniciado = true;
        } else {
            // The form keeps its number and boxes; its status line must not read as a run
            // that is still stamping.
            QString motivo = m_ultimo.motivo.trimmed();
            while (motivo.endsWith(QLatin1Char('.')))
                motivo.chop(1);
            m_vista->avance(0);
            m_vista->actualizando(QStringLiteral("Envío fallido: %1. No se generó el paquete ni se marcó ninguna "
                                                 "fila como enviada.")
                                      .arg(motivo));
        }
    }
    Grabando = false;
    if (m_alTerminar)
        m_alTerminar(hecho);
}

void FormularioEnvio::avisoFin()
{
    const ResumenEnvio &r = m_ultimo;
    QString texto = QStringLiteral("Envío finalizado") + kCRLF + kCRLF + QStringLiteral("Transmisión N°: ") + r.numero
        + kCRLF + QStringLiteral("Tablas enviadas: %1").arg(r.tablas) + kCRLF
        + QStringLiteral("Registros enviados: %1").arg(r.filas) + kCRLF + QStringLiteral("Paquete: ")
        + QDir::toNativeSeparators(r.archivo);
    if (r.filas == 0)
        texto += kCRLF + kCRLF + QStringLiteral("No había registros para enviar: el paquete no tiene registros.");
    platform::msgBox(texto, platform::vbInformation, kTituloAviso);
}

bool FormularioEnvio::puedeCerrar()
{
    if (!m_corriendo)
        return true;
    if (m_cerrarAlTerminar)
        return false; // already stopping
    if (platform::msgBox(QStringLiteral("Hay un envío de maestros en curso: si lo interrumpe, no se genera el "
                                        "paquete ni se marca ningún registro como enviado.")
                             + kCRLF + QStringLiteral("¿Desea interrumpir el envío y cerrar el programa?"),
                         platform::vbYesNo | platform::vbQuestion | platform::vbDefaultButton2, kTituloAviso)
        == platform::vbYes) {
        m_cerrarAlTerminar = true;
        interrumpir();
    }
    return false;
}

void FormularioEnvio::interrumpir()
{
    if (m_corriendo)
        m_envio.interrumpir();
}

void FormularioEnvio::descargar() { m_db.CierraRecordset(m_rsTransmisiones); }

void FormularioEnvio::cambioDeCorrida()
{
    if (m_alCambiar)
        m_alCambiar();
}

void FormularioEnvio::EnviarMaestros()
{
    DetalleOn(false);
    EnvioMaestros::Datos d;
    d.numero = txtFields[kTransmision].texto.trimmed();
    d.responsable = txtFields[kResponsable].texto.trimmed();
    d.carpeta = Dir1;
    d.idLista = txtFields[kLista].texto.trimmed();
    d.precios = chkPrecios;
    d.retransmitir = ChkMovimientos;
    d.correo = chkMail;
    d.unidadNegocio = UnidadNegocio;
    m_corriendo = true;
    cambioDeCorrida();
    m_ultimo = m_envio.EnviarMaestros(d);
    m_corriendo = false;
    cambioDeCorrida();
}

ResumenEnvio FormularioEnvio::GeneraAutomatica()
{
    ModoConsulta = false;
    DetalleOn(false);
    ChkMovimientos = true;
    m_ultimo = m_envio.GeneraAutomatica();
    return m_ultimo;
}

FormularioEnvio::Accion FormularioEnvio::ConsultarCampo()
{
    const int i = IndiceActual;
    if (i < 0 || i >= int(txtFields.size()) || txtFields[size_t(i)].tag.trimmed().isEmpty())
        return Accion::Nada;
    SharedLookup &consulta = gConsulta();
    consulta.gUsarMascarasConsultas = true;
    consulta.gRutaMascaraConsultas =
        platform::suite::gFunciones().AgregarBarra(platform::programFolder()) + QStringLiteral("CONSULTAS.VKR");
    QString tag = txtFields[size_t(i)].tag.trimmed();
    QString valor;
    if (igual(tag, "FECHA")) {
        valor = platform::suite::gFunciones().PedirFecha();
    } else if (igual(tag, "TA_USUARIOS")) {
        consulta.CampoDevuelto = QStringLiteral("NOMBRE");
        consulta.ConsultaSearch(QStringLiteral("SELECT NOMBRE,SISTEMA  FROM TA_USUARIOS WHERE SISTEMA = 'QD000PR' "
                                               "ORDER BY NOMBRE "));
        valor = consulta.ValorDevuelto.trimmed();
    } else {
        QString descripcion, codigo, tercera;
        ModGlobal::DefinicionConsulta(tag, descripcion, codigo, tercera, true, QString());
        valor = codigo.trimmed();
    }
    txtFields[size_t(i)].texto = valor;
    CampoValida(i);
    return HuboError() ? Accion::Nada : Accion::PasarFoco;
}

void FormularioEnvio::MarcarTransmitidos()
{
    const auto marcado = envio::MarcarTransmitidos(
        m_db, [this] { return txtFields[kTransmision].texto; }, txtFields[kLista].texto, *m_vista);
    if (!marcado.ok())
        aviso(marcado.message());
}

void FormularioEnvio::VerVistas(const QString &ruta) { EjecutorScript(m_db).VerVistas(ruta); }

void FormularioEnvio::Ejecutar2(const QString &ruta, bool mostrar) { EjecutorScript(m_db).Ejecutar2(ruta, mostrar); }

} // namespace envio
