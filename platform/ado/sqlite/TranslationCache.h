#pragma once

#include "platform/ado/SqlTranslator.h"

#include <QHash>
#include <QString>
#include <QStringView>

#include <vector>

namespace ado {

// Remembers translations by the statement's shape: the text with its string and number
// literals replaced by numbered placeholders. The system sends the same statements over and
// over with other values ("... WHERE ID = 17"), so most statements are translated once per
// shape; the literals are put back into the remembered translation.
//
// This holds because SqlTranslator decides by a literal's kind, never by its content, except
// for numbers in CONVERT (the date style) and in CREATE/ALTER (column sizes): such statements
// are translated afresh every time. Tests compare both roads over the statements the system
// writes; a new translator rule that reads a literal's content must be listed here too.
class TranslationCache {
public:
    explicit TranslationCache(Dialect dialect, int capacity = 1024) : m_translator(dialect), m_capacity(capacity) {}
    QList<TranslatedStatement> translate(const QString &sql);
    // Translations that read the catalog change with it: clear() after a definition.
    void setCatalog(ColumnCatalog *catalog) { m_translator.setCatalog(catalog); }
    void clear() { m_shapes.clear(); }

private:
    // False when the statement must not be translated by shape.
    static bool shapeOf(const QString &sql, QString &shape, std::vector<QStringView> &literals);
    static bool substitute(const QString &translated, const std::vector<QStringView> &literals, QString &out);

    SqlTranslator m_translator;
    int m_capacity;
    QHash<QString, QList<TranslatedStatement>> m_shapes;
};

} // namespace ado
