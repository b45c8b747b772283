#include "messages.h"

#include "toolkittexts.h"

namespace ui {

QMessageBox::StandardButton showMessage(QWidget *parent, const MessageRequest &r)
{
    // Qt's own button texts are English; the players read Vietnamese.
    installToolkitTexts();
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
