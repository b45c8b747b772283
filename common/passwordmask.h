#pragma once
// A password box that hides every character behind a chosen one ("$" on the
// game's login and the editor's access code). Style sheets cannot set the mask
// character under the application's style sheet, so a small style on that one
// box does.

#include <QLineEdit>
#include <QProxyStyle>

namespace ui {

class MaskCharacterStyle : public QProxyStyle {
public:
    explicit MaskCharacterStyle(QChar mask) : m_mask(mask) {}
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *ret) const override
    {
        if (hint == SH_LineEdit_PasswordCharacter)
            return m_mask.unicode();
        return QProxyStyle::styleHint(hint, option, widget, ret);
    }

private:
    QChar m_mask;
};

inline void setPasswordMask(QLineEdit *box, QChar mask)
{
    auto *style = new MaskCharacterStyle(mask);
    style->setParent(box);
    box->setStyle(style);
    box->setEchoMode(QLineEdit::Password);
}

} // namespace ui
