#include "editorwidgets.h"

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

VniLineEdit::VniLineEdit(QWidget *parent, const QString &name) : QLineEdit(parent)
{
    setObjectName(name);
    setMaxLength(32767);
}

void VniLineEdit::setLegacy(const QString &legacy)
{
    m_legacy = legacy;
    m_shown = vn::decode(legacy, vn::Encoding::Vni);
    setText(m_shown);
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
