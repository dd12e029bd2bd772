#pragma once
// The scenario file's text form: strict integer conversion, line evaluation, text encoding.

#include "storage/ScenarioSettings.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Strict conversion: optional leading blanks, optional sign, decimal digits or "$" and
// hexadecimal digits, nothing after; must fit 32 bits. Throws BlitzfangError
// ("'…' ist kein gültiger Integerwert") otherwise.
std::int32_t strToInt(std::string_view text);

// Evaluates one line against the key table; `soundIndex` is the running index of the
// "Sounds: " lines of the file being read (owned by the caller, advanced here).
// "Speicherstand: " lines go into `setup.speicherstaende` through neudateieintrag.
void zeileauswerten(const std::string& line, std::size_t& soundIndex, ScenarioSettings& settings,
                    SetupState& setup);

// The sorted scenario list (see ScenarioStore::neudateieintrag and suchevornach).
void neudateieintrag(ScenarioList& list, const std::string& name);
ScenarioList::iterator suchevornach(ScenarioList& list, const std::string& name);

// File bytes to the program's UTF-8: valid UTF-8 stays, anything else is read as Windows-1252.
std::string zuUtf8(std::string_view bytes);
