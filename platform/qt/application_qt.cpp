// The Qt application of the run and the surfaces' PNG output.
#include <QApplication>
#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include "platform/qt/qt_backend.h"
#include "platform/qt/surface_qt.h"

void StartQtApplication(int* argc, char** argv, bool offscreen) {
  if (QCoreApplication::instance()) return;
  if (offscreen && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));
  // Static storage: the application lives until the run ends.
  static QApplication application(*argc, argv);
}

bool SaveSurfacePng(SurfaceHandle surface, const char* path) {
  if (!surface || !path) return false;
  return SurfaceImage(surface).save(QString::fromLocal8Bit(path), "PNG");
}
