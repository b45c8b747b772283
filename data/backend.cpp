// What every store shares: the tables' columns, the names of the question
// tables, the nick's key on the file, and a change of money and play time
// worked out on the stored values.

#include "backend.h"

#include "numtext.h"

namespace db {

const char *const kHosoColumns[10] = {"nick",         "pass",   "ngaysinh", "mail", "cauhoibimat",
                                      "traloiibimat", "sotien", "solan",    "gio",  "phut"};
const char *const kLockColumns[8] = {"hienten",  "thuthach",  "hien19",  "hiencode",
                                     "hienten1", "thuthach1", "hien191", "hiencode1"};
const char *const kQuestionColumns[8] = {"ID", "cauhoi", "A", "B", "C", "D", "traloi", "selected"};

QString tableName(QuestionTable t)
{
    switch (t) {
    case QuestionTable::Muc1: return QStringLiteral("muc1");
    case QuestionTable::Muc2: return QStringLiteral("muc2");
    case QuestionTable::Muc3: return QStringLiteral("muc3");
    case QuestionTable::Thuthach: return QStringLiteral("thuthach");
    case QuestionTable::Thungrac: return QStringLiteral("thungrac");
    }
    return QString();
}

bool isHosoColumn(const QString &name)
{
    for (const char *c : kHosoColumns)
        if (name.compare(QLatin1String(c), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

QString nickKey(const QString &nick)
{
    return nick.toCaseFolded();
}

QString boardText(const QString &text)
{
    if (text.size() <= kBoardText)
        return text;
    return text.left(kBoardText - 1) + QChar(0x2026);
}

WriteStatus applyDelta(Account &a, const AccountDelta &delta, QList<QPair<QString, QString>> &cols, QString &why)
{
    const Account before = a;
    auto add = [&](const QString &column, QString &stored, const QString &amount) {
        if (amount.isEmpty())
            return true;
        const std::optional<QString> sum = num::exactSum(stored, amount);
        if (!sum)
            return false;
        stored = *sum;
        cols.append({column, stored});
        return true;
    };
    auto inexact = [&](const QString &reason) {
        a = before;
        cols.clear();
        why = reason;
        return WriteStatus::Inexact;
    };
    if (!add(QStringLiteral("sotien"), a.sotien, delta.money) || !add(QStringLiteral("solan"), a.solan, delta.plays))
        return inexact(QStringLiteral("A stored number cannot be computed exactly."));
    if (delta.minutes != 0) {
        // Minutes stay 0..59, the hours take the rest.
        const std::optional<QString> phut = num::exactText(a.phut);
        bool small = false;
        const qint64 p = phut ? phut->toLongLong(&small) : 0;
        if (!small || p > (std::numeric_limits<qint64>::max() >> 2) || p < -(std::numeric_limits<qint64>::max() >> 2)
            || delta.minutes > (std::numeric_limits<qint64>::max() >> 2))
            return inexact(QStringLiteral("The stored play time cannot be computed exactly."));
        const qint64 total = p + delta.minutes;
        qint64 hours = total / 60, minutes = total % 60;
        if (minutes < 0) {
            minutes += 60;
            --hours;
        }
        if (hours != 0 && !add(QStringLiteral("gio"), a.gio, QString::number(hours)))
            return inexact(QStringLiteral("The stored play time cannot be computed exactly."));
        a.phut = QString::number(minutes);
        cols.append({QStringLiteral("phut"), a.phut});
    }
    return WriteStatus::Done;
}

} // namespace db
