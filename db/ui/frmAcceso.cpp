#include "db/ui/frmAcceso.h"

#include "platform/ui/Operator.h"

#include <QComboBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QStringListModel>
#include <QToolButton>
#include <QVBoxLayout>

frmAcceso::frmAcceso(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Control de Acceso"));
    construir();
    conectar();
}

void frmAcceso::construir()
{
    auto linea = [this](const QString &name) {
        auto *edit = new QLineEdit(this);
        edit->setObjectName(name);
        edit->setPlaceholderText(FrmAccesoLogic::hint(name));
        return edit;
    };
    TxtUserId = linea(QStringLiteral("TxtUserId"));
    TxtUserPassword = linea(QStringLiteral("TxtUserPassword"));
    TxtUserPassword->setEchoMode(QLineEdit::Password);
    TxtDbName = linea(QStringLiteral("TxtDbName"));
    TxtServidor = linea(QStringLiteral("TxtServidor"));
    TxtPuerto = linea(QStringLiteral("TxtPuerto"));
    TxtPuerto->setText(QStringLiteral("1433"));
    CboPlataformaDB = new QComboBox(this);
    CboPlataformaDB->setObjectName(QStringLiteral("CboPlataformaDB"));
    CboPlataformaDB->addItems(FrmAccesoLogic::plataformas());
    cmdBuscarArchivo = new QToolButton(this);
    cmdBuscarArchivo->setText(QStringLiteral("..."));
    cmdBuscarArchivo->setVisible(false);
    construirLista();
    disponer();
}

void frmAcceso::construirLista()
{
    Label1 = new QLabel(QStringLiteral("Bases registradas"), this);
    lstBases = new QListView(this);
    lstBases->setObjectName(QStringLiteral("lstBases"));
    lstBases->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_modelo = new QStringListModel(this);
    lstBases->setModel(m_modelo);

    bcAceptar = new QPushButton(QStringLiteral("Aceptar"), this);
    bcAceptar->setDefault(true);
    CmdRegistrar = new QPushButton(QStringLiteral("Registrar"), this);
    bcCancelar = new QPushButton(QStringLiteral("Cancelar"), this);
    CmdLineaComando = new QPushButton(QStringLiteral("Crear Acceso Directo"), this);
}

void frmAcceso::disponer()
{
    framAcceso = new QGroupBox(this);
    framAcceso->setObjectName(QStringLiteral("framAcceso"));
    auto *form = new QFormLayout(framAcceso);
    form->addRow(QStringLiteral("Plataforma"), CboPlataformaDB);
    form->addRow(QStringLiteral("Servidor"), TxtServidor);
    form->addRow(QStringLiteral("Puerto"), TxtPuerto);
    auto *dbRow = new QHBoxLayout;
    dbRow->addWidget(TxtDbName);
    dbRow->addWidget(cmdBuscarArchivo);
    form->addRow(QStringLiteral("Base de datos"), dbRow);
    form->addRow(QStringLiteral("Usuario"), TxtUserId);
    form->addRow(QStringLiteral("Contraseña"), TxtUserPassword);

    auto *buttons = new QHBoxLayout;
    for (QPushButton *b : {bcAceptar, CmdRegistrar, bcCancelar, CmdLineaComando})
        buttons->addWidget(b);
    auto *left = new QVBoxLayout;
    left->addWidget(Label1);
    left->addWidget(lstBases);
    auto *top = new QHBoxLayout;
    top->addLayout(left);
    top->addWidget(framAcceso, 1);
    auto *main = new QVBoxLayout(this);
    main->addLayout(top);
    main->addLayout(buttons);
}

