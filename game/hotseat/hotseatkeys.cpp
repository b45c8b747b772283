#include "hotseatkeys.h"

#include "gameapp.h"
#include "hotseattexts.h"
#include "keypress.h"
#include "legacylabel.h"

#include <QKeyEvent>
#include <QWidget>

using namespace hotseat;

HotSeatKeys::HotSeatKeys(QWidget *form, GameApp &app) : StageKeys(form, app.mixer())
{
    nameControls({
        {"traloi1", "Đáp án A", "Phím A hoặc 1"},
        {"traloi2", "Đáp án B", "Phím B hoặc 2"},
        {"traloi3", "Đáp án C", "Phím C hoặc 3"},
        {"traloi4", "Đáp án D", "Phím D hoặc 4"},
        {"chon50", "Trợ giúp 50:50", ""},
        {"Label5", "Trợ giúp gọi điện thoại cho người thân", ""},
        {"Label13", "Trợ giúp hỏi ý kiến khán giả", ""},
        {"Label20", "Mở bảng tùy chọn", ""},
        {"Label9", "Năm người chơi giàu nhất", ""},
        {"Label20a", "Mở khóa các tùy chọn", ""},
        {"Image13", "Áp dụng các tùy chọn", ""},
        {"Label26", "Khóa hết lại các tùy chọn", ""},
        {"Image9", "Đóng bảng vàng", ""},
        {"tp", "Bảng vàng", ""},
        {"Text5", "Tên người bạn", "Phím Enter để kết nối"},
        {"a", "Cuộc gọi", ""},
        {"ok", "Đóng cuộc gọi", ""},
        {"aaa", "Ý kiến khán giả", ""},
        {"Image11", "Đóng kết quả ý kiến khán giả", ""},
        {"strart", "", "Phím Enter"},
        {"Label4", "", "Phím Enter"},
        {"trunggian", "", "Phím Enter"},
        {"stop113", "", "Phím Esc khi trả lời không"},
        {"Sotiennhan", "Tiền thưởng", ""},
        {"tien", "Tiền chắc chắn có", ""},
        {"tong", "Tài khoản", ""},
        {"Label2", "Câu hỏi", ""},
        {"cuaban1", "Lời người dẫn chương trình", ""},
    });
}

std::optional<QWidget *> HotSeatKeys::controlFor(const QKeyEvent *e) const
{
    if (const int answer = answerKey(e); answer >= 0)
        return control(QStringLiteral("traloi%1").arg(answer + 1));

    auto *second = qobject_cast<LegacyLabel *>(control(QStringLiteral("stop113")));
    if (isEnter(e)) {
        for (const char *name : {"strart", "Label4", "trunggian"})
            if (QWidget *w = control(QString::fromLatin1(name)); ui::reachable(w))
                return w;
        if (second && second->caption() == kEnd)
            return second;
        return nullptr;
    }
    if (e->key() == Qt::Key_Escape) {
        if (second && (second->caption() == kNo || second->caption() == kDeclineFifty
                       || second->caption() == kDeclinePhone || second->caption() == kDeclineAudience))
            return second;
        return nullptr;
    }
    return std::nullopt;
}
