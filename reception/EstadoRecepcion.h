#pragma once

#include <QElapsedTimer>
#include <QString>

// The state a reception keeps while it runs, and what it shows meanwhile.
namespace recepcion {

// The reception form's counters and flags (its form-level variables).
struct EstadoRecepcion {
    bool ProcesoCancelado = false; // the last validation failed, or the last run was declined, stopped or failed
    bool FaltaControl = false;     // the package has no control file
    long CantInserciones = 0;
    long CantModificaciones = 0;
    long CantErrores = 0;
    long RegistrosRecibidos = 0;    // data lines read
    bool FinalizarPrograma = false; // the calendar question ends the program
    bool Interrumpir = false;       // the operator asked to stop: the run ends at the next row
    void reiniciarContadores() { CantInserciones = CantModificaciones = CantErrores = 0; }
};

// What a reception shows while it works. The form draws it on its labels and progress bar;
// the unattended run and the tests ignore it or record it. Calls come at most every 100 ms
// and once at the end of each table.
class VistaRecepcion {
public:
    virtual ~VistaRecepcion() = default;
    virtual void actualizando(const QString &texto) { Q_UNUSED(texto) }          // lblActualizando
    virtual void contadores(long inserciones, long modificaciones, long errores) // lblInserts...
    {
        Q_UNUSED(inserciones)
        Q_UNUSED(modificaciones)
        Q_UNUSED(errores)
    }
    virtual void avance(int valor, int maximo)
    {
        Q_UNUSED(valor)
        Q_UNUSED(maximo)
    } // PBImportar
    // The share (0 to 1) of the current table's file read so far.
    virtual void avanceTabla(double fraccion) { Q_UNUSED(fraccion) }
    // Lets the window take its pending events (the run is on the interface thread).
    virtual void atender() {}
};

// True at most once every `intervalo` milliseconds (the first call included).
class Refresco {
public:
    explicit Refresco(int intervalo = 100) : m_intervalo(intervalo) {}
    bool toca()
    {
        if (m_reloj.isValid() && m_reloj.elapsed() < m_intervalo)
            return false;
        m_reloj.start();
        return true;
    }

private:
    int m_intervalo;
    QElapsedTimer m_reloj;
};

} // namespace recepcion
