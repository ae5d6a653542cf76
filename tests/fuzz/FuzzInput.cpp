#include "FuzzInput.h"

#include <QDateTime>

namespace fuzz {

namespace {

// Statements of the kinds the system sends (with the tables the fuzz database holds).
const QStringList kWritten = {
    QStringLiteral("SELECT TOP 1 * FROM T_FZ with(nolock) WHERE ID = 17"),
    QStringLiteral("SELECT * FROM T_FZ WHERE LTRIM(RTRIM(TXT)) = '  1' AND ISNULL(N, 0) = 0"),
    QStringLiteral("INSERT INTO T_FZ (ID, TXT, N, M, F, D, B) VALUES (5, 'it''s', 12.7, 1.23456, '31/12/20 10:30', "
                   "'12.5', 1)"),
    QStringLiteral("UPDATE T_FZ SET TXT = 'x' + TXT, N = N + 1 WHERE ID = 3"),
    QStringLiteral("UPDATE T_FZ SET M = M + 0.1 FROM T_FZ WHERE SUBSTRING(TXT, 1, 1) = ' '"),
    QStringLiteral("DELETE T_FZ WHERE CHARINDEX('e', TXT, 1) > 0"),
    QStringLiteral("IF NOT EXISTS (SELECT * FROM T_FZ WHERE ID = 8) INSERT INTO T_FZ (ID, TXT) VALUES (8, 'ocho')"),
    QStringLiteral("IF EXISTS (SELECT * FROM T_FZ WHERE ID = 8) UPDATE T_FZ SET N = 8 WHERE ID = 8"),
    QStringLiteral("SELECT MAX(TXT) AS MAYOR FROM T_FZ WHERE TXT > '  0' AND SUBSTRING(TXT,1,1) = ' '"),
    QStringLiteral("SELECT COUNT(*) FROM T_FZ a INNER JOIN T_FZ b ON a.ID = b.ID WHERE a.TXT = 7"),
    QStringLiteral("SELECT CONVERT(varchar(10), D, 103) AS F, LEN(TXT) FROM T_FZ ORDER BY 1"),
    QStringLiteral("BEGIN TRANSACTION\nINSERT INTO T_FZ (ID) VALUES (99)\nROLLBACK TRANSACTION"),
    QStringLiteral("SELECT SUCURSAL+NUMERO+LETRA FROM T_FZ2 WHERE SUCURSAL+NUMERO+LETRA = '000100000001A'"),
    QStringLiteral("SELECT UPPER(TXT), SUM(M) FROM T_FZ GROUP BY UPPER(TXT) HAVING SUM(M) > 0.3"),
    QStringLiteral("CREATE TABLE T_NEW (A varchar(10) NOT NULL, B VARCHAR(MAX), C DECIMAL(10,2), D DATETIME)"),
    QStringLiteral("DROP TABLE T_NEW"),
    QStringLiteral("ALTER TABLE T_FZ ADD EXTRA INT NULL"),
    QStringLiteral("SET NOCOUNT ON; SELECT @@IDENTITY; SELECT getdate()"),
    QStringLiteral("EXEC VK_CREACALENDARIO '01/01/2024','31/12/2024'"),
    QStringLiteral("SELECT * FROM [T_FZ] WHERE [TXT] LIKE N'%ñandú%' ESCAPE '\\'"),
    QStringLiteral("SELECT ID FROM T_FZ WHERE TXT LIKE 'a[%]b_[^c-e]%' AND NOT TXT LIKE '[[]x\\%' OR TXT LIKE 'ab'"),
    QStringLiteral("SELECT ID FROM T_FZ WHERE T_FZ.TXT NOT LIKE TXT + '[' AND M = 922337203685477.5807"),
};

const QStringList kTokens = {
    QStringLiteral("'"),
    QStringLiteral("''"),
    QStringLiteral("["),
    QStringLiteral("]"),
    QStringLiteral("\""),
    QStringLiteral("("),
    QStringLiteral(")"),
    QStringLiteral(","),
    QStringLiteral(";"),
    QStringLiteral("--"),
    QStringLiteral("/*"),
    QStringLiteral("*/"),
    QStringLiteral("?"),
    QStringLiteral("@vkp1"),
    QStringLiteral("$vk$"),
    QStringLiteral("\nGO\n"),
    QStringLiteral(" N'"),
    QStringLiteral("+"),
    QStringLiteral("="),
    QStringLiteral(" IF "),
    QStringLiteral(" TOP "),
    QStringLiteral(" MAX"),
    QStringLiteral("("),
    QStringLiteral(" SELECT "),
    QStringLiteral(" CASE "),
    QStringLiteral(" END "),
    QStringLiteral(" BEGIN "),
    QStringLiteral(" ORDER BY "),
    QStringLiteral("987654000001"),
    QStringLiteral("1e999"),
    QStringLiteral("-"),
    QStringLiteral("."),
    QString(QChar(0)),
    QString(QChar(1)),
    QStringLiteral("ñ"),
    QStringLiteral("\U0001F600"),
    QString(QChar(0xD800)),
    QStringLiteral(" varchar("),
    QStringLiteral(" with(nolock) "),
    QStringLiteral(" COLLATE "),
};

const QStringList kColumns = {QStringLiteral("ID"), QStringLiteral("TXT"),  QStringLiteral("N"),
                              QStringLiteral("M"),  QStringLiteral("F"),    QStringLiteral("D"),
                              QStringLiteral("B"),  QStringLiteral("a.ID"), QStringLiteral("[TXT]")};

} // namespace

quint64 FuzzInput::seedFromEnvironment()
{
    bool ok = false;
    const quint64 seed = qEnvironmentVariable("IMAESTROS_FUZZ_SEED").toULongLong(&ok);
    return ok ? seed : 20240521;
}

int FuzzInput::casesFromEnvironment(int fallback)
{
    bool ok = false;
    const int n = qEnvironmentVariableIntValue("IMAESTROS_FUZZ_CASES", &ok);
    return ok && n > 0 ? n : fallback;
}

QString FuzzInput::statement()
{
    switch (below(3)) {
    case 0:
        return written();
    case 1:
        return generated();
    default:
        return mutated(below(2) ? written() : generated());
    }
}

QString FuzzInput::written() { return pick(kWritten); }

QString FuzzInput::name() { return pick(kColumns); }

QString FuzzInput::literal()
{
    switch (below(6)) {
    case 0:
        return QString::number(below(2000) - 1000);
    case 1:
        return QString::number(double(below(100000)) / 1000.0, 'f', below(6));
    case 2:
        return QStringLiteral("'%1'").arg(QString(below(12), QChar(u' ')) + QString::number(below(99)));
    case 3:
        return pick({QStringLiteral("'31/12/2020'"), QStringLiteral("'20210201'"), QStringLiteral("'2021-02-01 08:05'"),
                     QStringLiteral("''"), QStringLiteral("'abc'"), QStringLiteral("'it''s'")});
    case 4:
        return QStringLiteral("NULL");
    default:
        return QStringLiteral("?");
    }
}

QString FuzzInput::expression(int depth)
{
    if (depth <= 0)
        return below(2) ? name() : literal();
    switch (below(7)) {
    case 0:
        return expression(depth - 1) + pick({QStringLiteral(" + "), QStringLiteral(" - "), QStringLiteral(" * ")})
            + expression(depth - 1);
    case 1:
        return pick({QStringLiteral("LTRIM"), QStringLiteral("UPPER"), QStringLiteral("LEN"), QStringLiteral("RTRIM")})
            + u'(' + expression(depth - 1) + u')';
    case 2:
        return QStringLiteral("ISNULL(%1, %2)").arg(expression(depth - 1), expression(depth - 1));
    case 3:
        return QStringLiteral("SUBSTRING(%1, %2, %3)").arg(expression(depth - 1), literal(), literal());
    case 4:
        return QStringLiteral("CHARINDEX(%1, %2)").arg(expression(depth - 1), expression(depth - 1));
    case 5:
        return QStringLiteral("(SELECT MAX(%1) FROM T_FZ WHERE %2)").arg(name(), condition(depth - 1));
    default:
        return u'(' + expression(depth - 1) + u')';
    }
}

QString FuzzInput::condition(int depth)
{
    const QString op = pick({QStringLiteral(" = "), QStringLiteral(" <> "), QStringLiteral(" < "),
                             QStringLiteral(" >= "), QStringLiteral(" LIKE ")});
    QString c = expression(depth) + op + expression(depth);
    if (depth > 0 && below(3) == 0)
        c += pick({QStringLiteral(" AND "), QStringLiteral(" OR ")}) + condition(depth - 1);
    return c;
}

QString FuzzInput::generated()
{
    const int depth = below(4);
    switch (below(6)) {
    case 0:
        return QStringLiteral("SELECT %1%2 FROM T_FZ a with(nolock) WHERE %3 ORDER BY %4")
            .arg(below(2) ? QStringLiteral("TOP %1 ").arg(below(5)) : QString(), expression(depth), condition(depth),
                 name());
    case 1:
        return QStringLiteral("INSERT INTO T_FZ (ID, %1) VALUES (%2, %3)").arg(name(), literal(), expression(depth));
    case 2:
        return QStringLiteral("UPDATE T_FZ SET %1 = %2 WHERE %3").arg(name(), expression(depth), condition(depth));
    case 3:
        return QStringLiteral("DELETE FROM T_FZ WHERE %1").arg(condition(depth));
    case 4:
        return QStringLiteral("IF NOT EXISTS (SELECT * FROM T_FZ WHERE %1) INSERT INTO T_FZ (ID, %2) VALUES (%3, %4)")
            .arg(condition(depth), name(), literal(), literal());
    default:
        return QStringLiteral("SELECT %1, COUNT(*) FROM T_FZ GROUP BY %1").arg(expression(depth));
    }
}

QString FuzzInput::mutated(const QString &sql)
{
    QString out = sql;
    for (int k = 0, n = 1 + below(4); k < n; ++k) {
        const int at = below(int(out.size()) + 1);
        switch (below(6)) {
        case 0: // cut short: unterminated literals, names, groups, types
            out.truncate(at);
            break;
        case 1:
            out.insert(at, pick(kTokens));
            break;
        case 2:
            out.remove(at, 1 + below(8));
            break;
        case 3: // a piece repeated: deep nesting, long statements
            out.insert(at, out.mid(at, below(40)).repeated(1 + below(30)));
            break;
        case 4:
            if (at < out.size())
                out[at] = pick(kTokens).front();
            break;
        default:
            out.insert(at, QString(below(3) ? 1 : 300, below(2) ? QChar(u'(') : QChar(u'\'')));
            break;
        }
    }
    return out;
}

platform::Variant FuzzInput::value()
{
    switch (below(9)) {
    case 0:
        return platform::Variant::null();
    case 1:
        return platform::Variant();
    case 2:
        return platform::Variant(qint64(m_random()));
    case 3:
        return platform::Variant(double(qint64(m_random() % 2000000)) / double(1 + below(10000)));
    case 4:
        return platform::Variant(below(2) == 0);
    case 5:
        return platform::Variant(QDateTime(QDate(1 + below(9999), 1 + below(12), 1 + below(28)),
                                           QTime(below(24), below(60), below(60), below(1000))));
    case 6:
        return platform::Variant(QByteArray(below(64), char(below(256))));
    case 7:
        return platform::Variant(mutated(literal()));
    default:
        return platform::Variant(QString(below(5000), QChar(u'a' + below(26))) + QString(below(50), QChar(u' ')));
    }
}

} // namespace fuzz
