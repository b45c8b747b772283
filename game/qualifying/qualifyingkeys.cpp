#include "qualifyingkeys.h"

#include "gameapp.h"
#include "keypress.h"
#include "legacylabel.h"

#include <QKeyEvent>
#include <QWidget>

namespace {
const QString kStart = QStringLiteral("Baét ñaàu");
const QString kContinue = QStringLiteral("Tieáp tuïc");
} // namespace

QualifyingKeys::QualifyingKeys(QWidget *form, GameApp &app) : StageKeys(form, app.mixer())
{
    nameControls({
        {"caua", "Đáp án A", "Phím A hoặc 1"},
        {"caub", "Đáp án B", "Phím B hoặc 2"},
        {"cauc", "Đáp án C", "Phím C hoặc 3"},
        {"caud", "Đáp án D", "Phím D hoặc 4"},
        {"Text1", "Câu trả lời của bạn", "Gõ các chữ cái theo thứ tự"},
        {"Command1", "", "Phím Enter"},
        {"bdau", "", "Phím Enter để bắt đầu hoặc tiếp tục"},
        {"Label5", "Số giây còn lại", ""},
        {"cauhoi", "Câu hỏi", ""},
    });
}

std::optional<QWidget *> QualifyingKeys::controlFor(const QKeyEvent *e) const
{
    static const char *const answers[4] = {"caua", "caub", "cauc", "caud"};
    if (const int answer = answerKey(e); answer >= 0)
        return control(QString::fromLatin1(answers[answer]));
    if (isEnter(e)) {
        if (QWidget *submit = control(QStringLiteral("Command1")); ui::reachable(submit))
            return submit;
        auto *bdau = qobject_cast<LegacyLabel *>(control(QStringLiteral("bdau")));
        if (bdau && (bdau->caption() == kStart || bdau->caption() == kContinue))
            return bdau;
        return nullptr;
    }
    return std::nullopt;
}
