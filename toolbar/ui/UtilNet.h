#pragma once

#include "toolbar/UtilNetState.h"

#include <QWidget>

#include <array>

class QAction;
class QToolBar;

namespace toolbar {

// The command bar a form embeds (the form holds it as UtilNet1): eight fixed buttons
// that report every press as one upper-case word through `click`, the same words
// for the function keys the form forwards to KeyAnalisis, and per-button enabled
// and visible flags that the form sets as its state changes.
//
// Pictures: construction (and ActualizarBotones) reads the user's style value of the
// station file (QD000PR.INI, section <USER>Styles, key Styles, default "1"); a host may
// set another with setStyleValue. The matching strip is looked up in the program
// folder. Without a readable strip (the suite's bitmaps are Windows files) each button
// shows the desktop icon theme's picture of its freedesktop name, or Qt's own standard
// picture when the theme has none. Along the top the bar keeps its height when the form
// grows.
class UtilNet : public QWidget {
    Q_OBJECT

public:
    explicit UtilNet(QWidget *parent = nullptr);

    bool NuevoEnabled() const { return flagEnabled(Boton::Nuevo); }
    void setNuevoEnabled(bool value) { setFlagEnabled(Boton::Nuevo, value); }
    bool BorrarEnabled() const { return flagEnabled(Boton::Borrar); }
    void setBorrarEnabled(bool value) { setFlagEnabled(Boton::Borrar, value); }
    bool ReporteEnabled() const { return flagEnabled(Boton::Reporte); }
    void setReporteEnabled(bool value) { setFlagEnabled(Boton::Reporte, value); }
    bool ConsultaEnabled() const { return flagEnabled(Boton::Consulta); }
    void setConsultaEnabled(bool value) { setFlagEnabled(Boton::Consulta, value); }
    bool PlanillaEnabled() const { return flagEnabled(Boton::Planilla); }
    void setPlanillaEnabled(bool value) { setFlagEnabled(Boton::Planilla, value); }
    bool CancelarEnabled() const { return flagEnabled(Boton::Cancelar); }
    void setCancelarEnabled(bool value) { setFlagEnabled(Boton::Cancelar, value); }
    bool GrabarEnabled() const { return flagEnabled(Boton::Grabar); }
    void setGrabarEnabled(bool value) { setFlagEnabled(Boton::Grabar, value); }
    bool CerrarEnabled() const { return flagEnabled(Boton::Cerrar); }
    void setCerrarEnabled(bool value) { setFlagEnabled(Boton::Cerrar, value); }

    bool NuevoVisible() const { return flagVisible(Boton::Nuevo); }
    void setNuevoVisible(bool value) { setFlagVisible(Boton::Nuevo, value); }
    bool BorrarVisible() const { return flagVisible(Boton::Borrar); }
    void setBorrarVisible(bool value) { setFlagVisible(Boton::Borrar, value); }
    bool ReporteVisible() const { return flagVisible(Boton::Reporte); }
    void setReporteVisible(bool value) { setFlagVisible(Boton::Reporte, value); }
    bool consultarVisible() const { return flagVisible(Boton::Consulta); }
    void setconsultarVisible(bool value) { setFlagVisible(Boton::Consulta, value); }
    bool PlanillaVisible() const { return flagVisible(Boton::Planilla); }
    void setPlanillaVisible(bool value) { setFlagVisible(Boton::Planilla, value); }
    bool CancelarVisible() const { return flagVisible(Boton::Cancelar); }
    void setCancelarVisible(bool value) { setFlagVisible(Boton::Cancelar, value); }
    bool GrabarVisible() const { return flagVisible(Boton::Grabar); }
    void setGrabarVisible(bool value) { setFlagVisible(Boton::Grabar, value); }
    bool CerrarVisible() const { return flagVisible(Boton::Cerrar); }
    void setCerrarVisible(bool value) { setFlagVisible(Boton::Cerrar, value); }

    bool ConTitulo() const { return m_state.ConTitulo(); }
    void setConTitulo(bool value);
    int Theme() const { return m_state.Theme(); }
    void setTheme(int value) { m_state.setTheme(value); }

    // The control's own stored Enabled flag, the flags and the stored property set
    // live in state(); QWidget::setEnabled keeps its Qt meaning on this widget.
    const UtilNetState &state() const { return m_state; }
    // Applies the host's stored property set (missing keys read as True).
    void readStoredProperties(const QVariantHash &stored);

    // The user's style value that picks the icon strip; reloads the pictures.
    void setStyleValue(const QString &styles);
    QString styleValue() const { return m_styles; }
    // True when the buttons carry pictures (always, since the desktop's stand in).
    bool hasIcons() const { return m_hasIcons; }
    // True when the pictures come from the suite's bitmap strip.
    bool iconsFromStrip() const { return m_iconsFromStrip; }

    // Starts over as a new control: every flag True, the style read again, pictures reloaded.
    void ActualizarBotones();
    // Raises `click` with the word of a forwarded VB key code (see vbKeyCode) when
    // its button is enabled; returns whether a word was raised.
    bool KeyAnalisis(int keyCode);

    QToolBar *toolBar() const { return m_toolBar; }
    QAction *action(Boton boton) const;

Q_SIGNALS:
    // One upper-case command word: NUEVO, BORRAR, REPORTE, CONSULTAR, PLANILLA,
    // CANCELAR, GRABAR or CERRAR. Raised while the pressed button is still handling
    // its mouse event: a handler closes its form with close() or deleteLater(),
    // never with delete.
    void click(const QString &word);
    // A property was set (named as the host's property set names it).
    void propertyChanged(const QString &name);

protected:
    void showEvent(QShowEvent *event) override;

private:
    bool flagEnabled(Boton boton) const { return m_state.isButtonEnabled(boton); }
    bool flagVisible(Boton boton) const { return m_state.isButtonVisible(boton); }
    void setFlagEnabled(Boton boton, bool value);
    void setFlagVisible(Boton boton, bool value);
    void createActions();
    void loadIcons();
    void useThemeIcons();
    void refreshButtons();
    void buttonExecuted(int id);

    UtilNetState m_state;
    QToolBar *m_toolBar = nullptr;
    std::array<QAction *, kButtonCount> m_actions{};
    QString m_styles = QStringLiteral("1");
    bool m_hasIcons = false;
    bool m_iconsFromStrip = false;
};

} // namespace toolbar
