// The row of playback controls under the video: play/pause, stop, position, volume, mute
// and full screen. It only reports what the user does; the player decides what follows.
#pragma once

#include <QWidget>

class QPushButton;
class QSlider;

namespace zelvo::vlc {

class VlcControlStrip : public QWidget {
  Q_OBJECT
 public:
  explicit VlcControlStrip(QWidget* parent = nullptr);

  void showPlaying(bool playing);
  // fraction in [0, 1]; ignored while the user drags the slider.
  void showPosition(double fraction, bool seekable);

 signals:
  void playPauseClicked();
  void stopClicked();
  void positionChosen(double fraction);
  void volumeChosen(int volume);
  void muteToggled(bool muted);
  void fullScreenClicked();

 private:
  static constexpr int kPositionSteps = 1000;
  QPushButton* playPause_;
  QPushButton* stop_;
  QSlider* position_;
  QSlider* volume_;
  QPushButton* mute_;
  QPushButton* fullScreen_;
};

}  // namespace zelvo::vlc
