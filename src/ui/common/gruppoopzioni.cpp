#include "ui/common/gruppoopzioni.h"

#include "ui/common/aspetto.h"
#include "ui/common/tipovivo.h"

#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>

PulsanteOpzione::PulsanteOpzione(const QString &testo, QWidget *genitore) : QPushButton(testo, genitore) {
  setFocusPolicy(Qt::StrongFocus);
  setCheckable(false);
  setAutoDefault(false);
  setAccessibleName(testo.simplified());
}

GruppoOpzioni::GruppoOpzioni(Configurazione conf, std::function<void(int)> comando, QObject *genitore)
    : QObject(genitore), m_conf(std::move(conf)), m_comando(std::move(comando)) {}

void GruppoOpzioni::aggiungi(PulsanteOpzione *p) {
  m_pulsanti.push_back(p);
  p->installEventFilter(this);
  if (m_conf.coloriFuoco) aspetto::colora(p, m_conf.normale);
  // Screen readers and click() activate through clicked(); mouse and keys are handled below.
  connect(p, &QPushButton::clicked, this, [this, p] { esegui(indiceDi(p)); });
}

int GruppoOpzioni::indiceDi(const QObject *o) const {
  for (int i = 0; i < m_pulsanti.size(); ++i)
    if (m_pulsanti[i] == o) return i;
  return -1;
}

void GruppoOpzioni::esegui(int i) {
  if (i < 0 || i >= m_pulsanti.size() || !m_pulsanti[i]->isEnabled()) return;
  if (m_comando) m_comando(i);
}

void GruppoOpzioni::fuoco(int i) {
  if (auto *p = pulsante(i); p && p->isEnabled() && p->isVisible()) p->setFocus(Qt::OtherFocusReason);
  else if (p && p->isEnabled()) p->setFocus(Qt::OtherFocusReason);
}

int GruppoOpzioni::successivo(int i) const {
  const int n = conta();
  if (n == 0) return -1;
  int j = (i + 1) % n;
  if (!m_conf.saltaDisabilitati) return j;
  for (int giri = 0; giri < n; ++giri, j = (j + 1) % n)
    if (m_pulsanti[j]->isEnabled()) return j;
  return i;
}

int GruppoOpzioni::cifra(const QKeyEvent *e) {
  const int k = e->key();
  if (k >= Qt::Key_0 && k <= Qt::Key_9) return k - Qt::Key_0;
  return -1;
}

bool GruppoOpzioni::invio(const QKeyEvent *e) { return e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter; }

bool GruppoOpzioni::tasto(int i, QKeyEvent *e) {
  if (m_conf.gestore && m_conf.gestore(i, e) == Esito::Accettato) return true;
  const int d = cifra(e);
  if (d >= 1 && d <= m_conf.tastiCifra) {
    fuoco(d - 1);
    return true;
  }
  for (const auto &[lettera, indice] : m_conf.lettere) {
    if (e->key() == lettera) {
      fuoco(indice);
      return true;
    }
  }
  if (invio(e)) {
    esegui(i);
    return true;
  }
  return m_conf.tastiMuti.contains(e->key());
}

bool GruppoOpzioni::eventFilter(QObject *o, QEvent *e) {
  // A button of the group being destroyed is no longer a button once its own
  // destructors have run, yet ~QWidget still takes its focus away: left alone.
  auto *p = TipoVivo<PulsanteOpzione>(o);
  const int i = p ? indiceDi(p) : -1;
  if (i < 0) return QObject::eventFilter(o, e);
  switch (e->type()) {
    case QEvent::FocusIn:
      // A key whose release went to another group must not block the next stroke here.
      m_flagTasto = false;
      m_flagCarattere = false;
      p->setDown(false);
      if (m_conf.coloriFuoco) aspetto::colora(p, m_conf.fuoco);
      return false;
    case QEvent::FocusOut:
      p->setDown(false);
      if (m_conf.coloriFuoco) aspetto::colora(p, m_conf.normale);
      return false;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
      if (!p->isEnabled()) return true;
      QPointer<PulsanteOpzione> vivo(p);
      p->setFocus(Qt::MouseFocusReason);
      esegui(i);
      if (vivo) vivo->setDown(false);
      return true;
    }
    case QEvent::MouseButtonRelease:
      p->setDown(false);
      return true;
    case QEvent::KeyPress: {
      auto *k = static_cast<QKeyEvent *>(e);
      if (k->key() == Qt::Key_Tab || k->key() == Qt::Key_Backtab) return false;
      if (k->key() == Qt::Key_Space) {
        if (!m_flagCarattere && !k->isAutoRepeat()) {
          m_flagCarattere = true;
          fuoco(successivo(i));
        }
        return true;
      }
      if (m_flagTasto || k->isAutoRepeat()) return true;
      QPointer<GruppoOpzioni> vivo(this);
      if (tasto(i, k)) {
        if (!vivo) return true;
        m_flagTasto = true;
        if (m_conf.dopoTasto) m_conf.dopoTasto(i);
      }
      return true;
    }
    case QEvent::KeyRelease: {
      auto *k = static_cast<QKeyEvent *>(e);
      if (k->isAutoRepeat()) return true;
      m_flagTasto = false;
      m_flagCarattere = false;
      p->setDown(false);
      if (m_conf.rilascio) m_conf.rilascio(i);
      return k->key() != Qt::Key_Tab && k->key() != Qt::Key_Backtab;
    }
    default:
      return false;
  }
}
