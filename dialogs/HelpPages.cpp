#include "dialogs/HelpPages.h"

const char* const kMakerMail = "feedback@kolvar-bauwerk.de";
const char* const kFeedbackLink = "mailto:feedback@kolvar-bauwerk.de?subject=Feedback zum Blitzfang";
const char* const kPartnerWebAddress = "http://www.feinwerk-ost.de";

HelpPage helpWasIstBlitzfang()
{
    return {QStringLiteral("Was ist der Blitzfang?"),
            QStringLiteral(
                "Im Blitzfang laufen Figuren vom oberen oder linken Rand des Spielfelds auf ein Ziel "
                "in der rechten unteren Ecke zu. Erreicht eine Figur das Ziel, ist das Spiel verloren.\n"
                "\n"
                "Das verhinderst du, indem du die Figuren mit der linken Maustaste abschießt. Jede "
                "getroffene Figur bringt einen Punkt und taucht gleich wieder am Rand auf, und mit jedem "
                "Treffer laufen die Figuren schneller. Beim 10., 15. und 20. Treffer kommt jeweils eine "
                "weitere Figur dazu.\n"
                "\n"
                "Ist im Szenario das Haus der Figuren eingeschaltet, steht es oben links. Ein Klick auf "
                "das Haus feuert einen Schuss vom Ziel auf das Haus. Jeder Treffer bringt Punkte nach "
                "dem Schwierigkeitsgrad und kostet das Haus Energie. Ist das Haus zerstört, hast du "
                "gewonnen. Ohne Haus spielst du um möglichst viele Punkte.\n"
                "\n"
                "Im Editor kannst du jedes Bild, jeden Sound und jede Beschriftung ändern und alles als "
                "eigenes Szenario speichern.\n"
                "\n"
                "Der Blitzfang ist ein Programm von Kolvar-Bauwerk. Neuigkeiten, neue Versionen und den "
                "Quelltext des Programms gibt es auf der Homepage:\n"
                "http://www.kolvar-bauwerk.de")};
}

HelpPage helpBenutzung()
{
    return {QStringLiteral("Wie benutze ich ihn?"),
            QStringLiteral(
                "Einstellen musst du nichts: Der Blitzfang startet mit dem Szenario, das zuletzt "
                "gespielt wurde, beim ersten Mal mit \"Standard\".\n"
                "\n"
                "Im Hauptmenü beginnt \"Start\" das Spiel (manche Szenarios geben dem Knopf einen "
                "anderen Namen). Das Spielfeld füllt den Bildschirm oder hat die Größe des "
                "Hintergrundbilds.\n"
                "\n"
                "Linke Maustaste: Ein Klick auf eine Figur schießt sie ab. Ein Klick auf das Haus feuert "
                "den Schuss; es fliegt immer nur ein Schuss zur Zeit.\n"
                "\n"
                "Oben in der Mitte stehen deine Punkte. Der Balken unter dem Haus zeigt seine Energie: "
                "erst grün, dann gelb, zuletzt rot.\n"
                "\n"
                "Rechte Maustaste: Sie öffnet ein Menü. \"Ende\" beendet das Programm, \"Menü\" bricht "
                "das Spiel ab und führt zurück ins Hauptmenü. Ein abgebrochenes Spiel zählt nicht.\n"
                "\n"
                "Esc beendet das Programm sofort, ohne etwas zu speichern.\n"
                "\n"
                "Ein gewonnenes oder verlorenes Spiel kommt in den Highscore des Szenarios, wenn die "
                "Punkte reichen, und wird gespeichert.\n"
                "\n"
                "Startet das Programm nicht mehr richtig, lösche im Ordner des Programms die Dateien "
                "\"setup.cfg\" und \"standard.cfg\". Beim nächsten Start sind alle Werte wieder auf "
                "Standard gesetzt.")};
}

