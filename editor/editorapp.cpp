#include "editorapp.h"

#include "editorform.h"
#include "editorloginform.h"
#include "gamedb.h"

namespace {
const QString kTeachersOnly = QStringLiteral(
    "Ngân hàng câu hỏi của lớp được sửa từ máy của giáo viên.\n\n"
    "Máy này vào máy chủ của lớp bằng tài khoản dành cho học sinh, nên Pelmaro không mở ngân hàng câu hỏi ở đây.");
} // namespace

#include "filedialog.h"

QString EditorApp::accessCode()
{
    return QStringLiteral("keeper42");
}

EditorApp::EditorApp(EditorServices services, QObject *parent) : QObject(parent), m_services(std::move(services))
{
    if (!m_services.message)
        m_services.message = ui::showMessage;
}

EditorApp::~EditorApp()
{
    m_ending = true;
    delete m_editor.data();
    delete m_login.data();
}

QMessageBox::StandardButton EditorApp::message(QWidget *parent, const ui::MessageRequest &r) const
{
    return m_services.message(parent, r);
}

QString EditorApp::chooseFile(QWidget *parent, bool save, const QString &suggested) const
{
    if (m_services.chooseFile)
        return m_services.chooseFile(parent, save, suggested);
    return ui::chooseFile(parent, save, save ? QStringLiteral("Xuất ra CSV") : QStringLiteral("Nhập từ CSV"), suggested,
                          QStringLiteral("CSV (*.csv);;Mọi tệp (*)"));
}

QString EditorApp::teachersOnly()
{
    return kTeachersOnly;
}

void EditorApp::start()
{
    // On a class server the bank is the teacher's: a pupils' role only plays.
    if (m_services.db && !m_services.db->mayEditBank()) {
        message(nullptr, {kTeachersOnly, QStringLiteral("Pelmaro"), vn::Encoding::Plain, QMessageBox::Information,
                          QMessageBox::Ok});
        endProgram();
        return;
    }
    login()->show();
}

EditorLoginForm *EditorApp::login()
{
    if (!m_login)
        m_login = new EditorLoginForm(*this);
    return m_login.data();
}

EditorForm *EditorApp::editor()
{
    if (!m_editor)
        m_editor = new EditorForm(*this);
    return m_editor.data();
}

void EditorApp::endProgram()
{
    if (m_ending)
        return;
    m_ending = true;
    for (QWidget *w : std::initializer_list<QWidget *>{m_editor, m_login})
        if (w)
            w->hide();
    if (m_services.endProgram)
        m_services.endProgram();
}
