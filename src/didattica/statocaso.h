#pragma once

// Where a pupil stands with one pair case of a family (see sceltasumisura.h).
enum class StatoCaso { Nuovo, InEsercizio, Padroneggiato };
