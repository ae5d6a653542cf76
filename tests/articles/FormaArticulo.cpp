#include "FormaArticulo.h"

#include "articles/FrmArtAltaModelo.h"

void ArticleFormTest::SetUp()
{
    ArticlesDatabaseTest::SetUp();
    if (IsSkipped() || HasFatalFailure())
        return;
    m_form = std::make_unique<articles::FrmArtAltaModelo>();
    QObject::connect(m_form.get(), &articles::FrmArtAltaModelo::focoPedido, m_form.get(),
                     [this](const articles::Control &c) { m_focos << c; });
    QObject::connect(m_form.get(), &articles::FrmArtAltaModelo::ocultarPedido, m_form.get(), [this] { ++m_ocultado; });
    QObject::connect(m_form.get(), &articles::FrmArtAltaModelo::pasarFocoPedido, m_form.get(), [this] { ++m_pases; });
}

void ArticleFormTest::TearDown()
{
    m_form.reset();
    articles::gProgramaCompras.clear();
    ArticlesDatabaseTest::TearDown();
}

void ArticleFormTest::cargar()
{
    m_form->Form_Load();
    m_focos.clear();
}

void ArticleFormTest::confirmar(int caja, const QString &valor)
{
    m_form->txtFields_GotFocus(caja);
    m_form->txtFields_Change(caja, valor);
    m_form->txtFields_KeyDown(caja, 13);
}
