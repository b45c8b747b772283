#include "editorwidgets.h"
#include "windowwait.h"

#include <QValidator>
#include <algorithm>

LegacyButton::LegacyButton(QWidget *parent, const QString &name, const QString &caption, vn::Encoding enc)
    : QPushButton(parent), m_encoding(enc)
{
    setObjectName(name);
    setCursor(Qt::PointingHandCursor);
    setCaption(caption);
}

void LegacyButton::setCaption(const QString &legacy)
{
    m_caption = legacy;
    // "&" stays: the button draws it as the accelerator underline.
    setText(vn::decode(legacy, m_encoding));
}

QuestionListModel::QuestionListModel(QObject *parent) : QAbstractListModel(parent) {}

void QuestionListModel::setSource(int rowCount, Fetch fetch)
{
    beginResetModel();
    m_count = qMax(0, rowCount);
    m_fetch = std::move(fetch);
    m_blocks.clear();
    m_recent.clear();
    endResetModel();
}

void QuestionListModel::clear()
{
    setSource(0, nullptr);
}

const QuestionListModel::Block *QuestionListModel::blockOf(int line) const
{
    if (line < 0 || line >= m_count || !m_fetch)
        return nullptr;
    const int n = line / kBlockRows;
    auto it = m_blocks.find(n);
    if (it == m_blocks.end()) {
        Block b;
        // Asked for while the list paints: the rows are waited for without
        // turning the event loop (no paint inside the paint).
        const WindowWait::Plainly painting;
        b.rows = m_fetch(qint64(n) * kBlockRows, kBlockRows);
        b.lines = QList<QString>(b.rows.size());
        if (m_blocks.size() >= kBlocksKept && !m_recent.isEmpty())
            m_blocks.remove(m_recent.takeFirst());
        it = m_blocks.insert(n, std::move(b));
    } else {
        m_recent.removeOne(n);
    }
    m_recent.append(n);
    return &*it;
}

std::optional<db::Question> QuestionListModel::rowAt(int line) const
{
    const Block *b = blockOf(line);
    const int i = line % kBlockRows;
    if (!b || i >= b->rows.size())
        return std::nullopt; // the table became shorter since it was listed
    return b->rows.at(i);
}

QString QuestionListModel::lineText(int line) const
{
    const Block *b = blockOf(line);
    const int i = line % kBlockRows;
    if (!b || i >= b->rows.size())
        return QString();
    QString &s = b->lines[i];
    if (s.isNull()) {
        s = vn::decode(b->rows.at(i).cauhoi, vn::Encoding::Vni);
        // One line per question, whatever the stored text holds.
        for (QChar &ch : s)
            if (ch == QLatin1Char('\n') || ch == QLatin1Char('\r') || ch == QLatin1Char('\t'))
                ch = QLatin1Char(' ');
        if (s.isNull())
            s = QLatin1String("");
    }
    return s;
}

int QuestionListModel::rowsHeld() const
{
    int n = 0;
    for (const Block &b : std::as_const(m_blocks))
        n += int(b.rows.size());
    return n;
}

int QuestionListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_count;
}

QVariant QuestionListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_count)
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
        return lineText(index.row());
    case Qt::ToolTipRole:
        if (const std::optional<db::Question> r = rowAt(index.row()))
            return QStringLiteral("%1. %2").arg(r->id).arg(lineText(index.row()));
        return QVariant();
    default:
        return QVariant();
    }
}

namespace {

// Keeps a one-line field on one line: pasted or dropped line breaks and tabs
// become blanks (a CR LF pair one blank), the cursor staying where it was.
class OneLineValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString &input, int &pos) const override
    {
        if (!hasControl(input))
            return Acceptable;
        pos = int(flatten(input.left(pos)).size());
        input = flatten(input);
        return Acceptable;
    }

private:
    static bool isControl(QChar ch) { return ch.unicode() < 0x20 || ch.unicode() == 0x7F; }
    static bool hasControl(const QString &s)
    {
        return std::any_of(s.cbegin(), s.cend(), isControl);
    }
    static QString flatten(const QString &s)
    {
        QString out;
        out.reserve(s.size());
        for (qsizetype i = 0; i < s.size(); ++i) {
            const QChar ch = s.at(i);
            if (ch == QLatin1Char('\r') && i + 1 < s.size() && s.at(i + 1) == QLatin1Char('\n'))
                continue; // the LF that follows gives the blank
            out.append(isControl(ch) ? QChar(QLatin1Char(' ')) : ch);
        }
        return out;
    }
};

} // namespace

VniLineEdit::VniLineEdit(QWidget *parent, const QString &name) : QLineEdit(parent)
{
    setObjectName(name);
    setMaxLength(32767);
    setValidator(new OneLineValidator(this));
}

void VniLineEdit::setLegacy(const QString &legacy)
{
    m_legacy = legacy;
    const QString decoded = vn::decode(legacy, vn::Encoding::Vni);
    // A stored text is shown whole, however long, so that showing it never
    // counts as an edit.
    if (decoded.size() > maxLength())
        setMaxLength(int(decoded.size()));
    setText(decoded);
    // As shown (a stored line break shows as a blank); saved unedited, the
    // stored text goes back as it was.
    m_shown = text();
    setCursorPosition(0);
}

std::optional<QString> VniLineEdit::legacy() const
{
    if (!isEdited())
        return m_legacy;
    return vn::encode(text(), vn::Encoding::Vni);
}

QString VniLineEdit::legacyLossy() const
{
    if (!isEdited())
        return m_legacy;
    return vn::encodeLossy(text(), vn::Encoding::Vni);
}
