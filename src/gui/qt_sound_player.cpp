#include "gui/qt_sound_player.h"

#include <QAudioDevice>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

namespace sorvell::gui {

// Asked once. The first question connects to the sound server, and a machine without one
// complains about it on stderr: that is no news for the operator, so it is not passed on.
bool QtSoundPlayer::HasAudioOutput() {
  if (!hasAudioOutput_) {
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    hasAudioOutput_ = !QMediaDevices::defaultAudioOutput().isNull();
    qInstallMessageHandler(previous);
  }
  return *hasAudioOutput_;
}

void QtSoundPlayer::Play(const std::filesystem::path& file) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(file, error) || !HasAudioOutput()) return;
  QSoundEffect*& effect = effects_[file.string()];
  if (effect == nullptr) {
    effect = new QSoundEffect(&owner_);
    effect->setSource(QUrl::fromLocalFile(QString::fromStdString(file.string())));
  }
  effect->stop();
  effect->play();  // an effect still loading starts once it has loaded
}

}  // namespace sorvell::gui
