#include "ui/certificate/frmstampaeserciziotre.h"

#include "ui/common/aspetto.h"

FrmStampaEsercizioTre::FrmStampaEsercizioTre(Contesto &ctx, QWidget *genitore)
    : Finestra(QStringLiteral("FrmStampaEsercizioTre"), QStringLiteral("FINESTRA DI STAMPA "), {11910, 8310}, aspetto::kSfondo, genitore), m_ctx(ctx) {}
