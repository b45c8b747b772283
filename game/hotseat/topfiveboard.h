#pragma once
// Picture2: the top-five board of the hot seat, the five richest accounts of the
// installation. Title tp with the small label Label32 at its right end, ranks
// Label12(0..4), nicks num1(0..4), money tien1(0..4), and Image9 to close it.
// It fills itself each time its form becomes the active window, so an account
// made meanwhile (by another copy of the game) shows at the next activation.

#include <QFrame>
#include <array>
#include <functional>

class LegacyLabel;
namespace db { class GameDb; }

class TopFiveBoard : public QFrame {
    Q_OBJECT
public:
    // offline: tells the player the server could not be reached (once, until
    // a read succeeds again).
    TopFiveBoard(QWidget *form, db::GameDb &store, std::function<void()> offline = {});

    // Reads the five richest accounts, richest first. Lines without an account
    // show a dash. A money text that is a number is shown grouped; any other
    // text as stored (it ranks as 0). With the server out of reach the lines
    // stay as they were: nothing read is not an empty list.
    void fill();
    // Whether the player has been told (and not yet read since).
    bool toldOffline() const { return m_toldOffline; }
    void open();
    // Label32: the small mark at the right end of the title.
    void setMark(const QString &text);

signals:
    void titleClicked(); // tp

protected:
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    void place();

    db::GameDb &m_store;
    std::function<void()> m_offline;
    bool m_toldOffline = false;
    LegacyLabel *m_tp;
    LegacyLabel *m_label32;
    std::array<LegacyLabel *, 5> m_num1{};
    std::array<LegacyLabel *, 5> m_tien1{};
    LegacyLabel *m_image9;
};
