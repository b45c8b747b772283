#include "topfiveboard.h"

#include "gamedb.h"
#include "legacylabel.h"
#include "screenfit.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include <utility>

namespace {
const QString kTitle = QStringLiteral("Baíng vaìng"); // VnTimes: the golden board
const QString kNoAccount = QStringLiteral("\u2014");

// Gold, silver and bronze for the podium, then the stage's pale blue.
const QColor kRankColours[5] = {QColor(255, 215, 90), QColor(214, 222, 240), QColor(222, 150, 90),
                                QColor(150, 175, 240), QColor(150, 175, 240)};

const char *kStyle = R"css(
#Picture2 {
    border: 2px solid #d9b44a; border-radius: 18px;
    background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #1b2c86, stop:1 #060d36);
}
QFrame[rankRow="odd"] { background: rgba(255, 215, 90, 22); border-radius: 10px; }
QFrame[rankRow="even"] { background: rgba(120, 150, 255, 16); border-radius: 10px; }
)css";

} // namespace

TopFiveBoard::TopFiveBoard(QWidget *form, db::GameDb &store, std::function<void()> offline)
    : QFrame(form), m_store(store), m_offline(std::move(offline))
{
    setObjectName(QStringLiteral("Picture2"));
    setStyleSheet(QString::fromLatin1(kStyle));
    setVisible(false);

    m_tp = new LegacyLabel(this, QStringLiteral("tp"), kTitle);
    m_tp->setAlignment(Qt::AlignCenter);
    m_tp->setExtraStyle(QStringLiteral("font-size: 19pt; font-weight: bold;"));
    m_tp->setForeColor(QColor(255, 215, 90));
    m_label32 = new LegacyLabel(this, QStringLiteral("Label32"), QString(), vn::Encoding::Plain);
    m_label32->setExtraStyle(QStringLiteral("font-size: 8pt;"));
    m_label32->setForeColor(QColor(90, 110, 170));
    m_label32->setFixedWidth(22);
    auto *title = new QHBoxLayout;
    title->addSpacing(22);
    title->addStretch();
    title->addWidget(m_tp);
    title->addStretch();
    title->addWidget(m_label32, 0, Qt::AlignBottom);

    auto *table = new QVBoxLayout;
    table->setSpacing(6);
    for (int i = 0; i < 5; ++i) {
        auto *row = new QFrame(this);
        row->setProperty("rankRow", i % 2 ? QStringLiteral("even") : QStringLiteral("odd"));
        auto *rank = new LegacyLabel(row, QStringLiteral("Label12(%1)").arg(i), QStringLiteral("%1.").arg(i + 1),
                                     vn::Encoding::Plain);
        rank->setExtraStyle(QStringLiteral("font-size: 15pt; font-weight: bold;"));
        rank->setForeColor(kRankColours[i]);
        rank->setFixedWidth(40);
        auto *nick = new LegacyLabel(row, QStringLiteral("num1(%1)").arg(i), QString(), vn::Encoding::Plain);
        nick->setExtraStyle(QStringLiteral("font-size: 13pt;"));
        nick->setForeColor(i < 3 ? QColor(255, 255, 255) : QColor(220, 228, 250));
        nick->setLeastWidth(160);
        auto *money = new LegacyLabel(row, QStringLiteral("tien1(%1)").arg(i), QString(), vn::Encoding::Plain);
        money->setExtraStyle(QStringLiteral("font-size: 13pt; font-weight: bold;"));
        money->setForeColor(QColor(255, 233, 168));
        money->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        money->setLeastWidth(130);
        auto *h = new QHBoxLayout(row);
        h->setContentsMargins(12, 6, 14, 6);
        h->addWidget(rank);
        h->addWidget(nick, 1);
        h->addWidget(money);
        table->addWidget(row);
        m_num1[size_t(i)] = nick;
        m_tien1[size_t(i)] = money;
    }

    m_image9 = new LegacyLabel(this, QStringLiteral("Image9"), QStringLiteral("\u2716"), vn::Encoding::Plain);
    m_image9->makeButton();
    m_image9->setLeastWidth(80);

    auto *v = new QVBoxLayout(this);
    v->setContentsMargins(26, 16, 26, 18);
    v->setSpacing(12);
    v->addLayout(title);
    v->addLayout(table);
    v->addWidget(m_image9, 0, Qt::AlignHCenter);

    connect(m_image9, &LegacyLabel::clicked, this, &QWidget::hide);
    connect(m_tp, &LegacyLabel::clicked, this, &TopFiveBoard::titleClicked);
    form->installEventFilter(this);
    fill();
}

void TopFiveBoard::fill()
{
    const QList<db::Account> top = m_store.topFive();
    if (top.isEmpty() && m_store.lastWasOffline()) {
        // Told once: the board fills again at each activation of its form,
        // the closing of the message's box included.
        if (!std::exchange(m_toldOffline, true) && m_offline)
            m_offline();
        return;
    }
    m_toldOffline = false;
    for (int i = 0; i < 5; ++i) {
        LegacyLabel *nick = m_num1[size_t(i)];
        LegacyLabel *money = m_tien1[size_t(i)];
        if (i < top.size()) {
            const db::Account &a = top[i];
            nick->setCaption(a.nick);
            nick->setText(a.nick); // exactly as typed, an "&" included
            money->setCaption(a.sotien); // shown as stored, "1000000" too
        } else {
            nick->setCaption(QString());
            nick->setText(kNoAccount);
            money->setCaption(QString());
        }
    }
}

void TopFiveBoard::open()
{
    place();
    setVisible(true);
    raise();
}

void TopFiveBoard::setMark(const QString &text)
{
    m_label32->setCaption(text);
}

bool TopFiveBoard::eventFilter(QObject *watched, QEvent *e)
{
    if (watched == parentWidget()) {
        if (e->type() == QEvent::WindowActivate)
            fill();
        else if (e->type() == QEvent::Resize && isVisible())
            place();
    }
    return QFrame::eventFilter(watched, e);
}

void TopFiveBoard::place()
{
    screenfit::centreOnForm(this, 460);
}
