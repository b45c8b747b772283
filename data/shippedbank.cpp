// The shipped question bank: UTF-8 files, one question a line, compiled into the
// programs and written as VNI texts when a missing database is made.

#include "gamedb.h"
#include "rows.h"
#include "vntext.h"

#include <QFile>
#include <QStringList>

namespace db {

QList<ShippedQuestion> parseQuestionFile(const QString &utf8Text)
{
    QList<ShippedQuestion> out;
    const QStringList lines = utf8Text.split(QLatin1Char('\n'));
    bool header = true;
    for (QString line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.trimmed().isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        if (header) { // cauhoi A B C D traloi [topic]
            header = false;
            if (line.startsWith(QLatin1String("cauhoi\t")))
                continue;
        }
        // cauhoi A B C D traloi; any later column (the topic) is for the
        // bank's own checks and is not stored.
        const QStringList f = line.split(QLatin1Char('\t'));
        if (f.size() < 6)
            continue;
        out.append({f[0].trimmed(), f[1].trimmed(), f[2].trimmed(), f[3].trimmed(), f[4].trimmed(),
                    f[5].trimmed()});
    }
    return out;
}

QList<ShippedQuestion> shippedQuestions(QuestionTable t)
{
    if (t == QuestionTable::Thungrac)
        return {};
    QFile f(QStringLiteral(":/questions/%1.tsv").arg(tableName(t)));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QList<ShippedQuestion> list = parseQuestionFile(QString::fromUtf8(f.readAll()));
    for (ShippedQuestion &q : list) {
        for (QString *s : {&q.cauhoi, &q.a, &q.b, &q.c, &q.d})
            *s = vn::encodeLossy(*s, vn::Encoding::Vni);
    }
    return list;
}

QList<Question> shippedRows(QuestionTable t)
{
    QList<Question> rows;
    qint64 id = 0;
    for (const ShippedQuestion &sq : shippedQuestions(t)) {
        Question q;
        q.id = ++id;
        q.cauhoi = sq.cauhoi;
        q.a = sq.a;
        q.b = sq.b;
        q.c = sq.c;
        q.d = sq.d;
        q.traloi = sq.traloi;
        q.selected = id < 100;
        rows.append(q);
    }
    return rows;
}

} // namespace db
