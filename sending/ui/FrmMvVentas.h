#pragma once

#include <QWidget>

#include <QString>

class QLabel;

// A stub form the system carries without using it: nothing creates, shows or calls it. Its
// two public procedures do nothing, and its serial-port handler has no effect.
class FrmMvVentas : public QWidget {
    Q_OBJECT

public:
    explicit FrmMvVentas(QWidget *parent = nullptr);

    void AgregoRegargo(double cualquierimporte);
    void AnulacionCompleta(const QString &TC, const QString &Sucursal, const QString &Numero, const QString &Letra);
    // The serial-port control's event handler (no port is ever opened).
    void MSComm1_OnComm();

private:
    QLabel *MSFlexGrid1 = nullptr;
    QLabel *MSFlexGrid3 = nullptr;
};
