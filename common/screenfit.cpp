#include "screenfit.h"

#include <QApplication>
#include <QEvent>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <optional>

namespace screenfit {

QSize fittedSize(QSize designed, QSize smallest, QMargins frame, QSize area)
{
    const QSize room(area.width() - frame.left() - frame.right(), area.height() - frame.top() - frame.bottom());
    if (designed.width() <= room.width() && designed.height() <= room.height())
        return designed;
    const double scale = std::min(double(room.width()) / std::max(1, designed.width()),
                                  double(room.height()) / std::max(1, designed.height()));
    QSize scaled(int(designed.width() * scale), int(designed.height() * scale));
    // The layout's needs come first: a window too small to use helps nobody.
    return scaled.expandedTo(smallest);
}

namespace {
// The frame the window manager drew around a window on screen; none while it
// has not framed the window (or draws no frames at all).
std::optional<QMargins> drawnFrame(const QWidget *window)
{
    const QWindow *handle = window->windowHandle();
    if (!handle || !handle->isExposed())
        return std::nullopt;
    const QMargins m = handle->frameMargins();
    if (m.isNull())
        return std::nullopt;
    return m;
}

// Scales a window down as fittedSize says; its framed size.
QSize shrinkToFit(QWidget *window, QSize area)
{
    const QMargins frame = frameOf(window);
    const QSize smallest = window->minimumSize().expandedTo(window->minimumSizeHint());
    const QSize size = fittedSize(window->size(), smallest, frame, area);
    if (size != window->size())
        window->resize(size);
    return size.grownBy(frame);
}

bool fitsTheScreen(const QWidget *w)
{
    if (!w->isWindow() || (w->windowState() & (Qt::WindowFullScreen | Qt::WindowMaximized)))
        return false;
    const Qt::WindowType type = w->windowType();
    return type != Qt::Popup && type != Qt::ToolTip && type != Qt::Desktop;
}

void fitToScreen(QWidget *w)
{
    if (fitsTheScreen(w))
        if (const QScreen *screen = w->screen())
            fitInto(w, screen->availableGeometry());
}

// Places a window once the window manager has framed it, the first time it is
// exposed after being shown; then leaves.
class FirstExposure : public QObject {
public:
    static QString name() { return QStringLiteral("screenFitFirstExposure"); }

    explicit FirstExposure(QWidget *window) : QObject(window), m_window(window)
    {
        setObjectName(name());
        window->windowHandle()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *e) override
    {
        if (e->type() == QEvent::Expose && static_cast<QWindow *>(watched)->isExposed()) {
            watched->removeEventFilter(this);
            deleteLater();
            fitToScreen(m_window);
        }
        return false;
    }

private:
    QWidget *m_window;
};

class Watcher : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *e) override
    {
        if (e->type() != QEvent::Show || !watched->isWidgetType())
            return false;
        auto *w = static_cast<QWidget *>(watched);
        if (!fitsTheScreen(w) || !w->windowHandle())
            return false;
        // Its size now, before it appears; its place once it is framed.
        if (const QScreen *screen = w->screen())
            shrinkToFit(w, screen->availableGeometry().size());
        if (!w->findChild<QObject *>(FirstExposure::name(), Qt::FindDirectChildrenOnly))
            new FirstExposure(w);
        return false;
    }
};
} // namespace

QMargins frameOf(const QWidget *window)
{
    if (window->windowFlags() & Qt::FramelessWindowHint)
        return {};
    if (const auto own = drawnFrame(window))
        return *own;
    for (const QWidget *other : QApplication::topLevelWidgets())
        if (other != window && !(other->windowFlags() & Qt::FramelessWindowHint) && other->isVisible()
            && !(other->windowState() & (Qt::WindowFullScreen | Qt::WindowMaximized)))
            if (const auto drawn = drawnFrame(other))
                return *drawn;
    return {6, 34, 6, 6};
}

void fitInto(QWidget *window, const QRect &area)
{
    const QSize framed = shrinkToFit(window, area.size());
    if (!window->isVisible() && !window->testAttribute(Qt::WA_Moved))
        return;
    // The whole frame inside the area; a window larger than the area keeps its
    // title bar on screen.
    const int x = std::max(area.left(), std::min(window->x(), area.right() + 1 - framed.width()));
    const int y = std::max(area.top(), std::min(window->y(), area.bottom() + 1 - framed.height()));
    if (QPoint(x, y) != window->pos())
        window->move(x, y);
}

void install(QApplication &app)
{
    const QString name = QStringLiteral("screenFit");
    if (app.findChild<QObject *>(name, Qt::FindDirectChildrenOnly))
        return;
    auto *watcher = new Watcher(&app);
    watcher->setObjectName(name);
    app.installEventFilter(watcher);
}

void centreOnForm(QWidget *panel, int minWidth)
{
    const QWidget *form = panel->parentWidget();
    const QSize s = panel->sizeHint().expandedTo(QSize(minWidth, 0)).boundedTo(form->size());
    panel->setGeometry(QRect(QPoint((form->width() - s.width()) / 2, (form->height() - s.height()) / 2), s));
}

} // namespace screenfit
