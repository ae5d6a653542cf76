#include "toolbar/UtilNetState.h"
#include "toolbar/VbKeyCode.h"

#include <gtest/gtest.h>

#include <iterator>

#include <QStringList>

using toolbar::Boton;
using toolbar::UtilNetState;

namespace {

const Boton kAll[] = {Boton::Nuevo,    Boton::Borrar,   Boton::Reporte, Boton::Consulta,
                      Boton::Planilla, Boton::Cancelar, Boton::Grabar,  Boton::Cerrar};

// Records every property-change report.
struct Reports {
    QStringList names;
    UtilNetState::PropertyChanged receiver()
    {
        return [this](const QString &name) { names.append(name); };
    }
};

} // namespace

TEST(UtilNetButtons, OrderIdsCaptionsAndWords)
{
    struct Row {
        int id;
        QString caption;
        QString word;
    };
    const Row expected[] = {{1, "Nuevo", "NUEVO"},          {2, "Borrar", "BORRAR"},       {3, " Reporte", "REPORTE"},
                            {6, " Consultar", "CONSULTAR"}, {7, "  Planilla", "PLANILLA"}, {8, "Cancelar", "CANCELAR"},
                            {4, "Grabar", "GRABAR"},        {5, "   Cerrar", "CERRAR"}};
    const auto &buttons = toolbar::utilNetButtons();
    ASSERT_EQ(buttons.size(), std::size(expected));
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(buttons[i].id, expected[i].id);
        EXPECT_EQ(buttons[i].caption.toString(), expected[i].caption);
        EXPECT_EQ(buttons[i].word.toString(), expected[i].word);
        // The word of a press comes from the caption; it must equal the table's word.
        EXPECT_EQ(buttons[i].caption.toString().toUpper().trimmed(), expected[i].word);
        EXPECT_EQ(toolbar::buttonById(expected[i].id), &buttons[i]);
    }
    EXPECT_EQ(toolbar::buttonById(0), nullptr);
    EXPECT_EQ(toolbar::buttonById(9), nullptr);
}

TEST(UtilNetState, EveryFlagStartsTrue)
{
    const UtilNetState state;
    for (Boton boton : kAll) {
        EXPECT_TRUE(state.isButtonEnabled(boton));
        EXPECT_TRUE(state.isButtonVisible(boton));
    }
    EXPECT_TRUE(state.ConTitulo());
    EXPECT_TRUE(state.Enabled());
    EXPECT_EQ(state.Theme(), 0);
}

TEST(UtilNetState, KeyAnalisisWithEveryButtonEnabled)
{
    struct Case {
        int key;
        const char *word;
    };
    const Case cases[] = {{113, "GRABAR"},   {114, "NUEVO"},  {115, "REPORTE"}, {116, "CONSULTAR"},
                          {117, "PLANILLA"}, {121, "BORRAR"}, {27, "CANCELAR"}, {112, ""},
                          {118, ""},         {119, ""},       {120, ""},        {122, ""},
                          {13, ""},          {0, ""},         {-1, ""}};
    const UtilNetState state;
    for (const Case &c : cases)
        EXPECT_EQ(state.KeyAnalisis(c.key), QString::fromLatin1(c.word)) << "key " << c.key;
}

TEST(UtilNetState, KeyAnalisisGivesNothingForADisabledButtonEvenIfVisible)
{
    for (const auto &button : toolbar::utilNetButtons()) {
        if (button.vbKey == 27)
            continue;
        UtilNetState state;
        state.setButtonEnabled(button.boton, false);
        EXPECT_TRUE(state.isButtonVisible(button.boton));
        EXPECT_EQ(state.KeyAnalisis(button.vbKey), QString()) << button.vbKey;
    }
}

TEST(UtilNetState, KeyAnalisisIgnoresVisibility)
{
    UtilNetState state;
    state.setButtonVisible(Boton::Grabar, false);
    EXPECT_EQ(state.KeyAnalisis(113), QStringLiteral("GRABAR"));
}

