#include "storage/ScenarioMedia.h"

std::vector<MediaSlot> mediaSlots(ScenarioSettings& s)
{
    std::vector<MediaSlot> slots = {{"Ziel", &s.zielBild, true},
                                    {"Abschussobjekt", &s.abschussBild, true},
                                    {"Abschussobjekt 2", &s.abschuss2Bild, true},
                                    {"Schuss", &s.schussBild, true},
                                    {"Hintergrundbild", &s.hintergrundbild, true}};
    slots.reserve(slots.size() + s.sounds.size() + 4);
    for (std::size_t n = 0; n < s.sounds.size(); ++n)
        slots.push_back({"Treffer-Sound " + std::to_string(n + 1), &s.sounds[n], false});
    slots.push_back({"Verloren-Sound", &s.verlorensound, false});
    slots.push_back({"Sieg-Sound", &s.siegsound, false});
    slots.push_back({"Explosions-Sound", &s.explosionssound, false});
    slots.push_back({"Schussstart-Sound", &s.schussstartsound, false});
    return slots;
}

std::string startProblem(const ScenarioSettings& settings)
{
    // Only read: the slots are the fields' names.
    const std::vector<MediaSlot> slots = mediaSlots(const_cast<ScenarioSettings&>(settings));
    for (std::size_t i = 0; i + 1 < kPictureSlots; ++i)
        if (slots[i].path->empty())
            return "Das Bild \"" + slots[i].name + "\" fehlt, ohne es startet das Spiel nicht.";
    if (settings.hintergrundbildAktiviert.empty() && settings.hintergrundbild.empty())
        return "Das Hintergrundbild ist eingeschaltet, aber es ist keines angegeben; so startet das Spiel nicht.";
    const std::size_t victory = slots.size() - 3;
    for (std::size_t i : {kPictureSlots, victory})
        if (settings.sounds.empty() || slots[i].path->empty())
            return "Der \"" + (settings.sounds.empty() ? std::string("Treffer-Sound 1") : slots[i].name) +
                   "\" fehlt, ohne ihn startet das Spiel nicht.";
    return {};
}
