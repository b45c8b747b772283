#include "soundpanel.h"

#include "sound.h"
#include "studiotheme.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QMouseEvent>
#include <QPainterPath>

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

VolumeBar::VolumeBar(QWidget *parent) : QAbstractSlider(parent)
{
    setObjectName(QStringLiteral("volume"));
    setOrientation(Qt::Horizontal);
    setRange(0, 100);
    setSingleStep(5);
    setPageStep(10);
    setFocusPolicy(Qt::TabFocus);
    setCursor(Qt::PointingHandCursor);
    setFixedSize(sizeHint());
}

void VolumeBar::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal knob = 7;
    const QRectF groove(knob, height() / 2.0 - 3, width() - 2 * knob, 6);
    const qreal at = groove.left() + groove.width() * (value() - minimum()) / qMax(1, maximum() - minimum());
    p.setPen(QPen(QColor(63, 99, 224), 1));
    p.setBrush(QColor(10, 21, 72));
    p.drawRoundedRect(groove, 3, 3);
    p.setPen(Qt::NoPen);
    p.setBrush(isEnabled() ? studio::gold() : QColor(111, 122, 163));
    p.drawRoundedRect(QRectF(groove.left(), groove.top(), at - groove.left(), groove.height()), 3, 3);
    p.setPen(QPen(hasFocus() ? QColor(255, 255, 255) : QColor(201, 154, 46), hasFocus() ? 2 : 1));
    p.setBrush(QColor(255, 233, 168));
    p.drawEllipse(QPointF(at, height() / 2.0), knob - 1, knob - 1);
}

void VolumeBar::mousePressEvent(QMouseEvent *e)
{
    if (e->button() == Qt::LeftButton)
        setFromX(e->position().x());
}

void VolumeBar::mouseMoveEvent(QMouseEvent *e)
{
    if (e->buttons() & Qt::LeftButton)
        setFromX(e->position().x());
}

void VolumeBar::setFromX(qreal x)
{
    const qreal knob = 7;
    const qreal share = qBound(0.0, (x - knob) / (width() - 2 * knob), 1.0);
    setValue(minimum() + qRound(share * (maximum() - minimum())));
}

SoundPanel::SoundPanel(QWidget *parent, sound::Mixer &mixer, bool volumeFirst) : QWidget(parent)
{
    setObjectName(QStringLiteral("soundPanel"));
    auto *speaker = new SpeakerButton(this, mixer);
    m_volume = new VolumeBar(this);
    m_volume->setAccessibleName(QStringLiteral("Âm lượng"));
    m_volume->setToolTip(QStringLiteral("Âm lượng"));
    m_volume->setValue(mixer.volume());
    connect(m_volume, &QAbstractSlider::valueChanged, &mixer, &sound::Mixer::setVolume);
    connect(&mixer, &sound::Mixer::changed, this, [this, &mixer] {
        m_volume->setValue(mixer.volume());
        m_volume->setEnabled(!mixer.muted());
    });
    m_volume->setEnabled(!mixer.muted());

    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(6);
    if (volumeFirst) {
        row->addWidget(m_volume);
        row->addWidget(speaker);
    } else {
        row->addWidget(speaker);
        row->addWidget(m_volume);
    }
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}