TEST(UtilNetState, EscapeFallsBackFromCancelarToCerrar)
{
    struct Case {
        bool cancelar;
        bool cerrar;
        const char *word;
    };
    const Case cases[] = {
        {true, true, "CANCELAR"}, {true, false, "CANCELAR"}, {false, true, "CERRAR"}, {false, false, ""}};
    for (const Case &c : cases) {
        UtilNetState state;
        state.setButtonEnabled(Boton::Cancelar, c.cancelar);
        state.setButtonEnabled(Boton::Cerrar, c.cerrar);
        EXPECT_EQ(state.KeyAnalisis(27), QString::fromLatin1(c.word))
            << "cancelar " << c.cancelar << " cerrar " << c.cerrar;
    }
}

TEST(UtilNetState, PressingNuevoDisablesBorrarAndGrabarOrCerrarEnableItAgain)
{
    UtilNetState state;
    Reports reports;
    state.setPropertyChanged(reports.receiver());

    EXPECT_EQ(state.pressButton(1), QStringLiteral("NUEVO"));
    EXPECT_FALSE(state.isButtonEnabled(Boton::Borrar));
    EXPECT_EQ(state.KeyAnalisis(121), QString());
    EXPECT_EQ(state.pressButton(4), QStringLiteral("GRABAR"));
    EXPECT_TRUE(state.isButtonEnabled(Boton::Borrar));

    state.pressButton(1);
    EXPECT_EQ(state.pressButton(5), QStringLiteral("CERRAR"));
    EXPECT_TRUE(state.isButtonEnabled(Boton::Borrar));
    // The press rule sets the flag without a change report.
    EXPECT_TRUE(reports.names.isEmpty());
}

TEST(UtilNetState, OtherPressesLeaveBorrarAlone)
{
    struct Case {
        int id;
        const char *word;
    };
    const Case cases[] = {{2, "BORRAR"}, {3, "REPORTE"}, {6, "CONSULTAR"}, {7, "PLANILLA"}, {8, "CANCELAR"}, {99, ""}};
    for (const Case &c : cases) {
        UtilNetState state;
        state.setButtonEnabled(Boton::Borrar, false);
        EXPECT_EQ(state.pressButton(c.id), QString::fromLatin1(c.word));
        EXPECT_FALSE(state.isButtonEnabled(Boton::Borrar)) << c.id;
    }
}

TEST(UtilNetState, KeysDoNotChangeBorrar)
{
    UtilNetState state;
    state.setButtonEnabled(Boton::Borrar, false);
    EXPECT_EQ(state.KeyAnalisis(114), QStringLiteral("NUEVO"));
    EXPECT_EQ(state.KeyAnalisis(113), QStringLiteral("GRABAR"));
    EXPECT_FALSE(state.isButtonEnabled(Boton::Borrar));
}

TEST(UtilNetState, ThemeKeepsOnlyZeroToTwo)
{
    const std::pair<int, int> cases[] = {{-1, 0}, {0, 0}, {1, 1}, {2, 2}, {3, 0}, {100, 0}};
    for (const auto &[given, stored] : cases) {
        UtilNetState state;
        state.setTheme(given);
        EXPECT_EQ(state.Theme(), stored) << given;
    }
}

TEST(UtilNetState, SettersReportThePropertyName)
{
    UtilNetState state;
    Reports reports;
    state.setPropertyChanged(reports.receiver());
    state.setButtonVisible(Boton::Consulta, false);
    state.setButtonEnabled(Boton::Consulta, false);
    state.setConTitulo(false);
    state.setEnabled(false);
    state.setTheme(5);
    EXPECT_EQ(reports.names, QStringList({"consultarVisible", "ConsultaEnabled", "ConTitulo", "Enabled", "Theme"}));
}

TEST(UtilNetState, ResetTurnsEverythingOnAndReportsTheEnabledFlagsInOrder)
{
    UtilNetState state;
    for (Boton boton : kAll) {
        state.setButtonEnabled(boton, false);
        state.setButtonVisible(boton, false);
    }
    state.setConTitulo(false);
    state.setEnabled(false);
    Reports reports;
    state.setPropertyChanged(reports.receiver());

    state.reset();

    for (Boton boton : kAll) {
        EXPECT_TRUE(state.isButtonEnabled(boton));
        EXPECT_TRUE(state.isButtonVisible(boton));
    }
    EXPECT_TRUE(state.ConTitulo());
    EXPECT_TRUE(state.Enabled());
    EXPECT_EQ(reports.names,
              QStringList({"NuevoEnabled", "BorrarEnabled", "ReporteEnabled", "ConsultaEnabled", "PlanillaEnabled",
                           "GrabarEnabled", "CancelarEnabled", "CerrarEnabled"}));
}

