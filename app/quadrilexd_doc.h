// The game's document: it holds nothing. The framework's New, Open and Save
// commands reach it; they read nothing and save an empty file.
#pragma once

#include <QString>

class CQuadrilexdDoc {
 public:
  CQuadrilexdDoc() = default;
  virtual ~CQuadrilexdDoc() = default;

  // Starts the one document afresh; it is never modified, so nothing is asked.
  virtual bool OnNewDocument();

  // Where the document was last opened or saved; empty until then.
  const QString& GetPathName() const { return m_strPathName; }
  void SetPathName(const QString& path) { m_strPathName = path; }

  // Opens the plain file at path, reads nothing from it, and takes its path.
  // Anything else (a named pipe, a device, a folder) is refused without
  // waiting on it. On failure returns false with the reason in error, and
  // the document is as it was.
  bool OpenFrom(const QString& path, QString* error);

  // Writes the document, which has no content, to path. Only a plain file
  // (or a new one) takes it: a named pipe, a device or a folder is refused
  // without waiting on it and without writing. On failure returns false with
  // the reason in error.
  bool SaveTo(const QString& path, QString* error) const;

  // True when saving to path would destroy something: a file with bytes in
  // it, or anything there that is not a plain file.
  static bool HoldsData(const QString& path);

 private:
  QString m_strPathName;
};
