#include "EstadoVentana.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWidget>

namespace platform {

EstadoVentana::EstadoVentana() = default;

EstadoVentana::~EstadoVentana() { delete m_window; }

void EstadoVentana::build()
{
    m_window = new QWidget(nullptr, Qt::Window | Qt::WindowStaysOnTopHint);
    m_window->setMinimumWidth(360);
    auto *layout = new QVBoxLayout(m_window);
    for (QLabel *&line : m_lines) {
        line = new QLabel(m_window);
        layout->addWidget(line);
    }
    auto *stop = new QPushButton(QStringLiteral("Detener"), m_window);
    layout->addWidget(stop);
    QObject::connect(stop, &QPushButton::clicked, m_window, [this] { m_stopAsked = true; });
}

void EstadoVentana::Mostrar(const QString &titulo, int)
{
    if (!m_window)
        build();
    m_stopAsked = false;
    m_window->setWindowTitle(titulo);
    for (QLabel *line : m_lines)
        line->clear();
    m_window->show();
    QCoreApplication::processEvents();
}

void EstadoVentana::Actualizar(short &detener, const QString &linea1, const QString &linea2, const QString &linea3)
{
    if (!m_window)
        build();
    const QString texts[3] = {linea1, linea2, linea3};
    for (int i = 0; i < 3; ++i)
        m_lines[i]->setText(texts[i]);
    QCoreApplication::processEvents();
    if (m_stopAsked)
        detener = 1;
}

void EstadoVentana::Cerrar()
{
    if (m_window)
        m_window->hide();
}

} // namespace platform