void frmAcceso::conectar()
{
    connect(bcAceptar, &QPushButton::clicked, this, &frmAcceso::bcAceptar_Click);
    connect(bcCancelar, &QPushButton::clicked, this, &frmAcceso::bcCancelar_Click);
    connect(CmdRegistrar, &QPushButton::clicked, this, &frmAcceso::CmdRegistrar_Click);
    connect(CmdLineaComando, &QPushButton::clicked, this, &frmAcceso::CmdLineaComando_Click);
    connect(lstBases, &QListView::clicked, this, [this](const QModelIndex &index) { lstBases_Click(index.row()); });
    connect(lstBases, &QListView::doubleClicked, this,
            [this](const QModelIndex &index) { lstBases_DblClick(index.row()); });
    // Moving through the list with the keys shows each record, as a click does.
    connect(lstBases->selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex &index) {
        if (index.isValid() && index.row() != m_logica.listIndex())
            lstBases_Click(index.row());
    });
    connect(CboPlataformaDB, &QComboBox::currentIndexChanged, this, &frmAcceso::plataformaCambiada);
    connect(cmdBuscarArchivo, &QToolButton::clicked, this, &frmAcceso::buscarArchivo);
}

void frmAcceso::instalar()
{
    DB_Dll::setDialogoAcceso([](DB_Dll::DatosAcceso &datos) {
        frmAcceso dialog;
        dialog.cargar();
        dialog.asignar(datos);
        dialog.exec();
        if (dialog.Aceptar())
            datos = dialog.datos();
        return dialog.Aceptar();
    });
}

void frmAcceso::cargar()
{
    m_logica.cargar();
    refrescarLista();
    desdeLogica();
}

void frmAcceso::asignar(const DB_Dll::DatosAcceso &datos)
{
    m_logica.asignar(datos);
    desdeLogica();
}

DB_Dll::DatosAcceso frmAcceso::datos()
{
    aLogica();
    return m_logica.datos();
}

void frmAcceso::aLogica()
{
    m_logica.TxtDbName = TxtDbName->text();
    m_logica.TxtServidor = TxtServidor->text();
    m_logica.TxtUserId = TxtUserId->text();
    m_logica.TxtUserPassword = TxtUserPassword->text();
    m_logica.TxtPuerto = TxtPuerto->text();
    m_logica.CboPlataformaDB = CboPlataformaDB->currentIndex();
}

void frmAcceso::desdeLogica()
{
    TxtDbName->setText(m_logica.TxtDbName);
    TxtServidor->setText(m_logica.TxtServidor);
    TxtUserId->setText(m_logica.TxtUserId);
    TxtUserPassword->setText(m_logica.TxtUserPassword);
    TxtPuerto->setText(m_logica.TxtPuerto);
    CboPlataformaDB->setCurrentIndex(m_logica.CboPlataformaDB);
}

void frmAcceso::refrescarLista()
{
    m_modelo->setStringList(m_logica.lstBases());
    if (m_logica.listIndex() >= 0)
        lstBases->setCurrentIndex(m_modelo->index(m_logica.listIndex()));
}

// An embedded database is a file: it has no server or port to give.
void frmAcceso::plataformaCambiada(int index)
{
    const bool embedded = index == 2;
    cmdBuscarArchivo->setVisible(embedded);
    TxtServidor->setEnabled(!embedded);
    TxtPuerto->setEnabled(!embedded);
}

void frmAcceso::bcAceptar_Click()
{
    aLogica();
    m_logica.Aceptar = true;
    accept();
}

void frmAcceso::bcCancelar_Click()
{
    m_logica.Aceptar = false;
    reject();
}

void frmAcceso::CmdRegistrar_Click()
{
    aLogica();
    m_logica.CmdRegistrar();
    refrescarLista();
    desdeLogica();
}

void frmAcceso::CmdLineaComando_Click()
{
    const platform::Status hecho = m_logica.CmdLineaComando();
    if (!hecho)
        platform::msgBox(hecho.message(), platform::vbCritical);
}

void frmAcceso::lstBases_Click(int row)
{
    m_logica.seleccionar(row);
    desdeLogica();
}

void frmAcceso::lstBases_DblClick(int row)
{
    lstBases_Click(row);
    bcAceptar_Click();
}

void frmAcceso::buscarArchivo()
{
    const QString file = QFileDialog::getOpenFileName(this, QStringLiteral("Buscar Base de Datos"), TxtDbName->text());
    if (!file.isEmpty())
        TxtDbName->setText(file);
}
