#pragma once

#include <QDialog>

class QTextBrowser;

// The program's instructions: a part for pupils in large type (how to answer,
// what "Ti aiuto ?" does, the keys) and a part for teachers. Opened with F1
// from any window or from the start window's menu; not modal.
class frmIstruzioni : public QDialog {
  Q_OBJECT
 public:
  explicit frmIstruzioni(QWidget *genitore = nullptr);

  // The text shown, as HTML.
  [[nodiscard]] static QString Testo();

 private:
  QTextBrowser *m_testo = nullptr;
};
