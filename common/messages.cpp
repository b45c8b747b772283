#include "messages.h"

namespace ui {

QMessageBox::StandardButton showMessage(QWidget *parent, const MessageRequest &r)
{
    QMessageBox box(r.icon, vn::display(r.title, r.encoding), vn::display(r.text, r.encoding), r.buttons,
                    parent);
    box.setObjectName(QStringLiteral("messageBox"));
    return QMessageBox::StandardButton(box.exec());
}

} // namespace ui
