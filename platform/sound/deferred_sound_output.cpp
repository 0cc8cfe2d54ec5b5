#include "platform/sound/deferred_sound_output.h"

CDeferredSoundOutput::CDeferredSoundOutput() : m_output(std::make_unique<CSdlSoundOutput>()) {
  CSdlSoundOutput* output = m_output.get();
  m_opening = std::async(std::launch::async, [output] { return output->Open(); });
}

CDeferredSoundOutput::~CDeferredSoundOutput() {
  // The device must be open or given up before it can be closed.
  if (m_opening.valid()) m_opening.wait();
}

bool CDeferredSoundOutput::Opened() {
  if (m_opened < 0) m_opened = m_opening.get() ? 1 : 0;
  return m_opened == 1;
}

bool CDeferredSoundOutput::Play(const QByteArray& wave, bool wait) {
  return Opened() && m_output->Play(wave, wait);
}
