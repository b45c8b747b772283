#include "statsmodel.h"

#include "vntext.h"

#include <QColor>
#include <algorithm>
#include <numeric>

namespace stats {

namespace {

// Sorts rows by key (a number, or text) in the order asked, keeping ties in
// their order.
template <typename Row, typename Key>
void sortRows(QList<Row> &rows, Qt::SortOrder order, Key key)
{
    std::stable_sort(rows.begin(), rows.end(), [&](const Row &x, const Row &y) {
        return order == Qt::AscendingOrder ? key(x) < key(y) : key(y) < key(x);
    });
}

QString oneLine(const QString &vni)
{
    QString s = vn::decode(vni, vn::Encoding::Vni);
    s.replace(QLatin1Char('\n'), QLatin1Char(' ')).replace(QLatin1Char('\r'), QLatin1Char(' '));
    return s;
}

std::optional<double> shareOf(qint64 right, qint64 asked)
{
    return asked > 0 ? std::optional<double>(100.0 * double(right) / double(asked)) : std::nullopt;
}

} // namespace

QString shown(std::optional<double> v, bool comma)
{
    if (!v)
        return QString();
    QString s = QString::number(*v, 'f', 1);
    if (comma)
        s.replace(QLatin1Char('.'), QLatin1Char(','));
    return s;
}

// --- questions -------------------------------------------------------------------

QuestionFiguresModel::QuestionFiguresModel(QObject *parent) : QAbstractTableModel(parent) {}

void QuestionFiguresModel::setFigures(QList<db::QuestionFigures> figures)
{
    beginResetModel();
    m_rows = std::move(figures);
    m_texts.clear();
    m_texts.reserve(m_rows.size());
    for (const db::QuestionFigures &f : std::as_const(m_rows))
        m_texts.append(oneLine(f.question.cauhoi));
    endResetModel();
}

QString QuestionFiguresModel::fullText(const db::QuestionFigures &f)
{
    const db::Question &q = f.question;
    QString s = vn::decode(q.cauhoi, vn::Encoding::Vni);
    const QString *answers[4] = {&q.a, &q.b, &q.c, &q.d};
    for (int i = 0; i < 4; ++i)
        s += QStringLiteral("\n%1. %2").arg(QChar(u'A' + i), vn::decode(*answers[i], vn::Encoding::Vni));
    if (!q.traloi.isEmpty())
        s += QStringLiteral("\nĐáp án: %1").arg(vn::decode(q.traloi, vn::Encoding::Vni));
    if (f.changed)
        s += QStringLiteral("\n\n* Câu hỏi đã được sửa sau khi có số liệu: một phần số liệu là của nội dung cũ.");
    return s;
}

int QuestionFiguresModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int QuestionFiguresModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant QuestionFiguresModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    const db::QuestionFigures &f = m_rows[index.row()];
    const int c = index.column();
    if (role == Qt::TextAlignmentRole)
        return int((c == Text ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter);
    if (role == Qt::ToolTipRole && f.changed)
        return QStringLiteral("Câu hỏi đã được sửa sau khi có số liệu");
    if (role == Qt::ForegroundRole && f.changed && (c == Id || c == Text))
        return QColor(0xff, 0xd7, 0x5a);
    if (role != Qt::DisplayRole)
        return {};
    switch (c) {
    case Id: return f.changed ? QStringLiteral("* %1").arg(f.question.id) : QString::number(f.question.id);
    case Text: return m_texts[index.row()];
    case Asked: return f.asked;
    case Right: return f.right;
    case Wrong: return f.wrong();
    case Share: return shown(f.shareRight());
    case Fifty: return f.fifty;
    case Phone: return f.phone;
    case Audience: return f.audience;
    case Seconds: return shown(f.averageSeconds());
    }
    return {};
}

QVariant QuestionFiguresModel::headerData(int section, Qt::Orientation o, int role) const
{
    static const QString names[ColumnCount] = {
        QStringLiteral("ID"),    QStringLiteral("Câu hỏi"), QStringLiteral("Lần hỏi"), QStringLiteral("Đúng"),
        QStringLiteral("Sai"),   QStringLiteral("% đúng"),  QStringLiteral("50:50"),   QStringLiteral("Gọi"),
        QStringLiteral("Khán giả"), QStringLiteral("Giây")};
    static const QString tips[ColumnCount] = {
        QString(), QString(), QStringLiteral("Số lần câu hỏi được hỏi"), QStringLiteral("Số lần trả lời đúng"),
        QStringLiteral("Số lần trả lời sai"), QStringLiteral("Tỉ lệ trả lời đúng"),
        QStringLiteral("Số lần dùng trợ giúp 50:50"), QStringLiteral("Số lần gọi điện cho người thân"),
        QStringLiteral("Số lần hỏi ý kiến khán giả"),
        QStringLiteral("Số giây trung bình từ lúc câu hỏi hiện ra đến lúc trả lời")};
    if (o != Qt::Horizontal || section < 0 || section >= ColumnCount)
        return {};
    if (role == Qt::DisplayRole)
        return names[section];
    if (role == Qt::ToolTipRole && !tips[section].isEmpty())
        return tips[section];
    return {};
}

void QuestionFiguresModel::sort(int column, Qt::SortOrder order)
{
    beginResetModel();
    // The decoded texts move with their rows.
    QList<int> lines(m_rows.size());
    std::iota(lines.begin(), lines.end(), 0);
    auto number = [&](int line) -> double {
        const db::QuestionFigures &f = m_rows[line];
        switch (column) {
        case Asked: return double(f.asked);
        case Right: return double(f.right);
        case Wrong: return double(f.wrong());
        case Share: return f.shareRight().value_or(-1);
        case Fifty: return double(f.fifty);
        case Phone: return double(f.phone);
        case Audience: return double(f.audience);
        case Seconds: return f.averageSeconds().value_or(-1);
        default: return double(f.question.id);
        }
    };
    if (column == Text)
        sortRows(lines, order, [&](int line) { return m_texts[line].toCaseFolded(); });
    else
        sortRows(lines, order, number);
    QList<db::QuestionFigures> rows;
    QList<QString> texts;
    rows.reserve(lines.size());
    texts.reserve(lines.size());
    for (int line : lines) {
        rows.append(m_rows[line]);
        texts.append(m_texts[line]);
    }
    m_rows = std::move(rows);
    m_texts = std::move(texts);
    endResetModel();
}

// --- pupils ----------------------------------------------------------------------

PupilFiguresModel::PupilFiguresModel(QObject *parent) : QAbstractTableModel(parent) {}

void PupilFiguresModel::setFigures(QList<db::PupilFigures> figures)
{
    beginResetModel();
    m_rows = std::move(figures);
    endResetModel();
}

int PupilFiguresModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int PupilFiguresModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant PupilFiguresModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    const db::PupilFigures &p = m_rows[index.row()];
    if (role == Qt::TextAlignmentRole)
        return int((index.column() == Nick ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter);
    if (role != Qt::DisplayRole)
        return {};
    switch (index.column()) {
    case Nick: return p.nick;
    case Games: return p.games;
    case Answered: return p.answered;
    case Share: return shown(shareOf(p.right, p.answered));
    case Rung: return p.highestRung;
    }
    return {};
}

QVariant PupilFiguresModel::headerData(int section, Qt::Orientation o, int role) const
{
    static const QString names[ColumnCount] = {QStringLiteral("Tài khoản"), QStringLiteral("Số ván"),
                                               QStringLiteral("Câu đã trả lời"), QStringLiteral("% đúng"),
                                               QStringLiteral("Bậc cao nhất")};
    if (o != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= ColumnCount)
        return {};
    return names[section];
}

void PupilFiguresModel::sort(int column, Qt::SortOrder order)
{
    beginResetModel();
    if (column == Nick)
        sortRows(m_rows, order, [](const db::PupilFigures &p) { return p.nick.toCaseFolded(); });
    else
        sortRows(m_rows, order, [column](const db::PupilFigures &p) -> double {
            switch (column) {
            case Games: return double(p.games);
            case Answered: return double(p.answered);
            case Share: return shareOf(p.right, p.answered).value_or(-1);
            default: return double(p.highestRung);
            }
        });
    endResetModel();
}

} // namespace stats
