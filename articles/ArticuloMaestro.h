#pragma once

#include <QByteArray>
#include <QString>

namespace articles {

// What the master-article web service says of a bar code.
struct ArticuloMaestro {
    enum class Estado {
        SinConexion, // no usable reply: no connection, time-out, an HTTP error, not a JSON object
        Vacia,       // an empty reply (or only square brackets and blanks)
        NoExiste,    // an object whose "descripcion" is blank
        Encontrado,
    };
    Estado estado = Estado::SinConexion;
    QString descripcion; // as received, not trimmed
    QString descRubro;
    QString descMarca;
    QString descUnidad;
    QString error; // why there is no usable reply (for the log)
};

// Reads the service's reply: a JSON object, or a list whose first element is that object.
// Square brackets inside the texts are kept. A member that is missing or null reads as "", a
// number or a Boolean as its text; a member holding an object or a list, a reply in which the
// JSON reader finds faults (cut short, an invalid literal) and one with more text after its
// object make the reply unusable (SinConexion, the reason in `error`).
ArticuloMaestro LeerArticuloMaestro(const QString &respuesta);

// Asks the service at `base` (the address the bar code is appended to) for `codigo`.
ArticuloMaestro ConsultarArticuloMaestro(const QString &base, const QString &codigo);

} // namespace articles
