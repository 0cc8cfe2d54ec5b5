// The sound device opened when the game first plays a sound: at start-up,
// right after the opening animation is on the screen, rather than before the
// window, so that opening it (finding a sound server, starting the audio
// subsystem) does not hold back the first frame.
#pragma once

#include "platform/sound/sdl_sound_output.h"

class CDeferredSoundOutput : public CSoundOutput {
 public:
  CDeferredSoundOutput() = default;

  // False when there turned out to be no device: every play then fails.
  bool Play(const QByteArray& wave, bool wait) override;

 private:
  CSdlSoundOutput m_output;
  bool m_bTriedToOpen = false;
};
