#include "ui/worksheets/frmstampaschedetre.h"

#include "ui/common/aspetto.h"

FrmStampaSchedeTre::FrmStampaSchedeTre(Contesto &ctx, QWidget *genitore)
    : Finestra(QStringLiteral("FrmStampaSchedeTre"), QStringLiteral("SISTEMA METRICO- VORNEL - STAMPA DELLE SCHEDE"), {12000, 9000}, aspetto::kSfondo, genitore), m_ctx(ctx) {}
