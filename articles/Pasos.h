#pragma once

#include "platform/Logger.h"
#include "platform/RuntimeError.h"

#include <functional>
#include <initializer_list>

namespace articles {

// The operator's answer to a failed step, as the suite's error routines give it.
enum class Respuesta { Repetir, Seguir, Salir };

// 4 repeats the failing step, 5 goes on with the next one, any other answer leaves.
inline Respuesta respuestaDe(int respuesta)
{
    return respuesta == 4 ? Respuesta::Repetir : respuesta == 5 ? Respuesta::Seguir : Respuesta::Salir;
}

// Runs the steps of a procedure in order, the way the system's handlers do: a step that
// raises goes to `manejar`, whose answer repeats it, skips to the next step or leaves. A
// step returns false to end the procedure normally. Returns false when it ended because
// the operator chose to leave after an error.
using Paso = std::function<bool()>;
using Manejador = std::function<Respuesta(const platform::RuntimeError &)>;

inline bool PasoAPaso(std::initializer_list<Paso> pasos, const Manejador &manejar)
{
    for (const Paso &paso : pasos) {
        for (;;) {
            try {
                if (!paso())
                    return true;
                break;
            } catch (const platform::RuntimeError &error) {
                const Respuesta respuesta = manejar(error);
                if (respuesta == Respuesta::Repetir)
                    continue;
                if (respuesta == Respuesta::Salir)
                    return false;
                break;
            }
        }
    }
    return true;
}

// A step of a procedure whose failures are skipped without a word to the operator (they
// reach the log).
template <typename F> void OmitirSiFalla(const QString &rutina, F paso)
{
    try {
        paso();
    } catch (const platform::RuntimeError &error) {
        platform::logger().info(QStringLiteral("%1: (%2) %3").arg(rutina).arg(error.Number()).arg(error.Description()));
    }
}

} // namespace articles
