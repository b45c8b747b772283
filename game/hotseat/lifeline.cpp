#include "lifeline.h"

#include "accounts/loginform.h"
#include "fiftyfifty.h"
#include "gameapp.h"
#include "hotseatform.h"
#include "hotseattexts.h"
#include "lifelinetexts.h"
#include "legacylabel.h"
#include "legacytimer.h"

#include <QEvent>
#include <QFrame>
#include <QPainter>

using namespace hotseat;

namespace {
// A red cross over a spent lifeline's button, following its size.
class SpentMark : public QWidget {
public:
    explicit SpentMark(QWidget *button) : QWidget(button)
    {
        setObjectName(QStringLiteral("spent"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        // The button's own style would otherwise paint its background over it.
        setStyleSheet(QStringLiteral("background: transparent; border: none;"));
        setGeometry(button->rect());
        button->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Resize)
            setGeometry(parentWidget()->rect());
        return false;
    }
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const QRectF r = QRectF(rect()).adjusted(width() * 0.3, height() * 0.18, -width() * 0.3, -height() * 0.18);
        p.setPen(QPen(QColor(220, 30, 30, 220), 4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(r.topLeft(), r.bottomRight());
        p.drawLine(r.topRight(), r.bottomLeft());
    }
};
} // namespace

Lifeline::Lifeline(HotSeatForm &form, GameApp &app, LegacyLabel *button, const QString &help)
    : QObject(&form), m_form(form), m_app(app), m_button(button)
{
    connect(button, &LegacyLabel::hovered, this, [this, help] { hostLine()->setCaption(help); });
}

void Lifeline::offer(const QString &line, const QString &use, const QString &decline)
{
    // Nothing is offered for a question that has its verdict or a stopped game.
    if (!m_form.m_questionOpen)
        return;
    hostLine()->setCaption(line);
    confirmButton()->setEnabled(true);
    m_app.playEffect(kRingOut);
    cover()->setCaption(QString());
    cover()->setVisible(true);
    for (ShapeBox *box : m_form.m_da)
        box->setOpaque(false);
    // A pick waiting for its Yes is cancelled with its highlight: after the
    // lifeline the player picks again (the answer may no longer be on the board).
    if (HotSeatForm::answerOf(m_form.m_cuaban) >= 0) {
        m_form.m_cuaban = QStringLiteral("?");
        mainButton()->setCaption(kGoOnAfter);
        mainButton()->setEnabled(false);
    }
    answerPanel()->setEnabled(false);
    m_button->setEnabled(false);
    mainButton()->setVisible(false);
    confirmButton()->setVisible(true);
    confirmButton()->setCaption(use);
    secondButton()->setCaption(decline);
}

void Lifeline::declineOffer(bool restoreAnswers)
{
    confirmButton()->setCaption(kGoOn);
    // A panel still open keeps the answers locked.
    answerPanel()->setEnabled(m_form.answersMayBeFreed());
    cover()->setVisible(false);
    // Never brings back the two answers a 50:50 took off this question.
    if (restoreAnswers && !m_form.m_fiftyFifty->removedOnThisQuestion())
        m_form.showAllAnswers();
    m_button->setEnabled(true);
    mainButton()->setCaption(kGoOnAfter);
    secondButton()->setCaption(kStop);
    confirmButton()->setVisible(false);
    mainButton()->setVisible(true);
}

void Lifeline::markSpent()
{
    if (!m_button->findChild<QWidget *>(QStringLiteral("spent"), Qt::FindDirectChildrenOnly))
        (new SpentMark(m_button))->show();
}

LegacyTimer *Lifeline::makeTimer(const char *name, int intervalMs)
{
    return new LegacyTimer(&m_form, name, intervalMs, false);
}

LegacyLabel *Lifeline::hostLine() const { return m_form.m_cuaban1; }
LegacyLabel *Lifeline::confirmButton() const { return m_form.m_trunggian; }
LegacyLabel *Lifeline::secondButton() const { return m_form.m_stop113; }
LegacyLabel *Lifeline::mainButton() const { return m_form.m_label4; }
LegacyLabel *Lifeline::cover() const { return m_form.m_label7; }
QFrame *Lifeline::answerPanel() const { return m_form.m_lock113; }
LegacyLabel *Lifeline::questionLabel() const { return m_form.m_label2; }
LegacyLabel *Lifeline::answerLabel(int answer) const { return m_form.m_traloi[size_t(answer)]; }
QString Lifeline::correctLetter() const { return m_form.m_dapandung; }
int Lifeline::correctAnswer() const { return HotSeatForm::answerOf(m_form.m_dapandung); }
QString Lifeline::nick() const { return m_app.login()->nick(); }
LegacyTimer *Lifeline::musicLoop() const { return m_app.login()->musicTimer(); }
void Lifeline::hideTwoWrongAnswers() { m_form.hideTwoWrongAnswers(); }
int Lifeline::questionsDrawn() const { return m_form.m_drawCount; }

void Lifeline::freeAnswersIfOpen()
{
    if (m_form.answersMayBeFreed())
        answerPanel()->setEnabled(true);
}

bool Lifeline::removedByFifty(int answer) const
{
    return m_form.m_fiftyFifty->removedOnThisQuestion() && answer >= 0
        && (HotSeatForm::fiftyFiftyTakes(m_form.m_fiftyFifty->takenFor()) & 1 << answer);
}

QString Lifeline::onBoard(int answer) const
{
    if (removedByFifty(answer))
        for (int other = 0; other < 4; ++other)
            if (other != correctAnswer() && !removedByFifty(other))
                return QString(QLatin1Char(char('A' + other)));
    return QString(QLatin1Char(char('A' + answer)));
}
