#include "messages.h"

#include <QAbstractButton>

namespace ui {

QMessageBox::StandardButton showMessage(QWidget *parent, const MessageRequest &r)
{
    constexpr int kLinesShown = 24;
    const QString text = vn::display(r.text, r.encoding);
    const QStringList lines = text.split(QLatin1Char('\n'));
    const bool long_ = lines.size() > kLinesShown;
    QMessageBox box(r.icon, vn::display(r.title, r.encoding),
                    long_ ? QStringList(lines.mid(0, kLinesShown)).join(QLatin1Char('\n')) + QStringLiteral("\n\u2026")
                          : text,
                    r.buttons, parent);
    box.setObjectName(QStringLiteral("messageBox"));
    if (long_)
        box.setDetailedText(text);
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
