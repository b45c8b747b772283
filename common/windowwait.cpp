#include "windowwait.h"

#include "legacytimer.h"
#include "studiotheme.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace {

const QString kBannerName = QStringLiteral("waiting");


void placeAtFoot(QLabel *banner)
{
    const QWidget *window = banner->parentWidget();
    banner->move((window->width() - banner->width()) / 2, window->height() - banner->height() - 24);
}

// Drops input while a wait is under way, and keeps the banner at the foot
// of its window when the window is resized.
class Gate : public QObject {
public:
    QPointer<QLabel> banner;

protected:
    bool eventFilter(QObject *watched, QEvent *e) override
    {
        const QEvent::Type t = e->type();
        if (t == QEvent::Close) {
            e->ignore(); // the window stays open
            return true;
        }
        if (WindowWait::isInput(t))
            return true;
        if (t == QEvent::Resize && banner && watched == banner->parentWidget())
            placeAtFoot(banner);
        return false;
    }
};

struct State {
    int depth = 0;
    WindowWait::Why why = WindowWait::Why::Server;
    Gate *gate = nullptr;
    QTimer *later = nullptr;
};

State &state()
{
    static State s;
    return s;
}

// The window the player looks at: the active one, else the one with the
// focus, else a visible one.
QWidget *windowToTell()
{
    if (QWidget *w = QApplication::activeWindow())
        return w;
    if (QWidget *f = QApplication::focusWidget())
        return f->window();
    const QWidgetList tops = QApplication::topLevelWidgets();
    for (auto it = tops.crbegin(); it != tops.crend(); ++it)
        if ((*it)->isWindow() && (*it)->isVisible() && !(*it)->isMinimized()
            && !((*it)->windowType() == Qt::Popup || (*it)->windowType() == Qt::ToolTip))
            return *it;
    return nullptr;
}

// Says why at the foot of the window the player looks at; null when none is shown.
QLabel *putBanner(WindowWait::Why why)
{
    QWidget *window = windowToTell();
    if (!window)
        return nullptr;
    QLabel *banner = WindowWait::banner(window);
    if (!banner) {
        banner = new QLabel(window);
        banner->setObjectName(kBannerName);
        banner->setAlignment(Qt::AlignCenter);
        // The studio's gold on its deepest blue, opaque whatever lies behind:
        // a contrast of about 13:1.
        const QColor ink = studio::gold(), fill = QColor(8, 14, 52);
        banner->setStyleSheet(QStringLiteral("QLabel { color: %1; background: %2; border: 2px solid #d9b44a;"
                                             " border-radius: 14px; padding: 10px 28px; font-size: 15pt;"
                                             " font-weight: bold; }")
                                      .arg(ink.name(), fill.name()));
    }
    banner->setText(WindowWait::text(why));
    banner->adjustSize();
    placeAtFoot(banner);
    banner->raise();
    banner->show();
    return banner;
}

void showBanner()
{
    State &s = state();
    if (s.gate)
        s.gate->banner = putBanner(s.why);
}

} // namespace

WindowWait::WindowWait(Why why)
{
    State &s = state();
    if (s.depth++ > 0)
        return; // the outermost wait says why
    s.why = why;
    LegacyTimer::holdTicks(true);
    s.gate = new Gate;
    qApp->installEventFilter(s.gate);
    s.later = new QTimer;
    s.later->setSingleShot(true);
    QObject::connect(s.later, &QTimer::timeout, s.later, &showBanner);
    s.later->start(kBannerAfterMs);
}

WindowWait::~WindowWait()
{
    State &s = state();
    if (--s.depth > 0)
        return;
    delete s.later;
    s.later = nullptr;
    if (s.gate->banner)
        s.gate->banner->hide();
    delete s.gate; // an event filter deleted is removed
    s.gate = nullptr;
    LegacyTimer::holdTicks(false);
}

WindowWait::Notice::Notice(Why why) : m_later(new QTimer)
{
    m_later->setSingleShot(true);
    QObject::connect(m_later.get(), &QTimer::timeout, m_later.get(), [this, why] { m_banner = putBanner(why); });
    m_later->start(kBannerAfterMs);
}

WindowWait::Notice::~Notice()
{
    if (m_banner)
        m_banner->hide();
}

QString WindowWait::text(Why why)
{
    return why == Why::Saving ? QStringLiteral("Đang lưu…") : QStringLiteral("Đang chờ máy chủ…");
}

int WindowWait::depth()
{
    return state().depth;
}

QLabel *WindowWait::banner(QWidget *window)
{
    return window ? window->findChild<QLabel *>(kBannerName, Qt::FindDirectChildrenOnly) : nullptr;
}

bool WindowWait::isInput(QEvent::Type t)
{
    switch (t) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonRelease:
    case QEvent::NonClientAreaMouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::InputMethod:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        return true;
    default:
        return false;
    }
}

namespace {
int g_plainly = 0; // the window's thread only
} // namespace

WindowWait::Plainly::Plainly() { ++g_plainly; }
WindowWait::Plainly::~Plainly() { --g_plainly; }
bool WindowWait::mayTurnEventLoop() { return g_plainly == 0; }
