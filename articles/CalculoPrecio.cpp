#include "CalculoPrecio.h"

#include "core/Rutinas.h"
#include "platform/RuntimeError.h"

namespace articles {

namespace {

// The calculation skips a step that fails: the value keeps what it held.
template <typename Paso> void siPuede(Paso paso)
{
    try {
        paso();
    } catch (const platform::RuntimeError &) {
    }
}

Importe leido(const QString &texto) { return Importe::leer(texto).value_or(Importe()); }

bool es(const QString &campo, const char *nombre)
{
    return campo.trimmed().compare(QLatin1String(nombre), Qt::CaseInsensitive) == 0;
}

constexpr Importe kCien = Importe::desdeDiezmilesimos(100 * Importe::kEscala);

bool desborda(long numero) { return numero == 6; }

const QString kPrecioFuera =
    QStringLiteral("El precio calculado no entra en el importe máximo admitido; se mantiene el precio anterior.");
const QString kUtilidadFuera =
    QStringLiteral("La utilidad calculada no entra en el importe máximo admitido; se mantiene la utilidad anterior.");

PrecioCalculado porUtilidad(const DatosPrecio &d, Importe costo, Importe tasa, bool conImpuesto)
{
    PrecioCalculado r;
    const Importe utilidad = leido(d.utilidad);
    if (utilidad <= Importe())
        return r;
    // A price out of range is never shown as 0: the box keeps the price it had.
    try {
        Importe precio = Importe::desdeDoble(costo.aDoble() + utilidad.por(costo).aDoble() / 100.0);
        if (conImpuesto)
            precio = Importe::desdeDoble(precio.aDoble() * (tasa.aDoble() / 100.0 + 1.0));
        r.precio = ModGlobal::FmtMoneda(precio.texto(), -1, false);
        r.precioRecordado = precio;
    } catch (const platform::RuntimeError &) {
        r.aviso = kPrecioFuera;
    }
    return r;
}

PrecioCalculado porPrecio(const DatosPrecio &d, Importe costo, Importe tasa, bool conImpuesto)
{
    PrecioCalculado r;
    Importe precio = leido(d.precio);
    if (conImpuesto)
        siPuede([&] { precio = Importe::desdeDoble(precio.aDoble() / (tasa.aDoble() / 100.0 + 1.0)); });
    Importe utilidad;
    try {
        if (costo != Importe())
            utilidad = Importe::desdeDoble(precio.por(kCien).aDoble() / costo.aDoble() - 100.0);
    } catch (const platform::RuntimeError &error) {
        if (desborda(error.Number())) {
            r.aviso = kUtilidadFuera; // the markup box keeps its value
            return r;
        }
    }
    utilidad = leido(ModGlobal::FmtMoneda(utilidad.texto(), -1, false));
    r.utilidad = costo < precio ? utilidad.texto() : QStringLiteral("0");
    return r;
}

} // namespace

PrecioCalculado CalcularPrecio(const DatosPrecio &datos)
{
    const QString campo = es(datos.campo, "UTL_P1") ? QStringLiteral("Precio") : datos.campo.trimmed();
    const Importe costo = leido(datos.costo);
    Importe tasa = leido(datos.tasa);
    if (tasa == Importe())
        tasa = leido(datos.tasaGeneral);
    const bool conImpuesto = !datos.exento && datos.conIva;
    if (datos.cambioUtilidad || es(campo, "Costo"))
        return porUtilidad(datos, costo, tasa, conImpuesto);
    if (es(campo, "Precio"))
        return porPrecio(datos, costo, tasa, conImpuesto);
    return {};
}

} // namespace articles
