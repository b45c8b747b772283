#include "filedialog.h"

#include "toolkittexts.h"

#include <QFileDialog>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QSplitter>
#include <QTreeView>
#include <memory>

namespace ui {

namespace {
// The list of files in Vietnamese: sizes and dates written as Vietnamese
// readers write them, and a file's type by its name's ending (the desktop's
// description of a type speaks the desktop's language).
class VietnameseFiles : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex &index, int role) const override
    {
        const auto *files = qobject_cast<const QFileSystemModel *>(sourceModel());
        if (role != Qt::DisplayRole || !files || index.column() < 1 || index.column() > 3)
            return QIdentityProxyModel::data(index, role);
        const QFileInfo info = files->fileInfo(mapToSource(index));
        const QLocale vietnamese(QLocale::Vietnamese, QLocale::Vietnam);
        switch (index.column()) {
        case 1:
            if (info.isDir())
                return QString();
            return info.size() < 1024 ? QStringLiteral("%1 byte").arg(info.size())
                                      : vietnamese.formattedDataSize(info.size(), 1, QLocale::DataSizeTraditionalFormat);
        case 2:
            if (info.isDir())
                return QStringLiteral("Thư mục");
            return info.suffix().isEmpty() ? QStringLiteral("Tệp") : QStringLiteral("Tệp %1").arg(info.suffix().toUpper());
        default:
            return vietnamese.toString(info.lastModified(), QStringLiteral("dd/MM/yyyy HH:mm"));
        }
    }
};
} // namespace

QFileDialog *fileDialog(QWidget *parent, bool save, const QString &title, const QString &suggested,
                        const QString &filter)
{
    installToolkitTexts(); // the headers, places and messages of the dialog
    auto *d = new QFileDialog(parent, title, suggested, filter);
    d->setObjectName(QStringLiteral("fileDialog"));
    d->setOption(QFileDialog::DontUseNativeDialog);
    d->setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    d->setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    d->setViewMode(QFileDialog::Detail);
    d->setLabelText(QFileDialog::LookIn, QStringLiteral("Tìm trong:"));
    d->setLabelText(QFileDialog::FileName, QStringLiteral("Tên tệp:"));
    d->setLabelText(QFileDialog::FileType, QStringLiteral("Loại tệp:"));
    d->setLabelText(QFileDialog::Accept, save ? QStringLiteral("Lưu") : QStringLiteral("Mở"));
    d->setLabelText(QFileDialog::Reject, QStringLiteral("Hủy"));
    d->setProxyModel(new VietnameseFiles(d));
    d->resize(820, 500);
    // Room for the places' names and for each column's text.
    if (auto *split = d->findChild<QSplitter *>(QStringLiteral("splitter")))
        split->setSizes({170, 650});
    if (auto *files = d->findChild<QTreeView *>(QStringLiteral("treeView"))) {
        QHeaderView *header = files->header();
        header->setStretchLastSection(false);
        header->setSectionResizeMode(0, QHeaderView::Stretch);
        for (int column = 1; column < 4; ++column)
            header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    }
    return d;
}

QString chooseFile(QWidget *parent, bool save, const QString &title, const QString &suggested, const QString &filter)
{
    std::unique_ptr<QFileDialog> d(fileDialog(parent, save, title, suggested, filter));
    if (d->exec() != QDialog::Accepted || d->selectedFiles().isEmpty())
        return {};
    return d->selectedFiles().constFirst();
}

} // namespace ui
