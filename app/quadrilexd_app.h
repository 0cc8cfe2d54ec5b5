// The application: it starts the game in its order (settings, the document,
// the main window and the view, the first paint) and owns them until the
// main window closes.
#pragma once

#include <memory>
#include <optional>

class CMainFrame;
class CQuadrilexdDoc;
class CQuadrilexdView;
class CSoundOutput;

struct StartOptions {
  std::optional<unsigned> seed;  // replaces the clock as the deal's seed
};

class CQuadrilexdApp {
 public:
  explicit CQuadrilexdApp(StartOptions options);
  ~CQuadrilexdApp();

  // Builds everything and shows the main window; false when start-up failed.
  bool InitInstance();

  CMainFrame* MainFrame() const { return m_frame.get(); }
  CQuadrilexdView* View() const { return m_view.get(); }
  int PreviewPages() const { return m_nPreviewPages; }

 private:
  void LoadStdProfileSettings();

  StartOptions m_options;
  int m_nPreviewPages = 0;
  std::unique_ptr<CSoundOutput> m_sound;
  std::unique_ptr<CQuadrilexdDoc> m_doc;
  std::unique_ptr<CMainFrame> m_frame;
  std::unique_ptr<CQuadrilexdView> m_view;
};

// The name the game's settings are kept under, with the application's name.
constexpr const char* kSettingsOrganization = "Local AppWizard-Generated Applications";
