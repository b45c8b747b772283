#include "registerfields.h"

#include "vntext.h"

#include <QComboBox>
#include <QLineEdit>
#include <QProxyStyle>

namespace accounts {

namespace {
// Shows every typed character of a masked box as one fixed character. A style
// hint rather than a style sheet rule, so the application's style sheet cannot
// turn the mask back into dots.
class MaskStyle : public QProxyStyle {
public:
    explicit MaskStyle(char mask) : m_mask(mask) {}
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *ret) const override
    {
        if (hint == SH_LineEdit_PasswordCharacter)
            return m_mask;
        return QProxyStyle::styleHint(hint, option, widget, ret);
    }

private:
    char m_mask;
};
} // namespace

const QStringList &secretQuestions()
{
    static const QStringList list = {
        QStringLiteral("Baûn yãu quê ngæåìi naìo nháút ?"),
        QStringLiteral("Baûn gheït ai nháút ?"),
        QStringLiteral("Luïc raînh baûn thæåìng laìm gç ?"),
        QStringLiteral("Såí thêch cuía baûn laì gç ?"),
        QStringLiteral("Træåìng cuía baûn tãn gç ?"),
        QStringLiteral("Tháöy giaïo baûn yãu quê nháút ?"),
        QStringLiteral("Cä giaïo baûn yãu quê nháút ?"),
        QStringLiteral("Con váût baûn yãu quê nháút ?"),
        QStringLiteral("Baûn såü con váût naìo nháút ?"),
    };
    return list;
}

void fillSecretQuestions(QComboBox *box)
{
    box->clear();
    for (const QString &q : secretQuestions())
        box->addItem(vn::decode(q, vn::Encoding::VnTimes), q);
    box->setCurrentIndex(-1);
}

QString chosenQuestion(const QComboBox *box)
{
    if (box->currentIndex() < 0)
        return QStringLiteral("");
    return typedValue(box->currentData().toString());
}

QString leadingNumber(const QString &text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    auto blank = [&](qsizetype k) { return text.at(k) == u' ' || text.at(k) == u'\t'; };
    while (i < n && blank(i))
        ++i;
    QString digits;
    while (i < n) {
        const QChar c = text.at(i);
        if (c >= u'0' && c <= u'9') {
            if (!(digits.isEmpty() && c == u'0'))
                digits.append(c);
        } else if (!blank(i)) {
            break;
        }
        ++i;
    }
    return typedValue(digits);
}

QString typedValue(const QString &text)
{
    return text.isNull() ? QStringLiteral("") : text;
}

QLineEdit *makeBox(QWidget *parent, const QString &name, char mask)
{
    auto *box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setMaxLength(kFieldMaxLength);
    if (mask)
        setMask(box, mask);
    return box;
}

void setMask(QLineEdit *box, char mask)
{
    auto *style = new MaskStyle(mask);
    style->setParent(box);
    box->setStyle(style);
    box->setEchoMode(QLineEdit::Password);
}

std::optional<ui::MessageRequest> refuseUnstorable(std::initializer_list<std::pair<QWidget *, const char *>> boxes)
{
    for (const auto &[box, field] : boxes) {
        QString typed;
        if (auto *edit = qobject_cast<QLineEdit *>(box))
            typed = edit->text();
        else if (auto *list = qobject_cast<QComboBox *>(box))
            typed = list->currentText();
        if (auto refusal = ui::unstorableRefusal(typed, QString::fromUtf8(field), QStringLiteral("Lontaris"))) {
            box->setFocus();
            return refusal;
        }
    }
    return std::nullopt;
}

} // namespace accounts
