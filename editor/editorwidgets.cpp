#include "editorwidgets.h"

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

void QuestionListModel::setRows(QList<db::Question> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    m_lines = QList<QString>(m_rows.size());
    endResetModel();
}

void QuestionListModel::clear()
{
    setRows({});
}

const db::Question *QuestionListModel::rowAt(int line) const
{
    return line >= 0 && line < m_rows.size() ? &m_rows.at(line) : nullptr;
}

QString QuestionListModel::lineText(int line) const
{
    if (line < 0 || line >= m_rows.size())
        return QString();
    QString &s = m_lines[line];
    if (s.isNull()) {
        s = vn::decode(m_rows.at(line).cauhoi, vn::Encoding::Vni);
        // One line per question, whatever the stored text holds.
        for (QChar &ch : s)
            if (ch == QLatin1Char('\n') || ch == QLatin1Char('\r') || ch == QLatin1Char('\t'))
                ch = QLatin1Char(' ');
        if (s.isNull())
            s = QLatin1String("");
    }
    return s;
}

int QuestionListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

QVariant QuestionListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
        return lineText(index.row());
    case Qt::ToolTipRole:
        return QStringLiteral("%1. %2").arg(m_rows.at(index.row()).id).arg(lineText(index.row()));
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

namespace editorui {

char32_t firstUnstorable(const QString &unicode)
{
    const QString nfc = unicode.normalized(QString::NormalizationForm_C);
    for (const char32_t cp : nfc.toUcs4()) {
        if (cp < 0x80)
            continue;
        if (!vn::encode(QString::fromUcs4(&cp, 1), vn::Encoding::Vni))
            return cp;
    }
    return 0;
}

QString describeCharacter(char32_t cp)
{
    QString glyph = QString::fromUcs4(&cp, 1);
    const QChar::Category cat = QChar::category(cp);
    if (cat == QChar::Mark_NonSpacing || cat == QChar::Mark_SpacingCombining || cat == QChar::Mark_Enclosing)
        glyph.prepend(QChar(0x25CC)); // a combining mark is shown on a dotted circle
    else if (!QChar::isPrint(cp))
        glyph.clear();
    const QString code = QStringLiteral("U+%1").arg(quint32(cp), 4, 16, QLatin1Char('0')).toUpper();
    return glyph.isEmpty() ? code : QStringLiteral("\u201C%1\u201D (%2)").arg(glyph, code);
}

} // namespace editorui
