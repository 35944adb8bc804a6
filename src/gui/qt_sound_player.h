#pragma once

#include <QObject>
#include <map>
#include <optional>
#include <string>

#include "panel/edges.h"

class QSoundEffect;

namespace sorvell::gui {

// Plays the event sounds with Qt Multimedia, without waiting for them to finish. A missing
// file or a machine without an audio output plays nothing and says nothing: sounds are a
// courtesy, never a reason to interrupt the operator.
class QtSoundPlayer final : public panel::SoundPlayer {
 public:
  void Play(const std::filesystem::path& file) override;

 private:
  bool HasAudioOutput();

  QObject owner_;  // parent of the loaded effects
  std::map<std::string, QSoundEffect*> effects_;
  std::optional<bool> hasAudioOutput_;
};

}  // namespace sorvell::gui
