#include "BuscarArticulo.h"

#include "Configuracion.h"
#include "Globals.h"
#include "db/DB_Dll.h"
#include "db/SqlText.h"
#include "platform/Paths.h"
#include "platform/suite/Funciones.h"
#include "platform/ui/Operator.h"

#include <QRegularExpression>

#include <cmath>
#include <optional>

namespace ModGlobal {

namespace {

constexpr int kCodeWidth = 25;
constexpr int kListWidth = 4;
const QString kArticles = QStringLiteral("SELECT *,IDUNIDAD AS UDBASE  FROM V_MA_ARTICULOS WHERE ");

const QStringList &layouts()
{
    static const QStringList all = {
        QStringLiteral("0CCCCCTTTTT"), QStringLiteral("CCCCCTTTTTT"), QStringLiteral("CCCC0TTTTTT"),
        QStringLiteral("CCCCCCTTTTT"), QStringLiteral("CCCCC0PPPPP"), QStringLiteral("CCCCC0QQQQQ"),
        QStringLiteral("CCCCCCPPPPP"), QStringLiteral("CCCCCTTTTT"),  QStringLiteral("CCCCTTTTT"),
        QStringLiteral("CCCCCCQQQQQ"), QStringLiteral("00CCCCPPPPP"), QStringLiteral("00CCCCQQQQQ"),
        QStringLiteral("0CCCCCPPPPP"), QStringLiteral("0CCCCCQQQQQ"), QStringLiteral("CCCCCPPPPPP"),
    };
    return all;
}

bool isNumeric(const QString &text)
{
    static const QRegularExpression number(QStringLiteral("^\\s*[+-]?(\\d+([.,]\\d*)?|[.,]\\d+)\\s*$"));
    return number.match(text).hasMatch();
}

bool isCatalogueProgram()
{
    const QString exe = platform::executableName();
    return exe.compare(QStringLiteral("v_ma_articulos"), Qt::CaseInsensitive) == 0
        || exe.compare(QStringLiteral("v_ma_articulos2"), Qt::CaseInsensitive) == 0;
}

std::optional<double> amountOf(const QString &text)
{
    try {
        return platform::suite::gFunciones().TextoAMoneda(text);
    } catch (const platform::RuntimeError &) {
        return std::nullopt;
    }
}

double divisor()
{
    const QString decimals = gDecimalesCodigoBarra.trimmed();
    const int d = decimals.isEmpty() ? 0 : int(db::sqltext::leadingNumber(decimals));
    return (d >= 1 && d <= 4) ? std::pow(10.0, d) : 1.0;
}

QString padded(const QString &code) { return platform::suite::gFunciones().AlinearDerecha(code, kCodeWidth); }
QString quoted(const QString &text) { return QLatin1Char('\'') + db::sqltext::escapeQuotes(text) + QLatin1Char('\''); }

// The state of one lookup as the code is taken apart.
struct Scan {
    QString code;
    int offset = 1;
    double sign = 1;
    bool carriesQuantity = false;
};

void takeQuantityPrefix(Scan &scan, ArticuloBuscado &out)
{
    const qsizetype star = scan.code.indexOf(QLatin1Char('*'));
    if (scan.code.size() <= 2 || star < 0 || isCatalogueProgram())
        return;
    const auto quantity = amountOf(scan.code.left(star));
    if (!quantity || *quantity == 0)
        return;
    out.cantidad = *quantity;
    scan.carriesQuantity = true;
    scan.code = scan.code.mid(star + 1).trimmed();
}

void takeBatch(Scan &scan, ArticuloBuscado &out)
{
    if (!(gAsignacionAutomaticaDeLoteING || gAsignacionAutomaticaDeLoteINGOP) || scan.code.size() <= 2
        || isCatalogueProgram())
        return;
    const qsizetype k = scan.code.indexOf(QLatin1Char('A'));
    if (k < 0)
        return;
    const QString before = scan.code.left(k);
    const QString after = scan.code.mid(k + 1);
    if (k > 0 && isNumeric(before) && isNumeric(after)) {
        out.lote = before.trimmed();
        scan.code = after.trimmed();
    } else if (k == 0 && isNumeric(after)) {
        out.lote.clear();
        scan.code = after.trimmed();
    }
}

void takeSign(Scan &scan)
{
    const QString t = scan.code.trimmed();
    const qsizetype n = t.size();
    const bool prefixed = isNumeric(scan.code)
        && ((n == 13 && t.startsWith(QLatin1Char('0'))) || (n == 13 && t.startsWith(QStringLiteral("-0")))
            || (n == 12 && t.startsWith(QLatin1Char('0'))));
    if (!prefixed)
        return;
    scan.offset = 2;
    if (n == 13 && t.startsWith(QLatin1Char('-'))) {
        scan.code = t.mid(1);
        scan.offset = 1;
        scan.sign = -1;
    } else if (n == 12) {
        scan.offset = 1;
    }
}

void applyLayout(Scan &scan, ArticuloBuscado &out)
{
    const QString layout = gFormatoCodigoBarra.trimmed();
    if (layout.isEmpty() || !layouts().contains(layout, Qt::CaseInsensitive))
        return;
    QString article, quantity, amount;
    for (int i = 0; i < layout.size(); ++i) {
        const int position = scan.offset - 1 + i;
        if (position >= scan.code.size())
            break;
        const QChar digit = scan.code.at(position);
        switch (layout.at(i).toUpper().unicode()) {
        case 'C':
            article += digit;
            break;
        case 'Q':
            quantity += digit;
            break;
        case 'P':
        case 'T':
            amount += digit;
            break;
        default:
            break;
        }
    }
    if (!quantity.isEmpty())
        out.cantidad = amountOf(quantity).value_or(0) / divisor() * scan.sign;
    if (!amount.isEmpty()) {
        out.importe = amountOf(amount).value_or(0) / divisor() * scan.sign;
        out.cantidad = scan.sign;
    }
    scan.carriesQuantity = true;
    scan.code = article;
}

class Lookup {
public:
    Lookup(ado::Recordset &rs, bool modoApertura) : m_rs(rs), m_mode(modoApertura) {}
    bool found(const QString &statement)
    {
        const int cursor = m_mode ? ado::adOpenForwardOnly : ado::adOpenStatic;
        const int lock = m_mode ? ado::adLockReadOnly : ado::adLockOptimistic;
        return gDB().AbrirRecordset(statement, m_rs, nullptr, cursor, lock) && !m_rs.BOF();
    }
    QString value(const char *column)
    {
        return platform::suite::gFunciones().NuloAVacio(m_rs.value(QString::fromLatin1(column)));
    }

private:
    ado::Recordset &m_rs;
    bool m_mode;
};

bool byBarCodes(Lookup &lookup, const QString &code)
{
    const QString p = quoted(padded(code));
    if (lookup.found(kArticles + QStringLiteral("codigobarra =  ") + p))
        return true;
    if (lookup.found(QStringLiteral("SELECT *,IDUNIDAD AS UDBASE , ISNULL(UD_TTE,IDUNIDAD) AS IDUNIDAD FROM "
                                    "V_MA_ARTICULOS WHERE CODIGOBARRADUN = ")
                     + p))
        return true;
    for (int i = 1; i <= 4; ++i) {
        const QString statement = QStringLiteral("SELECT *,IDUNIDAD AS UDBASE , ISNULL(UMCB%1,IDUNIDAD) AS IDUNIDAD "
                                                 "FROM V_MA_ARTICULOS WHERE CODIGOBARRA%1 = ")
                                      .arg(i)
            + p;
        if (lookup.found(statement))
            return true;
    }
    return false;
}

bool byIdentifier(Lookup &lookup, const QString &code)
{
    return lookup.found(kArticles + QStringLiteral("IDARTICULO = ") + quoted(padded(code)));
}

bool bySupplierList(Lookup &lookup, QString &code, const QString &cuenta, const QString &lista)
{
    if (cuenta.isEmpty() || lista.isEmpty())
        return false;
    const QString statement =
        QStringLiteral(
            "SELECT IDARTICULO,IDARTICULOPROVEEDOR,idunidad as UdBase FROM V_MA_PRECIOS WHERE IDARTICULOPROVEEDOR = ")
        + quoted(padded(code)) + QStringLiteral(" and IDLISTA = ")
        + quoted(platform::suite::gFunciones().AlinearDerecha(lista, kListWidth))
        + QStringLiteral(" AND TIPOLISTA = 'C'");
    if (!lookup.found(statement))
        return false;
    code = lookup.value("IdArticulo");
    return lookup.found(kArticles + QStringLiteral("idarticulo = ") + quoted(padded(code)));
}

bool bySupplierCode(Lookup &lookup, QString &code, const QString &cuenta)
{
    if (cuenta.isEmpty())
        return false;
    const QString tail = QStringLiteral(" and CuentaProveedor = ") + quoted(cuenta.trimmed());
    if (lookup.found(kArticles + QStringLiteral("CodigoArtProveedor = ") + quoted(padded(code)) + tail)) {
        code = lookup.value("IdArticulo");
        return true;
    }
    if (code.contains(QLatin1Char('.'))
        && lookup.found(kArticles + QStringLiteral("CodigoArtProveedor = ") + quoted(code.trimmed()) + tail)) {
        code = lookup.value("IdArticulo");
        return true;
    }
    return false;
}

bool search(Lookup &lookup, QString &code, std::int16_t porCodigoBarra, const QString &cuenta, const QString &lista)
{
    auto takeArticleId = [&] {
        code = lookup.value("IdArticulo");
        return true;
    };
    if (porCodigoBarra != 0) {
        if (lookup.found(QStringLiteral("SELECT *,IDUNIDAD AS UDBASE FROM V_MA_ARTICULOS WHERE codigobarra =  ")
                         + quoted(padded(code))))
            return takeArticleId();
    } else if (byIdentifier(lookup, code)) {
        return true;
    }
    if (byBarCodes(lookup, code))
        return takeArticleId();
    if (byIdentifier(lookup, code))
        return true;
    return bySupplierList(lookup, code, cuenta, lista) || bySupplierCode(lookup, code, cuenta);
}

bool isSalesProgram() { return gProgramasDeVenta.contains(platform::executableName(), Qt::CaseInsensitive); }

void checkBusinessUnit(Lookup &lookup, const QString &tipoComprobante, std::int16_t &aviso)
{
    const QString type = tipoComprobante.trimmed().toUpper();
    if (!isSalesProgram() || !gRazonSocialPorUneg || type == u"FP" || type == u"NCFP" || type == u"NP")
        return;
    if (lookup.value("idTipo") == gUnidadNegocio)
        return;
    if (aviso == 0)
        platform::msgBox(QStringLiteral("Este articulo pertenece a una unidad de negocio distinta a la seleccionada"),
                         platform::vbOKOnly);
    else if (aviso == 1)
        aviso = 2;
}

} // namespace

bool BuscarArticulo(QString &codigo, ado::Recordset *rs, bool modoApertura, std::int16_t &porCodigoBarra,
                    ArticuloBuscado &resultado, const QString &cuentaProveedor, const QString &lista,
                    const QString &tipoComprobante, std::int16_t &avisoUnidadNegocio)
{
    if (codigo.trimmed().isEmpty())
        return false;
    resultado.unidadBase.clear();
    if (codigo.size() <= 3)
        porCodigoBarra = 0;
    ado::Recordset own;
    ado::Recordset &target = rs ? *rs : own;
    Scan scan{codigo};
    resultado.cantidad = 1;
    takeQuantityPrefix(scan, resultado);
    takeBatch(scan, resultado);
    takeSign(scan);
    applyLayout(scan, resultado);
    if (!scan.carriesQuantity)
        resultado.cantidad = scan.sign;
    codigo = scan.code;

    Lookup lookup(target, modoApertura);
    const bool found = search(lookup, codigo, porCodigoBarra, cuentaProveedor, lista);
    if (found) {
        resultado.unidadBase = lookup.value("UdBase");
        resultado.descripcion = lookup.value("Descripcion");
        checkBusinessUnit(lookup, tipoComprobante, avisoUnidadNegocio);
    }
    if (gFormatoCodigoBarra.trimmed().compare(QStringLiteral("0CCCCCQQQQQ"), Qt::CaseInsensitive) == 0
        && resultado.unidadBase.trimmed() != gUNIDADDEMEDIDA_KG.trimmed())
        resultado.cantidad = scan.sign;
    if (!rs)
        gDB().CierraRecordset(own);
    return found;
}

} // namespace ModGlobal
