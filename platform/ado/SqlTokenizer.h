#pragma once

#include <QString>
#include <QStringView>

#include <vector>

namespace ado {

// One lexical unit of a T-SQL text. Positions index the text that was tokenised.
struct SqlToken {
    enum class Type {
        Space,      // blanks, tabs and line breaks
        Comment,    // -- to the end of the line, or /* ... */
        Word,       // keyword or plain identifier
        QuotedName, // [name] or "name"
        String,     // 'text' or N'text'
        Number,
        Variable, // @name, @@IDENTITY
        Symbol    // operators and punctuation; <> != <= >= || are one token
    };
    Type type = Type::Symbol;
    qsizetype pos = 0;
    qsizetype len = 0;
    bool national = false; // N'text'
    bool newline = false;  // a Space or Comment holding a line break
};

// Splits SQL text into tokens. Never fails: an unterminated literal, name or
// comment runs to the end of the text.
class SqlTokenizer {
public:
    static std::vector<SqlToken> tokenize(QStringView text);
};

} // namespace ado
