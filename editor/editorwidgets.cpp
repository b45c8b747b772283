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
