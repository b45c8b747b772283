#include "registerfields.h"

#include "legacylabel.h"
#include "passwordmask.h"
#include "studiotheme.h"
#include "vntext.h"

#include <QComboBox>
#include <QLineEdit>

namespace accounts {

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
    ui::setPasswordMask(box, QLatin1Char(mask));
}

LegacyLabel *fieldLabel(QWidget *parent, const char *name, const QString &caption)
{
    auto *l = new LegacyLabel(parent, QString::fromLatin1(name), caption);
    l->setForeColor(QColor(255, 233, 168));
    return l;
}

LegacyLabel *closePicture(QWidget *parent, const QString &name)
{
    auto *close = new LegacyLabel(parent, name);
    close->setText(QStringLiteral("\u2715"));
    close->setFixedSize(28, 28);
    close->setAlignment(Qt::AlignCenter);
    close->setCursor(Qt::PointingHandCursor);
    close->setExtraStyle(QStringLiteral("border: 2px solid #d9b44a; border-radius: 14px; font-weight: bold; font-family: \"DejaVu Sans\";"));
    close->setForeColor(studio::gold());
    return close;
}

LegacyLabel *commandButton(QWidget *parent, const char *name, const QString &caption)
{
    auto *b = new LegacyLabel(parent, QString::fromLatin1(name), caption);
    b->makeButton();
    b->setLeastWidth(180);
    return b;
}

LegacyLabel *statusLine(QWidget *parent)
{
    auto *xem = new LegacyLabel(parent, QStringLiteral("xem"));
    xem->setWordWrap(true);
    xem->setMinimumHeight(40);
    xem->setAlignment(Qt::AlignCenter);
    xem->setExtraStyle(QStringLiteral("background: rgba(4, 8, 30, 200); border-top: 2px solid #d9b44a; "
                                      "border-radius: 10px; padding: 6px 14px;"));
    xem->setForeColor(QColor(255, 233, 168));
    return xem;
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
