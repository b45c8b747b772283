#include "messages.h"

#include "toolkittexts.h"

namespace ui {

QMessageBox::StandardButton showMessage(QWidget *parent, const MessageRequest &r)
{
    // Qt's own button texts are English; the players read Vietnamese.
    installToolkitTexts();
    QMessageBox box(r.icon, vn::display(r.title, r.encoding), vn::display(r.text, r.encoding), r.buttons,
                    parent);
    box.setObjectName(QStringLiteral("messageBox"));
    return QMessageBox::StandardButton(box.exec());
}

std::optional<MessageRequest> unstorableRefusal(const QString &typed, const QString &field, const QString &title)
{
    // Both legacy encodings hold the same letters.
    const char32_t bad = vn::firstUnstorable(typed, vn::Encoding::VnTimes);
    if (!bad)
        return std::nullopt;
    return MessageRequest{QStringLiteral("Ký tự %1 trong ô \u201C%2\u201D không dùng được: trò chơi chỉ giữ được "
                                         "chữ tiếng Việt, chữ số và các ký hiệu trên bàn phím. Hãy thay hoặc xoá "
                                         "ký tự đó rồi thử lại.")
                              .arg(vn::describeCharacter(bad), field),
                          title, vn::Encoding::Plain, QMessageBox::Warning, QMessageBox::Ok};
}

} // namespace ui
