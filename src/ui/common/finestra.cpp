#include "ui/common/finestra.h"

#include "ui/common/aspetto.h"

#include <QAction>
#include <QCloseEvent>
#include <QEvent>
#include <QKeySequence>
#include <QMenuBar>

#include <algorithm>

Finestra::Finestra(const QString &nome, const QString &titolo, QSize clientTwips, const QColor &sfondo,
                   QWidget *genitore)
    : QMainWindow(genitore),
      m_client(new QWidget(this)),
      m_progetto(aspetto::px(clientTwips.width()), aspetto::px(clientTwips.height())) {
  setObjectName(nome);
  setWindowTitle(titolo);
  setAttribute(Qt::WA_DeleteOnClose);
  m_client->setObjectName(nome + QStringLiteral("_client"));
  aspetto::colora(m_client, sfondo);
  aspetto::colora(this, sfondo);
  // The window fills its background already, in the same colour: the client
  // area filling it again would paint every pixel twice at each resize.
  m_client->setAutoFillBackground(false);
  m_client->resize(m_progetto);
  setCentralWidget(m_client);
  m_client->installEventFilter(this);
  dimensioneProgetto();
}

bool Finestra::inLavoro() const {
  if (m_occupata) return true;
  const QList<Finestra *> aperte = findChildren<Finestra *>();
  return std::any_of(aperte.begin(), aperte.end(), [](const Finestra *f) { return f->m_occupata; });
}

void Finestra::closeEvent(QCloseEvent *e) {
  // Closing in the middle of a drawing or of a printout would pull the work
  // from under it, and deleting the window would delete the one at work with it.
  if (inLavoro()) {
    m_chiudiDopo = true;
    e->ignore();
    return;
  }
  QMainWindow::closeEvent(e);
}

bool Finestra::event(QEvent *e) {
  // A window closed a moment before may still have handled a click or a key
  // that opened a window over it, now at work: it is deleted when the work ends.
  if (e->type() == QEvent::DeferredDelete && inLavoro()) {
    m_eliminaDopo = true;
    return true;
  }
  return QMainWindow::event(e);
}

void Finestra::chiudiSeRichiesto() {
  if (m_chiudiDopo) {
    m_chiudiDopo = false;
    close();
  }
  if (m_eliminaDopo && !inLavoro()) {
    m_eliminaDopo = false;
    deleteLater();
  }
  for (QObject *p = parent(); p; p = p->parent()) {
    if (auto *f = qobject_cast<Finestra *>(p)) {
      f->chiudiSeRichiesto();
      break;
    }
  }
}

QAction *Finestra::voceMenu(const QString &nome, const QString &testo) {
  auto *a = menuBar()->addAction(testo);
  a->setObjectName(nome);
  // Reachable from the keyboard as Alt + its first letter, as a mnemonic would
  // be, without changing the caption; the option buttons never see this key.
  if (!testo.isEmpty()) {
    a->setShortcut(QKeySequence(Qt::ALT | static_cast<Qt::Key>(testo.at(0).toUpper().unicode())));
    a->setShortcutContext(Qt::WindowShortcut);
    a->setToolTip(testo + QStringLiteral(" (Alt+") + testo.at(0).toUpper() + u')');
  }
  dimensioneProgetto();
  return a;
}

void Finestra::dimensioneProgetto() {
  const int menu = menuWidget() ? menuBar()->sizeHint().height() : 0;
  resize(m_progetto.width(), m_progetto.height() + menu);
  m_client->resize(m_progetto);
}

void Finestra::registraLayout(bool spostaCombo) {
  m_client->resize(m_progetto);
  m_layout.registra(m_client, spostaCombo);
  m_proporzionale = true;
}

void Finestra::nuovoProgetto(QSize clientTwips) {
  // The old fractions must not move the controls from their design places.
  m_proporzionale = false;
  m_progetto = QSize(aspetto::px(clientTwips.width()), aspetto::px(clientTwips.height()));
  registraLayout();
}

bool Finestra::eventFilter(QObject *o, QEvent *e) {
  if (o == m_client && e->type() == QEvent::Resize) {
    if (m_proporzionale) m_layout.applica();
    dopoRidimensionamento();
    Q_EMIT ridimensionato();
  }
  return QMainWindow::eventFilter(o, e);
}
