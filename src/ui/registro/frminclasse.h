#pragma once

#include <QPointer>
#include <QTimer>
#include <QWidget>

#include "registro/inclasse.h"
#include "registro/lettoreinclasse.h"

struct Contesto;
class QComboBox;
class QLabel;
class QTableWidget;

// "In classe ora": the pupils of a class at work in the lab, as the school's
// server hears of them, one row each (computer, family, operation n of 20,
// right and wrong so far, the latest mistake in words), the stuck ones
// highlighted. It follows the lab through the server's announcements on the
// teacher's connection (LISTEN): a burst of them is read once, a moment after
// the first. Every few seconds it reads again anyway, so a pupil who stops
// shows as stuck without anyone writing. Given the teacher's reading
// connection (LettoreInClasse), it listens and reads there, off the window's
// thread; else on the register's own connection.
class FrmInClasse : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kRaccolta = 100;  // ms: announcements gathered into one read
  static constexpr int kGiro = 5000;     // ms between reads with no announcement

  FrmInClasse(Registro &registro, Contesto &ctx, qint64 classe, QWidget *genitore = nullptr,
              LettoreInClasse *lettore = nullptr);
  ~FrmInClasse() override;

  void mostraClasse(qint64 classe);
  // Reads the server again now.
  void aggiorna();
  [[nodiscard]] qint64 classe() const { return m_classe; }
  [[nodiscard]] const QList<AlunnoAlLavoro> &righe() const { return m_righe; }
  [[nodiscard]] bool inAscolto() const { return m_lettore ? m_lettore->inAscolto() : m_ascolto; }

 Q_SIGNALS:
  // After each read shown (for whoever measures the view).
  void mostrata();

 private:
  void avviso(const QString &nome, const QVariant &testo);
  // A read's answer, from either connection.
  void mostraRighe(const std::optional<QList<AlunnoAlLavoro>> &righe, const QString &messaggio, bool scollegato);
  void stampa();
  [[nodiscard]] QStringList righeStampa() const;

  Registro &m_registro;
  Contesto &m_ctx;
  qint64 m_classe = 0;
  QList<AlunnoAlLavoro> m_righe;
  bool m_ascolto = false;  // this window subscribed to the channel
  QPointer<LettoreInClasse> m_lettore;
  bool m_inLettura = false;  // a read asked of the reader, not answered yet
  bool m_ancora = false;     // another read asked meanwhile
  QTimer m_raccolta, m_giro;
  QComboBox *m_cmbClasse = nullptr;
  QTableWidget *m_tbl = nullptr;
  QLabel *m_lblStato = nullptr;
};
