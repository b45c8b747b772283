#pragma once
// Message boxes go through one function so that tests can answer them without a
// modal loop. Texts are legacy texts in the given encoding (see vntext.h).

#include "vntext.h"

#include <QMessageBox>
#include <functional>
#include <optional>

namespace ui {

struct MessageRequest {
    QString text;
    QString title;
    vn::Encoding encoding = vn::Encoding::VnTimes;
    QMessageBox::Icon icon = QMessageBox::Information;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
};

using MessageFn = std::function<QMessageBox::StandardButton(QWidget *parent, const MessageRequest &)>;

// A real, modal, studio-styled message box. A text of many lines (a list)
// shows its first lines, and the whole of it behind the box's details button.
QMessageBox::StandardButton showMessage(QWidget *parent, const MessageRequest &request);

// The refusal of a typed text that holds a character no legacy text can hold
// (an emoji, a letter of another language), naming the character and the box
// (`field`, Unicode); nothing when every character can be kept.
std::optional<MessageRequest> unstorableRefusal(const QString &typed, const QString &field, const QString &title);

} // namespace ui
