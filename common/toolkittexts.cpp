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
    // The file dialog (Qt's own, see filedialog.h), its list of files and its places.
    {"Look in:", "Tìm trong:"},
    {"File name:", "Tên tệp:"},
    {"Files of type:", "Loại tệp:"},
    {"Directory:", "Thư mục:"},
    {"Choose", "Chọn"},
    {"Save As", "Lưu thành"},
    {"Find Directory", "Chọn thư mục"},
    {"Back", "Lùi"},
    {"Go back", "Về thư mục trước"},
    {"Forward", "Tới"},
    {"Go forward", "Tới thư mục sau"},
    {"Parent Directory", "Thư mục cha"},
    {"Go to the parent directory", "Lên thư mục cha"},
    {"Create New Folder", "Tạo thư mục mới"},
    {"Create a New Folder", "Tạo thư mục mới"},
    {"List View", "Dạng danh sách"},
    {"Change to list view mode", "Xem dạng danh sách"},
    {"Detail View", "Dạng chi tiết"},
    {"Change to detail view mode", "Xem dạng chi tiết"},
    {"Sidebar", "Các nơi"},
    {"List of places and bookmarks", "Các nơi hay dùng"},
    {"Files", "Các tệp"},
    {"Recent Places", "Nơi mở gần đây"},
    {"Show ", "Hiện "},
    {"Rename", "Đổi tên"},
    {"Show hidden files", "Hiện tệp ẩn"},
    {"New Folder", "Thư mục mới"},
    {"Remove", "Bỏ khỏi danh sách"},
    {"All Files (*)", "Mọi tệp (*)"},
    {"All files (*)", "Mọi tệp (*)"},
    {"Directories", "Thư mục"},
    {"%1 already exists.\nDo you want to replace it?", "Tệp %1 đã có.\nBạn có muốn ghi đè lên nó không?"},
    {"%1\nFile not found.\nPlease verify the correct file name was given.",
     "%1\nKhông tìm thấy tệp này.\nHãy xem lại tên tệp."},
    {"%1\nDirectory not found.\nPlease verify the correct directory name was given.",
     "%1\nKhông tìm thấy thư mục này.\nHãy xem lại tên thư mục."},
    {"'%1' is write protected.\nDo you want to delete it anyway?", "“%1” đang được bảo vệ chống ghi.\nVẫn xoá nó?"},
    {"Are you sure you want to delete '%1'?", "Bạn có chắc muốn xoá “%1” không?"},
    {"Could not delete directory.", "Không xoá được thư mục."},
    {"Name", "Tên"},
    {"Size", "Cỡ"},
    {"Type", "Loại"},
    {"Kind", "Loại"},
    {"Date Modified", "Ngày sửa"},
    {"Computer", "Máy tính"},
    {"My Computer", "Máy tính"},
    {"Invalid filename", "Tên tệp không dùng được"},
    {"Drive", "Ổ đĩa"},
    {"Folder", "Thư mục"},
    {"File Folder", "Thư mục"},
    {"File", "Tệp"},
    {"%1 File", "Tệp %1"},
    {"Alias", "Lối tắt"},
    {"Shortcut", "Lối tắt"},
    {"Unknown", "Không rõ"},
};

// The contexts of the toolkit's standard buttons and edit menus; the programs'
// own texts never go through a translator.
bool toolkitContext(const char *context)
{
    static const char *const kContexts[] = {"QPlatformTheme", "QGnomeTheme", "QKdeTheme", "QDialogButtonBox",
                                            "QMessageBox", "QLineEdit", "QWidgetTextControl", "QFileDialog",
                                            "QFileSystemModel", "QAbstractFileIconProvider", "QSidebar",
                                            "QProgressDialog"};
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
