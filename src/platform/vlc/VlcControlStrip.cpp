// The playback controls of the VLC player's area. Values shown by the player are set with
// signals blocked, so only the user's own moves are reported.
#include "platform/vlc/VlcControlStrip.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QStyle>
#include <algorithm>

namespace zelvo::vlc {

VlcControlStrip::VlcControlStrip(QWidget* parent)
    : QWidget(parent),
      playPause_(new QPushButton(this)),
      stop_(new QPushButton(this)),
      position_(new QSlider(Qt::Horizontal, this)),
      volume_(new QSlider(Qt::Horizontal, this)),
      mute_(new QPushButton(this)),
      fullScreen_(new QPushButton(this)) {
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->setSpacing(4);

  stop_->setIcon(style()->standardIcon(QStyle::SP_MediaStop));
  stop_->setToolTip(tr("Stop"));
  mute_->setCheckable(true);
  mute_->setIcon(style()->standardIcon(QStyle::SP_MediaVolume));
  mute_->setToolTip(tr("Mute"));
  fullScreen_->setIcon(style()->standardIcon(QStyle::SP_TitleBarMaxButton));
  fullScreen_->setToolTip(tr("Full screen"));
  for (QPushButton* button : {playPause_, stop_, mute_, fullScreen_}) {
    button->setFlat(true);
    button->setFocusPolicy(Qt::NoFocus);
  }
  position_->setRange(0, kPositionSteps);
  position_->setEnabled(false);
  position_->setToolTip(tr("Position"));
  volume_->setRange(0, 100);
  volume_->setValue(100);
  volume_->setMaximumWidth(90);
  volume_->setToolTip(tr("Volume"));
  showPlaying(false);

  layout->addWidget(playPause_);
  layout->addWidget(stop_);
  layout->addWidget(position_, 1);
  layout->addWidget(mute_);
  layout->addWidget(volume_);
  layout->addWidget(fullScreen_);

  connect(playPause_, &QPushButton::clicked, this, &VlcControlStrip::playPauseClicked);
  connect(stop_, &QPushButton::clicked, this, &VlcControlStrip::stopClicked);
  connect(fullScreen_, &QPushButton::clicked, this, &VlcControlStrip::fullScreenClicked);
  connect(mute_, &QPushButton::toggled, this, [this](bool muted) {
    mute_->setIcon(
        style()->standardIcon(muted ? QStyle::SP_MediaVolumeMuted : QStyle::SP_MediaVolume));
    emit muteToggled(muted);
  });
  connect(volume_, &QSlider::valueChanged, this, &VlcControlStrip::volumeChosen);
  // A click on the groove moves the value without a drag; a drag reports once, when let go.
  connect(position_, &QSlider::sliderReleased, this,
          [this] { emit positionChosen(double(position_->value()) / kPositionSteps); });
  connect(position_, &QSlider::actionTriggered, this, [this](int action) {
    if (action != QAbstractSlider::SliderMove && !position_->isSliderDown()) {
      emit positionChosen(double(position_->sliderPosition()) / kPositionSteps);
    }
  });
}

void VlcControlStrip::showPlaying(bool playing) {
  playPause_->setIcon(
      style()->standardIcon(playing ? QStyle::SP_MediaPause : QStyle::SP_MediaPlay));
  playPause_->setToolTip(playing ? tr("Pause") : tr("Play"));
}

void VlcControlStrip::showPosition(double fraction, bool seekable) {
  position_->setEnabled(seekable);
  if (position_->isSliderDown()) return;
  QSignalBlocker blocker(position_);
  position_->setValue(static_cast<int>(std::clamp(fraction, 0.0, 1.0) * kPositionSteps));
}

}  // namespace zelvo::vlc
