#pragma once

#include "platform/ado/SqlTranslator.h"

#include <QHash>
#include <QString>
#include <QStringView>

#include <functional>
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
    // `kinds`: those of a command's markers (see SqlTranslator::translate); part of the shape.
    QList<TranslatedStatement> translate(const QString &sql, const std::vector<BoundKind> &kinds = {});
    // The same translation with each literal left out as the numbered parameter "?n" (the
    // n-th literal of `sql`, whose text `literals` gets), so that every statement of a shape
    // compiles once and takes its values bound. False when the statement must keep its
    // literals: it names columns by number (ORDER BY 1), is a PRAGMA, or has no shape.
    bool translateBound(const QString &sql, QList<TranslatedStatement> &out, std::vector<QStringView> &literals);
    // Translations that read the catalog change with it: clear() after a definition.
    void setCatalog(ColumnCatalog *catalog) { m_translator.setCatalog(catalog); }
    void clear() { m_shapes.clear(); }

private:
    // False when the statement must not be translated by shape.
    struct Entry {
        QList<TranslatedStatement> translated; // with the placeholders
        QList<TranslatedStatement> bound;      // with ?n in their place
        bool bindable = false;
    };
    static bool shapeOf(const QString &sql, QString &shape, std::vector<QStringView> &literals, bool &bindable);
    // Replaces each placeholder of `translated` (index below `count`) with what `put` appends.
    static bool substitute(const QString &translated, qsizetype count,
                           const std::function<void(QString &, qsizetype)> &put, QString &out);
    const Entry &entryFor(const QString &shape, bool bindable, const std::vector<BoundKind> &kinds = {});

    SqlTranslator m_translator;
    int m_capacity;
    QHash<QString, Entry> m_shapes;
};

} // namespace ado
