#include "csvactions.h"

#include "editorapp.h"
#include "editorform.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QProgressDialog>
#include <QPushButton>
#include <memory>

using csvbank::ImportResult;
using csvbank::Language;

namespace {
const QString kTitle = QStringLiteral("Pelmaro");
} // namespace

struct CsvActions::Bar {
    std::unique_ptr<QProgressDialog> dialog;

    Bar(QWidget *parent, bool show, const QString &label)
    {
        if (!show)
            return;
        dialog = std::make_unique<QProgressDialog>(label, QStringLiteral("Dừng"), 0, 1000, parent);
        dialog->setObjectName(QStringLiteral("csvProgress"));
        dialog->setWindowModality(Qt::WindowModal);
        dialog->setMinimumDuration(0);
        dialog->setAutoClose(false);
        dialog->setAutoReset(false);
        dialog->setValue(0);
    }
    csvbank::Progress progress()
    {
        if (!dialog)
            return {};
        return [this](qint64 done, qint64 total) {
            dialog->setValue(total > 0 ? int(qMin<qint64>(done * 1000 / total, 1000)) : 0);
            QCoreApplication::processEvents();
            return !dialog->wasCanceled();
        };
    }
};

CsvActions::CsvActions(EditorApp &app, EditorForm &form) : QObject(&form), m_app(app), m_form(form)
{
    m_folder = QDir::homePath();
}

QWidget *CsvActions::buttons()
{
    if (m_buttons)
        return m_buttons;
    m_buttons = new QWidget(&m_form);
    auto *row = new QHBoxLayout(m_buttons);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(8);
    auto make = [&](const char *name, const QString &text, void (CsvActions::*slot)()) {
        auto *b = new QPushButton(text, m_buttons);
        b->setObjectName(QString::fromLatin1(name));
        b->setCursor(Qt::PointingHandCursor);
        b->setAutoDefault(true);
        connect(b, &QPushButton::clicked, this, slot);
        row->addWidget(b, 1);
        return b;
    };
    make("ImportCsv", QStringLiteral("Nhập từ CSV\u2026"), &CsvActions::importFile)
        ->setToolTip(QStringLiteral("Thêm vào cuối bảng đang chọn các câu hỏi của một tệp CSV (cột cauhoi, A, B, "
                                    "C, D, traloi), ví dụ lưu từ bảng tính"));
    make("ExportCsv", QStringLiteral("Xuất ra CSV\u2026"), &CsvActions::exportFile)
        ->setToolTip(QStringLiteral("Ghi các câu hỏi của bảng đang chọn ra một tệp CSV, mở được bằng bảng tính"));
    return m_buttons;
}

void CsvActions::tell(const QString &text, int icon)
{
    m_app.message(&m_form, {text, kTitle, vn::Encoding::Plain, QMessageBox::Icon(icon), QMessageBox::Ok});
}

QString CsvActions::faultList(const ImportResult &r, db::QuestionTable t) const
{
    // One a line (a long list goes behind the box's details).
    return csvbank::faultLines(r, t, Language::Vietnamese).join(QLatin1Char('\n'));
}

