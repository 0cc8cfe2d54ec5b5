// The sound output on SDL2's audio subsystem: one device, opened on demand,
// fed from a queue. Only the audio subsystem is started, never SDL's video or
// event handling, so it lives beside Qt without competing for the windows.
#pragma once

#include <QByteArray>
#include <QHash>
#include <cstdint>
#include <string>

#include "platform/sound_output.h"

struct SdlAudio;

class CSdlSoundOutput : public CSoundOutput {
 public:
  CSdlSoundOutput() = default;
  ~CSdlSoundOutput() override;
  CSdlSoundOutput(const CSdlSoundOutput&) = delete;
  CSdlSoundOutput& operator=(const CSdlSoundOutput&) = delete;

  // Loads SDL, starts its audio subsystem and opens the default output device.
  // False, with the reason in *why, when there is no SDL, no sound server or
  // no device; every play then fails at once. It may wait as long as the sound
  // server keeps it waiting: call it where that cannot hold the game.
  bool Open(std::string* why = nullptr);
  bool IsOpen() const { return m_device != 0; }
  // True when the open device has stopped taking sound: its server went away
  // or the card was unplugged. Every play then fails until it is reopened.
  bool Lost() const;
  // Closes the device and stops the audio subsystem, so that Open starts afresh.
  void Close();

  // False when the device is closed or lost, or the image cannot be decoded.
  bool Play(const QByteArray& wave, bool wait) override;

  // The device's format as opened (0 while closed), bytes still waiting in the
  // queue, and how many images have been converted for it so far.
  int SampleRate() const { return m_nRate; }
  int Channels() const { return m_nChannels; }
  int BytesPerFrame() const { return m_nFrameBytes; }
  std::uint32_t QueuedBytes() const;
  int ConvertedImages() const { return static_cast<int>(m_converted.size()); }

 private:
  // The image's samples in the device's format, converted on its first play;
  // null when it cannot be decoded.
  const QByteArray* Converted(const QByteArray& wave);
  // Starts SDL's audio subsystem on the sound server, or failing that on any
  // other output SDL has.
  bool StartAudio(std::string* why);
  void WaitUntilHeard(std::uint32_t bytes) const;

  const SdlAudio* m_sdl = nullptr;  // loaded by the first Open()
  std::uint32_t m_device = 0;       // SDL_AudioDeviceID, 0 while closed
  bool m_bAudioStarted = false;
  bool m_bNoServer = false;  // the sound server did not answer; another output was tried
  std::uint16_t m_format = 0;  // SDL_AudioFormat of the device
  int m_nRate = 0;
  int m_nChannels = 0;
  int m_nFrameBytes = 0;
  int m_nBufferFrames = 0;
  // Keyed by the whole image: the game has six sounds, so the cache stays small.
  QHash<QByteArray, QByteArray> m_converted;
};
