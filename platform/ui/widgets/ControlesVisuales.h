#pragma once

#include <QChar>
#include <QList>
#include <QString>

#include <functional>
#include <optional>

class QLineEdit;
class QWidget;

// The operations of the suite's library that act on windows and controls (the widget half
// of gControles and gFunciones). A control's data-field name is its "DataField" property;
// a text box's key filter is its "Filtro" property ("numero" or "mayusculas").
namespace platform::controles {

// Keeps a form inside the screen's available area (moved in, and shrunk when larger).
void AjustarFormulario(QWidget *form, bool centrar);
// Moves the focus from the focused control to the next one in the tab order (Up: the
// previous one).
void PasarFoco(int keyCode);
// The character a box accepts for a typed one: unchanged, changed or QChar() (refused).
void FiltrarTecla(const QWidget *control, QChar &key);
// Empties every text box and combo text and unchecks every check box of the form.
void LimpiarControles(QWidget *form);
// Readies a box for typing over: its whole text selected.
void PrepararControl(QLineEdit *box);
// Shows a record in the bound boxes: each box with a data-field name takes `valueOf(name)`;
// a box whose field the record lacks keeps its text.
void CargarCampos(const QList<QLineEdit *> &boxes,
                  const std::function<std::optional<QString>(const QString &)> &valueOf);
QString campoDeDatos(const QWidget *control);

} // namespace platform::controles
