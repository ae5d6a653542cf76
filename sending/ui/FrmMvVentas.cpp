#include "FrmMvVentas.h"

#include <QLabel>
#include <QVBoxLayout>

FrmMvVentas::FrmMvVentas(QWidget *parent) : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Form1"));
    MSFlexGrid1 = new QLabel(this);
    MSFlexGrid1->setObjectName(QStringLiteral("MSFlexGrid1"));
    MSFlexGrid3 = new QLabel(this);
    MSFlexGrid3->setObjectName(QStringLiteral("MSFlexGrid3"));
    auto *diseno = new QVBoxLayout(this);
    diseno->addWidget(MSFlexGrid1);
    diseno->addWidget(MSFlexGrid3);
}

void FrmMvVentas::AgregoRegargo(double cualquierimporte) { Q_UNUSED(cualquierimporte) }

void FrmMvVentas::AnulacionCompleta(const QString &TC, const QString &Sucursal, const QString &Numero,
                                    const QString &Letra)
{
    Q_UNUSED(TC)
    Q_UNUSED(Sucursal)
    Q_UNUSED(Numero)
    Q_UNUSED(Letra)
}

void FrmMvVentas::MSComm1_OnComm() {}
