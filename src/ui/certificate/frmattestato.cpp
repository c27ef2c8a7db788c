#include "ui/certificate/frmattestato.h"

#include "ui/common/aspetto.h"

FrmAttestato::FrmAttestato(Contesto &ctx, QWidget *genitore)
    : Finestra(QStringLiteral("FrmAttestato"), QStringLiteral("Form1"), {11940, 8820}, aspetto::kSfondo, genitore), m_ctx(ctx) {}
