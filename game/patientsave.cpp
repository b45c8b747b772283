#include "patientsave.h"

#include "gameapp.h"
#include "legacytimer.h"
#include "studiotheme.h"

#include <QEvent>
#include <QLabel>
#include <QWidget>

namespace {
const QString kSaving = QStringLiteral("Đang lưu…");
const QString kStillLocked = QStringLiteral(
    "Chưa lưu được: một chương trình khác đang giữ cơ sở dữ liệu của trò chơi.\n\n"
    "Số tiền và thời gian chơi của bạn chưa được lưu. Bấm \u201CThử lại\u201D để lưu lần nữa.");
const QString kRefused = QStringLiteral(
    "Không lưu được vào cơ sở dữ liệu của trò chơi; chưa có gì được ghi.\n\n%1\n\n"
    "Bấm \u201CThử lại\u201D để lưu lần nữa.");
const QString kOffline = QStringLiteral(
    "Mất kết nối với máy chủ cơ sở dữ liệu của lớp, nên số tiền và thời gian chơi của bạn chưa được lưu; "
    "chưa có gì bị mất.\n\n%1\n\n"
    "Hãy kiểm tra mạng (hoặc nhờ thầy cô kiểm tra máy chủ) rồi bấm \u201CThử lại\u201D để lưu lần nữa.");
const QString kUnsettled = QStringLiteral(
    "Mất kết nối với máy chủ cơ sở dữ liệu của lớp ngay lúc đang lưu, nên chưa biết máy chủ đã nhận hay chưa.\n\n%1\n\n"
    "Hãy kiểm tra mạng (hoặc nhờ thầy cô kiểm tra máy chủ) rồi bấm \u201CThử lại\u201D: máy chủ sẽ cho biết, "
    "và không có gì bị tính hai lần.");
const QString kInexact = QStringLiteral(
    "Số tiền hoặc số lần chơi đang lưu trong tài khoản không tính được chính xác, nên không có gì được ghi.\n\n%1");
} // namespace

PatientSave::PatientSave(QWidget *form, GameApp &app) : QObject(form), m_form(form), m_app(app)
{
    m_timer = new LegacyTimer(form, "SaveRetry", kRetryMs, false, this, &PatientSave::tryOnce);
    m_banner = new QLabel(kSaving, form);
    m_banner->setObjectName(QStringLiteral("saving"));
    m_banner->setAlignment(Qt::AlignCenter);
    m_banner->setStyleSheet(QStringLiteral(
        "QLabel { color: #ffd75a; background: rgba(8, 14, 52, 230); border: 2px solid #d9b44a;"
        " border-radius: 14px; padding: 10px 28px; font-size: 15pt; font-weight: bold; }"));
    m_banner->setVisible(false);
    form->installEventFilter(this);
}

bool PatientSave::eventFilter(QObject *watched, QEvent *e)
{
    // The "saving" state stays centred at the foot of the form at any size.
    if (watched == m_form && e->type() == QEvent::Resize && m_banner->isVisible())
        m_banner->move((m_form->width() - m_banner->width()) / 2, m_form->height() - m_banner->height() - 24);
    return QObject::eventFilter(watched, e);
}

void PatientSave::start(Attempt attempt, std::function<void()> saved, std::function<void()> gaveUp)
{
    m_attempt = std::move(attempt);
    m_saved = std::move(saved);
    m_gaveUp = std::move(gaveUp);
    m_since = m_app.now();
    tryOnce();
}

void PatientSave::tryOnce()
{
    if (!m_attempt)
        return;
    const db::WriteStatus status = m_attempt();
    switch (status) {
    case db::WriteStatus::Done:
        finish(true);
        return;
    case db::WriteStatus::Busy:
        if (m_since.msecsTo(m_app.now()) < kPatienceMs) {
            showSaving(true);
            m_timer->setEnabled(true);
            return;
        }
        m_timer->setEnabled(false);
        if (askToRetry(kStillLocked)) {
            m_since = m_app.now();
            tryOnce();
        } else {
            finish(false);
        }
        return;
    case db::WriteStatus::Inexact:
        m_timer->setEnabled(false);
        showSaving(false);
        m_app.message(m_form, {kInexact.arg(m_app.db().lastError()), QStringLiteral("Lontaris"), vn::Encoding::Plain,
                               QMessageBox::Critical, QMessageBox::Ok});
        finish(false);
        return;
    case db::WriteStatus::Offline:
    case db::WriteStatus::Failed:
        m_timer->setEnabled(false);
        // Offline after an answer was lost: what became of it is not known, and
        // the player is not told that nothing happened.
        const QString &text = status == db::WriteStatus::Failed ? kRefused
                              : m_app.db().outcomeUnknown()     ? kUnsettled
                                                                : kOffline;
        if (askToRetry(text.arg(m_app.db().lastError()))) {
            m_since = m_app.now();
            tryOnce();
        } else {
            finish(false);
        }
        return;
    }
}

bool PatientSave::askToRetry(const QString &why)
{
    showSaving(false);
    const auto answer = m_app.message(m_form, {why, QStringLiteral("Lontaris"), vn::Encoding::Plain,
                                               QMessageBox::Warning, QMessageBox::Retry | QMessageBox::Cancel});
    return answer == QMessageBox::Retry;
}

void PatientSave::showSaving(bool on)
{
    if (on && !m_banner->isVisible()) {
        m_banner->adjustSize();
        m_banner->move((m_form->width() - m_banner->width()) / 2, m_form->height() - m_banner->height() - 24);
        m_banner->raise();
    }
    m_banner->setVisible(on);
}

void PatientSave::finish(bool written)
{
    m_timer->setEnabled(false);
    showSaving(false);
    m_attempt = nullptr;
    const auto next = written ? std::move(m_saved) : std::move(m_gaveUp);
    m_saved = m_gaveUp = nullptr;
    if (next)
        next();
}
