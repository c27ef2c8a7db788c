// The entry point of the speech module, which the program loads at first use.
#include "ui/voce/vocetts.h"

extern "C" Q_DECL_EXPORT Voce *vornel_nuova_voce() { return new VoceTts(); }