TEST(UtilNetState, StoredPropertiesInTheirFixedOrder)
{
    UtilNetState state;
    state.setButtonVisible(Boton::Consulta, false);
    state.setButtonEnabled(Boton::Cancelar, false);
    const auto stored = state.storedProperties();
    QStringList keys;
    for (const auto &[key, value] : stored)
        keys.append(key);
    EXPECT_EQ(keys,
              QStringList({"ConTitulo", "Enabled", "NuevoEnabled", "BorrarEnabled", "ReporteEnabled", "ConsultaEnabled",
                           "PlanillaEnabled", "CancelarEnabled", "GrabarEnabled", "CerrarEnabled", "NuevoVisible",
                           "BorrarVisible", "ReporteVisible", "ConsultarVisible", "PlanillaVisible", "CancelarVisible",
                           "GrabarVisible", "CerrarVisible"}));
    EXPECT_FALSE(stored.at(7).second);  // CancelarEnabled
    EXPECT_FALSE(stored.at(13).second); // ConsultarVisible
    EXPECT_TRUE(stored.at(8).second);
}

TEST(UtilNetState, ReadStoredPropertiesDefaultsToTrue)
{
    UtilNetState state;
    for (Boton boton : kAll)
        state.setButtonEnabled(boton, false);
    state.readStoredProperties({{"ConsultarVisible", false}, {"GrabarEnabled", false}, {"ConTitulo", false}});
    EXPECT_FALSE(state.isButtonVisible(Boton::Consulta));
    EXPECT_FALSE(state.isButtonEnabled(Boton::Grabar));
    EXPECT_FALSE(state.ConTitulo());
    EXPECT_TRUE(state.isButtonEnabled(Boton::Nuevo));
    EXPECT_TRUE(state.isButtonEnabled(Boton::Cerrar));
    EXPECT_TRUE(state.Enabled());

    // Stored properties read back into a fresh state give the same set.
    UtilNetState copy;
    QVariantHash hash;
    for (const auto &[key, value] : state.storedProperties())
        hash.insert(key, value);
    copy.readStoredProperties(hash);
    EXPECT_EQ(copy.storedProperties(), state.storedProperties());
}

TEST(UtilNetState, OrientationAndButtonStyle)
{
    EXPECT_EQ(UtilNetState::orientationFor({400, 40}), Qt::Horizontal);
    EXPECT_EQ(UtilNetState::orientationFor({50, 50}), Qt::Vertical);
    EXPECT_EQ(UtilNetState::orientationFor({40, 400}), Qt::Vertical);

    UtilNetState state;
    EXPECT_EQ(state.buttonStyle(false), Qt::ToolButtonTextOnly);
    EXPECT_EQ(state.buttonStyle(true), Qt::ToolButtonTextUnderIcon);
    state.setConTitulo(false);
    EXPECT_EQ(state.buttonStyle(true), Qt::ToolButtonIconOnly);
    // Without pictures the captions stay, whatever ConTitulo says.
    EXPECT_EQ(state.buttonStyle(false), Qt::ToolButtonTextOnly);
}

TEST(VbKeyCode, MapsQtKeysToVbCodes)
{
    const std::pair<int, int> cases[] = {
        {Qt::Key_Escape, 27}, {Qt::Key_F1, 112},   {Qt::Key_F2, 113},  {Qt::Key_F3, 114},    {Qt::Key_F4, 115},
        {Qt::Key_F5, 116},    {Qt::Key_F6, 117},   {Qt::Key_F10, 121}, {Qt::Key_F12, 123},   {Qt::Key_Return, 13},
        {Qt::Key_Enter, 13},  {Qt::Key_A, 65},     {Qt::Key_9, 57},    {Qt::Key_Delete, 46}, {Qt::Key_Down, 40},
        {Qt::Key_Eacute, 0},  {Qt::Key_unknown, 0}};
    for (const auto &[qt, vb] : cases)
        EXPECT_EQ(toolbar::vbKeyCode(qt), vb) << std::hex << qt;
}
