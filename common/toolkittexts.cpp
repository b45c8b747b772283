#include "toolkittexts.h"

#include <QCoreApplication>

namespace ui {

namespace {
// Qt's English source texts (mnemonic '&' removed) and what the players read.
// The contexts differ by platform theme (QPlatformTheme, QGnomeTheme, ...),
// the texts do not.
const struct {
    const char *english;
    const char *vietnamese;
} kTexts[] = {
    {"OK", "Đồng ý"},
    {"Cancel", "Hủy"},
    {"Yes", "Có"},
    {"No", "Không"},
    {"Yes to All", "Có cho tất cả"},
    {"No to All", "Không cho tất cả"},
    {"Retry", "Thử lại"},
    {"Abort", "Dừng"},
    {"Ignore", "Bỏ qua"},
    {"Close", "Đóng"},
    {"Close without Saving", "Đóng, không lưu"},
    {"Save", "Lưu"},
    {"Save All", "Lưu tất cả"},
    {"Open", "Mở"},
    {"Discard", "Bỏ"},
    {"Don't Save", "Không lưu"},
    {"Apply", "Áp dụng"},
    {"Reset", "Đặt lại"},
    {"Restore Defaults", "Khôi phục mặc định"},
    {"Help", "Trợ giúp"},
    {"Show Details...", "Xem chi tiết..."},
    {"Hide Details...", "Ẩn chi tiết"},
    // The edit menu of text boxes.
    {"Undo", "Hoàn tác"},
    {"Redo", "Làm lại"},
    {"Cut", "Cắt"},
    {"Copy", "Sao chép"},
    {"Paste", "Dán"},
    {"Delete", "Xoá"},
    {"Select All", "Chọn tất cả"},
};

// The contexts of the toolkit's standard buttons and edit menus; the programs'
// own texts never go through a translator.
bool toolkitContext(const char *context)
{
    static const char *const kContexts[] = {"QPlatformTheme", "QGnomeTheme", "QKdeTheme", "QDialogButtonBox",
                                            "QMessageBox", "QLineEdit", "QWidgetTextControl"};
    for (const char *c : kContexts)
        if (qstrcmp(context, c) == 0)
            return true;
    return false;
}
} // namespace

QString ToolkitTexts::translate(const char *context, const char *sourceText, const char *, int) const
{
    if (!context || !sourceText || !toolkitContext(context))
        return {};
    QByteArray plain(sourceText);
    plain.replace("&", "");
    for (const auto &t : kTexts)
        if (plain == t.english)
            return QString::fromUtf8(t.vietnamese);
    return {};
}

void installToolkitTexts()
{
    QCoreApplication *app = QCoreApplication::instance();
    const QString name = QStringLiteral("toolkitTexts");
    if (!app || app->findChild<QObject *>(name, Qt::FindDirectChildrenOnly))
        return;
    auto *texts = new ToolkitTexts(app);
    texts->setObjectName(name);
    QCoreApplication::installTranslator(texts);
}

} // namespace ui
