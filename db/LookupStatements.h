#pragma once

#include <QString>

namespace db {

// The SELECT texts of the single-row lookups and maxima, built exactly as the
// database class sends them (runs of two and three blanks included).
class LookupStatements {
public:
    static QString maximo(const QString &table, const QString &column, const QString &condition);
    static QString minimo(const QString &table, const QString &column, const QString &condition);
    static QString ultimoCodigo(const QString &table, const QString &column, const QString &condition);
    // ExisteEnTabla (TOP 1) and ExisteEnTablaST (every row).
    static QString existe(const QString &table, const QString &value, const QString &column, long keyType,
                          const QString &condition);
    static QString existeST(const QString &table, const QString &value, const QString &column, long keyType,
                            const QString &condition);
    static QString datosTabla(const QString &table, const QString &value, const QString &column, long keyType,
                              const QString &condition, bool trimmed);
    // The key's leading number as plain text ("  12" gives "12", "abc" gives "0").
    static QString numericKey(const QString &value);
    // The condition for BuscaMaximo's second look at the article view.
    static QString sinCodigosCero(const QString &condition);

private:
    static QString whereJoin(const QString &condition);
    static bool isNumericType(long keyType);
};

} // namespace db
