#include "soundpanel.h"

#include "sound.h"
#include "studiotheme.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QPainter>
#include <QPainterPath>
#include <QSlider>

SpeakerButton::SpeakerButton(QWidget *parent, sound::Mixer &mixer) : QAbstractButton(parent), m_mixer(mixer)
{
    setObjectName(QStringLiteral("speaker"));
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    setFixedSize(sizeHint());
    connect(this, &QAbstractButton::clicked, this, [this] { m_mixer.toggleMuted(); });
    connect(&m_mixer, &sound::Mixer::changed, this, &SpeakerButton::follow);
    follow();
}

void SpeakerButton::follow()
{
    const QString name = m_mixer.muted() ? QStringLiteral("Bật âm thanh (phím M)")
                                         : QStringLiteral("Tắt âm thanh (phím M)");
    setAccessibleName(name);
    setToolTip(name);
    update();
}

void SpeakerButton::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5);
    p.setPen(QPen(hasFocus() ? QColor(255, 255, 255) : studio::gold(), hasFocus() ? 2.5 : 1.5));
    p.setBrush(isDown() ? QColor(40, 60, 160) : QColor(16, 30, 104));
    p.drawEllipse(r);

    // The speaker: a box and its cone, then waves by volume or a cross when muted.
    const qreal u = r.width() / 34.0;
    const QPointF o = r.topLeft();
    QPainterPath cone;
    cone.moveTo(o + QPointF(8 * u, 13 * u));
    cone.lineTo(o + QPointF(12 * u, 13 * u));
    cone.lineTo(o + QPointF(17 * u, 8.5 * u));
    cone.lineTo(o + QPointF(17 * u, 25.5 * u));
    cone.lineTo(o + QPointF(12 * u, 21 * u));
    cone.lineTo(o + QPointF(8 * u, 21 * u));
    cone.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(studio::gold());
    p.drawPath(cone);
    p.setBrush(Qt::NoBrush);
    if (m_mixer.muted() || m_mixer.volume() == 0) {
        p.setPen(QPen(QColor(255, 110, 90), 2.2 * u, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(o + QPointF(20 * u, 13 * u), o + QPointF(27 * u, 21 * u));
        p.drawLine(o + QPointF(27 * u, 13 * u), o + QPointF(20 * u, 21 * u));
        return;
    }
    p.setPen(QPen(studio::gold(), 1.8 * u, Qt::SolidLine, Qt::RoundCap));
    const int waves = m_mixer.volume() > 66 ? 3 : m_mixer.volume() > 33 ? 2 : 1;
    for (int i = 0; i < waves; ++i) {
        const qreal rad = (4.5 + 3.5 * i) * u;
        p.drawArc(QRectF(o + QPointF(17 * u - rad, 17 * u - rad), QSizeF(2 * rad, 2 * rad)), -45 * 16, 90 * 16);
    }
}

SoundPanel::SoundPanel(QWidget *form, sound::Mixer &mixer, Qt::Corner corner, QPoint offset)
    : QWidget(form), m_corner(corner), m_offset(offset)
{
    setObjectName(QStringLiteral("soundPanel"));
    auto *speaker = new SpeakerButton(this, mixer);
    m_volume = new QSlider(Qt::Horizontal, this);
    m_volume->setObjectName(QStringLiteral("volume"));
    m_volume->setRange(0, 100);
    m_volume->setPageStep(10);
    m_volume->setFixedWidth(86);
    m_volume->setFocusPolicy(Qt::TabFocus);
    m_volume->setCursor(Qt::PointingHandCursor);
    m_volume->setAccessibleName(QStringLiteral("Âm lượng"));
    m_volume->setToolTip(QStringLiteral("Âm lượng"));
    m_volume->setStyleSheet(QStringLiteral(
        "QSlider::groove:horizontal { height: 6px; border-radius: 3px; background: #0a1548; border: 1px solid #3f63e0; }"
        "QSlider::sub-page:horizontal { border-radius: 3px; background: #d9b44a; }"
        "QSlider::handle:horizontal { width: 14px; margin: -5px 0; border-radius: 7px; background: #ffe9a8;"
        " border: 1px solid #c99a2e; }"
        "QSlider:focus::handle:horizontal { border: 2px solid #ffffff; }"));
    m_volume->setValue(mixer.volume());
    connect(m_volume, &QSlider::valueChanged, &mixer, &sound::Mixer::setVolume);
    connect(&mixer, &sound::Mixer::changed, this, [this, &mixer] {
        m_volume->setValue(mixer.volume());
        m_volume->setEnabled(!mixer.muted());
    });
    m_volume->setEnabled(!mixer.muted());

    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(6);
    if (corner == Qt::TopRightCorner || corner == Qt::BottomRightCorner) {
        row->addWidget(m_volume);
        row->addWidget(speaker);
    } else {
        row->addWidget(speaker);
        row->addWidget(m_volume);
    }
    adjustSize();
    form->installEventFilter(this);
    place();
}

bool SoundPanel::eventFilter(QObject *watched, QEvent *e)
{
    if (watched == parent() && (e->type() == QEvent::Resize || e->type() == QEvent::Show))
        place();
    return false;
}

void SoundPanel::place()
{
    const QWidget *form = parentWidget();
    const int x = (m_corner == Qt::TopLeftCorner || m_corner == Qt::BottomLeftCorner)
                      ? m_offset.x()
                      : form->width() - width() - m_offset.x();
    const int y = (m_corner == Qt::TopLeftCorner || m_corner == Qt::TopRightCorner)
                      ? m_offset.y()
                      : form->height() - height() - m_offset.y();
    move(x, y);
    raise();
}
