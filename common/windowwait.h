#pragma once
// The window's thread waiting, without freezing, for a step that runs
// elsewhere (a statement on the classroom's database server): for the
// lifetime of a WindowWait, while the caller turns the event loop,
// - the windows paint, move and resize, and timers that are not the game's
//   keep running;
// - input to the program's windows (mouse, keys, wheel, close) is dropped,
//   not kept for later: nothing re-enters a form in the middle of its step;
// - the game's timers (LegacyTimer) keep their ticks and deliver them after
//   the wait, so none of the game's logic runs inside it;
// - after kBannerAfterMs the active window says why, at its foot, in the
//   studio look, until the wait ends.
// Waits nest: the outermost one ends the state.

#include <QEvent>
#include <QPointer>
#include <QString>

#include <memory>

class QLabel;
class QTimer;
class QWidget;

class WindowWait {
public:
    enum class Why { Saving, Server };

    explicit WindowWait(Why why);
    ~WindowWait();
    WindowWait(const WindowWait &) = delete;
    WindowWait &operator=(const WindowWait &) = delete;

    static constexpr int kBannerAfterMs = 300;
    static QString text(Why why);
    // Waits under way (0: none).
    static int depth();
    // The banner of `window` ("waiting"); null when none was made there.
    static QLabel *banner(QWidget *window);
    // While one lives, a wait on this thread does not turn the event loop: a
    // step asked in the middle of painting (a list's rows fetched as they
    // are drawn) is waited for plainly, within the step's own bound, so that
    // nothing paints inside a paint.
    class Plainly {
    public:
        Plainly();
        ~Plainly();
        Plainly(const Plainly &) = delete;
        Plainly &operator=(const Plainly &) = delete;
    };
    static bool mayTurnEventLoop();

    // The banner alone, for a wait that neither drops input nor holds the
    // game's timers (the first open of a class server, which keeps for after
    // it the clicks that need it): after kBannerAfterMs the window the player
    // looks at says why, until the object ends.
    class Notice {
    public:
        explicit Notice(Why why);
        ~Notice();
        Notice(const Notice &) = delete;
        Notice &operator=(const Notice &) = delete;

    private:
        std::unique_ptr<QTimer> m_later;
        QPointer<QLabel> m_banner;
    };

    // Whether an event of this type is the player's input (mouse, keys,
    // wheel, touch, tablet, drag and drop, a context menu).
    static bool isInput(QEvent::Type t);
};