HelpPage helpEditor()
{
    return {QStringLiteral("Der Editor"),
            QStringLiteral(
                "Der Editor ändert das aktuelle Szenario. Er hat drei Bereiche:\n"
                "\n"
                "Beschriftungen: der Name des Spiels (der Titel im Hauptmenü), die Namen von Ziel und "
                "Haus und ob sie im Spiel zu sehen sind, die Beschriftung des Startknopfs und die "
                "Textfarbe. Dazu kommt ein Hilfetext zum Szenario, den das Menü Extras zeigt.\n"
                "\n"
                "Grafiken: die Bilder (BMP oder JPEG) von Figur, Ziel, Schuss und Haus mit Vorschau, "
                "Größe und dem Schalter \"Transparenz an\"; ob das Haus mitspielt; die "
                "Hintergrundfarbe und ein Hintergrundbild.\n"
                "\n"
                "Sound: die Treffer-Sounds (WAV), von denen bei jedem Treffer einer zufällig erklingt, "
                "und die Sounds für Niederlage, Sieg, Explosion und Schussstart. Jeden Sound kannst du "
                "vorher anhören.\n"
                "\n"
                "Die Knöpfe unten:\n"
                "\"Speichern\" speichert das Szenario und führt zurück ins Hauptmenü. Bilder und Sounds "
                "werden dabei in den Ordner des Szenarios kopiert.\n"
                "\"Speichern unter\" speichert es unter einem neuen Namen, mit frischem Highscore.\n"
                "\"Laden\" holt ein anderes Szenario in den Editor.\n"
                "\"Standard\" setzt das Szenario auf die Standardwerte zurück.\n"
                "\"Löschen\" löscht das Szenario mit seinen Dateien; \"Standard\" lässt sich nicht "
                "löschen.\n"
                "\"Abbrechen\" oder Esc verlässt den Editor, ohne zu speichern.\n"
                "\n"
                "Im Fenster \"Laden\" sucht \"Suchen\" im Ordner des Programms nach Szenarios, die in "
                "der Liste fehlen, etwa von Hand hineinkopierte. \"Hinzufügen\" nimmt das gefundene "
                "Szenario in die Liste auf.")};
}

HelpPage helpOptionen()
{
    return {QStringLiteral("Das Optionsmenü"),
            QStringLiteral(
                "Hier stellst du drei Dinge ein:\n"
                "\n"
                "Szenariowechsel: das Szenario, das gespielt wird.\n"
                "\n"
                "Schwierigkeitsgrad: von 1 (am leichtesten) bis 5 (am schwersten). Je höher der Grad, "
                "desto stärker beschleunigen die Figuren mit jedem Treffer und desto mehr Treffer "
                "verträgt das Haus (10 bis 20). Ein Treffer auf das Haus bringt dafür weniger Punkte, "
                "der Highscore gewichtet das Ergebnis aber höher.\n"
                "\n"
                "Spielername: höchstens 14 Zeichen. Unter diesem Namen kommst du in den Highscore.\n"
                "\n"
                "Schwierigkeitsgrad und Spielername gehören zum aktuellen Szenario und werden mit "
                "\"OK\" darin gespeichert. \"Abbruch\" oder Esc lässt alles, wie es war.")};
}

HelpPage helpExtras()
{
    return {QStringLiteral("Das Menü Extras"),
            QStringLiteral(
                "Das Menü Extras zeigt zum aktuellen Szenario links die Geschichte oder Hilfe, die sein "
                "Autor im Editor geschrieben hat, darunter das Bild der Figur mit ihrem Namen, und "
                "rechts den Highscore des Szenarios: die zehn besten Ergebnisse mit Spielername, "
                "Punkten und Level. Jedes Szenario hat seinen eigenen Highscore.\n"
                "\n"
                "So gibt es Punkte:\n"
                "- jede abgeschossene Figur: 1 Punkt,\n"
                "- jeder Treffer auf das Haus: 6 minus Schwierigkeitsgrad, also 5 Punkte auf Level 1 "
                "und 1 Punkt auf Level 5,\n"
                "- das Haus zerstört: 10 Punkte obendrauf, und das Spiel ist gewonnen.\n"
                "\n"
                "Für den Highscore werden die Punkte nach Level und Ausgang gewichtet: Nach einer "
                "Niederlage zählen sie auf Level 1 einfach, auf Level 2 bis 4 etwas mehr und auf "
                "Level 5 doppelt; nach einem Sieg auf Level 3 und 4 doppelt und auf Level 5 dreifach.")};
}
