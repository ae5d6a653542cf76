#pragma once

#include "lookup/LookupLayout.h"
#include "lookup/LookupListModel.h"
#include "lookup/RowsReader.h"

#include "platform/Variant.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace ado {
class Recordset;
}

namespace lookup {

// The list form of the lookup browser without its window: the public variables the lookup
// object sets and reads, the loading of the statement's rows, the search boxes, the keys
// and the commands. The window (Lib_FrmCons3) shows this state and forwards the operator's
// input here as VB key codes and semantic calls; the signals tell it what to show.
class Lib_FrmCons3Logic : public QObject {
    Q_OBJECT
public:
    explicit Lib_FrmCons3Logic(QObject *parent = nullptr);
    ~Lib_FrmCons3Logic() override;

    // ---- public variables, in declaration order ----
    platform::Variant StkNivel1;
    platform::Variant StkNivel2;
    platform::Variant StkNivel3;
    platform::Variant StkNivel4;
    QString MuestraStock;
    QString SQL;
    QString CampoDevuelto;
    std::optional<QStringList> CmpsDevueltos; // nothing: no returned columns
    bool CheckBoxes = false;
    QString gConnString;
    QString ValorDevuelto;
    QString FiltroInicial;
    QString CampoBusqueda;
    bool OrdenarPorLwv = false;
    QStringList Valores;
    QStringList Cantidades;
    bool UsaCantidades = false;
    QString ValoresDefault;
    bool CfgUsaConsultaLIKE = false;
    bool GrabarCfg = false;
    bool UsarUDBC = false;

    // What the window shows besides the list.
    QString Caption = QStringLiteral("Consulta...");
    bool CmdNuevaVisible = true;
    double preferredWidth = 0; // twips; 0: as the columns give it
    // Rows of the window's first screen. When set, the loading reads that many rows first
    // and the whole statement in the background on a connection of its own (see loading());
    // 0 reads every row at once.
    int firstScreenRows = 0;

    // The width in twips of a text of n capital letters X in the form's font.
    std::function<double(int)> letterWidth;

    LookupListModel &ListView1() { return m_model; }
    const LookupListModel &ListView1() const { return m_model; }

    // ---- loading ----
    // Runs the loading. False when the statement could not be opened: the database class
    // has reported it, and the rows and statement of the last load stay as they were.
    bool Form_Load();
    // Saves the widths when GrabarCfg is set; a failure is shown to the operator.
    void Form_Unload();
    void Encolumnar(ado::Recordset &rs, LookupListModel::Content &content);
    void Leer(ado::Recordset &rs, LookupListModel::Content &content);
    ColumnsLayout CalcularAncho(double screenWidth) const;
    // Widens every column to its header and to its texts on the first `rows` rows, except
    // the columns whose width the width file gave. `width` measures a cell in twips
    // (position -1: the header).
    void fitColumns(const std::function<double(int column, int position)> &width, int rows);
    void LeerAnchos();
    void GrabarAnchos();
    QString tableName() const { return m_tableName; }
    QString firstStatement() const { return m_firstStatement; }
    QString baseStatement() const { return m_baseStatement; }
    bool articleFlag() const { return m_articulos; }

    // True while rows past the first screen are still to come. The search, the sorting,
    // "&Marcar" and accepting checks wait for them, so they always see every row.
    bool loading() const { return m_rest != nullptr || m_restColumns > 0; }
    // Starts reading the rows past the first screen (the window calls it once it has
    // painted the first screen, so that the reading does not slow the painting down).
    void readRest();
    // Blocks until every row is in the list (at once when nothing is to come).
    void waitForRows();

    // ---- search boxes (box i stands above column i) ----
    int boxCount() const { return int(m_boxes.size()); }
    int visibleBoxes() const { return m_visibleBoxes; }
    QString boxText(int index) const;
    QString boxField(int index) const;
    int activeBox() const { return m_activeBox; }
    void CmbSearch_GotFocus(int index);
    void CmbSearch_Change(int index, const QString &text);
    void CmbSearch_KeyDown(int index, int keyCode, int shift);

