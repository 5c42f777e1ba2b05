// Message boxes. In the reader they are modal Qt message boxes; a program
// without a widget application (the command-line companion) reports the
// message on standard error instead and takes the default answer.
#include <QApplication>
#include <QMessageBox>
#include <QString>

#include <cstdio>

#include "platform/window.h"

namespace {

QString ToQString(std::u16string_view s) {
  return QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size()));
}

int MessageBoxOnStderr(const QString& text, const QString& caption, uint32_t type) {
  const QByteArray line = (caption.isEmpty() ? text : caption + QStringLiteral(": ") + text).toUtf8();
  std::fprintf(stderr, "%s\n", line.constData());
  return (type & 0x0F) == kMbYesNoCancel ? kIdCancel : kIdOk;
}

}  // namespace

int MessageBox(WindowHandle owner, std::u16string_view text, std::u16string_view caption, uint32_t type) {
  (void)owner;  // owners arrive with the main window
  const QString qtext = ToQString(text);
  const QString qcaption = ToQString(caption);
  if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
    return MessageBoxOnStderr(qtext, qcaption, type);
  }
  QMessageBox box;
  box.setText(qtext);
  box.setWindowTitle(qcaption);
  switch (type & 0xF0) {
    case kMbIconStop: box.setIcon(QMessageBox::Critical); break;
    case kMbIconExclamation: box.setIcon(QMessageBox::Warning); break;
    default: box.setIcon(QMessageBox::NoIcon); break;
  }
  if ((type & 0x0F) == kMbYesNoCancel) {
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    box.setEscapeButton(QMessageBox::Cancel);
  } else {
    box.setStandardButtons(QMessageBox::Ok);
  }
  switch (box.exec()) {
    case QMessageBox::Yes: return kIdYes;
    case QMessageBox::No: return kIdNo;
    case QMessageBox::Cancel: return kIdCancel;
    default: return kIdOk;
  }
}
