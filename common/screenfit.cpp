#include "screenfit.h"

#include <QApplication>
#include <QEvent>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <algorithm>

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
// Before a window is first mapped its frame is not known: the usual title bar
// and borders of a desktop stand in for it.
QMargins frameOf(const QWidget *window)
{
    if (window->windowFlags() & Qt::FramelessWindowHint)
        return {};
    if (const QWindow *handle = window->windowHandle(); handle && handle->isVisible()) {
        const QMargins m = handle->frameMargins();
        if (!m.isNull())
            return m;
    }
    return {6, 34, 6, 6};
}

class Watcher : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *e) override
    {
        if (e->type() != QEvent::Show || !watched->isWidgetType())
            return false;
        auto *w = static_cast<QWidget *>(watched);
        if (!w->isWindow() || (w->windowState() & (Qt::WindowFullScreen | Qt::WindowMaximized)))
            return false;
        const Qt::WindowType type = w->windowType();
        if (type == Qt::Popup || type == Qt::ToolTip || type == Qt::Desktop)
            return false;
        if (const QScreen *screen = w->screen())
            fitInto(w, screen->availableGeometry());
        return false;
    }
};
} // namespace

void fitInto(QWidget *window, const QRect &area)
{
    const QMargins frame = frameOf(window);
    const QSize smallest = window->minimumSize().expandedTo(window->minimumSizeHint());
    const QSize size = fittedSize(window->size(), smallest, frame, area.size());
    const bool scaled = size != window->size();
    if (scaled)
        window->resize(size);
    const QSize framed = size.grownBy(frame);
    // A window never placed is the window system's to place, unless it was
    // scaled down: then it takes the middle of the area.
    if (!window->testAttribute(Qt::WA_Moved)) {
        if (scaled)
            window->move(area.left() + (area.width() - framed.width()) / 2,
                         area.top() + (area.height() - framed.height()) / 2);
        return;
    }
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
