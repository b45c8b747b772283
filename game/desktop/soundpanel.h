#pragma once
// The sound control on a stage: a speaker button that switches the sound off
// and on (as the M key does) and a volume slider. It takes a place of its own
// in its form's layout, so that it never lies over a control or a text at any
// window size, and follows the player's setting (sound::Mixer).

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QWidget>

namespace sound { class Mixer; }

// The volume, 0 to 100: a gold bar on the stage's blue; mouse, wheel and arrow keys.
class VolumeBar : public QAbstractSlider {
    Q_OBJECT
public:
    explicit VolumeBar(QWidget *parent);
    QSize sizeHint() const override { return QSize(86, 24); }

protected:
    void paintEvent(QPaintEvent *) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;

private:
    void setFromX(qreal x);
};

class SpeakerButton : public QAbstractButton {
    Q_OBJECT
public:
    SpeakerButton(QWidget *parent, sound::Mixer &mixer);
    QSize sizeHint() const override { return QSize(34, 34); }

protected:
    void paintEvent(QPaintEvent *) override;

private:
    void follow();
    sound::Mixer &m_mixer;
};

class SoundPanel : public QWidget {
    Q_OBJECT
public:
    // volumeFirst: the slider left of the speaker (for a place at the right).
    SoundPanel(QWidget *parent, sound::Mixer &mixer, bool volumeFirst = false);

private:
    VolumeBar *m_volume;
};
