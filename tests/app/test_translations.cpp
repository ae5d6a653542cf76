// Qt's own texts (file dialog, folder tree, text box menu, standard buttons) speak Spanish
// once the program's start-up has installed its translations.

#include "Traducciones.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QTest>
#include <QTreeView>

#include <gtest/gtest.h>

namespace {

QApplication &app()
{
    static int argc = 1;
    static char name[] = "test_app_translations";
    static char *argv[] = {name, nullptr};
    static auto *application = new QApplication(argc, argv);
    return *application;
}

class QtTexts : public ::testing::Test {
protected:
    void SetUp() override
    {
        app();
        if (Programa::archivoTraducciones().isEmpty())
            GTEST_SKIP() << "Qt's Spanish translations (qtbase_es.qm) are not installed: scripts/setup.sh installs "
                            "qt6-translations-l10n";
        static const bool installed = Programa::instalarTraducciones(app());
        ASSERT_TRUE(installed);
    }
};

} // namespace

TEST_F(QtTexts, KnownTextsOfQtAreSpanish)
{
    const struct {
        const char *context;
        const char *english;
        const char *spanish;
    } texts[] = {
        {"QFileDialog", "Open", "Abrir"},       {"QPlatformTheme", "Cancel", "Cancelar"},
        {"QFileSystemModel", "Name", "Nombre"}, {"QWidgetTextControl", "&Copy", "&Copiar"},
        {"QLineEdit", "&Paste", "&Pegar"},
    };
    for (const auto &t : texts)
        EXPECT_EQ(QCoreApplication::translate(t.context, t.english), QString::fromUtf8(t.spanish)) << t.english;
}

TEST_F(QtTexts, TheFileDialogSpeaksSpanish)
{
    // Qt's own dialog, as the program shows it where no desktop dialog is at hand.
    QFileDialog dialog(nullptr, QStringLiteral("Paquete"), QDir::tempPath());
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setViewMode(QFileDialog::Detail);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));

    auto *buttons = dialog.findChild<QDialogButtonBox *>();
    ASSERT_NE(buttons, nullptr);
    QStringList texts;
    for (QAbstractButton *button : buttons->buttons())
        texts << button->text().remove(QLatin1Char('&'));
    EXPECT_TRUE(texts.contains(QStringLiteral("Abrir"))) << texts.join(u',').toStdString();
    EXPECT_TRUE(texts.contains(QStringLiteral("Cancelar"))) << texts.join(u',').toStdString();

    auto *tree = dialog.findChild<QTreeView *>();
    ASSERT_NE(tree, nullptr);
    EXPECT_EQ(tree->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Nombre"));
    dialog.reject();
}
