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

PrecioCalculado porUtilidad(const DatosPrecio &d, Importe costo, Importe tasa, bool conImpuesto)
{
    PrecioCalculado r;
    const Importe utilidad = leido(d.utilidad);
    if (utilidad <= Importe())
        return r;
    Importe precio;
    siPuede([&] { precio = Importe::desdeDoble(costo.aDoble() + utilidad.por(costo).aDoble() / 100.0); });
    if (conImpuesto)
        siPuede([&] { precio = Importe::desdeDoble(precio.aDoble() * (tasa.aDoble() / 100.0 + 1.0)); });
    r.precio = ModGlobal::FmtMoneda(precio.texto(), -1, false);
    r.precioRecordado = precio;
    return r;
}

PrecioCalculado porPrecio(const DatosPrecio &d, Importe costo, Importe tasa, bool conImpuesto)
{
    PrecioCalculado r;
    Importe precio = leido(d.precio);
    if (conImpuesto)
        siPuede([&] { precio = Importe::desdeDoble(precio.aDoble() / (tasa.aDoble() / 100.0 + 1.0)); });
    Importe utilidad;
    siPuede([&] {
        if (costo == Importe())
            throw platform::RuntimeError(11, QStringLiteral("División por cero"));
        utilidad = Importe::desdeDoble(precio.por(kCien).aDoble() / costo.aDoble() - 100.0);
    });
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
