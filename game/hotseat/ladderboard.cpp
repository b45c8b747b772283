#include "ladderboard.h"

#include "studiotheme.h"

#include "hotseattexts.h"
#include "legacylabel.h"

#include <QResizeEvent>

namespace {
// Designed captions of the rows, so0 first.
const char *const kRowCaptions[15] = {
    "  1. $       100", "  2. $       200", "  3. $       300", "  4. $       500", "  5. $    1,000",
    "  6. $    2,000",  "  7. $    4,000",  "  8. $    8,000",  "  9. $  12,000",  "10. $  18,000",
    "11. $  25,000",    "12. $  32,000",    "13. $  50,000",    "14. $  75,000",    "15. $100,000"};

const QColor kRowPlain(255, 215, 90);
const QColor kRowSecured(255, 255, 255);
// A deep blue, so that the row the bar lies under keeps its colour readable.
const QColor kBar(24, 64, 168);

bool isMilestoneRow(int index)
{
    return index == 4 || index == 9 || index == 14;
}
} // namespace

LadderBoard::LadderBoard(QWidget *parent)
    : QFrame(parent), m_liTop(hotseat::kFirstRowTop), m_markerTop(hotseat::kMarkerStart)
{
    setObjectName(QStringLiteral("ladder"));
    setProperty("role", QStringLiteral("panel"));

    // The bar lies under the row captions; without an outline, which the
    // taller glyphs of some fonts would touch.
    m_li = new ShapeBox(this, QStringLiteral("li"), kBar);
    m_li->setOpaque(true);
    m_li->setBorderWidth(0);

    for (int i = 0; i < 15; ++i) {
        auto *row = new LegacyLabel(this, QStringLiteral("so%1").arg(i), QString::fromLatin1(kRowCaptions[i]),
                                    vn::Encoding::Plain);
        row->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        row->setExtraStyle(QStringLiteral("font-family: Arial, 'Liberation Sans', sans-serif; font-size: 13pt;"
                                          "font-weight: bold; padding-left: 30px;"));
        row->setForeColor(isMilestoneRow(i) ? kRowSecured : kRowPlain);
        // A row reads on the panel and on the bar, whichever colour the game gives it.
        row->setBackdrop(studio::behindPanel() << kBar);
        m_rows[size_t(i)] = row;
    }

    for (int level = 1; level <= 3; ++level) {
        auto *star = new LegacyLabel(this, QStringLiteral("muc%1").arg(level), QStringLiteral("\u2605"),
                                     vn::Encoding::Plain);
        star->setAlignment(Qt::AlignCenter);
        star->setExtraStyle(QStringLiteral("font-size: 14pt;"));
        star->setForeColor(QColor(255, 215, 90));
        star->setAttribute(Qt::WA_TransparentForMouseEvents);
        m_stars[size_t(level - 1)] = star;
    }

    m_sotienco = new LegacyLabel(this, QStringLiteral("sotienco"), QStringLiteral("\u25C6"), vn::Encoding::Plain);
    m_sotienco->setAlignment(Qt::AlignCenter);
    m_sotienco->setExtraStyle(QStringLiteral("font-size: 13pt;"));
    m_sotienco->setForeColor(QColor(255, 180, 40));
    m_sotienco->setAttribute(Qt::WA_TransparentForMouseEvents);

    place();
}

QSize LadderBoard::minimumSizeHint() const
{
    return QSize(230, kSlots * 22 + 16);
}

QSize LadderBoard::sizeHint() const
{
    return QSize(270, kSlots * 30 + 16);
}

void LadderBoard::setLiTop(int twips)
{
    m_liTop = twips;
    place();
}

void LadderBoard::setSotiencoTop(int twips)
{
    m_markerTop = twips;
    place();
}

void LadderBoard::resizeEvent(QResizeEvent *e)
{
    QFrame::resizeEvent(e);
    place();
}

QRect LadderBoard::slotRect(double slot) const
{
    const int margin = 8;
    const double pitch = double(height() - 2 * margin) / kSlots;
    const int top = margin + int(slot * pitch + 0.5);
    return QRect(margin, top, width() - 2 * margin, int(pitch + 0.5));
}

void LadderBoard::place()
{
    for (int i = 0; i < 15; ++i)
        m_rows[size_t(i)]->setGeometry(slotRect(14 - i));

    // so14 (top 120) is slot 0, so0 (top 4320) slot 14, the parking place (4620) slot 15.
    const double barSlot = double(m_liTop - hotseat::kLastRowTop) / hotseat::kRowPitch;
    m_li->setGeometry(slotRect(barSlot).adjusted(0, 1, 0, -1));

    // The marker starts at 4560, just below so0, and climbs a row per prize won.
    const double markerSlot = double(m_markerTop - (hotseat::kMarkerStart - 15 * hotseat::kRowPitch))
                              / hotseat::kRowPitch;
    const QRect markerRow = slotRect(markerSlot);
    m_sotienco->setGeometry(markerRow.left() + 4, markerRow.top(), 24, markerRow.height());

    static const int starRows[3] = {4, 9, 14};
    for (int level = 0; level < 3; ++level) {
        const QRect r = slotRect(14 - starRows[level]);
        m_stars[size_t(level)]->setGeometry(r.right() - 28, r.top(), 26, r.height());
    }

    m_li->lower();
    m_sotienco->raise();
}
