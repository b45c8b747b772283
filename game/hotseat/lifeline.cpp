#include "lifeline.h"

#include "accounts/loginform.h"
#include "audiencevote.h"
#include "fiftyfifty.h"
#include "gameapp.h"
#include "hotseatform.h"
#include "hotseattexts.h"
#include "lifelinetexts.h"
#include "legacylabel.h"
#include "legacytimer.h"
#include "lifelinepanel.h"
#include "phonecall.h"
#include "referee/referee.h"

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

Lifeline::Lifeline(HotSeatForm &form, GameApp &app, LegacyLabel *button, const Texts &texts, bool restoreOnDecline)
    : QObject(&form), m_form(form), m_app(app), m_button(button), m_texts(texts), m_restoreOnDecline(restoreOnDecline)
{
    connect(button, &LegacyLabel::hovered, this, [this] { hostLine()->setCaption(m_texts.help); });
    connect(button, &LegacyLabel::clicked, this, &Lifeline::offerClicked);
}

void Lifeline::offerClicked()
{
    // Nothing is offered for a question that has its verdict or a stopped game.
    if (!m_form.m_questionOpen)
        return;
    hostLine()->setCaption(m_texts.offer);
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
    confirmButton()->setCaption(m_texts.use);
    secondButton()->setCaption(m_texts.decline);
}

void Lifeline::decline()
{
    // First: the answers are freed only once no offer stands.
    confirmButton()->setCaption(kGoOn);
    // A panel still open keeps the answers locked.
    answerPanel()->setEnabled(m_form.answersMayBeFreed());
    // Never brings back the two answers a 50:50 took off this question.
    if (m_restoreOnDecline && !m_form.m_fiftyFifty->removedOnThisQuestion())
        m_form.showAllAnswers();
    m_button->setEnabled(true);
    mainButton()->setCaption(kGoOnAfter);
    backToQuestion();
}

void Lifeline::backToQuestion()
{
    secondButton()->setCaption(kStop);
    confirmButton()->setVisible(false);
    mainButton()->setVisible(true);
    confirmButton()->setCaption(kGoOn);
    cover()->setVisible(false);
}

void Lifeline::markSpent()
{
    if (!m_button->findChild<QWidget *>(QStringLiteral("spent"), Qt::FindDirectChildrenOnly))
        (new SpentMark(m_button))->show();
}

QObject *Lifeline::formObject() const
{
    return &m_form;
}

LegacyLabel *Lifeline::hostLine() const { return m_form.m_cuaban1; }
LegacyLabel *Lifeline::confirmButton() const { return m_form.m_trunggian; }
LegacyLabel *Lifeline::secondButton() const { return m_form.m_stop113; }
LegacyLabel *Lifeline::mainButton() const { return m_form.m_label4; }
LegacyLabel *Lifeline::cover() const { return m_form.m_label7; }
QFrame *Lifeline::answerPanel() const { return m_form.m_lock113; }
LegacyLabel *Lifeline::questionLabel() const { return m_form.m_label2; }
LegacyLabel *Lifeline::answerLabel(int answer) const { return m_form.m_traloi[size_t(answer)]; }
QString Lifeline::nick() const { return m_app.login()->nick(); }
LegacyTimer *Lifeline::musicLoop() const { return m_app.login()->musicTimer(); }
bool Lifeline::hideTwoWrongAnswers() { return m_form.hideTwoWrongAnswers(); }
int Lifeline::questionsDrawn() const { return m_form.m_drawCount; }

bool Lifeline::answered(referee::Outcome outcome)
{
    if (outcome == referee::Outcome::Offline)
        m_form.tellOffline();
    return outcome == referee::Outcome::Done;
}

void Lifeline::closeOtherPanels()
{
    const std::initializer_list<Lifeline *> panels = {m_form.m_phoneCall, m_form.m_audienceVote};
    for (Lifeline *other : panels)
        if (other != this)
            other->closePanel();
}

void Lifeline::freeAnswersIfOpen()
{
    if (m_form.answersMayBeFreed())
        answerPanel()->setEnabled(true);
}

PanelLifeline::PanelLifeline(HotSeatForm &form, GameApp &app, LegacyLabel *button, const Texts &texts,
                             bool restoreOnDecline, const PanelNames &names, const char *unfoldTimer)
    : Lifeline(form, app, button, texts, restoreOnDecline),
      m_panel(new LifelinePanel(&form, names, button->caption(), button->encoding())),
      m_unfold(makeTimer(unfoldTimer, 500, &PanelLifeline::unfoldTick))
{
}

void PanelLifeline::openPanel()
{
    m_open = true;
    answerPanel()->setEnabled(false);
    m_unfold->setEnabled(true);
    markSpent();
    m_app.playEffect(kLifelineOn);
}

void PanelLifeline::unfoldTick()
{
    ++m_panelStep;
    m_panel->unfold(m_panelStep);
    unfolded(m_panelStep);
}

void PanelLifeline::closePanel()
{
    if (!m_open)
        return;
    m_open = false;
    m_unfold->setEnabled(false); // a panel closed while unfolding stays closed
    // The keyboard's focus goes back to the stage, not on to whichever of
    // its buttons comes next (Enter on "Dừng" would stop the game).
    if (QWidget *focus = m_form.focusWidget(); focus && m_panel->panel()->isAncestorOf(focus))
        m_form.setFocus(Qt::OtherFocusReason);
    m_panel->panel()->setVisible(false);
    m_panel->close();
    panelClosed();
    freeAnswersIfOpen();
}

void PanelLifeline::endScript()
{
    closePanel();
    m_unfold->setEnabled(false);
}
