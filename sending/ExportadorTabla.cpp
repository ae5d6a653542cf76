#include "ExportadorTabla.h"

#include "package/Format.h"
#include "package/LineWriter.h"

#include "db/DB_Dll.h"
#include "platform/Logger.h"
#include "platform/RuntimeError.h"
#include "platform/ado/Recordset.h"
#include "platform/suite/Funciones.h"

#include <QDateTime>
#include <QElapsedTimer>

namespace envio {

namespace {

constexpr qint64 kRefrescoMs = 100;

bool esDecimal(int tipo) { return tipo == ado::adCurrency || tipo == ado::adNumeric || tipo == ado::adDecimal; }

[[noreturn]] void fallaArchivo(const QString &mensaje)
{
    throw platform::RuntimeError(75, mensaje, QStringLiteral("ExportarTabla"));
}

qint64 ahoraMs()
{
    static QElapsedTimer reloj;
    if (!reloj.isValid())
        reloj.start();
    return reloj.elapsed();
}

} // namespace

struct ExportadorTabla::Columnas {
    QString tabla;
    std::vector<int> escritas; // fields of a line, in order
    std::vector<bool> booleanas;
    std::vector<int> clave; // fields holding the stamp's key values
    int sentencia = -1;     // the stamp in m_marcas; -1: the rows are not stamped
};

ExportadorTabla::ExportadorTabla(DB_Dll &db, VistaEnvio &vista, ListaMarcas &marcas)
    : m_db(db), m_vista(vista), m_marcas(marcas)
{}

TablaExportada ExportadorTabla::ExportarTabla(const QString &tabla, const OpcionesExportacion &opciones)
{
    TablaExportada resultado;
    const QString ruta = platform::suite::gFunciones().AgregarBarra(opciones.carpeta) + tabla + QStringLiteral(".dat");
    package::LineWriter archivo;
    if (const platform::Status abierto = archivo.open(ruta); !abierto.ok())
        fallaArchivo(abierto.message());
    if (tabla.compare(QLatin1String("V_MA_PRECIOS"), Qt::CaseInsensitive) == 0)
        bajaDePrecio(archivo, opciones);

    LectorPaginado lector(m_db, consultaPara(tabla, opciones), m_tamanoPagina);
    const long total = lector.cantidad();
    long contador = 0;
    bool primera = true;
    Columnas columnas;
    m_ultimoRefresco = -1;
    while (const std::shared_ptr<ado::Recordset> rs = lector.siguiente()) {
        if (primera)
            columnas = columnasDe(*rs, tabla, resultado, !opciones.retransmitir);
        primera = false;
        for (; !rs->EOF(); rs->MoveNext()) {
            exportarFila(*rs, columnas, archivo, resultado);
            mostrar(tabla, ++contador, total, false);
        }
    }
    if (const platform::Status escrito = archivo.commit(); !escrito.ok())
        fallaArchivo(escrito.message());
    mostrar(tabla, contador, total, true);
    return resultado;
}

// At most one withdrawn price per sending: its deletion line opens the prices' file, and
// the history row is marked sent with the other stamps.
void ExportadorTabla::bajaDePrecio(package::LineWriter &archivo, const OpcionesExportacion &opciones)
{
    const bool conLista = !opciones.idLista.trimmed().isEmpty();
    Sentencia buscar(m_db.gCnn,
                     paraUsuario(m_db,
                                 QStringLiteral("SELECT TOP 1 * FROM V_MV_PRECIOSHIS WHERE OBSERVACIONES='BAJA'")
                                     + (conLista ? QStringLiteral(" AND IDLISTA = ?") : QString())
                                     + QStringLiteral(" ORDER BY ID")));
    const std::shared_ptr<ado::Recordset> rs =
        buscar.abrir(conLista ? Valores{platform::Variant(listaAlineada(opciones.idLista))} : Valores{});
    if (rs->EOF())
        return;
    m_vista.atender();
    const auto &f = platform::suite::gFunciones();
    archivo.write(package::writePriceDeletion(f.NuloAVacio(rs->value(QStringLiteral("IdLista"))),
                                              f.NuloAVacio(rs->value(QStringLiteral("IdArticulo")))));
    const int marca =
        m_marcas.sentencia(QStringLiteral("V_MV_PRECIOSHIS"), QStringLiteral("OBSERVACIONES='BAJA/TRANSMITIDO'"),
                           {QStringLiteral("ID")}, false);
    m_marcas.agregar(marca, {rs->value(QStringLiteral("ID"))});
}

ExportadorTabla::Columnas ExportadorTabla::columnasDe(ado::Recordset &rs, const QString &tabla,
                                                      TablaExportada &resultado, bool marcar)
{
    Columnas c;
    c.tabla = tabla;
    ado::Fields campos = rs.fields();
    for (int i = 0; i < campos.Count(); ++i) {
        if (package::leftOutOfLine(campos.Item(i).Name()))
            continue;
        c.escritas.push_back(i);
        c.booleanas.push_back(m_db.ADOBoolean(campos.Item(i).Type()));
    }
    const ReglaMarca regla = reglaMarca(tabla, campos.indexOf(QStringLiteral("ID")) >= 0);
    QString falta;
    for (const QString &campo : regla.campos) {
        const int indice = campos.indexOf(campo);
        if (indice < 0 && falta.isEmpty())
            falta = campo;
        c.clave.push_back(indice);
    }
    if (!falta.isEmpty())
        c.clave.clear();
    if (!marcar)
        return c;
    // No stamp runs without its key condition: a table without one is reported instead.
    if (regla.claves.isEmpty())
        resultado.aviso = QStringLiteral("La tabla %1 no tiene clave: sus filas no se marcan como enviadas").arg(tabla);
    else if (!falta.isEmpty())
        resultado.aviso =
            QStringLiteral("La tabla %1 no tiene la columna clave %2: sus filas no se marcan como enviadas")
                .arg(tabla, falta);
    else
        c.sentencia = m_marcas.sentencia(tabla, regla.asignaciones, regla.claves, true);
    return c;
}

void ExportadorTabla::exportarFila(ado::Recordset &rs, const Columnas &columnas, package::LineWriter &archivo,
                                   TablaExportada &resultado)
{
    QStringList valores;
    valores.reserve(qsizetype(columnas.escritas.size()));
    for (size_t k = 0; k < columnas.escritas.size(); ++k) {
        const ado::Field campo = rs.field(columnas.escritas[k]);
        const platform::Variant valor = campo.Value();
        if (valor.kind() == platform::Variant::Kind::Text) {
            if (esDecimal(campo.Type())) {
                // An amount a double cannot hold, read as its exact text: every digit travels.
                valores << valor.toString().replace(QLatin1Char('.'), QLatin1Char(','));
                continue;
            }
            const QString motivo = package::unwritableText(valor.toString());
            if (!motivo.isEmpty()) {
                QStringList clave;
                for (int i : columnas.clave)
                    clave << rs.field(i).Name() + QLatin1Char('=') + rs.field(i).Value().toString().trimmed();
                resultado.omitidas.append(
                    FilaOmitida{columnas.tabla, clave.join(QStringLiteral(", ")), campo.Name(), motivo});
                return;
            }
        }
        valores << package::writeValue(valor, columnas.booleanas[k]);
    }
    archivo.write(package::writeLine(valores));
    ++resultado.filas;
    if (columnas.sentencia < 0)
        return;
    Valores clave;
    clave.reserve(columnas.clave.size());
    for (int i : columnas.clave)
        clave.push_back(rs.field(i).Value());
    m_marcas.agregar(columnas.sentencia, clave);
}

void ExportadorTabla::mostrar(const QString &tabla, long contador, long total, bool forzar)
{
    const qint64 ahora = ahoraMs();
    if (!forzar && m_ultimoRefresco >= 0 && ahora - m_ultimoRefresco < kRefrescoMs)
        return;
    m_ultimoRefresco = ahora;
    m_vista.actualizando(QStringLiteral("Generando Archivo %1.TXT : %2 registros").arg(tabla).arg(contador + 1));
    m_vista.avance(total > 0 ? double(contador) * 100.0 / double(total) : 100.0);
    m_vista.atender();
}

} // namespace envio
