// The sound device opened beside the start-up rather than in its way: opening
// it (finding a sound server, starting the audio subsystem) takes longer than
// putting up the window, and no sound is wanted before the first frame. The
// first play waits for the opening to be over.
#pragma once

#include <future>
#include <memory>

#include "platform/sound/sdl_sound_output.h"

class CDeferredSoundOutput : public CSoundOutput {
 public:
  CDeferredSoundOutput();
  ~CDeferredSoundOutput() override;
  CDeferredSoundOutput(const CDeferredSoundOutput&) = delete;
  CDeferredSoundOutput& operator=(const CDeferredSoundOutput&) = delete;

  // False when there turned out to be no device: every play then fails.
  bool Play(const QByteArray& wave, bool wait) override;

 private:
  bool Opened();

  std::unique_ptr<CSdlSoundOutput> m_output;
  std::future<bool> m_opening;
  int m_opened = -1;  // -1 while opening, then 0 or 1
};
