#include "app/quadrilexd_doc.h"

#include <QFile>
#include <QFileInfo>

bool CQuadrilexdDoc::OnNewDocument() {
  m_strPathName.clear();
  return true;
}

bool CQuadrilexdDoc::SaveTo(const QString& path, QString* error) const {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
    if (error) *error = file.errorString();
    return false;
  }
  // The document holds nothing, so nothing is written.
  file.close();
  if (file.error() != QFileDevice::NoError) {
    if (error) *error = file.errorString();
    return false;
  }
  return true;
}

bool CQuadrilexdDoc::HoldsData(const QString& path) {
  const QFileInfo info(path);
  if (!info.exists()) return false;
  return !info.isFile() || info.size() > 0;
}