    // ---- the list ----
    int selectedRow() const; // position in the list, -1 when none
    void selectRow(int position);
    int Busqueda(long Clave, const QString &QueValor) const;
    int IndiceColumna(const QString &Columna) const;
    void ListView1_KeyDown(int keyCode, int shift, const QString &typed = QString());
    void ListView1_ColumnClick(int column);
    void ListView1_DblClick() { CmdAceptar_Click(); }
    void uncheckAll();
    bool sorted() const { return m_sorted; }
    // The statement every read of the loaded list runs (SQL in the list's order when the
    // engine sorts it).
    const QString &listStatement() const { return m_listStatement; }
    int sortKey() const { return m_sortKey; }
    bool sortAscending() const { return m_sortAscending; }

    // ---- keys of the window and commands ----
    // F12 on an article lookup reports a shortage; keyCode becomes 0 when handled.
    void Form_KeyDown(int &keyCode, int shift);
    void CmdAceptar_Click();
    void CmdCancelar_Click();
    void CmdNueva_Click();
    void CmdTodos_Click();
    void CmdNuevo_Click();

    // The form hid itself (acceptance or cancel): the modal display ends.
    bool hidden() const { return m_hidden; }
    // True unless the operator accepted a choice (a row, or the checks).
    bool cancelled() const { return !m_chosen; }

    // The pickers' list: one column captioned `titulo`, one row per text (sorted, as
    // OrdenarPorLwv asks), checked where `checked` says so; the window as wide as the
    // longest text (or the title) at 120 twips a letter.
    void fillOptions(const QString &titulo, const QStringList &rows, const QList<bool> &checked, int longest);

    // The statement of a server-side search on box `index` (no loading).
    QString serverSearchStatement(int index);
    // The suite program and parameter that "N&uevo" launches for a table.
    static std::pair<QString, QString> registrationProgram(const QString &table);

signals:
    void reloaded();
    void loadingChanged(bool loading);
    void selectionMoved(int position);
    void boxTextChanged(int index, const QString &text);
    void focusToBox(int index);
    void focusToList();
    void hideRequested();

private:
    bool load();
    bool openStatement(const QString &statement, ado::Recordset &rs);
    RowReading rowReading() const;
    bool canReadInBackground() const;
    void prepareRest(int columns);
    void dropRest();
    void restArrived();
    void setBoxText(int index, const QString &text);
    void serverSearch(int index);
    QString captionOf(const QString &field) const;
    QString valueOf(int position, const QString &column, const QString &current) const;
    void changeQuantity(int keyCode, int shift);
    void reportShortage();
    void hide(bool chosen);
    void applySort();

    struct Box {
        QString field;
        QString text;
    };
    LookupListModel m_model;
    std::vector<Box> m_boxes;
    int m_visibleBoxes = 1;
    int m_activeBox = 0;
    int m_selectedRow = -1;           // stored row, stable across sorts
    bool m_selectedByDefault = false; // the loading selected it, not the operator
    bool m_articulos = false;
    QString m_tableName;
    QString m_firstStatement;
    QString m_baseStatement;
    QString m_closingClause;
    bool m_sorted = false;
    bool m_engineOrdered = false; // the rows come in the sort's order: nothing to sort here
    QString m_listStatement;      // SQL as every read of the list runs it (in its order)
    int m_sortKey = 0;
    bool m_sortAscending = true;
    bool m_hidden = false;
    bool m_chosen = false;
    bool m_widthFileAtLoad = false;
    int m_savedColumns = 0; // leading columns whose width came from the width file
    int m_restColumns = 0;  // rows past the first screen are to be read (with these columns), not started yet
    std::unique_ptr<BackgroundRows> m_rest;
    unsigned m_restGeneration = 0;
    bool m_uncheckRest = false; // uncheckAll ran: the rows still to come start unchecked
};

} // namespace lookup
