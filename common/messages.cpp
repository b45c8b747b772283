#include "messages.h"

#include <QAbstractButton>

namespace ui {

QMessageBox::StandardButton showMessage(QWidget *parent, const MessageRequest &r)
{
    QMessageBox box(r.icon, vn::display(r.title, r.encoding), vn::display(r.text, r.encoding), r.buttons,
                    parent);
    box.setObjectName(QStringLiteral("messageBox"));
    // Qt's own button texts are English; the players read Vietnamese.
    static const struct {
        QMessageBox::StandardButton button;
        const char *text;
    } kTexts[] = {{QMessageBox::Retry, "Thử lại"}, {QMessageBox::Cancel, "Hủy"},
                  {QMessageBox::Yes, "Có"},       {QMessageBox::No, "Không"}};
    for (const auto &t : kTexts)
        if (QAbstractButton *b = box.button(t.button))
            b->setText(QString::fromUtf8(t.text));
    return QMessageBox::StandardButton(box.exec());
}

} // namespace ui