void CsvActions::importFile()
{
    const db::QuestionTable t = m_form.chosenTable();
    const QString table = db::tableName(t);
    const QString path = m_app.chooseFile(&m_form, false, m_folder);
    if (path.isEmpty())
        return;
    m_folder = QFileInfo(path).absolutePath();
    const QString name = QFileInfo(path).fileName();
    const bool large = QFileInfo(path).size() >= kLargeFile;

    ImportResult found;
    {
        Bar bar(&m_form, large, QStringLiteral("Đang đọc và kiểm tra %1…").arg(name));
        found = csvbank::checkFile(m_app.db(), t, path, bar.progress());
    }
    using O = ImportResult::Outcome;
    auto problem = [&](const ImportResult &r) {
        if (r.outcome == O::BadFile)
            tell(QStringLiteral("Không nhập được tệp %1.\n\n%2").arg(name, csvbank::describe(r.problem, Language::Vietnamese)),
                 QMessageBox::Critical);
        else if (r.outcome == O::StoreFailed)
            tell(QStringLiteral("Không đọc hoặc ghi được bảng %1; không câu hỏi nào được nhập.\n\n%2").arg(table, r.storeError),
                 QMessageBox::Critical);
        else if (r.outcome == O::Stopped)
            tell(QStringLiteral("Đã dừng; không câu hỏi nào được nhập."), QMessageBox::Information);
    };
    if (found.outcome != O::Checked)
        return problem(found);

    const qint64 rest = found.rows - found.duplicates;
    const QString counts = QStringLiteral("Tệp %1 có %2 câu hỏi cho bảng %3: %4 dòng có lỗi, %5 câu hỏi trùng.")
                               .arg(name)
                               .arg(found.rows)
                               .arg(table)
                               .arg(found.faultyRows)
                               .arg(found.duplicates);
    if (found.faultyRows > 0) {
        tell(QStringLiteral("%1 Chưa có câu hỏi nào được nhập: hãy sửa các lỗi trong bảng tính rồi nhập lại.\n\n%2")
                 .arg(counts, faultList(found, t)),
             QMessageBox::Warning);
        return;
    }
    if (rest == 0) {
        tell(QStringLiteral("%1 Mọi câu hỏi của tệp đều đã có trong bảng %2; không có gì để nhập.\n\n%3")
                 .arg(counts, table, faultList(found, t)),
             QMessageBox::Information);
        return;
    }
    const QString question =
        found.duplicates > 0
            ? QStringLiteral("%1 Nhập %2 câu hỏi còn lại vào cuối bảng %3, bỏ qua các câu trùng?\n\n%4")
                  .arg(counts)
                  .arg(rest)
                  .arg(table, faultList(found, t))
            : QStringLiteral("%1\n\nNhập %2 câu hỏi vào cuối bảng %3?").arg(counts).arg(found.rows).arg(table);
    if (m_app.message(&m_form, {question, kTitle, vn::Encoding::Plain, QMessageBox::Question,
                                QMessageBox::Yes | QMessageBox::No})
        != QMessageBox::Yes)
        return;

    ImportResult done;
    {
        Bar bar(&m_form, large, QStringLiteral("Đang nhập %1 vào bảng %2…").arg(name, table));
        done = csvbank::importFile(m_app.db(), t, path, found.duplicates > 0, bar.progress());
    }
    if (done.outcome == O::Imported) {
        m_form.view();
        tell(QStringLiteral("Đã nhập %1 câu hỏi vào bảng %2 (ID %3 đến %4).")
                 .arg(done.written)
                 .arg(table)
                 .arg(done.firstId)
                 .arg(done.firstId + done.written - 1),
             QMessageBox::Information);
    } else if (done.outcome == O::Refused) {
        // The file or the table changed between the check and the import.
        tell(QStringLiteral("Tệp hoặc bảng %1 đã thay đổi từ lúc kiểm tra; không câu hỏi nào được nhập.\n\n%2")
                 .arg(table, faultList(done, t)),
             QMessageBox::Warning);
    } else {
        problem(done);
    }
}

void CsvActions::exportFile()
{
    const db::QuestionTable t = m_form.chosenTable();
    const QString table = db::tableName(t);
    QString path = m_app.chooseFile(&m_form, true, QDir(m_folder).filePath(table + QStringLiteral(".csv")));
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".csv");
    m_folder = QFileInfo(path).absolutePath();
    const QString name = QFileInfo(path).fileName();
    const bool large = m_app.db().countQuestions(t).value_or(0) >= kLargeTable;

    csvbank::ExportResult r;
    {
        Bar bar(&m_form, large, QStringLiteral("Đang xuất bảng %1…").arg(table));
        r = csvbank::exportFile(m_app.db(), t, path, bar.progress());
    }
    if (r.stopped) {
        tell(QStringLiteral("Đã dừng; tệp %1 không được ghi.").arg(name), QMessageBox::Information);
        return;
    }
    if (!r.ok) {
        const QString why = r.diskFull ? QStringLiteral("Ổ đĩa đã đầy, không còn chỗ cho tệp. Hãy xoá bớt tệp trên "
                                                        "ổ đĩa đó hoặc xuất ra ổ đĩa khác.")
                                       : r.problem;
        tell(QStringLiteral("Không xuất được bảng %1 ra tệp %2.\n\n%3").arg(table, name, why), QMessageBox::Critical);
        return;
    }
    QString text = QStringLiteral("Đã xuất %1 câu hỏi của bảng %2 ra tệp %3.").arg(r.rows).arg(table, name);
    QStringList inexact;
    for (const csvbank::Fault &f : r.inexact)
        inexact << csvbank::describe(f, t, Language::Vietnamese);
    if (!inexact.isEmpty())
        text += QStringLiteral("\n\n%1 ô có byte không phải chữ tiếng Việt: nhập lại tệp này sẽ không cho lại đúng "
                               "từng byte của chúng.\n\n%2")
                    .arg(inexact.size())
                    .arg(inexact.join(QLatin1Char('\n')));
    tell(text, inexact.isEmpty() ? QMessageBox::Information : QMessageBox::Warning);
}
